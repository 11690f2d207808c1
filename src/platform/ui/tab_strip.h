#pragma once
// TabStrip: what the program reads of a window's tab control: whether a tab is shown and its
// caption, by the tab's number from 0. QtTabStrip reads them from a QTabWidget.
//
//   QTabWidget* pestanas = ...;                    // tabs 0 tasks, 1 articles, 2 other concepts
//   ui::QtTabStrip SSTab1(pestanas);
//   if (SSTab1.TabVisible(1)) titulo = SSTab1.TabCaption(1);
//
// A tab number outside 0..Tabs()-1 raises 381 (invalid property array index), as the control does.
#include <QString>

class QTabWidget;

namespace ui {

class TabStrip {
public:
    virtual ~TabStrip() = default;
    virtual int Tabs() const = 0;
    virtual bool TabVisible(int index) const = 0;
    // The caption as the tab shows it, its "&" accelerator mark included.
    virtual QString TabCaption(int index) const = 0;
};

// A QTabWidget's tabs; the widget must outlive the adapter.
class QtTabStrip : public TabStrip {
public:
    explicit QtTabStrip(const QTabWidget* tabs) : tabs_(tabs) {}
    int Tabs() const override;
    bool TabVisible(int index) const override;
    QString TabCaption(int index) const override;

private:
    void check(int index) const;
    const QTabWidget* tabs_;
};

}  // namespace ui
