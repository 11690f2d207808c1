// The Oracle dialect: the program writes SQL Server's, and on an Oracle connection DB_Dll turns
// each text into Oracle's by a fixed chain of rules, and runs statement batches one statement at
// a time with the transaction statements mapped onto the connection's own calls.
#include "data/db_dll.h"
#include "data/db_dll_text.h"
#include "platform/utillib/util_texto.h"
#include "platform/vb/dates.h"
#include "platform/vb/error.h"

#include <array>
#include <memory>
#include <vector>

namespace data {

using text::Has;
using text::Pos;
using text::ReplaceAll;
using text::TrimBlanks;

namespace {

const QString kMascara = QStringLiteral("'DD/MM/YYYY'");

// TOP n becomes a ROWNUM limit; a GROUP BY clause (with what follows it), or else an ORDER BY
// clause, moves behind the limit.
QString TopARownum(const QString& valor) {
    const int p = Pos(valor, QStringLiteral("top"));
    const QString head = valor.left(p - 1);
    const QString after = TrimBlanks(valor.mid(p + 2));
    const qsizetype blank = after.indexOf(u' ');
    const QString cuenta = blank < 0 ? after : after.left(blank);
    QString body = blank < 0 ? QString() : after.mid(blank + 1);

    QString tail1, tail2;
    if (const int g = Pos(valor, QStringLiteral(" GROUP BY ")))
        tail1 = valor.mid(g - 1);
    else if (const int o = Pos(valor, QStringLiteral("ORDER BY ")))
        tail2 = valor.mid(o - 1);
    const QString limite = (Has(valor, QStringLiteral(" WHERE ")) ? QStringLiteral(" AND ROWNUM <= ")
                                                                  : QStringLiteral(" WHERE ROWNUM <= ")) + cuenta;
    if (!TrimBlanks(tail1).isEmpty()) body = ReplaceAll(body, TrimBlanks(tail1), QStringLiteral(" "));
    if (!TrimBlanks(tail2).isEmpty()) body = ReplaceAll(body, TrimBlanks(tail2), QStringLiteral(" "));
    return head + u' ' + body + u' ' + limite + u' ' + tail1 + u' ' + tail2;
}

// Quoted date literals become TO_DATE calls with a day-first mask.
QString FechasATODATE(const QString& w) {
    QString copia = w;
    int pos = 1;
    for (;;) {
        const int q1 = Pos(w, QStringLiteral("'"), pos);
        if (q1 == 0) break;
        const int q2 = Pos(w, QStringLiteral("'"), q1 + 1);
        if (q2 == 0) vb::Raise(vb::kErrInvalidProcedureCall);   // a quote without its partner
        const QString literal = w.mid(q1, q2 - q1 - 1);
        vb::Date d;
        if (vb::ParseDate(literal, &d))
            copia = ReplaceAll(copia, u'\'' + literal + u'\'',
                               QStringLiteral("TO_DATE('") + d.toQDate().toString(QStringLiteral("dd/MM/yyyy")) +
                                   QStringLiteral("',") + kMascara + u')');
        pos = q2 + 1;
    }
    // A literal that was already inside TO_DATE is not converted twice.
    while (Has(copia, QStringLiteral("TO_DATE(TO_DATE("))) {
        copia = ReplaceAll(copia, QStringLiteral("TO_DATE(TO_DATE("), QStringLiteral("TO_DATE("));
        copia = ReplaceAll(copia, kMascara + QStringLiteral("),") + kMascara + u')', kMascara + u')');
    }
    return copia;
}

// After WHERE, a comparison with an empty text becomes IS NULL (Oracle stores '' as NULL).
QString VaciosANull(QString w) {
    for (const QString& igual : {QStringLiteral("= ''"), QStringLiteral("=''")}) {
        const int p = Pos(w, QStringLiteral("WHERE "));
        if (p == 0) continue;
        w = w.left(p - 1) + ReplaceAll(w.mid(p - 1), igual, QStringLiteral(" IS NULL "));
    }
    return w;
}

// Style 103 of a conversion to text becomes the day-first mask.
QString Estilo103(QString w) {
    int pos = 1;
    for (int p = Pos(w, QStringLiteral("103"), pos); p != 0; p = Pos(w, QStringLiteral("103"), pos)) {
        const int paren = static_cast<int>(w.lastIndexOf(u'(', p - 1)) + 1;
        if (paren >= 8 && w.mid(paren - 8, 8).compare(QLatin1String("TO_CHAR("), Qt::CaseInsensitive) == 0)
            w = w.left(p - 1) + kMascara + w.mid(p + 2);
        pos = p + 3;
    }
    return w;
}

// Where one statement of a batch begins.
const std::array<QString, 12> kPalabrasSentencia{
    QStringLiteral("INSERT "),        QStringLiteral("DELETE "),   QStringLiteral("UPDATE "),
    QStringLiteral("CREATE "),        QStringLiteral("DROP "),     QStringLiteral("ALTER "),
    QStringLiteral("SET TRANSACTION"), QStringLiteral("COMMIT"),   QStringLiteral("ROLLBACK"),
    QStringLiteral("IF NOT EXIST"),   QStringLiteral("IF EXIST"),  QStringLiteral("GRANT "),
};

// The first position from `start` on at which any statement keyword stands, 0 when none.
int PrimeraPalabra(const QString& s, int start) {
    int first = 0;
    for (const QString& k : kPalabrasSentencia) {
        const int p = Pos(s, k, start);
        if (p != 0 && (first == 0 || p < first)) first = p;
    }
    return first;
}

bool Es(const QString& sentencia, const char* palabra) {
    return sentencia.trimmed().compare(QLatin1String(palabra), Qt::CaseInsensitive) == 0;
}

constexpr long kOracleSinFilas = 265929;   // the provider's notice after a batch that read nothing

}  // namespace

QString DB_Dll::ORACLE_Dicc(const QString& Valor) {
    if (!Has(gConnString, QStringLiteral("ORACLE"))) return Valor;
    if (Util().CuentaPalabras(Valor) <= 1)
        return Valor.compare(QLatin1String("LEN"), Qt::CaseInsensitive) == 0 ? QStringLiteral("LENGTH") : Valor;

    QString w = Valor;
    if (Has(Valor, QStringLiteral("top "))) w = TopARownum(Valor);
    for (const char* len : {" LEN(", " LEN (", " LEN  (", " LEN   (", " LEN    ("})
        w = ReplaceAll(w, QLatin1String(len), QStringLiteral(" LENGTH("));
    w = ReplaceAll(w, QStringLiteral("["), QStringLiteral("\""));
    w = ReplaceAll(w, QStringLiteral("]"), QStringLiteral("\""));
    w = FechasATODATE(w);
    w = ReplaceAll(w, QStringLiteral("Charindex"), QStringLiteral("InStr"));
    w = ReplaceAll(w, QStringLiteral("CONVERT(NVARCHAR,"), QStringLiteral("TO_CHAR("));
    w = ReplaceAll(w, QStringLiteral("CONVERT(INT,"), QStringLiteral("TO_NUMBER("));
    w = VaciosANull(w);
    w = Estilo103(w);
    w = ReplaceAll(w, QStringLiteral("SUBSTRING("), QStringLiteral("SUBSTR("));
    w = ReplaceAll(w, QStringLiteral("ISNULL("), QStringLiteral("NVL("));
    return w;
}

QString DB_Dll::DescartaSentenciaOracle(QString& Sentencia) {
    if (Has(Sentencia, QStringLiteral("SET NOCOUNT")) || Has(Sentencia, QStringLiteral("IF NOT EXIST")))
        Sentencia.clear();
    return Sentencia;
}

void DB_Dll::EjecutaScriptOracle(QString& Sentencia, long& RecordsAffected) {
    QString& s = Sentencia;
    s = ReplaceAll(s, QStringLiteral("SET NOCOUNT ON"), QString());
    s = ReplaceAll(s, QStringLiteral("SET NOCOUNT OFF"), QString());
    s = ReplaceAll(s, QStringLiteral(" GO "), QStringLiteral(" "));
    s = ReplaceAll(s, QStringLiteral("\r\nGO "), QStringLiteral(" "));
    s = ReplaceAll(s, QStringLiteral("\r\nGO "), QStringLiteral(" "));
    s = ReplaceAll(s, QStringLiteral("\r\nGO\r\n"), QStringLiteral(" "));
    s = ReplaceAll(s, QStringLiteral("\r"), QStringLiteral(" "));
    s = ReplaceAll(s, QStringLiteral("BEGIN TRANSACTION"), QStringLiteral("SET TRANSACTION"));
    s = ReplaceAll(s, QStringLiteral("BEGIN TRANS"), QStringLiteral("SET TRANSACTION"));
    s = ReplaceAll(s, QStringLiteral("COMMIT TRANSACTION"), QStringLiteral("COMMIT"));
    s = ReplaceAll(s, QStringLiteral("COMMIT TRANS"), QStringLiteral("COMMIT"));
    s = ReplaceAll(s, QStringLiteral("ROLLBACK TRANSACTION"), QStringLiteral("ROLLBACK"));
    s = ReplaceAll(s, QStringLiteral("ROLLBACK TRANS"), QStringLiteral("ROLLBACK"));

    ado::Connection& cnn = *gCnn();
    // The transactions this batch began and has not ended, innermost last. A failing statement
    // leaves the loop with them open: their guards roll them back, keeping the server's entries
    // of the failure in Errors, and the error goes on to the caller.
    std::vector<std::unique_ptr<ado::Transaction>> abiertas;
    for (;;) {
        const int inicio = PrimeraPalabra(s, 1);
        if (inicio == 0) break;
        s = s.mid(inicio - 1);
        const int siguiente = PrimeraPalabra(s, 2);
        const qsizetype fin = siguiente == 0 ? s.size() : siguiente - 1;
        const QString sentencia = TrimBlanks(s.left(fin));
        if (Es(sentencia, "SET TRANSACTION")) {
            abiertas.push_back(std::unique_ptr<ado::Transaction>(new ado::Transaction(Transaccion())));
        } else if (Es(sentencia, "COMMIT") || Es(sentencia, "ROLLBACK")) {
            const bool confirma = Es(sentencia, "COMMIT");
            if (abiertas.empty()) {
                // Ends a transaction begun before this batch.
                if (confirma) Calls().CommitTrans(cnn);
                else Calls().RollbackTrans(cnn);
            } else {
                if (confirma) abiertas.back()->Commit();
                else abiertas.back()->Rollback();
                abiertas.pop_back();
            }
        } else {
            QString oracle = ORACLE_Dicc(sentencia);
            DescartaSentenciaOracle(oracle);
            if (!TrimBlanks(oracle).isEmpty()) {
                long filas = 0;
                Calls().Execute(cnn, oracle, &filas, -1);
                RecordsAffected += filas;
            }
        }
        s = TrimBlanks(s.mid(fin));
    }
    // A batch that ends inside its transaction leaves it open for a later batch to end.
    for (auto& t : abiertas) t->Release();
    ado::Errors& errs = cnn.errors();
    if (errs.Count() == 1 && errs.Item(0).Number == kOracleSinFilas) errs.Clear();
}

}  // namespace data
