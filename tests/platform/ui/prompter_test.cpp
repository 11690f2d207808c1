// Message boxes: the real dialog's buttons, default and Escape answer for each button set, and
// the scripted prompter's report of a box it did not expect.
#include "platform/ui/prompter.h"
#include "platform/vb/on_error.h"

#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

namespace {

// Runs `act` on the message box as soon as it is shown; the box is then closed by what `act` did.
// The timer finds the box through the application's active modal widget, so nothing sleeps.
int ShowAndAct(int buttons, const std::function<void(QMessageBox*)>& act, const QString& prompt = QStringLiteral("p")) {
    QTimer timer;
    timer.setInterval(0);
    bool acted = false;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible() || acted) return;
        acted = true;
        timer.stop();
        act(box);
    });
    timer.start();
    ui::QtPrompter prompter;
    const int answer = prompter.msgBox(prompt, buttons, QStringLiteral("t"));
    EXPECT_TRUE(acted);
    return answer;
}

// The button texts from left to right, as the operator sees them.
QStringList ButtonTexts(QMessageBox* box) {
    QList<QAbstractButton*> buttons = box->buttons();
    std::sort(buttons.begin(), buttons.end(), [box](QAbstractButton* a, QAbstractButton* b) {
        return a->mapTo(box, QPoint()).x() < b->mapTo(box, QPoint()).x();
    });
    QStringList out;
    for (QAbstractButton* b : buttons) out << b->text();
    return out;
}

QPushButton* ButtonWithText(QMessageBox* box, const QString& text) {
    for (QAbstractButton* b : box->buttons())
        if (b->text() == text) return qobject_cast<QPushButton*>(b);
    return nullptr;
}

struct SetCase {
    int buttons;
    QStringList texts;     // in the order of the set
    int escapeAnswer;      // 0: Escape and the close button do nothing
};

const SetCase kSets[] = {
    {ui::vbOKOnly, {"Aceptar"}, vb::kOk},
    {ui::vbOKCancel, {"Aceptar", "Cancelar"}, vb::kCancel},
    {ui::vbAbortRetryIgnore, {"&Anular", "&Reintentar", "&Omitir"}, 0},
    {ui::vbYesNoCancel, {"&Sí", "&No", "Cancelar"}, vb::kCancel},
    {ui::vbYesNo, {"&Sí", "&No"}, 0},
    {ui::vbRetryCancel, {"&Reintentar", "Cancelar"}, vb::kCancel},
    {ui::vbRetryAbort, {"&Reintentar", "&Anular"}, vb::kAbort},
};

TEST(QtPrompter, EachSetAnswersWithItsButtonsCodes) {
    const int answers[][3] = {{1}, {1, 2}, {3, 4, 5}, {6, 7, 2}, {6, 7}, {4, 2}, {4, 3}};
    for (size_t s = 0; s < std::size(kSets); ++s) {
        const SetCase& c = kSets[s];
        for (qsizetype i = 0; i < c.texts.size(); ++i) {
            QStringList shown;
            const int answer = ShowAndAct(c.buttons | ui::vbCritical, [&](QMessageBox* box) {
                shown = ButtonTexts(box);
                ButtonWithText(box, c.texts[i])->click();
            });
            EXPECT_EQ(answer, answers[s][i]) << "set " << c.buttons << " button " << i;
            EXPECT_EQ(shown, c.texts) << "set " << c.buttons;
        }
    }
}

TEST(QtPrompter, DefaultButtonFollowsTheStyle) {
    for (const SetCase& c : kSets) {
        for (int d = 0; d < 4; ++d) {
            QString def;
            ShowAndAct(c.buttons | (d << 8), [&](QMessageBox* box) {
                def = box->defaultButton() ? box->defaultButton()->text() : QString();
                box->defaultButton()->click();
            });
            // A default beyond the last button leaves the first one the default.
            EXPECT_EQ(def, c.texts[d < c.texts.size() ? d : 0]) << "set " << c.buttons << " default " << d;
        }
    }
}

TEST(QtPrompter, EscapeGivesCancelOkOrAnularAndIsIgnoredWithoutThem) {
    for (const SetCase& c : kSets) {
        bool stillShown = false;
        const int answer = ShowAndAct(c.buttons, [&](QMessageBox* box) {
            QTest::keyClick(box, Qt::Key_Escape);
            box->close();   // the window's close button
            stillShown = box->isVisible();
            if (stillShown) ButtonWithText(box, c.texts.last())->click();
        });
        if (c.escapeAnswer) {
            EXPECT_FALSE(stillShown) << "set " << c.buttons;
            EXPECT_EQ(answer, c.escapeAnswer) << "set " << c.buttons;
        } else {
            EXPECT_TRUE(stillShown) << "set " << c.buttons;
        }
    }
}

TEST(QtPrompter, AbortRetryIgnoreAndYesNoBoxesAnswerTheClickedButton) {
    // The error question: Retry, then Ignore, then Abort, each from a box of its own.
    EXPECT_EQ(ShowAndAct(18, [](QMessageBox* box) { ButtonWithText(box, QStringLiteral("&Reintentar"))->click(); }),
              vb::kRetry);
    EXPECT_EQ(ShowAndAct(18, [](QMessageBox* box) { ButtonWithText(box, QStringLiteral("&Omitir"))->click(); }),
              vb::kIgnore);
    EXPECT_EQ(ShowAndAct(18, [](QMessageBox* box) { ButtonWithText(box, QStringLiteral("&Anular"))->click(); }),
              vb::kAbort);
    EXPECT_EQ(ShowAndAct(ui::vbYesNo | ui::vbQuestion,
                         [](QMessageBox* box) { ButtonWithText(box, QStringLiteral("&Sí"))->click(); }),
              vb::kYes);
    EXPECT_EQ(ShowAndAct(ui::vbYesNo | ui::vbQuestion,
                         [](QMessageBox* box) { ButtonWithText(box, QStringLiteral("&No"))->click(); }),
              vb::kNo);
}

TEST(QtPrompter, ShowsTextAsPlainLinesWithIconAndTitle) {
    QString text, title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    Qt::TextFormat format = Qt::AutoText;
    ShowAndAct(
        ui::vbOKOnly | ui::vbInformation,
        [&](QMessageBox* box) {
            text = box->text();
            title = box->windowTitle();
            icon = box->icon();
            format = box->textFormat();
            box->defaultButton()->click();
        },
        QStringLiteral("<b>uno</b>\r\ndos\rtres"));
    EXPECT_EQ(text, QStringLiteral("<b>uno</b>\ndos\ntres"));
    EXPECT_EQ(format, Qt::PlainText);
    EXPECT_EQ(title, QStringLiteral("t"));
    EXPECT_EQ(icon, QMessageBox::Information);
}

TEST(QtPrompter, InputBoxGivesTheTypedTextOrEmptyOnCancel) {
    auto run = [](const std::function<void(QInputDialog*)>& act) {
        QTimer timer;
        timer.setInterval(0);
        QString prompt, initial;
        QObject::connect(&timer, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible()) return;
            timer.stop();
            prompt = dialog->labelText();
            initial = dialog->textValue();
            act(dialog);
        });
        timer.start();
        ui::QtPrompter prompter;
        const QString answer = prompter.inputBox(QStringLiteral("ingrese el password:"), QStringLiteral("Password Access"),
                                                 QStringLiteral("x"));
        EXPECT_EQ(prompt, QStringLiteral("ingrese el password:"));
        EXPECT_EQ(initial, QStringLiteral("x"));
        return answer;
    };
    EXPECT_EQ(run([](QInputDialog* d) { d->setTextValue(QStringLiteral("clave")); d->accept(); }), QStringLiteral("clave"));
    EXPECT_EQ(run([](QInputDialog* d) { d->setTextValue(QStringLiteral("clave")); d->reject(); }), QString());
    EXPECT_EQ(run([](QInputDialog* d) { QTest::keyClick(d, Qt::Key_Escape); }), QString());
}

TEST(ScriptedPrompter, ReportsAnUnexpectedBoxAndAnswersItsCancellingButton) {
    QStringList reports;
    const auto previous = ui::ScriptedPrompter::UnexpectedHandler();
    ui::ScriptedPrompter::SetUnexpectedHandler([&](const QString& what) { reports << what; });
    {
        ui::ScriptedPrompter script;
        script.answer(vb::kRetry, QStringLiteral("Error"));
        EXPECT_EQ(ui::MsgBox(QStringLiteral("Ha ocurrido el Siguiente Error (5) x"), 18), vb::kRetry);
        EXPECT_TRUE(reports.isEmpty());
        EXPECT_EQ(ui::MsgBox(QStringLiteral("otra"), ui::vbAbortRetryIgnore), vb::kAbort);
        EXPECT_EQ(ui::MsgBox(QStringLiteral("otra"), ui::vbYesNo), vb::kNo);
        EXPECT_EQ(ui::MsgBox(QStringLiteral("otra"), ui::vbYesNoCancel), vb::kCancel);
        EXPECT_EQ(ui::MsgBox(QStringLiteral("otra"), ui::vbOKOnly), vb::kOk);
        EXPECT_EQ(ui::InputBox(QStringLiteral("dato")), QString());
        EXPECT_EQ(reports.size(), 5);
        script.answer(vb::kYes, QStringLiteral("seguro"));
        EXPECT_EQ(ui::MsgBox(QStringLiteral("otra cosa"), ui::vbYesNo), vb::kYes);   // reported, answered
        EXPECT_EQ(reports.size(), 6);
        EXPECT_TRUE(reports.last().contains(QStringLiteral("seguro")));
        EXPECT_EQ(script.shown().size(), 7u);
        EXPECT_TRUE(script.shown()[5].input);
    }
    EXPECT_EQ(reports.size(), 6);   // every answer was used
    {
        ui::ScriptedPrompter script;
        script.answer(vb::kRetry).answer(vb::kIgnore, QStringLiteral("Error"));
        EXPECT_EQ(ui::MsgBox(QStringLiteral("una"), ui::vbAbortRetryIgnore), vb::kRetry);
    }
    ASSERT_EQ(reports.size(), 7);   // the answer never asked for fails the test that wrote it
    EXPECT_TRUE(reports.last().contains(QStringLiteral("\"Error\"")));
    {
        ui::ScriptedPrompter script;
        script.answer(vb::kYes).discard();
    }
    EXPECT_EQ(reports.size(), 7);
    ui::ScriptedPrompter::SetUnexpectedHandler(previous);
}

}  // namespace
