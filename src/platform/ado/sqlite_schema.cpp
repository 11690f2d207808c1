// The embedded session's schema rowsets: its tables and their columns, as the server lists them.
#include "platform/ado/sqlite_schema.h"
#include "platform/ado/sqlite_rows.h"

namespace ado::sqlite {

namespace {

FieldInfo TextField(const char* name) {
    FieldInfo f;
    f.name = QString::fromLatin1(name);
    f.type = adVarWChar;
    f.definedSize = 128;
    return f;
}

}  // namespace

std::unique_ptr<RowSource> SchemaTables(sqlite3* db, const QString& catalog) {
    auto rs = std::make_unique<RowSource>();
    rs->fields = {TextField("TABLE_CATALOG"), TextField("TABLE_SCHEMA"), TextField("TABLE_NAME"), TextField("TABLE_TYPE")};
    const StatementHandle st =
        Prepare(db, "SELECT name, type FROM sqlite_master WHERE type IN ('table','view') AND name NOT LIKE 'sqlite!_%' "
                      "ESCAPE '!' AND name NOT IN ('KORV_PROCEDURES', 'KORV_BASE') ORDER BY name", -1);
    int rc;
    while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
        const QString type = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st.get(), 1)));
        rs->rows.push_back({vb::Variant(catalog), vb::Variant(QStringLiteral("dbo")),
                            vb::Variant(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st.get(), 0)))),
                            vb::Variant(type == QLatin1String("view") ? QStringLiteral("VIEW") : QStringLiteral("TABLE"))});
    }
    if (rc != SQLITE_DONE) Fail(db, rc);
    return rs;
}

std::unique_ptr<RowSource> SchemaColumns(sqlite3* db, const QString& catalog, const QString& table, const QString& column) {
    auto rs = std::make_unique<RowSource>();
    FieldInfo longField;
    longField.type = adInteger;
    longField.definedSize = 4;
    FieldInfo boolField;
    boolField.type = adBoolean;
    boolField.definedSize = 2;
    FieldInfo typeField = longField;
    typeField.type = adUnsignedTinyInt;
    rs->fields = {TextField("TABLE_CATALOG"), TextField("TABLE_SCHEMA"), TextField("TABLE_NAME"), TextField("COLUMN_NAME"),
                  longField, boolField, longField, longField, longField, longField};
    rs->fields[4].name = QStringLiteral("ORDINAL_POSITION");
    rs->fields[5].name = QStringLiteral("IS_NULLABLE");
    rs->fields[6].name = QStringLiteral("DATA_TYPE");
    rs->fields[7].name = QStringLiteral("CHARACTER_MAXIMUM_LENGTH");
    rs->fields[8].name = QStringLiteral("NUMERIC_PRECISION");
    rs->fields[9].name = QStringLiteral("NUMERIC_SCALE");
    std::vector<QString> names;
    if (table.trimmed().isEmpty()) {
        auto all = SchemaTables(db, catalog);
        for (const Row& r : all->rows) names.push_back(r[2].toString());
    } else {
        // "T", "[T]", "dbo.T" or "[VOLMA].[dbo].[T]": the last part names the table.
        QString t = table.trimmed();
        const qsizetype dot = t.lastIndexOf(QLatin1Char('.'));
        if (dot >= 0 && !t.endsWith(QLatin1Char('.'))) t = t.mid(dot + 1);
        if (t.startsWith(QLatin1Char('[')) && t.endsWith(QLatin1Char(']'))) t = t.mid(1, t.size() - 2);
        names.push_back(t.trimmed());
    }
    for (const QString& t : names) {
        const StatementHandle st = Prepare(db, "SELECT name, type, \"notnull\" FROM pragma_table_info(?1)", -1);
        const QByteArray tn = t.toUtf8();
        sqlite3_bind_text(st.get(), 1, tn.constData(), static_cast<int>(tn.size()), SQLITE_STATIC);
        int rc, ordinal = 0;
        while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
            ++ordinal;
            const QString col = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st.get(), 0)));
            if (!column.trimmed().isEmpty() && col.compare(column.trimmed(), Qt::CaseInsensitive) != 0) continue;
            const FieldInfo f = FieldFromDeclaredType(col, reinterpret_cast<const char*>(sqlite3_column_text(st.get(), 1)));
            const int type = f.type == adEmpty ? adVarWChar : f.type;
            const bool text = ConvOf(type) == Conv::Text || type == adBinary || type == adVarBinary;
            const bool numeric = ConvOf(type) != Conv::Text && ConvOf(type) != Conv::Date && ConvOf(type) != Conv::Blob;
            rs->rows.push_back({vb::Variant(catalog), vb::Variant(QStringLiteral("dbo")), vb::Variant(t), vb::Variant(col),
                                vb::Variant(ordinal), vb::Variant(sqlite3_column_int(st.get(), 2) == 0), vb::Variant(type),
                                text ? vb::Variant(static_cast<long>(f.definedSize)) : vb::Variant(vb::Null),
                                numeric ? vb::Variant(f.precision) : vb::Variant(vb::Null),
                                numeric ? vb::Variant(f.numericScale) : vb::Variant(vb::Null)});
        }
        if (rc != SQLITE_DONE) Fail(db, rc);
    }
    return rs;
}

}  // namespace ado::sqlite
