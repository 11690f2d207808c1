// The stock movement record built from a context value, checked against a record worked out by
// hand from the field rules, and its statement run on the embedded database.
#include "posting/movimiento_stock.h"

#include "data/db_dll.h"
#include "posteo_fixture.h"

#include <algorithm>
#include <functional>

namespace {

using namespace posting;
using namespace posting::art;

class MovimientoStockTest : public postingtest::PosteoTest {
protected:
    void SetUp() override {
        PosteoTest::SetUp();
        Venta();
    }
    // A demo store sale, as the receiver posts it.
    void Venta() {
        ctx = ContextoPosteo{};
        ctx.TC = "TK", ctx.SucNroLetra = "000100000012C", ctx.Fecha = "05/03/2008", ctx.Aduana = "A001";
        ctx.UNegocio = "A001", ctx.Caja = "1";
        ctx.IdDeposito = ArgDeposito::DelGrid(), ctx.IdMotivoStock = ArgReferencia::Valor("1   ");
        ctx.TcOrigen = ArgReferencia::Valor("I   "), ctx.ComprobanteOrigen = ArgReferencia::Valor("7");
        ctx.PorcentajeIVA = 21, ctx.Signo = -1, ctx.Secuencia = 1, ctx.CantidadItem = 2;
        grilla.SetRows(1);
        LineaSimple("2");
        grilla.SetTextMatrix(1, Precio, "66.6245");
        grilla.SetTextMatrix(1, PrecioSinIVA, "55.0616");
        grilla.SetTextMatrix(1, TasaIVA, "21");
    }
    // The record as one "Campo=valor" line per pair.
    std::string Registro() {
        QStringList r;
        for (const core::CampoValor& p : MovimientoStock(ctx, grilla)) r << p.Campo + "=" + p.Valor;
        return r.join(u'\n').toStdString();
    }
    ContextoPosteo ctx;
};

// Worked out from the rules: sign -1, the cost and supplier account of 000123 looked up, the
// line's deposit, the receiver's business unit as ControladoPor, no unit fields.
const QStringList kVenta = {
    "TC='TK  '", "IdComprobante='000100000012C'", "IdComplemento=0", "Secuencia=1", "Fecha='05/03/2008'",
    "IdCaja='1   '", "IdDeposito='A001'", "IdArticulo='000123                   '",
    "Descripcion='Azúcar refinada 1 kg'", "NroLote=NULL", "ControladoPor='A001'", "NroSerie=NULL",
    "IdUnidad='UN  '", "Cantidad=-2", "CuentaProveedor='P0001'", "IdMotivoStock='1   '", "PrecioVenta=66.6245",
    "Importe_S_Iva=55.0616", "Costo=45.5", "Impuestos=0", "DtoItem=0", "Tc_Origen='I   '",
    "IdComprobante_Origen='7'", "Id_Origen=0", "IVARI=21", "IVARNI=0", "EQUIV_UDBASE=1", "IDINSERT=0",
    "IDCOMPULSA=0", "Oferta=0", "IdVendedor=''", "Importe_Ud=0", "Ud_Pr='    '", "UNEGOCIO='A001'", "EnComodato=0",
};

// kVenta with fields changed ("Campo=valor"), left out ("Campo="), or added after another
// ("Campo=valor" paired with the field it follows).
std::string Con(std::initializer_list<std::pair<QString, QString>> cambios) {
    QStringList r = kVenta;
    for (const auto& [campoValor, despuesDe] : cambios) {
        const auto en = [&r](const QString& campo) {
            return std::find_if(r.begin(), r.end(), [&](const QString& s) { return s.startsWith(campo + "="); });
        };
        const QString campo = campoValor.section('=', 0, 0);
        const auto i = en(campo);
        if (i != r.end() && campoValor == campo + "=") r.erase(i);
        else if (i != r.end()) *i = campoValor;
        else r.insert(en(despuesDe) + 1, campoValor);
    }
    return r.join(u'\n').toStdString();
}

TEST_F(MovimientoStockTest, DemoSaleAndItsVariants) {
    EXPECT_EQ(Registro(), Con({}));
    EXPECT_EQ(grilla.TextMatrix(1, EnUnidadBase), "0");   // written back
    EXPECT_EQ(grilla.TextMatrix(1, Coeficiente), "1");
    EXPECT_EQ(ctx.CuentaActual, "P0001");
    Claves({"DepositoDefault", "A002"});

    struct Caso {
        const char* nombre;
        std::function<void(ContextoPosteo&, ui::FlexGrid&)> prepara;
        std::string esperado;
    } casos[] = {
        {"stock entry", [](auto& c, auto&) { c.TC = "IR"; c.Signo = 1; }, Con({{"TC='IR  '", ""}, {"Cantidad=2", ""}})},
        {"purchases type", [](auto& c, auto&) { c.Compras = true; }, Con({{"IdComplemento=", ""}})},
        {"unit path", [](auto&, auto& g) { g.SetTextMatrix(1, EnUnidadBase, "-1"); g.SetTextMatrix(1, IdUnidadBase, "KG");
                                          g.SetTextMatrix(1, CantidadUnidadBase, "1.5"); },
         Con({{"CantidadUD=-1.5", "Cantidad"}, {"IdUnidadBase='KG  '", "CantidadUD"}})},
        {"ConfirmaUDEquiv", [](auto& c, auto& g) { c.EquivalenciaUD = true; g.SetTextMatrix(1, IdUnidadEquiv, "CJ");
                                                  g.SetTextMatrix(1, CantidadEquiv, "0.16667"); },
         Con({{"CantidadUD=-0.1667", "Cantidad"}, {"IdUnidadBase='CJ  '", "CantidadUD"}})},
        {"plain with a base unit", [](auto&, auto& g) { g.SetTextMatrix(1, IdUnidadBase, "UN"); g.SetTextMatrix(1, CantidadUnidadBase, "2"); },
         Con({{"CantidadUD=-2", "Cantidad"}, {"IdUnidadBase='UN  '", "CantidadUD"}})},
        {"exempt", [](auto&, auto& g) { g.SetTextMatrix(1, TasaIVA, "0"); g.SetTextMatrix(1, EsExento, "-1"); }, Con({{"IVARI=0", ""}})},
        {"no rate, not exempt", [](auto&, auto& g) { g.SetTextMatrix(1, TasaIVA, ""); g.SetTextMatrix(1, EsExento, "0"); }, Con({})},
        {"origin from the line", [](auto& c, auto& g) { c.TcOrigen = ArgReferencia::DelGrid(); c.ComprobanteOrigen = ArgReferencia::DelGrid();
                                                         g.SetTextMatrix(1, CpteOrigen, "RM  000100000099X"); },
         Con({{"Tc_Origen='RM'", ""}, {"IdComprobante_Origen='000100000099X'", ""}})},
        {"blank deposit on the line", [](auto&, auto& g) { g.SetTextMatrix(1, IdDeposito, ""); }, Con({{"IdDeposito='A002'", ""}})},
        {"technician, account, lot", [](auto& c, auto&) { c.IdTecnico = "7"; c.Cuenta = "X1"; c.Lote = "L1"; c.CantidadItems = 2; },
         Con({{"IdTecnico='7   '", "IVARNI"}, {"CuentaProveedor='X1'", ""}, {"NroLote='L1'", ""}})},
        {"no account", [](auto& c, auto&) { c.Cuenta = "null"; c.IdMotivoStock = ArgReferencia::Nulo(); },
         Con({{"CuentaProveedor=", ""}, {"IdMotivoStock=NULL", ""}})},
    };
    for (const Caso& c : casos) {
        Venta();
        c.prepara(ctx, grilla);
        EXPECT_EQ(Registro(), c.esperado) << c.nombre;
    }
}

TEST_F(MovimientoStockTest, QuotesInEveryTextAreStored) {
    grilla.SetTextMatrix(1, IdUnidad, "U'N");
    grilla.SetTextMatrix(1, IdDeposito, "A'1");
    grilla.SetTextMatrix(1, Descripcion, "Azúcar 'refinada'");
    grilla.SetTextMatrix(1, ControladoPor, "C'P");
    ctx.Lote = "L'1";
    ctx.ComprobanteOrigen = ArgReferencia::Valor("O'7");
    ctx.IdTecnico = "T'1";
    ctx.Caja = "1'2";
    core::ListaCamposValores pares = MovimientoStock(ctx, grilla);
    data::gDBPrincipal().EjecutaConsultaSQL(SentenciaMovimientoStock(pares));
    EXPECT_EQ(Filas("IdUnidad, IdDeposito, Descripcion, ControladoPor, NroLote, IdComprobante_Origen, IdTecnico, IdCaja", "TC = 'TK'"),
              "U'N|A'1|Azúcar refinada|C'P|L'1|O'7|T'1|12");
    EXPECT_EQ(core::gCaja.toStdString(), "1");   // the program's till is not rewritten
}

}  // namespace
