#include "posting/talonarios.h"

#include "core/formatos.h"
#include "core/mod_global.h"
#include "core/mod_zip.h"
#include "platform/ui/prompter.h"
#include "platform/utillib/util_texto.h"
#include "platform/vb/dates.h"
#include "platform/vb/format.h"
#include "platform/vb/runtime.h"
#include "posting/tratamiento.h"

#include <cmath>

namespace posting::ast {

namespace {

const QString kLetras = QStringLiteral("A,B,C,E,R,X,M");

// One of the voucher letters, or nothing (blanks ignored, any case). A letter becomes part of
// a column name, so nothing else passes.
bool EsLetraValida(const QString& letra) {
    const QString l = vb::Trim(letra);
    return l.isEmpty() || (l.size() == 1 && l != QStringLiteral(",") &&
                           kLetras.contains(l, Qt::CaseInsensitive));
}

bool EsCero(const vb::Variant& v) { return !v.isNull() && !v.isEmpty() && v.toDouble() == 0; }

// A bit or flag column read as the program reads it: Null is False.
bool Bandera(const vb::Variant& v) {
    if (v.isNull() || v.isEmpty()) return false;
    if (v.isString()) return core::ConvierteBooleano(v.toString());
    return v.toDouble() != 0;
}

// A text flag column whose Null is False and whose other texts go through ConvierteBooleano
// (so an empty text is True).
bool Externo(const vb::Variant& v) { return !v.isNull() && core::ConvierteBooleano(v.text()); }

// Whole days of a date value or text (raises 13 when it is not one).
double Dia(const vb::Variant& v) { return std::floor(vb::CDate(v).serial); }

// A number put bare into a statement: the text as given when it is only digits (and blanks
// around them), otherwise its numeric value.
QString NumeroSQL(const QString& numero) {
    const QString t = vb::Trim(numero);
    bool digitos = !t.isEmpty();
    for (QChar c : t) digitos = digitos && c.isDigit() && c.unicode() < 128;
    return digitos ? numero : vb::NumberText(vb::Val(numero));
}

// The book's last number statement of the generate-text mode.
QString SentenciaUltimo(const QString& letra, const QString& numero, const QString& tc, const QString& talonarioIgual) {
    return QStringLiteral(" UPDATE V_TA_CPTE SET ") + letra + QStringLiteral("_ULTIMO_NRO = ") + NumeroSQL(numero) +
           QStringLiteral(" WHERE CODIGO = '") + Lit(core::RellenaCodigo(tc, 4)) +
           QStringLiteral("' AND TALONARIO") + talonarioIgual + QString::number(TalonarioActual);
}

}  // namespace

vb::ReadResult<QString> ObtieneTCNumeracion(const QString& TC) {
    const vb::ReadResult<QString> leido = core::ObtieneConfiguracion(QStringLiteral("NUM_") + vb::Trim(TC));
    if (!leido.read()) return vb::kNotRead;
    const QString valor = vb::Trim(leido.value());
    return valor.isEmpty() ? TC : valor;
}

vb::ReadResult<bool> ValidaNumeracionComprobante(const QString& TC, const QString& Sucursal, const QString& Numero,
                                                 QString& Letra, QString& Mensaje, const QString& Fecha) {
    data::DB_Dll& db = data::gDBPrincipal();
    utillib::UtilTexto& util = core::gUtilTexto();
    const double numero = vb::Val(Numero);
    const bool positivo = numero > 0;

    if (!EsLetraValida(Letra)) {
        Mensaje = QStringLiteral(" La letra Informada no es Valida, la misma debe ser ") + kLetras;
        return false;
    }
    if (vb::Trim(Letra).isEmpty()) Letra = QStringLiteral("X");
    const QString L = vb::Trim(Letra);

    const vb::ReadResult<vb::Variant> leido =
        db.DatosTabla(QStringLiteral("V_TA_CPTE"), TC, QStringLiteral("EXTERNO"), QStringLiteral("CODIGO"), 8, QString(),
                      true, false);
    if (!leido.read()) {
        Mensaje.clear();
        return vb::kNotRead;
    }
    const QString externo = leido.value().text();
    if (!externo.isEmpty() && core::ConvierteBooleano(externo)) {
        Mensaje.clear();
        return true;
    }

    // The books of the type for the branch: the last whose range holds the number is the current
    // one. An open range that may renumber, or a book numbered outside, ends the walk.
    const QString tc4 = Lit(core::RellenaCodigo(TC, 4));
    ado::RecordsetPtr rs;
    bool externoFila = false;
    {
        ado::Recordset& r = Abre(QStringLiteral("Select * from v_ta_cpte  with(nolock)  where codigo = '") + tc4 +
                                     QStringLiteral("' and ") + L + QStringLiteral("_SUC_DEFAULT = ") +
                                     util.ANumero(Sucursal).toString(),
                                 rs);
        while (!r.Eof()) {
            externoFila = Externo(r.Fields(QStringLiteral("Externo")).Value());
            const vb::Variant desde = r.Fields(L + QStringLiteral("_NRO_DESDE")).Value();
            const vb::Variant hasta = r.Fields(L + QStringLiteral("_NRO_HASTA")).Value();
            if ((EsCero(desde) && EsCero(hasta) && Bandera(r.Fields(QStringLiteral("Modificanumeracion")).Value())) ||
                externoFila)
                break;
            if (!desde.isNull() && !hasta.isNull() && numero >= desde.toDouble() && numero <= hasta.toDouble())
                TalonarioActual = vb::CLng(r.Fields(QStringLiteral("talonario")).Value());
            r.MoveNext();
        }
    }

    ado::Recordset& r = Abre(QStringLiteral("SELECT * FROM V_TA_CPTE  with(nolock)  WHERE CODIGO = '") + tc4 +
                                 QStringLiteral("' and Talonario = ") + QString::number(TalonarioActual),
                             rs);
    if (r.Eof()) {
        Mensaje = QStringLiteral("Debe configurar la numeracióN de Comprobantes");
        Cierra(rs);
        return false;
    }
    const vb::Variant desde = r.Fields(L + QStringLiteral("_NRO_DESDE")).Value();
    const vb::Variant hasta = r.Fields(L + QStringLiteral("_NRO_HASTA")).Value();
    if ((EsCero(desde) && EsCero(hasta) && Bandera(r.Fields(QStringLiteral("Modificanumeracion")).Value())) ||
        externoFila) {
        Mensaje.clear();
        Cierra(rs);
        return true;
    }

    bool ok = positivo;
    const QString talonario = QString::number(TalonarioActual);
    if (!Fecha.isEmpty()) {
        const vb::Variant vence = r.Fields(QStringLiteral("Vence") + L).Value();
        if (!util.ValorNoNulo(vence).text().isEmpty() && Dia(vence) < Dia(vb::Variant(Fecha))) {
            Mensaje = QStringLiteral("El rango de numeracion del comprobante ") + TC + QStringLiteral(" Control nro: ") +
                      talonario +
                      QStringLiteral(" se encuenta vencida...! Debe dar de alta un nuevo talonario para el comprobante ") +
                      TC;
            ok = false;
        }
    }
    const QString nro = vb::NumberText(numero);
    if (ok && !desde.isNull() && numero < desde.toDouble()) {
        Mensaje += QStringLiteral("\rEl Número de comprobante (") + nro +
                   QStringLiteral(") no respeta el parametro NRO DESDE del comprobante (") +
                   util.ValorNoNulo(desde).text() + QStringLiteral(") , Nro de Control: ") + talonario;
        ok = false;
    }
    if (ok && !hasta.isNull() && numero > hasta.toDouble()) {
        Mensaje += QStringLiteral("\rEl Número de comprobante (") + nro +
                   QStringLiteral(") no respeta el parametro NRO HASTA del comprobante (") +
                   util.ValorNoNulo(hasta).text() + QStringLiteral(") , Nro de Control: ") + talonario;
        ok = false;
    }
    Mensaje += QStringLiteral("\r\rVerifique los datos desde la TABLA DE COMPROBANTES y vuelta a Intentarlo");
    if (ok) Mensaje.clear();
    Cierra(rs);
    return ok;
}

namespace {

// One book update (ActualizaNumeracionComprobante): its arguments, shared by its steps.
struct ActualizacionLibro {
    vb::OnError& on;
    ado::RecordsetPtr& rs;
    const QString& tc;   // the numbering type
    const QString& sucursal;
    const QString& numero;
    QString& letra;
    QString& sentencia;
    bool generaSentencia, forzarControl, noActualizaUltimo;

    // The book row (V_TA_CPTE, or else TA_Comprobantes) of TalonarioActual, brought up to date;
    // false when the type has no book at all (the operator told).
    bool Busca(const QString& sistema);
    // The book found: its branch checked, its last number brought forward (in V_TA_CPTE only when
    // it moves forward and unless noActualizaUltimo), the control row in generate-text mode.
    void Actualiza(bool enVista);
    // The first row of the book; false when the voucher's branch is not the book's for the letter.
    bool MismaSucursal(ado::Recordset& r);
    // The control row of the number, for accounting books (generate-text mode only).
    void Control(ado::Recordset& r);
    // Direct mode: the last number and the time of the change, written through the recordset.
    void EscribeUltimo(ado::Recordset& r);
};

bool ActualizacionLibro::MismaSucursal(ado::Recordset& r) {
    utillib::UtilTexto& util = core::gUtilTexto();
    r.MoveFirst();
    if (vb::Trim(letra).isEmpty()) letra = QStringLiteral("X");
    const QString suc = util.ValorNoNulo(r.Fields(vb::Trim(letra) + QStringLiteral("_SUC_DEFAULT"))).text();
    return util.ADoble(suc) == util.ADoble(sucursal);
}

void ActualizacionLibro::Control(ado::Recordset& r) {
    utillib::UtilTexto& util = core::gUtilTexto();
    const QString sistema = util.ValorNoNulo(r.Fields(QStringLiteral("Sistema"))).text();
    if (sistema.compare(QStringLiteral("Contable"), Qt::CaseInsensitive) != 0 && !forzarControl &&
        vb::Trim(tc).compare(QStringLiteral("OC"), Qt::CaseInsensitive) != 0)
        return;
    sentencia += QStringLiteral("\r\n INSERT INTO V_MV_CTROL_CPTE (TC,SUCURSAL,NUMERO,LETRA) VALUES ('") +
                 Lit(core::RellenaCodigo(tc, 4)) + QStringLiteral("','") +
                 vb::Format(vb::Variant(util.ANumero(sucursal)), QStringLiteral("0000")) + QStringLiteral("','") +
                 vb::Format(vb::Variant(util.ANumero(numero) - vb::Currency::fromInt(1)), QStringLiteral("00000000")) +
                 QStringLiteral("','") + Lit(vb::Trim(letra)) + QStringLiteral("')\r\n");
}

void ActualizacionLibro::EscribeUltimo(ado::Recordset& r) {
    r.Fields(vb::Trim(letra) + QStringLiteral("_ULTIMO_NRO")).setValue(vb::Variant(core::gUtilTexto().ANumero(numero).toDouble()));
    r.Fields(QStringLiteral("fechahora_modificacion"))
        .setValue(vb::Variant(vb::Format(vb::Variant(vb::Now()), core::ObtieneFormatoFechaHora())));
}

void ActualizacionLibro::Actualiza(bool enVista) {
    bool sigue = false;
    on.run([&] { sigue = MismaSucursal(*rs); });
    if (!sigue) return;
    bool actualizaUltimo = true;
    if (enVista) {
        on.run([&] {
            utillib::UtilTexto& util = core::gUtilTexto();
            const vb::Variant ultimo = rs->Fields(vb::Trim(letra) + QStringLiteral("_ULTIMO_NRO")).Value();
            if (!ultimo.isNull() && util.ANumero(ultimo) + vb::Currency::fromInt(1) > util.ANumero(numero))
                actualizaUltimo = false;
        });
    }
    if (generaSentencia) {
        on.run([&] {
            if (actualizaUltimo && !(enVista && noActualizaUltimo))
                sentencia = SentenciaUltimo(vb::Trim(letra), numero, tc, enVista ? QStringLiteral("=") : QStringLiteral(" ="));
        });
        on.run([&] { Control(*rs); });
        return;
    }
    // The record's new values and their writing are one step. Until Update succeeds they are only
    // the recordset's pending edit: a retry sets the same values again, and after any other answer
    // nothing moves or updates this recordset again before its close, which drops the edit
    // (DB_Dll::CierraRecordset). So a failed write leaves the book as it was.
    on.run([&] {
        if (actualizaUltimo) EscribeUltimo(*rs);
        rs->Update();
    });
}

bool ActualizacionLibro::Busca(const QString& sistema) {
    const QString tc4 = Lit(core::RellenaCodigo(tc, 4));
    bool enLibros = false, enComprobantes = false, sinLibro = false;
    on.run([&] {
        ado::Recordset& r = AbreModificable(QStringLiteral("SELECT * FROM V_TA_CPTE  with(nolock)  WHERE CODIGO = '") +
                                                tc4 + QStringLiteral("' AND TALONARIO =") + QString::number(TalonarioActual),
                                            rs);
        enLibros = !r.Eof();
    });
    if (enLibros) {
        Actualiza(true);
        return true;
    }
    if (on.left()) return true;
    on.run([&] {
        ado::Recordset& r = AbreModificable(QStringLiteral("SELECT * FROM TA_Comprobantes WHERE CODIGO = '") + tc4 +
                                                QStringLiteral("' AND SISTEMA = '") + Lit(vb::Trim(sistema)) +
                                                QStringLiteral("' AND TALONARIO = ") + QString::number(TalonarioActual),
                                            rs);
        enComprobantes = !r.Eof();
    });
    if (enComprobantes) {
        Actualiza(false);
        return true;
    }
    on.run([&] {
        ado::Recordset& r =
            Abre(QStringLiteral("SELECT * FROM V_TA_CPTE  with(nolock)  WHERE CODIGO = '") + tc4 + QStringLiteral("'"), rs);
        if (!r.Eof()) {
            r.MoveFirst();
            if (Externo(r.Fields(QStringLiteral("Externo")).Value())) sentencia.clear();
        } else {
            sinLibro = true;
            ui::MsgBox(QStringLiteral("Error en grabación del Comprobante, no se ha encontrado el comprobante configurado"),
                       ui::vbCritical, QStringLiteral("ATENCION"));
        }
    });
    return !sinLibro;
}

}  // namespace

bool ActualizaNumeracionComprobante(const QString& TC, const QString& Sistema, const QString& Sucursal,
                                    const QString& Numero, QString& Letra, bool GeneraSentencia,
                                    QString& Sentencia, bool ForzarControl, bool NoActualizaUltimo) {
    QString tc = TC;
    ado::RecordsetPtr rs;
    vb::OnError on(Tratamiento("ConsultaComprobante"));
    // A read a helper could not make (its error told there) leaves the book as it is: false.
    bool sinLeer = false;
    on.run([&] {
        const vb::ReadResult<QString> numeracion = ObtieneTCNumeracion(TC);
        sinLeer = !numeracion.read();
        if (!sinLeer) tc = numeracion.value();
    });
    if (sinLeer) return false;
    on.run([&] {
        QString mensaje;
        // Only the book it finds (TalonarioActual) is wanted here, not whether the number is valid.
        sinLeer = !ValidaNumeracionComprobante(tc, Sucursal, Numero, Letra, mensaje, QString()).read();
    });
    if (sinLeer) return false;
    ActualizacionLibro libro{on, rs, tc, Sucursal, Numero, Letra, Sentencia, GeneraSentencia, ForzarControl,
                             NoActualizaUltimo};
    const bool conLibro = libro.Busca(Sistema);
    // A read passed over may have missed the book: its number would not move on.
    const bool dejado = on.passedOver();
    CierraBajo("ConsultaComprobante", rs);
    return !dejado && conLibro;
}

namespace {

// The books of the type a new number may come from, in TALONARIO order: of the branch asked with
// a leading "*" (when it has any), of the business unit (else every book of the type). False when
// the type has no book.
bool AbreLibros(vb::OnError& on, ado::RecordsetPtr& rs, const QString& tc4, QString& Sucursal, const QString& UNegocio) {
    QString filtro;
    bool hayLibros = false;
    on.run([&] {
        const QString suc = vb::Trim(Sucursal);
        if (suc.size() > 1 && suc.startsWith(u'*')) {
            Sucursal = suc.mid(1);
            filtro = QStringLiteral(" AND A_SUC_DEFAULT = '") + Lit(Sucursal) + QStringLiteral("'");
            ado::Recordset& r =
                Abre(QStringLiteral("SELECT * FROM V_TA_CPTE  WHERE CODIGO = '") + tc4 + QStringLiteral("' ") + filtro, rs);
            if (r.Eof()) filtro.clear();
        }
    });
    on.run([&] {
        const QString sql =
            vb::Trim(UNegocio).isEmpty()
                ? QStringLiteral("SELECT * FROM V_TA_CPTE   WHERE CODIGO = '") + tc4 + QStringLiteral("'") + filtro +
                      QStringLiteral(" ORDER BY TALONARIO")
                : QStringLiteral("SELECT * FROM V_TA_CPTE WHERE  CODIGO = '") + tc4 + QStringLiteral("' AND UNEGOCIO = '") +
                      Lit(core::gUtilTexto().Rellena(UNegocio, 4)) + QStringLiteral("'") + filtro +
                      QStringLiteral("  ORDER BY TALONARIO");
        hayLibros = !Abre(sql, rs).Eof();
    });
    on.run([&] {
        if (hayLibros || vb::Trim(UNegocio).isEmpty()) return;
        hayLibros =
            !Abre(QStringLiteral("SELECT * FROM V_TA_CPTE  WHERE CODIGO = '") + tc4 + QStringLiteral("' ORDER BY TALONARIO"), rs)
                 .Eof();
    });
    return hayLibros;
}

// What the walk of the books found.
struct LibroTomado {
    bool tomado = false;       // a book was taken
    bool utilizados = false;   // the last book walked had no number left
};

// Walks the books from the recordset's row: the first whose letter has numbers left and that has
// not expired at Fecha gives Sucursal, Numero, NroHasta, ModificaNumeracion and TalonarioActual.
LibroTomado RecorreLibros(ado::Recordset& r, QString& Sucursal, QString& Numero, QString& Letra,
                          bool& ModificaNumeracion, const QString& Fecha, QString& NroHasta) {
    utillib::UtilTexto& util = core::gUtilTexto();
    LibroTomado hallado;
    for (; !r.Eof(); r.MoveNext()) {
        const vb::Variant letras = r.Fields(QStringLiteral("Letras")).Value();
        if (!letras.isNull() && !vb::Trim(letras.text()).isEmpty() &&
            vb::InStr(1, letras.text(), Letra, vb::Compare::Text) == 0)
            Letra = vb::Left(letras.text(), 1);
        const QString L = vb::Trim(Letra);
        const vb::Variant ultimo = r.Fields(L + QStringLiteral("_ULTIMO_NRO")).Value();
        const vb::Variant hasta = r.Fields(L + QStringLiteral("_NRO_HASTA")).Value();
        if (ultimo.isNull() || hasta.isNull() || ultimo.toDouble() >= hasta.toDouble()) {
            hallado.utilizados = true;
            continue;
        }
        const QString vence = vb::Trim(util.ValorNoNulo(r.Fields(QStringLiteral("Vence") + L)).text());
        if (!Fecha.isEmpty() && !vence.isEmpty() && Dia(vb::Variant(Fecha)) > Dia(vb::Variant(vence))) continue;
        Sucursal = vb::Format(vb::Variant(vb::Val(util.ValorNoNulo(r.Fields(L + QStringLiteral("_SUC_DEFAULT"))).text())),
                              QStringLiteral("0000"));
        const double ultimoNro = vb::Val(util.ValorNoNulo(ultimo).text());
        Numero = ultimoNro == 0 ? QStringLiteral("00000001") : vb::Format(vb::Variant(ultimoNro), QStringLiteral("00000000"));
        NroHasta = vb::Format(vb::Variant(vb::Val(util.ValorNoNulo(hasta).text())), QStringLiteral("00000000"));
        TalonarioActual = vb::CLng(r.Fields(QStringLiteral("TALONARIO")).Value());
        ModificaNumeracion = core::ConvierteBooleano(util.ValorNoNulo(r.Fields(QStringLiteral("Modificanumeracion"))).text());
        return LibroTomado{true, false};
    }
    return hallado;
}

}  // namespace

bool Obtener_Nro_Comprobante_Contable(const QString& TC, QString& Sucursal, QString& Numero, QString& Letra,
                                      bool& ModificaNumeracion, const QString& Fecha, const QString& UNegocio,
                                      QString& NroHasta) {
    ado::RecordsetPtr rs;
    vb::OnError on(Tratamiento("Obtener_Nro_Comprobante_Contable"));
    on.run([&] {
        if (vb::Trim(Letra).isEmpty()) Letra = QStringLiteral("X");
    });
    const bool hayLibros = AbreLibros(on, rs, Lit(core::RellenaCodigo(TC, 4)), Sucursal, UNegocio);
    // A read of the books passed over is no type without books.
    if (on.passedOver()) {
        Cierra(rs);
        return false;
    }
    if (!hayLibros) {
        // A type without books: the first number of branch 0001, letter X.
        Sucursal = QStringLiteral("0001");
        Numero = QStringLiteral("00000001");
        Letra = QStringLiteral("X");
    } else {
        // The book's number, branch and letter are taken together: a failure leaves none of them.
        LibroTomado hallado;
        on.runKeeping([&] { hallado = RecorreLibros(*rs, Sucursal, Numero, Letra, ModificaNumeracion, Fecha, NroHasta); },
                      Sucursal, Numero, NroHasta, Letra, TalonarioActual, ModificaNumeracion, hallado);
        on.run([&] {
            Letra = vb::Trim(Letra);
            if (hallado.utilizados)
                ui::MsgBox(QStringLiteral("Todos los talonarios del comprobante ") + TC +
                               QStringLiteral(" se encuentran utilizados, debe dar de alta un nuevo talonario para el "
                                              "comprobante ") +
                               TC,
                           ui::vbOKOnly, QString());
        });
        // No book taken: a number is never empty, so that the checks against the stored
        // vouchers move it on.
        if (!hallado.tomado && !on.left() && vb::Trim(Numero).isEmpty()) Numero = QStringLiteral("00000001");
    }
    const bool dejado = on.passedOver();
    CierraBajo("Obtener_Nro_Comprobante_Contable", rs);
    return !dejado;
}

}  // namespace posting::ast
