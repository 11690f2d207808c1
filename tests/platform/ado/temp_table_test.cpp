// Temporary tables (#name) on the embedded provider: the session's own, gone with a rollback or a
// DROP, their text columns comparing as the database's.
#include "ado_fixture.h"

namespace {

using adotest::DemoFixture;

class TablaTemporal : public DemoFixture {};

TEST_F(TablaTemporal, TheSessionsOwnTableJoinsTheDatabasesAndGoesWithARollback) {
    const QString crea = QStringLiteral("CREATE TABLE #ENVIADOS (ARTI nvarchar(25) COLLATE DATABASE_DEFAULT NOT NULL)");
    // Created in a transaction that rolls back: gone, and the name free again.
    cn->BeginTrans();
    cn->Execute(crea);
    cn->Execute(QStringLiteral("INSERT INTO #ENVIADOS (ARTI) VALUES (N'000123')"));
    EXPECT_EQ(answer(QStringLiteral("SELECT COUNT(*) FROM #ENVIADOS")), QStringLiteral("1"));
    cn->RollbackTrans();
    EXPECT_ANY_THROW(cn->Execute(QStringLiteral("SELECT COUNT(*) FROM #ENVIADOS")));

    cn->Execute(crea);
    // Codes compare as the prices' codes do: case and trailing blanks aside.
    cn->Execute(QStringLiteral("INSERT INTO #ENVIADOS (ARTI) VALUES (N'000123  '), (N'queso-kg-1'), (N'NO-ESTA')"));
    EXPECT_EQ(answer(QStringLiteral("SELECT COUNT(*) FROM V_MA_PRECIOS WHERE IDLISTA = 'A3' AND IDARTICULO IN "
                                    "(SELECT ARTI FROM #ENVIADOS)")),
              QStringLiteral("2"));
    // Another session does not see it, nor does it leave anything in the database's file.
    auto otra = ado::Connection::Create();
    otra->Open(db::ConnectionText(tmp.path(), "VOLMA"));
    EXPECT_ANY_THROW(otra->Execute(QStringLiteral("SELECT COUNT(*) FROM #ENVIADOS")));
    EXPECT_EQ(answer(QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE name LIKE '%ENVIADOS%'")), QStringLiteral("0"));
    // A length the column refuses is refused as on the server.
    EXPECT_ANY_THROW(cn->Execute(QStringLiteral("INSERT INTO #ENVIADOS (ARTI) VALUES (N'") + QString(26, u'X') +
                                 QStringLiteral("')")));
    cn->Execute(QStringLiteral("DROP TABLE #ENVIADOS"));
    cn->Execute(crea);   // dropped: the name is free
    EXPECT_EQ(answer(QStringLiteral("SELECT COUNT(*) FROM #ENVIADOS")), QStringLiteral("0"));
}

}  // namespace
