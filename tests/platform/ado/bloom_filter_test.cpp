// The Bloom filter's guard (sqlite_bloom_filter.h). A join of texts the compare rule finds equal
// but stored at other lengths, through an automatic index: on a plain connection of the running
// library SQLite's own counters show a Bloom filter asked; on a connection set up as the provider
// sets up its own, and on the fallback path, none is asked and every row is found. So a switch
// that stops taking effect fails here.
#include "platform/ado/sqlite_bloom_filter.h"
#include "platform/ado/sqlite_functions.h"
#include "platform/ado/tsql.h"

#include <sqlite3.h>

#include <cctype>
#include <string>
#include <vector>
#include <gtest/gtest.h>

namespace {

using ado::sqlite::BloomFilterGuard;

// Case and trailing blanks ignored, as the program's text rule compares.
int CompareAsTheProgram(void*, int n1, const void* p1, int n2, const void* p2) {
    const auto* a = static_cast<const unsigned char*>(p1);
    const auto* b = static_cast<const unsigned char*>(p2);
    while (n1 > 0 && a[n1 - 1] == ' ') --n1;
    while (n2 > 0 && b[n2 - 1] == ' ') --n2;
    for (int i = 0; i < n1 && i < n2; ++i) {
        const int d = std::tolower(a[i]) - std::tolower(b[i]);
        if (d != 0) return d;
    }
    return n1 - n2;
}

const std::string kRule(ado::tsql::kTextRuleName);
const std::string kJoin = "SELECT COUNT(*) FROM A JOIN B ON A.X = B.Y";   // no index: an automatic one

class Database {
public:
    Database() {
        EXPECT_EQ(sqlite3_open(":memory:", &db_), SQLITE_OK);
    }
    ~Database() { sqlite3_close(db_); }
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;
    sqlite3* get() const { return db_; }

    // Three texts on each side, each equal to one of the other's under the rule, none of the same
    // length.
    void fill() {
        const std::string sql = "CREATE TABLE A (X TEXT COLLATE " + kRule + "); CREATE TABLE B (Y TEXT COLLATE " + kRule +
                                "); INSERT INTO A VALUES ('abc'), ('Tienda 1'), ('x');"
                                " INSERT INTO B VALUES ('ABC  '), ('TIENDA 1 '), ('X   ');";
        ASSERT_EQ(sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db_);
    }
    // One column of a statement's rows, as text.
    std::vector<std::string> column(const std::string& sql, int col) const {
        std::vector<std::string> out;
        sqlite3_stmt* st = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr), SQLITE_OK) << sqlite3_errmsg(db_);
        while (st && sqlite3_step(st) == SQLITE_ROW) {
            const unsigned char* t = sqlite3_column_text(st, col);
            out.emplace_back(t ? reinterpret_cast<const char*>(t) : "");
        }
        sqlite3_finalize(st);
        return out;
    }
    long count(const std::string& sql) const {
        const std::vector<std::string> rows = column(sql, 0);
        return rows.empty() ? -1 : std::stol(rows.front());
    }
    // The join run once: the rows it found, and how often a Bloom filter was asked (SQLite's
    // public counters: a row the filter turned away, and a row it let through).
    struct Join {
        long found = -1;
        int filterAsked = 0;
    };
    Join join() const {
        Join out;
        sqlite3_stmt* st = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(db_, kJoin.c_str(), -1, &st, nullptr), SQLITE_OK) << sqlite3_errmsg(db_);
        if (st && sqlite3_step(st) == SQLITE_ROW) out.found = sqlite3_column_int(st, 0);
        out.filterAsked = sqlite3_stmt_status(st, SQLITE_STMTSTATUS_FILTER_HIT, 0) +
                          sqlite3_stmt_status(st, SQLITE_STMTSTATUS_FILTER_MISS, 0);
        sqlite3_finalize(st);
        return out;
    }
    bool joinBuildsAutomaticIndex() const {
        for (const std::string& step : column("EXPLAIN QUERY PLAN " + kJoin, 3))
            if (step.find("AUTOMATIC") != std::string::npos) return true;
        return false;
    }

private:
    sqlite3* db_ = nullptr;
};

// A connection with the compare rule only, as any tool of the same library would have it.
void PlainRule(sqlite3* db) {
    ASSERT_EQ(sqlite3_create_collation(db, kRule.c_str(), SQLITE_UTF8, nullptr, CompareAsTheProgram), SQLITE_OK);
}

TEST(BloomFilterGuard, TheProvidersConnectionsJoinWithoutTheFilterAndFindEveryRow) {
    Database plain;
    PlainRule(plain.get());
    plain.fill();
    const Database::Join unguarded = plain.join();
    ASSERT_GT(unguarded.filterAsked, 0)
        << "this SQLite puts no Bloom filter before this join: the test proves nothing, give it a join that meets one";

    Database guarded;
    ado::sqlite::RegisterServerRules(guarded.get());   // as every embedded connection is set up
    guarded.fill();
    const Database::Join j = guarded.join();
    EXPECT_EQ(j.filterAsked, 0);
    EXPECT_EQ(j.found, 3);

    if (ado::sqlite::BloomFilterGuardFor(sqlite3_libversion_number()) == BloomFilterGuard::TestControl) {
        // The versions the switch was read from lose rows with the filter: why it is there.
        EXPECT_LT(unguarded.found, 3) << sqlite3_libversion();
        // The switch takes the filter alone: the join keeps its automatic index.
        EXPECT_TRUE(guarded.joinBuildsAutomaticIndex());
    }
}

TEST(BloomFilterGuard, AnotherVersionTakesThePublicFallback) {
    EXPECT_EQ(ado::sqlite::BloomFilterGuardFor(3040001), BloomFilterGuard::TestControl);
    for (int version : {3038000, 3040000, 3040002, 3041000, 3046001})
        EXPECT_EQ(ado::sqlite::BloomFilterGuardFor(version), BloomFilterGuard::NoAutomaticIndex) << version;

    Database fallback;
    PlainRule(fallback.get());
    EXPECT_EQ(ado::sqlite::GuardBloomFilter(fallback.get(), 3046001), BloomFilterGuard::NoAutomaticIndex);
    fallback.fill();
    EXPECT_EQ(fallback.count("PRAGMA automatic_index"), 0);
    EXPECT_FALSE(fallback.joinBuildsAutomaticIndex());
    const Database::Join j = fallback.join();
    EXPECT_EQ(j.filterAsked, 0);
    EXPECT_EQ(j.found, 3);
}

}  // namespace
