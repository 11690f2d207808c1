// The transaction contract both providers keep (see "Transactions" in ado.h): the level follows
// the engine through refused commits and the engine's own rollbacks, a nested transaction is a
// savepoint, and a data error leaves the transaction to commit. Faults are the engine's own: a
// deferred foreign key refuses the commit, a page limit fills the file.
#include "ado_fixture.h"

#include "platform/ado/transaction.h"

namespace {

using adotest::Provider;
using testsupport::Count;
using testsupport::Scalar;

class TransactionsTest : public adotest::ProviderFixture {
protected:
    void SetUp() override {
        ProviderFixture::SetUp();
        if (IsSkipped()) return;
        cn->Execute("CREATE TABLE P (K int NOT NULL PRIMARY KEY)");
        cn->Execute("CREATE TABLE C (K int NOT NULL PRIMARY KEY, P int NULL REFERENCES P (K))");
        cn->Execute("CREATE TABLE B (K int NOT NULL PRIMARY KEY, V varchar(8000) NULL)");
        cn->Execute("INSERT INTO P (K) VALUES (1)");
    }
    void Insert(int k) { cn->Execute(QStringLiteral("INSERT INTO P (K) VALUES (%1)").arg(k)); }
    // The keys of P, read on a connection of their own: what is committed.
    QString Committed() {
        auto other = ado::Connection::Create();
        other->Open(text());
        QStringList keys;
        for (const auto& row : testsupport::Rows(other, "SELECT K FROM P ORDER BY K")) keys << row[0].text();
        return keys.join(u' ');
    }
    std::vector<long> Natives() {
        std::vector<long> out;
        for (int i = 0; i < cn->errors().Count(); ++i) out.push_back(cn->errors().Item(i).NativeError);
        return out;
    }
    bool Told(long native) {
        const std::vector<long> n = Natives();
        return std::find(n.begin(), n.end(), native) != n.end();
    }
    // The file may grow no more on this connection: the next page it needs fills the disk.
    void FillTheDisk() { cn->Execute("PRAGMA max_page_count = " + Scalar(cn, "PRAGMA page_count").text()); }
    void FreeTheDisk() { cn->Execute("PRAGMA max_page_count = 1000000"); }
    // A row that needs pages of its own.
    void InsertLarge(int k) { cn->Execute(QStringLiteral("INSERT INTO B (K, V) VALUES (%1, '%2')").arg(k).arg(QString(6000, u'x'))); }
};

TEST_P(TransactionsTest, ARefusedCommitLeavesTheTransactionToTheCaller) {
    cn->Execute("PRAGMA foreign_keys = ON");
    cn->BeginTrans();
    cn->Execute("PRAGMA defer_foreign_keys = ON");
    Insert(2);
    cn->Execute("INSERT INTO C (K, P) VALUES (1, 99)");
    EXPECT_THROW(cn->CommitTrans(), vb::Error);
    EXPECT_EQ(cn->transactionLevel(), 1);
    EXPECT_EQ(Committed(), "1");
    // Made good, the same transaction commits whole.
    Insert(99);
    cn->CommitTrans();
    EXPECT_EQ(cn->transactionLevel(), 0);
    EXPECT_EQ(Committed(), "1 2 99");

    // Refused again, through the guard: its rollback takes back the whole, and the connection
    // works on in its own autocommit.
    {
        ado::Transaction tx(*cn);
        cn->Execute("PRAGMA defer_foreign_keys = ON");
        Insert(3);
        cn->Execute("INSERT INTO C (K, P) VALUES (2, 98)");
        EXPECT_THROW(tx.Commit(), vb::Error);
        EXPECT_TRUE(tx.open());
    }
    EXPECT_EQ(cn->transactionLevel(), 0);
    EXPECT_EQ(Count(cn, "C"), 1);
    Insert(4);
    EXPECT_EQ(Committed(), "1 2 4 99");
}

TEST_P(TransactionsTest, AnEngineRollbackIsToldAndDoomsTheTransactionAtEveryLevel) {
    FillTheDisk();
    cn->BeginTrans();
    Insert(2);
    cn->BeginTrans();
    Insert(3);
    EXPECT_THROW(InsertLarge(1), vb::Error);
    EXPECT_TRUE(Told(3998)) << "the engine's rollback is told";
    // Nothing runs outside the transaction the caller holds: no statement, no commit, no begin.
    EXPECT_VB_ERROR(Insert(4), vb::kHrUnspecified);
    EXPECT_EQ(Natives(), std::vector<long>{3930});
    EXPECT_THROW(cn->CommitTrans(), vb::Error);
    EXPECT_THROW(cn->BeginTrans(), vb::Error);
    EXPECT_EQ(cn->transactionLevel(), 2);
    cn->RollbackTrans();
    EXPECT_THROW(cn->CommitTrans(), vb::Error);
    EXPECT_EQ(cn->transactionLevel(), 1);
    cn->RollbackTrans();
    EXPECT_EQ(cn->transactionLevel(), 0);
    EXPECT_EQ(Committed(), "1");

    // The disk freed, the connection works on; full again inside a guard, the guard ends it.
    FreeTheDisk();
    cn->BeginTrans();
    Insert(5);
    cn->CommitTrans();
    FillTheDisk();
    try {
        ado::Transaction tx(*cn);
        Insert(6);
        InsertLarge(2);
        tx.Commit();
        ADD_FAILURE() << "the disk did not fill";
    } catch (const vb::Error&) {
    }
    EXPECT_TRUE(Told(3998));
    EXPECT_EQ(cn->transactionLevel(), 0);
    FreeTheDisk();
    Insert(7);
    EXPECT_EQ(Committed(), "1 5 7");
}

TEST_P(TransactionsTest, ANestedRollbackUndoesTheInnerWorkOnly) {
    cn->BeginTrans();
    Insert(2);
    cn->BeginTrans();
    Insert(3);
    cn->BeginTrans();
    Insert(4);
    EXPECT_EQ(cn->transactionLevel(), 3);
    cn->RollbackTrans();
    Insert(5);
    cn->CommitTrans();
    EXPECT_EQ(cn->transactionLevel(), 1);
    cn->BeginTrans();
    Insert(6);
    cn->RollbackTrans();
    cn->BeginTrans();
    Insert(7);
    cn->CommitTrans();
    EXPECT_EQ(Committed(), "1");
    cn->CommitTrans();
    EXPECT_EQ(Committed(), "1 2 3 5 7");

    // Through guards, as a posting inside a caller's transaction: the inner one left on a failure
    // takes back its own rows, the outer commits the rest; the outer rolled back takes back all.
    {
        ado::Transaction outer(*cn);
        Insert(10);
        try {
            ado::Transaction inner(*cn);
            Insert(11);
            Insert(10);
            inner.Commit();
        } catch (const vb::Error&) {
        }
        EXPECT_EQ(cn->transactionLevel(), 1);
        Insert(12);
        outer.Commit();
    }
    {
        ado::Transaction outer(*cn);
        Insert(20);
        ado::Transaction inner(*cn);
        Insert(21);
        inner.Commit();
    }
    EXPECT_EQ(Committed(), "1 2 3 5 7 10 12");
}

TEST_P(TransactionsTest, ADataErrorLeavesTheTransactionToCommit) {
    cn->BeginTrans();
    // The SQLite ODBC driver takes one statement a call; the embedded provider runs the batch on.
    if (GetParam() == Provider::Embedded) {
        EXPECT_THROW(cn->Execute("INSERT INTO P (K) VALUES (2)\nINSERT INTO P (K) VALUES (1)\nINSERT INTO P (K) VALUES (3)"), vb::Error);
    } else {
        Insert(2);
        EXPECT_THROW(Insert(1), vb::Error);
        Insert(3);
    }
    EXPECT_FALSE(Told(3998));
    EXPECT_EQ(cn->transactionLevel(), 1);
    cn->CommitTrans();
    EXPECT_EQ(Committed(), "1 2 3");
}

TEST_P(TransactionsTest, TheLevelNeverGoesBelowNothing) {
    EXPECT_VB_ERROR(cn->CommitTrans(), vb::kHrUnspecified);
    EXPECT_EQ(Natives(), std::vector<long>{3902});
    EXPECT_VB_ERROR(cn->RollbackTrans(), vb::kHrUnspecified);
    EXPECT_EQ(Natives(), std::vector<long>{3903});
    cn->BeginTrans();
    cn->RollbackTrans();
    EXPECT_THROW(cn->RollbackTrans(), vb::Error);
    EXPECT_EQ(cn->transactionLevel(), 0);
    // A guard whose rollback is refused: the failure it reports stays first in Errors, the
    // refused rollback follows it.
    try {
        ado::Transaction tx([&] { cn->BeginTrans(); }, [&] { cn->CommitTrans(); },
                            [&] { cn->Execute("SELECT * FROM NOSUCHTABLE"); }, cn.get());
        Insert(1);
    } catch (const vb::Error&) {
    }
    ASSERT_EQ(cn->errors().Count(), 2);
    EXPECT_EQ(cn->errors().Item(0).Number, vb::kHrIntegrityViolation);
    EXPECT_EQ(cn->errors().Item(1).Number, vb::kHrNoSuchTable);
    EXPECT_EQ(cn->transactionLevel(), 1);
    cn->RollbackTrans();
    EXPECT_EQ(cn->transactionLevel(), 0);
}

INSTANTIATE_TEST_SUITE_P(Providers, TransactionsTest, testing::Values(Provider::Embedded, Provider::Odbc), adotest::ProviderName);

}  // namespace
