// A batch goes on after a statement that fails for its data, as the server runs it, and every
// error of the batch is in Errors (see ado.h).
#include "ado_fixture.h"

namespace {

using adotest::Provider;

class BatchErrorsTest : public adotest::ProviderFixture {
protected:
    void SetUp() override {
        ProviderFixture::SetUp();
        if (IsSkipped()) return;
        cn->Execute("CREATE TABLE B (K int NOT NULL PRIMARY KEY, T varchar(5) NULL)");
        cn->Execute("INSERT INTO B (K, T) VALUES (1, 'uno')");
    }
    std::vector<long> natives() {
        std::vector<long> out;
        for (int i = 0; i < cn->errors().Count(); ++i) out.push_back(cn->errors().Item(i).NativeError);
        return out;
    }
    long rows() { return cn->Execute("SELECT COUNT(*) FROM B")->Fields(0).Value().toLong(); }
};

TEST_P(BatchErrorsTest, EveryErrorOfABatchIsReported) {
    if (GetParam() == Provider::Odbc) {
        // The SQLite ODBC driver takes one statement a call: a statement's error comes with its
        // state, and a batch is refused whole, before anything of it runs.
        EXPECT_VB_ERROR(cn->Execute("INSERT INTO B (K, T) VALUES (1, 'otra')"), vb::kHrIntegrityViolation);
        ASSERT_GE(cn->errors().Count(), 1);
        EXPECT_FALSE(cn->errors().Item(0).Description.isEmpty());
        EXPECT_THROW(cn->Execute("INSERT INTO B (K) VALUES (2); INSERT INTO B (K) VALUES (3)"), vb::Error);
        EXPECT_GE(cn->errors().Count(), 1);
        EXPECT_EQ(rows(), 1);
        return;
    }
    struct Case { const char* what; const char* batch; std::vector<long> natives; long rowsAfter; };
    const Case cases[] = {
        {"data errors: the batch goes on",
         "INSERT INTO B (K, T) VALUES (1, 'otra')\nINSERT INTO B (K, T) VALUES (2, 'dos')\n"
         "INSERT INTO B (K, T) VALUES (3, 'demasiado')\nUPDATE B SET K = K / 0 WHERE K = 2\nINSERT INTO B (K, T) VALUES (4, 'cua')",
         {2627, 8152, 8134}, 3},
        {"a conversion error ends the batch",
         "INSERT INTO B (K, T) VALUES (5, 'cinco')\nINSERT INTO B (K, T) VALUES ('seis', 'seis')\nINSERT INTO B (K, T) VALUES (7, 'siete')",
         {245}, 4},
        {"and so does a missing table, after the data errors",
         "INSERT INTO B (K) VALUES (1)\nINSERT INTO B (K) VALUES (8)\nINSERT INTO NO_EXISTE (K) VALUES (9)\nINSERT INTO B (K) VALUES (10)",
         {2627, 208}, 5},
        {"inside a procedure's body too",
         "EXEC PONE 1\nINSERT INTO B (K) VALUES (11)", {2627}, 7},
    };
    cn->Execute("CREATE PROCEDURE PONE @k int AS\nINSERT INTO B (K) VALUES (@k)\nINSERT INTO B (K) VALUES (@k + 100)");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_THROW(cn->Execute(QString::fromLatin1(c.batch)), vb::Error);
        EXPECT_EQ(natives(), c.natives);
        EXPECT_EQ(rows(), c.rowsAfter);
    }
    // Inside a transaction the caller sees every error and takes the whole back.
    cn->BeginTrans();
    EXPECT_THROW(cn->Execute("INSERT INTO B (K) VALUES (20)\nINSERT INTO B (K) VALUES (20)\nINSERT INTO B (K) VALUES (21)"), vb::Error);
    EXPECT_EQ(natives(), std::vector<long>{2627});
    EXPECT_EQ(rows(), 9);
    cn->RollbackTrans();
    EXPECT_EQ(rows(), 7);
    // A batch without errors leaves Errors empty.
    cn->Execute("INSERT INTO B (K) VALUES (30)\nDELETE FROM B WHERE K = 30");
    EXPECT_EQ(cn->errors().Count(), 0);
}

INSTANTIATE_TEST_SUITE_P(Providers, BatchErrorsTest, testing::Values(Provider::Embedded, Provider::Odbc), adotest::ProviderName);

}  // namespace
