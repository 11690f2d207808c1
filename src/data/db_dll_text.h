#pragma once
// Text helpers of the data-access object. Searches and replacements ignore letter case, as the
// object's comparisons do; positions are 1-based.
#include <QString>

namespace data::text {

inline bool Has(const QString& s, const QString& what) { return s.contains(what, Qt::CaseInsensitive); }

// Position of `what` in `s` from `start` on, 0 when absent.
inline int Pos(const QString& s, const QString& what, int start = 1) {
    if (start < 1) start = 1;
    const qsizetype i = s.indexOf(what, start - 1, Qt::CaseInsensitive);
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
inline QString RemoveAdminMarker(const QString& s) { return ReplaceAll(s, AdminMarker(), QString()); }

}  // namespace data::text
