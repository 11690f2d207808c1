#include "support/test_support.h"

#include "platform/ui/guarded_application.h"
#include "platform/ui/prompter.h"
#include "platform/vb/error.h"

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

long ErrorNumberOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const vb::Error& e) {
        return e.number();
    }
    return 0;
}

std::vector<std::vector<vb::Variant>> Rows(const ado::ConnectionPtr& cn, const QString& sql) {
    auto rs = ado::Recordset::Create();
    rs->Open(sql, cn);
    return rs->GetRows();
}

vb::Variant Scalar(const ado::ConnectionPtr& cn, const QString& sql) {
    auto rs = cn->Execute(sql);
    if (rs->State() != ado::adStateOpen || rs->Eof()) return vb::Variant();
    return rs->Fields(0).Value();
}

long Count(const ado::ConnectionPtr& cn, const QString& table) {
    return Scalar(cn, QStringLiteral("SELECT COUNT(*) FROM ") + table).toLong();
}

}  // namespace testsupport

int main(int argc, char** argv) {
    if (qgetenv("QT_QPA_PLATFORM").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The program's application object: an error that escapes an event handler is treated (a box,
    // which a test's script then reports) instead of ending the test program.
    ui::GuardedApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ui::ScriptedPrompter::SetUnexpectedHandler([](const QString& what) {
        ADD_FAILURE() << what.toStdString();
    });
    return RUN_ALL_TESTS();
}
