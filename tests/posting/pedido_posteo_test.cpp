// Stock posting through its request (PedidoPosteo) and its result (ResultadoPosteo): the request's
// business unit and till reach every row, line and discharge it writes, the program's own stay as
// they are, and the result names why a voucher was not posted.
#include "posting/cls_cmn_cptes.h"

#include "data/connection_calls.h"
#include "data/db_dll.h"
#include "platform/vb/on_error.h"
#include "posteo_fixture.h"

#include <functional>
#include <memory>

namespace {

using namespace posting::art;
using posting::FallaPosteo;

class PedidoPosteoTest : public postingtest::PosteoTest {
protected:
    void SetUp() override {
        PosteoTest::SetUp();
        RecepcionConAsiento();
        pedido.TC = "IR", pedido.SucNroLetra = "000100000005C", pedido.Fecha = "05/03/2008", pedido.IdDeposito = "A001";
        pedido.IdMotivoStock = "5", pedido.TcOrigen = "I", pedido.ComprobanteOrigen = "7";
        pedido.UNegocio = "A002", pedido.Caja = "3'";
    }
    posting::ResultadoPosteo Postea() { return posting::ClsCmnCptes().ActualizaStock(grilla, pedido); }
    std::string Escrito() {
        return Filas("TC, Secuencia, UNEGOCIO, IdCaja", "TC IN ('IR', 'PE')") + " / " +
               Consulta("SELECT DISTINCT Unegocio, IdCajas FROM MV_ASIENTOS");
    }
    posting::PedidoPosteo pedido;
};

TEST_F(PedidoPosteoTest, TheRequestsUnitAndTillReachEveryRowAndLine) {
    const posting::ResultadoPosteo r = Postea();
    EXPECT_TRUE(r.Posteado());
    EXPECT_EQ(r.sentencias, QString());   // direct mode: nothing to hand back
    // The voucher's rows and its entry carry the unit and the till (without its apostrophe); the
    // discharge's rows the unit.
    EXPECT_EQ(Escrito(), "IR|1|A002|3 IR|2|A002|3 PE|1|A002|NULL PE|2|A002|NULL PE|3|A002|NULL / A002|3");
    EXPECT_EQ(core::gUNegocio, QStringLiteral("A001"));
    EXPECT_EQ(core::gCaja, QStringLiteral("1"));

    // Statement mode: the statements come back in the result, the same rows once run.
    Ejecuta({"DELETE FROM V_MV_STOCK WHERE TC IN ('IR', 'PE')", "DELETE FROM MV_ASIENTOS"});
    pedido.GeneraSentenciaSQL = true;
    pedido.SucNroLetra = "000100000006C";
    const posting::ResultadoPosteo s = Postea();
    ASSERT_TRUE(s.Posteado());
    EXPECT_TRUE(s.sentencias.startsWith("\rINSERT INTO V_MV_STOCK(TC,IdComprobante,"));
    EXPECT_EQ(s.sentencias.count("INSERT INTO V_MV_STOCK("), 5);
    EXPECT_EQ(s.sentencias.count("INSERT INTO MV_ASIENTOS"), 2);
    EXPECT_EQ(Filas("TC", "TC IN ('IR', 'PE')"), "");
}

TEST_F(PedidoPosteoTest, TheResultNamesWhyAVoucherWasNotPosted) {
    const std::string antes = Escrito();
    const QString grande = "999999999999999999";   // a price beyond the column's range: error 6
    struct Caso {
        const char* nombre;
        std::function<void()> prepara;
        int respuesta;
        const char* caja;   // the box's text, as it starts
        FallaPosteo falla;
        bool tambienSentencias = true;   // statement mode fails alike
    } casos[] = {
        {"no business unit", [&] { pedido.UNegocio = " "; }, vb::kOk, "ERROR EN ASIGNACION DE UNIDAD DE NEGOCIO",
         FallaPosteo::SinUnidadDeNegocio},
        {"a type without its row", [&] { pedido.TC = "ZZ"; }, vb::kOk, "El Tipo de Comprobante informado no existe",
         FallaPosteo::ValorNoLeido},
        {"an exit of lots without their quantities", [&] { pedido.TC = "VS", grilla.SetTextMatrix(2, Lotes, "|L1|L2|"); },
         vb::kOk, "Falta la cantidad de cada lote del artículo 000123.", FallaPosteo::SinCantidades},
        {"a row already stored",
         [&] {
             Ejecuta({"INSERT INTO V_MV_STOCK (TC, IdComprobante, Secuencia, Fecha, IdArticulo, UNEGOCIO) "
                      "VALUES ('IR  ', '000100000005C', 2, '01/03/2008', 'OTRO', 'A002')"});
         },
         vb::kOk, "", FallaPosteo::SentenciaRechazada, false},
        {"an error left", [&] { grilla.SetTextMatrix(1, Precio, grande); }, vb::kAbort,
         "Ha ocurrido el Siguiente Error (6)", FallaPosteo::ErrorDejado},
        // Passed over, the posting goes on to its last line, and fails all the same.
        {"an error passed over", [&] { grilla.SetTextMatrix(1, Precio, grande); }, vb::kIgnore,
         "Ha ocurrido el Siguiente Error (6)", FallaPosteo::ErrorPasado},
        {"a reason without its account", [&] { pedido.IdMotivoStock = "99"; }, vb::kOk,
         "No se puede generar el asiento de Stock!.. el motivo de stock 99", FallaPosteo::SinAsiento},
    };
    for (const Caso& c : casos) {
        const posting::PedidoPosteo comoEstaba = pedido;
        c.prepara();
        for (const bool sentencias : {false, true}) {
            if (sentencias && !c.tambienSentencias) continue;
            SCOPED_TRACE(testing::Message() << c.nombre << (sentencias ? ", statement mode" : ""));
            prompter.answer(c.respuesta, c.caja);
            pedido.GeneraSentenciaSQL = sentencias;
            const posting::ResultadoPosteo r = Postea();
            EXPECT_EQ(r.falla, c.falla);
            EXPECT_EQ(r.sentencias, QString());   // a voucher that fails gives no statement
            EXPECT_TRUE(prompter.exhausted());
        }
        Ejecuta({"DELETE FROM V_MV_STOCK WHERE IdArticulo = 'OTRO'"});
        EXPECT_EQ(Escrito(), antes) << c.nombre;   // nothing of the voucher stays
        grilla.SetTextMatrix(1, Precio, "");
        grilla.SetTextMatrix(2, Lotes, "");
        pedido = comoEstaba;
    }
}

// The transaction's beginning refused: passed over, the posting stops there, before anything of it
// runs outside its transaction; retried, the voucher is posted.
TEST_F(PedidoPosteoTest, AVoucherIsPostedOnlyInsideItsTransaction) {
    struct NoEmpieza : data::ConnectionCalls {
        int veces = 1;
        void BeginTrans(ado::Connection& cnn) override {
            if (veces-- > 0) throw vb::Error(vb::kHrUnspecified, QStringLiteral("no se pudo empezar"));
            data::ConnectionCalls::BeginTrans(cnn);
        }
    };
    const std::string antes = Escrito();
    for (const int respuesta : {vb::kIgnore, vb::kRetry}) {
        data::gDBPrincipal().setConnectionCalls(std::make_shared<NoEmpieza>());
        prompter.answer(respuesta, "Ha ocurrido el Siguiente Error");
        const posting::ResultadoPosteo r = Postea();
        data::gDBPrincipal().setConnectionCalls(nullptr);
        EXPECT_TRUE(prompter.exhausted()) << respuesta;   // the one question
        EXPECT_EQ(r.falla, respuesta == vb::kRetry ? FallaPosteo::Ninguna : FallaPosteo::ErrorPasado);
        if (respuesta == vb::kIgnore) {
            EXPECT_EQ(Escrito(), antes);
        }
    }
    EXPECT_NE(Escrito(), antes);
}

}  // namespace
