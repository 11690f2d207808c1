#include "lots/cantidades.h"

#include "core/mod_global.h"
#include "platform/utillib/util_texto.h"
#include "platform/vb/runtime.h"

#include <cassert>
#include <cmath>

namespace lots {

namespace {

// From here on a double cannot tell one ten-thousandth from the next: a value is taken as it is.
constexpr double kSinDecimales = 1e11;

// Ten-thousandths, kept in a double: no integer range to overflow.
double Diezmilesimos(double v) { return std::fabs(v) < kSinDecimales ? std::round(v * 10000.0) : v * 10000.0; }

}  // namespace

QString TextoCantidad(double valor) {
    if (!std::isfinite(valor)) return QStringLiteral("0");
    if (std::fabs(valor) >= kSinDecimales) return vb::NumberText(valor);
    QString s = QString::number(Diezmilesimos(valor) / 10000.0, 'f', 4);
    while (s.endsWith(u'0')) s.chop(1);
    if (s.endsWith(u'.')) s.chop(1);
    if (s == QStringLiteral("-0")) s = QStringLiteral("0");
    assert((!s.contains(u'.') || (s.size() - s.indexOf(u'.') <= 5 && !s.endsWith(u'0'))) &&
           "at most four decimals, no trailing zeros");
    return s;
}

double LeeCantidad(const QString& texto) { return core::gUtilTexto().ADoble(vb::Variant(texto.trimmed())); }

bool EsCantidad(const QString& texto) {
    return texto.trimmed().isEmpty() || core::gUtilTexto().EsNumero(vb::Variant(texto.trimmed()));
}

int ComparaCantidades(double a, double b) {
    const double x = Diezmilesimos(a);
    const double y = Diezmilesimos(b);
    return x < y ? -1 : (x > y ? 1 : 0);
}

}  // namespace lots
