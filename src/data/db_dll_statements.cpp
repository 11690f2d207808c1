// Statements and recordsets of DB_Dll: the synonym rewrite for users who are not administrators,
// running a statement, opening and closing recordsets.
#include "data/db_dll.h"
#include "data/db_dll_text.h"
#include "platform/ado/native_errors.h"
#include "platform/ui/prompter.h"
#include "platform/utillib/util_texto.h"
#include "platform/vb/on_error.h"

#include <QStringMatcher>

#include <array>
#include <map>

namespace data {

using text::Has;
using text::Pos;
using text::RemoveAdminMarker;
using text::ReplaceAll;

namespace {

// The confidential tables and the synonyms that stand for them, in the order of the rewrite.
struct Synonym {
    const char* table;
    const char* synonym;
};
constexpr std::array<Synonym, 7> kSynonyms{{
    {"MA_CUENTAS", "SS_MA_CUENTAS"},
    {"V_TA_DEPOSITO", "SS_V_TA_DEPOSITO"},
    {"MV_ASIENTOS", "SS_MV_ASIENTOS"},
    {"V_TA_FAMILIAS", "SS_V_TA_FAMILIAS"},
    {"V_TA_CAJAS", "SS_V_TA_CAJAS"},
    {"AC_CUENTASDIARIO", "SS_AC_CUENTASDIARIO"},
    {"AC_CUENTASDIARIO_CCOSTO", "SS_AC_CUENTAS_DIARIO_CCOSTO"},
}};

// Where a table name stands when it is rewritten: the character before it and the one after.
struct Setting {
    char16_t before;
    char16_t after;
};
constexpr std::array<Setting, 5> kSettings{{{u' ', u' '}, {u'(', u' '}, {u' ', u'.'}, {u'(', u'.'}, {u',', u'.'}}};
constexpr Setting kMaCuentasOdbc{u'{', u'.'};

QString Rewrite(const QString& sql, const QString& table, const QString& synonym, Setting at) {
    const QString before(QChar(at.before)), after(QChar(at.after));
    return ReplaceAll(sql, before + table + after, before + synonym + after);
}

// HRESULTs of a failing statement that the operator is not told of (another station's lock
// among them: the caller tells it, as lock_wait.h says).
bool IsQuietStatementError(long number) {
    return number == vb::kHrUnspecified || number == vb::kHrIntegrityViolation || number == vb::kHrNoSuchTable ||
           number == vb::kHrErrorsInCommand || number == vb::kHrTimeout || number == vb::kHrCanceled;
}

// A search for a name, letter case aside, made once for the program's life.
const QStringMatcher& Buscador(const char* name) {
    static std::map<const char*, QStringMatcher> buscadores;
    auto it = buscadores.find(name);
    if (it == buscadores.end())
        it = buscadores.emplace(name, QStringMatcher(QString::fromLatin1(name), Qt::CaseInsensitive)).first;
    return it->second;
}

}  // namespace

ConnectionCalls& DB_Dll::Calls() {
    static ConnectionCalls direct;
    return calls_ ? *calls_ : direct;
}

QString DB_Dll::SS_TSinonimos(const QString& SQL) {
    // Every statement passes here: each name is looked for once in the statement as given, and
    // only what it holds is rewritten. A rewrite only brings in the name it rewrites, so a table
    // absent from the statement as given stays absent.
    const auto has = [&](const char* name) { return Buscador(name).indexIn(SQL) >= 0; };
    const auto unmarked = [&](const QString& s) { return has("@Admin_") ? RemoveAdminMarker(s) : s; };
    if (gEsAdmin) return unmarked(SQL);
    if (has("MV_ASIENTOS") && !gConfidencialidad) return unmarked(SQL);

    QString sql = SQL;
    for (const Synonym& s : kSynonyms) {
        if (!has(s.table)) continue;   // nothing of this table to rewrite
        const QString table = QString::fromLatin1(s.table);
        const QString synonym = QString::fromLatin1(s.synonym);
        for (const Setting& at : kSettings) sql = Rewrite(sql, table, synonym, at);
        if (table == QLatin1String("MA_CUENTAS")) {
            sql = Rewrite(sql, table, synonym, kMaCuentasOdbc);
            sql = ReplaceAll(sql, text::AdminMarker() + table, table);
        }
    }
    return RemoveAdminMarker(sql);
}

void DB_Dll::EjecutaConsultaSQL(QString& SentenciaSQL, long* RecordsAffected, ado::RecordsetPtr* Lrcs) {
    // Every error stays here: a few statement errors and any error of a transaction script pass
    // unseen, the rest are shown once. The connection's Errors keep what refused the statement
    // (a value too long for its column included), so that the caller can tell it failed.
    vb::OnError on([&](const vb::Error& e) {
        const bool trans = Has(SentenciaSQL, QStringLiteral("TRANS"));
        if (!IsQuietStatementError(e.number()) && !trans)
            ui::MsgBox(e.description(), ui::vbCritical + ui::vbOKOnly, QStringLiteral("Aviso al operador!!!"));
        return 0;
    });

    // The marker and the synonyms: only a script that drops and creates, holding neither DELETE
    // nor the marker, runs on the synonyms; every other statement runs on the base tables.
    on.run([&] {
        const bool marked = Has(SentenciaSQL, QStringLiteral("@ADMIN_"));
        if (Has(SentenciaSQL, QStringLiteral("DROP")) && Has(SentenciaSQL, QStringLiteral("CREATE"))) {
            if (marked)
                SentenciaSQL = RemoveAdminMarker(SentenciaSQL);
            else if (!Has(SentenciaSQL, QStringLiteral("DELETE")))
                SentenciaSQL = SS_TSinonimos(SentenciaSQL);
        } else if (marked) {
            SentenciaSQL = RemoveAdminMarker(SentenciaSQL);
        }
    });

    on.run([&] {
        ado::Connection& cnn = *gCnn();
        if (Has(cnn.ConnectionString(), QStringLiteral("ORACLE"))) {
            long count = RecordsAffected ? *RecordsAffected : 0;
            EjecutaScriptOracle(SentenciaSQL, count);
            if (RecordsAffected) *RecordsAffected = count;
            return;
        }
        ado::RecordsetPtr result = Calls().Execute(cnn, SentenciaSQL, RecordsAffected, -1);
        if (Lrcs) *Lrcs = std::move(result);
    });

    // A truncation warning left behind by a statement that ran is not kept: the statement did
    // its work.
    on.run([&] {
        ado::Errors& errs = gCnn()->errors();
        if ((errs.Count() == 1 || errs.Count() == 2) && !Has(SentenciaSQL, QStringLiteral("TRANS")) &&
            errs.Item(0).NativeError == ado::native::kTruncation)
            errs.Clear();
    });
    if (const ado::ConnectionPtr cnn = gCnn()) Calls().Done(*cnn, SentenciaSQL);
}

void DB_Dll::AbrirRecordset(QString& SentenciaSQL, ado::RecordsetPtr& Lrcs, ado::ConnectionPtr Conexionactiva,
                            int CursorType, int LockType, long Options, bool ConvOracle) {
    vb::OnError on([this](const vb::Error& e) {
        return Util().TrataError(e, std::nullopt, QStringLiteral("AbrirRecordset"));
    });
    if (!Lrcs) Lrcs = ado::Recordset::Create();
    QString fuente;
    ado::ConnectionPtr activa;
    on.run([&] { CierraRecordset(Lrcs); });
    on.run([&] { SentenciaSQL = SS_TSinonimos(SentenciaSQL); });
    on.run([&] {
        // The Oracle mark must follow something (a provider key) in the connection text.
        const bool oracle = Pos(gCnn()->ConnectionString(), QStringLiteral("ORACLE")) > 1;
        fuente = oracle && ConvOracle ? ORACLE_Dicc(SentenciaSQL) : SentenciaSQL;
    });
    on.run([&] { activa = Conexionactiva ? Conexionactiva : gCnn(); });
    on.run([&] { Calls().OpenRecordset(*Lrcs, fuente, activa, CursorType, LockType, Options); });
    if (activa) Calls().Done(*activa, fuente);
}

std::optional<QString> DB_Dll::ErrorAlEjecutar(const QString& SentenciaSQL) {
    ado::Errors& errores = gCnn()->errors();
    errores.Clear();
    EjecutaConsultaSQL(SentenciaSQL);
    if (errores.Count() == 0) return std::nullopt;
    return errores.Item(0).Description;
}

void DB_Dll::CierraRecordset(ado::RecordsetPtr& LrcsTemp) {
    if (!LrcsTemp) LrcsTemp = ado::Recordset::Create();   // created on first use: closed
    bool pendingEdit = false;
    vb::OnError on([&](const vb::Error& e) {
        if (e.number() == vb::kErrAdoNotAllowed) {
            pendingEdit = true;
            return 0;
        }
        return Util().TrataError(e, std::nullopt, QStringLiteral("CierraRecordset"));
    });
    on.run([&] {
        if (LrcsTemp->State() != ado::adStateClosed) LrcsTemp->Close();
    });
    if (pendingEdit) {
        // A pending edit: drop it and close, asking nothing.
        vb::OnError quiet = vb::OnError::SkipAll();
        quiet.run([&] { LrcsTemp->CancelUpdate(); });
        quiet.run([&] {
            if (LrcsTemp->State() != ado::adStateClosed) LrcsTemp->Close();
        });
    }
}

ado::Transaction DB_Dll::Transaccion() {
    ado::Connection& cnn = *gCnn();
    return ado::Transaction([this, &cnn] { Calls().BeginTrans(cnn); }, [this, &cnn] { Calls().CommitTrans(cnn); },
                            [this, &cnn] { Calls().RollbackTrans(cnn); }, &cnn);
}

}  // namespace data
