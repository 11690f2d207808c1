#include "platform/vb/app.h"

#include <QCoreApplication>
#include <QDir>

namespace vb {

namespace {
std::function<void()> gDoEvents;
}

AppInfo& App() {
    static AppInfo info;
    // Until start-up or a test points it elsewhere, the program folder is the executable's folder,
    // or the current folder when no application object exists yet.
    if (info.path.isEmpty())
        info.path = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
    return info;
}

void SetAppPath(const QString& folder) {
    QString path = folder;
    while (path.size() > 1 && (path.endsWith(u'/') || path.endsWith(u'\\'))) path.chop(1);
    App().path = path;
}

void SetDoEventsHook(std::function<void()> hook) { gDoEvents = std::move(hook); }
void DoEvents() { if (gDoEvents) gDoEvents(); }
QString Environ(const QString& name) { return qEnvironmentVariable(name.toLocal8Bit().constData()); }

}  // namespace vb
