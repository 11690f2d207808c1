#pragma once
// Text helpers of the data-access object. Searches and replacements ignore letter case, as the
// object's comparisons do; positions are 1-based.
#include <QString>

namespace data::text {

// Where `what` stands in `s` from `from` on, letter case aside; -1 when it does not. Every
// statement passes through these searches, so an ASCII word is looked for here: by Qt's rule of
// letter case only two characters beyond ASCII read as ASCII letters (the long s and the Kelvin
// sign), and only where a word starts with one of those letters are they looked for at its first
// character. Any other word is looked for by Qt's rule itself.
inline qsizetype IndexOf(const QString& s, const QString& what, qsizetype from = 0) {
    const char16_t* w = QStringView(what).utf16();
    const qsizetype m = what.size();
    for (qsizetype k = 0; k < m; ++k)
        if (w[k] >= 0x80) return s.indexOf(what, from, Qt::CaseInsensitive);
    auto fold = [](char16_t c) -> char16_t {
        if (c < 0x80) return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c;
        return c == 0x017F ? u's' : c == 0x212A ? u'k' : c;
    };
    const QStringView h(s);
    const qsizetype n = s.size();
    if (from < 0) from = 0;
    if (m == 0) return from <= n ? from : -1;
    const char16_t first = fold(w[0]);
    const bool letter = first >= u'a' && first <= u'z';
    const bool folded = first == u's' || first == u'k';   // also met as a character beyond ASCII
    for (qsizetype i = from; i + m <= n;) {
        if (!letter) {   // any other character is only itself: found where it stands
            i = h.indexOf(QChar(first), i);
            if (i < 0 || i + m > n) return -1;
        } else if ((h[i].unicode() | 0x20) != first && !(folded && fold(h[i].unicode()) == first)) {
            ++i;
            continue;
        }
        qsizetype k = 1;
        while (k < m && fold(h[i + k].unicode()) == fold(w[k])) ++k;
        if (k == m) return i;
        ++i;
    }
    return -1;
}

inline bool Has(const QString& s, const QString& what) { return IndexOf(s, what) >= 0; }

// Position of `what` in `s` from `start` on, 0 when absent.
inline int Pos(const QString& s, const QString& what, int start = 1) {
    if (start < 1) start = 1;
    const qsizetype i = IndexOf(s, what, start - 1);
    return i < 0 ? 0 : static_cast<int>(i) + 1;
}

// Every occurrence, left to right, without overlaps.
inline QString ReplaceAll(QString s, const QString& find, const QString& with) {
    if (find.isEmpty()) return s;
    return s.replace(find, with, Qt::CaseInsensitive);
}

// Leading and trailing blanks (only blanks: tabs and line breaks stay).
inline QString TrimBlanks(const QString& s) {
    qsizetype b = 0, e = s.size();
    while (b < e && s[b] == u' ') ++b;
    while (e > b && s[e - 1] == u' ') --e;
    return s.mid(b, e - b);
}

// The administrator marker in front of a table name.
inline const QString& AdminMarker() {
    static const QString marker = QStringLiteral("@Admin_");
    return marker;
}
inline QString RemoveAdminMarker(const QString& s) { return Has(s, AdminMarker()) ? ReplaceAll(s, AdminMarker(), QString()) : s; }

}  // namespace data::text
