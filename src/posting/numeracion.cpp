#include "posting/numeracion.h"

#include "core/mod_global.h"
#include "platform/ui/prompter.h"
#include "platform/utillib/util_texto.h"
#include "platform/vb/format.h"
#include "platform/vb/runtime.h"
#include "posting/asientos_numeracion.h"
#include "posting/talonarios.h"
#include "posting/textos_posteo.h"
#include "posting/tratamiento.h"

namespace posting {

namespace {

const QStringList kTiposStock = {QStringLiteral("AJP"), QStringLiteral("AJN"), QStringLiteral("VS"),
                                 QStringLiteral("IR")};
const QStringList kTiposNumeroDelTalonario = {
    QStringLiteral("OPG"), QStringLiteral("PG"), QStringLiteral("FC"), QStringLiteral("NC"), QStringLiteral("ND"),
    QStringLiteral("NP"),  QStringLiteral("GF"), QStringLiteral("PR"), QStringLiteral("RM"), QStringLiteral("TK"),
    QStringLiteral("TKFC"), QStringLiteral("FP"), QStringLiteral("SI"), QStringLiteral("TRP")};

QString Ocho(vb::Currency n) { return vb::Format(vb::Variant(n), QStringLiteral("00000000")); }

// The number part of a stored IDCOMPROBANTE (characters 5 to 12).
vb::Currency NumeroDe(const vb::Variant& idComprobante) {
    return core::gUtilTexto().ANumero(vb::Mid(idComprobante.text(), 5, 8));
}

// True when the voucher table's query (its text up to the type) finds the voucher stored.
bool Grabado(const QString& consulta, const QString& tc, const QString& idComprobante, ado::RecordsetPtr& rs) {
    return !Abre(consulta + Lit(tc) + QStringLiteral("' AND IDCOMPROBANTE = '") + Lit(idComprobante) + QStringLiteral("'"),
                 rs)
                .Eof();
}

// The highest stored IDCOMPROBANTE of the type, branch and letter in a voucher table; Null when
// there is none.
vb::Variant UltimoGrabado(const QString& sql, ado::RecordsetPtr& rs) {
    ado::Recordset& r = Abre(sql, rs);
    return r.Eof() ? vb::Variant(vb::NullT{}) : r.Fields(QStringLiteral("Ultimo")).Value();
}

QString MaximoPorSucursalYLetra(const QString& tabla, const QString& tc, const QString& suc, const QString& letra) {
    return QStringLiteral("SELECT MAX(idcomprobante) AS ULTIMO From ") + tabla + QStringLiteral(" WHERE TC = '") +
           Lit(tc) + QStringLiteral("' AND SUBSTRING(IDCOMPROBANTE,1,4)= '") + Lit(suc) +
           QStringLiteral("' AND SUBSTRING(IDCOMPROBANTE,13,1) = '") + Lit(letra) + QStringLiteral("'");
}

// When the proposed number is already stored in the voucher table, moves it past the highest
// number of its branch and letter stored there.
void PasaLoGrabado(vb::OnError& on, const QString& tabla, const QString& tc, const QString& sucursal, QString& numero,
                   const QString& letra, ado::RecordsetPtr& rs) {
    bool grabado = false;
    on.run([&] {
        grabado = Grabado(QStringLiteral("SELECT * From ") + tabla + QStringLiteral("  with(nolock)  WHERE TC = '"), tc,
                          sucursal + numero + letra, rs);
    });
    if (!grabado) return;
    on.run([&] {
        const vb::Variant ultimo = UltimoGrabado(MaximoPorSucursalYLetra(tabla, tc, sucursal, letra), rs);
        if (ultimo.isNull()) return;
        const vb::Currency m = NumeroDe(ultimo);
        if (m >= core::gUtilTexto().ANumero(numero)) numero = Ocho(m + vb::Currency::fromInt(1));
    });
}

// A number of nine digits has no place in IDCOMPROBANTE: the operator is told, and there is no
// number.
bool CabeEnOchoDigitos(const QString& tc, const QString& suc, const QString& numero, const QString& letra) {
    if (vb::Trim(numero).size() <= 8) return true;
    ui::MsgBox(QStringLiteral("La numeración del comprobante ") + tc + QStringLiteral(" llegó a su número máximo (99999999) "
                                                                                      "para la sucursal ") +
                   suc + QStringLiteral(" y la letra ") + letra +
                   QStringLiteral(", debe dar de alta un nuevo talonario para el comprobante ") + tc,
               ui::vbCritical, QStringLiteral("ATENCION"));
    return false;
}

// The journal's voucher types: past the highest number the journal holds for the type, branch
// and letter (for CBFP also past the highest stored V_MV_CPTE number).
void PasaElDiario(vb::OnError& on, const QString& tc, const QString& sucursal, QString& numero, const QString& letra,
                  ado::RecordsetPtr& rs) {
    utillib::UtilTexto& util = core::gUtilTexto();
    bool delDiario = false;
    on.run([&] {
        const vb::Variant ultimo =
            UltimoGrabado(QStringLiteral("SELECT MAX(NUMERO) AS ULTIMO From MV_ASIENTOS with(nolock) WHERE TC = '") +
                              Lit(tc) + QStringLiteral("' AND SUCURSAL= '") + Lit(sucursal) +
                              QStringLiteral("' AND LETRA = '") + Lit(letra) + QStringLiteral("'"),
                          rs);
        delDiario = !ultimo.isNull();
        numero = delDiario ? Ocho(util.ANumero(ultimo) + vb::Currency::fromInt(1)) : QStringLiteral("00000001");
    });
    if (!delDiario || !Es(tc, "CBFP")) return;
    on.run([&] {
        const vb::Variant ultimo = UltimoGrabado(MaximoPorSucursalYLetra(QStringLiteral("V_MV_CPTE"), tc, sucursal, letra), rs);
        if (ultimo.isNull()) return;
        const vb::Currency m = NumeroDe(ultimo);
        if (m > util.ANumero(numero)) numero = Ocho(m + vb::Currency::fromInt(1));
    });
}

// Purchase orders: a proposal already stored moves past the highest number below 99999999.
void PasaLasOrdenes(vb::OnError& on, const QString& tc, const QString& sucursal, QString& numero, const QString& letra,
                    ado::RecordsetPtr& rs) {
    bool grabado = false;
    on.run([&] {
        grabado = Grabado(QStringLiteral("SELECT * From C_MV_CPTE  with(nolock)  WHERE TC = '"), tc,
                          sucursal + numero + letra, rs);
    });
    if (!grabado) return;
    on.run([&] {
        const QString tope = QStringLiteral("99999999");
        const vb::Variant ultimo =
            UltimoGrabado(QStringLiteral("SELECT MAX(NUMERO) AS ULTIMO From C_MV_CPTE  with(nolock) WHERE TC = '") +
                              Lit(tc) + QStringLiteral("' AND SUCURSAL = '") + Lit(sucursal) +
                              QStringLiteral("' AND NUMERO < '") + tope + QStringLiteral("' AND LETRA = '") + Lit(letra) +
                              QStringLiteral("' "),
                          rs);
        numero = ultimo.isNull() ? QStringLiteral("00000001")
                                 : Ocho(core::gUtilTexto().ANumero(ultimo) + vb::Currency::fromInt(1));
    });
}

// Any other type: the number stands, and a control row left for it goes. The statement runner
// keeps a refusal in the connection's errors without raising: it is raised here, so that the
// operator is asked. The number does not come from the control rows, and nothing numbers by them
// (the table has no key, and the book's control step only adds rows): a row the server would not
// remove blocks or repeats no number. Omitir goes on with the number; false when Anular leaves.
bool BorraControl(const QString& tc, const QString& sucursal, const QString& numero, const QString& letra) {
    data::DB_Dll& db = data::gDBPrincipal();
    vb::OnError borra(Tratamiento("Obtener_Nro_Comprobante"));
    borra.run([&] {
        ado::Errors& errores = db.gCnn()->errors();
        errores.Clear();
        db.EjecutaConsultaSQL(QStringLiteral("DELETE V_MV_CTROL_CPTE WHERE TC = '") + Lit(tc) +
                              QStringLiteral("' AND SUCURSAL = '") + Lit(sucursal) + QStringLiteral("' AND NUMERO = '") +
                              Lit(numero) + QStringLiteral("' AND LETRA = '") + Lit(letra) + QStringLiteral("'"));
        if (errores.Count() > 0) {
            const ado::ErrorItem rechazo = errores.Item(0);
            errores.Clear();
            vb::Raise(rechazo.Number, rechazo.Description, rechazo.Source);
        }
    });
    return !borra.left();
}

// A proposal moved past what the type's own table already stores (Obtener_Nro_Comprobante tells
// which). False when the control row's delete was left.
bool PasaLoGrabadoDelTipo(vb::OnError& on, const QString& tc, const QString& sucursal, QString& numero,
                          const QString& letra, ado::RecordsetPtr& rs) {
    if (Es(tc, "VJ")) {
        PasaLoGrabado(on, QStringLiteral("MV_VIAJES"), tc, sucursal, numero, letra, rs);
        return true;
    }
    if (core::gUtilTexto().EstaEnLista(tc, kTiposStock)) {
        PasaLoGrabado(on, QStringLiteral("V_MV_STOCK"), tc, sucursal, numero, letra, rs);
        return true;
    }
    bool conAsiento = false;
    on.run([&] {
        QString asiento;
        conAsiento = ast::ExisteAsientoComprobante(tc, sucursal, numero, letra, asiento, QString(), true);
    });
    if (conAsiento) PasaElDiario(on, tc, sucursal, numero, letra, rs);
    else if (core::gUtilTexto().EstaEnLista(tc, kTiposNumeroDelTalonario)) return true;   // the book's number stands
    else if (Es(tc, "OC")) PasaLasOrdenes(on, tc, sucursal, numero, letra, rs);
    else return BorraControl(tc, sucursal, numero, letra);
    return true;
}

}  // namespace

namespace ast {

bool Obtener_Nro_Comprobante(const QString& TC, QString& Sucursal, QString& Numero, QString& Letra,
                             bool& ModificaNumeracion, bool ControlaGrabados, const QString& UNegocio) {
    if (vb::Trim(TC).isEmpty()) return false;
    ado::RecordsetPtr rs;
    vb::OnError on(Tratamiento("Obtener_Nro_Comprobante"));

    bool libro = true;
    on.run([&] {
        QString hasta = QStringLiteral("99999999");
        const vb::ReadResult<QString> numeracion = ObtieneTCNumeracion(TC);
        libro = numeracion.read() && Obtener_Nro_Comprobante_Contable(numeracion.value(), Sucursal, Numero, Letra,
                                                                      ModificaNumeracion, QString(), UNegocio, hasta);
    });
    if (on.passedOver() || !libro) return false;

    // Without ControlaGrabados the book's number stands as it is.
    if (ControlaGrabados && !PasaLoGrabadoDelTipo(on, TC, Sucursal, Numero, Letra, rs)) {
        CierraBajo("Obtener_Nro_Comprobante", rs);
        return false;
    }
    // A stored number not read may be proposed again: no number.
    const bool dejado = on.passedOver();
    CierraBajo("Obtener_Nro_Comprobante", rs);
    if (dejado) return false;
    return CabeEnOchoDigitos(TC, Sucursal, Numero, Letra);
}

QString ObtieneLetraComprobante(const QString& CondicionPropia, const QString& CondicionOtro) {
    if (vb::Val(CondicionPropia) != 1) return QStringLiteral("C");
    if (vb::Val(CondicionOtro) > 2) return QStringLiteral("B");
    return QStringLiteral("A");
}

}  // namespace ast

namespace Stock {

std::optional<QString> AsignarNumeroComprobante(const QString& TC, QString& Sucursal, QString& Letra,
                                                const QString& UNegocio) {
    QString numero;
    bool modifica = false;
    if (!ast::Obtener_Nro_Comprobante(TC, Sucursal, numero, Letra, modifica, true, UNegocio)) return std::nullopt;

    ado::RecordsetPtr rs;
    vb::OnError on(Tratamiento("AsignarNumeroComprobante"));
    PasaLoGrabado(on, QStringLiteral("V_MV_STOCK"), TC, Sucursal, numero, Letra, rs);
    const bool dejado = on.passedOver();
    on.run([&] { Cierra(rs); });
    if (dejado || !CabeEnOchoDigitos(TC, Sucursal, numero, Letra)) return std::nullopt;
    return Sucursal + numero + Letra;
}

}  // namespace Stock

}  // namespace posting
