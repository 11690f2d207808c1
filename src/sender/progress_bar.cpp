#include "sender/progress_bar.h"

#include "sender/frm_status.h"
#include "core/barra_progreso.h"

namespace sender {

void DibujaBarra(PictureBox& box, double percent, bool clearOnly) {
    QImage& canvas = box.canvas();
    box.setLastPercent(clearOnly ? 0 : percent);
    const QColor fondo = box.palette().color(QPalette::Window);
    if (clearOnly)
        canvas.fill(fondo);
    else
        core::DibujaBarraProgreso(canvas, vb::Variant(percent), 0xFF0000, QString(), fondo);
    box.repaint();
}

}  // namespace sender
