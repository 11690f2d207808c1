#include "posting/datos_articulos.h"

#include "posting/textos_posteo.h"
#include "posting/tratamiento.h"

#include <QSet>
#include <algorithm>

namespace posting {

void DatosArticulos::Carga(const QStringList& codigos) {
    QStringList faltan;
    QSet<QString> pedidos;
    for (const QString& codigo : codigos) {
        const QString clave = Clave(codigo);
        if (datos_.contains(clave) || pedidos.contains(clave)) continue;
        pedidos.insert(clave);
        faltan << codigo;
    }
    utillib::UtilTexto& util = core::gUtilTexto();
    for (qsizetype inicio = 0; inicio < faltan.size(); inicio += kPorConsulta) {
        QStringList literales;
        const qsizetype fin = std::min<qsizetype>(faltan.size(), inicio + kPorConsulta);
        for (qsizetype i = inicio; i < fin; ++i) literales << Texto(faltan[i]);
        ado::RecordsetPtr rs;
        ado::Recordset& r = Abre(QStringLiteral("SELECT idarticulo, cuentacontableC, CUENTAPROVEEDOR, Costo, DESCRIPCION "
                                                "FROM V_MA_ARTICULOS  with(nolock)  WHERE idarticulo IN (") +
                                     literales.join(u',') + u')',
                                 rs);
        QHash<QString, Datos> leidos;
        for (; !r.Eof(); r.MoveNext()) {
            Datos d;
            d.existe = true;
            const vb::Variant cuenta = r.Fields(QStringLiteral("cuentacontableC")).Value();
            if (!cuenta.isNull()) d.cuentaContable = cuenta.text();
            d.cuentaProveedor = vb::Trim(util.ValorNoNulo(r.Fields(QStringLiteral("CUENTAPROVEEDOR"))).text());
            d.costo = util.ANumero(util.ValorNoNulo(r.Fields(QStringLiteral("Costo"))));
            d.descripcion = util.ValorNoNulo(r.Fields(QStringLiteral("DESCRIPCION"))).text();
            leidos.insert(Clave(r.Fields(QStringLiteral("idarticulo")).Value().text()), d);
        }
        Cierra(rs);
        // Kept once the whole query was read: after a failure these codes are asked again.
        for (qsizetype i = inicio; i < fin; ++i) {
            const QString clave = Clave(faltan[i]);
            datos_.insert(clave, leidos.value(clave));
        }
    }
}

DatosArticulos::Datos DatosArticulos::De(const QString& codigo) {
    const QString clave = Clave(codigo);
    auto it = datos_.constFind(clave);
    if (it == datos_.constEnd()) {
        Carga({codigo});
        it = datos_.constFind(clave);
    }
    return *it;
}

}  // namespace posting
