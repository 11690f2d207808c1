#pragma once
// Helpers of the DB_Dll tests: a recorder in front of the connection, and an embedded database
// in the test's own folder.
#include "data/connection_calls.h"
#include "data/db_dll.h"
#include "db/databases.h"
#include "platform/vb/error.h"
#include "support/test_support.h"

#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <map>

namespace datatest {

// Records what DB_Dll asks of its connection. With `forward` the calls then reach the real
// connection; without it statements are only recorded (each touching `rowsPerStatement` rows),
// and a statement holding `failWhen` fails with `failNumber`, leaving `failNative` in Errors.
class RecordingCalls : public data::ConnectionCalls {
public:
    QStringList log;
    bool forward = false;
    long rowsPerStatement = 1;
    QString failWhen;
    long failNumber = vb::kHrErrorsInCommand;
    long failNative = 0;
    QString failDescription = QStringLiteral("statement failed");
    int warnings = 0;          // entries left in Errors by a statement that ran
    long warningNative = 0;
    long warningNumber = 0;

    ado::RecordsetPtr Execute(ado::Connection& cnn, const QString& sql, long* recordsAffected, long options) override {
        log << QStringLiteral("EXEC ") + sql;
        if (forward) return ConnectionCalls::Execute(cnn, sql, recordsAffected, options);
        if (!failWhen.isEmpty() && sql.contains(failWhen, Qt::CaseInsensitive)) {
            cnn.errors().Clear();
            cnn.errors().add(ado::ErrorItem{failNumber, failDescription, QStringLiteral("fake"), QStringLiteral("42000"), failNative});
            throw vb::Error(failNumber, failDescription, QStringLiteral("fake"));
        }
        cnn.errors().Clear();
        for (int i = 0; i < warnings; ++i)
            cnn.errors().add(ado::ErrorItem{warningNumber, QStringLiteral("warning"), QStringLiteral("fake"), QStringLiteral("01000"), warningNative});
        if (recordsAffected) *recordsAffected = rowsPerStatement;
        return nullptr;
    }
    void BeginTrans(ado::Connection& cnn) override {
        log << QStringLiteral("BEGIN");
        if (forward) ConnectionCalls::BeginTrans(cnn);
    }
    void CommitTrans(ado::Connection& cnn) override {
        log << QStringLiteral("COMMIT");
        if (forward) ConnectionCalls::CommitTrans(cnn);
    }
    void RollbackTrans(ado::Connection& cnn) override {
        log << QStringLiteral("ROLLBACK");
        if (forward) ConnectionCalls::RollbackTrans(cnn);
    }
    void OpenRecordset(ado::Recordset& rs, const QString& source, const ado::ConnectionPtr& cnn, int cursorType,
                       int lockType, long options) override {
        log << QStringLiteral("OPEN ") + source;
        if (forward) ConnectionCalls::OpenRecordset(rs, source, cnn, cursorType, lockType, options);
    }

    // The texts of the recorded calls of one kind ("EXEC ", "OPEN "), without the prefix.
    QStringList texts(const QString& prefix) const {
        QStringList out;
        for (const QString& l : log)
            if (l.startsWith(prefix)) out << l.mid(prefix.size());
        return out;
    }
};

// A SQL Server connection text whose server is a local folder: the embedded database.
inline QString EmbeddedText(const testsupport::TempFolder& folder, const QString& database = QStringLiteral("central")) {
    return QStringLiteral("PROVIDER=SQLOLEDB;Server=") + folder.path() + QStringLiteral(";Database =") + database +
           QStringLiteral(";UId=sa;Pwd=;");
}

// Opens `db` on the embedded database of `folder` (made empty when missing) and runs the set-up
// statements.
inline void OpenEmbedded(data::DB_Dll& db, const testsupport::TempFolder& folder, const QStringList& setup = {},
                         const QString& database = QStringLiteral("central")) {
    if (!QFileInfo::exists(folder.file(database + QStringLiteral(".sqlite")))) db::CreateEmpty(folder.path(), database);
    db.gConnString = EmbeddedText(folder, database);
    db.gDBName = database;
    db.gCnn()->Open(db.gConnString);
    for (const QString& s : setup) db.gCnn()->Execute(s);
}

// A connection that is never opened, whose text marks it as Oracle.
inline void MarkOracle(data::DB_Dll& db) {
    db.gConnString = QStringLiteral("Provider=OraOLEDB.Oracle.1;Data Source=ERP;User Id=u;Password=p;");
    db.gCnn()->setConnectionString(db.gConnString);
}

}  // namespace datatest
