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
    bool piva = false, asientos = false, largo = false;
    porcentajeIVA_ =
        core::gUtilTexto().ANumero(vb::Variant(core::ObtieneConfiguracion(QStringLiteral("PIVA"), &piva))).toDouble();
    asientosXStock_ = core::FlagSI(core::ObtieneConfiguracion(QStringLiteral("AsientosXStock"), &asientos));
    gLenDesc = LongitudDescripcion(core::ObtieneConfiguracion(QStringLiteral("LenDescripcion"), &largo));
    return !piva && !asientos && !largo;
}

}  // namespace posting
