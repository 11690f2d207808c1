#include "platform/ui/prompter.h"

#include "platform/vb/app.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <cstdio>

namespace ui {

namespace {
Prompter* gCurrent = nullptr;
std::function<void(const QString&)> gUnexpected;

QtPrompter& DefaultPrompter() {
    static QtPrompter p;
    return p;
}

QString TitleOrApp(const QString& title) { return title.isEmpty() ? vb::App().title : title; }
}  // namespace

Prompter& CurrentPrompter() { return gCurrent ? *gCurrent : DefaultPrompter(); }
void SetPrompter(Prompter* prompter) { gCurrent = prompter; }

int MsgBox(const QString& prompt, int buttons, const QString& title) {
    return CurrentPrompter().msgBox(prompt, buttons, TitleOrApp(title));
}

QString InputBox(const QString& prompt, const QString& title, const QString& defaultText) {
    return CurrentPrompter().inputBox(prompt, TitleOrApp(title), defaultText);
}

int QtPrompter::msgBox(const QString& prompt, int buttons, const QString& title) {
    QMessageBox box;
    box.setWindowTitle(title);
    box.setText(prompt);
    switch (buttons & 0x70) {
    case vbCritical: box.setIcon(QMessageBox::Critical); break;
    case vbQuestion: box.setIcon(QMessageBox::Question); break;
    case vbExclamation: box.setIcon(QMessageBox::Warning); break;
    case vbInformation: box.setIcon(QMessageBox::Information); break;
    default: break;
    }
    struct B { QString text; QMessageBox::ButtonRole role; int answer; };
    std::vector<B> list;
    switch (buttons & 0x0F) {
    case vbOKCancel: list = {{"Aceptar", QMessageBox::AcceptRole, 1}, {"Cancelar", QMessageBox::RejectRole, 2}}; break;
    case vbAbortRetryIgnore: list = {{"&Anular", QMessageBox::RejectRole, 3}, {"&Reintentar", QMessageBox::AcceptRole, 4}, {"&Omitir", QMessageBox::AcceptRole, 5}}; break;
    case vbYesNoCancel: list = {{"&Sí", QMessageBox::YesRole, 6}, {"&No", QMessageBox::NoRole, 7}, {"Cancelar", QMessageBox::RejectRole, 2}}; break;
    case vbYesNo: list = {{"&Sí", QMessageBox::YesRole, 6}, {"&No", QMessageBox::NoRole, 7}}; break;
    case vbRetryCancel: list = {{"&Reintentar", QMessageBox::AcceptRole, 4}, {"Cancelar", QMessageBox::RejectRole, 2}}; break;
    default: list = {{"Aceptar", QMessageBox::AcceptRole, 1}}; break;
    }
    std::vector<QPushButton*> made;
    for (const auto& b : list) made.push_back(box.addButton(b.text, b.role));
    const size_t def = (buttons & vbDefaultButton3) ? 2 : (buttons & vbDefaultButton2) ? 1 : 0;
    if (def < made.size()) box.setDefaultButton(made[def]);
    box.exec();
    for (size_t i = 0; i < made.size(); ++i)
        if (box.clickedButton() == made[i]) return list[i].answer;
    // Closed with Escape or the window's close button: the cancelling answer.
    for (const auto& b : list) if (b.role == QMessageBox::RejectRole || b.answer == 7) return b.answer;
    return list.front().answer;
}

QString QtPrompter::inputBox(const QString& prompt, const QString& title, const QString& defaultText) {
    bool ok = false;
    const QString text = QInputDialog::getText(nullptr, title, prompt, QLineEdit::Normal, defaultText, &ok);
    return ok ? text : QString();
}

ScriptedPrompter::ScriptedPrompter() : previous_(gCurrent) { SetPrompter(this); }
ScriptedPrompter::~ScriptedPrompter() { SetPrompter(previous_); }

ScriptedPrompter& ScriptedPrompter::answer(int answer, const QString& expectContains) {
    script_.push_back(Step{answer, QString(), expectContains});
    return *this;
}

ScriptedPrompter& ScriptedPrompter::type(const QString& text, const QString& expectContains) {
    script_.push_back(Step{1, text, expectContains});
    return *this;
}

void ScriptedPrompter::SetUnexpectedHandler(std::function<void(const QString&)> handler) {
    gUnexpected = std::move(handler);
}

std::optional<ScriptedPrompter::Step> ScriptedPrompter::next(const QString& prompt) {
    auto report = [](const QString& what) {
        if (gUnexpected) gUnexpected(what);
        else std::fprintf(stderr, "ScriptedPrompter: %s\n", qPrintable(what));
    };
    if (script_.empty()) {
        report(QStringLiteral("unexpected box: ") + prompt);
        return std::nullopt;
    }
    Step s = script_.front();
    script_.pop_front();
    if (!s.expectContains.isEmpty() && !prompt.contains(s.expectContains))
        report(QStringLiteral("box \"%1\" does not contain \"%2\"").arg(prompt, s.expectContains));
    return s;
}

int ScriptedPrompter::msgBox(const QString& prompt, int buttons, const QString& title) {
    shown_.push_back(Shown{prompt, buttons, title, false});
    auto s = next(prompt);
    if (!s) {
        // No scripted answer: the cancelling answer of the box, so nothing is done on our behalf.
        switch (buttons & 0x0F) {
        case vbAbortRetryIgnore: return 3;
        case vbYesNo: return 7;
        case vbOKOnly: return 1;
        default: return 2;
        }
    }
    return s->answer;
}

QString ScriptedPrompter::inputBox(const QString& prompt, const QString& title, const QString&) {
    shown_.push_back(Shown{prompt, 0, title, true});
    auto s = next(prompt);
    return s ? s->text : QString();
}

}  // namespace ui
