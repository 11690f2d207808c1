#pragma once
// What the files of the T-SQL translation share. Internal to the ado layer.
#include "platform/ado/tsql.h"
#include "platform/ado/tsql_tokens.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ado::tsql {

// "yyyy-mm-dd hh:mm:ss" with a valid day and time: the form date columns hold.
bool IsCanonicalIso(std::string_view t);
// Whether a text literal's content is in a date form the translation reads as a date somewhere:
// the ISO form date columns hold, or any form the server reads (a bare "yyyymmdd" included).
bool DateForm(std::string_view inner);

// The value of at most maxDigits digits at i (i moves past them); -1 when none is there.
int TwoDigits(std::string_view t, size_t& i, int maxDigits);

// The marks that stand for lifted literals in a translation made from a shape: a text literal
// "'\x01<n>'", a number "0000000000000000<n>" (sixteen zeros, then the literal's index).
inline constexpr std::string_view kNumberMark = "0000000000000000";
inline std::string TextMark(size_t literal) { return "'\x01" + std::to_string(literal) + '\''; }
inline std::string NumberMark(size_t literal) { return std::string(kNumberMark) + std::to_string(literal); }

// The ")" that closes the "(" at `open` among tokens [open, e); e when none does.
size_t MatchingParen(const std::vector<Tok>& t, std::string_view s, size_t open, size_t e);

// The second pass over a translated statement that does arithmetic: every binary + - * / % made
// a call of the connection that decides by its values' types.
std::string RewriteArithmetic(std::string_view sql);

// ---- what the rules read -------------------------------------------------------------------
// A rule of the translation that reads a literal (its value decides what the rule writes)
// declares it in its table entry (tsql_rules.cpp); the shape keeps every such literal as written,
// so that two texts of one shape translate alike. Besides those, the literal rule reads every
// text in a date form (DateForm), and the value rule checks the fit of numbers written into
// number columns (NumberCheck).
enum class Reads : uint8_t {
    Nothing,
    Arguments,   // every literal between the parentheses of its call
    Count,       // the number right after the word, or in a parenthesis right after it
};

// What the rule of a word reads: the rule of its call when `call` (a "(" follows the word), else
// the rule of the word itself.
Reads ReadsAt(std::string_view word, bool call);

}  // namespace ado::tsql
