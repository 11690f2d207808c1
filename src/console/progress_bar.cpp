#include "console/progress_bar.h"

#include "console/frm_status.h"
#include <cmath>

#include <QPainter>

namespace console {

namespace {
// The pattern "###": the rounded number, no digits at all for 0.
QString DigitsOf(double percent) {
    const long long n = std::llround(percent);
    return n == 0 ? QString() : QString::number(n);
}
}  // namespace

void DibujaBarra(PictureBox& box, double percent, bool clearOnly) {
    QImage& canvas = box.canvas();
    canvas.fill(box.palette().color(QPalette::Window));
    box.setLastPercent(clearOnly ? 0 : percent);
    if (!clearOnly) {
        QPainter p(&canvas);
        const double unit = canvas.width() / 100.0;      // ScaleWidth 100: one unit per percent
        const QString label = QStringLiteral(" ") + DigitsOf(percent) +
                              QStringLiteral("%");
        p.setPen(Qt::black);
        p.drawText(canvas.rect(), Qt::AlignCenter, label);
        // The pen is combined with the background by not-exclusive-or, so the label under the
        // bar shows inverted.
        p.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
        const QColor bgr(0x00, 0x00, 0xFF);                // &HFF0000 read as BGR
        p.fillRect(QRectF(0, 0, percent * unit, canvas.height()), bgr);
    }
    box.update();
    box.repaint();
}

}  // namespace console
