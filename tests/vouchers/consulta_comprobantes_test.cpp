// The voucher search driven offscreen through ClsCmnCptes::ConsultaComprobante, on the demo
// database (its delivery notes, work orders, orders, budgets, invoices, purchase vouchers, journal
// vouchers and vouchers sent to third parties), with a goods receipt of purchase order 5 added.
// The statement each search runs is read from a recorder in front of the connection.
#include "data/recording_calls.h"
#include "platform/ui/units.h"
#include "vouchers/frm_cons_comprobantes.h"
#include "vouchers_db.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

using vouchers::FrmConsComprobantes;

class ConsultaComprobantesTest : public voucherstest::VouchersTest {
protected:
    void SetUp() override {
        VouchersTest::SetUp();
        Ejecuta(QStringLiteral("INSERT INTO V_MV_STOCK (TC, IdComprobante, Secuencia, Fecha, IdDeposito, IdArticulo, IdUnidad, "
                               "Cantidad, Tc_Origen, IdComprobante_Origen) VALUES ('IR  ', '000100000077X', 1, '07/03/2008', "
                               "'A001', '000123', 'UN', 24, 'OC  ', '000100000005X')"));
        registro->forward = true;
        data::gDBPrincipal().setConnectionCalls(registro);
        cpte = std::make_unique<posting::ClsCmnCptes>();
    }
    void TearDown() override {
        vouchers::SetDialogosComprobantes(vouchers::DialogosComprobantesDelPrograma());
        VouchersTest::TearDown();
    }
    static void Ajustes(const QStringList& activos) {
        Ejecuta("DELETE FROM TA_CONFIGURACION WHERE CLAVE IN ('UsaRemitoContado', 'EntregaParcialRemito', "
                "'UsaReferenciaPresupuestos')");
        for (const QString& a : activos) Ejecuta("INSERT INTO TA_CONFIGURACION (CLAVE, VALOR) VALUES ('" + a + "', 'si')");
    }
    // What the shown dialog listed: its statement and, per row, the number accepting reads and the
    // row's image index.
    struct Vista {
        QString sentencia;
        QStringList filas;
    };
    // Runs the search for `tc` and `filtro`; `accion` acts on the dialog once it shows.
    Vista Busca(const QString& tc, const vb::Variant& filtro, const std::function<void(FrmConsComprobantes&)>& accion) {
        Vista v;
        // Loading lets pending events run: the dialog is acted on once it shows.
        QTimer espera;
        espera.setInterval(5);
        QObject::connect(&espera, &QTimer::timeout, [&] {
            auto* d = qobject_cast<FrmConsComprobantes*>(QApplication::activeModalWidget());
            if (!d || !d->isVisible()) return;
            espera.stop();
            v.sentencia = d->Sentencia();
            const int k = d->TC == QLatin1String("T3") ? 0 : d->TC == QLatin1String("OC") ? 2 : 1;
            for (int i = 0; i < d->lista()->topLevelItemCount(); ++i)
                v.filas << d->lista()->topLevelItem(i)->text(k) + u'/' + QString::number(d->ImagenFila(i));
            accion(*d);
        });
        espera.start();
        cpte->ConsultaComprobante(tc, respuesta, filtro, &complemento, &proveedor);
        return v;
    }

    std::shared_ptr<datatest::RecordingCalls> registro = std::make_shared<datatest::RecordingCalls>();
    std::unique_ptr<posting::ClsCmnCptes> cpte;
    QString respuesta, complemento = QStringLiteral("-"), proveedor = QStringLiteral("-");
};

const char* const S2 = " SELECT CUENTA , ANULADA, Nombre, APROBADO, TC,IDCOMPROBANTE, ID,FECHA, Importe FROM V_MV_CPTE WHERE TC = '";
const char* const S1 = " SELECT CUENTA , ANULADA, Nombre, APROBADO, TC,IDCOMPROBANTE, ID,FECHA, Importe FROM V_RemitosPendientes WHERE TC = '";
const char* const RMC = " SELECT CUENTA , ANULADA, Nombre, TC,IDCOMPROBANTE, ID,FECHA, Importe FROM C_RemitosPendientes WHERE TC = '";
const char* const OTP = " SELECT CUENTA , ANULADA, Nombre, APROBADO, TC,IDCOMPROBANTE, IDCOMPlemento,ID,FECHA, Importe FROM V_OT_Pendientes WHERE TC = '";
const char* const OT = " SELECT CUENTA , ANULADA, Nombre, APROBADO, TC,IDCOMPROBANTE, IDCOMPlemento , ID,FECHA, Importe FROM V_OT_Pendientes WHERE TC = '";
const char* const PR = " SELECT CUENTA , ANULADA, Nombre, APROBADO, TC,IDCOMPROBANTE, ID,FECHA, Importe, comentarios FROM ";
const char* const OC = " SELECT FECHA, CUENTA , NOMBRE, ANULADA, APROBADO, TC,IDCOMPROBANTE, ID,Importe, comentarios, Garantia FROM C_MV_CPTE  with(nolock) WHERE TC = 'OC  ' AND (APROBADO = 1) AND (FINALIZADO = 0) AND (ANULADA = 0)";
const char* const CPTE = "SELECT * FROM V_MV_CPTE  with(nolock)  WHERE TC = '";
const char* const ASIENTOS = "SELECT * FROM MV_ASIENTOS  with(nolock)  WHERE TC = 'NCPE' AND ";
const char* const DESC = " ORDER BY IDCOMPROBANTE DESC";
// Image indexes: 1 PR, 2 Anulado, 3 Aprobado, 4 FC, 6 ND, 7 OT, 8 Generico, 10 OC, 11 OCG.

TEST_F(ConsultaComprobantesTest, EachModeAndTypeRunsItsStatementListsItsRowsAndHandsBackTheChoice) {
    enum Medio { Boton, Doble, Enter, Cancela, Escape };
    struct Caso {
        const char* tc;
        const char* filtro;
        QStringList ajustes;
        QString sentencia;
        const char* filas;
        int elegida;             // the row selected before accepting
        QList<int> marcadas;     // rows ticked ("OC")
        Medio medio;
        const char *respuesta, *complemento, *proveedor;
    } casos[] = {
        {"RM/PENDIENTES", "", {}, S2 + QString("RM  ' AND FINALIZADA = 0") + DESC,
         "000100000063R/2 000100000062R/8 000100000051R/8 000100000050R/8 000100000002R/8 000100000001R/3", 0, {}, Boton,
         "000100000063R", "0", ""},
        {"rm/pendientes", "CUENTA = 'C0001'", {"UsaRemitoContado"}, S1 + QString("RM  ' AND CUENTA = 'C0001'") + DESC,
         "000100000062R/8 000100000051R/8 000100000050R/8 000100000002R/8 000100000001R/3", 2, {}, Enter, "000100000050R", "0", ""},
        {"RM/PENDIENTES", "", {"UsaRemitoContado"}, S1 + QString("RM  '") + DESC,
         "000100000062R/8 000100000051R/8 000100000050R/8 000100000002R/8 000100000001R/3", 0, {}, Cancela, "", "", ""},
        {"RM/PENDIENTES", "", {"UsaRemitoContado", "EntregaParcialRemito"}, S2 + QString("RM  ' AND FINALIZADA = 0") + DESC,
         "000100000063R/2 000100000062R/8 000100000051R/8 000100000050R/8 000100000002R/8 000100000001R/3", 0, {}, Escape, "",
         "", ""},
        {"RM/PENDIENTES_COMPRAS", "CUENTA = 'P0001'", {}, RMC + QString("RMC ' AND CUENTA = 'P0001'") + DESC,
         "000100004521R/8", 0, {}, Doble, "000100004521R", "", "P0001"},
        {"RM/PENDIENTES_COMPRAS", "", {}, RMC + QString("RMC '") + DESC, "000100004521R/8", 0, {}, Boton, "000100004521R", "", "P0001"},
        {"OT/PENDIENTES", "IdComplemento = 1", {}, OTP + QString("OT  ' AND IdComplemento = 1") + DESC, "000100000010X/7", 0, {},
         Boton, "000100000010X", "1", ""},
        {"OT/PENDIENTES", "", {}, OTP + QString("OT  '") + DESC, "000100000010X/7 000100000010X/3", 0, {}, Enter,
         "000100000010X", "1", ""},
        {"OT", "", {}, OT + QString("OT  ' ") + DESC, "000100000010X/7 000100000010X/3", 1, {}, Doble, "000100000010X", "0", ""},
        {"NP/PENDIENTES", "", {},
         " SELECT CUENTA , ANULADA, Nombre, APROBADO, TC,IDCOMPROBANTE, ID,FECHA, Importe,FechaPreparacion FROM V_MV_CPTE "
         "WHERE TC = 'NP  ' AND FINALIZADA = 0 and anulada = 0" + QString(DESC),
         "000100000021X/8 000100000020X/3", 0, {}, Boton, "000100000021X", "0", ""},
        {"PR/PENDIENTES", "", {}, PR + QString("V_PR_PENDIENTES WHERE TC = 'PR  ' AND APROBADO = 1") + DESC,
         "000100000030X/1", 0, {}, Boton, "000100000030X", "0", ""},
        {"PR/PENDIENTES", "CUENTA = 'C0001'", {},
         PR + QString("V_MV_CPTE WHERE TC = 'PR  ' AND APROBADO = 1 AND CUENTA = 'C0001' AND FINALIZADA = 0") + DESC,
         "000100000032X/2 000100000030X/1", 0, {}, Boton, "000100000032X", "0", ""},
        {"FC/ANTICIPOS", "IDCOMPROBANTE = '000100000130A'", {},
         CPTE + QString("FC  ' AND IDCOMPROBANTE = '000100000130A' ORDER BY  IDCOMPROBANTE DESC, IDCOMPLEMENTO ASC  "),
         "000100000130A/4 000100000130A/4", 1, {}, Boton, "000100000130A", "1", ""},
        {"FP/PENDIENTES", "WHERE CUENTA = 'C0001'", {}, S2 + QString("FP  '  AND CUENTA = 'C0001'  AND FINALIZADA = 0") + DESC,
         "000100000040X/8", 0, {}, Boton, "000100000040X", "0", ""},
        {"OC", " where NOMBRE <> 'Elsewhere S.A.'", {}, OC + QString(" AND NOMBRE <> 'Elsewhere S.A.'") + DESC,
         "000100000006X/10 000100000005X/11", 0, {1, 0}, Boton, "000100000006X,000100000005X", "0", ""},
        {"OC", "", {}, OC + QString(DESC), "000100000006X/10 000100000005X/11", 1, {}, Enter, "000100000005X", "0", ""},
        {"T3", "ID = 99", {}, "SELECT * FROM V_MV_CPTETERCEROS  with(nolock)  ORDER BY ID,IDCOMPROBANTE, IDCOMPLEMENTO", "1/0 2/0",
         1, {}, Boton, "2", "0", ""},
        {"NCPE", "", {}, ASIENTOS + QString("SECUENCIA = 1 ORDER BY SUCURSAL, NUMERO, LETRA DESC"),
         "000100000123A/8 000200000009B/8", 0, {}, Boton, "000100000123A", "", "P0001"},
        {"NCPE", "SUCURSAL = '0001'", {}, ASIENTOS + QString("SUCURSAL = '0001' ORDER BY SUCURSAL, NUMERO, LETRA DESC "),
         "000100000123A/8 000100000123A/8", 1, {}, Boton, "000100000123A", "", "1.1.05"},
        {"FCC", "", {}, "SELECT * FROM C_MV_CPTE  with(nolock)  WHERE TC = 'FCC '" + QString(DESC),
         "000300000012A/2 000200000123A/8 000100004530A/8", 2, {}, Doble, "000100004530A", "", "P0001"},
        {"RM", "", {}, CPTE + QString("RM  ' ORDER BY IDCOMPROBANTE DESC, IDCOMPLEMENTO ASC"),
         "000100000063R/2 000100000062R/8 000100000059R/3 000100000051R/8 000100000050R/8 000100000002R/8 000100000001R/3", 2, {},
         Boton, "000100000059R", "0", ""},
        {"ND", "IMPORTE > 10", {}, CPTE + QString("ND  ' AND IMPORTE > 10 ORDER BY  IDCOMPROBANTE DESC, IDCOMPLEMENTO ASC  "),
         "000100000004A/6", 0, {}, Enter, "000100000004A", "0", ""},
        {"R'M", "", {}, CPTE + QString("R''M ' ORDER BY IDCOMPROBANTE DESC, IDCOMPLEMENTO ASC"), "", 0, {}, Boton, "", "", ""},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(std::string(c.tc) + " / " + c.filtro);
        Ajustes(c.ajustes);
        registro->log.clear();
        respuesta = QStringLiteral("-");
        complemento = proveedor = QStringLiteral("-");
        const Vista v = Busca(QString::fromLatin1(c.tc), vb::Variant(QString::fromLatin1(c.filtro)), [&](FrmConsComprobantes& d) {
            if (d.lista()->topLevelItemCount() > c.elegida) d.lista()->setCurrentItem(d.lista()->topLevelItem(c.elegida));
            for (int i : c.marcadas) d.lista()->topLevelItem(i)->setCheckState(0, Qt::Checked);
            switch (c.medio) {
            case Boton: d.aceptar()->click(); break;
            case Doble:
                QTest::mouseDClick(d.lista()->viewport(), Qt::LeftButton, {},
                                   d.lista()->visualItemRect(d.lista()->topLevelItem(c.elegida)).center());
                break;
            case Enter: QTest::keyClick(d.lista(), Qt::Key_Return); break;
            case Cancela: d.cancelar()->click(); break;
            case Escape: QTest::keyClick(&d, Qt::Key_Escape); break;
            }
        });
        EXPECT_EQ(v.sentencia.toStdString(), c.sentencia.toStdString());
        EXPECT_TRUE(registro->texts(QStringLiteral("OPEN ")).contains(c.sentencia));
        EXPECT_EQ(v.filas.join(u' ').toStdString(), c.filas);
        EXPECT_EQ((respuesta + u'|' + complemento + u'|' + proveedor).toStdString(),
                  std::string(c.respuesta) + '|' + c.complemento + '|' + c.proveedor);
    }
    EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty());   // every dialog released
}

TEST_F(ConsultaComprobantesTest, CellsAndCaptionsOfEachType) {
    struct Caso {
        const char* tc;
        bool referencia;
        const char *titulos, *celdas;   // of the first row
    } casos[] = {
        {"RM", true, "FECHA|COMPROBANTE|ID|NOMBRE|IMPORTE", "11/03/2008|000100000063R||Juana Pereyra|45.5"},
        {"FC", false, "FECHA|COMPROBANTE|ID|NOMBRE|IMPORTE", "12/03/2008|000100000130A|0|Club Atlético Sur|968"},
        {"FCC", false, "FECHA|COMPROBANTE|PROVEEDOR|NOMBRE|IMPORTE", "07/03/2008|000300000012A|P0002|Café del Señor|2541"},
        {"NCPE", false, "FECHA|COMPROBANTE|PROVEEDOR|NOMBRE|CONCEPTO|IMPORTE",
         "07/03/2008|000100000123A|P0001|Distribuidora Cañuelas S.R.L.|Bonificación por volumen|350"},
        {"PR", false, "FECHA|COMPROBANTE|NOMBRE|ID|IMPORTE", "09/03/2008|000100000032X|Almacén O'Higgins|Reemplazado por el 30|700"},
        {"PR", true, "FECHA|COMPROBANTE|NOMBRE|Referencia|IMPORTE", "09/03/2008|000100000032X|Almacén O'Higgins|Reemplazado por el 30|700"},
        {"T3", false, "Nº Int.|FECHA|COMPROBANTE|ID|FH Envio|FH Recep", "1|01/03/2008|000100000009X|0|02/03/2008|10/03/2008"},
        {"OC", false, "FECHA|PROVEEDOR|COMPROBANTE|IMPORTE|COMENTARIOS|Inf. Recepción",
         "08/03/2008|P0002 Café del Señor|000100000006X|1926|Café para la canasta|"},
        {"OC", false, nullptr, "05/03/2008|P0001 Distribuidora Cañuelas S.R.L.|000100000005X|4550|Entregar en el depósito central|000100000077X"},
        {"AJ", false, "FECHA|COMPROBANTE|CUENTA|NOMBRE|IMPORTE", "13/03/2008|000100000001A||Ajuste de saldo|10"},   // any other type
    };
    Ejecuta("INSERT INTO V_MV_CPTE (TC, IDCOMPROBANTE, FECHA, CUENTA, NOMBRE, IMPORTE) VALUES ('AJ', '000100000001A', "
            "'13/03/2008', 'C0001', 'Ajuste de saldo', 10)");
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.tc);
        Ajustes(c.referencia ? QStringList{"UsaReferenciaPresupuestos"} : QStringList{});
        const int fila = c.titulos ? 0 : 1;
        Busca(QString::fromLatin1(c.tc), vb::Variant(), [&](FrmConsComprobantes& d) {
            QStringList titulos, celdas;
            for (int k = 0; k < d.lista()->columnCount(); ++k) {
                titulos << d.lista()->headerItem()->text(k);
                celdas << d.lista()->topLevelItem(fila)->text(k);
            }
            if (c.titulos) {
                EXPECT_EQ(titulos.join(u'|').toStdString(), c.titulos);
            }
            EXPECT_EQ(celdas.join(u'|').toStdString(), c.celdas);
            // Widths as runs of capital X in the window's font: 13 for FECHA, 15 for COMPROBANTE.
            const ui::WidgetTextMeasurer medida(&d);
            EXPECT_EQ(d.lista()->header()->sectionSize(0), ui::PixelsFromTwips(medida.TextWidth(QString(c.tc == QString("T3") ? 7 : 13, u'X'))));
            d.cancelar()->click();
        });
    }
}

TEST_F(ConsultaComprobantesTest, HeaderClicksSortDatesAndAmountsByValueAndRowTextsStayUnedited) {
    Busca(QStringLiteral("RM"), vb::Variant(), [&](FrmConsComprobantes& d) {
        QHeaderView* h = d.lista()->header();
        const auto clic = [&](int k) {
            QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, QPoint(h->sectionViewportPosition(k) + 4, h->height() / 2));
        };
        const auto columna = [&](int k) {
            QStringList c;
            for (int i = 0; i < d.lista()->topLevelItemCount(); ++i) c << d.lista()->topLevelItem(i)->text(k);
            return c.join(u' ').toStdString();
        };
        clic(0);   // each click reverses the last order, whichever column
        EXPECT_EQ(columna(0), "12/03/2008 11/03/2008 10/03/2008 03/03/2008 03/03/2008 28/02/2008 25/02/2008");
        clic(4);
        EXPECT_EQ(columna(4), "45.5 91 310 1336.5 1954.6 3035.07 15000");
        clic(4);
        EXPECT_EQ(columna(4), "15000 3035.07 1954.6 1336.5 310 91 45.5");
        clic(1);
        EXPECT_EQ(columna(1), "000100000001R 000100000002R 000100000050R 000100000051R 000100000059R 000100000062R 000100000063R");

        QTreeWidgetItem* fila = d.lista()->topLevelItem(0);
        d.lista()->setCurrentItem(fila);
        d.lista()->editItem(fila, 0);
        QTest::keyClick(d.lista(), Qt::Key_F2);
        EXPECT_EQ(d.lista()->findChild<QLineEdit*>(), nullptr);
        EXPECT_EQ(fila->text(0), QStringLiteral("03/03/2008"));
        QTest::keyClick(d.lista(), Qt::Key_Return);   // the row the sort left first
    });
    EXPECT_EQ(respuesta, QStringLiteral("000100000001R"));
}

TEST_F(ConsultaComprobantesTest, ImagesByTagAndNoneWhenTheGenericOneIsMissing) {
    FrmConsComprobantes d;
    EXPECT_EQ(d.ObtieneIndiceImagen(QStringLiteral(" ocg ")), 11);
    EXPECT_EQ(d.ObtieneIndiceImagen(QStringLiteral("RM")), 8);
    d.ImageList1.removeAt(7);
    EXPECT_EQ(d.ObtieneIndiceImagen(QStringLiteral("RM")), 0);

    vouchers::SetDialogosComprobantes({[] {
        auto f = std::make_unique<FrmConsComprobantes>();
        f->ImageList1.removeAt(7);   // "Generico"
        return f;
    }});
    const Vista v = Busca(QStringLiteral("RM/PENDIENTES"), vb::Variant(), [](FrmConsComprobantes& f) {
        EXPECT_TRUE(f.lista()->topLevelItem(1)->icon(0).isNull());
        f.cancelar()->click();
    });
    EXPECT_EQ(v.filas.join(u' ').toStdString(),
              "000100000063R/2 000100000062R/0 000100000051R/0 000100000050R/0 000100000002R/0 000100000001R/3");
}

TEST_F(ConsultaComprobantesTest, AMissingViewIsReportedAndListsNothing) {
    data::gDBPrincipal().gCnn()->Execute(QStringLiteral("DROP VIEW V_OT_Pendientes"));
    ui::ScriptedPrompter guion;
    guion.answer(3, QStringLiteral("V_OT_Pendientes"));               // the statement refused: Abort
    guion.answer(3, QStringLiteral("Ha ocurrido el Siguiente Error (3704)"));   // the load leaves
    const Vista v = Busca(QStringLiteral("OT/PENDIENTES"), vb::Variant(), [](FrmConsComprobantes& f) { f.aceptar()->click(); });
    EXPECT_TRUE(v.filas.isEmpty());
    EXPECT_TRUE(guion.exhausted());
    EXPECT_EQ(respuesta, QString());
}

}  // namespace
