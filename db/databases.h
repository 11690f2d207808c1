#pragma once
// Creation of the two databases the program works on, as embedded database files in a folder:
// the head-office database ("VOLMA") and the stores' interface database ("korvane_interfases").
// A connection text whose Server names that folder opens them (see ConnectionText).
#include <QString>
#include <QStringList>

namespace db {

inline const QString kHeadOfficeName = QStringLiteral("VOLMA");
inline const QString kInterfaceName = QStringLiteral("korvane_interfases");

// Creates <folder>/<name>.sqlite with the head-office schema, replacing a file of that name, and
// with the demo rows when demo is true. Returns the file's path. Raises vb::Error on failure.
QString CreateHeadOffice(const QString& folder, const QString& name = kHeadOfficeName, bool demo = true);

// The same for the stores' interface database, <folder>/korvane_interfases.sqlite.
QString CreateInterface(const QString& folder, bool demo = true);

// Creates the folder when missing and both databases in it, with their demo rows.
void CreateDemo(const QString& folder);

// The files of the folder named <name>.sqlite in any letters (those CreateEmpty replaces).
QStringList DatabaseFiles(const QString& folder, const QString& name);

// An empty database file <folder>/<name>.sqlite (replacing one of that name). Returns its path.
QString CreateEmpty(const QString& folder, const QString& name);

// Runs a script of the schema's kind (batches separated by GO lines) on the database <name> of
// the folder.
void RunScript(const QString& folder, const QString& name, const QString& script);

// The connection text the program builds for a server and database:
// "PROVIDER=SQLOLEDB;Server=<folder>;Database =<name>;UId=<user>;Pwd=<password>;".
QString ConnectionText(const QString& folder, const QString& name, const QString& user = QStringLiteral("sa"),
                       const QString& password = QString());

}  // namespace db
