#pragma once
// The audit row of an action on a voucher (table V_MV_CPTEACCIONES), as one INSERT statement.
// ClsCmnCptes::ActualizaBuchon fills it with the logged user, the workstation and the present
// time; the statement itself is built here, from plain values.
//
//   vouchers::AccionComprobante a;
//   a.TC = "FC"; a.SucNroLetra = "000100000123A"; a.IdComplemento = "0"; a.lEsAlta = true;
//   a.FechaHora = vb::Now(); a.Usuario = core::gUsuarioLogeado; a.PC = core::gInfoEstacion().NombrePC();
//   QString sql = vouchers::SentenciaAccionComprobante(a);
#include "platform/vb/variant.h"

#include <QString>

namespace vouchers {

struct AccionComprobante {
    QString TC;              // trimmed and brought to 4 characters
    QString SucNroLetra;     // as given
    QString IdComplemento;   // a whole number; any other text (an empty one too) is 0
    bool lEsAlta = false;    // "A"; else lEsModificacion "M"; else "B"
    bool lEsModificacion = false;
    vb::Date FechaHora;      // written day first with a four-digit year, to the minute
    QString Usuario;
    QString PC;
    QString NroAsiento;      // the journal entry number: a whole number; any other text ("", "12.5") is 0
};

// " INSERT INTO V_MV_CPTEACCIONES (TC,IdComprobante,...) VALUES (...)": every text a quoted
// literal with its quotes doubled, the complement and the entry number plain numbers, SYSTEMUSER
// an empty text.
QString SentenciaAccionComprobante(const AccionComprobante& a);

}  // namespace vouchers
