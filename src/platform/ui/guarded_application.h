#pragma once
// GuardedApplication: the program's application object, a last guard where Qt delivers events.
// Every handler of the program treats its own errors; one that still escapes a handler (a slot, an
// event filter, a timer) stops here, where Qt delivers the event, instead of passing through Qt's
// own code and ending the program. It is handed to the treatment the program set (the error box and
// its log line, utillib::AvisaErrorSinTratar) and the program goes on with the next event.
//
//   ui::GuardedApplication app(argc, argv);
//   ui::GuardedApplication::SetTreatment(utillib::AvisaErrorSinTratar);
//   return QApplication::exec();
//
// Without a treatment the error is shown in a box with its number and text. A treatment that
// raises in turn is not asked again: that error is written to the standard error output.
//
// Qt's own code between a handler and the guard is not built to be unwound: a widget whose handler
// raised may be left half way (a button that stays pressed), and what that code held is lost. So
// the guard only keeps the program running; a window runs its commands through RunGuarded, which
// treats an error the same way before it reaches Qt:
//
//   connect(CmdEnviar, &QToolButton::clicked, this, [this] { ui::GuardedApplication::RunGuarded([this] { CmdEnviar_Click(); }); });
#include "platform/vb/error.h"

#include <QApplication>
#include <functional>

namespace ui {

class GuardedApplication : public QApplication {
public:
    GuardedApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

    using Treatment = std::function<void(const vb::Error&)>;
    static void SetTreatment(Treatment treatment);   // empty: the plain box

    // Runs a handler; an error that leaves it is treated as the guard treats one. Never raises.
    static void RunGuarded(const std::function<void()>& handler) noexcept;

    // The errors that escaped an event handler so far.
    static int Escaped();
};

}  // namespace ui
