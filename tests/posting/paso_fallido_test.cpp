// A posting with its journal entry and its input discharge, with each of its statements in turn
// refused once, and each answer the operator can give: the voucher is posted whole and once, or
// not at all, and the same engine then posts it as a clean run does.
#include "posting/cls_cmn_cptes.h"

#include "data/db_dll.h"
#include "platform/ui/prompter.h"
#include "platform/vb/dates.h"
#include "platform/vb/on_error.h"
#include "posteo_fixture.h"
#include "support/enesima_sentencia.h"
#include "support/falla_en_paso.h"
#include "support/responde.h"

#include <QDateTime>
#include <memory>

namespace {

using namespace posting::art;
using testsupport::Responde;

class PasoFallidoTest : public postingtest::PosteoTest {
protected:
    void SetUp() override {
        PosteoTest::SetUp();
        core::gUsuarioLogeado = "operador";
        RecepcionConAsiento();   // its rows, its entry row by row, its discharge and the book
    }
    bool Postea(posting::ClsCmnCptes& cpte) {
        bool hayError = false;
        cpte.ActualizaStock(grilla, "IR", "000100000005C", "0", "05/03/2008", "A001", "", "5", "I", "7", false,
                            "PorDefault", false, nullptr, &hayError);
        return hayError;
    }
    // Everything the posting writes: its rows, deposits and prices, its entry, the book.
    std::string Estado() {
        return Filas("TC, IdComprobante, Secuencia, IdDeposito, IdArticulo, NroLote, Cantidad, Costo, PrecioVenta",
                     "TC = 'IR' OR TC = 'PE'") +
               " / " +
               Consulta("SELECT [Numero Asiento], Secuencia, Cuenta, [DEBE-HABER], Importe, CABImporte FROM MV_ASIENTOS "
                        "ORDER BY [Numero Asiento], Secuencia") +
               " / " + Consulta("SELECT X_ULTIMO_NRO FROM V_TA_CPTE WHERE CODIGO = 'PE'");
    }
    // What makes the posting whole whatever values it read: the voucher's rows; each voucher's rows
    // (the discharge's too) numbered from 1 without a gap or a repeat; one entry, its lines numbered
    // so and balanced; at most one discharge voucher.
    std::string Forma() {
        return Filas("TC, IdComprobante, Secuencia, IdArticulo, Cantidad", "TC = 'IR'") + " / " +
               Consulta("SELECT COUNT(*) FROM (SELECT TC, IdComprobante FROM V_MV_STOCK GROUP BY TC, IdComprobante "
                        "HAVING MIN(Secuencia) <> 1 OR MAX(Secuencia) <> COUNT(*) OR COUNT(DISTINCT Secuencia) <> "
                        "COUNT(*)) x") +
               " / " + Consulta("SELECT COUNT(DISTINCT [Numero Asiento]) FROM MV_ASIENTOS") + " / " +
               Consulta("SELECT COUNT(*) FROM (SELECT [Numero Asiento] FROM MV_ASIENTOS GROUP BY [Numero Asiento] "
                        "HAVING SUM(CASE WHEN [DEBE-HABER] = 'D' THEN Importe ELSE -Importe END) <> 0 OR MIN(Secuencia) "
                        "<> 1 OR MAX(Secuencia) <> COUNT(*) OR COUNT(DISTINCT Secuencia) <> COUNT(*)) x") +
               " / " + Consulta("SELECT COUNT(DISTINCT IdComprobante) FROM V_MV_STOCK WHERE TC = 'PE'");
    }
    // The same voucher by its request, direct or in statement mode.
    posting::ResultadoPosteo Pide(posting::ClsCmnCptes& cpte, bool sentencias) {
        posting::PedidoPosteo p;
        p.TC = "IR";
        p.SucNroLetra = "000100000005C";
        p.Fecha = "05/03/2008";
        p.IdDeposito = "A001";
        p.IdMotivoStock = "5";
        p.TcOrigen = "I";
        p.ComprobanteOrigen = "7";
        p.GeneraSentenciaSQL = sentencias;
        p.UNegocio = "A001";
        p.Caja = "1";
        return cpte.ActualizaStock(grilla, p);
    }
    void Deshace() {
        Ejecuta({"DELETE FROM V_MV_STOCK WHERE TC = 'IR' OR TC = 'PE'", "DELETE FROM MV_ASIENTOS",
                 "UPDATE V_TA_CPTE SET X_ULTIMO_NRO = 0 WHERE CODIGO = 'PE'"});
    }
};

TEST_F(PasoFallidoTest, EveryStatementRefusedUnderEveryAnswerPostsTheVoucherOnceOrNotAtAll) {
    data::DB_Dll& db = data::gDBPrincipal();
    const std::string antes = Estado();
    const auto todas = [](const QString&) { return true; };

    // The clean run, counting the statements and queries of the posting (the engine's settings
    // are read before, at its construction: see the next case).
    QStringList textos;   // the statements of the clean run, in their order
    auto cuenta = std::make_shared<testsupport::EnesimaSentencia>(
        [&](const QString& sql) {
            textos << sql;
            return true;
        },
        0, nullptr);
    {
        posting::ClsCmnCptes cpte;
        db.setConnectionCalls(cuenta);
        ASSERT_FALSE(Postea(cpte));
        db.setConnectionCalls(nullptr);
    }
    const int sentencias = cuenta->cuenta;
    const std::string limpio = Estado();
    ASSERT_NE(limpio, antes);
    ASSERT_GT(sentencias, 10);
    Deshace();
    ASSERT_EQ(Estado(), antes);

    int preguntadas = 0;
    for (int n = 1; n <= sentencias; ++n) {
        for (const int respuesta : {vb::kRetry, vb::kIgnore, vb::kAbort}) {
            SCOPED_TRACE(testing::Message() << "statement " << n << ", answer " << respuesta);
            posting::ClsCmnCptes cpte;
            bool hayError = false;
            int preguntas = 0;
            {
                Responde responde(respuesta);
                db.setConnectionCalls(std::make_shared<testsupport::EnesimaSentencia>(
                    todas, n, testsupport::Rechaza(QStringLiteral("rechazada"))));
                hayError = Postea(cpte);
                db.setConnectionCalls(nullptr);
                preguntas = responde.preguntas;
            }
            preguntadas += preguntas > 0;
            ASSERT_LT(preguntas, 50);
            // A retried step runs clean: the voucher is posted as a clean run posts it. A failure
            // passed over or left, wherever it was asked (a settings read, a table lookup, the
            // voucher type's sign, a book), fails the voucher: nothing is posted with a value
            // that was not read.
            // The control row of the discharge's number is no read: passed over, the row stays
            // and the voucher is posted with its number.
            const bool control = textos[n - 1].contains(QStringLiteral("DELETE V_MV_CTROL_CPTE"), Qt::CaseInsensitive);
            if (preguntas > 0) {
                EXPECT_EQ(hayError, respuesta == vb::kAbort || (respuesta == vb::kIgnore && !control));
            }
            // Failed, nothing of it stays; posted, it is the clean run's voucher: its rows, its
            // deposits and prices, its entry, and the discharge book moved past its number.
            if (hayError) {
                EXPECT_EQ(Estado(), antes);
            } else {
                EXPECT_EQ(Estado(), limpio);
            }
            // The same engine then posts it once, as a clean run does.
            if (hayError) {
                EXPECT_FALSE(Postea(cpte));
                EXPECT_EQ(Estado(), limpio);
            }
            Deshace();
        }
    }
    // The queries are among the statements refused: the operator was asked about them.
    EXPECT_GT(preguntadas, 0);
}

// A fault that raises inside one of the posting's own steps, each in turn under each answer: a
// refused statement that reaches the step (a stock row with its journal lines, a row of the
// discharge, its book), a value read that fails its conversion, a value of another type. Retried,
// the voucher is posted as the clean run posts it (its rows, its entry line by line, the book);
// passed over or left, nothing of it stays, and the same engine then posts it as a clean run does.
// A value of another type that the posting reads as a number without asking (as 0) may change what
// is posted, but not its wholeness: nothing twice, no sequence skipped, the entry balanced.
TEST_F(PasoFallidoTest, AFaultRaisedInsideAStepUnderEveryAnswerPostsTheVoucherOnceOrNotAtAll) {
    using testsupport::FallaEnPaso;
    data::DB_Dll& db = data::gDBPrincipal();
    const std::string antes = Estado();
    std::string limpio, formaLimpia;
    for (const FallaEnPaso::Tipo tipo : {FallaEnPaso::Sentencia, FallaEnPaso::Conversion, FallaEnPaso::TipoErroneo}) {
        int total = 0;
        QStringList textos;   // the statements of the clean run, in their order
        {
            posting::ClsCmnCptes cpte;
            auto cuenta = std::make_shared<FallaEnPaso>(tipo, 0, [&](const QString& sql) {
                textos << sql;
                return true;
            });
            db.setConnectionCalls(cuenta);
            ASSERT_FALSE(Postea(cpte));
            db.setConnectionCalls(nullptr);
            total = cuenta->cuenta();
            limpio = Estado();
            formaLimpia = Forma();
            Deshace();
        }
        ASSERT_GT(total, 10);
        int preguntadas = 0;
        for (int n = 1; n <= total; ++n) {
            for (const int respuesta : {vb::kRetry, vb::kIgnore, vb::kAbort}) {
                SCOPED_TRACE(testing::Message() << FallaEnPaso::kNombres[tipo] << " " << n << ", answer " << respuesta);
                posting::ClsCmnCptes cpte;
                bool hayError = false;
                int preguntas = 0;
                {
                    Responde responde(respuesta);
                    db.setConnectionCalls(std::make_shared<FallaEnPaso>(tipo, n));
                    hayError = Postea(cpte);
                    db.setConnectionCalls(nullptr);
                    preguntas = responde.preguntas;
                }
                preguntadas += preguntas > 0;
                ASSERT_LT(preguntas, Responde::kMaximo);
                // The control row of the discharge's number is no read: passed over, the row stays
                // and the voucher is posted with its number.
                const bool control = tipo == FallaEnPaso::Sentencia &&
                                     textos[n - 1].contains(QStringLiteral("DELETE V_MV_CTROL_CPTE"), Qt::CaseInsensitive);
                EXPECT_TRUE(hayError || preguntas == 0 || respuesta == vb::kRetry || control);
                if (hayError) {
                    EXPECT_EQ(Estado(), antes);
                    EXPECT_FALSE(Postea(cpte));   // the same engine, as a clean run
                    EXPECT_EQ(Estado(), limpio);
                } else if (preguntas > 0 || tipo != FallaEnPaso::TipoErroneo) {
                    EXPECT_EQ(Estado(), limpio);
                } else {
                    EXPECT_EQ(Forma(), formaLimpia);
                }
                Deshace();
            }
        }
        EXPECT_GT(preguntadas, 0);
    }
}

// The engine's settings (VAT rate, journal entries, description length) read at its construction
// with a read refused and passed over: the posting reads them again, and posts as a clean run;
// when they cannot be read then either, the voucher fails, and nothing of it is written.
TEST_F(PasoFallidoTest, SettingsNotReadAtConstructionAreReadByThePostingOrFailIt) {
    data::DB_Dll& db = data::gDBPrincipal();
    const std::string antes = Estado();
    const auto todas = [](const QString&) { return true; };
    std::string limpio;
    {
        posting::ClsCmnCptes cpte;
        ASSERT_FALSE(Postea(cpte));
        limpio = Estado();
        Deshace();
    }
    for (int n = 1; n <= 3; ++n) {
        for (const int respuesta : {vb::kIgnore, vb::kAbort}) {
            for (const bool releida : {true, false}) {
                SCOPED_TRACE(testing::Message() << "setting " << n << ", answer " << respuesta << ", read again " << releida);
                Responde responde(respuesta);
                db.setConnectionCalls(std::make_shared<testsupport::EnesimaSentencia>(
                    todas, n, testsupport::Rechaza(QStringLiteral("rechazada"))));
                posting::ClsCmnCptes cpte;
                EXPECT_GT(responde.preguntas, 0);
                // The posting's first statement is the settings' first read again.
                db.setConnectionCalls(std::make_shared<testsupport::EnesimaSentencia>(
                    todas, releida ? 0 : 1, testsupport::Rechaza(QStringLiteral("rechazada"))));
                const bool hayError = Postea(cpte);
                db.setConnectionCalls(nullptr);
                EXPECT_EQ(hayError, !releida);
                EXPECT_EQ(Estado(), releida ? limpio : antes);
                Deshace();
            }
        }
    }
}

// A voucher type missing from the voucher types' table: the operator is told, and the voucher is
// not posted with a sign of none (rows of quantity 0).
TEST_F(PasoFallidoTest, AVoucherTypeWithoutItsRowIsNotPosted) {
    Ejecuta({"DELETE FROM V_TA_CPTE WHERE CODIGO = 'IR'"});
    const std::string antes = Estado();
    posting::ClsCmnCptes cpte;
    ui::ScriptedPrompter p;
    p.answer(vb::kOk, QStringLiteral("El Tipo de Comprobante informado no existe en la tabla de comprobantes"));
    EXPECT_TRUE(Postea(cpte));
    EXPECT_EQ(Estado(), antes);
}

// Each line of the voucher's journal entry, in turn, off by one ten-thousandth, row by row and in
// statement mode: the entry is refused with one box and the voucher fails whole (no row, line,
// discharge or book move; no statement handed out), in any build. The same engine then posts the
// voucher as a clean run does: the failed entry left no number or line behind.
TEST_F(PasoFallidoTest, AJournalEntryThatDoesNotBalanceFailsTheVoucherWhole) {
    vb::SetClock([] { return QDateTime(QDate(2008, 3, 5), QTime(10, 30)); });
    const std::string antes = Estado();
    for (const bool sentencias : {false, true}) {
        SCOPED_TRACE(sentencias ? "statement mode" : "direct mode");
        posting::ResultadoPosteo limpio;
        std::string estadoLimpio;
        int lineas = 0;   // the lines of the clean run's entry, as the engine builds them
        {
            posting::ClsCmnCptes cpte;
            cpte.setLineaAsientoHook([&](const QString&, QChar, vb::Currency&) { ++lineas; });
            limpio = Pide(cpte, sentencias);
            ASSERT_TRUE(limpio.Posteado());
            estadoLimpio = Estado();
            Deshace();
        }
        ASSERT_GE(lineas, 2);
        for (int n = 1; n <= lineas; ++n) {
            SCOPED_TRACE(testing::Message() << "line " << n);
            posting::ClsCmnCptes cpte;
            int vistas = 0;
            cpte.setLineaAsientoHook([&](const QString&, QChar, vb::Currency& importe) {
                if (++vistas == n) importe = importe + vb::Currency::fromRaw(1);
            });
            Responde responde(vb::kAbort);
            const posting::ResultadoPosteo r = Pide(cpte, sentencias);
            EXPECT_EQ(r.falla, posting::FallaPosteo::SinAsiento);
            EXPECT_TRUE(r.sentencias.isEmpty());
            EXPECT_EQ(responde.preguntas, 0);
            EXPECT_EQ(responde.cajas, QStringList{"Aviso al Operador:No se puede generar el asiento de Stock!.. el Debe y "
                                                  "el Haber no balancean"});
            EXPECT_EQ(Estado(), antes);
            cpte.setLineaAsientoHook(nullptr);
            const posting::ResultadoPosteo otra = Pide(cpte, sentencias);
            EXPECT_TRUE(otra.Posteado());
            EXPECT_EQ(otra.sentencias, limpio.sentencias);
            EXPECT_EQ(Estado(), estadoLimpio);
            Deshace();
        }
    }
    vb::SetClock({});
}

// A row of the input discharge (the product's own row of a line made on the spot, each input's,
// each lot's) refused once inside its step: retried, the row is written once under its own number
// and the voucher is posted as the clean run posts it; passed over, nothing of the voucher stays,
// and the same engine then posts it as the clean run does.
TEST_F(PasoFallidoTest, ADischargeRowRefusedOnceIsWrittenOnceUnderItsNumber) {
    using testsupport::FallaEnPaso;
    LineaSimple("2", "000900");
    grilla.SetTextMatrix(3, InsumosPorPorcentaje, "-1");
    grilla.SetTextMatrix(3, Costo, "20");
    data::DB_Dll& db = data::gDBPrincipal();
    const std::string antes = Estado();
    const auto descarga = [](const QString& sql) {
        return sql.contains("INSERT INTO V_MV_STOCK") && sql.contains("'PE  '");
    };
    std::string limpio;
    int filas = 0;
    {
        posting::ClsCmnCptes cpte;
        auto cuenta = std::make_shared<FallaEnPaso>(FallaEnPaso::Sentencia, 0, descarga);
        db.setConnectionCalls(cuenta);
        ASSERT_FALSE(Postea(cpte));
        db.setConnectionCalls(nullptr);
        filas = cuenta->cuenta();
        limpio = Estado();
        Deshace();
    }
    // The basket's sugar and its coffee out of two lots; the line made on the spot's product and
    // its two inputs.
    ASSERT_EQ(filas, 6);
    for (int n = 1; n <= filas; ++n) {
        for (const int respuesta : {vb::kRetry, vb::kIgnore}) {
            SCOPED_TRACE(testing::Message() << "row " << n << ", answer " << respuesta);
            posting::ClsCmnCptes cpte;
            bool hayError = false;
            {
                Responde responde(respuesta);
                db.setConnectionCalls(std::make_shared<FallaEnPaso>(FallaEnPaso::Sentencia, n, descarga));
                hayError = Postea(cpte);
                db.setConnectionCalls(nullptr);
                EXPECT_EQ(responde.preguntas, 1);
            }
            EXPECT_EQ(hayError, respuesta == vb::kIgnore);
            if (hayError) {
                EXPECT_EQ(Estado(), antes);
                EXPECT_FALSE(Postea(cpte));
            }
            EXPECT_EQ(Estado(), limpio);
            Deshace();
        }
    }
}

}  // namespace
