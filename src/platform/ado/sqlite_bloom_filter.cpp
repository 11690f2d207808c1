// The Bloom filter's guard on an embedded connection (sqlite_bloom_filter.h says why).
#include "platform/ado/sqlite_bloom_filter.h"

#include "platform/ado/sqlite_rows.h"

#include <sqlite3.h>

#include <cassert>

namespace ado::sqlite {

namespace {

// The optimizer's bits, as sqliteInt.h of the versions below defines them: a set bit turns the
// optimization off.
constexpr unsigned kBloomFilter = 0x00080000;     // SQLITE_BloomFilter: a Bloom filter on searches
constexpr unsigned kBloomPulldown = 0x00100000;   // SQLITE_BloomPulldown: the filter run earlier

// The versions those bits were read from, and checked on (the test's plain connection shows the
// filter, the guarded one does not). A version is added here only after reading its sqliteInt.h
// and running tests/platform/ado/bloom_filter_test.cpp on it.
struct VersionRange {
    int first;
    int last;
};
constexpr VersionRange kBitsReadFrom[] = {
    {3040001, 3040001},   // 3.40.1
};

}  // namespace

BloomFilterGuard BloomFilterGuardFor(int libraryVersion) {
    for (const VersionRange& r : kBitsReadFrom) {
        if (libraryVersion >= r.first && libraryVersion <= r.last) return BloomFilterGuard::TestControl;
    }
    return BloomFilterGuard::NoAutomaticIndex;
}

BloomFilterGuard GuardBloomFilter(sqlite3* db, int libraryVersion) {
    assert(db);
    const BloomFilterGuard guard = BloomFilterGuardFor(libraryVersion);
    if (guard == BloomFilterGuard::TestControl) {
        // The call replaces the connection's set of optimizations turned off: a new connection has
        // none, so these two are all.
        sqlite3_test_control(SQLITE_TESTCTRL_OPTIMIZATIONS, db, kBloomFilter | kBloomPulldown);
    } else {
        Exec(db, "PRAGMA automatic_index = OFF");   // reads no file; raises when the engine refuses
    }
    return guard;
}

}  // namespace ado::sqlite
