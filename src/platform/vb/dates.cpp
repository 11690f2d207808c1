#include "platform/vb/dates.h"

#include "platform/vb/error.h"

namespace vb {

bool ParseDate(const QString& text, Date* out) {
    const QDateTime dt = QDateTime::fromString(text.trimmed(), QStringLiteral("dd/MM/yyyy"));
    if (!dt.isValid()) return false;
    *out = Date::fromQDateTime(dt);
    return true;
}

Date CDate(const Variant& v) {
    if (!v.isString()) return v.toDate();
    Date d;
    if (!ParseDate(v.toString(), &d)) Raise(kErrTypeMismatch);
    return d;
}

}  // namespace vb
