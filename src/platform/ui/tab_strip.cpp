#include "platform/ui/tab_strip.h"

#include "platform/ui/flex_grid.h"
#include "platform/vb/error.h"

#include <QTabWidget>

namespace ui {

int QtTabStrip::Tabs() const { return tabs_->count(); }

void QtTabStrip::check(int index) const {
    if (index < 0 || index >= tabs_->count())
        vb::Raise(kErrInvalidPropertyIndex, QStringLiteral("Invalid property array index"));
}

bool QtTabStrip::TabVisible(int index) const {
    check(index);
    return tabs_->isTabVisible(index);
}

QString QtTabStrip::TabCaption(int index) const {
    check(index);
    return tabs_->tabText(index);
}

}  // namespace ui
