#include "platform/vb/app.h"

#include <QCoreApplication>

namespace vb {

namespace {
std::function<void()> gDoEvents;
}

AppInfo& App() {
    static AppInfo info = [] {
        AppInfo a;
        if (QCoreApplication::instance()) a.path = QCoreApplication::applicationDirPath();
        return a;
    }();
    return info;
}

void SetAppPath(const QString& folder) { App().path = folder; }
void SetDoEventsHook(std::function<void()> hook) { gDoEvents = std::move(hook); }
void DoEvents() { if (gDoEvents) gDoEvents(); }
QString Environ(const QString& name) { return qEnvironmentVariable(name.toLocal8Bit().constData()); }

}  // namespace vb
