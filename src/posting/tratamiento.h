#pragma once
// What the voucher engine's free procedures share: their error treatment, the recordset a step
// reads, a statement run at once, and the SQL literal body of a value.
//
//   vb::OnError on(posting::Tratamiento("ControlStock"));
//   ado::RecordsetPtr rs;
//   on.run([&] {                                   // the query and the reading of its row are one
//       ado::Recordset& r = posting::Abre(sql, rs); // step: Retry runs the query again
//       if (!r.Eof()) stock = ...;
//   });
//   posting::Cierra(rs);
#include "data/db_dll.h"
#include "data/sql_literal.h"
#include "platform/ui/prompter.h"
#include "platform/vb/error.h"
#include "platform/vb/on_error.h"

#include <QString>

namespace posting {

// The engine's error question: DB_Dll::TratamientoErrores of gDBPrincipal with the default
// buttons and the routine name given (none when null).
inline vb::OnError::Treatment Tratamiento(const char* rutina) {
    return [rutina](const vb::Error& e) {
        return data::gDBPrincipal().TratamientoErrores(
            e, std::nullopt, rutina ? std::optional<QString>(QString::fromLatin1(rutina)) : std::nullopt);
    };
}

// Opens a read-only, forward-only recordset on gDBPrincipal and gives it to the step. A query
// that did not open (the operator passed over its error) leaves the recordset closed, and the
// step's first read of it fails in the step, as in every procedure of the program.
inline ado::Recordset& Abre(const QString& sql, ado::RecordsetPtr& rs) {
    data::gDBPrincipal().AbrirRecordset(sql, rs);
    if (!rs) vb::Raise(vb::kErrObjectNotSet);
    return *rs;
}

// The same, changeable: dynamic cursor, optimistic lock, on gCnn (for Field::setValue + Update).
inline ado::Recordset& AbreModificable(const QString& sql, ado::RecordsetPtr& rs) {
    data::DB_Dll& db = data::gDBPrincipal();
    db.AbrirRecordset(sql, rs, db.gCnn(), ado::adOpenDynamic, ado::adLockOptimistic);
    if (!rs) vb::Raise(vb::kErrObjectNotSet);
    return *rs;
}

// Closes a recordset a procedure ends with (DB_Dll::CierraRecordset); nothing when never made.
inline void Cierra(ado::RecordsetPtr& rs) {
    if (rs) data::gDBPrincipal().CierraRecordset(rs);
}

// Closes it under a runner of its own, asked about with the routine's name: a procedure's last
// act, after its own runner has ended (a failure to close changes nothing it read).
inline void CierraBajo(const char* rutina, ado::RecordsetPtr& rs) {
    vb::OnError cierre(Tratamiento(rutina));
    cierre.run([&] { Cierra(rs); });
}

// Runs a statement (or a batch) at once on gDBPrincipal's connection. When the connection reports
// an error, shows its first description (critical icon, "Aviso al operador") unless `avisa` is
// false (the caller tells the operator itself), and returns false.
inline bool EjecutaSentencia(const QString& sentencia, bool avisa = true) {
    const std::optional<QString> error = data::gDBPrincipal().ErrorAlEjecutar(sentencia);
    if (!error) return true;
    if (avisa) ui::MsgBox(*error, ui::vbCritical, QStringLiteral("Aviso al operador"));
    return false;
}

// The body of an SQL text literal: the value with its quotes doubled.
inline QString Lit(const QString& valor) { return data::LiteralSQL(valor); }

}  // namespace posting
