#include "platform/ui/text_measurer.h"

#include <QFontMetricsF>
#include <QWidget>


namespace ui {

long WidgetTextMeasurer::TextWidth(const QString& text) const {
    if (text.isEmpty()) return 0;
    const double pixels = QFontMetricsF(widget_->font()).horizontalAdvance(text);
    return TwipsFromPixels(pixels);
}

}  // namespace ui
