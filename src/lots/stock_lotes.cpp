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

double ClsCmnCptes::ObtieneStock(const QString& IdArticulo, QString* IdDeposito, const QString& NroLote,
                                 const QString& NroSerie, const QString& IdPosicion, QString* IdUnidad, bool* Fallo) {
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
            bool fallo = false;
            const QString leido = core::ObtieneConfiguracion(QStringLiteral("DepositoDefault"), &fallo);
            if (fallo) {
                sinLeer = true;
                return;
            }
            deposito = core::RellenaCodigo(leido, 4);
            if (IdDeposito) *IdDeposito = deposito;
        });
        on.run([&] {
            if (sinLeer || !lots::EsIgnorar(unidad)) return;
            bool fallo = false;
            const vb::Variant ud = data::gDBPrincipal().DatosTabla(QStringLiteral("v_ma_articulos"), vb::Variant(IdArticulo),
                                                                   QStringLiteral("IdUnidad"), QStringLiteral("IdArticulo"),
                                                                   8, QString(), true, false, &fallo);
            if (fallo) {
                sinLeer = true;
                return;
            }
            unidad = core::RellenaCodigo(util.ValorNoNulo(ud).text(), 4);
            if (IdUnidad) *IdUnidad = unidad;
        });
        // Without its deposit or unit the balance would be some other one's: none is read.
        if (sinLeer || on.passedOver()) {
            if (Fallo) *Fallo = true;
            return 0;
        }
        double leido = 0;
        const bool controlado = Stock::ControlStock(deposito, IdArticulo, unidad, leido);
        if (Fallo) *Fallo = !controlado;
        return controlado ? leido : 0;
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
    if (Fallo) *Fallo = dejado;
    return dejado ? 0 : saldo;
}

void ClsCmnCptes::ObtieneStockxEquiv(const QString& IdDeposito, const QString& IdArticulo, const QString& UdBase,
                                     const QString& udEquivBuscada, double& StockUdBase, double& StockEquiv) {
    StockUdBase = Stock::ControlStock(IdDeposito, IdArticulo, UdBase);
    StockEquiv = udEquivBuscada.isEmpty() ? 0 : Stock::ConvierteCantidadEquiv(IdArticulo, UdBase, StockUdBase, udEquivBuscada);
}

}  // namespace posting
