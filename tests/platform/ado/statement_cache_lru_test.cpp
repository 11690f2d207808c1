// The embedded session's statement caches keep what is used: the bounded map they are made of, and
// the prepared copies and kept translations of a connection, under many more statements than fit.
#include "platform/ado/sqlite_functions.h"
#include "platform/ado/statement_cache.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>

namespace {

// The caches keep what is used: a statement met every few others stays kept however many others
// come and go, and what is pushed out past the bound is what was used least recently.
TEST(StatementCacheModule, AHotStatementStaysKeptAcrossMoreThanTheBoundOfOthers) {
    namespace sq = ado::sqlite;
    sq::LruMap<int> map(3);
    map.put("a", 1);
    map.put("b", 2);
    map.put("c", 3);
    ASSERT_NE(map.find("a"), nullptr);   // b is now the one used least recently
    map.put("d", 4);
    EXPECT_FALSE(map.contains("b"));
    EXPECT_TRUE(map.contains("a") && map.contains("c") && map.contains("d"));
    map.put("c", 30);   // replaced in place
    EXPECT_EQ(map.size(), 3u);
    EXPECT_EQ(*map.find("c"), 30);
    EXPECT_EQ(*map.find("a"), 1);

    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(":memory:", &raw), SQLITE_OK);
    const sq::DatabaseHandle db(raw);
    ado::sqlite::RegisterServerRules(raw);
    sq::Exec(raw, "CREATE TABLE T (A int NULL, B varchar(10) NULL)");
    sq::StatementCache cache;
    cache.use(raw);
    struct NoOther : sq::DatabaseAttacher {
        bool attach(const std::string&) override { return false; }
    } noOther;
    // A shape's copy is made the second time it is met (the first under KORV_SQL_CACHE_CHECK).
    auto planOf = [&](const std::string& shape, const std::string& sql) {
        cache.plan(shape, sql, 1);
        return cache.plan(shape, sql, 1);
    };
    auto keptOf = [&](const QString& batch) {
        for (int i = 0; i < 2; ++i) cache.translate(batch, "VOLMA", noOther);
        return cache.translate(batch, "VOLMA", noOther).kept;
    };
    sq::Plan* hot = planOf("SELECT B FROM T WHERE A = ?", "SELECT B FROM T WHERE A = 1");
    ASSERT_NE(hot, nullptr);
    sqlite3_stmt* hotStatement = hot->statement.get();
    const auto hotBatch = keptOf(QStringLiteral("SELECT B FROM T WHERE A = 1"));
    ASSERT_NE(hotBatch, nullptr);
    const size_t others = 3 * sq::StatementCache::kMaxPlans;
    for (size_t i = 0; i < others; ++i) {
        const std::string alias = " AS C" + std::to_string(i);
        ASSERT_NE(planOf("SELECT B" + alias + " FROM T WHERE A = ?", "SELECT B" + alias + " FROM T WHERE A = 2"), nullptr);
        ASSERT_NE(keptOf(QStringLiteral("SELECT B AS C%1 FROM T WHERE A = 2").arg(i)), nullptr);
        if (i % 64 == 0) {   // the hot statement, met again with other literals
            sq::Plan* again = cache.keptPlan("SELECT B FROM T WHERE A = ?");
            ASSERT_NE(again, nullptr) << "after " << i << " others";
            EXPECT_EQ(again->statement.get(), hotStatement);
            EXPECT_EQ(cache.translate(QStringLiteral("SELECT B FROM T WHERE A = %1").arg(i), "VOLMA", noOther).kept, hotBatch);
        }
    }
    EXPECT_EQ(cache.keptPlan("SELECT B AS C0 FROM T WHERE A = ?"), nullptr);   // met once, long ago
    EXPECT_NE(cache.keptPlan("SELECT B AS C" + std::to_string(others - 1) + " FROM T WHERE A = ?"), nullptr);
}

}  // namespace
