#pragma once
// Shared helpers of the test executables. Every test executable links this library: it brings
// the main() that starts a QApplication (offscreen) and makes an unexpected message box fail
// the running test.
#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace testsupport {

// A temporary folder of the test's own, removed at the end.
class TempFolder {
public:
    TempFolder();
    QString path() const { return dir_->path(); }
    QString file(const QString& name) const { return dir_->filePath(name); }

private:
    std::unique_ptr<QTemporaryDir> dir_;
};

// The source tree (for db/ and the shipped files).
QString SourceDir();

}  // namespace testsupport
