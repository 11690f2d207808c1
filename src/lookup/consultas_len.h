#pragma once
// "CONSULTASLEN.QVD": the column widths of the list lookup per table. A text file in the program
// folder, one line per table, each line two quoted fields separated by a comma: the table name
// and the widths in twips, each followed by "|" ("V_MA_ARTICULOS","1440|2880|960|").
#include <QList>
#include <QString>

namespace lookup {

struct AnchosTabla {
    QString tabla;
    QString anchos;   // "1440|2880|960|"
};

// The file's name in the program folder.
QString RutaAnchos();

// Reads the records of the file in order; a missing or unreadable file gives none. Fields are
// accepted quoted or unquoted.
QList<AnchosTabla> LeeAnchos(const QString& ruta);

// The widths text of a list of widths.
QString TextoAnchos(const QList<long>& anchos);

// Replaces the record of `tabla` (case ignored) with `anchos`, keeping every other table's record
// as it was. The new content is written to "CONSULTASLEN.AUX" beside the file and then renamed
// over it, so a failure leaves the old file whole. Returns false (and leaves the file) on failure.
bool GuardaAnchos(const QString& ruta, const QString& tabla, const QList<long>& anchos);

}  // namespace lookup
