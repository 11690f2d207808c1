#pragma once
// The runtime's App object and DoEvents. The program folder is the executable's folder unless a
// test or the start-up points it elsewhere.
#include <QString>
#include <functional>

namespace vb {

struct AppInfo {
    QString path;        // program folder, without a trailing separator
    QString title = QStringLiteral("Korvane");
    QString exeName = QStringLiteral("korvane");
    int major = 1, minor = 0, revision = 0;
};

AppInfo& App();
void SetAppPath(const QString& folder);

// DoEvents: lets pending window events run. The window layer installs Qt's event processing;
// without a hook it does nothing.
void SetDoEventsHook(std::function<void()> hook);
void DoEvents();
// Work every DoEvents runs after the hook: a window that draws at its own pace (the wait window)
// draws there what has come due. AddDoEventsTask returns the number RemoveDoEventsTask takes.
int AddDoEventsTask(std::function<void()> task);
void RemoveDoEventsTask(int id);

// Environ("NAME"): the environment variable, "" when unset.
QString Environ(const QString& name);

}  // namespace vb
