// The demo database holds what the voucher engine and the receiver read: every setting they
// consult, the input-discharge book, inputs, equivalences, the stock subdiary, and stock balances
// that follow the movements.
#include "core/mod_global.h"
#include "data/db_dll.h"
#include "posting_db.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace {

class DemoTest : public postingtest::PostingTest {
protected:
    bool ConDemo() const override { return true; }
    QString Valor(const char* sql) {
        return testsupport::Scalar(data::gDBPrincipal().gCnn(), QString::fromUtf8(sql)).text();
    }
};

TEST_F(DemoTest, WhatPostingReads) {
    for (const char* clave :
         {"AsientosXStock", "PIVA", "LenDescripcion", "ConfirmaUDEquiv", "IR_Oblig", "DepositoDefault", "MotivoStockDefault",
          "DescargaInsumosProduccion", "CuentaCtroDist", "MotivoStockRemito", "MotivoStockComodato",
          "MotivoStockTransferencias", "MotivoStockRecepcionOC", "NUM_PE", "CONDIVA", "A001Cfg_VentasSuc",
          "A002Cfg_VentasSuc", "CantidadDecimales", "PideDepositoEnCptes", "NoMostrarImportesEnOT", "NombreArticulos",
          "V_ListaPreciosPorItemArticulos", "V_DescuentoPorArticulos", "ComprasDescuentoPorArticulo",
          "TransporteCombustibles", "MADERERA", "USA_STK_STOCK_UDKG", "UNIDADDEMEDIDA_M3", "UNIDADDEMEDIDA_BL",
          "UNIDADDEMEDIDA_KG", "PERIODO"})
        EXPECT_FALSE(core::ObtieneConfiguracion(QString::fromLatin1(clave)).value().trimmed().isEmpty()) << clave;
    struct Caso {
        const char *what, *sql, *expected;
    } casos[] = {
        {"input-discharge book", "SELECT X_NRO_HASTA FROM V_TA_CPTE WHERE CODIGO = 'PE' AND TALONARIO = 1", "99999999"},
        {"an input", "SELECT Cantidad FROM V_MA_INSUMOS WHERE IDARTICULO = '000456'", "0.05"},
        {"an equivalence", "SELECT Coeficiente FROM S_TA_EQUIV WHERE IdArticulo = '000789' AND IDUNIDAD = 'CJ'", "24"},
        {"register type of store sales",
         "SELECT s.Subdiario FROM MA_SUBDIARIOSCOMPROBANTES c INNER JOIN MA_SUBDIARIOS s ON s.CODIGO = c.Subdiario "
         "WHERE c.TC = 'TK'", "STK"},
        {"inventory account apart from the sales reason's",
         "SELECT COUNT(*) FROM V_MA_ARTICULOS a, V_TA_MOTIVOSTOCK m WHERE m.IDMOTIVOSTOCK = 1 "
         "AND a.CUENTACONTABLEC = m.CUENTACONTABLE", "0"},
        {"stock in the base unit", "SELECT CantidadUd FROM STK_STOCK_UDKG WHERE IDARTICULO = '000789' AND IDDEPOSITO = 'A002'",
         "24"},
        {"the coffee's two lots", "SELECT SUM(CANTIDAD) FROM STK_SERIES_Y_LOTES WHERE IDARTICULO = '000789'", "9"},
        {"purchase orders' reception date", "SELECT COUNT(FechaRecepcion) FROM C_MV_CPTE", "0"},
        {"store sales vouchers", "SELECT COUNT(*) FROM V_MV_CPTE WHERE TC IN ('TK', 'IR', 'VS')", "0"},
    };
    for (const Caso& c : casos) EXPECT_EQ(Valor(c.sql), QString::fromLatin1(c.expected)) << c.what;

    // A movement changes the balances.
    const char* saldo = "SELECT STOCK FROM STK_SALDOS_UNIDADES WHERE IDARTICULO = '000123' AND EQUIVALENCIA = 'UN' "
                        "AND IDDEPOSITO = 'A001'";
    EXPECT_EQ(Valor(saldo), QStringLiteral("120"));
    data::gDBPrincipal().gCnn()->Execute(QStringLiteral(
        "INSERT INTO V_MV_STOCK (TC, IdComprobante, Secuencia, Fecha, IdDeposito, IdArticulo, IdUnidad, Cantidad, NroLote) "
        "VALUES ('TK  ', '000100000010C', 1, '05/03/2008', 'A001', '000123', 'UN', -2, 'L1')"));
    EXPECT_EQ(Valor(saldo), QStringLiteral("118"));
    EXPECT_EQ(Valor("SELECT CANTIDAD FROM STK_SERIES_Y_LOTES WHERE NROLOTE = 'L1'"), QStringLiteral("-2"));
}

}  // namespace
