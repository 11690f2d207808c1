#pragma once
// SQL Server's rules on an embedded connection, as functions and compare rules of SQLite.
// Internal to the ado layer; sqlite_rules.h names the files that hold them.
//
// Registered on every connection (RegisterServerRules), after the Bloom filter's guard
// (sqlite_bloom_filter.h), which keeps joins to these rules:
//  - compare rules: KORV_TEXT (every text column, and a text that meets none: case and trailing
//    blanks ignored) and KORV_DATE (the date columns: texts read as dates, in any form the server
//    reads, compare as dates); names of the program's own, so that a tool without them refuses
//    to compare instead of reading an index by another rule (tsql::kTextRuleName, kDateRuleName);
//    the same rules under SQLite's NOCASE and RTRIM, the names files of earlier versions carry;
//  - LIKE with the server's patterns: % _ [a-c] [^a] [_] [%], case ignored, trailing blanks of
//    the value ignored, ESCAPE;
//  - the arithmetic the translator writes for + - * / % (korv_add, korv_sub, korv_mul, korv_div,
//    korv_mod): text + text joins; a text beside a number is converted to it or refused (245,
//    8114); a date text beside a number moves by days; int results beyond 32 bits, and bigint
//    beyond 64, fail (8115); division by zero fails (8134);
//  - korv_convert(type, value[, style]) for CAST and CONVERT, korv_dateadd(part, n, date),
//    korv_datediff(part, a, b), korv_left, korv_right, REPLICATE, YEAR, MONTH, DAY, LEN,
//    CHARINDEX, PATINDEX and REPLACE (which find under the NOCASE rule), ROUND (a negative
//    length rounds to tens, hundreds...), GETDATE.
// Numbers are read and written as the server writes them ('.' the point) whatever the
// process's locale.
// A function that fails ends its statement with a message that carries the server's native
// number ("korv:<number>:<text>"); ReadRuleFailure reads it back.
#include "platform/ado/provider.h"

#include <QString>
#include <cstdint>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_value;
struct sqlite3_stmt;

namespace ado::sqlite {

void RegisterServerRules(sqlite3* db);

// The message SQLite gives for a failed function call: true, with the server's native number
// and text, when it is one of ours.
bool ReadRuleFailure(const QString& message, long* nativeError, QString* text);

// Raises the server's failure of that native number, with the ADO number and SQL state the
// server's provider gives it.
[[noreturn]] void ThrowServerError(long nativeError, const QString& text);

// A value as the rules see it.
struct Value {
    enum Kind { Null, Integer, Real, Text } kind = Null;
    int64_t i = 0;
    double r = 0;
    std::string s;   // UTF-8
};

Value FromSqlite(sqlite3_value* v);
Value ColumnValue(sqlite3_stmt* st, int column);
void Bind(sqlite3_stmt* st, int index, const Value& v);
// The value written as an SQL literal.
std::string LiteralText(const Value& v);

// The value converted to a declared type ("int", "varchar(10)", "decimal(18,2)", "datetime"),
// as CAST, CONVERT (with its style, -1 for none) and an assignment to a variable take it. Raises
// a ProviderError as the server fails (245, 241, 8114, 8115, 235, 243, 281).
Value ConvertTo(std::string_view type, const Value& v, int style = -1);

}  // namespace ado::sqlite
