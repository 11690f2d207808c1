// Schema checks of DB_Dll: does a table or a column exist, and adding a column.
#include "data/db_dll.h"
#include "data/db_dll_text.h"
#include "platform/vb/on_error.h"

namespace data {

using text::Has;
using text::TrimBlanks;

namespace {

bool SameName(const vb::Variant& stored, const QString& wanted) {
    return TrimBlanks(stored.text()).compare(TrimBlanks(wanted), Qt::CaseInsensitive) == 0;
}

// Walks a schema rowset for a row whose `column` names `wanted`.
bool FindName(ado::Recordset& rs, const QString& column, const QString& wanted) {
    if (rs.BOF()) return false;
    rs.MoveFirst();
    while (!rs.Eof()) {
        if (SameName(rs.Fields(column).Value(), wanted)) return true;
        rs.MoveNext();
    }
    return false;
}

// The error treatment of the object itself, under the routine text of the check.
vb::OnError::Treatment Tratamiento(DB_Dll* db, const char* rutina) {
    return [db, rutina](const vb::Error& e) {
        return db->TratamientoErrores(e, std::nullopt, QString::fromLatin1(rutina));
    };
}

}  // namespace

bool DB_Dll::ExisteTablaDB(const QString& Tabla) {
    bool result = false;
    vb::OnError on(Tratamiento(this, "VerificaCampos"));
    ado::RecordsetPtr rs;
    on.run([&] { rs = gCnn()->OpenSchema(ado::adSchemaTables); });
    on.run([&] {
        if (!rs) vb::Raise(vb::kErrObjectNotSet);
        result = FindName(*rs, QStringLiteral("TABLE_NAME"), Tabla);
    });
    return result;
}

bool DB_Dll::ExisteCampoDB(const QString& Tabla, const QString& Campo) {
    // The Oracle provider is not asked: every column counts as present there.
    if (Has(gProveedor, QStringLiteral("ORACLE"))) return true;
    bool result = false;
    vb::OnError on(Tratamiento(this, "VerificaCampos"));
    ado::RecordsetPtr rs;
    on.run([&] {
        // catalog, schema, table, column
        const std::vector<vb::Variant> restricciones{vb::Variant(gDBName), vb::Variant(), vb::Variant(Tabla),
                                                     vb::Variant()};
        rs = gCnn()->OpenSchema(ado::adSchemaColumns, restricciones);
    });
    on.run([&] {
        if (!rs) vb::Raise(vb::kErrObjectNotSet);
        result = FindName(*rs, QStringLiteral("COLUMN_NAME"), Campo);
    });
    return result;
}

void DB_Dll::AddField(const QString& Tabla, const QString& Campo, const QString& Tipo, bool PermiteNulos,
                      const vb::Variant& ValorDefault) {
    vb::OnError on(Tratamiento(this, "errAddField"));
    on.run([&] {
        const QString nulos = PermiteNulos ? QStringLiteral(" Null ") : QStringLiteral(" Not Null ");
        QString porDefecto;
        if (!ValorDefault.isEmpty())
            porDefecto = QStringLiteral(" CONSTRAINT DF_") + TrimBlanks(Tabla) + QStringLiteral("_") +
                         TrimBlanks(Campo) + QStringLiteral(" DEFAULT (") + ValorDefault.text() + QStringLiteral(")");
        QString sql = QStringLiteral("ALTER TABLE dbo.") + Tabla + QStringLiteral(" ADD ") + Campo +
                      QStringLiteral(" ") + Tipo + nulos + porDefecto;
        long afectados = 0;
        EjecutaConsultaSQL(sql, &afectados);
    });
}

bool DB_Dll::VerCampoDB(const QString& Tabla, const QString& Campo, bool Agregar, const QString& Tipo,
                        bool PermiteNulos, const vb::Variant& ValorDefault) {
    if (!ExisteTablaDB(Tabla)) return true;
    if (!ExisteCampoDB(Tabla, Campo) && Agregar) AddField(Tabla, Campo, Tipo, PermiteNulos, ValorDefault);
    return true;
}

}  // namespace data
