#pragma once
// What the server's rules on an embedded connection share, across the files that hold them:
//  - sqlite_values.cpp        values in and out of SQLite, the failures, numbers read from text;
//  - sqlite_text_rules.cpp    the text compare rule, LIKE and the text functions;
//  - sqlite_date_rules.cpp    dates, the date compare rule, CONVERT's date styles and the date
//                             functions;
//  - sqlite_number_rules.cpp  the arithmetic, ROUND and the conversions (CAST, CONVERT);
//  - sqlite_functions.cpp     their registration on a connection (RegisterServerRules).
// Internal to those files: the rest of the ado layer goes through sqlite_functions.h.
#include "platform/ado/sqlite_functions.h"
#include "platform/ado/tsql.h"

#include <sqlite3.h>

#include <QString>
#include <cstdint>
#include <limits>
#include <new>
#include <string>
#include <string_view>

namespace ado::sqlite::rules {

// ---------------------------------------------------------------------------------------------
// Failures (sqlite_values.cpp).

inline QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

[[noreturn]] void ConversionFailed(std::string_view text, const char* type);   // native::kConversionFailed
[[noreturn]] void Overflow(const char* type);                                  // native::kArithmeticOverflow
[[noreturn]] void NotANumber(const char* type);                                // native::kNotANumber
[[noreturn]] void NotADate();                                                  // native::kNotADate

// Runs a function's body, turning a failure into the statement's error.
template <typename F>
void Guard(sqlite3_context* ctx, F&& f) {
    try {
        f();
    } catch (const ProviderError& e) {
        const std::string m = "korv:" + std::to_string(e.nativeError) + ":" + e.description.toStdString();
        sqlite3_result_error(ctx, m.c_str(), static_cast<int>(m.size()));
    } catch (const std::bad_alloc&) {
        sqlite3_result_error_nomem(ctx);
    }
}

// The value as the function's result.
void Result(sqlite3_context* ctx, const Value& v);

// ---------------------------------------------------------------------------------------------
// Values and numbers (sqlite_values.cpp).

// An argument's text (UTF-8), empty for NULL.
std::string_view TextOf(sqlite3_value* v);
bool AnyNull(int argc, sqlite3_value** argv);
Value TextValue(std::string s);

inline bool IsInt32(int64_t v) {
    return v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max();
}

// "  -12 " as an integer; false when it is no integer. An empty text is 0, as the server takes it.
bool ReadInteger(std::string_view text, int64_t* out);
// "-1.5", "2e3", ".5" as a number; false when it is no number.
bool ReadNumber(std::string_view text, double* out, bool emptyIsZero);
// A number as the printf's "%.<digits>g" of the C locale writes it, whatever the process's locale.
std::string NumberText(double v, int digits);
std::string NumberText(double v);

// A value as an integer or a float of the named type, failing as the server does.
int64_t IntegerOf(const Value& v, const char* type);
double RealOf(const Value& v, const char* type, bool emptyIsZero);

// ---------------------------------------------------------------------------------------------
// Text (sqlite_text_rules.cpp).

// Case and trailing blanks ignored, as the server's collation.
int CompareText(const unsigned char* a, size_t n1, const unsigned char* b, size_t n2);
int CollateText(void*, int n1, const void* p1, int n2, const void* p2);
// The byte offset of character `count` of a UTF-8 text (its size when shorter).
size_t CharOffset(std::string_view s, int64_t count);
int64_t CharCount(std::string_view s);
// Without the blanks, tabs and line ends around it.
std::string_view Trimmed(std::string_view s);

void FnLike(sqlite3_context* ctx, int argc, sqlite3_value** argv);
void FnLen(sqlite3_context* ctx, int argc, sqlite3_value** argv);
void FnCharIndex(sqlite3_context* ctx, int argc, sqlite3_value** argv);
void FnReplace(sqlite3_context* ctx, int argc, sqlite3_value** argv);
void FnPatIndex(sqlite3_context* ctx, int argc, sqlite3_value** argv);
void FnLeft(sqlite3_context* ctx, int argc, sqlite3_value** argv);
void FnRight(sqlite3_context* ctx, int argc, sqlite3_value** argv);
void FnReplicate(sqlite3_context* ctx, int argc, sqlite3_value** argv);

// ---------------------------------------------------------------------------------------------
// Dates: milliseconds from 1 January 1900, the server's day 0 (sqlite_date_rules.cpp).

constexpr int64_t kDayMs = 86400000;

inline int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

tsql::DateTime DateOfMoment(int64_t ms);
// The moment as a date value; fails (517) outside the server's dates (1753 to 9999).
Value DateValue(int64_t ms);
// A date text of any form the server reads (a bare "yyyymmdd" too, unless bareCompact is false).
bool ReadMoment(std::string_view text, int64_t* ms, bool bareCompact = true);
// A value as a date: text in a date form, or a number of days from 1 January 1900.
int64_t MomentOfValue(const Value& v);
// A date written in one of CONVERT's styles; fails (281) for a style the server does not know.
std::string StyledDate(const tsql::DateTime& d, int style);
// A text read as a date in a CONVERT style: 101 month first, 112 "yyyymmdd", the rest as the
// server reads dates.
int64_t MomentInStyle(const std::string& text, int style);

// Date columns: texts that read as dates compare as dates, before any other text.
int CollateDate(void*, int n1, const void* p1, int n2, const void* p2);

void FnGetDate(sqlite3_context* ctx, int argc, sqlite3_value** argv);
void FnDateAdd(sqlite3_context* ctx, int argc, sqlite3_value** argv);
void FnDateDiff(sqlite3_context* ctx, int argc, sqlite3_value** argv);
void FnYear(sqlite3_context* ctx, int argc, sqlite3_value** argv);
void FnMonth(sqlite3_context* ctx, int argc, sqlite3_value** argv);
void FnDay(sqlite3_context* ctx, int argc, sqlite3_value** argv);

// ---------------------------------------------------------------------------------------------
// Arithmetic and conversions (sqlite_number_rules.cpp).

void FnAdd(sqlite3_context* ctx, int argc, sqlite3_value** argv);
void FnSubtract(sqlite3_context* ctx, int argc, sqlite3_value** argv);
void FnMultiply(sqlite3_context* ctx, int argc, sqlite3_value** argv);
void FnDivide(sqlite3_context* ctx, int argc, sqlite3_value** argv);
void FnModulo(sqlite3_context* ctx, int argc, sqlite3_value** argv);
void FnRound(sqlite3_context* ctx, int argc, sqlite3_value** argv);
void FnConvert(sqlite3_context* ctx, int argc, sqlite3_value** argv);

}  // namespace ado::sqlite::rules
