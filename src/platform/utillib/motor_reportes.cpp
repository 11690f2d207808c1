#include "platform/utillib/motor_reportes.h"

namespace utillib {

namespace {
MotorReportes::Renderer& RendererActual() {
    static MotorReportes::Renderer renderer;
    return renderer;
}
}  // namespace

void MotorReportes::SetRenderer(Renderer renderer) { RendererActual() = std::move(renderer); }

void MotorReportes::ImprimeReporte(const QString& reporte, const QStringList& formulas, const QString& formulaSeleccion,
                                   const QString& conexion, const QString& texto1, const QString& texto2,
                                   const QString& texto3, const QString& texto4, const QString& texto5,
                                   const QString& otro1, const QString& otro2, const QString& otro3) {
    const Renderer& renderer = RendererActual();
    if (!renderer) return;
    renderer(PedidoReporte{CarpetaReportes,
                           reporte,
                           formulas,
                           formulaSeleccion,
                           conexion,
                           {texto1, texto2, texto3, texto4, texto5},
                           {otro1, otro2, otro3}});
}

}  // namespace utillib
