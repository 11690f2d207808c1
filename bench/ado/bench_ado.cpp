// The embedded provider against the raw SQLite C API, in the same run: 100,000 INSERT statements
// through Connection::Execute and a read of them through a Recordset, beside the same statements
// run with sqlite3_prepare/step on a database of the same schema. Ends with "ado/raw ratio: R".
#include "db/databases.h"
#include "platform/ado/ado.h"
#include "raw_sqlite.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kRows = 100000;
constexpr int kRounds = 3;

const char* kCreate =
    "CREATE TABLE MOVIMIENTOS (ID int NOT NULL PRIMARY KEY, CODIGO varchar(25) NOT NULL, DESCRIPCION nvarchar(50) NULL, "
    "CANTIDAD float NULL, IMPORTE money NULL, FECHA datetime NULL)";

std::vector<std::string> Statements() {
    std::vector<std::string> out;
    out.reserve(kRows);
    char buf[256];
    for (int i = 0; i < kRows; ++i) {
        std::snprintf(buf, sizeof buf,
                      "INSERT INTO MOVIMIENTOS (ID,CODIGO,DESCRIPCION,CANTIDAD,IMPORTE,FECHA) VALUES "
                      "(%d,'%06d','Artículo número %d',%d.5,%d.25,'2008-03-05 10:00:00')",
                      i, i % 999999, i, i % 50, i % 1000);
        out.emplace_back(buf);
    }
    return out;
}

void Check(int rc, sqlite3* db, const char* what) {
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        std::fprintf(stderr, "%s: %s\n", what, sqlite3_errmsg(db));
        std::exit(1);
    }
}

struct Times {
    double insert = 0, read = 0;
    double total() const { return insert + read; }
};

// The raw side: a database with the schema the embedded provider made, the same statements.
Times RunRaw(const QString& folder, const std::string& schema, const std::vector<std::string>& statements) {
    const QString path = db::CreateEmpty(folder, QStringLiteral("RAW"));
    // Opened as the provider opens it, with plain compare rules under the schema's rule names.
    sqlite3* db = rawsqlite::OpenRaw(path);
    Check(sqlite3_exec(db, schema.c_str(), nullptr, nullptr, nullptr), db, "schema");
    Times t;
    QElapsedTimer timer;
    timer.start();
    Check(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db, "begin");
    for (const std::string& s : statements) {
        sqlite3_stmt* st = nullptr;
        Check(sqlite3_prepare_v2(db, s.c_str(), static_cast<int>(s.size()), &st, nullptr), db, "prepare");
        Check(sqlite3_step(st), db, "step");
        sqlite3_finalize(st);
    }
    Check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db, "commit");
    t.insert = static_cast<double>(timer.nsecsElapsed()) / 1e6;

    timer.restart();
    sqlite3_stmt* st = nullptr;
    Check(sqlite3_prepare_v2(db, "SELECT * FROM MOVIMIENTOS ORDER BY ID", -1, &st, nullptr), db, "prepare");
    long long check = 0;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        check += sqlite3_column_int64(st, 0);
        check += sqlite3_column_bytes(st, 1) + (sqlite3_column_text(st, 1) ? 1 : 0);
        check += sqlite3_column_bytes(st, 2) + (sqlite3_column_text(st, 2) ? 1 : 0);
        check += static_cast<long long>(sqlite3_column_double(st, 3));
        check += static_cast<long long>(sqlite3_column_double(st, 4));
        check += sqlite3_column_bytes(st, 5) + (sqlite3_column_text(st, 5) ? 1 : 0);
    }
    Check(rc, db, "read");
    sqlite3_finalize(st);
    t.read = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    if (check == 42) std::printf(" ");
    sqlite3_close_v2(db);
    return t;
}

Times RunAdo(const QString& folder, const std::vector<std::string>& statements, std::string* schema) {
    db::CreateEmpty(folder, QStringLiteral("BENCH"));
    auto cn = ado::Connection::Create();
    cn->Open(db::ConnectionText(folder, QStringLiteral("BENCH")));
    cn->Execute(QString::fromLatin1(kCreate));
    {
        auto rs = cn->Execute(QStringLiteral("SELECT sql FROM sqlite_master WHERE name = 'MOVIMIENTOS'"));
        *schema = rs->Fields(0).Value().toString().toStdString();
    }
    std::vector<QString> texts;
    texts.reserve(statements.size());
    for (const std::string& s : statements) texts.push_back(QString::fromStdString(s));

    Times t;
    QElapsedTimer timer;
    timer.start();
    cn->BeginTrans();
    for (const QString& s : texts) cn->Execute(s);
    cn->CommitTrans();
    t.insert = static_cast<double>(timer.nsecsElapsed()) / 1e6;

    timer.restart();
    auto rs = ado::Recordset::Create();
    rs->Open(QStringLiteral("SELECT * FROM MOVIMIENTOS with(nolock) ORDER BY ID"), cn);
    long long check = 0;
    const int fields = rs->fieldCount();
    long rows = 0;
    while (!rs->Eof()) {
        for (int f = 0; f < fields; ++f) {
            const vb::Variant v = rs->Fields(f).Value();
            check += v.isNull() ? 0 : 1;
        }
        ++rows;
        rs->MoveNext();
    }
    rs->Close();
    t.read = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    if (rows != kRows) {
        std::fprintf(stderr, "read %ld rows, expected %d\n", rows, kRows);
        std::exit(1);
    }
    if (check == 42) std::printf(" ");
    cn->Close();
    return t;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir tmp;
    if (!tmp.isValid()) {
        std::fprintf(stderr, "cannot create a temporary folder\n");
        return 1;
    }
    const std::vector<std::string> statements = Statements();
    Times bestAdo{1e300, 1e300}, bestRaw{1e300, 1e300};
    double bestRatio = 1e300;
    for (int round = 0; round < kRounds; ++round) {
        const QString folder = QDir(tmp.path()).filePath(QStringLiteral("r%1").arg(round));
        std::string schema;
        const Times a = RunAdo(folder, statements, &schema);
        const Times r = RunRaw(folder, schema, statements);
        std::printf("round %d: ado insert %.1f ms, read %.1f ms; raw insert %.1f ms, read %.1f ms\n", round + 1, a.insert,
                    a.read, r.insert, r.read);
        if (a.total() / r.total() < bestRatio) {
            bestRatio = a.total() / r.total();
            bestAdo = a;
            bestRaw = r;
        }
    }
    std::printf("%d INSERT statements and a read of them, best of %d rounds\n", kRows, kRounds);
    std::printf("ado: insert %.1f ms, read %.1f ms, total %.1f ms\n", bestAdo.insert, bestAdo.read, bestAdo.total());
    std::printf("raw: insert %.1f ms, read %.1f ms, total %.1f ms\n", bestRaw.insert, bestRaw.read, bestRaw.total());
    std::printf("ado/raw ratio: %.2f\n", bestRatio);
    return 0;
}
