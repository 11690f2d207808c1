#include "posting/cls_cmn_cptes.h"

#include "core/mod_global.h"
#include "platform/utillib/util_texto.h"
#include "platform/vb/runtime.h"

#include <cmath>

namespace posting {

namespace {

constexpr int16_t kLongitudDescripcionPorDefecto = 100;

}  // namespace

int16_t LongitudDescripcion(const QString& valor) {
    const double n = vb::Round(vb::Val(valor));
    // A 16-bit length: what does not fit, and what cannot be a length, reads as the default.
    if (!std::isfinite(n) || n <= 0 || n > 32767) return kLongitudDescripcionPorDefecto;
    return static_cast<int16_t>(n);
}

ClsCmnCptes::ClsCmnCptes() { configuracionLeida_ = LeeConfiguracion(); }

bool ClsCmnCptes::LeeConfiguracion() {
    // Each setting read is taken; one not read keeps what the object held, and no voucher is
    // posted until all three are read.
    const vb::ReadResult<QString> piva = core::ObtieneConfiguracion(QStringLiteral("PIVA"));
    if (piva.read()) porcentajeIVA_ = core::gUtilTexto().ANumero(vb::Variant(piva.value())).toDouble();
    const vb::ReadResult<bool> asientos = core::ConfiguracionSI(QStringLiteral("AsientosXStock"));
    if (asientos.read()) asientosXStock_ = asientos.value();
    const vb::ReadResult<QString> largo = core::ObtieneConfiguracion(QStringLiteral("LenDescripcion"));
    if (largo.read()) gLenDesc = LongitudDescripcion(largo.value());
    return piva.read() && asientos.read() && largo.read();
}

}  // namespace posting
