#pragma once
// TextMeasurer: the width of a text in a window's current font, in twips: what a grid layout
// sizes its columns with ("n X characters"). Whoever owns the window hands one in; tests use a
// fixed width per character.
//
//   ui::WidgetTextMeasurer medida(ventana);           // the window's font
//   grid.SetColWidth(0, medida.TextWidth(QString(15, u'X')));
#include "platform/ui/units.h"

#include <QString>

class QWidget;

namespace ui {

class TextMeasurer {
public:
    virtual ~TextMeasurer() = default;
    // The width of the text in twips; the empty text measures 0.
    virtual long TextWidth(const QString& text) const = 0;
};

// Every character the same width.
class FixedWidthMeasurer : public TextMeasurer {
public:
    explicit FixedWidthMeasurer(long twipsPerCharacter) : perCharacter_(twipsPerCharacter) {}
    long TextWidth(const QString& text) const override { return perCharacter_ * static_cast<long>(text.size()); }

private:
    long perCharacter_;
};

// The widget's font as it is when measuring. The widget must outlive the measurer.
class WidgetTextMeasurer : public TextMeasurer {
public:
    explicit WidgetTextMeasurer(const QWidget* widget) : widget_(widget) {}
    long TextWidth(const QString& text) const override;

private:
    const QWidget* widget_;
};

}  // namespace ui
