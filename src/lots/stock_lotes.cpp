// ClsCmnCptes: stock by lot, series and position (ObtieneStock), and stock in a base unit and an
// equivalent one (ObtieneStockxEquiv).
#include "core/formatos.h"
#include "core/mod_global.h"
#include "data/db_dll.h"
#include "lots/lotes_sql.h"
#include "platform/utillib/util_texto.h"
#include "posting/cls_cmn_cptes.h"
#include "posting/stock.h"
#include "posting/tratamiento.h"
#include "posting/unidades.h"

namespace posting {

vb::ReadResult<double> ClsCmnCptes::ObtieneStock(const QString& IdArticulo, QString* IdDeposito,
                                                 const QString& NroLote, const QString& NroSerie,
                                                 const QString& IdPosicion, QString* IdUnidad) {
    double saldo = 0;
    bool sinLeer = false;   // a read under a runner of its own passed over
    vb::OnError on(Tratamiento("ObtieneStock"));
    utillib::UtilTexto& util = core::gUtilTexto();
    QString deposito = IdDeposito ? *IdDeposito : QStringLiteral("Ignorar");

    if (lots::EsIgnorar(NroLote) && lots::EsIgnorar(NroSerie)) {
        // Lots and series do not matter: the balance by unit of the stock module.
        QString unidad = IdUnidad ? *IdUnidad : QStringLiteral("Ignorar");
        on.run([&] {
            if (!lots::EsIgnorar(deposito)) return;
            const vb::ReadResult<QString> leido = core::ObtieneConfiguracion(QStringLiteral("DepositoDefault"));
            if (!leido.read()) {
                sinLeer = true;
                return;
            }
            deposito = core::RellenaCodigo(leido.value(), 4);
            if (IdDeposito) *IdDeposito = deposito;
        });
        on.run([&] {
            if (sinLeer || !lots::EsIgnorar(unidad)) return;
            const vb::ReadResult<vb::Variant> ud = data::gDBPrincipal().DatosTabla(
                QStringLiteral("v_ma_articulos"), vb::Variant(IdArticulo), QStringLiteral("IdUnidad"),
                QStringLiteral("IdArticulo"), 8, QString(), true, false);
            if (!ud.read()) {
                sinLeer = true;
                return;
            }
            unidad = core::RellenaCodigo(util.ValorNoNulo(ud.value()).text(), 4);
            if (IdUnidad) *IdUnidad = unidad;
        });
        // Without its deposit or unit the balance would be some other one's: none is read.
        if (sinLeer || on.passedOver()) return vb::kNotRead;
        return Stock::ControlStock(deposito, IdArticulo, unidad);
    }

    bool usaSerie = false;
    bool usaLote = false;
    ado::RecordsetPtr rs;
    on.run([&] {
        ado::Recordset& r = Abre(lots::SqlMarcasArticulo(IdArticulo), rs);
        // An article that does not exist has no row: reading it fails (3021) and is asked about.
        usaSerie = util.ValorNoNulo(r.Fields(QStringLiteral("USASERIE"))).toBool();
        usaLote = util.ValorNoNulo(r.Fields(QStringLiteral("USALOTE"))).toBool();
    });
    Cierra(rs);
    on.run([&] {
        ado::Recordset& r =
            Abre(lots::SqlStockSeriesLotes(IdArticulo, deposito, NroLote, NroSerie, IdPosicion, usaSerie, usaLote), rs);
        if (!r.Eof()) saldo = util.ADoble(util.ValorNoNulo(r.Fields(QStringLiteral("SaldoStock"))));
    });
    // The article's marks or its balance not read: the 0 is no balance.
    const bool dejado = on.passedOver();
    Cierra(rs);
    if (dejado) return vb::kNotRead;
    return saldo;
}

bool ClsCmnCptes::ObtieneStockxEquiv(const QString& IdDeposito, const QString& IdArticulo, const QString& UdBase,
                                     const QString& udEquivBuscada, double& StockUdBase, double& StockEquiv) {
    const vb::ReadResult<double> base = Stock::ControlStock(IdDeposito, IdArticulo, UdBase);
    if (!base.read()) return false;
    double equiv = 0;
    if (!udEquivBuscada.isEmpty()) {
        const vb::ReadResult<double> convertida =
            Stock::ConvierteCantidadEquiv(IdArticulo, UdBase, base.value(), udEquivBuscada);
        if (!convertida.read()) return false;
        equiv = convertida.value();
    }
    StockUdBase = base.value();
    StockEquiv = equiv;
    return true;
}

}  // namespace posting
