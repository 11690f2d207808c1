#include "vouchers/consulta_comprobantes_lista.h"

#include "data/db_dll.h"
#include "data/sql_literal.h"
#include "platform/vb/runtime.h"
#include "posting/textos_posteo.h"
#include "vouchers/campos.h"
#include "vouchers/consulta_comprobantes_sql.h"

namespace vouchers {

namespace {

using posting::Es;

Columna C(const char* titulo, int letras) { return Columna{QString::fromUtf8(titulo), letras}; }

Celda CeldaTexto(const QString& texto) { return Celda{texto, std::nullopt}; }

QString CeldaEn(const QStringList& celdas, int k) { return celdas.value(k); }

// The complement a sales voucher's key takes: "0" when its cell is empty.
QString Complemento(const QString& celda) { return vb::Trim(celda).isEmpty() ? QStringLiteral("0") : celda; }

}  // namespace

QList<Columna> Columnas(const QString& TC, bool referencia) {
    // Sales vouchers: the third holds the complement of work orders and invoices.
    if (EsVentaConComplemento(TC))
        return {C("FECHA", 13), C("COMPROBANTE", 15), C("ID", 5), C("NOMBRE", 21), C("IMPORTE", 10)};
    if (EsCompra(TC)) return {C("FECHA", 13), C("COMPROBANTE", 15), C("PROVEEDOR", 15), C("NOMBRE", 21), C("IMPORTE", 10)};
    if (EsAsientoProveedor(TC))
        return {C("FECHA", 13),  C("COMPROBANTE", 15), C("PROVEEDOR", 15),
                C("NOMBRE", 21), C("CONCEPTO", 21),    C("IMPORTE", 10)};
    if (Es(TC, "PR"))
        return {C("FECHA", 13), C("COMPROBANTE", 15), C("NOMBRE", 21),
                referencia ? C("Referencia", 21) : C("ID", 5), C("IMPORTE", 10)};
    if (Es(TC, "T3"))
        return {C("Nº Int.", 7), C("FECHA", 13), C("COMPROBANTE", 15), C("ID", 4), C("FH Envio", 10), C("FH Recep", 10)};
    if (Es(TC, "OC"))
        return {C("FECHA", 13),  C("PROVEEDOR", 13),   C("COMPROBANTE", 17),
                C("IMPORTE", 9), C("COMENTARIOS", 15), C("Inf. Recepción", 15)};
    return {C("FECHA", 13), C("COMPROBANTE", 15), C("CUENTA", 15), C("NOMBRE", 21), C("IMPORTE", 10)};
}

Celda CeldaDe(const vb::Variant& valor) {
    Celda c{valor.text(), std::nullopt};
    switch (valor.type()) {
    case vb::VarType::Date: c.valor = valor.toDate().serial; break;
    case vb::VarType::Integer:
    case vb::VarType::Long:
    case vb::VarType::Double:
    case vb::VarType::Currency: c.valor = valor.toDouble(); break;
    default: break;
    }
    return c;
}

bool CeldaMenor(const Celda& a, const Celda& b) {
    if (a.texto.isEmpty() != b.texto.isEmpty()) return a.texto.isEmpty();
    if (a.valor && b.valor) return *a.valor < *b.valor;
    return a.texto.compare(b.texto, Qt::CaseInsensitive) < 0;
}

QList<Celda> CeldasFila(const QString& TC, const ado::Recordset& r) {
    const auto f = [&](const char* nombre) { return CeldaDe(Campo(r, nombre)); };
    const auto texto = [&](const char* nombre) { return Campo(r, nombre).text(); };
    data::DB_Dll& db = data::gDBPrincipal();
    if (Es(TC, "T3")) return {f("Id"), f("Fecha"), f("IdComprobante"), f("IdComplemento"), f("FECHAENVIADO"), f("FECHARECIBIDO")};
    if (EsCompra(TC)) return {f("Fecha"), f("IdComprobante"), f("Cuenta"), f("Nombre"), f("Importe")};
    if (EsAsientoProveedor(TC)) {
        const QString numero = texto("Sucursal") + texto("Numero") + texto("Letra");
        // A name not read (the lookup has asked) is shown blank.
        const vb::ReadResult<vb::Variant> razon =
            db.DatosTabla(QStringLiteral("VT_PROVEEDORES"), vb::Variant(texto("Cuenta")), QStringLiteral("RAZON_SOCIAL"),
                          QStringLiteral("Codigo"), 8, QString(), true, false);
        const QString proveedor = razon.read() ? razon.value().text() : QString();
        return {f("Fecha"), CeldaTexto(numero), f("Cuenta"), CeldaTexto(proveedor), f("Detalle"), f("Importe")};
    }
    if (Es(TC, "PR")) return {f("Fecha"), f("IdComprobante"), f("Nombre"), f("COMENTARIOS"), f("Importe")};
    if (Es(TC, "OC")) {
        const QString cuenta = texto("Cuenta") + u' ' + texto("Nombre");
        // A reception not read (the lookup has asked) is shown blank.
        const vb::ReadResult<vb::Variant> recibida =
            db.DatosTabla(QStringLiteral("v_mv_stock"), vb::Variant(QStringLiteral("OC")), QStringLiteral("idcomprobante"),
                          QStringLiteral("TC_origen"), 8,
                          QStringLiteral(" TC = 'IR' AND TC_ORIGEN = 'OC' AND IDCOMPROBANTE_ORIGEN ='") +
                              data::LiteralSQL(texto("IdComprobante")) + u'\'',
                          true, false);
        const QString recepcion = recibida.read() ? recibida.value().text() : QString();
        return {f("Fecha"), CeldaTexto(cuenta), f("IdComprobante"), f("Importe"), f("COMENTARIOS"), CeldaTexto(recepcion)};
    }
    const Celda complemento = Es(TC, "OT") || Es(TC, "FC") ? f("IdComplemento") : Celda{};
    return {f("Fecha"), f("IdComprobante"), complemento, f("Nombre"), f("Importe")};
}

const QStringList& EtiquetasImagenes() {
    static const QStringList etiquetas = {"PR", "Anulado", "Aprobado", "FC", "NC", "ND",
                                          "OT", "Generico", "T3", "OC", "OCG"};
    return etiquetas;
}

QString EtiquetaFila(const QString& TC, bool pendientes, const ado::Recordset& r) {
    if (Es(TC, "T3")) return QString();
    QString etiqueta = TC;
    if (EsAsientoProveedor(TC)) return etiqueta;
    if (EsCompra(TC) || Es(TC, "PR")) {
        if (Verdadero(r, "Anulada")) etiqueta = QStringLiteral("Anulado");
        return etiqueta;
    }
    if (Es(TC, "OC")) {
        if (Verdadero(r, "Garantia")) etiqueta = QStringLiteral("OCG");
        if (Verdadero(r, "Anulada")) etiqueta = QStringLiteral("Anulado");
        return etiqueta;
    }
    if (Verdadero(r, "Anulada")) etiqueta = QStringLiteral("Anulado");
    if (Verdadero(r, "APROBADO")) etiqueta = QStringLiteral("Aprobado");
    if (Es(TC, "NP") && pendientes && Es(Campo(r, "TC").text(), "NP") && !EsNulo(r, "FechaPreparacion"))
        etiqueta = QStringLiteral("Aprobado");
    return etiqueta;
}

int IndiceImagen(const QStringList& etiquetas, const QString& etiqueta) {
    const auto busca = [&](const QString& buscada) {
        const QString b = vb::Trim(buscada);
        for (int i = 0; i < etiquetas.size(); ++i)
            if (vb::Trim(etiquetas[i]).compare(b, Qt::CaseInsensitive) == 0) return i + 1;
        return 0;
    };
    const int i = busca(etiqueta);
    return i != 0 ? i : busca(QStringLiteral("Generico"));
}

Eleccion EleccionAceptada(const QString& TC, const QStringList* seleccionada, const QList<QStringList>& marcadas) {
    Eleccion e;
    if (!seleccionada) return e;
    const QStringList& fila = *seleccionada;
    if (EsCompra(TC) || EsAsientoProveedor(TC)) {
        e.NroComprobante = CeldaEn(fila, 1);
        e.Proveedor = CeldaEn(fila, 2);
    } else if (Es(TC, "PR")) {
        e.NroComprobante = CeldaEn(fila, 1);
        e.IdComplemento = QStringLiteral("0");
    } else if (Es(TC, "T3")) {
        e.NroComprobante = CeldaEn(fila, 0);
        e.IdComplemento = QStringLiteral("0");
    } else if (Es(TC, "OC")) {
        QStringList numeros;
        for (const QStringList& m : marcadas) numeros << CeldaEn(m, 2);
        e.NroComprobante = numeros.isEmpty() ? CeldaEn(fila, 2) : numeros.join(u',');
        e.IdComplemento = QStringLiteral("0");
    } else {
        // Sales vouchers, those of the types listed and any other: the third cell is the complement.
        e.NroComprobante = CeldaEn(fila, 1);
        e.IdComplemento = Complemento(CeldaEn(fila, 2));
    }
    return e;
}

}  // namespace vouchers
