// The embedded database files as others meet them: the stock sqlite3 shell refuses what it cannot
// read by the program's compare rules and answers the rest as the program's tool (korvane-sql)
// does; files of earlier versions are upgraded whole or not at all; and a receive while another
// station holds the head office waits for it, or says in its box what was held.
#include "receiver/receiver_fixture.h"

#include "platform/ado/sqlite_files.h"
#include "platform/vb/on_error.h"

#include <QProcess>
#include <QStandardPaths>

namespace {

using receivertest::ReceiverFixture;

struct Output {
    int status = -1;
    QString out;
    QString err;
};

Output Run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    Output o;
    if (!p.waitForStarted() || !p.waitForFinished(300000)) {
        o.err = QStringLiteral("could not run ") + program;
        return o;
    }
    o.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    o.out = QString::fromUtf8(p.readAllStandardOutput());
    o.err = QString::fromUtf8(p.readAllStandardError());
    return o;
}

// The program's tool, built with the rest, and the stock shell with nothing loaded.
Output Tool(const QStringList& args) { return Run(qEnvironmentVariable("KORV_BINARY_DIR") + QStringLiteral("/src/tools/korvane-sql"), args); }
Output Stock(const QString& file, const QString& sql) {
    const QString shell = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (shell.isEmpty()) return Output{-1, {}, QStringLiteral("sqlite3 is not installed (scripts/install-deps)")};
    return Run(shell, {QStringLiteral("-bail"), file, sql});
}

bool Refused(const Output& o) {
    return o.status != 0 && (o.err.contains(QStringLiteral("no such collation sequence: KORV_")) ||
                             o.err.contains(QStringLiteral("no such function: korv_")));
}

// A file as earlier versions wrote it: the program's compare rules under SQLite's own names.
// `sql` then runs in the stock shell, as an administrator's standard tool would run it.
void MakeEarlierVersion(const QString& file, const QString& sql) {
    const Output renamed = Stock(file, QStringLiteral("PRAGMA writable_schema=ON; UPDATE sqlite_schema SET sql = "
                                                      "replace(replace(sql, 'COLLATE KORV_TEXT', 'COLLATE NOCASE'), "
                                                      "'COLLATE KORV_DATE', 'COLLATE RTRIM'); PRAGMA writable_schema=OFF;"));
    ASSERT_EQ(renamed.status, 0) << renamed.err.toStdString();
    const Output o = Stock(file, sql);   // a shell that reads the schema as it is now
    ASSERT_EQ(o.status, 0) << o.err.toStdString();
}
long OldNames(const QString& file) {
    return Tool({file, QStringLiteral("SELECT COUNT(*) FROM sqlite_schema WHERE instr(sql, 'COLLATE NOCASE') OR "
                                      "instr(sql, 'COLLATE RTRIM')")}).out.trimmed().toLong();
}

class EmbeddedFilesTest : public ReceiverFixture {
protected:
    QString Volma() const { return bases + QStringLiteral("/VOLMA.sqlite"); }
    QString Interface() const { return bases + QStringLiteral("/korvane_interfases.sqlite"); }
};

TEST_F(EmbeddedFilesTest, AReceivedHeadOfficeChecksOkAndTheStockShellRefusesOrAgrees) {
    ASSERT_EQ(Recibe().comprobantes, 7);
    for (const QString& file : {Volma(), Interface()}) {
        const Output check = Tool({file, QStringLiteral("PRAGMA integrity_check")});
        EXPECT_EQ(check.out, QStringLiteral("ok\n")) << check.err.toStdString();
    }
    struct Case { QString file; const char* sql; };
    const Case cases[] = {
        {Interface(), "SELECT ARTI, DESCRI, PVENTA, TIPOACT FROM IMPONOVARTI"},
        {Interface(), "SELECT * FROM Depositos WHERE cod_suc = '001'"},
        {Volma(), "SELECT * FROM MV_NOVEDADESPRECIOS"},
        {Volma(), "SELECT IDARTICULO, ESTADO, TRANSMISION FROM V_MA_PRECIOS WHERE IDLISTA = 'A3'"},
        {Volma(), "SELECT TC, IdComprobante, UNEGOCIO, Secuencia, IdArticulo, Cantidad FROM V_MV_STOCK "
                  "WHERE Fecha = '2008-03-05 00:00:00' AND RTRIM(TC) <> 'PE'"},
        {Volma(), "SELECT COUNT(*) FROM V_MV_STOCK WHERE TC = 'tk '"},
        {Volma(), "SELECT IdArticulo, Cantidad FROM V_MV_STOCK ORDER BY IdArticulo, Cantidad"},
        {Volma(), "SELECT Cantidad FROM V_MV_STOCK ORDER BY rowid"},
        {Volma(), "SELECT ARTI, DESCRI FROM QET_KORVANE"},
        {Volma(), "PRAGMA integrity_check"},
    };
    int refused = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sql);
        const QString sql = QString::fromUtf8(c.sql);
        const Output program = Tool({c.file, sql});
        ASSERT_EQ(program.status, 0) << program.err.toStdString();
        const Output stock = Stock(c.file, sql);
        if (Refused(stock)) ++refused;
        else EXPECT_EQ(stock.out, program.out) << stock.err.toStdString();
    }
    EXPECT_GE(refused, 6);   // every comparison of the program's texts and dates
    // What an administrator's standard tool would rebuild by its own rules, it refuses.
    for (const char* sql : {"REINDEX", "VACUUM", "INSERT INTO TA_CONFIGURACION (CLAVE) VALUES ('OTRA')"}) {
        SCOPED_TRACE(sql);
        EXPECT_TRUE(Refused(Stock(Volma(), QString::fromUtf8(sql))));
    }
    EXPECT_EQ(Tool({Volma(), QStringLiteral("PRAGMA integrity_check")}).out, QStringLiteral("ok\n"));
}

TEST(EmbeddedFiles, AFileOfAnEarlierVersionIsUpgradedWholeOrNotAtAll) {
    testsupport::TempFolder tmp;
    db::CreateHeadOffice(tmp.path(), db::kHeadOfficeName, true);
    const QString file = tmp.file(QStringLiteral("VOLMA.sqlite"));
    // Keys the two rules order apart ('_' before letters by the shell's rule, after them by the
    // program's), with the indexes rebuilt by the shell: what an administrator's REINDEX did.
    MakeEarlierVersion(file, QStringLiteral("INSERT INTO TA_CONFIGURACION (CLAVE, VALOR) VALUES ('A_B', '1'), ('AAB', '2'), "
                                            "('ZZ', '3'); REINDEX;"));
    const long oldNames = OldNames(file);
    ASSERT_GT(oldNames, 50);
    EXPECT_NE(Tool({file, QStringLiteral("PRAGMA integrity_check")}).out, QStringLiteral("ok\n"));

    // Not at all: a file whose keys the program's rule finds repeated cannot be upgraded.
    QDir().mkpath(tmp.file(QStringLiteral("repetidas")));
    const QString repeated = tmp.file(QStringLiteral("repetidas/VOLMA.sqlite"));
    ASSERT_TRUE(QFile::copy(file, repeated));
    ASSERT_EQ(Stock(repeated, QStringLiteral("INSERT INTO TA_CONFIGURACION (CLAVE) VALUES ('xy'), ('XY ')")).status, 0);
    const Output refused = Tool({QStringLiteral("--upgrade"), repeated});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(refused.err.contains(QStringLiteral("UNIQUE constraint failed: TA_CONFIGURACION.CLAVE"))) << refused.err.toStdString();
    EXPECT_EQ(OldNames(repeated), oldNames);
    EXPECT_EQ(Stock(repeated, QStringLiteral("PRAGMA integrity_check")).out, QStringLiteral("ok\n"));
    {
        auto cn = ado::Connection::Create();   // the program still opens it, as it was
        cn->Open(db::ConnectionText(tmp.file(QStringLiteral("repetidas")), db::kHeadOfficeName));
        EXPECT_EQ(testsupport::Scalar(cn, QStringLiteral("SELECT VALOR FROM TA_CONFIGURACION WHERE CLAVE = 'ZZ'")).text(), "3");
    }
    EXPECT_EQ(OldNames(repeated), oldNames);

    // Whole: the program upgrades the file when it opens it.
    {
        auto cn = ado::Connection::Create();
        cn->Open(db::ConnectionText(tmp.path(), db::kHeadOfficeName));
        EXPECT_EQ(testsupport::Scalar(cn, QStringLiteral("SELECT VALOR FROM TA_CONFIGURACION WHERE CLAVE = 'a_b  '")).text(), "1");
    }
    EXPECT_EQ(OldNames(file), 0);
    EXPECT_EQ(Tool({file, QStringLiteral("PRAGMA integrity_check")}).out, QStringLiteral("ok\n"));
    EXPECT_TRUE(Refused(Stock(file, QStringLiteral("SELECT VALOR FROM TA_CONFIGURACION WHERE CLAVE = 'A_B'"))));
    EXPECT_EQ(Tool({QStringLiteral("--upgrade"), file}).out, QStringLiteral("nothing to upgrade\n"));

    // The tool's own upgrade, of a database the program has not opened since.
    MakeEarlierVersion(file, QStringLiteral("REINDEX;"));
    EXPECT_EQ(Tool({QStringLiteral("--upgrade"), file}).out, QStringLiteral("upgraded\n"));
    EXPECT_EQ(OldNames(file), 0);
    EXPECT_EQ(Tool({file, QStringLiteral("PRAGMA integrity_check")}).out, QStringLiteral("ok\n"));
}

// A box that lets the other station end its transaction once it is shown.
class ReleasingPrompter : public ui::ScriptedPrompter {
public:
    std::function<void()> onBox;
    int msgBox(const QString& prompt, int buttons, const QString& title) override {
        const int answer = ScriptedPrompter::msgBox(prompt, buttons, title);
        if (onBox) std::exchange(onBox, nullptr)();
        return answer;
    }
};

// The other station (a send marking its prices) in the middle of its transaction on the head office.
class HeldHeadOfficeTest : public EmbeddedFilesTest {
protected:
    void SetUp() override {
        EmbeddedFilesTest::SetUp();
        other = ado::Connection::Create();
        other->Open(db::ConnectionText(bases, db::kHeadOfficeName));
        other->BeginTrans();
        other->Execute("UPDATE TA_CONFIGURACION SET VALOR = VALOR WHERE CLAVE = 'PIVA'");
    }
    ado::ConnectionPtr other;
};

TEST_F(HeldHeadOfficeTest, AReceiveWaitsForTheOtherStationsTransaction) {
    // It ends while the first voucher waits: every voucher is posted, no box.
    int waits = 0;
    ado::sqlite::LockWaitForTesting wait(std::chrono::minutes(10), [&] {
        if (waits++ == 0) other->CommitTrans();
    });
    EXPECT_EQ(Recibe().comprobantes, 7);
    EXPECT_EQ(waits, 1);
}

TEST_F(HeldHeadOfficeTest, AVoucherThatGaveUpWaitingSaysTheHeadOfficeIsHeldAndRetryPostsIt) {
    // It holds on past the wait, and ends once the box is shown; the operator retries.
    ado::sqlite::LockWaitForTesting wait(std::chrono::milliseconds(20));
    ReleasingPrompter boxes;
    boxes.onBox = [&] { other->CommitTrans(); };
    boxes.answer(vb::kRetry, QStringLiteral("La base de la casa central (VOLMA) está tomada por el envío o la recepción de otra estación"));
    EXPECT_EQ(Recibe().comprobantes, 7);
    EXPECT_TRUE(boxes.exhausted());
    EXPECT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(Log().size(), 1);   // the demo's one row of an unknown article, nothing else
}

}  // namespace
