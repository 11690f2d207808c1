// Single-value lookups of DB_Dll: does a row exist, one column of the first matching row, the
// largest or smallest value of a column. Each reads at most one row.
#include "data/db_dll.h"
#include "data/db_dll_text.h"
#include "data/sql_literal.h"
#include "platform/ui/prompter.h"
#include "platform/utillib/util_texto.h"
#include "platform/vb/dates.h"
#include "platform/vb/on_error.h"
#include "platform/vb/runtime.h"

namespace data {

using text::Has;
using text::TrimBlanks;

namespace {

bool IsNumberType(int tipo) { return tipo == ado::adInteger || tipo == ado::adDouble || tipo == ado::adSingle; }

// A searched number: its leading number, written with "." as decimal point whatever the locale.
QString NumberText(const vb::Variant& v) {
    const double d = v.isString() || v.isEmpty() || v.isNull() ? vb::Val(v.text()) : v.toDouble();
    return vb::NumberText(d);
}

// Asks the operator about a failing lookup: Abort, Retry or Ignore.
int AvisoAlOperador(const vb::Error& e) {
    return ui::MsgBox(e.description(), ui::vbAbortRetryIgnore + ui::vbCritical, QStringLiteral("Aviso al Operador"));
}

// " " before a condition that brings its own WHERE, else " WHERE ".
QString WhereJoin(const QString& condicion) {
    return Has(condicion, QStringLiteral(" WHERE ")) ? QStringLiteral(" ") : QStringLiteral(" WHERE ");
}

// The value read from a MAYOR/MENOR column: a double by the leading-number rule.
vb::Variant AsDouble(const vb::Variant& v) {
    if (v.isString() || v.isEmpty()) return vb::Variant(vb::Val(v.text()));
    return vb::Variant(v.toDouble());
}

}  // namespace

namespace {

// The searched value of a number or of any type but text and date: a number by the leading-number
// rule, anything else as the caller wrote it.
QString PlainComparand(const vb::Variant& ValorBuscado, int Tipodato) {
    return IsNumberType(Tipodato) ? TrimBlanks(NumberText(ValorBuscado)) : ValorBuscado.text();
}

// The WHERE clause of an existence check on a field that is not text: a date goes in as the
// caller's literal, a number by the leading-number rule, anything else as written.
QString ExistenceWhere(const QString& Campo, const vb::Variant& ValorBuscado, int Tipodato) {
    if (Tipodato == ado::adDate)
        return QStringLiteral(" WHERE ") + Campo + QStringLiteral(" = ") + TrimBlanks(ValorBuscado.text()) +
               QStringLiteral(" ");
    return QStringLiteral(" WHERE ") + Campo + QStringLiteral(" = ") + PlainComparand(ValorBuscado, Tipodato);
}

// Opens an existence query on `cnn` and tells whether it gave a row. With Lrcs the caller's
// recordset (created when null, closed first when open) is left open on the row, read-only or
// with the cursor and lock it had; without, a read-only recordset of its own is opened and closed.
bool OpenExistence(ConnectionCalls& calls, vb::OnError& on, const QString& sql, const ado::ConnectionPtr& cnn,
                   ado::RecordsetPtr* Lrcs, bool SoloLectura) {
    bool result = false;
    if (Lrcs) {
        ado::RecordsetPtr& rs = *Lrcs;
        if (!rs) rs = ado::Recordset::Create();
        on.run([&] {
            if (rs->State() != ado::adStateClosed) rs->Close();
        });
        on.run([&] {
            const int cursor = SoloLectura ? ado::adOpenForwardOnly : rs->CursorType();
            const int lock = SoloLectura ? ado::adLockReadOnly : rs->LockType();
            calls.OpenRecordset(*rs, sql, cnn, cursor, lock, -1);
        });
        on.run([&] { result = !rs->BOF(); });
        return result;
    }
    ado::RecordsetPtr rs = ado::Recordset::Create();
    on.run([&] { calls.OpenRecordset(*rs, sql, cnn, ado::adOpenForwardOnly, ado::adLockReadOnly, -1); });
    on.run([&] { result = !rs->BOF(); });
    on.run([&] { rs->Close(); });
    return result;
}

}  // namespace

bool DB_Dll::ExisteEnTablaST(const QString& Tabla, const vb::Variant& ValorBuscado, const QString& Campo,
                             ado::RecordsetPtr* Lrcs, int Tipodato, const QString& Condicion, bool SoloLectura) {
    vb::OnError on(AvisoAlOperador);
    const QString head = QStringLiteral("SELECT * FROM ") + Tabla + QStringLiteral(" with(nolock)  ");
    QString sql;
    if (!TrimBlanks(Condicion).isEmpty())
        sql = head + WhereJoin(Condicion) + Condicion;
    else if (Tipodato == ado::adBSTR)
        sql = head + QStringLiteral(" WHERE ") + Campo + QStringLiteral(" ='") + LiteralSQL(ValorBuscado.text()) +
              QStringLiteral("'");
    else
        sql = head + ExistenceWhere(Campo, ValorBuscado, Tipodato);

    // Always on the head-office connection, whichever instance is asked.
    return OpenExistence(Calls(), on, sql, gDBPrincipal().gCnn(), Lrcs, SoloLectura);
}

bool DB_Dll::ExisteEnTabla(const QString& Tabla, const vb::Variant& ValorBuscado, const QString& Campo,
                           ado::RecordsetPtr* Lrcs, int Tipodato, const QString& Condicion, bool SoloLectura) {
    vb::OnError on(AvisoAlOperador);
    const QString head = QStringLiteral("SELECT TOP 1 * FROM ") + Tabla + QStringLiteral(" with(nolock) ");
    QString sql;
    if (!TrimBlanks(Condicion).isEmpty())
        sql = head + WhereJoin(Condicion) + Condicion;
    else if (Tipodato == ado::adBSTR)
        sql = QStringLiteral("SELECT TOP 1  * FROM ") + Tabla + QStringLiteral(" with(nolock)  WHERE LTRIM(RTRIM(") +
              Campo + QStringLiteral(")) ='") + LiteralSQL(TrimBlanks(ValorBuscado.text())) + QStringLiteral("'");
    else
        sql = head + ExistenceWhere(Campo, ValorBuscado, Tipodato);
    on.run([&] { sql = SS_TSinonimos(sql); });
    // Only a check on a recordset of its own goes through the Oracle translation.
    if (!Lrcs) on.run([&] { sql = ORACLE_Dicc(sql); });
    return OpenExistence(Calls(), on, sql, gCnn(), Lrcs, SoloLectura);
}

namespace {

// A searched date as the connection's server reads it. Jet takes #date#; SQL Server a quoted
// yyyymmdd, the embedded database its stored yyyy-mm-dd hh:mm:ss form, Oracle a quoted day-first date
// (which the Oracle translation turns into TO_DATE).
QString DateComparand(const vb::Variant& v, const ado::Connection& cnn, const QString& proveedor) {
    const QString raw = TrimBlanks(v.text());
    const QString cnnText = cnn.ConnectionString();
    if (Has(cnnText, QStringLiteral("Jet")) || Has(proveedor, QStringLiteral("Jet")))
        return QStringLiteral("#") + raw + QStringLiteral("#");
    vb::Date d;
    bool ok = false;
    if (v.type() == vb::VarType::Date) {
        d = v.toDate();
        ok = true;
    } else {
        ok = vb::ParseDate(raw, &d);
    }
    if (!ok) return QStringLiteral("'") + LiteralSQL(raw) + QStringLiteral("'");
    const QDateTime dt = d.toQDateTime();
    const bool hasTime = dt.time().msecsSinceStartOfDay() != 0;
    QString pattern;
    if (Has(cnnText, QStringLiteral("ORACLE")))
        pattern = QStringLiteral("dd/MM/yyyy");
    else if (cnn.isEmbedded())
        pattern = QStringLiteral("yyyy-MM-dd HH:mm:ss");
    else
        pattern = hasTime ? QStringLiteral("yyyyMMdd HH:mm:ss") : QStringLiteral("yyyyMMdd");
    return QStringLiteral("'") + dt.toString(pattern) + QStringLiteral("'");
}

}  // namespace

vb::ReadResult<vb::Variant> DB_Dll::DatosTabla(const QString& Tabla, const vb::Variant& ValorBuscado,
                                               const QString& CampoDevuelto, const QString& Campo, int Tipodato,
                                               const QString& Condicion, bool UsaTrim, bool IgnoraError) {
    vb::Variant result = QString();
    const QString v = ValorBuscado.text();
    const QString tail = (TrimBlanks(Condicion).isEmpty() ? QString() : QStringLiteral(" AND ")) + Condicion;
    const QString head = QStringLiteral("SELECT TOP 1 * FROM ") + Tabla + QStringLiteral(" with(nolock)  WHERE ");
    QString sql;
    if (Tipodato == ado::adBSTR && UsaTrim)
        sql = head + QStringLiteral("LTRIM(RTRIM(") + Campo + QStringLiteral(")) ='") + LiteralSQL(TrimBlanks(v)) +
              QStringLiteral("' ") + tail;
    else if (Tipodato == ado::adBSTR)
        sql = head + Campo + QStringLiteral(" ='") + LiteralSQL(v) + QStringLiteral("' ") + tail;
    else if (Tipodato == ado::adDate)
        sql = head + Campo + QStringLiteral(" = ") + DateComparand(ValorBuscado, *gCnn(), gProveedor) +
              QStringLiteral(" ") + tail;
    else
        sql = head + Campo + QStringLiteral(" = ") + PlainComparand(ValorBuscado, Tipodato) + tail;

    // Errors of the open are treated inside AbrirRecordset.
    ado::RecordsetPtr rs;
    AbrirRecordset(sql, rs, gCnn(), ado::adOpenForwardOnly, ado::adLockReadOnly, -1, true);

    vb::OnError on = IgnoraError ? vb::OnError::LeaveSilently() : vb::OnError(AvisoAlOperador);
    bool leido = false;
    on.run([&] {
        if (!rs->BOF()) result = Util().ValorNoNulo(rs->Fields(CampoDevuelto).Value()).text();
        leido = true;
    });
    on.run([&] { rs->Close(); });
    // Not read (the open or the read failed, told or not): no answer.
    if (!leido) return vb::kNotRead;
    return result;
}

namespace {

// Opens the one-row aggregate query and reads its column; Empty when the query gives no row.
// Errors go to the caller.
template <class Open, class NotNull>
vb::Variant ReadAggregate(const QString& sql, const QString& column, Open&& open, NotNull&& notNull) {
    vb::Variant result;
    ado::RecordsetPtr rs = ado::Recordset::Create();
    open(*rs, sql);
    if (!rs->BOF()) {
        rs->MoveFirst();
        result = AsDouble(notNull(rs->Fields(column).Value()));
    }
    rs->Close();
    return result;
}

}  // namespace

vb::Variant DB_Dll::BuscaMaximo(const QString& QueTabla, const QString& QueCampo, int /*Tipo*/,
                                const std::optional<QString>& Condicion) {
    QString sql = QStringLiteral("SELECT MAX(") + QueCampo + QStringLiteral(") AS MAYOR FROM ") + QueTabla;
    if (Condicion && !TrimBlanks(*Condicion).isEmpty()) sql += QStringLiteral(" WHERE ") + TrimBlanks(*Condicion);
    return ReadAggregate(
        sql, QStringLiteral("MAYOR"),
        [this](ado::Recordset& rs, const QString& s) { Calls().OpenRecordset(rs, s, gCnn(), 0, 1, -1); },
        [this](const vb::Variant& v) { return Util().ValorNoNulo(v); });
}

vb::Variant DB_Dll::BuscaMinimo(const QString& QueTabla, const QString& QueCampo, int /*Tipo*/,
                                const std::optional<QString>& Condicion) {
    QString sql = QStringLiteral("SELECT MIN(") + QueCampo + QStringLiteral(") AS MENOR FROM ") + QueTabla +
                  QStringLiteral("  with(nolock) ");
    if (Condicion && !TrimBlanks(*Condicion).isEmpty()) sql += QStringLiteral(" WHERE ") + TrimBlanks(*Condicion);
    return ReadAggregate(
        sql, QStringLiteral("MENOR"),
        [this](ado::Recordset& rs, const QString& s) { Calls().OpenRecordset(rs, s, gCnn(), 0, 1, -1); },
        [this](const vb::Variant& v) { return Util().ValorNoNulo(v); });
}

vb::Variant DB_Dll::BuscaUltimoCodigo(const QString& QueTabla, const QString& QueCampo, int /*Tipo*/,
                                      const QString& Condicion) {
    QString sql = QStringLiteral("SELECT MAX(") + QueCampo + QStringLiteral(") AS MAYOR FROM ") + QueTabla;
    if (!TrimBlanks(Condicion).isEmpty()) sql += QStringLiteral(" WHERE ") + Condicion;
    return ReadAggregate(
        sql, QStringLiteral("MAYOR"),
        [this](ado::Recordset& rs, const QString& s) { Calls().OpenRecordset(rs, s, gCnn(), 0, 1, -1); },
        [this](const vb::Variant& v) { return Util().ValorNoNulo(v); });
}

}  // namespace data
