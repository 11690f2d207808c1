#include "receiver_fixture.h"

#include "posting/columnas_articulos.h"
#include "receiver/linea_recepcion.h"

namespace {

using receivertest::ReceiverFixture;
namespace art = posting::art;

TEST(LineaRecepcion, VoucherKeysTypesNumbersAndCodes) {
    using receiver::ClaveDeposito;
    // The four parts are compared one by one, letter case aside.
    EXPECT_TRUE(receiver::MismoComprobante({"001", "vt", "0001", "00000010"}, {"001", "VT", "0001", "00000010"}));
    EXPECT_FALSE(receiver::MismoComprobante({"1", "VT", "23", "4"}, {"12", "VT", "3", "4"}));
    EXPECT_FALSE(receiver::MismoComprobante({"001", "VT", "0001", "1"}, {"002", "VT", "0001", "1"}));

    struct Tipo { const char *tipoComp, *movimiento, *tc; };
    for (const Tipo& t : {Tipo{"VT", "INGRESO", "TK"}, Tipo{"vt", "", "TK"}, Tipo{"IN", "ingreso", "IR"},
                          Tipo{"AJ", "EGRESO", "VS"}, Tipo{"", "", ""},
                          Tipo{"V'", "VENTA", ""}, Tipo{"AJ", "VENTA", ""}, Tipo{"IN", "", ""}, Tipo{"RT", "ROT URA", ""}})
        EXPECT_EQ(receiver::TipoComprobante(t.tipoComp, t.movimiento), QString::fromLatin1(t.tc)) << t.tipoComp;
    EXPECT_EQ(receiver::NumeroComprobante(QStringLiteral("0003"), QStringLiteral("00001234")), QStringLiteral("000300001234C"));
    // The day as a range, in the one form each server reads whatever its language.
    EXPECT_EQ(receiver::SqlCuentaDepositos(QDate(2008, 12, 31)),
              QStringLiteral("Select Count(*) AS Filas From Depositos where Fecha >= '2008-12-31T00:00:00' AND Fecha < "
                             "'2009-01-01T00:00:00'"));

    // Only a code of digits is zero-filled; anything else keeps its text.
    struct Codigo { const char *enviado, *buscado; };
    for (const Codigo& c : {Codigo{"123", "000123"}, Codigo{" 123 ", "000123"}, Codigo{"0000123", "000123"},
                            Codigo{"1234567", "1234567"}, Codigo{"0", "000000"}, Codigo{"1.5", "1.5"},
                            Codigo{"1E3", "1E3"}, Codigo{"-12", "-12"}, Codigo{"ab'c", "ab'c"},
                            Codigo{"99999999999999999999", "99999999999999999999"}})
        EXPECT_EQ(receiver::CodigoArticulo(c.enviado), QString::fromLatin1(c.buscado).leftJustified(25)) << c.enviado;
}

TEST(LineaRecepcion, PostingSettingFields) {
    struct Caso { const char *valor, *motivo, *campo4; };
    for (const Caso& c : {Caso{"7|a|b|c|d", "7", "c"}, Caso{"12|x|x|x|", "12", "x"}, Caso{"|a|b|c|d", "", "c"},
                          Caso{"7|a|", "7", ""}, Caso{"7", "", ""}, Caso{" ", "", ""}, Caso{"", "", ""}}) {
        const receiver::ConfigVentasSuc cfg = receiver::LeeConfigVentasSuc(c.valor);
        EXPECT_EQ(cfg.motivoStock, QString::fromLatin1(c.motivo)) << c.valor;
        EXPECT_EQ(cfg.campo4, QString::fromLatin1(c.campo4)) << c.valor;
    }
    EXPECT_EQ(receiver::ClaveConfigVentasSuc(QStringLiteral(" A12 ")), QStringLiteral("A12Cfg_VentasSuc"));
}

TEST(LineaRecepcion, ProgressLines) {
    const receiver::LineasEspera l = receiver::LineasProgreso(0, 100000, QStringLiteral("123"), 3);
    EXPECT_EQ(l.linea1, QStringLiteral("Registros leidos 0 de 100000"));
    EXPECT_EQ(l.linea2, QStringLiteral("Articulo:123"));
    EXPECT_EQ(l.linea3, QStringLiteral("|||"));
}

class LlenaLineaTest : public ReceiverFixture {};

TEST_F(LlenaLineaTest, AmountsWithoutVATAndTheOffer) {
    // Amounts by quantity and exemption (CantidadDecimales is 2).
    struct Caso { const char *venta, *cantidad; vb::Variant exento; const char *tasa, *col17, *col14, *col78; };
    const Caso casos[] = {
        {"133.25", "2", vb::Variant(false), "21", "110.123966942149", "133.25", "110.123966942149"},
        {"133.25", "2", vb::Variant(true), "21", "133.25", "133.25", "133.25"},
        {"133.25", "2", vb::Variant(vb::Null), "21", "133.25", "133.25", "133.25"},
        {"121", "0.5", vb::Variant(false), "21", "100", "121.00", "100"},          // a fraction keeps the formatted amount
        {"10", "0", vb::Variant(false), "21", "10.00", "", ""},
        {"-10", "-1", vb::Variant(false), "21", "-10.00", "", ""},                 // returns keep their VAT
    };
    for (const Caso& c : casos) {
        const receiver::ImportesLinea i = receiver::CalculaImportes(c.venta, c.cantidad, c.exento, c.tasa);
        EXPECT_EQ(i.precioSinIVA, QString::fromLatin1(c.col17)) << c.venta << " x " << c.cantidad;
        EXPECT_EQ(i.precio, QString::fromLatin1(c.col14)) << c.venta << " x " << c.cantidad;
        EXPECT_EQ(i.importeVenta, QString::fromLatin1(c.col78)) << c.venta << " x " << c.cantidad;
    }

    // A line of coffee (10.5% VAT, offer of March in list A3) sold on 5 March.
    auto rs = Principal().gCnn()->Execute(receiver::SqlArticulo(receiver::CodigoArticulo(QStringLiteral("789"))));
    ASSERT_FALSE(rs->Eof());
    const receiver::ArticuloRecepcion a = receiver::LeeArticulo(*rs);
    auto precio = Principal().gCnn()->Execute(receiver::SqlOferta(a.idArticulo));
    ASSERT_FALSE(precio->Eof());
    receiver::DatosLinea datos;
    datos.descripcionTipo = QStringLiteral("Mercadería");
    datos.oferta = receiver::LeeOferta(*precio);
    datos.porcentajeIVA = 21;
    datos.fecha = QDate(2008, 3, 5);
    receiver::MovimientoDeposito mov;
    mov.articulo = QStringLiteral("789");
    mov.cantidad = QStringLiteral("2");
    mov.venta = QStringLiteral("221");
    mov.deposito = QStringLiteral("A001");
    ui::FlexGrid g;
    g.SetCols(art::kColumnas);
    g.SetRows(2);
    receiver::LlenaLinea(g, 1, mov, receiver::CodigoArticulo(mov.articulo), a, datos);
    struct Celda { int col; const char* texto; };
    const Celda celdas[] = {
        {art::IdArticulo, "000789                   "}, {art::Descripcion, "Café molido torrado 250 g (Mercadería) 250g"},
        {art::IdUnidad, "UN  "}, {art::IdDeposito, "A001"}, {art::Cantidad, "2"}, {art::Coeficiente, "1"},
        {art::Precio, "221.00"}, {art::EsExento, "0"}, {art::PrecioSinIVA, "200"}, {art::PideSerie, "0"},
        {art::PideLote, "0"}, {art::TipoArticulo, "MER"}, {art::RubroArticulo, "ALM"}, {art::ListaConIVA, "0"},
        {art::TipoCoeficiente, "*"}, {art::TasaIVA, "10.5"}, {art::Costo, "80.25"}, {art::CuentaContable, "1.1.05"},
        {art::Impuestos, "0"}, {art::IdUnidadBase, "UN"}, {art::Perecedero, "0"}, {art::DescripcionTipo, "Mercadería"},
        {art::Presentacion, "250g"}, {art::PideTalle, "0"}, {art::CantidadUnidadBase, "2"},
        {art::CodigoBarra, "7790000000017"}, {art::ImporteVenta, "200"}, {art::OfertaIdInsert, "3"},
        {art::OfertaIdCompulsa, "1"}, {art::EnOferta, "1"},
    };
    for (const Celda& c : celdas) EXPECT_EQ(g.TextMatrix(1, c.col), QString::fromUtf8(c.texto)) << "column " << c.col;

    // The offer holds from its first day to its last, both included.
    struct Dia { QDate fecha; const char* enOferta; };
    for (const Dia& d : {Dia{QDate(2008, 2, 29), "0"}, Dia{QDate(2008, 3, 1), "1"}, Dia{QDate(2008, 3, 31), "1"},
                         Dia{QDate(2008, 4, 1), "0"}})
        EXPECT_EQ(receiver::EnOferta(*datos.oferta, d.fecha), QString::fromLatin1(d.enOferta)) << d.fecha.toString().toStdString();
    receiver::OfertaArticulo sinFin = *datos.oferta;
    sinFin.hasta = vb::Variant(vb::Null);
    EXPECT_EQ(receiver::EnOferta(sinFin, QDate(2008, 3, 5)), QStringLiteral("0"));
}

}  // namespace
