#include "platform/ui/guarded_application.h"

#include "platform/ui/prompter.h"

#include <cstdio>
#include <exception>

namespace ui {

namespace {

GuardedApplication::Treatment& CurrentTreatment() {
    static GuardedApplication::Treatment treatment;
    return treatment;
}
int gEscaped = 0;
bool gTreating = false;   // a treatment is under way: an error escaping from its box is not treated again

void Treat(const vb::Error& error) noexcept {
    ++gEscaped;
    if (gTreating) {
        std::fprintf(stderr, "error while treating an error: %ld %s\n", error.number(), qPrintable(error.description()));
        return;
    }
    gTreating = true;
    try {
        if (CurrentTreatment()) {
            CurrentTreatment()(error);
        } else {
            MsgBox(QStringLiteral("Ha ocurrido el Siguiente Error (") + QString::number(error.number()) + QStringLiteral(") ") +
                       error.description(),
                   vbCritical + vbOKOnly);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "error while treating an error: %s\n", e.what());
    } catch (...) {
        std::fprintf(stderr, "error while treating an error\n");
    }
    gTreating = false;
}

}  // namespace

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

namespace {

template <class F>
auto Guarded(F&& f) noexcept -> decltype(f()) {
    try {
        return f();
    } catch (const vb::Error& e) {
        Treat(e);
    } catch (const std::exception& e) {
        Treat(vb::Error(vb::kHrUnspecified, QString::fromLocal8Bit(e.what())));
    } catch (...) {
        Treat(vb::Error(vb::kHrUnspecified, QStringLiteral("Error desconocido.")));
    }
    return decltype(f())();
}

}  // namespace

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    return Guarded([&] { return QApplication::notify(receiver, event); });
}

void GuardedApplication::RunGuarded(const std::function<void()>& handler) noexcept {
    Guarded([&] { handler(); });
}

void GuardedApplication::SetTreatment(Treatment treatment) { CurrentTreatment() = std::move(treatment); }

int GuardedApplication::Escaped() { return gEscaped; }

}  // namespace ui
