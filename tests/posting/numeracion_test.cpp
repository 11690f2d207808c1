// Journal entry numbers, voucher books and voucher numbers on the demo database.
#include "numeracion_fixture.h"

#include "core/mod_global.h"
#include "platform/vb/dates.h"
#include "platform/vb/runtime.h"
#include "posting/asientos_numeracion.h"
#include "posting/numeracion.h"
#include "support/enesima_sentencia.h"
#include "support/responde.h"

#include <QDateTime>

namespace postingtest {
namespace {

using namespace posting;

const QString kRS = vb::Chr(255) + QStringLiteral("RS");
const QString kCierre = QStringLiteral("\r\rVerifique los datos desde la TABLA DE COMPROBANTES y vuelta a Intentarlo");

class AsientosTest : public DemoNumeracionTest {
protected:
    void Carga() override {
        Ejecuta({Asiento("FC", "00000041", "A", 5, 123, "", 2007), Asiento("FC", "00000050", "A", 5, 47, kRS),
                 Asiento("FC", "00000051", "A", 5, 45), Asiento("FC", "00000052", "A", 5, 90, "STK"),
                 Asiento("FC", "00000053", "A", 5, 60, QStringLiteral("   "), 2006),
                 QStringLiteral("INSERT INTO MA_SUBDIARIOS (CODIGO, Subdiario) VALUES ('NU', NULL)"),
                 QStringLiteral("UPDATE MA_SUBDIARIOSCOMPROBANTES SET Subdiario = 'NU' WHERE TC = 'VS'"),
                 QStringLiteral("UPDATE MA_SUBDIARIOSCOMPROBANTES SET Subdiario = 'ZZ' WHERE TC = 'AJP'")});
    }
};

TEST_F(AsientosTest, TheEntryOfAVoucherAndTheRegisterTypeOfItsType) {
    QString asiento = QStringLiteral("previo");
    EXPECT_FALSE(ast::ExisteAsientoComprobante("FC", "0001", "00000041", "A", asiento, "9.9.99"));
    EXPECT_EQ(asiento, QStringLiteral("previo"));
    EXPECT_TRUE(ast::ExisteAsientoComprobante("FC", "0001", "00000041", "A", asiento, {}, true));
    EXPECT_EQ(asiento, QStringLiteral("05 - 000123"));
    llamadas->llamadas = 0;
    EXPECT_FALSE(ast::ExisteAsientoComprobante("oc", "0001", "00000041", "A", asiento));
    EXPECT_EQ(llamadas->llamadas, 0);

    EXPECT_EQ(ast::ObtieneTipoRegCont("IR").value(), QStringLiteral("STK"));
    EXPECT_EQ(ast::ObtieneTipoRegCont("VS").value(), QString());                // subdiary without register type
    EXPECT_EQ(ast::ObtieneTipoRegCont("AJP").value(), QStringLiteral("    "));  // subdiary not in MA_SUBDIARIOS
    EXPECT_EQ(ast::ObtieneTipoRegCont("FC").value(), QStringLiteral("    "));   // type not mapped
}

TEST_F(AsientosTest, NextEntryNumberCountsTheBlankRegistersTogetherAndOtherRegistersApart) {
    const struct { vb::Variant mes, periodo, tipo; long esperado; } casos[] = {
        {5, 2008, vb::Variant(), 48},   // the blank register and Chr(255)RS together
        {5, 2008, kRS, 48},
        {QStringLiteral("5"), QStringLiteral("2008"), QStringLiteral("    "), 48},
        {5, 2008, QStringLiteral("STK"), 91},   // its own register only
        {6, 2008, QString(), 1},
        {5, 2007, QString(), 124},
        {5, 2006, QString(), 61},   // a register of blanks is the blank one
    };
    for (const auto& c : casos)
        EXPECT_EQ(ast::ObtieneProximoNroAsiento(c.mes, c.periodo, c.tipo), std::optional<long>(c.esperado)) << c.esperado;

    Ejecuta({QStringLiteral("DROP VIEW SS_MV_ASIENTOS"), QStringLiteral("DROP TABLE MV_ASIENTOS")});
    cajas.answer(vb::kAbort).answer(vb::kAbort, QStringLiteral("Ha ocurrido el Siguiente Error"));
    EXPECT_EQ(ast::ObtieneProximoNroAsiento(5, 2008), std::nullopt);   // a failure, not entry 0
    cajas.answer(vb::kAbort, QStringLiteral("(13)"));
    EXPECT_EQ(ast::ObtieneProximoNroAsiento(QStringLiteral("5 OR 1=1"), 2008), std::nullopt);
}

// ---- voucher books ----

class TalonariosTest : public DemoNumeracionTest {
protected:
    void Carga() override {
        Ejecuta({Libro("FC", 1, "A", "1", "1", "500", "0"),
                 Libro("FC", 2, "A", "1", "1", "1000", "0", "VenceA, B_SUC_DEFAULT, B_NRO_DESDE, B_NRO_HASTA",
                       "'31/12/2008', 1, 1, 1000"),
                 Libro("NC", 1, "A", "1", "1", "500", "0"), Libro("ND", 1, "A", "1", "0", "0", "0"),
                 Libro("EXT", 1, "A", "1", "1", "10", "0", "EXTERNO", "'SI'"),
                 Libro("CT", 1, "A", "1", "1", "1000", "41", "SISTEMA", "'Contable'"),
                 QStringLiteral("INSERT INTO TA_Comprobantes (CODIGO, SISTEMA, TALONARIO, X_SUC_DEFAULT, X_NRO_DESDE, "
                                "X_NRO_HASTA, X_ULTIMO_NRO) VALUES ('TQ', 'STOCK', 1, 1, 1, 100, 3)"),
                 Clave("NUM_NCC", "FCC"), Clave("NUM_NDC", " ")});
    }
};

TEST_F(TalonariosTest, ValidationAgainstTheBooks) {
    EXPECT_EQ(ast::ObtieneTCNumeracion("NCC").value(), QStringLiteral("FCC"));
    EXPECT_EQ(ast::ObtieneTCNumeracion("NDC").value(), QStringLiteral("NDC"));   // blank setting
    EXPECT_EQ(ast::ObtieneTCNumeracion("FCC").value(), QStringLiteral("FCC"));   // none

    const QString invalida = QStringLiteral(" La letra Informada no es Valida, la misma debe ser A,B,C,E,R,X,M");
    const struct {
        const char *tc, *letra, *numero, *fecha;
        int talonarioAntes;
        bool ok;
        const char* letraDespues;
        int talonarioDespues;
        QString mensaje;
    } casos[] = {
        {"FC", "A", "300", "", 0, true, "A", 2, {}},   // the last book holding the number wins
        {"FC", "b", "300", "31/12/2008", 0, true, "b", 2, {}},
        {"FC", "", "300", "", 2, true, "X", 2, {}},
        {"FC", "Q", "300", "", 5, false, "Q", 5, invalida},
        {"FC", "A,B", "300", "", 5, false, "A,B", 5, invalida},   // one letter only
        {"EXT", "A", "99", "", 7, true, "A", 7, {}},
        {"FC", "A", "300", "01/01/2009", 0, false, "A", 2,
         QStringLiteral("El rango de numeracion del comprobante FC Control nro: 2 se encuenta vencida...! Debe dar de "
                        "alta un nuevo talonario para el comprobante FC") + kCierre},
        {"NC", "A", "501", "", 1, false, "A", 1,
         QStringLiteral("\rEl Número de comprobante (501) no respeta el parametro NRO HASTA del comprobante (500) , Nro "
                        "de Control: 1") + kCierre},
        {"ND", "A", "00000000", "", 0, false, "A", 1, kCierre},   // open book that may not renumber
        {"XX", "A", "5", "", 0, false, "A", 0, QStringLiteral("Debe configurar la numeracióN de Comprobantes")},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(std::string(c.tc) + " " + c.letra + " " + c.numero + " " + c.fecha);
        ast::TalonarioActual = c.talonarioAntes;
        QString letra = QString::fromUtf8(c.letra), mensaje;
        EXPECT_EQ(ast::ValidaNumeracionComprobante(c.tc, "0001", c.numero, letra, mensaje, c.fecha).value(), c.ok);
        EXPECT_EQ(letra, QString::fromUtf8(c.letraDespues));
        EXPECT_EQ(ast::TalonarioActual, c.talonarioDespues);
        EXPECT_EQ(mensaje, c.mensaje);
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

    letra.clear();   // the input-discharge voucher's book: no control row, nothing written
    EXPECT_TRUE(ast::ActualizaNumeracionComprobante("PE", "STOCK", "0001", " 8", letra, true, sentencia));
    EXPECT_EQ(letra, QStringLiteral("X"));
    EXPECT_EQ(sentencia, QStringLiteral(" UPDATE V_TA_CPTE SET X_ULTIMO_NRO =  8 WHERE CODIGO = 'PE  ' AND TALONARIO=1"));
    EXPECT_EQ(Valor("SELECT X_ULTIMO_NRO FROM V_TA_CPTE WHERE CODIGO = 'PE'").toLong(), 0);

    cajas.answer(vb::kOk, QStringLiteral("Error en grabación del Comprobante, no se ha encontrado el comprobante "
                                         "configurado"));
    sentencia = QStringLiteral("previa");
    EXPECT_FALSE(ast::ActualizaNumeracionComprobante("ZZ", "STOCK", "0001", " 5", letra, true, sentencia));
    EXPECT_EQ(sentencia, QStringLiteral("previa"));
    EXPECT_EQ(cajas.shown().at(0).title, QStringLiteral("ATENCION"));
}

TEST_F(TalonariosTest, UpdateInDirectModeWritesTheBookRow) {
    vb::SetClock([] { return QDateTime(QDate(2008, 3, 5), QTime(14, 7)); });
    QString letra = QStringLiteral("X"), sentencia;
    EXPECT_TRUE(ast::ActualizaNumeracionComprobante("IR", "STOCK", "0001", " 8", letra, false, sentencia));
    EXPECT_TRUE(ast::ActualizaNumeracionComprobante("IR", "STOCK", "0001", " 5", letra, false, sentencia));
    EXPECT_EQ(Valor("SELECT X_ULTIMO_NRO FROM V_TA_CPTE WHERE CODIGO = 'IR'").toLong(), 8);
    EXPECT_EQ(vb::CDate(Valor("SELECT fechahora_modificacion FROM V_TA_CPTE WHERE CODIGO = 'IR'")).toQDateTime(),
              QDateTime(QDate(2008, 3, 5), QTime(14, 7)));
    ast::TalonarioActual = 1;   // a book only in TA_Comprobantes: written without comparing
    EXPECT_TRUE(ast::ActualizaNumeracionComprobante("TQ", "STOCK", "0001", " 2", letra, false, sentencia));
    EXPECT_EQ(Valor("SELECT X_ULTIMO_NRO FROM TA_Comprobantes WHERE CODIGO = 'TQ'").toLong(), 2);
    EXPECT_TRUE(sentencia.isEmpty());
    vb::SetClock({});
}

// Another station writes the IR book's row after the update read it and before it writes it:
// the write finds the row changed and fails inside its step. PoneAtras (the mend before a Retry)
// gives the row back the value the update read.
class OtraEstacionCambiaElLibro : public CuentaLlamadas {
public:
    void OpenRecordset(ado::Recordset& rs, const QString& sql, const ado::ConnectionPtr& cnn, int cursor, int bloqueo,
                       long opciones) override {
        CuentaLlamadas::OpenRecordset(rs, sql, cnn, cursor, bloqueo, opciones);
        if (cambiado || !sql.contains(QStringLiteral("'IR  ' AND TALONARIO ="))) return;
        // At the first value the update reads of the row it holds.
        rs.setValueHook([this, conexion = std::weak_ptr<ado::Connection>(cnn)](const ado::FieldInfo&, const vb::Variant& v) {
            if (!cambiado) {
                cambiado = true;
                conexion.lock()->Execute(
                    QStringLiteral("UPDATE V_TA_CPTE SET fechahora_modificacion = GETDATE() WHERE CODIGO = 'IR'"));
            }
            return v;
        });
    }
    static void PoneAtras() {
        data::gDBPrincipal().gCnn()->Execute(
            QStringLiteral("UPDATE V_TA_CPTE SET fechahora_modificacion = NULL WHERE CODIGO = 'IR'"));
    }
    bool cambiado = false;
};

// The book's write refused once (the row changed under it). Retried once the row is back, the
// book moves once, with the time of the write; passed over or left, it stays as it was and the
// update says so. The operator is asked once either way.
TEST_F(TalonariosTest, AWriteRefusedOnceMovesTheBookOnceOrNotAtAll) {
    vb::SetClock([] { return QDateTime(QDate(2008, 3, 5), QTime(14, 7)); });
    for (const int respuesta : {vb::kRetry, vb::kIgnore, vb::kAbort}) {
        SCOPED_TRACE(testing::Message() << "answer " << respuesta);
        Ejecuta({"UPDATE V_TA_CPTE SET X_ULTIMO_NRO = 0, fechahora_modificacion = NULL WHERE CODIGO = 'IR'"});
        auto otra = std::make_shared<OtraEstacionCambiaElLibro>();
        data::gDBPrincipal().setConnectionCalls(otra);
        testsupport::Responde responde(respuesta, OtraEstacionCambiaElLibro::PoneAtras);
        QString letra = QStringLiteral("X"), sentencia;
        const bool movido = ast::ActualizaNumeracionComprobante("IR", "STOCK", "0001", " 8", letra, false, sentencia);
        data::gDBPrincipal().setConnectionCalls(llamadas);
        EXPECT_TRUE(otra->cambiado);
        EXPECT_EQ(responde.preguntas, 1) << responde.cajas.join(QStringLiteral(" / ")).toStdString();
        EXPECT_EQ(movido, respuesta == vb::kRetry);
        EXPECT_EQ(Valor("SELECT X_ULTIMO_NRO FROM V_TA_CPTE WHERE CODIGO = 'IR'").toLong(), movido ? 8 : 0);
        if (movido) {
            EXPECT_EQ(vb::CDate(Valor("SELECT fechahora_modificacion FROM V_TA_CPTE WHERE CODIGO = 'IR'")).toQDateTime(),
                      QDateTime(QDate(2008, 3, 5), QTime(14, 7)));
        }
    }
    vb::SetClock({});
}

TEST_F(TalonariosTest, BookChoice) {
    Ejecuta({Libro("L1", 1, "A,B", "2", "1", "100", "41"),
             Libro("SU", 1, "A", "1", "1", "100", "5"), Libro("SU", 2, "A", "3", "1", "100", "0"),
             Libro("UN", 1, "A", "1", "1", "100", "9", "UNEGOCIO", "'A002'"),
             Libro("UN", 2, "A", "1", "1", "100", "12", "UNEGOCIO, Modificanumeracion", "'A001', 1"),
             Libro("US", 1, "A", "1", "1", "100", "100"), Libro("US", 2, "A", "1", "1", "100", "NULL"),
             Libro("VE", 1, "A", "1", "1", "100", "3", "VenceA", "'31/12/2008'"), Libro("VE", 2, "A", "1", "1", "5", "5"),
             Libro("VA", 1, "A", "1", "1", "100", "3", "VenceA", "'31/12/2008'")});
    const QString agotados = QStringLiteral("Todos los talonarios del comprobante %1 se encuentran utilizados, debe dar "
                                            "de alta un nuevo talonario para el comprobante %1");
    const struct {
        const char *tc, *sucursal, *numero, *letra, *fecha, *unidad;                 // asked
        const char *sucursalDespues, *numeroDespues, *letraDespues, *hastaDespues;  // given
        int talonario;   // TalonarioActual afterwards (set to 99 before)
        bool modifica, aviso;
    } casos[] = {
        {"L1", "0001", "", " ", "", "", "0002", "00000041", "A", "00000100", 1, false, false},
        {"SU", "*0003", "", "A", "", "", "0003", "00000001", "A", "00000100", 2, false, false},
        {"SU", "*0009", "", "A", "", "", "0001", "00000005", "A", "00000100", 1, false, false},
        {"UN", "0001", "", "A", "", "A001", "0001", "00000012", "A", "00000100", 2, true, false},
        {"UN", "0001", "", "A", "", "A009", "0001", "00000009", "A", "00000100", 1, false, false},
        {"NB", "0007", "", "A", "", "", "0001", "00000001", "X", "99999999", 99, false, false},   // no book at all
        {"US", "0005", "", "A", "", "", "0005", "00000001", "A", "99999999", 99, false, true},
        {"VE", "0005", "00000077", "A", "01/01/2009", "", "0005", "00000077", "A", "99999999", 99, false, true},
        {"VA", "0005", "00000077", "A", "01/01/2009", "", "0005", "00000077", "A", "99999999", 99, false, false},
        {"VA", "0005", "", "A", "31/12/2008", "", "0001", "00000003", "A", "00000100", 1, false, false},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(std::string(c.tc) + " " + c.sucursal + " " + c.fecha + " " + c.unidad);
        if (c.aviso) cajas.answer(vb::kOk, agotados.arg(QString::fromLatin1(c.tc)));
        ast::TalonarioActual = 99;
        QString suc = c.sucursal, nro = c.numero, letra = c.letra, hasta = QStringLiteral("99999999");
        bool modifica = false;
        EXPECT_TRUE(ast::Obtener_Nro_Comprobante_Contable(c.tc, suc, nro, letra, modifica, c.fecha, c.unidad, hasta));
        EXPECT_EQ(QStringList({suc, nro, letra, hasta}),
                  QStringList({c.sucursalDespues, c.numeroDespues, c.letraDespues, c.hastaDespues}));
        EXPECT_EQ(ast::TalonarioActual, c.talonario);
        EXPECT_EQ(modifica, c.modifica);
        EXPECT_TRUE(cajas.exhausted());
    }
    EXPECT_EQ(cajas.shown().size(), 2u);   // once per call whose books are all used up
}

// ---- voucher numbers ----

class NumeracionTest : public DemoNumeracionTest {
protected:
    void Carga() override {
        Ejecuta({QStringLiteral("UPDATE V_TA_CPTE SET X_ULTIMO_NRO = 41 WHERE CODIGO IN ('IR', 'TK')"),
                 Libro("FC", 1, "A", "1", "1", "1000", "41"), Libro("CBFP", 1, "A", "1", "1", "1000", "41"),
                 Libro("OC", 1, "A", "1", "1", "1000", "41"), Libro("VJ", 1, "X", "1", "1", "1000", "41")});
    }
    // Obtener_Nro_Comprobante for branch 0001; the number proposed, or "-" when there is none.
    static QString Propone(const QString& tc, const QString& letra, bool controla = true) {
        QString sucursal = QStringLiteral("0001"), numero, l = letra;
        bool modifica = false;
        return ast::Obtener_Nro_Comprobante(tc, sucursal, numero, l, modifica, controla) ? numero : QStringLiteral("-");
    }
};

TEST_F(NumeracionTest, TheProposalMovesPastWhatIsStored) {
    const auto compra = [](const char* nro) {
        return QStringLiteral("INSERT INTO C_MV_CPTE (TC, IDCOMPROBANTE, SUCURSAL, NUMERO, LETRA) VALUES "
                              "('OC', '0001%1A', '0001', '%1', 'A')").arg(QLatin1String(nro));
    };
    Ejecuta({Stock("IR", "000100000041X"), Stock("IR", "000100000045X"), Stock("TK", "000100000041X"),
             QStringLiteral("INSERT INTO MV_VIAJES (TC, IDCOMPROBANTE) VALUES ('VJ', '000100000041X')"),
             Asiento("FC", "00000041", "A", 5, 1), Asiento("FC", "00000050", "A", 5, 2),
             Asiento("CBFP", "00000041", "A", 5, 3), Asiento("CBFP", "00000050", "A", 5, 4),
             QStringLiteral("INSERT INTO V_MV_CPTE (TC, IDCOMPROBANTE) VALUES ('CBFP', '000100000051A')"),
             compra("00000041"), compra("00000044")});
    // type, letter, number: the book's 41 moved past the stored vouchers of the type's own table
    const char* const antes[][3] = {{"IR", "X", "00000046"},   {"ir", "X", "00000046"}, {"VJ", "X", "00000042"},
                                    {"TK", "X", "00000041"},   {"FC", "A", "00000051"}, {"CBFP", "A", "00000051"},
                                    {"OC", "A", "00000045"}};
    for (const auto& c : antes) EXPECT_EQ(Propone(c[0], c[1]), QLatin1String(c[2])) << c[0];
    EXPECT_EQ(Propone("IR", "X", false), QStringLiteral("00000041"));   // the book's number, stored or not

    Ejecuta({QStringLiteral("INSERT INTO V_MV_CPTE (TC, IDCOMPROBANTE) VALUES ('CBFP', '000100000052A')"),
             QStringLiteral("DELETE FROM MV_ASIENTOS WHERE TC = 'FC' AND NUMERO = '00000041'"),
             QStringLiteral("DELETE FROM C_MV_CPTE WHERE NUMERO = '00000041'"),
             QStringLiteral("DELETE FROM V_MV_STOCK WHERE TC = 'IR'"), Stock("IR", "000100000040X")});
    const char* const despues[][3] = {
        {"CBFP", "A", "00000053"}, {"FC", "A", "00000041"}, {"OC", "A", "00000041"}, {"IR", "X", "00000041"}};
    for (const auto& c : despues) EXPECT_EQ(Propone(c[0], c[1]), QLatin1String(c[2])) << c[0];
}

TEST_F(NumeracionTest, OtherTypesDropTheControlRowOfTheirNumberAndAnEmptyTypeTouchesNothing) {
    Ejecuta({QStringLiteral("INSERT INTO V_MV_CTROL_CPTE (TC, SUCURSAL, NUMERO, LETRA) VALUES "
                            "('PE', '0001', '00000001', 'X'), ('PE', '0001', '00000002', 'X')")});
    EXPECT_EQ(Propone("PE", "X"), QStringLiteral("00000001"));
    EXPECT_EQ(Valor("SELECT NUMERO FROM V_MV_CTROL_CPTE").text(), QStringLiteral("00000002"));
    EXPECT_EQ(Valor("SELECT COUNT(*) FROM V_MV_CTROL_CPTE").toLong(), 1);

    // The delete refused: retried, the row goes; passed over, it stays and the number stands (no
    // number comes from the control rows); left, no number.
    const auto borrado = [](const QString& sql) { return sql.contains(QStringLiteral("DELETE V_MV_CTROL_CPTE"), Qt::CaseInsensitive); };
    const struct { int respuesta; const char* numero; long filas; } respuestas[] = {
        {vb::kRetry, "00000001", 1}, {vb::kIgnore, "00000001", 2}, {vb::kAbort, "-", 2}};
    for (const auto& r : respuestas) {
        Ejecuta({QStringLiteral("DELETE FROM V_MV_CTROL_CPTE"),
                 QStringLiteral("INSERT INTO V_MV_CTROL_CPTE (TC, SUCURSAL, NUMERO, LETRA) VALUES "
                                "('PE', '0001', '00000001', 'X'), ('PE', '0001', '00000002', 'X')")});
        data::gDBPrincipal().setConnectionCalls(
            std::make_shared<testsupport::EnesimaSentencia>(borrado, 1, testsupport::Rechaza(QStringLiteral("rechazado"))));
        cajas.answer(r.respuesta, QStringLiteral("rechazado"));
        EXPECT_EQ(Propone("PE", "X"), QLatin1String(r.numero)) << r.respuesta;
        data::gDBPrincipal().setConnectionCalls(llamadas);
        EXPECT_EQ(Valor("SELECT COUNT(*) FROM V_MV_CTROL_CPTE").toLong(), r.filas) << r.respuesta;
        EXPECT_TRUE(cajas.exhausted());
    }

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
}

TEST_F(NumeracionTest, StockVoucherNumber) {
    const auto asigna = [](const QString& tc) {
        QString sucursal = QStringLiteral("0001"), letra = QStringLiteral("X");
        return Stock::AsignarNumeroComprobante(tc, sucursal, letra, QStringLiteral("A001")).value_or(QStringLiteral("-"));
    };
    Ejecuta({QStringLiteral("UPDATE V_TA_CPTE SET X_ULTIMO_NRO = 7 WHERE CODIGO = 'PE'")});
    EXPECT_EQ(asigna("PE"), QStringLiteral("000100000007X"));
    Ejecuta({Stock("PE", "000100000007X"), Stock("PE", "000100000012X")});
    EXPECT_EQ(asigna("PE"), QStringLiteral("000100000013X"));

    // Without a book: the first number of branch 0001, moved past the stored ones.
    Ejecuta({QStringLiteral("DELETE FROM V_TA_CPTE WHERE CODIGO = 'PE'")});
    EXPECT_EQ(asigna("PE"), QStringLiteral("000100000001X"));
    Ejecuta({Stock("PE", "000100000001X")});
    EXPECT_EQ(asigna("PE"), QStringLiteral("000100000013X"));

    Ejecuta({QStringLiteral("DROP TABLE V_MV_STOCK")});
    cajas.answer(vb::kAbort).answer(vb::kAbort, QStringLiteral("Ha ocurrido el Siguiente Error"));
    EXPECT_EQ(asigna("PE"), QStringLiteral("-"));   // a failure is no number
}

TEST(LetraComprobante, FromTheTwoTaxConditions) {
    const char* const casos[][3] = {{"1", "1", "A"}, {"1", "3", "B"}, {"1", "", "A"}, {"6", "1", "C"}, {"", "1", "C"}};
    for (const auto& c : casos) EXPECT_EQ(ast::ObtieneLetraComprobante(c[0], c[1]), QLatin1String(c[2])) << c[0] << c[1];
}

}  // namespace
}  // namespace postingtest
