#include "support/test_support.h"

#include "platform/ui/prompter.h"

#include <QApplication>
#include <QDir>
#include <gtest/gtest.h>

namespace testsupport {

TempFolder::TempFolder() : dir_(std::make_unique<QTemporaryDir>()) {
    if (!dir_->isValid()) ADD_FAILURE() << "cannot create a temporary folder";
}

QString SourceDir() {
    const QByteArray env = qgetenv("KORV_SOURCE_DIR");
    return env.isEmpty() ? QDir::currentPath() : QString::fromLocal8Bit(env);
}

}  // namespace testsupport

int main(int argc, char** argv) {
    if (qgetenv("QT_QPA_PLATFORM").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ui::ScriptedPrompter::SetUnexpectedHandler([](const QString& what) {
        ADD_FAILURE() << what.toStdString();
    });
    return RUN_ALL_TESTS();
}
