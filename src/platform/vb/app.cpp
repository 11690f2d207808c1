#include "platform/vb/app.h"

#include <QCoreApplication>
#include <QDir>

#include <map>
#include <vector>

namespace vb {

namespace {
std::function<void()> gDoEvents;
std::map<int, std::function<void()>>& Tasks() {
    static std::map<int, std::function<void()>> tasks;
    return tasks;
}
int gLastTask = 0;
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
void DoEvents() {
    if (gDoEvents) gDoEvents();
    if (Tasks().empty()) return;
    // A task may add or remove tasks: each one still there when its turn comes runs.
    std::vector<int> ids;
    for (const auto& t : Tasks()) ids.push_back(t.first);
    for (const int id : ids) {
        const auto t = Tasks().find(id);
        if (t == Tasks().end()) continue;
        const std::function<void()> task = t->second;
        task();
    }
}

int AddDoEventsTask(std::function<void()> task) {
    Tasks()[++gLastTask] = std::move(task);
    return gLastTask;
}

void RemoveDoEventsTask(int id) { Tasks().erase(id); }
QString Environ(const QString& name) { return qEnvironmentVariable(name.toLocal8Bit().constData()); }

}  // namespace vb
