#include "platform/vb/runtime.h"

#include "platform/vb/digits.h"
#include "platform/vb/error.h"
#include "platform/vb/files.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace vb {

namespace {

bool IsAsciiDigit(QChar c) { return c >= u'0' && c <= u'9'; }

Qt::CaseSensitivity Sensitivity(Compare compare) {
    return compare == Compare::Text ? Qt::CaseInsensitive : Qt::CaseSensitive;
}

// Reads "&H..." / "&O..." digits as the runtime does: up to 4 hex (6 octal) digits give a 16-bit
// value, up to 8 hex (11 octal) digits a 32-bit one, both read as signed.
double RadixValue(const QString& digits, int radix) {
    if (digits.isEmpty()) return 0.0;
    unsigned long long v = 0;
    for (QChar c : digits) {
        v = v * radix + static_cast<unsigned>(QString(c).toInt(nullptr, radix));
        if (v > 0xFFFFFFFFULL) Raise(kErrOverflow);
    }
    if (v <= 0xFFFF && ((radix == 16 && digits.size() <= 4) || (radix == 8 && v <= 0177777)))
        return static_cast<double>(static_cast<int16_t>(static_cast<uint16_t>(v)));
    return static_cast<double>(static_cast<int32_t>(static_cast<uint32_t>(v)));
}

// The power of ten of the first significant digit of a plain number text ("123.4e-5" gives -3),
// saturated far beyond the range of a Double.
long long DecimalMagnitude(const std::string& number) {
    const auto e = number.find_first_of("eE");
    const std::string mantissa = number.substr(0, e);
    const auto point = mantissa.find('.');
    const std::string whole = mantissa.substr(0, point);
    long long magnitude = 0;
    const auto firstWhole = whole.find_first_not_of('0');
    if (firstWhole != std::string::npos) {
        magnitude = static_cast<long long>(whole.size() - firstWhole) - 1;
    } else {
        const std::string fraction = point == std::string::npos ? std::string() : mantissa.substr(point + 1);
        const auto firstFraction = fraction.find_first_not_of('0');
        magnitude = firstFraction == std::string::npos ? 0 : -static_cast<long long>(firstFraction) - 1;
    }
    if (e != std::string::npos) {
        size_t i = e + 1;
        const bool negative = i < number.size() && number[i] == '-';
        if (i < number.size() && (number[i] == '-' || number[i] == '+')) ++i;
        long long exponent = 0;
        for (; i < number.size(); ++i) exponent = std::min(exponent * 10 + (number[i] - '0'), 1000000000LL);
        magnitude += negative ? -exponent : exponent;
    }
    return magnitude;
}

double ParseAscii(const std::string& number) {
    double d = 0.0;
    const char* first = number.data();
    const char* last = number.data() + number.size();
    const auto res = std::from_chars(first, last, d, std::chars_format::general);
    if (res.ec == std::errc::result_out_of_range) {
        // A tiny magnitude reads as 0; a huge one does not fit a Double.
        if (DecimalMagnitude(number) < 0) return 0.0;
        Raise(kErrOverflow);
    }
    return d;
}

}  // namespace

double Val(const QString& text) {
    QString t;
    t.reserve(text.size());
    for (QChar c : text)
        if (c != u' ' && c != u'\t' && c != u'\n') t += c;

    if (t.size() >= 2 && t[0] == u'&') {
        const QChar kind = t[1].toUpper();
        const int radix = kind == u'H' ? 16 : kind == u'O' ? 8 : 0;
        if (radix) {
            QString digits;
            for (int i = 2; i < t.size(); ++i) {
                const QChar c = t[i];
                const bool ok = radix == 16 ? (IsAsciiDigit(c) || (c.toUpper() >= u'A' && c.toUpper() <= u'F'))
                                            : (c >= u'0' && c <= u'7');
                if (!ok) break;
                digits += c;
            }
            return RadixValue(digits, radix);
        }
        return 0.0;
    }

    std::string number;
    int i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) negative = t[i++] == u'-';
    bool digits = false;
    for (; i < t.size() && IsAsciiDigit(t[i]); ++i, digits = true) number += static_cast<char>(t[i].unicode());
    if (i < t.size() && t[i] == u'.') {
        number += '.';
        for (++i; i < t.size() && IsAsciiDigit(t[i]); ++i, digits = true) number += static_cast<char>(t[i].unicode());
    }
    if (!digits) return 0.0;
    if (i < t.size() && (t[i].toUpper() == u'E' || t[i].toUpper() == u'D')) {
        std::string exponent = "e";
        int j = i + 1;
        if (j < t.size() && (t[j] == u'+' || t[j] == u'-')) exponent += static_cast<char>(t[j++].unicode());
        bool expDigits = false;
        for (; j < t.size() && IsAsciiDigit(t[j]); ++j, expDigits = true) exponent += static_cast<char>(t[j].unicode());
        if (expDigits) number += exponent;
    }
    if (number.front() == '.') number.insert(number.begin(), '0');
    const double d = ParseAscii(number);
    return negative ? -d : d;
}

double CDbl(const Variant& v) { return v.toDouble(); }

int16_t CInt(const Variant& v) {
    const double r = std::nearbyint(v.toDouble());   // the default rounding mode: halves to even
    if (!(r >= -32768.0 && r <= 32767.0)) Raise(kErrOverflow);
    return static_cast<int16_t>(r);
}

int32_t CLng(const Variant& v) {
    const double r = std::nearbyint(v.toDouble());
    if (!(r >= -2147483648.0 && r <= 2147483647.0)) Raise(kErrOverflow);
    return static_cast<int32_t>(r);
}

double Round(double value, int decimals) {
    if (decimals < 0) Raise(kErrInvalidProcedureCall);
    if (!std::isfinite(value)) return value;
    // The last of the 15 digits of the smallest Double lies above 10^-340: more decimals than
    // that round nothing, and the digit count stays small.
    decimals = std::min(decimals, 400);
    const detail::FixedDigits f = detail::ToFixedDigits(value, decimals, detail::HalfRule::ToEven);
    std::string s = f.negative ? "-" : "";
    s += f.whole.isEmpty() ? std::string("0") : f.whole.toStdString();
    if (decimals > 0) s += "." + f.fraction.toStdString();
    double d = 0.0;
    std::from_chars(s.data() + (f.negative ? 1 : 0), s.data() + s.size(), d);
    return f.negative ? -d : d;
}

double Fix(double value) { return std::trunc(value); }
double Int(double value) { return std::floor(value); }

bool IsNumeric(const Variant& v) {
    switch (v.type()) {
    case VarType::Null:
    case VarType::Date:
        return false;
    case VarType::String:
        break;
    default:
        return true;
    }
    const QString t = v.toString().trimmed();
    if (t.isEmpty()) return false;
    if (t.size() > 2 && t[0] == u'&' && (t[1].toUpper() == u'H' || t[1].toUpper() == u'O')) {
        const int radix = t[1].toUpper() == u'H' ? 16 : 8;
        for (int i = 2; i < t.size(); ++i) {
            bool ok = false;
            QString(t[i]).toInt(&ok, radix);
            if (!ok) return false;
        }
        return true;
    }
    int i = 0;
    if (t[i] == u'+' || t[i] == u'-') ++i;
    bool digits = false;
    for (; i < t.size() && IsAsciiDigit(t[i]); ++i) digits = true;
    if (i < t.size() && t[i] == u'.')
        for (++i; i < t.size() && IsAsciiDigit(t[i]); ++i) digits = true;
    if (!digits) return false;
    if (i < t.size() && (t[i].toUpper() == u'E' || t[i].toUpper() == u'D')) {
        ++i;
        if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) ++i;
        bool expDigits = false;
        for (; i < t.size() && IsAsciiDigit(t[i]); ++i) expDigits = true;
        if (!expDigits) return false;
    }
    return i == t.size();
}

QString LTrim(const QString& s) {
    int i = 0;
    while (i < s.size() && s[i] == u' ') ++i;
    return s.mid(i);
}

QString RTrim(const QString& s) {
    qsizetype n = s.size();
    while (n > 0 && s[n - 1] == u' ') --n;
    return s.left(n);
}

QString Trim(const QString& s) { return LTrim(RTrim(s)); }

int InStr(int start, const QString& s1, const QString& s2, Compare compare) {
    if (start < 1) Raise(kErrInvalidProcedureCall);
    if (start > s1.size()) return s2.isEmpty() && start == s1.size() + 1 ? start : 0;
    if (s2.isEmpty()) return start;
    return static_cast<int>(s1.indexOf(s2, start - 1, Sensitivity(compare))) + 1;
}

int InStr(const QString& s1, const QString& s2, Compare compare) { return InStr(1, s1, s2, compare); }

int InStrRev(const QString& s1, const QString& s2, int start, Compare compare) {
    if (start == 0 || start < -1) Raise(kErrInvalidProcedureCall);
    const int len = static_cast<int>(s1.size());
    if (start == -1) start = len;
    if (start > len) return 0;
    if (s2.isEmpty()) return start;
    const int from = start - static_cast<int>(s2.size());
    if (from < 0) return 0;
    return static_cast<int>(s1.lastIndexOf(s2, from, Sensitivity(compare))) + 1;
}

QString Mid(const QString& s, int start, int length) {
    if (length == kMidToTheEnd) length = -1;
    else if (length < 0) Raise(kErrInvalidProcedureCall);
    if (start < 1) Raise(kErrInvalidProcedureCall);
    if (start > s.size()) return QString();
    return s.mid(start - 1, length);
}

QString Left(const QString& s, int length) {
    if (length < 0) Raise(kErrInvalidProcedureCall);
    return s.left(length);
}

QString Right(const QString& s, int length) {
    if (length < 0) Raise(kErrInvalidProcedureCall);
    return s.right(length);
}

int Len(const QString& s) { return static_cast<int>(s.size()); }

QString Replace(const QString& expr, const QString& find, const QString& replacement, int start, int count,
                Compare compare) {
    if (start < 1 || count < -1) Raise(kErrInvalidProcedureCall);
    if (start > expr.size()) return QString();
    const QString source = expr.mid(start - 1);
    if (find.isEmpty() || count == 0) return source;
    QString out;
    qsizetype pos = 0;
    int done = 0;
    const auto cs = Sensitivity(compare);
    while (count == -1 || done < count) {
        const qsizetype hit = source.indexOf(find, pos, cs);
        if (hit < 0) break;
        out += QStringView(source).mid(pos, hit - pos);
        out += replacement;
        pos = hit + find.size();
        ++done;
    }
    out += QStringView(source).mid(pos);
    return out;
}

// Character by character, so that the length never changes ("ß" stays "ß", as the runtime keeps it).
QString UCase(const QString& s) {
    QString out = s;
    for (QChar& c : out) c = c.toUpper();
    return out;
}

QString LCase(const QString& s) {
    QString out = s;
    for (QChar& c : out) c = c.toLower();
    return out;
}

QString ProperCase(const QString& s) {
    QString out = LCase(s);
    bool wordStart = true;
    for (QChar& c : out) {
        const char16_t u = c.unicode();
        const bool separator = u == 0 || u == 9 || u == 10 || u == 11 || u == 12 || u == 13 || u == 32;
        if (separator) {
            wordStart = true;
        } else {
            if (wordStart) c = c.toUpper();
            wordStart = false;
        }
    }
    return out;
}

QString Space(int n) {
    if (n < 0) Raise(kErrInvalidProcedureCall);
    return QString(n, u' ');
}

QString String(int n, QChar c) {
    if (n < 0) Raise(kErrInvalidProcedureCall);
    return QString(n, c);
}

QString Chr(int code) {
    if (code < 0 || code > 255) Raise(kErrInvalidProcedureCall);
    return QString(Cp1252Char(code));
}

int Asc(const QString& s) {
    if (s.isEmpty()) Raise(kErrInvalidProcedureCall);
    const int code = Cp1252Code(s[0]);
    return code < 0 ? '?' : code;
}

int StrComp(const QString& a, const QString& b, Compare compare) {
    const int r = QString::compare(a, b, Sensitivity(compare));
    return r < 0 ? -1 : r > 0 ? 1 : 0;
}

namespace {

// One element of a Like pattern.
struct LikeToken {
    enum Kind { Literal, Any, AnyRun, Digit, List } kind = Literal;
    QChar ch;
    bool negate = false;
    std::vector<std::pair<QChar, QChar>> ranges;
};

std::vector<LikeToken> ParseLike(const QString& pattern) {
    std::vector<LikeToken> tokens;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        LikeToken t;
        if (c == u'*') {
            t.kind = LikeToken::AnyRun;
        } else if (c == u'?') {
            t.kind = LikeToken::Any;
        } else if (c == u'#') {
            t.kind = LikeToken::Digit;
        } else if (c == u'[') {
            const qsizetype close = pattern.indexOf(u']', i + 1);
            if (close < 0) Raise(93, QStringLiteral("Invalid pattern string"));
            t.kind = LikeToken::List;
            QString body = pattern.mid(i + 1, close - i - 1);
            if (body.isEmpty()) { i = close; continue; }   // "[]" stands for the empty text
            if (body.startsWith(u'!')) { t.negate = true; body.remove(0, 1); }
            for (qsizetype k = 0; k < body.size(); ++k) {
                if (k + 2 < body.size() && body[k + 1] == u'-') {
                    if (body[k] > body[k + 2]) Raise(93, QStringLiteral("Invalid pattern string"));
                    t.ranges.emplace_back(body[k], body[k + 2]);
                    k += 2;
                } else {
                    t.ranges.emplace_back(body[k], body[k]);
                }
            }
            i = close;
        } else {
            t.ch = c;
        }
        tokens.push_back(std::move(t));
    }
    return tokens;
}

bool TokenMatches(const LikeToken& t, QChar c, bool text) {
    const QChar cc = text ? c.toLower() : c;
    switch (t.kind) {
    case LikeToken::Any: return true;
    case LikeToken::Digit: return IsAsciiDigit(c);
    case LikeToken::Literal: return (text ? t.ch.toLower() : t.ch) == cc;
    case LikeToken::List: {
        bool in = false;
        for (const auto& [lo, hi] : t.ranges) {
            if (text ? (cc >= lo.toLower() && cc <= hi.toLower()) || (c >= lo && c <= hi) : (c >= lo && c <= hi))
                in = true;
        }
        return in != t.negate;
    }
    case LikeToken::AnyRun: return true;
    }
    return false;
}

}  // namespace

bool Like(const QString& s, const QString& pattern, Compare compare) {
    const std::vector<LikeToken> tokens = ParseLike(pattern);
    const bool text = compare == Compare::Text;
    // match[j]: the first i characters of s match the first j tokens.
    const size_t n = static_cast<size_t>(s.size());
    std::vector<char> prev(tokens.size() + 1, 0), cur(tokens.size() + 1, 0);
    prev[0] = 1;
    for (size_t j = 1; j <= tokens.size(); ++j) prev[j] = prev[j - 1] && tokens[j - 1].kind == LikeToken::AnyRun;
    for (size_t i = 1; i <= n; ++i) {
        cur[0] = 0;
        for (size_t j = 1; j <= tokens.size(); ++j) {
            const LikeToken& t = tokens[j - 1];
            if (t.kind == LikeToken::AnyRun)
                cur[j] = cur[j - 1] || prev[j];
            else
                cur[j] = prev[j - 1] && TokenMatches(t, s[static_cast<qsizetype>(i - 1)], text);
        }
        std::swap(prev, cur);
    }
    return prev[tokens.size()] != 0;
}

QString NumberText(double value) {
    if (value == 0.0) return QStringLiteral("0");
    if (std::isnan(value)) return QStringLiteral("NaN");
    if (std::isinf(value)) return value > 0 ? QStringLiteral("Infinity") : QStringLiteral("-Infinity");
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    return QString::fromLatin1(buf, res.ptr - buf).toUpper();
}

QString Str(double value) {
    QString s = NumberText(value);
    if (s.startsWith(QLatin1String("0."))) s.remove(0, 1);
    else if (s.startsWith(QLatin1String("-0."))) s.remove(1, 1);
    return value < 0 ? s : u' ' + s;
}

}  // namespace vb
