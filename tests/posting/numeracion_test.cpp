// Journal entry numbers, voucher books and voucher numbers on the demo database.
#include "numeracion_fixture.h"

#include "core/mod_global.h"
#include "platform/vb/dates.h"
#include "platform/vb/runtime.h"
#include "posting/asientos_numeracion.h"
#include "posting/numeracion.h"

namespace postingtest {
namespace {

using namespace posting;

const QString kRS = vb::Chr(255) + QStringLiteral("RS");
const QString kCierre = QStringLiteral("\r\rVerifique los datos desde la TABLA DE COMPROBANTES y vuelta a Intentarlo");

class AsientosTest : public DemoTest {
protected:
    void Carga() override {
        Ejecuta({Asiento("FC", "00000041", "A", 5, 123, "", 2007), Asiento("FC", "00000050", "A", 5, 47, kRS),
                 Asiento("FC", "00000051", "A", 5, 45), Asiento("FC", "00000052", "A", 5, 90, "STK"),
                 Asiento("FC", "00000053", "A", 5, 60, QStringLiteral("   "), 2006),
                 QStringLiteral("INSERT INTO MA_SUBDIARIOS (CODIGO, DESCRIPCION, Subdiario) VALUES ('ST', 'Stock', 'STK')"),
                 QStringLiteral("INSERT INTO MA_SUBDIARIOS (CODIGO, DESCRIPCION, Subdiario) VALUES ('NU', 'Nulo', NULL)"),
                 QStringLiteral("INSERT INTO MA_SUBDIARIOSCOMPROBANTES (TC, Subdiario) VALUES ('IR  ', 'ST')"),
                 QStringLiteral("INSERT INTO MA_SUBDIARIOSCOMPROBANTES (TC, Subdiario) VALUES ('VS  ', 'NU')"),
                 QStringLiteral("INSERT INTO MA_SUBDIARIOSCOMPROBANTES (TC, Subdiario) VALUES ('AJP ', 'ZZ')")});
    }
};

TEST_F(AsientosTest, AnEntryOfTheVoucherIsFoundWithItsMonthAndNumber) {
    QString asiento = QStringLiteral("previo");
    EXPECT_TRUE(ast::ExisteAsientoComprobante("FC", "0001", "00000041", "A", asiento, {}, true));
    EXPECT_EQ(asiento, QStringLiteral("05 - 000123"));
    asiento = QStringLiteral("previo");
    EXPECT_FALSE(ast::ExisteAsientoComprobante("FC", "0001", "00000041", "A", asiento, "9.9.99"));
    EXPECT_FALSE(ast::ExisteAsientoComprobante("FC", "0001", "00000042", "A", asiento));
    EXPECT_EQ(asiento, QStringLiteral("previo"));
    llamadas->llamadas = 0;
    EXPECT_FALSE(ast::ExisteAsientoComprobante("oc", "0001", "00000041", "A", asiento));
    EXPECT_EQ(llamadas->llamadas, 0);
}

TEST_F(AsientosTest, RegisterTypeOfAVoucherType) {
    EXPECT_EQ(ast::ObtieneTipoRegCont("IR"), QStringLiteral("STK"));
    EXPECT_EQ(ast::ObtieneTipoRegCont("VS"), QString());             // subdiary without register type
    EXPECT_EQ(ast::ObtieneTipoRegCont("AJP"), QStringLiteral("    "));  // subdiary not in MA_SUBDIARIOS
    EXPECT_EQ(ast::ObtieneTipoRegCont("FC"), QStringLiteral("    "));   // type not mapped
}

TEST_F(AsientosTest, NextEntryNumberCountsTheBlankRegistersTogetherAndOtherRegistersApart) {
    const struct {
        vb::Variant mes, periodo, tipo;
        long esperado;
    } casos[] = {
        {5, 2008, vb::Variant(), 48},               // the blank register and Chr(255)RS together
        {5, 2008, QStringLiteral("    "), 48},
        {5, 2008, kRS, 48},
        {5, 2008, QStringLiteral("STK"), 91},       // its own register only
        {5, 2008, QStringLiteral("XYZ"), 1},
        {QStringLiteral("5"), QStringLiteral("2008"), QString(), 48},
        {6, 2008, QString(), 1},
        {5, 2007, QString(), 124},
        {5, 2006, QString(), 61},                   // a register of blanks is the blank one
    };
    for (const auto& c : casos) {
        SCOPED_TRACE((c.mes.text() + u'/' + c.periodo.text() + u'/' + c.tipo.text()).toStdString());
        EXPECT_EQ(ast::ObtieneProximoNroAsiento(c.mes, c.periodo, c.tipo), std::optional<long>(c.esperado));
    }
}

TEST_F(AsientosTest, AFailedLookupIsNoEntryNumber) {
    Ejecuta({QStringLiteral("DROP VIEW SS_MV_ASIENTOS"), QStringLiteral("DROP TABLE MV_ASIENTOS")});
    cajas.answer(vb::kAbort).answer(vb::kAbort, QStringLiteral("Ha ocurrido el Siguiente Error"));
    EXPECT_EQ(ast::ObtieneProximoNroAsiento(5, 2008), std::nullopt);
    cajas.answer(vb::kAbort, QStringLiteral("(13)"));
    EXPECT_EQ(ast::ObtieneProximoNroAsiento(QStringLiteral("5 OR 1=1"), 2008), std::nullopt);
    EXPECT_TRUE(cajas.exhausted());
}

// ---- voucher books ----

class TalonariosTest : public DemoTest {
protected:
    void Carga() override {
        Ejecuta({Libro("FC", 1, "A", "1", "1", "500", "0"),
                 Libro("FC", 2, "A", "1", "1", "1000", "0", "VenceA, B_SUC_DEFAULT, B_NRO_DESDE, B_NRO_HASTA",
                       "'31/12/2008', 1, 1, 1000"),
                 Libro("NC", 1, "A", "1", "1", "500", "0"),
                 Libro("ND", 1, "A", "1", "0", "0", "0"),
                 Libro("EXT", 1, "A", "1", "1", "10", "0", "EXTERNO", "'SI'"),
                 Libro("CT", 1, "A", "1", "1", "1000", "41", "SISTEMA", "'Contable'"),
                 QStringLiteral("INSERT INTO TA_Comprobantes (CODIGO, SISTEMA, TALONARIO, X_SUC_DEFAULT, X_NRO_DESDE, "
                                "X_NRO_HASTA, X_ULTIMO_NRO) VALUES ('TQ  ', 'STOCK', 1, 1, 1, 100, 3)"),
                 Clave("NUM_NCC", "FCC"), Clave("NUM_NDC", " ")});
    }
};

TEST_F(TalonariosTest, NumberingTypeFromTheSetting) {
    EXPECT_EQ(ast::ObtieneTCNumeracion("NCC"), QStringLiteral("FCC"));
    EXPECT_EQ(ast::ObtieneTCNumeracion("NDC"), QStringLiteral("NDC"));
    EXPECT_EQ(ast::ObtieneTCNumeracion("FCC"), QStringLiteral("FCC"));
}

TEST_F(TalonariosTest, ValidationAgainstTheBooks) {
    const QString invalida = QStringLiteral(" La letra Informada no es Valida, la misma debe ser A,B,C,E,R,X,M");
    const struct {
        const char* tc;
        const char* letra;
        const char* numero;
        const char* fecha;
        int talonarioAntes;
        bool ok;
        const char* letraDespues;
        int talonarioDespues;
        QString mensaje;
    } casos[] = {
        {"FC", "A", "300", "", 0, true, "A", 2, {}},   // the last book holding the number wins
        {"FC", "b", "300", "", 0, true, "b", 2, {}},
        {"FC", "", "300", "", 2, true, "X", 2, {}},
        {"FC", "Q", "300", "", 5, false, "Q", 5, invalida},
        {"FC", "A,B", "300", "", 5, false, "A,B", 5, invalida},   // one letter only
        {"EXT", "A", "99", "", 7, true, "A", 7, {}},
        {"FC", "A", "300", "31/12/2008", 0, true, "A", 2, {}},
        {"FC", "A", "300", "01/01/2009", 0, false, "A", 2,
         QStringLiteral("El rango de numeracion del comprobante FC Control nro: 2 se encuenta vencida...! Debe dar de "
                        "alta un nuevo talonario para el comprobante FC") + kCierre},
        {"NC", "A", "501", "", 1, false, "A", 1,
         QStringLiteral("\rEl Número de comprobante (501) no respeta el parametro NRO HASTA del comprobante (500) , Nro "
                        "de Control: 1") + kCierre},
        {"FC", "A", "0", "", 1, false, "A", 1, kCierre},
        {"ND", "A", "00000000", "", 0, false, "A", 1, kCierre},   // open book that may not renumber
        {"NC", "A", "5", "", 9, true, "A", 1, {}},
        {"XX", "A", "5", "", 0, false, "A", 0, QStringLiteral("Debe configurar la numeracióN de Comprobantes")},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(std::string(c.tc) + " " + c.letra + " " + c.numero + " " + c.fecha);
        ast::TalonarioActual = c.talonarioAntes;
        QString letra = QString::fromUtf8(c.letra), mensaje;
        EXPECT_EQ(ast::ValidaNumeracionComprobante(c.tc, "0001", c.numero, letra, mensaje, c.fecha), c.ok);
        EXPECT_EQ(letra, QString::fromUtf8(c.letraDespues));
        EXPECT_EQ(ast::TalonarioActual, c.talonarioDespues);
        if (c.ok || !c.mensaje.isEmpty()) {
            EXPECT_EQ(mensaje, c.mensaje);
        }
    }
}

TEST_F(TalonariosTest, UpdateInGenerateTextMode) {
    const QString control = QStringLiteral("\r\n INSERT INTO V_MV_CTROL_CPTE (TC,SUCURSAL,NUMERO,LETRA) VALUES "
                                           "('CT  ','0001','00000041','A')\r\n");
    QString letra = QStringLiteral("A"), sentencia = QStringLiteral("previa");
    EXPECT_TRUE(ast::ActualizaNumeracionComprobante("CT", "Contable", "0001", " 42", letra, true, sentencia));
    EXPECT_EQ(sentencia, QStringLiteral(" UPDATE V_TA_CPTE SET A_ULTIMO_NRO =  42 WHERE CODIGO = 'CT  ' AND TALONARIO=1") +
                             control);
    Ejecuta({QStringLiteral("UPDATE V_TA_CPTE SET A_ULTIMO_NRO = 45 WHERE CODIGO = 'CT'")});
    sentencia.clear();
    EXPECT_TRUE(ast::ActualizaNumeracionComprobante("CT", "Contable", "0001", " 42", letra, true, sentencia));
    EXPECT_EQ(sentencia, control);   // the last number only moves forward
    sentencia = QStringLiteral("previa");
    EXPECT_TRUE(ast::ActualizaNumeracionComprobante("CT", "Contable", "0002", " 42", letra, true, sentencia));
    EXPECT_EQ(sentencia, QStringLiteral("previa"));   // not the book's branch

    // The book taken from TA_Comprobantes, and a stock book: no control row.
    ast::TalonarioActual = 1;
    letra = QStringLiteral("X");
    EXPECT_TRUE(ast::ActualizaNumeracionComprobante("TQ", "STOCK", "0001", " 5", letra, true, sentencia));
    EXPECT_EQ(sentencia, QStringLiteral(" UPDATE V_TA_CPTE SET X_ULTIMO_NRO =  5 WHERE CODIGO = 'TQ  ' AND TALONARIO =1"));
    letra.clear();
    EXPECT_TRUE(ast::ActualizaNumeracionComprobante("PE", "STOCK", "0001", " 8", letra, true, sentencia));
    EXPECT_EQ(letra, QStringLiteral("X"));
    EXPECT_EQ(sentencia, QStringLiteral(" UPDATE V_TA_CPTE SET X_ULTIMO_NRO =  8 WHERE CODIGO = 'PE  ' AND TALONARIO=1"));
    EXPECT_EQ(Valor("SELECT X_ULTIMO_NRO FROM V_TA_CPTE WHERE CODIGO = 'PE'").toLong(), 0);   // nothing written

    // A type without any book.
    cajas.answer(vb::kOk, QStringLiteral("Error en grabación del Comprobante, no se ha encontrado el comprobante "
                                         "configurado"));
    sentencia = QStringLiteral("previa");
    EXPECT_FALSE(ast::ActualizaNumeracionComprobante("ZZ", "STOCK", "0001", " 5", letra, true, sentencia));
    EXPECT_EQ(sentencia, QStringLiteral("previa"));
    ASSERT_EQ(cajas.shown().size(), 1u);
    EXPECT_EQ(cajas.shown()[0].title, QStringLiteral("ATENCION"));
    EXPECT_EQ(cajas.shown()[0].buttons, ui::vbCritical);
}

TEST_F(TalonariosTest, UpdateInDirectModeWritesTheBookRow) {
    vb::SetClock([] { return QDateTime(QDate(2008, 3, 5), QTime(14, 7)); });
    QString letra = QStringLiteral("X"), sentencia;
    EXPECT_TRUE(ast::ActualizaNumeracionComprobante("IR", "STOCK", "0001", " 8", letra, false, sentencia));
    EXPECT_TRUE(ast::ActualizaNumeracionComprobante("IR", "STOCK", "0001", " 5", letra, false, sentencia));
    EXPECT_EQ(Valor("SELECT X_ULTIMO_NRO FROM V_TA_CPTE WHERE CODIGO = 'IR'").toLong(), 8);
    EXPECT_EQ(vb::CDate(Valor("SELECT fechahora_modificacion FROM V_TA_CPTE WHERE CODIGO = 'IR'")).toQDateTime(),
              QDateTime(QDate(2008, 3, 5), QTime(14, 7)));
    ast::TalonarioActual = 1;
    EXPECT_TRUE(ast::ActualizaNumeracionComprobante("TQ", "STOCK", "0001", " 2", letra, false, sentencia));
    EXPECT_EQ(Valor("SELECT X_ULTIMO_NRO FROM TA_Comprobantes WHERE CODIGO = 'TQ'").toLong(), 2);   // no comparison
    EXPECT_TRUE(sentencia.isEmpty());
    EXPECT_EQ(Valor("SELECT COUNT(*) FROM V_MV_CTROL_CPTE").toLong(), 0);
    vb::SetClock({});
}

// ---- the book choice ----

TEST_F(TalonariosTest, BookChoice) {
    Ejecuta({Libro("L1", 1, "A,B", "2", "1", "100", "41", "X_SUC_DEFAULT, X_NRO_HASTA, X_ULTIMO_NRO", "1, 100, 0"),
             Libro("L2", 1, "X", "1", "1", "100", "0"),
             Libro("SU", 1, "A", "1", "1", "100", "5"), Libro("SU", 2, "A", "3", "1", "100", "7"),
             Libro("UN", 1, "A", "1", "1", "100", "9", "UNEGOCIO", "'A002'"),
             Libro("UN", 2, "A", "1", "1", "100", "12", "UNEGOCIO", "'A001'"),
             Libro("DO", 1, "A", "1", "1", "100", "100", "Modificanumeracion", "1"),
             Libro("DO", 2, "A", "4", "1", "100", "60", "Modificanumeracion", "1"),
             Libro("US", 1, "A", "1", "1", "100", "100"), Libro("US", 2, "A", "1", "1", "100", "NULL"),
             Libro("VE", 1, "A", "1", "1", "100", "3", "VenceA", "'31/12/2008'"), Libro("VE", 2, "A", "1", "1", "5", "5"),
             Libro("VA", 1, "A", "1", "1", "100", "3", "VenceA", "'31/12/2008'")});
    const QString agotados = QStringLiteral("Todos los talonarios del comprobante %1 se encuentran utilizados, debe dar "
                                            "de alta un nuevo talonario para el comprobante %1");
    const struct {
        const char* tc;
        const char* sucursal;
        const char* numero;
        const char* letra;
        const char* fecha;
        const char* unidad;
        const char* sucursalDespues;
        const char* numeroDespues;
        const char* letraDespues;
        const char* hastaDespues;
        int talonario;     // TalonarioActual afterwards (set to 99 before)
        bool modifica;
        bool aviso;        // the used-up message
    } casos[] = {
        {"L1", "0001", "", "X", "", "", "0002", "00000041", "A", "00000100", 1, false, false},
        {"L2", "0001", "", " ", "", "", "0001", "00000001", "X", "00000100", 1, false, false},
        {"SU", "*0003", "", "A", "", "", "0003", "00000007", "A", "00000100", 2, false, false},
        {"SU", "*0009", "", "A", "", "", "0001", "00000005", "A", "00000100", 1, false, false},
        {"UN", "0001", "", "A", "", "A001", "0001", "00000012", "A", "00000100", 2, false, false},
        {"UN", "0001", "", "A", "", "A009", "0001", "00000009", "A", "00000100", 1, false, false},
        {"NB", "0007", "", "A", "", "", "0001", "00000001", "X", "99999999", 99, false, false},   // no book at all
        {"DO", "0001", "", "A", "", "", "0004", "00000060", "A", "00000100", 2, true, false},
        {"US", "0005", "", "A", "", "", "0005", "00000001", "A", "99999999", 99, false, true},
        {"US", "0005", "00000077", "A", "", "", "0005", "00000077", "A", "99999999", 99, false, true},
        {"VE", "0005", "", "A", "01/01/2009", "", "0005", "00000001", "A", "99999999", 99, false, true},
        {"VA", "0005", "00000077", "A", "01/01/2009", "", "0005", "00000077", "A", "99999999", 99, false, false},
        {"VA", "0005", "", "A", "31/12/2008", "", "0001", "00000003", "A", "00000100", 1, false, false},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(std::string(c.tc) + " " + c.sucursal + " " + c.fecha + " " + c.unidad);
        if (c.aviso) cajas.answer(vb::kOk, agotados.arg(QString::fromLatin1(c.tc)));
        ast::TalonarioActual = 99;
        QString sucursal = c.sucursal, numero = c.numero, letra = c.letra, hasta = QStringLiteral("99999999");
        bool modifica = false;
        EXPECT_TRUE(ast::Obtener_Nro_Comprobante_Contable(c.tc, sucursal, numero, letra, modifica, c.fecha, c.unidad, hasta));
        EXPECT_EQ(sucursal, QString::fromLatin1(c.sucursalDespues));
        EXPECT_EQ(numero, QString::fromLatin1(c.numeroDespues));
        EXPECT_EQ(letra, QString::fromLatin1(c.letraDespues));
        EXPECT_EQ(hasta, QString::fromLatin1(c.hastaDespues));
        EXPECT_EQ(ast::TalonarioActual, c.talonario);
        EXPECT_EQ(modifica, c.modifica);
        EXPECT_TRUE(cajas.exhausted());
    }
    EXPECT_EQ(cajas.shown().size(), 3u);   // once per call whose books are all used up
}

// ---- voucher numbers ----

class NumeracionTest : public DemoTest {
protected:
    void Carga() override {
        Ejecuta({QStringLiteral("UPDATE V_TA_CPTE SET X_ULTIMO_NRO = 41 WHERE CODIGO IN ('IR', 'TK')"),
                 Libro("FC", 1, "A", "1", "1", "1000", "41"), Libro("CBFP", 1, "A", "1", "1", "1000", "41"),
                 Libro("OC", 1, "A", "1", "1", "1000", "41"), Libro("VJ", 1, "X", "1", "1", "1000", "41")});
    }
    // Obtener_Nro_Comprobante for branch 0001; the number proposed, or "-" when there is none.
    QString Propone(const QString& tc, const QString& letra, bool controla = true) {
        QString sucursal = QStringLiteral("0001"), numero, l = letra;
        bool modifica = false;
        if (!ast::Obtener_Nro_Comprobante(tc, sucursal, numero, l, modifica, controla)) return QStringLiteral("-");
        return numero;
    }
};

TEST_F(NumeracionTest, TheProposalMovesPastWhatIsStored) {
    Ejecuta({Stock("IR", "000100000041X"), Stock("IR", "000100000045X"), Stock("TK", "000100000041X"),
             QStringLiteral("INSERT INTO MV_VIAJES (TC, IDCOMPROBANTE) VALUES ('VJ', '000100000041X')"),
             Asiento("FC", "00000041", "A", 5, 1), Asiento("FC", "00000050", "A", 5, 2),
             Asiento("CBFP", "00000041", "A", 5, 3), Asiento("CBFP", "00000050", "A", 5, 4),
             QStringLiteral("INSERT INTO V_MV_CPTE (TC, IDCOMPROBANTE) VALUES ('CBFP', '000100000051A')"),
             QStringLiteral("INSERT INTO C_MV_CPTE (TC, IDCOMPROBANTE, SUCURSAL, NUMERO, LETRA) VALUES "
                            "('OC', '000100000041A', '0001', '00000041', 'A')"),
             QStringLiteral("INSERT INTO C_MV_CPTE (TC, IDCOMPROBANTE, SUCURSAL, NUMERO, LETRA) VALUES "
                            "('OC', '000100000044A', '0001', '00000044', 'A')")});
    EXPECT_EQ(Propone("IR", "X"), QStringLiteral("00000046"));
    EXPECT_EQ(Propone("ir", "X"), QStringLiteral("00000046"));
    EXPECT_EQ(Propone("IR", "X", false), QStringLiteral("00000041"));   // the book's number, stored or not
    EXPECT_EQ(Propone("VJ", "X"), QStringLiteral("00000042"));
    EXPECT_EQ(Propone("TK", "X"), QStringLiteral("00000041"));          // numbered by its book alone
    EXPECT_EQ(Propone("FC", "A"), QStringLiteral("00000051"));          // from the journal
    EXPECT_EQ(Propone("CBFP", "A"), QStringLiteral("00000051"));        // sales voucher 51 is not above it
    EXPECT_EQ(Propone("OC", "A"), QStringLiteral("00000045"));
    Ejecuta({QStringLiteral("INSERT INTO V_MV_CPTE (TC, IDCOMPROBANTE) VALUES ('CBFP', '000100000052A')"),
             QStringLiteral("DELETE FROM MV_ASIENTOS WHERE TC = 'FC' AND NUMERO = '00000041'"),
             QStringLiteral("DELETE FROM C_MV_CPTE WHERE NUMERO = '00000041'"),
             QStringLiteral("DELETE FROM V_MV_STOCK WHERE TC = 'IR'"), Stock("IR", "000100000040X")});
    EXPECT_EQ(Propone("CBFP", "A"), QStringLiteral("00000053"));
    EXPECT_EQ(Propone("FC", "A"), QStringLiteral("00000041"));
    EXPECT_EQ(Propone("OC", "A"), QStringLiteral("00000041"));
    EXPECT_EQ(Propone("IR", "X"), QStringLiteral("00000041"));
}

TEST_F(NumeracionTest, OtherTypesDropTheControlRowOfTheirNumber) {
    Ejecuta({QStringLiteral("INSERT INTO V_MV_CTROL_CPTE (TC, SUCURSAL, NUMERO, LETRA) VALUES ('PE', '0001', '00000001', 'X')"),
             QStringLiteral("INSERT INTO V_MV_CTROL_CPTE (TC, SUCURSAL, NUMERO, LETRA) VALUES ('PE', '0001', '00000002', 'X')")});
    EXPECT_EQ(Propone("PE", "X"), QStringLiteral("00000001"));
    EXPECT_EQ(Valor("SELECT COUNT(*) FROM V_MV_CTROL_CPTE").toLong(), 1);
    EXPECT_EQ(Valor("SELECT NUMERO FROM V_MV_CTROL_CPTE").text(), QStringLiteral("00000002"));

    // An empty type touches nothing.
    QString sucursal = QStringLiteral("0009"), numero = QStringLiteral("n"), letra = QStringLiteral("Z");
    bool modifica = true;
    llamadas->llamadas = 0;
    EXPECT_FALSE(ast::Obtener_Nro_Comprobante("", sucursal, numero, letra, modifica, true));
    EXPECT_EQ(sucursal + numero + letra, QStringLiteral("0009nZ"));
    EXPECT_EQ(llamadas->llamadas, 0);
}

TEST_F(NumeracionTest, ANumberPast99999999IsRefused) {
    Ejecuta({QStringLiteral("UPDATE V_TA_CPTE SET X_ULTIMO_NRO = 99999998 WHERE CODIGO = 'VS'"),
             Stock("VS", "000199999998X"), Stock("VS", "000199999999X")});
    EXPECT_EQ(Propone("VS", "X", false), QStringLiteral("99999998"));
    cajas.answer(vb::kOk, QStringLiteral("La numeración del comprobante VS llegó a su número máximo (99999999) para la "
                                         "sucursal 0001 y la letra X, debe dar de alta un nuevo talonario para el "
                                         "comprobante VS"));
    EXPECT_EQ(Propone("VS", "X"), QStringLiteral("-"));
    EXPECT_TRUE(cajas.exhausted());
}

TEST_F(NumeracionTest, StockVoucherNumber) {
    const auto asigna = [](const QString& tc) {
        QString sucursal = QStringLiteral("0001"), letra = QStringLiteral("X");
        return Stock::AsignarNumeroComprobante(tc, sucursal, letra).value_or(QStringLiteral("-"));
    };
    core::gUNegocio = QStringLiteral("A001");
    Ejecuta({QStringLiteral("UPDATE V_TA_CPTE SET X_ULTIMO_NRO = 7 WHERE CODIGO = 'PE'")});
    EXPECT_EQ(asigna("PE"), QStringLiteral("000100000007X"));
    Ejecuta({Stock("PE", "000100000007X"), Stock("PE", "000100000012X")});
    EXPECT_EQ(asigna("PE"), QStringLiteral("000100000013X"));

    // Without a book the first number of branch 0001 is proposed, and moved past the stored ones.
    Ejecuta({QStringLiteral("DELETE FROM V_TA_CPTE WHERE CODIGO = 'PE'")});
    EXPECT_EQ(asigna("PE"), QStringLiteral("000100000001X"));
    Ejecuta({Stock("PE", "000100000001X")});
    EXPECT_EQ(asigna("PE"), QStringLiteral("000100000013X"));

    // A failure is no number.
    Ejecuta({QStringLiteral("DROP TABLE V_MV_STOCK")});
    cajas.answer(vb::kAbort).answer(vb::kAbort, QStringLiteral("Ha ocurrido el Siguiente Error"));
    EXPECT_EQ(asigna("PE"), QStringLiteral("-"));
    EXPECT_TRUE(cajas.exhausted());
}

TEST(LetraComprobante, FromTheTwoTaxConditions) {
    const struct {
        const char* propia;
        const char* otra;
        const char* letra;
    } casos[] = {{"1", "1", "A"}, {"1", "3", "B"}, {"1", "", "A"}, {"6", "1", "C"}, {"", "1", "C"}, {"1", "2", "A"}};
    for (const auto& c : casos)
        EXPECT_EQ(ast::ObtieneLetraComprobante(c.propia, c.otra), QString::fromLatin1(c.letra)) << c.propia << "/" << c.otra;
}

}  // namespace
}  // namespace postingtest
