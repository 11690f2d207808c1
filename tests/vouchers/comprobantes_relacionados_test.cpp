// The audit row and the queries around one voucher, on the demo's delivery notes RM ...50R and
// RM ...51R, the vouchers issued from them and the charges of account C0001.
#include "vouchers_db.h"

#include "platform/utillib/info_estacion.h"
#include "platform/vb/format.h"
#include "posting/columnas_articulos.h"
#include "vouchers/accion_comprobante.h"

#include <QDateTime>

namespace {

using namespace voucherstest;

TEST_F(VouchersTest, AuditRowPerActionWithQuotesAndAnyComplement) {
    vb::SetClock([] { return QDateTime(QDate(2051, 5, 7), QTime(9, 5, 31)); });   // not "51": 1951
    core::gUsuarioLogeado = QStringLiteral("d'Artagnan");
    posting::ClsCmnCptes cpte;
    cpte.ActualizaBuchon(" FC", "000100000123A", "0", true, true, false);
    cpte.ActualizaBuchon("FC", "000100000123A", "", false, true, false, nullptr, "1532");
    cpte.ActualizaBuchon("FC", "000100000123A", " 7 ", false, false, false, nullptr, "1e300");   // no overflow: 0
    cpte.ActualizaBuchon("FC", "000100000123A", "2,5", true, false, false, nullptr, "12");
    prompter.answer(1, "String or binary data would be truncated");   // a number too long: told, nothing written
    cpte.ActualizaBuchon("FC", "0001000001234AB", "0", true, false, false);
    QString sql;   // handed back instead of run: nothing written, whether the caller takes it or not
    cpte.ActualizaBuchon("RM", "000100000050R", "0", true, false, true, &sql, "12.5");
    cpte.ActualizaBuchon("RM", "000100000050R", "0", true, false);
    // A workstation with a quote in its name, the statement run by the caller.
    vouchers::AccionComprobante a{"NC", "000100000007A", "", false, false, vb::Now(), "O'Neill", "CAJA'S-01", ""};
    data::gDBPrincipal().EjecutaConsultaSQL(vouchers::SentenciaAccionComprobante(a));
    EXPECT_TRUE(sql.startsWith(" INSERT INTO V_MV_CPTEACCIONES (TC,IdComprobante,IdComplemento,Tipo_accion,FECHAHORA,"
                               "Usuario,PC,SYSTEMUSER,NUMEROASIENTO) VALUES ('RM  ','000100000050R',0,'A',"));
    EXPECT_TRUE(sql.endsWith(",'',0)"));   // a whole number, as the column

    const QString pc = core::gInfoEstacion().NombrePC();
    QStringList filas;
    for (const auto& f : testsupport::Rows(data::gDBPrincipal().gCnn(), "SELECT * FROM V_MV_CPTEACCIONES")) {
        filas << QStringList{f[0].text(), f[2].text(), f[3].text(), vb::Format(f[4], "dd/mm/yyyy hh:mm"), f[5].text(),
                             f[6].text() == pc ? "pc" : f[6].text(), f[7].text(), f[8].text()}
                     .join(u'|');
    }
    EXPECT_EQ(filas.join(u' ').toStdString(),
              "FC  |0|A|07/05/2051 09:05|d'Artagnan|pc||0 FC  |0|M|07/05/2051 09:05|d'Artagnan|pc||1532 "
              "FC  |7|B|07/05/2051 09:05|d'Artagnan|pc||0 FC  |0|A|07/05/2051 09:05|d'Artagnan|pc||12 "
              "NC  |0|B|07/05/2051 09:05|O'Neill|CAJA'S-01||0");
}

TEST_F(VouchersTest, RelatedVouchersTheirAmountAndCharges) {
    posting::ClsCmnCptes cpte;
    for (const auto& [tc, numero, complemento, anulados, relacionado] :
         std::vector<std::tuple<const char*, const char*, const char*, bool, bool>>{
             {" rm ", " 000100000050R ", "0", false, true}, {"RM", "000100000050R", "1", true, false},
             {"RM", "000100000051R", "0", false, false}, {"RM", "000100000051R", "0", true, true},
             {"RM", "0001'0000050R", "0'", true, false}})
        EXPECT_EQ(cpte.EstaRelacionadoAOtroComprobante(tc, numero, complemento, anulados), relacionado) << numero;
    // The annulled invoice does not add; the credit note without an amount adds 0.
    EXPECT_EQ(cpte.ObtieneImporteCptesAsociados("RM", "000100000050R").toString(), QStringLiteral("850.5"));
    EXPECT_EQ(cpte.ObtieneImporteCptesAsociados("RM", "000100000051R").toString(), QStringLiteral("0"));
    EXPECT_EQ(cpte.ImporteCargosReales(" C0001 ").toString(), QStringLiteral("200"));
    EXPECT_EQ(cpte.ImporteCargosReales("C'0002").toString(), QStringLiteral("0"));
    EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(VouchersTest, PendingIsEveryLineLessEveryDelivery) {
    Ejecuta("UPDATE TA_CONFIGURACION SET VALOR = 'NO' WHERE CLAVE = 'AsientosXStock'");
    core::gUNegocio = QStringLiteral("A001");
    auto pendiente = [](const char* art) { return posting::ClsCmnCptes().CantRepartoPend("RM", "000100000050R", art); };
    // Deliveries posted as the program posts them: "VS" vouchers issued from the delivery note.
    auto entrega = [](const char* numero, const char* cantidad) {
        Grillas g(QStringLiteral("VS"));
        using namespace posting::art;
        Llena(g.articulos, {{"000123", "UN", "A001", cantidad, "0", "0"}},
              {IdArticulo, IdUnidad, IdDeposito, Cantidad, PideSerie, PideTalle});
        bool hayError = true;
        posting::ClsCmnCptes().ActualizaStock(g.articulos, "VS", numero, "0", "13/03/2008", "A001", "", "", "RM",
                                              "000100000050R", false, "PorDefault", false, nullptr, &hayError);
        EXPECT_FALSE(hayError);
    };
    EXPECT_EQ(pendiente("000123"), 15);   // 10 + 5, nothing delivered
    EXPECT_EQ(pendiente(" 000789 "), 6);
    entrega("000100000061X", "4");
    EXPECT_EQ(pendiente("000123"), 11);
    EXPECT_EQ(pendiente("000789"), 6);
    entrega("000100000062X", "12");
    EXPECT_EQ(pendiente("000123"), 0);    // more delivered than ordered
    EXPECT_EQ(posting::ClsCmnCptes().CantRepartoPend("R'M", "x", "'"), 0);
    EXPECT_TRUE(prompter.shown().empty());
}

}  // namespace
