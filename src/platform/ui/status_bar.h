#pragma once
// StatusBar: the panels of a window's status bar, addressed by key or by their number from 1,
// each with a text and a tooltip. The model holds no widget; CreateStatusBarView shows it in a QStatusBar, one label
// per panel (each label's objectName is its panel's key).
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QStatusBar;
class QWidget;

namespace ui {

class StatusBar {
public:
    struct Panel {
        QString Key;
        QString Text;
        QString ToolTipText;
    };

    StatusBar();
    ~StatusBar();
    StatusBar(const StatusBar&) = delete;
    StatusBar& operator=(const StatusBar&) = delete;

    // Adds a panel at the end; a key already present is left as it is.
    void AddPanel(const QString& key, const QString& text = QString());
    int Count() const { return static_cast<int>(panels_.size()); }
    const Panel& PanelAt(int index) const { return panels_.at(static_cast<size_t>(index)); }
    bool HasPanel(const QString& key) const;

    // Keys compare without regard to case. A missing key raises 35601 (element not found), as
    // the control does.
    QString Text(const QString& key) const;
    void SetText(const QString& key, const QString& text);
    QString ToolTipText(const QString& key) const;
    void SetToolTipText(const QString& key, const QString& text);

    // Panels by their number from 1 to Count(), as the control numbers them; any other number
    // raises 35600 (index out of bounds).
    const Panel& Panels(int index) const;
    void SetPanelText(int index, const QString& text);

    // Called after every change (the view's refresh).
    void SetChanged(std::function<void()> changed) { changed_ = std::move(changed); }
    // Alive while the model is: views hold it weakly.
    std::weak_ptr<int> Token() const { return token_; }

private:
    Panel& Find(const QString& key);
    Panel& Numbered(int index);
    std::vector<Panel> panels_;
    std::function<void()> changed_;
    std::shared_ptr<int> token_;
};

// A QStatusBar showing the model, kept up to date on every change.
QStatusBar* CreateStatusBarView(StatusBar* model, QWidget* parent = nullptr);

}  // namespace ui
