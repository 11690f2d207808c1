#include "main_window_fixture.h"

#include "main_window/frm_korvane01.h"

#include "platform/ui/prompter.h"
#include "platform/vb/error.h"
#include "platform/vb/dates.h"
#include "sender/korvane.h"

namespace {

using mainwindowtest::MainWindowFixture;

struct Copia {
    const char* vista;
    const char* tabla;
    bool filtraNovedades;   // in normal mode only rows with TIPOACT = 'M'
};
const Copia kCopias[] = {
    {"QET_KORVANE", "IMPONOVARTI", true},          {"QET_KORVANE_BARRAS", "IMPONOVBARRAS", true},
    {"QET_KORVANE_BULTOS", "IMPONOVBULTOS", true}, {"QET_KORVANE_NOVPROV", "IMPONOVPROV", true},
    {"QET_KORVANE_PROV", "IMPOPROV", false},       {"QET_KORVANE_OFERTAS", "OFERTAS", false},
};
const char* const kMarcadas[] = {"IMPONOVARTI", "IMPOPROV", "OFERTAS"};

class PaqueteTest : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        if (HasFatalFailure()) return;
        Arranca();
        if (HasFatalFailure()) return;
        // Every A3 price is pending, and one price of another list too.
        PoneA3Pendiente();
        ASSERT_GT(Count(Principal(), QStringLiteral("SELECT COUNT(*) FROM V_MA_PRECIOS WHERE IDLISTA = 'A3'")), 0);
        otrasPendientes_ = OtrasPendientes();
    }

    // Every price of the list the send marks (A3) pending, never sent, and changed (TIPOACT 'M'),
    // so that the normal mode sends its article.
    void PoneA3Pendiente() {
        Exec(Principal(), QStringLiteral("UPDATE V_MA_PRECIOS SET ESTADO = '0-M', TRANSMISION = 0, TIPOACT = 'M' "
                                         "WHERE IDLISTA = 'A3'"));
    }
    static sender::Transmision Numero(const QString& numero) {
        return {numero, vb::Today().toQDate()};
    }
    long Transmisiones(const QString& numero) {
        return Count(Principal(), QStringLiteral("SELECT COUNT(*) FROM MV_NOVEDADESPRECIOS WHERE CODIGO = %1").arg(numero));
    }
    long Pendientes() {
        return Count(Principal(), QStringLiteral("SELECT COUNT(*) FROM V_MA_PRECIOS WHERE IDLISTA = 'A3' AND ESTADO LIKE '0-%'"));
    }
    long OtrasPendientes() {
        return Count(Principal(), QStringLiteral("SELECT COUNT(*) FROM V_MA_PRECIOS WHERE IDLISTA <> 'A3' AND ESTADO LIKE '0-%'"));
    }
    void ExpectRows(const QStringList& estados) {
        sender::FrmStatus* f = sender::FrmStatusInstance();
        ASSERT_NE(f, nullptr);
        ASSERT_EQ(f->rowCount(), 8);
        QStringList pasos = sender::DescripcionesPasos();
        pasos << QStringLiteral("Finalizando");
        for (int i = 0; i < 8; ++i) {
            EXPECT_EQ(f->rowStep(i), pasos[i]);
            EXPECT_EQ(f->rowState(i), estados[i]) << pasos[i].toStdString();
        }
    }
    long otrasPendientes_ = 0;
};

TEST_F(PaqueteTest, EachModeCopiesTheViewsMarksWhatWasSentAndRecordsIt) {
    for (int16_t modo : {int16_t(0), int16_t(1), int16_t(2)}) {
        SCOPED_TRACE(modo);
        PoneA3Pendiente();
        const long pendientes = Pendientes();
        const QString numero = QString::number(17 + modo);
        {
            ui::ScriptedPrompter guion;
            guion.answer(1, QStringLiteral("Proceso Finalizado..."));
            EXPECT_TRUE(sender::ArmaYEjecutaPaqueteDTS(modo, Numero(numero)));
            ASSERT_EQ(guion.shown().size(), 1u);
            EXPECT_EQ(guion.shown()[0].prompt, QStringLiteral("Proceso Finalizado..."));
            EXPECT_EQ(guion.shown()[0].title, QStringLiteral("Aviso al Operador"));
            EXPECT_EQ(guion.shown()[0].buttons, ui::vbInformation);
        }
        EXPECT_EQ(Transmisiones(numero), 1);

        // The interface tables hold exactly what the copies wrote.
        for (const auto& c : kCopias) {
            SCOPED_TRACE(c.tabla);
            const QString filtro = modo == 0 && c.filtraNovedades ? QStringLiteral(" WHERE TIPOACT = 'M'") : QString();
            EXPECT_EQ(Count(Remota(), QStringLiteral("SELECT COUNT(*) FROM %1").arg(QString::fromLatin1(c.tabla))),
                      Count(Principal(), QStringLiteral("SELECT COUNT(*) FROM %1").arg(QString::fromLatin1(c.vista)) + filtro));
        }
        // Marking.
        if (modo == 0) {
            EXPECT_EQ(Pendientes(), 0);
            EXPECT_EQ(Count(Principal(), QStringLiteral("SELECT COUNT(*) FROM V_MA_PRECIOS WHERE IDLISTA = 'A3' AND "
                                                        "ESTADO = '1-M' AND TRANSMISION = 17 AND CAMBIOCODBARRA = 0")),
                      pendientes);
        } else {
            EXPECT_EQ(Pendientes(), pendientes);   // prices untouched
        }
        EXPECT_EQ(OtrasPendientes(), otrasPendientes_);
        for (const char* t : kMarcadas) {
            const QString tabla = QString::fromLatin1(t);
            if (modo == 1) {
                EXPECT_EQ(Count(Remota(), QStringLiteral("SELECT COUNT(*) FROM %1 WHERE TIPOACT = 'S' OR TIPOACT_ORIG = 'S'").arg(tabla)), 0) << t;
            }
            if (modo == 2) {
                EXPECT_EQ(Count(Remota(), QStringLiteral("SELECT COUNT(*) FROM %1 WHERE TIPOACT <> 'A' OR TIPOACT_ORIG <> 'A'").arg(tabla)), 0) << t;
            }
        }
        const QString fin = QStringLiteral("Finalizado");
        ExpectRows({fin, fin, fin, fin, fin, fin, fin, fin});
        EXPECT_DOUBLE_EQ(sender::FrmStatusInstance()->barPercent(), 100.0);
        EXPECT_FALSE(sender::FrmStatusLoaded());
    }
}

// A day of 720 articles (the 540 copied take more than one statement of codes), in the states that
// decide the marking; after a normal send every A3 price is exactly as its article's fate says.
TEST_F(PaqueteTest, NormalModeMarksExactlyThePendingPricesOfTheArticlesCopied) {
    // The demo's prices stay out of it: sent long ago, unchanged.
    Exec(Principal(), QStringLiteral("UPDATE V_MA_PRECIOS SET ESTADO = '1-M', TRANSMISION = 1, TIPOACT = 'S'"));
    enum Suerte { Marcado, NoViaja, YaEnviado, CambiaEnLaCopia, MarcadoConOtraLista };
    const auto suerte = [](int i) {
        switch (i % 8) {
        case 4: return NoViaja;            // pending, but its article is not marked as changed
        case 5: return YaEnviado;          // its article goes; its price went with transmission 3
        case 6: return CambiaEnLaCopia;    // changed once the articles were copied
        case 7: return MarcadoConOtraLista;
        default: return Marcado;
        }
    };
    constexpr int kArticulos = 720;
    const auto codigo = [](int i) { return QStringLiteral("T%1").arg(i, 5, 10, QLatin1Char('0')); };
    const char* const estados[] = {"0-M", "0-C", "0-B"};
    QStringList articulos, precios, proveedores, cambian;
    for (int i = 1; i <= kArticulos; ++i) {
        const QString a = codigo(i);
        const Suerte s = suerte(i);
        const QString estado = s == YaEnviado ? QStringLiteral("1-M") : QString::fromLatin1(estados[i % 3]);
        const QString tipoact = s == NoViaja || s == CambiaEnLaCopia ? QStringLiteral("S") : QStringLiteral("M");
        articulos << QStringLiteral("('%1', 'ARTICULO %1', 'ART %1', 'MARCA', '500', 'GR', 12, 'S', 'E', 'ALMACEN', '1', "
                                    "0, '0', '4.1.1.01', '4.1.1.02')").arg(a);
        precios << QStringLiteral("('A3', 'V', '%1', 10.5, 12.5, 30, 0, 0, '%2', '%3', 1, %4, '2026-12-08 00:00:00')")
                       .arg(a, estado, tipoact, QString::number(s == YaEnviado ? 3 : 0));
        if (s == MarcadoConOtraLista) {
            // Another price of the same list, and one of another list: the list's is marked too.
            precios << QStringLiteral("('A3', 'C', '%1', 9, 9, 30, 0, 0, '0-C', 'M', 1, 0, '2026-12-08 00:00:00')").arg(a)
                    << QStringLiteral("('C1', 'C', '%1', 8, 8, 30, 0, 0, '0-M', 'M', 1, 0, '2026-12-08 00:00:00')").arg(a);
        }
        if (s == CambiaEnLaCopia) cambian << u'\'' + a + u'\'';
        proveedores << QStringLiteral("('%1', 'P0001', 'X', 1, 'M')").arg(a);
    }
    const auto inserta = [&](const QString& cabeza, const QStringList& filas) {
        for (qsizetype i = 0; i < filas.size(); i += 500)
            Exec(Principal(), cabeza + filas.mid(i, 500).join(u','));
    };
    inserta(QStringLiteral("INSERT INTO MA_ARTICULOS (IDARTICULO, DESCRIPCION, DESCRIPCIONTICKET, MARCA, PRESENTACION, "
                           "IDUNIDAD, UNIDADESBULTO, HABILITADOCOMPRA, ENGANCHE, CLASIFICACION, IVA, PESABLE, ENVASE, "
                           "CTACON1, CTACON2) VALUES "),
            articulos);
    inserta(QStringLiteral("INSERT INTO V_MA_PRECIOS (IDLISTA, TIPOLISTA, IDARTICULO, PRECIO, PVENTA, MARGEN, RECARGO1, "
                           "RECARGO2, ESTADO, TIPOACT, CAMBIOCODBARRA, TRANSMISION, FECHA) VALUES "),
            precios);
    inserta(QStringLiteral("INSERT INTO MA_ARTICULOSPROVEEDOR (IDARTICULO, CUENTAPROVEEDOR, CODIGOARTPROVEEDOR, PRINCIPAL, "
                           "TIPOACT) VALUES "),
            proveedores);
    sender::SetObservadorEstado([&](const QString& paso, int estado) {
        if (paso == QStringLiteral("Copiar IMPONOVBARRAS") && estado == 2)
            Exec(Principal(), QStringLiteral("UPDATE V_MA_PRECIOS SET TIPOACT = 'M' WHERE IDLISTA = 'A3' AND IDARTICULO IN (") +
                                  cambian.join(u',') + u')');
    });
    {
        ui::ScriptedPrompter guion;
        guion.answer(1, QStringLiteral("Proceso Finalizado..."));
        EXPECT_TRUE(sender::ArmaYEjecutaPaqueteDTS(0, Numero(QStringLiteral("77"))));
        EXPECT_TRUE(guion.exhausted());
    }
    sender::SetObservadorEstado(nullptr);
    EXPECT_EQ(Count(Remota(), QStringLiteral("SELECT COUNT(*) FROM IMPONOVARTI")), kArticulos / 8 * 6);

    long vistos = 0;
    for (const auto& fila : testsupport::Rows(Principal().gCnn(), QStringLiteral(
                                                  "SELECT IDLISTA, TIPOLISTA, IDARTICULO, ESTADO, TRANSMISION, "
                                                  "CAST(CAMBIOCODBARRA AS int) FROM V_MA_PRECIOS"))) {
        const QString lista = fila[0].text(), tipo = fila[1].text(), articulo = fila[2].text();
        const QString visto = fila[3].text() + u'/' + fila[4].text() + u'/' + fila[5].text();
        SCOPED_TRACE((lista + u' ' + tipo + u' ' + articulo).toStdString());
        if (!articulo.startsWith(u'T')) {
            EXPECT_EQ(visto.left(5).toStdString(), "1-M/1");   // the demo's, untouched
            continue;
        }
        ++vistos;
        const int i = articulo.mid(1).toInt();
        const Suerte s = suerte(i);
        const bool a3 = lista == QStringLiteral("A3");
        const QString antes = !a3 ? QStringLiteral("0-M/0/1")
                              : tipo == QStringLiteral("C") ? QStringLiteral("0-C/0/1")
                              : s == YaEnviado ? QStringLiteral("1-M/3/1")
                                               : QString::fromLatin1(estados[i % 3]) + QStringLiteral("/0/1");
        if (a3 && (s == Marcado || s == MarcadoConOtraLista))
            EXPECT_EQ(visto.toStdString(), (QStringLiteral("1-") + antes.mid(2, 1) + QStringLiteral("/77/0")).toStdString());
        else
            EXPECT_EQ(visto.toStdString(), antes.toStdString());
    }
    EXPECT_EQ(vistos, kArticulos + kArticulos / 8 * 2);
    EXPECT_EQ(Transmisiones(QStringLiteral("77")), 1);
    EXPECT_EQ(OtrasPendientes(), otrasPendientes_ + kArticulos / 8);
}

TEST_F(PaqueteTest, AFailedStepRollsTheSendBackAndMarksNothing) {
    const long pendientes = Pendientes();
    const QString fin = QStringLiteral("Finalizado"), error = QStringLiteral("Error"), in = QStringLiteral("Inactivo");
    const struct {
        const char* rotura;
        bool remota;
        const char* paso;
        QStringList filas;
    } casos[] = {
        {"DROP VIEW QET_KORVANE_BARRAS", false, "Copiar IMPONOVBARRAS", {fin, fin, error, fin, fin, fin, fin, error}},
        {"DROP TABLE IMPONOVPROV", true, "Vaciar Tablas", {error, in, in, in, in, in, in, error}},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.rotura);
        Exec(c.remota ? Remota() : Principal(), QString::fromLatin1(c.rotura));
        ui::ScriptedPrompter guion;
        guion.answer(1, QStringLiteral("conservan el envío anterior; no se marcaron las novedades ni se registró la "
                                       "transmisión.\r\n\r\n") + QString::fromLatin1(c.paso));
        EXPECT_FALSE(sender::ArmaYEjecutaPaqueteDTS(0, Numero(QStringLiteral("31"))));
        EXPECT_TRUE(guion.exhausted());
        ExpectRows(c.filas);
        EXPECT_EQ(Pendientes(), pendientes);
        EXPECT_EQ(Transmisiones(QStringLiteral("31")), 0);
        EXPECT_EQ(Count(Remota(), QStringLiteral("SELECT COUNT(*) FROM IMPONOVARTI")), 0);   // the copy that ran is gone
    }
}

TEST_F(PaqueteTest, ThePackageAsBuilt) {
    vb::OnError on([](const vb::Error& e) {
        ADD_FAILURE() << e.description().toStdString();
        return 0;
    });
    auto paquete = sender::ArmaPaquete(on, 1);
    ASSERT_TRUE(paquete);
    dts::Package& p = *paquete;
    EXPECT_EQ(p.Name(), QStringLiteral("KORVANE_INTERFACE01"));
    EXPECT_EQ(p.TransactionIsolationLevel(), 256);
    EXPECT_EQ(p.MaxConcurrentSteps(), 4);
    EXPECT_TRUE(p.UseTransaction());
    ASSERT_EQ(p.Connections().Count(), 2);
    auto c1 = p.Connections().Item(1);
    auto c2 = p.Connections().Item(2);
    EXPECT_EQ(c1->Name(), QStringLiteral("Microsoft OLE DB Provider for SQL Server"));
    EXPECT_EQ(c2->Name(), QStringLiteral("Microsoft OLE DB Provider for SQL Server 2"));
    EXPECT_EQ(c1->ID(), 1);
    EXPECT_EQ(c2->ID(), 2);
    EXPECT_EQ(c1->Catalog(), QStringLiteral("VOLMA"));
    EXPECT_EQ(c2->Catalog(), QStringLiteral("korvane_interfases"));
    EXPECT_EQ(c2->DataSource(), Remota().gServidor);
    EXPECT_EQ(c1->ConnectionProperties(QStringLiteral("Application Name")).Value().text(), QStringLiteral("Diseñador DTS"));
    EXPECT_EQ(c2->ConnectionProperties(QStringLiteral("Initial Catalog")).Value().text(), QStringLiteral("korvane_interfases"));

    struct Paso { const char* name; const char* task; };
    const Paso pasos[] = {{"DTSStep_DTSExecuteSQLTask_1", "DTSTask_DTSExecuteSQLTask_1"},
                          {"DTSStep_DTSDataPumpTask_1", "DTSTask_DTSDataPumpTask_1"},
                          {"DTSStep_DTSDataPumpTask_2", "DTSTask_DTSDataPumpTask_2"},
                          {"DTSStep_DTSDataPumpTask_3", "DTSTask_DTSDataPumpTask_3"},
                          {"DTSStep_DTSDataPumpTask_4", "DTSTask_DTSDataPumpTask_4"},
                          {"DTSStep_DTSDataPumpTask_5", "DTSTask_DTSDataPumpTask_5"},
                          {"DTSStep_DTSDataPumpTask_7", "DTSTask_DTSDataPumpTask_7"}};
    ASSERT_EQ(p.Steps().Count(), 7);
    const QStringList textos = sender::DescripcionesPasos();
    for (int i = 1; i <= 7; ++i) {
        auto s = p.Steps().Item(i);
        EXPECT_EQ(s->Name(), QString::fromLatin1(pasos[i - 1].name));
        EXPECT_EQ(s->TaskName(), QString::fromLatin1(pasos[i - 1].task));
        EXPECT_EQ(s->Description(), textos[i - 1]);
        EXPECT_EQ(s->ScriptLanguage(), QStringLiteral("VBScript"));
        EXPECT_EQ(s->RelativePriority(), 3);
        EXPECT_FALSE(s->FailPackageOnError());
        EXPECT_TRUE(s->JoinTransactionIfPresent());   // the send is one transaction on the interface
        EXPECT_EQ(s->PrecedenceConstraints().Count(), i == 2 ? 1 : 0);
    }
    auto pc = p.Steps().Item(2)->PrecedenceConstraints().Item(1);
    EXPECT_EQ(pc->StepName(), QStringLiteral("DTSStep_DTSExecuteSQLTask_1"));
    EXPECT_EQ(pc->PrecedenceBasis(), 1);
    EXPECT_EQ(pc->Value().toLong(), 0);
    EXPECT_EQ(p.Tasks().Count(), 7);
    EXPECT_EQ(dts::CustomTaskAs<dts::DataPumpTask>(*p.Tasks().Item(QStringLiteral("DTSTask_DTSDataPumpTask_1")))
                  ->SourceSQLStatement(),
              QStringLiteral("SELECT * FROM [VOLMA].[dbo].[QET_KORVANE] "));   // mode 1: every row
}

}  // namespace
