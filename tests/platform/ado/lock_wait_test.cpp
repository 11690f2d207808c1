// Two stations on one database file: a statement waits for the other station's transaction, and
// a wait given up says which database is held and by what (the send's and the receive's boxes
// with it: tests/program). Both providers fail such a statement alike.
#include "ado_fixture.h"

#include "platform/ado/lock_wait.h"
#include "platform/ado/sqlite_files.h"

namespace {

using testsupport::Scalar;

class LockWaitTest : public ::testing::Test {
protected:
    void SetUp() override { db::CreateHeadOffice(tmp.path(), db::kHeadOfficeName, false); }
    ado::ConnectionPtr Open(const QString& name) {
        auto cn = ado::Connection::Create();
        cn->Open(db::ConnectionText(tmp.path(), name));
        return cn;
    }
    // A station in the middle of its transaction: it has written and not committed.
    static void Writes(const ado::ConnectionPtr& cn, const QString& key) {
        cn->BeginTrans();
        cn->Execute(QStringLiteral("INSERT INTO TA_CONFIGURACION (CLAVE, VALOR) VALUES ('%1', 'x')").arg(key));
    }
    static long Keys(const ado::ConnectionPtr& cn) { return Scalar(cn, "SELECT COUNT(*) FROM TA_CONFIGURACION").toLong(); }
    // The description of the failure `call` raises; empty when it raises none.
    static QString FailureOf(const std::function<void()>& call) {
        try {
            call();
        } catch (const vb::Error& e) {
            return e.description();
        }
        return {};
    }

    testsupport::TempFolder tmp;
};

TEST_F(LockWaitTest, AStatementWaitsForTheOtherStationsTransactionAndThenWrites) {
    auto other = Open(db::kHeadOfficeName);
    auto self = Open(db::kHeadOfficeName);
    const long before = Keys(self);
    int waits = 0;
    // The other station's transaction ends while this one waits for it.
    ado::sqlite::LockWaitForTesting wait(std::chrono::minutes(10), [&] {
        if (waits++ == 0) other->CommitTrans();
    });

    // A voucher: it reads before it writes, and sees what the other station committed meanwhile.
    Writes(other, "OTRA1");
    self->BeginTrans();
    EXPECT_EQ(Scalar(self, "SELECT COUNT(*) FROM TA_CONFIGURACION WHERE CLAVE = 'otra1 '").toLong(), 1);
    self->Execute("INSERT INTO TA_CONFIGURACION (CLAVE, VALOR) VALUES ('ESTA1', 'x')");
    self->CommitTrans();
    EXPECT_EQ(waits, 1);

    // A statement outside a transaction waits alike.
    waits = 0;
    Writes(other, "OTRA2");
    self->Execute("INSERT INTO TA_CONFIGURACION (CLAVE, VALOR) VALUES ('ESTA2', 'x')");
    EXPECT_EQ(waits, 1);
    EXPECT_EQ(Keys(other), before + 4);
}

TEST_F(LockWaitTest, AWaitGivenUpSaysWhichDatabaseIsHeldAndLeavesNothing) {
    int waits = 0;
    ado::sqlite::LockWaitForTesting wait(std::chrono::milliseconds(20), [&] { ++waits; });
    const QString heldBy = QStringLiteral(" está tomada por el envío o la recepción de otra estación (se esperó ");

    auto other = Open(db::kHeadOfficeName);
    auto self = Open(db::kHeadOfficeName);
    const long before = Keys(self);
    Writes(other, "OTRA");
    const QString failure = FailureOf([&] {
        self->BeginTrans();
        self->Execute("INSERT INTO TA_CONFIGURACION (CLAVE, VALOR) VALUES ('ESTA', 'x')");
    });
    EXPECT_TRUE(failure.startsWith(QStringLiteral("La base de la casa central (VOLMA)") + heldBy)) << failure.toStdString();
    EXPECT_TRUE(failure.endsWith(QStringLiteral(" a que terminara). Vuelva a intentarlo cuando haya terminado."))) << failure.toStdString();
    EXPECT_GE(waits, 1);
    ASSERT_EQ(self->errors().Count(), 1);
    EXPECT_EQ(self->errors().Item(0).NativeError, 1222);
    EXPECT_EQ(self->errors().Item(0).SQLState, "HYT00");
    // Nothing of it began: once the other station commits, the same voucher goes through.
    other->CommitTrans();
    self->BeginTrans();
    self->Execute("INSERT INTO TA_CONFIGURACION (CLAVE, VALOR) VALUES ('ESTA', 'x')");
    self->CommitTrans();
    EXPECT_EQ(Keys(other), before + 2);

    // A file that carries no description (one of an earlier version) is named by its name.
    db::CreateEmpty(tmp.path(), "TIENDA");
    auto otherShop = Open("TIENDA");
    auto selfShop = Open("TIENDA");
    otherShop->Execute("CREATE TABLE T (N int)");
    otherShop->BeginTrans();
    otherShop->Execute("INSERT INTO T VALUES (1)");
    EXPECT_TRUE(FailureOf([&] { selfShop->BeginTrans(); }).startsWith(QStringLiteral("La base de datos TIENDA") + heldBy));
    otherShop->RollbackTrans();
}

// Both providers: a statement on a database another connection holds fails, past the wait, as
// another station at work (the SQLite ODBC driver's busy file as SQL Server's lock time-out).
class HeldDatabaseTest : public adotest::ProviderFixture {};

TEST_P(HeldDatabaseTest, AStatementOnADatabaseAnotherConnectionHoldsFailsAsTheWaitForIt) {
    ado::sqlite::LockWaitForTesting wait(std::chrono::milliseconds(20));   // the embedded provider's
    cn->Execute("CREATE TABLE T (K int NOT NULL PRIMARY KEY)");
    // The SQLite ODBC driver waits for a busy file as long as its own Timeout says (ms).
    const QString waitText = GetParam() == adotest::Provider::Odbc ? QStringLiteral("Timeout=300;") : QString();
    cn->Close();
    cn->Open(text() + waitText);
    auto other = ado::Connection::Create();
    other->Open(text());
    other->BeginTrans();
    other->Execute("INSERT INTO T (K) VALUES (1)");
    cn->setCommandTimeout(1);
    long number = 0;
    QString text;
    try {
        cn->Execute("INSERT INTO T (K) VALUES (2)");
    } catch (const vb::Error& e) {
        number = e.number();
        text = e.description();
    }
    EXPECT_EQ(number, vb::kHrTimeout);
    EXPECT_TRUE(text.startsWith(QStringLiteral("La base de datos TIENDA está tomada por el envío o la recepción de otra estación")))
        << text.toStdString();
    ASSERT_GE(cn->errors().Count(), 1);
    EXPECT_EQ(cn->errors().Item(0).NativeError, 1222);
    EXPECT_EQ(cn->errors().Item(0).SQLState, "HYT00");
    EXPECT_EQ(ado::LockFailureOf(cn->errors()), ado::LockFailure::TimedOut);
    other->CommitTrans();
    cn->Execute("INSERT INTO T (K) VALUES (2)");
    EXPECT_EQ(testsupport::Count(cn, "T"), 2);
}

INSTANTIATE_TEST_SUITE_P(Providers, HeldDatabaseTest, testing::Values(adotest::Provider::Embedded, adotest::Provider::Odbc),
                         adotest::ProviderName);

}  // namespace
