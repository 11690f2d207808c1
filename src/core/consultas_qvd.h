#pragma once
// The lookup definition file "consultas.qvd" of the program folder: the columns to show and the
// default filter of a lookup asked for by a bare table or view name.
//
// Records of 1202 bytes, numbered from 1, no header, one byte per character (CP1252), text
// left-aligned and padded with blanks:
//   offset    0, 100  title (not read by the lookup builder)
//   offset  100, 100  table or view name: the record's key
//   offset  200, 500  columns, each followed by "|", after a leading "|": "|DESCRIPCION|IDARTICULO|"
//   offset  700, 500  default condition without WHERE; blank for none
//   offset 1200,   2  CR LF
#include <QByteArray>
#include <QString>

namespace core {

constexpr int kLargoRegistroConsultas = 1202;

// Appends the eleven default lookups to the file at gConsultas().gRutaMascaraConsultas (created
// when missing), each after the last whole record. Errors go to the caller.
void CreaArchivoConsultas();

// One record of the file.
QByteArray RegistroConsultas(const QString& Titulo, const QString& Tabla, const QString& Columnas,
                             const QString& Filtro = QString());

}  // namespace core
