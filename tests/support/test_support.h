#pragma once
// Shared helpers of the test executables. Every test executable links this library: it brings
// the main() that starts a QApplication (offscreen) and makes an unexpected message box fail
// the running test.
#include "platform/ado/ado.h"

#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <vector>

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

// The number of the runtime error (vb::Error) the call raises; 0 when it raises none.
long ErrorNumberOf(const std::function<void()>& call);

// The rows a query gives on the connection, row-major.
std::vector<std::vector<vb::Variant>> Rows(const ado::ConnectionPtr& cn, const QString& sql);
// The first value of the first row a statement gives; Empty when it gives none.
vb::Variant Scalar(const ado::ConnectionPtr& cn, const QString& sql);
// How many rows the table holds.
long Count(const ado::ConnectionPtr& cn, const QString& table);

}  // namespace testsupport
