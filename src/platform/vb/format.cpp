#include "platform/vb/format.h"

#include "platform/vb/dates.h"
#include "platform/vb/digits.h"
#include "platform/vb/error.h"
#include "platform/vb/runtime.h"

#include <cassert>
#include <charconv>
#include <cmath>
#include <vector>

namespace vb {

namespace {

const char16_t* const kMonths[12] = {u"enero", u"febrero", u"marzo", u"abril", u"mayo", u"junio",
                                     u"julio", u"agosto", u"septiembre", u"octubre", u"noviembre",
                                     u"diciembre"};
const char16_t* const kMonthsShort[12] = {u"ene", u"feb", u"mar", u"abr", u"may", u"jun",
                                          u"jul", u"ago", u"sep", u"oct", u"nov", u"dic"};
const char16_t* const kDays[7] = {u"domingo", u"lunes", u"martes", u"miércoles", u"jueves", u"viernes",
                                  u"sábado"};
const char16_t* const kDaysShort[7] = {u"dom", u"lun", u"mar", u"mié", u"jue", u"vie", u"sáb"};

const QString kShortDate = QStringLiteral("dd/mm/yyyy");
const QString kLongDate = QStringLiteral("dddd, d \"de\" mmmm \"de\" yyyy");
const QString kLongTime = QStringLiteral("hh:mm:ss");

// Splits a pattern into its ";" sections; quoted text and "\" escapes do not split.
QStringList Sections(const QString& pattern) {
    QStringList out;
    QString cur;
    bool quoted = false;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == u'"') quoted = !quoted;
        if (!quoted && c == u'\\' && i + 1 < pattern.size()) {
            cur += c;
            cur += pattern[++i];
            continue;
        }
        if (!quoted && c == u';') {
            out << cur;
            cur.clear();
            continue;
        }
        cur += c;
    }
    out << cur;
    return out;
}

enum class PatternKind { Number, Date, Text, Literal };

// The kind of a section: digit placeholders make a number pattern, character placeholders (@ &)
// or only case and fill marks (< > !) a text pattern, date letters a date pattern. A section
// that mixes digit and character placeholders is no pattern the runtime formats: 5.
PatternKind KindOf(const QString& pattern) {
    bool date = false, digits = false, characters = false, marks = false;
    bool quoted = false;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == u'"') { quoted = !quoted; continue; }
        if (quoted) continue;
        if (c == u'\\') { ++i; continue; }
        if (c == u'0' || c == u'#') digits = true;
        if (c == u'@' || c == u'&') characters = true;
        if (c == u'<' || c == u'>' || c == u'!') marks = true;
        switch (c.toLower().unicode()) {
        case u'd': case u'm': case u'y': case u'h': case u'n': case u's': case u'w': case u'q':
        case u'c': case u'/': case u':':
            date = true;
            break;
        default:
            break;
        }
    }
    if (digits && characters) Raise(kErrInvalidProcedureCall);
    if (digits) return PatternKind::Number;
    if (characters || (marks && !date)) return PatternKind::Text;
    return date ? PatternKind::Date : PatternKind::Literal;
}

// ---- numbers ----

struct NumToken {
    enum Kind { Zero, Hash, Point, Comma, Percent, Literal } kind;
    QString text;
};

std::vector<NumToken> NumberTokens(const QString& pattern) {
    std::vector<NumToken> tokens;
    bool point = false;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == u'"') {
            const qsizetype close = pattern.indexOf(u'"', i + 1);
            const qsizetype end = close < 0 ? pattern.size() : close;
            tokens.push_back({NumToken::Literal, pattern.mid(i + 1, end - i - 1)});
            i = end;
        } else if (c == u'\\') {
            if (i + 1 < pattern.size()) tokens.push_back({NumToken::Literal, QString(pattern[++i])});
        } else if (c == u'0') {
            tokens.push_back({NumToken::Zero, {}});
        } else if (c == u'#') {
            tokens.push_back({NumToken::Hash, {}});
        } else if (c == u'.' && !point) {
            point = true;
            tokens.push_back({NumToken::Point, {}});
        } else if (c == u',') {
            tokens.push_back({NumToken::Comma, {}});
        } else if (c == u'%') {
            tokens.push_back({NumToken::Percent, QStringLiteral("%")});
        } else {
            tokens.push_back({NumToken::Literal, QString(c)});
        }
    }
    return tokens;
}

bool IsPlaceholder(const NumToken& t) { return t.kind == NumToken::Zero || t.kind == NumToken::Hash; }

// One section of a number pattern applied to a value. `withSign` puts "-" in front of a
// negative result (the first section does; a negative section shows the value without it).
QString FormatNumber(double value, const QString& pattern, bool withSign) {
    const std::vector<NumToken> tokens = NumberTokens(pattern);
    size_t pointAt = tokens.size();
    for (size_t k = 0; k < tokens.size(); ++k)
        if (tokens[k].kind == NumToken::Point) { pointAt = k; break; }

    // Commas: between digit placeholders of the whole part they ask for thousands separators;
    // right after the last one (before the point) each divides the value by 1000.
    int lastWholePlaceholder = -1, firstWholePlaceholder = -1;
    for (size_t k = 0; k < pointAt; ++k)
        if (IsPlaceholder(tokens[k])) {
            if (firstWholePlaceholder < 0) firstWholePlaceholder = static_cast<int>(k);
            lastWholePlaceholder = static_cast<int>(k);
        }
    bool grouping = false;
    for (size_t k = 0; k < pointAt; ++k) {
        if (tokens[k].kind != NumToken::Comma) continue;
        if (static_cast<int>(k) > lastWholePlaceholder) {
            if (lastWholePlaceholder >= 0) value /= 1000.0;
        } else if (static_cast<int>(k) > firstWholePlaceholder) {
            grouping = true;
        }
    }
    int decimals = 0;
    for (size_t k = pointAt; k < tokens.size(); ++k)
        if (IsPlaceholder(tokens[k])) ++decimals;
    for (const NumToken& t : tokens)
        if (t.kind == NumToken::Percent) value *= 100.0;

    const detail::FixedDigits fd = detail::ToFixedDigits(value, decimals, detail::HalfRule::AwayFromZero);

    // Whole part, right to left: the leftmost placeholder takes every digit left over.
    QString whole;
    int emitted = 0;
    qsizetype di = fd.whole.size();
    auto pushDigit = [&](QChar digit) {
        if (grouping && emitted > 0 && emitted % 3 == 0) whole.prepend(u',');
        whole.prepend(digit);
        ++emitted;
    };
    for (int k = static_cast<int>(pointAt) - 1; k >= 0; --k) {
        const NumToken& t = tokens[static_cast<size_t>(k)];
        if (IsPlaceholder(t)) {
            if (di > 0) {
                pushDigit(fd.whole[--di]);
                if (k == firstWholePlaceholder)
                    while (di > 0) pushDigit(fd.whole[--di]);
            } else if (t.kind == NumToken::Zero) {
                pushDigit(u'0');
            }
        } else if (t.kind != NumToken::Comma) {
            whole.prepend(t.text);
        }
    }
    // A pattern with a point but no whole placeholders still shows the whole digits.
    if (firstWholePlaceholder < 0 && pointAt < tokens.size()) whole += fd.whole;

    // Fraction part, left to right; "#" places drop trailing zeros.
    QString fraction = fd.fraction;
    std::vector<const NumToken*> fractionPlaces;
    for (size_t k = pointAt; k < tokens.size(); ++k)
        if (IsPlaceholder(tokens[k])) fractionPlaces.push_back(&tokens[k]);
    qsizetype shown = fraction.size();
    while (shown > 0 && fractionPlaces[static_cast<size_t>(shown - 1)]->kind == NumToken::Hash &&
           fraction[shown - 1] == u'0')
        --shown;
    QString tail;
    int place = 0;
    for (size_t k = pointAt; k < tokens.size(); ++k) {
        const NumToken& t = tokens[k];
        if (t.kind == NumToken::Point) {
            tail += u'.';
        } else if (IsPlaceholder(t)) {
            if (place < shown) tail += fraction[place];
            ++place;
        } else if (t.kind != NumToken::Comma) {
            tail += t.text;
        }
    }
    QString out = whole + tail;
    if (withSign && fd.negative) out.prepend(u'-');
    return out;
}

// ---- scientific ----

// Where a section's exponent ("E+", "E-", "e+", "e-") begins; -1 when it has none.
qsizetype ExponentAt(const QString& pattern) {
    bool quoted = false;
    for (qsizetype i = 0; i + 1 < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == u'"') { quoted = !quoted; continue; }
        if (quoted) continue;
        if (c == u'\\') { ++i; continue; }
        if ((c == u'E' || c == u'e') && (pattern[i + 1] == u'+' || pattern[i + 1] == u'-')) return i;
    }
    return -1;
}

// The literal text of a pattern piece: quotes and escapes taken off.
QString LiteralText(const QString& piece) {
    QString out;
    for (qsizetype i = 0; i < piece.size(); ++i) {
        if (piece[i] == u'"') {
            const qsizetype close = piece.indexOf(u'"', i + 1);
            const qsizetype end = close < 0 ? piece.size() : close;
            out += piece.mid(i + 1, end - i - 1);
            i = end;
        } else if (piece[i] == u'\\') {
            if (i + 1 < piece.size()) out += piece[++i];
        } else {
            out += piece[i];
        }
    }
    return out;
}

// A number in scientific form: the mantissa takes as many whole digits as the pattern has whole
// placeholders before the exponent (one when it has none but a point), rounded to the decimals
// it shows, halves away from zero; the exponent shows at least as many digits as its "0"s, its
// sign always after "E+", only when negative after "E-".
QString FormatScientific(double value, const QString& pattern, qsizetype at, bool withSign) {
    const QString mantissaPattern = pattern.left(at);
    const QChar letter = pattern[at];
    const bool plus = pattern[at + 1] == u'+';
    qsizetype i = at + 2;
    int zeros = 0, places = 0;
    for (; i < pattern.size() && (pattern[i] == u'0' || pattern[i] == u'#'); ++i) {
        ++places;
        zeros += pattern[i] == u'0';
    }
    if (places == 0 || ExponentAt(pattern.mid(i)) >= 0) Raise(kErrInvalidProcedureCall);   // an exponent without digits, or two
    const QString tail = LiteralText(pattern.mid(i));

    int whole = 0, decimals = 0;
    bool point = false, quoted = false;
    for (qsizetype k = 0; k < mantissaPattern.size(); ++k) {
        const QChar c = mantissaPattern[k];
        if (c == u'"') { quoted = !quoted; continue; }
        if (quoted) continue;
        if (c == u'\\') { ++k; continue; }
        if (c == u'.') point = true;
        else if (c == u'0' || c == u'#') (point ? decimals : whole) += 1;
    }
    if (whole == 0) whole = 1;

    // The value to 15 significant digits, its point moved after `whole` digits.
    const double magnitude = std::fabs(value);
    int exponent = 0;
    double mantissa = 0;
    if (magnitude != 0 && std::isfinite(magnitude)) {
        char buf[32];
        // d.dddddddddddddde±x, with a '.' whatever the process's locale
        const auto res = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 14);
        assert(res.ec == std::errc());
        const QString text = QString::fromLatin1(buf, res.ptr - buf);
        const qsizetype e = text.indexOf(u'e');
        QString digits = text.left(e);
        digits.remove(u'.');
        exponent = text.mid(e + 1).toInt() - (whole - 1);
        mantissa = QString(digits.left(whole) + u'.' + digits.mid(whole)).toDouble();
        // Rounding that carries into one whole digit more moves the point once more.
        const detail::FixedDigits rounded = detail::ToFixedDigits(mantissa, decimals, detail::HalfRule::AwayFromZero);
        if (rounded.whole.size() > whole) {
            mantissa /= 10;
            ++exponent;
        }
    }
    QString out = FormatNumber(value < 0 ? -mantissa : mantissa, mantissaPattern, withSign);
    out += letter;
    if (exponent < 0) out += u'-';
    else if (plus) out += u'+';
    out += QString::number(std::abs(exponent)).rightJustified(std::max(zeros, 1), u'0');
    return out + tail;
}

// One section of a number pattern, in scientific form when it has an exponent.
QString FormatNumberSection(double value, const QString& pattern, bool withSign) {
    const qsizetype at = ExponentAt(pattern);
    if (at >= 0) return FormatScientific(value, pattern, at, withSign);
    return FormatNumber(value, pattern, withSign);
}

QString FormatNumberSections(double value, const QStringList& sections) {
    if (value < 0 && sections.size() >= 2 && !sections[1].isEmpty())
        return FormatNumberSection(-value, sections[1], false);
    if (value == 0 && sections.size() >= 3 && !sections[2].isEmpty())
        return FormatNumberSection(value, sections[2], true);
    return FormatNumberSection(value, sections[0], true);
}

// ---- text ----

// A text in a text pattern: "@" shows a character or a blank, "&" a character or nothing, filled
// from the right (from the left after "!"); characters beyond the placeholders stand before the
// first of them (after the last, filling from the left); "<" shows the text in lower case, ">" in
// upper case; anything else stands as it is.
QString FormatText(const QString& value, const QString& pattern) {
    struct Piece { bool placeholder; QChar kind; QString literal; };
    std::vector<Piece> pieces;
    bool leftToRight = false;
    int caseMode = 0;   // -1 lower, 1 upper
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == u'@' || c == u'&') pieces.push_back({true, c, {}});
        else if (c == u'!') leftToRight = true;
        else if (c == u'<') caseMode = -1;
        else if (c == u'>') caseMode = 1;
        else if (c == u'"') {
            const qsizetype close = pattern.indexOf(u'"', i + 1);
            const qsizetype end = close < 0 ? pattern.size() : close;
            pieces.push_back({false, {}, pattern.mid(i + 1, end - i - 1)});
            i = end;
        } else if (c == u'\\') {
            if (i + 1 < pattern.size()) pieces.push_back({false, {}, QString(pattern[++i])});
        } else {
            pieces.push_back({false, {}, QString(c)});
        }
    }
    const QString text = caseMode < 0 ? value.toLower() : caseMode > 0 ? value.toUpper() : value;
    qsizetype placeholders = 0;
    for (const Piece& p : pieces) placeholders += p.placeholder;
    if (placeholders == 0) {
        QString out = text;
        for (const Piece& p : pieces) out += p.literal;
        return out;
    }
    // The character each placeholder shows, and the ones left over.
    const qsizetype extra = std::max<qsizetype>(0, text.size() - placeholders);
    const qsizetype missing = std::max<qsizetype>(0, placeholders - text.size());
    QString out;
    qsizetype next = 0;   // the next character of the text, filling from the right
    qsizetype place = 0;
    for (const Piece& p : pieces) {
        if (!p.placeholder) {
            out += p.literal;
            continue;
        }
        if (leftToRight) {
            if (place < text.size()) out += text[place];
            else if (p.kind == u'@') out += u' ';
            if (place == placeholders - 1 && extra > 0) out += text.mid(placeholders);
        } else {
            if (place == 0 && extra > 0) {
                out += text.left(extra);
                next = extra;
            }
            if (place < missing) {
                if (p.kind == u'@') out += u' ';
            } else {
                out += text[next++];
            }
        }
        ++place;
    }
    return out;
}

// Text patterns: the first section for a text, the second (when there is one) for Null or an
// empty text.
QString FormatTextSections(const Variant& value, const QStringList& sections) {
    const bool nothing = value.isNull() || value.text().isEmpty();
    if (nothing && sections.size() >= 2) return FormatText(QString(), sections[1]);
    if (value.isNull()) return QString();
    return FormatText(value.text(), sections[0]);
}

// ---- dates ----

QString Two(int v) { return QString::number(v).rightJustified(2, u'0'); }

QString GeneralDate(Date d) { return Variant(d).toString(); }

int WeekOfYear(Date d) {
    const QDate date = d.toQDate();
    const Date jan1 = DateSerial(date.year(), 1, 1);
    return (date.dayOfYear() - 1 + Weekday(jan1) - 1) / 7 + 1;
}

QString FormatDate(Date d, const QString& pattern);

// The next date token's letter after position i (literals skipped), or 0.
QChar NextTokenLetter(const QString& p, qsizetype i) {
    bool quoted = false;
    for (; i < p.size(); ++i) {
        const QChar c = p[i];
        if (c == u'"') { quoted = !quoted; continue; }
        if (quoted) continue;
        if (c == u'\\') { ++i; continue; }
        const QChar l = c.toLower();
        if (l == u'd' || l == u'm' || l == u'y' || l == u'h' || l == u'n' || l == u's' || l == u'w' || l == u'q')
            return l;
    }
    return QChar();
}

// A quoted text, an escaped character or an AM/PM marker at p[i], written to `out`: the number
// of pattern characters it takes, 0 when p[i] starts none of them.
qsizetype WriteDateLiteral(const QString& p, qsizetype i, int hour, QString& out) {
    const QChar c = p[i];
    if (c == u'"') {
        const qsizetype close = p.indexOf(u'"', i + 1);
        const qsizetype end = close < 0 ? p.size() : close;
        out += p.mid(i + 1, end - i - 1);
        return end + 1 - i;
    }
    if (c == u'\\') {
        if (i + 1 < p.size()) out += p[i + 1];
        return 2;
    }
    if (p.mid(i, 5).compare(QLatin1String("AM/PM"), Qt::CaseInsensitive) == 0) {
        const QString s = hour < 12 ? QStringLiteral("AM") : QStringLiteral("PM");
        out += c.isUpper() ? s : s.toLower();
        return 5;
    }
    if (p.mid(i, 4).compare(QLatin1String("AMPM"), Qt::CaseInsensitive) == 0) {
        out += hour < 12 ? QStringLiteral("AM") : QStringLiteral("PM");
        return 4;
    }
    if (p.mid(i, 3).compare(QLatin1String("A/P"), Qt::CaseInsensitive) == 0) {
        const QString s = hour < 12 ? QStringLiteral("A") : QStringLiteral("P");
        out += c.isUpper() ? s : s.toLower();
        return 3;
    }
    return 0;
}

// How many pattern characters from p[i] the token there takes: a run of its letter (case
// ignored) for the date letters, one for anything else.
int DateTokenLength(const QString& p, qsizetype i) {
    const QChar l = p[i].toLower();
    const bool letter = l == u'd' || l == u'm' || l == u'y' || l == u'h' || l == u'n' || l == u's' || l == u'w' ||
                        l == u'q' || l == u't';
    if (!letter) return 1;
    qsizetype n = 0;
    while (i + n < p.size() && p[i + n].toLower() == l) ++n;
    return static_cast<int>(n);
}

// The pattern's state as it is written: the date, whether hours read 1 to 12 (the pattern holds
// an AM/PM marker), and the last date token written ('h' makes a following "m" the minutes).
struct DateWriter {
    DateWriter(Date date, const QString& pattern) : d(date), p(pattern) {
        for (const char* marker : {"AM/PM", "A/P", "AMPM"})
            if (p.contains(QLatin1String(marker), Qt::CaseInsensitive)) twelveHour = true;
    }
    Date d;
    const QString& p;
    bool twelveHour = false;
    QChar lastToken;
    QString out;

    // The token of `n` characters at p[i].
    void token(qsizetype i, int n) {
        const QChar c = p[i];
        const QDate date = d.toQDate();
        switch (c.toLower().unicode()) {
        case u'd': day(n); break;
        case u'm': monthOrMinutes(i, n, date); break;
        case u'y':
            if (n == 1) out += QString::number(date.dayOfYear());
            else if (n <= 3) out += Two(date.year() % 100);
            else out += QString::number(date.year()).rightJustified(4, u'0');
            lastToken = u'y';
            break;
        case u'h': {
            int h = Hour(d);
            if (twelveHour) { h %= 12; if (h == 0) h = 12; }
            out += n == 1 ? QString::number(h) : Two(h);
            lastToken = u'h';
            break;
        }
        case u'n':
            out += n == 1 ? QString::number(Minute(d)) : Two(Minute(d));
            lastToken = u'n';
            break;
        case u's':
            out += n == 1 ? QString::number(Second(d)) : Two(Second(d));
            lastToken = u's';
            break;
        case u'w':
            out += n == 1 ? QString::number(Weekday(d)) : QString::number(WeekOfYear(d));
            lastToken = u'w';
            break;
        case u'q':
            for (int k = 0; k < n; ++k) out += QString::number((date.month() - 1) / 3 + 1);
            lastToken = u'q';
            break;
        case u't':
            if (n == 5) out += FormatDate(d, kLongTime);
            else out += p.mid(i, n);
            break;
        case u'c': out += GeneralDate(d); break;
        default:
            out += c;   // "/" and ":" are the date and time separators, here "/" and ":"
            break;
        }
    }

    void day(int n) {
        const QDate date = d.toQDate();
        if (n == 1) out += QString::number(date.day());
        else if (n == 2) out += Two(date.day());
        else if (n == 3) out += QString::fromUtf16(kDaysShort[Weekday(d) - 1]);
        else if (n == 4) out += QString::fromUtf16(kDays[Weekday(d) - 1]);
        else if (n == 5) out += FormatDate(d, kShortDate);
        else out += FormatDate(d, kLongDate);
        lastToken = u'd';
    }

    // "m" and "mm" are the minutes after an hour or before seconds, else the month.
    void monthOrMinutes(qsizetype i, int n, const QDate& date) {
        const bool minutes = n <= 2 && (lastToken == u'h' || NextTokenLetter(p, i + n) == u's');
        if (minutes) out += n == 1 ? QString::number(Minute(d)) : Two(Minute(d));
        else if (n == 1) out += QString::number(date.month());
        else if (n == 2) out += Two(date.month());
        else if (n == 3) out += QString::fromUtf16(kMonthsShort[date.month() - 1]);
        else out += QString::fromUtf16(kMonths[date.month() - 1]);
        lastToken = minutes ? u'n' : u'm';
    }
};

QString FormatDate(Date d, const QString& p) {
    DateWriter w(d, p);
    for (qsizetype i = 0; i < p.size();) {
        if (const qsizetype literal = WriteDateLiteral(p, i, Hour(d), w.out)) {
            i += literal;
            continue;
        }
        const int n = DateTokenLength(p, i);
        w.token(i, n);
        i += n;
    }
    return w.out;
}

// ---- named patterns ----

QString Named(const Variant& value, const QString& pattern, bool* handled) {
    *handled = true;
    const QString name = pattern.trimmed().toLower();
    static const QStringList kNames = {u"general number"_qs, u"fixed"_qs, u"standard"_qs, u"percent"_qs,
                                       u"scientific"_qs, u"yes/no"_qs, u"true/false"_qs, u"on/off"_qs};
    if (!kNames.contains(name)) {
        *handled = false;
        return QString();
    }
    if (value.isString() && !IsNumeric(value)) return value.toString();
    auto number = [&]() { return value.isString() ? CDbl(value) : value.toDouble(); };
    if (name == u"general number") return NumberText(number());
    if (name == u"fixed") return FormatNumber(number(), QStringLiteral("0.00"), true);
    if (name == u"standard") return FormatNumber(number(), QStringLiteral("#,##0.00"), true);
    if (name == u"percent") return FormatNumber(number(), QStringLiteral("0.00%"), true);
    if (name == u"scientific") return FormatNumberSections(number(), {QStringLiteral("0.00E+00")});
    if (name == u"yes/no") return number() != 0 ? QStringLiteral("Yes") : QStringLiteral("No");
    if (name == u"true/false") return number() != 0 ? QStringLiteral("True") : QStringLiteral("False");
    if (name == u"on/off") return number() != 0 ? QStringLiteral("On") : QStringLiteral("Off");
    *handled = false;
    return QString();
}

QString NamedDatePattern(const QString& pattern) {
    const QString name = pattern.trimmed().toLower();
    if (name == u"short date") return kShortDate;
    if (name == u"medium date") return QStringLiteral("dd-mmm-yy");
    if (name == u"long date") return kLongDate;
    if (name == u"short time") return QStringLiteral("hh:mm");
    if (name == u"medium time") return QStringLiteral("hh:mm AMPM");
    if (name == u"long time") return kLongTime;
    if (name == u"general date") return QStringLiteral("c");
    return QString();
}

// The value as a date for a date pattern; false when it is text that is neither date nor number.
bool AsDate(const Variant& value, Date* out) {
    if (value.type() == VarType::Date) { *out = value.toDate(); return true; }
    if (value.isString()) {
        if (ParseDate(value.toString(), out)) return true;
        if (!IsNumeric(value)) return false;
        *out = Date{CDbl(value)};
        return true;
    }
    *out = Date{value.toDouble()};
    return true;
}

}  // namespace

QString Format(const Variant& value, const QString& pattern) {
    if (pattern.isEmpty()) return value.isNull() ? QString() : value.text();
    const QStringList sections = Sections(pattern);
    const PatternKind kind = KindOf(sections[0]);
    if (kind == PatternKind::Text) return FormatTextSections(value, sections);
    if (value.isNull()) return QString();

    bool handled = false;
    const QString named = Named(value, pattern, &handled);
    if (handled) return named;

    QString datePattern = NamedDatePattern(pattern);
    if (datePattern.isEmpty() && kind == PatternKind::Date) datePattern = sections[0];
    if (!datePattern.isEmpty()) {
        Date d;
        if (!AsDate(value, &d)) return value.toString();
        return FormatDate(d, datePattern);
    }

    double number = 0.0;
    if (value.isString()) {
        if (!IsNumeric(value)) return value.toString();   // text that is no number is shown as it is
        number = CDbl(value);
    } else {
        number = value.toDouble();
    }
    return FormatNumberSections(number, sections);
}

}  // namespace vb
