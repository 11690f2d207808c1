#pragma once
// SQLite's Bloom filter kept away from the program's compare rules, on every embedded connection.
//
// Why: from 3.38 the engine may test a join's inner rows against a Bloom filter before looking
// them up (through an automatic index, or an index it has ANALYZE statistics for). The filter
// hashes a key as stored, not by the column's compare rule: in 3.40 a text hashes by
// its length. Under the program's rules two texts that differ in case or trailing blanks ('abc'
// and 'ABC  '), or two forms of one date, are equal, yet may hash apart, and the join then loses
// the row. The filter only ever saves time; leaving it out changes no result.
//
// How: SQLite has no public switch for it. sqlite3_test_control(SQLITE_TESTCTRL_OPTIMIZATIONS)
// turns optimizations off by bits that sqlite3.h does not publish (sqliteInt.h's
// SQLITE_BloomFilter and SQLITE_BloomPulldown), and SQLite keeps that call for its own tests.
// So the bits are used only on the SQLite versions they were read from (kBitsReadFrom in the
// .cpp), checked against the library the process runs with (sqlite3_libversion_number) each
// time a connection opens. Any other version takes the fallback through public interfaces only:
// PRAGMA automatic_index = OFF, so no automatic index, and so no Bloom filter in front of one.
// What the fallback costs: a join on columns no index covers scans the inner table for every
// outer row instead of building a temporary index. None of the program's own statements is planned
// with an automatic index (none across the test suites; the send and receive benchmarks time the
// same either way), so it falls on a tool's or a new statement's join of unindexed columns. It
// leaves a Bloom filter possible on a real index once the file holds ANALYZE statistics
// (sqlite_stat1), which the program never writes.
//
// Held by tests/platform/ado/bloom_filter_test.cpp: a join of equal texts of other lengths
// through an automatic index asks no Bloom filter (SQLite's public counters
// SQLITE_STMTSTATUS_FILTER_HIT and _MISS) and finds every row, on either path; on a plain
// connection of the same library the same join asks the filter and loses rows, so the test fails
// if the switch stops taking effect.
struct sqlite3;

namespace ado::sqlite {

enum class BloomFilterGuard {
    TestControl,        // the optimizer's bits: the Bloom filter and its pull-down off
    NoAutomaticIndex,   // another version: PRAGMA automatic_index = OFF
};

// The guard a library of that version (sqlite3_libversion_number's form, 3040001) takes.
BloomFilterGuard BloomFilterGuardFor(int libraryVersion);

// Applies the guard of that library version to a connection being opened (RegisterServerRules
// passes the running library's); returns which it applied.
BloomFilterGuard GuardBloomFilter(sqlite3* db, int libraryVersion);

}  // namespace ado::sqlite
