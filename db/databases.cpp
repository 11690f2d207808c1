#include "db/databases.h"

#include "platform/ado/ado.h"
#include "platform/vb/error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

static void InitDbResources() { Q_INIT_RESOURCE(db); }

namespace db {

namespace {

QString ReadResource(const QString& name) {
    InitDbResources();
    QFile f(QStringLiteral(":/db/") + name);
    if (!f.open(QIODevice::ReadOnly)) vb::Raise(vb::kErrFileNotFound, QStringLiteral("Missing schema script: ") + name);
    return QString::fromUtf8(f.readAll());
}

void RemoveDatabaseFiles(const QString& path) {
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) QFile::remove(path + QLatin1String(suffix));
}

// What the file is, in its own words: the embedded provider names a database by it when another
// station holds the file (the table KORV_BASE, not listed among the database's tables).
void Describe(const QString& folder, const QString& name, const QString& description) {
    RunScript(folder, name, QStringLiteral("CREATE TABLE KORV_BASE (DESCRIPCION varchar(80) NOT NULL)\nGO\n"
                                           "INSERT INTO KORV_BASE (DESCRIPCION) VALUES ('%1')\nGO\n").arg(description));
}

}  // namespace

QStringList DatabaseFiles(const QString& folder, const QString& name) {
    const QString archivo = name + QStringLiteral(".sqlite");
    QStringList r;
    for (const QString& f : QDir(folder).entryList(QDir::Files | QDir::System | QDir::Hidden))
        if (f.compare(archivo, Qt::CaseInsensitive) == 0) r << f;
    return r;
}

QString CreateEmpty(const QString& folder, const QString& name) {
    if (!QDir().mkpath(folder)) vb::Raise(vb::kErrPathNotFound, QStringLiteral("Cannot create the folder ") + folder);
    const QString path = QDir(folder).filePath(name + QStringLiteral(".sqlite"));
    // Remove any file of the same name in another case, so that the name finds this one.
    for (const QString& f : DatabaseFiles(folder, name)) RemoveDatabaseFiles(QDir(folder).filePath(f));
    RemoveDatabaseFiles(path);
    sqlite3* handle = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &handle, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc == SQLITE_OK) sqlite3_exec(handle, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
    sqlite3_close_v2(handle);
    if (rc != SQLITE_OK) vb::Raise(vb::kErrPathNotFound, QStringLiteral("Cannot create the database ") + path);
    return path;
}

void RunScript(const QString& folder, const QString& name, const QString& script) {
    auto cn = ado::Connection::Create();
    cn->Open(ConnectionText(folder, name));
    QString batch;
    auto flush = [&] {
        if (!batch.trimmed().isEmpty()) cn->Execute(batch);
        batch.clear();
    };
    cn->BeginTrans();
    try {
        for (const QString& line : script.split(QLatin1Char('\n'))) {
            if (line.trimmed().compare(QLatin1String("GO"), Qt::CaseInsensitive) == 0) {
                flush();
                continue;
            }
            batch += line;
            batch += QLatin1Char('\n');
        }
        flush();
        cn->CommitTrans();
    } catch (...) {
        cn->RollbackTrans();
        throw;
    }
    cn->Close();
}

QString CreateHeadOffice(const QString& folder, const QString& name, bool demo) {
    // The head-office schema in parts: the first half's tables, then those of the voucher engine
    // (posting), the lot and series dialogs and the voucher entry support. Each part has its
    // demo rows in <part>_demo.sql.
    static const char* const kParts[] = {"volma", "volma_posting", "volma_lots", "volma_vouchers"};
    const QString path = CreateEmpty(folder, name);
    for (const char* part : kParts) RunScript(folder, name, ReadResource(QLatin1String(part) + QStringLiteral(".sql")));
    Describe(folder, name, QStringLiteral("de la casa central"));
    if (demo) {
        for (const char* part : kParts)
            RunScript(folder, name, ReadResource(QLatin1String(part) + QStringLiteral("_demo.sql")));
    }
    return path;
}

QString CreateInterface(const QString& folder, bool demo) {
    const QString path = CreateEmpty(folder, kInterfaceName);
    RunScript(folder, kInterfaceName, ReadResource(QStringLiteral("korvane_interfases.sql")));
    Describe(folder, kInterfaceName, QStringLiteral("de interfaz de las sucursales"));
    if (demo) RunScript(folder, kInterfaceName, ReadResource(QStringLiteral("korvane_interfases_demo.sql")));
    return path;
}

void CreateDemo(const QString& folder) {
    CreateHeadOffice(folder, kHeadOfficeName, true);
    CreateInterface(folder, true);
}

QString ConnectionText(const QString& folder, const QString& name, const QString& user, const QString& password) {
    return QStringLiteral("PROVIDER=SQLOLEDB;Server=") + folder + QStringLiteral(";Database =") + name +
           QStringLiteral(";UId=") + user + QStringLiteral(";Pwd=") + password + QStringLiteral(";");
}

}  // namespace db
