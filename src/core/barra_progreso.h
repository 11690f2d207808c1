#pragma once
// The percentage bar of the step-progress window, painted on the picture's surface.
#include "platform/vb/variant.h"

#include <QColor>
#include <QImage>
#include <QString>

namespace core {

// Clears the picture to Fondo, prints Texto & " " & Format(Porcentaje, "###") & "%" centred in
// Letra, then fills the bar from the left edge to Porcentaje percent of the width in Color (a
// BGR colour, as &HFF0000 for blue). The bar is combined with what lies under it by
// not-exclusive-or, so the label shows inverted where the bar covers it.
void DibujaBarraProgreso(QImage& Imagen, const vb::Variant& Porcentaje, long Color, const QString& Texto,
                         const QColor& Fondo = QColor(255, 255, 255), const QColor& Letra = QColor(0, 0, 0));

// The label printed over the bar: Texto & " " & Format(Porcentaje, "###") & "%".
QString EtiquetaBarraProgreso(const vb::Variant& Porcentaje, const QString& Texto);

// A BGR colour number as a colour.
QColor ColorBGR(long Color);

}  // namespace core
