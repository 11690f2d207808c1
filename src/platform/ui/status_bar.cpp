#include "platform/ui/status_bar.h"

#include "platform/vb/error.h"

#include <QLabel>
#include <QPointer>
#include <QStatusBar>

namespace ui {

namespace {

constexpr long kErrIndexOutOfBounds = 35600;
constexpr long kErrElementNotFound = 35601;

void Refresh(QStatusBar* bar, const StatusBar& model) {
    QList<QLabel*> labels = bar->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly);
    while (labels.size() < model.Count()) {
        auto* label = new QLabel(bar);
        label->setObjectName(model.PanelAt(static_cast<int>(labels.size())).Key);
        bar->addPermanentWidget(label, labels.isEmpty() ? 1 : 0);
        labels.push_back(label);
    }
    for (int i = 0; i < model.Count(); ++i) {
        labels[i]->setText(model.PanelAt(i).Text);
        labels[i]->setToolTip(model.PanelAt(i).ToolTipText);
    }
}

}  // namespace

StatusBar::StatusBar() : token_(std::make_shared<int>(0)) {}
StatusBar::~StatusBar() = default;

void StatusBar::AddPanel(const QString& key, const QString& text) {
    if (HasPanel(key)) return;
    panels_.push_back(Panel{key, text, QString()});
    if (changed_) changed_();
}

bool StatusBar::HasPanel(const QString& key) const {
    for (const Panel& p : panels_) {
        if (p.Key.compare(key, Qt::CaseInsensitive) == 0) return true;
    }
    return false;
}

StatusBar::Panel& StatusBar::Find(const QString& key) {
    for (Panel& p : panels_) {
        if (p.Key.compare(key, Qt::CaseInsensitive) == 0) return p;
    }
    vb::Raise(kErrElementNotFound, QStringLiteral("Elemento no encontrado"));
}

QString StatusBar::Text(const QString& key) const { return const_cast<StatusBar*>(this)->Find(key).Text; }

void StatusBar::SetText(const QString& key, const QString& text) {
    Find(key).Text = text;
    if (changed_) changed_();
}

QString StatusBar::ToolTipText(const QString& key) const {
    return const_cast<StatusBar*>(this)->Find(key).ToolTipText;
}

void StatusBar::SetToolTipText(const QString& key, const QString& text) {
    Find(key).ToolTipText = text;
    if (changed_) changed_();
}

StatusBar::Panel& StatusBar::Numbered(int index) {
    if (index < 1 || index > Count()) vb::Raise(kErrIndexOutOfBounds, QStringLiteral("Índice fuera de los límites"));
    return panels_[static_cast<size_t>(index - 1)];
}

const StatusBar::Panel& StatusBar::Panels(int index) const { return const_cast<StatusBar*>(this)->Numbered(index); }

void StatusBar::SetPanelText(int index, const QString& text) {
    Numbered(index).Text = text;
    if (changed_) changed_();
}

QStatusBar* CreateStatusBarView(StatusBar* model, QWidget* parent) {
    auto* bar = new QStatusBar(parent);
    QPointer<QStatusBar> view(bar);
    model->SetChanged([view, model] {
        if (view) Refresh(view, *model);
    });
    std::weak_ptr<int> alive = model->Token();
    QObject::connect(bar, &QObject::destroyed, [alive, model] {
        if (!alive.expired()) model->SetChanged({});
    });
    Refresh(bar, *model);
    return bar;
}

}  // namespace ui
