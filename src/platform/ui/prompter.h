#pragma once
// Every message box and input box of the program goes through the Prompter, with the program's
// own button, icon and answer codes (vbYesNo, vbCritical, vbYes, ...). QtPrompter shows real
// dialogs; ScriptedPrompter answers in tests.
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace ui {

// Buttons (low nibble) and icon (+16, +32, +48, +64) of a message box.
enum MsgBoxStyle : int {
    vbOKOnly = 0, vbOKCancel = 1, vbAbortRetryIgnore = 2, vbYesNoCancel = 3, vbYesNo = 4,
    vbRetryCancel = 5,
    // The program's own set, for a wait that another station's work ran out: Reintentar and Anular
    // (answers 4 and 3; Escape and the close box give Anular).
    vbRetryAbort = 6,
    vbCritical = 16, vbQuestion = 32, vbExclamation = 48, vbInformation = 64,
    vbDefaultButton2 = 256, vbDefaultButton3 = 512,
};
// Answers: 1 OK, 2 Cancel, 3 Abort, 4 Retry, 5 Ignore, 6 Yes, 7 No (as vb::Answer).

class Prompter {
public:
    virtual ~Prompter() = default;
    // Returns the answer code. An empty title shows the program's title, as the runtime does.
    virtual int msgBox(const QString& prompt, int buttons, const QString& title) = 0;
    // Returns the typed text, or "" when cancelled.
    virtual QString inputBox(const QString& prompt, const QString& title, const QString& defaultText) = 0;
};

// The program-wide prompter. Until one is installed a QtPrompter is used.
Prompter& CurrentPrompter();
void SetPrompter(Prompter* prompter);   // nullptr restores the default

int MsgBox(const QString& prompt, int buttons = vbOKOnly, const QString& title = QString());
QString InputBox(const QString& prompt, const QString& title = QString(), const QString& defaultText = QString());

// Real dialogs: QMessageBox and QInputDialog.
class QtPrompter : public Prompter {
public:
    int msgBox(const QString& prompt, int buttons, const QString& title) override;
    QString inputBox(const QString& prompt, const QString& title, const QString& defaultText) override;
};

// Answers from a script, records every box shown, and reports a box it did not expect and, when
// it ends, every answer no box asked for (through the same handler: a failure in tests).
class ScriptedPrompter : public Prompter {
public:
    struct Shown {
        QString prompt;
        int buttons = 0;
        QString title;
        bool input = false;
    };
    struct Step {
        int answer = 1;              // for a message box
        QString text;                // for an input box
        QString expectContains;      // when not empty, the prompt must contain it
    };

    ScriptedPrompter();
    ~ScriptedPrompter() override;   // installs itself on construction, restores the previous on destruction

    ScriptedPrompter& answer(int answer, const QString& expectContains = QString());
    ScriptedPrompter& type(const QString& text, const QString& expectContains = QString());

    int msgBox(const QString& prompt, int buttons, const QString& title) override;
    QString inputBox(const QString& prompt, const QString& title, const QString& defaultText) override;

    const std::vector<Shown>& shown() const { return shown_; }
    bool exhausted() const { return script_.empty(); }
    size_t pending() const { return script_.size(); }
    // Drops the answers left: for a test whose script only offers answers a path may ask for.
    void discard();

    // Called on a box the script did not expect (none left, or a prompt that does not match), and
    // on destruction when answers are left.
    // Tests install a handler that fails the test; the default prints to stderr.
    static void SetUnexpectedHandler(std::function<void(const QString&)> handler);
    static std::function<void(const QString&)> UnexpectedHandler();

private:
    std::optional<Step> next(const QString& prompt);
    std::deque<Step> script_;
    std::vector<Shown> shown_;
    Prompter* previous_ = nullptr;
};

}  // namespace ui
