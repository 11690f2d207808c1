// The audit row of a voucher action and the queries around one voucher, on the demo database:
// delivery note RM 000100000050R (sugar on lines of 10 and 5, coffee 6) with an invoice of
// 850.50, an annulled one and a credit note without amount issued from it; RM 000100000051R
// whose only invoice is annulled; charges of 150.25 and 49.75 on account C0001.
#include "vouchers_db.h"

#include "core/mod_global.h"
#include "data/db_dll.h"
#include "platform/ui/flex_grid.h"
#include "platform/ui/text_box.h"
#include "platform/ui/text_measurer.h"
#include "platform/utillib/info_estacion.h"
#include "platform/vb/dates.h"
#include "platform/vb/format.h"
#include "posting/cls_cmn_cptes.h"
#include "posting/columnas_articulos.h"
#include "vouchers/accion_comprobante.h"

#include <QDateTime>

namespace {

using voucherstest::VouchersTest;

TEST_F(VouchersTest, AuditRowPerActionWithQuotesAndAnyComplement) {
    // A year a two-digit form would put in the wrong century.
    vb::SetClock([] { return QDateTime(QDate(2051, 5, 7), QTime(9, 5, 31)); });
    core::gUsuarioLogeado = QStringLiteral("d'Artagnan");
    posting::ClsCmnCptes cpte;
    struct Caso {
        bool alta, modificacion;
        const char *complemento, *asiento, *fila;
    } casos[] = {
        {true, true, "0", "", "0|A|0"}, {false, true, "", "1532", "0|M|1532"},
        {false, false, " 7 ", "x", "7|B|0"}, {true, false, "2,5", "12", "0|A|12"},
    };
    QStringList esperadas;
    for (const Caso& c : casos) {
        cpte.ActualizaBuchon(QStringLiteral(" FC"), QStringLiteral("000100000123A"), QString::fromLatin1(c.complemento),
                             c.alta, c.modificacion, false, nullptr, QString::fromLatin1(c.asiento));
        esperadas << QString::fromLatin1(c.fila);
    }
    // Handed back instead of run: nothing is written, whether the caller takes the statement or not.
    QString sql;
    cpte.ActualizaBuchon(QStringLiteral("RM"), QStringLiteral("000100000050R"), QStringLiteral("0"), true, false, true, &sql);
    cpte.ActualizaBuchon(QStringLiteral("RM"), QStringLiteral("000100000050R"), QStringLiteral("0"), true, false);
    EXPECT_TRUE(sql.startsWith(" INSERT INTO V_MV_CPTEACCIONES (TC,IdComprobante,IdComplemento,Tipo_accion,FECHAHORA,"
                               "Usuario,PC,SYSTEMUSER,NUMEROASIENTO) VALUES ('RM  ','000100000050R',0,'A',"
                               "'07/05/2051 09:05','d''Artagnan','"));
    // A workstation with a quote in its name, run by the caller.
    vouchers::AccionComprobante a{"NC", "000100000007A", "", false, false, vb::Now(), "O'Neill", "CAJA'S-01", ""};
    data::gDBPrincipal().EjecutaConsultaSQL(vouchers::SentenciaAccionComprobante(a));
    esperadas << QStringLiteral("0|B|0");

    QStringList filas;
    const QString pc = core::gInfoEstacion().NombrePC();
    for (const auto& f : testsupport::Rows(data::gDBPrincipal().gCnn(), "SELECT * FROM V_MV_CPTEACCIONES")) {
        filas << f[2].text() + u'|' + f[3].text() + u'|' + f[8].text();
        EXPECT_EQ(vb::Format(f[4], QStringLiteral("dd/mm/yyyy hh:mm")), QStringLiteral("07/05/2051 09:05"));
        EXPECT_EQ(f[5].text() + u'|' + f[6].text() + u'|' + f[7].text(),
                  filas.size() <= 4 ? "d'Artagnan|" + pc + u'|' : QStringLiteral("O'Neill|CAJA'S-01|"));
    }
    EXPECT_EQ(filas, esperadas);
}

TEST_F(VouchersTest, RelatedVouchersTheirAmountAndCharges) {
    posting::ClsCmnCptes cpte;
    struct Caso {
        const char *tc, *numero, *complemento;
        bool anulados, relacionado;
    } casos[] = {
        {"RM", "000100000050R", "0", false, true},  {" rm ", " 000100000050R ", "0", false, true},
        {"RM", "000100000050R", "1", true, false},  {"RM", "000100000051R", "0", false, false},
        {"RM", "000100000051R", "0", true, true},   {"FC", "000100000120A", "0", true, false},
        {"RM", "0001'0000050R", "0'", true, false},   // quotes are values, not SQL
    };
    for (const Caso& c : casos)
        EXPECT_EQ(cpte.EstaRelacionadoAOtroComprobante(c.tc, c.numero, c.complemento, c.anulados), c.relacionado)
            << c.tc << ' ' << c.numero << ' ' << c.complemento;
    // The annulled invoice does not add; the credit note without an amount adds 0.
    EXPECT_EQ(cpte.ObtieneImporteCptesAsociados("RM", "000100000050R").toString(), QStringLiteral("850.5"));
    EXPECT_EQ(cpte.ObtieneImporteCptesAsociados("RM", "000100000051R").toString(), QStringLiteral("0"));
    EXPECT_EQ(cpte.ImporteCargosReales(" C0001 ").toString(), QStringLiteral("200"));
    EXPECT_EQ(cpte.ImporteCargosReales("C'0002").toString(), QStringLiteral("0"));

    struct Ventana : posting::VentanaCargosReales {
        QStringList llamadas;
        void SetCliente(const QString& c) override { llamadas << "Cliente=" + c; }
        void SetMatricula(const QString& m) override { llamadas << "Matricula=" + m; }
        void ShowModal() override { llamadas << QStringLiteral("Show"); }
    } ventana;
    cpte.ControlDeCargosReales(ventana, "C0001");
    EXPECT_EQ(ventana.llamadas, (QStringList{"Cliente=C0001", "Matricula=", "Show"}));
    EXPECT_TRUE(prompter.shown().empty());
}

// Deliveries out of the delivery note, posted as the program posts them: a "VS" voucher whose
// stock movements name RM 000100000050R as their origin.
class RepartoTest : public VouchersTest {
protected:
    QStringList Filas() const override { return {"UPDATE TA_CONFIGURACION SET VALOR = 'NO' WHERE CLAVE = 'AsientosXStock'"}; }
    void Entrega(const char* numero, const char* cantidad) {
        core::gUNegocio = QStringLiteral("A001");
        ui::FlexGrid g;
        ui::TextBox editor(QStringLiteral("TxtEdit2"));
        const ui::FixedWidthMeasurer medida(100);
        posting::ClsCmnCptes cpte;
        cpte.InicializaGrids(nullptr, &g, nullptr, nullptr, &editor, nullptr, &medida, QStringLiteral("VS"));
        using namespace posting::art;
        for (const auto& [col, texto] : {std::pair<int, const char*>{IdArticulo, "000123"}, {IdUnidad, "UN"},
                                         {IdDeposito, "A001"}, {Cantidad, cantidad}, {PideSerie, "0"}, {PideTalle, "0"}})
            g.SetTextMatrix(1, col, texto);
        bool hayError = true;
        cpte.ActualizaStock(g, "VS", numero, "0", "13/03/2008", "A001", "", "", "RM", "000100000050R", false,
                            "PorDefault", false, nullptr, &hayError);
        ASSERT_FALSE(hayError);
    }
    double Pendiente(const char* articulo, const char* tc = "RM", const char* numero = "000100000050R") {
        return posting::ClsCmnCptes().CantRepartoPend(tc, numero, articulo);
    }
};

TEST_F(RepartoTest, PendingIsEveryLineLessEveryDelivery) {
    EXPECT_EQ(Pendiente("000123"), 15);   // 10 + 5, nothing delivered
    EXPECT_EQ(Pendiente(" 000789 "), 6);
    EXPECT_EQ(Pendiente("000456"), 0);    // not on the voucher
    Entrega("000100000061X", "4");
    EXPECT_EQ(Pendiente("000123"), 11);
    EXPECT_EQ(Pendiente("000789"), 6);
    Entrega("000100000062X", "12");
    EXPECT_EQ(Pendiente("000123"), 0);    // more delivered than ordered
    EXPECT_EQ(Pendiente("'", "R'M", "x"), 0);
    EXPECT_TRUE(prompter.shown().empty());
}

}  // namespace
