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

namespace {

// The box shows line breaks written as CR, LF or CR LF, as the system's message boxes do.
QString DisplayText(const QString& text) {
    QString out = text;
    out.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    out.replace(u'\r', u'\n');
    return out;
}

struct ButtonSpec {
    const char16_t* text;
    int answer;
};

// The buttons of each set, in the system's order.
std::vector<ButtonSpec> ButtonSet(int buttons) {
    switch (buttons & 0x0F) {
    case vbOKCancel: return {{u"Aceptar", 1}, {u"Cancelar", 2}};
    case vbAbortRetryIgnore: return {{u"&Anular", 3}, {u"&Reintentar", 4}, {u"&Omitir", 5}};
    case vbYesNoCancel: return {{u"&Sí", 6}, {u"&No", 7}, {u"Cancelar", 2}};
    case vbYesNo: return {{u"&Sí", 6}, {u"&No", 7}};
    case vbRetryCancel: return {{u"&Reintentar", 4}, {u"Cancelar", 2}};
    case vbRetryAbort: return {{u"&Reintentar", 4}, {u"&Anular", 3}};
    default: return {{u"Aceptar", 1}};
    }
}

}  // namespace

int QtPrompter::msgBox(const QString& prompt, int buttons, const QString& title) {
    QMessageBox box;
    box.setWindowTitle(title);
    box.setTextFormat(Qt::PlainText);   // the program's texts are never markup
    box.setText(DisplayText(prompt));
    switch (buttons & 0x70) {
    case vbCritical: box.setIcon(QMessageBox::Critical); break;
    case vbQuestion: box.setIcon(QMessageBox::Question); break;
    case vbExclamation: box.setIcon(QMessageBox::Warning); break;
    case vbInformation: box.setIcon(QMessageBox::Information); break;
    default: break;
    }
    // One role for every button keeps them in the set's order on every desktop. Escape (and the
    // window's close button) gives Cancel where the set has one, OK for the OK box and Anular for
    // Reintentar/Anular; the other sets (Abort/Retry/Ignore, Yes/No) have no escape button, so
    // Escape does nothing there.
    const std::vector<ButtonSpec> list = ButtonSet(buttons);
    std::vector<QPushButton*> made;
    for (const auto& b : list) {
        made.push_back(box.addButton(QString::fromUtf16(b.text), QMessageBox::ActionRole));
        if (b.answer == 2 || list.size() == 1 || (b.answer == 3 && (buttons & 0x0F) == vbRetryAbort))
            box.setEscapeButton(made.back());
    }
    // vbDefaultButton2..4; a default beyond the last button leaves the first one the default.
    const size_t def = static_cast<size_t>((buttons >> 8) & 3);
    box.setDefaultButton(made[def < made.size() ? def : 0]);
    box.exec();
    for (size_t i = 0; i < made.size(); ++i)
        if (box.clickedButton() == made[i]) return list[i].answer;
    // Closed without a button (the application is quitting): the answer that does nothing.
    switch (buttons & 0x0F) {
    case vbOKOnly: return 1;
    case vbAbortRetryIgnore: return 3;
    case vbRetryAbort: return 3;
    case vbYesNo: return 7;
    default: return 2;
    }
}

QString QtPrompter::inputBox(const QString& prompt, const QString& title, const QString& defaultText) {
    bool ok = false;
    const QString text = QInputDialog::getText(nullptr, title, DisplayText(prompt), QLineEdit::Normal, defaultText, &ok);
    return ok ? text : QString();
}

ScriptedPrompter::ScriptedPrompter() : previous_(gCurrent) { SetPrompter(this); }
ScriptedPrompter::~ScriptedPrompter() {
    SetPrompter(previous_);
    // An answer never asked for: the box the test meant to answer was not shown.
    if (script_.empty()) return;
    QStringList sinUsar;
    for (const Step& s : script_)
        sinUsar << (s.expectContains.isEmpty() ? QString::number(s.answer) : QStringLiteral("\"%1\"").arg(s.expectContains));
    const QString what = QStringLiteral("%1 scripted answer(s) never asked for: %2")
                             .arg(script_.size())
                             .arg(sinUsar.join(QStringLiteral(", ")));
    if (gUnexpected) gUnexpected(what);
    else std::fprintf(stderr, "ScriptedPrompter: %s\n", qPrintable(what));
}

void ScriptedPrompter::discard() { script_.clear(); }

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

std::function<void(const QString&)> ScriptedPrompter::UnexpectedHandler() { return gUnexpected; }

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
