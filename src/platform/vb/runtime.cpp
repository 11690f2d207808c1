#include "platform/vb/runtime.h"

#include "platform/vb/error.h"

#include <cmath>
#include <limits>

namespace vb {

double Round(double value, int decimals) {
    const double p = std::pow(10.0, decimals);
    return std::nearbyint(value * p) / p;
}

int16_t CInt(const Variant& v) {
    const double r = std::nearbyint(v.toDouble());
    if (r < -32768.0 || r > 32767.0) Raise(kErrOverflow);
    return static_cast<int16_t>(r);
}

int32_t CLng(const Variant& v) {
    const double r = std::nearbyint(v.toDouble());
    if (r < -2147483648.0 || r > 2147483647.0) Raise(kErrOverflow);
    return static_cast<int32_t>(r);
}

QString NumberText(double value) {
    QString s = QString::number(value, 'g', 15);
    return s.replace(u'e', u'E');
}

}  // namespace vb
