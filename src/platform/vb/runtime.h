#pragma once
// The runtime's text and number functions that the program's algorithms rely on.
// Positions are 1-based: the first character of a text is at 1.
#include "platform/vb/variant.h"

#include <QString>
#include <limits>

namespace vb {

enum class Compare { Binary = 0, Text = 1 };

// Val: the leading number of a text. Blanks, tabs and line feeds anywhere are skipped, "." is the
// only decimal point, an exponent (E or D) is read, "&H" and "&O" read hex and octal. A text
// with no leading number gives 0.
double Val(const QString& text);

// CInt/CLng/Round: halves to even. CInt raises 6 outside -32768..32767, CLng outside the 32-bit
// range. Text is read with CDbl's rules (raises 13 when not a number).
int16_t CInt(const Variant& v);
int32_t CLng(const Variant& v);
double CDbl(const Variant& v);
// Round works on the value as shown (15 significant digits): Round(2.675, 2) is 2.68. Decimals
// below 0 raise 5.
double Round(double value, int decimals = 0);
// Fix/Int: truncation towards zero / towards minus infinity.
double Fix(double value);
double Int(double value);

// IsNumeric on a value: numbers, Booleans, Empty and texts that read whole as a number (blanks
// around it allowed; no thousands separators). Null and dates are not numeric.
bool IsNumeric(const Variant& v);

// Trim family: blanks (U+0020) only; tabs and line breaks stay.
QString Trim(const QString& s);
QString LTrim(const QString& s);
QString RTrim(const QString& s);

// InStr(start, s1, s2): position of s2 in s1 from start, 0 when absent; an empty s2 gives start
// (when start <= Len(s1)+1). Start below 1 raises 5.
int InStr(int start, const QString& s1, const QString& s2, Compare compare = Compare::Binary);
int InStr(const QString& s1, const QString& s2, Compare compare = Compare::Binary);
int InStrRev(const QString& s1, const QString& s2, int start = -1, Compare compare = Compare::Binary);
// Mid(s, start[, length]): without a length, to the end. A start below 1 or a negative length
// raises 5; a start past the end gives "".
inline constexpr int kMidToTheEnd = std::numeric_limits<int>::min();
QString Mid(const QString& s, int start, int length = kMidToTheEnd);
QString Left(const QString& s, int length);     // length below 0 raises 5
QString Right(const QString& s, int length);
int Len(const QString& s);
// Replace(expr, find, replacement, start, count, compare): the runtime's Replace. The result
// starts at position `start` (text before it is dropped, as the runtime does).
QString Replace(const QString& expr, const QString& find, const QString& replacement, int start = 1,
                int count = -1, Compare compare = Compare::Binary);
QString UCase(const QString& s);
QString LCase(const QString& s);
// StrConv(s, vbProperCase): first letter of each word upper, the rest lower.
QString ProperCase(const QString& s);
QString Space(int n);
QString String(int n, QChar c);
QString Chr(int code);        // CP1252 code to character (Chr(255) is "ÿ")
int Asc(const QString& s);    // first character's CP1252 code; "" raises 5
// StrComp with the text mode: -1, 0, 1.
int StrComp(const QString& a, const QString& b, Compare compare = Compare::Binary);
// Like: the runtime's pattern operator (* ? # [list] [!list]), case-sensitive unless Text. An
// unclosed "[" raises 93.
bool Like(const QString& s, const QString& pattern, Compare compare = Compare::Binary);

// Str: a number with a leading blank for positives, "." as decimal point and no 0 before it
// (Str(0.5) is " .5").
QString Str(double value);
// CStr of a double: up to 15 significant digits, "." as decimal point, E notation from 1E+15 and
// below 0.0001 ("1E-05").
QString NumberText(double value);

}  // namespace vb
