#include "core/barra_progreso.h"

#include "platform/ui/units.h"
#include "platform/vb/format.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>

namespace core {

QColor ColorBGR(long Color) { return ui::ColorFromBGR(Color); }

QString EtiquetaBarraProgreso(const vb::Variant& Porcentaje, const QString& Texto) {
    return Texto + QStringLiteral(" ") + vb::Format(Porcentaje, QStringLiteral("###")) + QStringLiteral("%");
}

void DibujaBarraProgreso(QImage& Imagen, const vb::Variant& Porcentaje, long Color, const QString& Texto,
                         const QColor& Fondo, const QColor& Letra) {
    // The raster operations need a 32-bit surface.
    if (Imagen.format() != QImage::Format_RGB32 && Imagen.format() != QImage::Format_ARGB32_Premultiplied) {
        Imagen = Imagen.convertToFormat(QImage::Format_RGB32);
    }
    const double porcentaje = Porcentaje.toDouble();
    const QString etiqueta = EtiquetaBarraProgreso(Porcentaje, Texto);
    Imagen.fill(Fondo);
    if (Imagen.isNull()) return;

    QPainter p(&Imagen);
    const double unidad = Imagen.width() / 100.0;   // ScaleWidth 100: one unit per percent
    const QFontMetricsF fm(p.font());
    const double x = 50 * unidad - fm.horizontalAdvance(etiqueta) / 2;
    const double y = (Imagen.height() - fm.height()) / 2;
    p.setPen(Letra);
    p.drawText(QPointF(x, y + fm.ascent()), etiqueta);

    p.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
    const double ancho = std::clamp(porcentaje, 0.0, 100.0) * unidad;
    // On white the result is the colour itself; on the black label, its inverse.
    p.fillRect(QRectF(0, 0, ancho, Imagen.height()), ColorBGR(Color));
    p.end();
}

}  // namespace core
