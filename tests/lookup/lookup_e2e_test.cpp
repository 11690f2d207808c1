// The lookups as the program runs them: start-up on the embedded head-office database writes a
// fresh "consultas.qvd" and sets up gConsultas, and ConsultaSearch opens the real dialogs, driven
// here by key events while they are modal.
#include "core/consultas_iface.h"
#include "core/inicia_sistema.h"
#include "core/mod_global.h"
#include "data/db_dll.h"
#include "db/databases.h"
#include "lookup/lib_cls_cons3.h"
#include "lookup/lib_frm_cons3.h"
#include "lookup/lib_frm_cons3_tree.h"
#include "lookup_fixture.h"
#include "platform/vb/app.h"
#include "platform/vb/files.h"

#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

namespace lookuptest {
namespace {

using lookup::Lib_FrmCons3;
using lookup::Lib_FrmCons3Tree;

class ConsultaSearchTest : public ::testing::Test {
protected:
    void SetUp() override {
        data::ResetGlobalInstances();
        core::ResetConsultas();
        core::ReiniciaEstado();
        prompter_ = std::make_unique<ui::ScriptedPrompter>();
        programa_ = carpeta_.path() + QStringLiteral("/programa");
        datos_ = carpeta_.path() + QStringLiteral("/datos");
        QDir().mkpath(programa_);
        QDir().mkpath(datos_);
        vb::SetAppPath(programa_);
        db::CreateHeadOffice(datos_);
        lookup::InstallLookupBuilder();
        QString conexion;
        ASSERT_TRUE(core::IniciaSistema(false, QStringLiteral("@Server=%1;@DbName=VOLMA;@Usuario=operador;").arg(datos_), conexion));
        ASSERT_TRUE(data::gDBPrincipal().gOpenFlag);
    }
    void TearDown() override {
        data::ResetGlobalInstances();
        core::SetConsultasFactory(nullptr);
        core::ReiniciaEstado();
        EXPECT_TRUE(prompter_->exhausted());
        prompter_.reset();
    }
    void Ejecuta(const QString& script) { db::RunScript(datos_, db::kHeadOfficeName, script); }

    // Every node of the tree as "key<parent key", in the order the nodes were added.
    static QStringList Ramas(const Lib_FrmCons3Tree& d) {
        QStringList l;
        for (const QString& c : d.claves()) {
            QTreeWidgetItem* n = d.nodo(c);
            l << c + QLatin1Char('<') + (n->parent() ? d.clave(n->parent()) : QString());
        }
        return l;
    }
    QString Busca(const QString& sql, bool arbol = false) {
        QString campo;
        core::gConsultas().ConsultaSearch(sql, nullptr, QString(), campo, QString(), QString(), arbol);
        return core::gConsultas().ValorDevuelto.text();
    }

    testsupport::TempFolder carpeta_;
    std::unique_ptr<ui::ScriptedPrompter> prompter_;
    QString programa_;
    QString datos_;
};

TEST_F(ConsultaSearchTest, ArticleLookupPicksTheChosenCode) {
    Ejecuta(QStringLiteral("UPDATE MA_ARTICULOS SET SUSPENDIDO = 1 WHERE IDARTICULO = '000456'"));
    ASSERT_TRUE(QFileInfo(programa_ + QStringLiteral("/consultas.qvd")).isFile());
    core::gConsultas().CampoDevuelto = QStringLiteral("IDARTICULO");

    QStringList descripciones;
    QString elegidaAlEscribir;
    QStringList tras5;
    AlMostrar<Lib_FrmCons3>([&](Lib_FrmCons3* d) {
        EXPECT_EQ(d->SQL, QStringLiteral("SELECT TOP 1000 DESCRIPCION,IDARTICULO FROM V_MA_ARTICULOS WHERE SUSPENDIDO = 0 "
                                         "ORDER BY DESCRIPCION "));
        descripciones = Columna(*d, 1);
        QComboBox* caja = d->cajaBusqueda(0);
        QTest::keyClicks(caja, QStringLiteral("caf"));
        elegidaAlEscribir = d->lista()->currentItem() ? d->lista()->currentItem()->text(1) : QString();
        caja->setEditText(QString());
        QTest::keyClicks(caja, QStringLiteral("*torr*250"));
        QTest::keyClick(caja, Qt::Key_F5);
        tras5 = Columna(*d, 2);
        QTest::keyClick(d->lista(), Qt::Key_Return);
    });
    const QString valor = Busca(QStringLiteral("V_MA_ARTICULOS"));

    EXPECT_EQ(descripciones, (QStringList{"Azúcar refinada 1 kg", "Café molido torrado 250 g", "Canasta desayuno",
                                          "Máquina de espresso 15 bar", "Queso cremoso por kilo"}));
    EXPECT_EQ(elegidaAlEscribir, QStringLiteral("000789"));
    EXPECT_EQ(tras5, QStringList{QStringLiteral("000789")});
    EXPECT_EQ(valor, QStringLiteral("000789"));
    EXPECT_TRUE(core::gConsultas().CampoDevuelto.isEmpty());
}

TEST_F(ConsultaSearchTest, CancelReturnsNothing) {
    core::gConsultas().ValorDevuelto = vb::Variant(QStringLiteral("ANTERIOR"));
    core::gConsultas().CampoDevuelto = QStringLiteral("IDARTICULO");
    AlMostrar<Lib_FrmCons3>([](Lib_FrmCons3* d) { QTest::keyClick(d->lista(), Qt::Key_Escape); });
    EXPECT_EQ(Busca(QStringLiteral("v_ma_articulos")), QString());
    core::gConsultas().CampoDevuelto = QStringLiteral("IDARTICULO");
    AlMostrar<Lib_FrmCons3>([](Lib_FrmCons3* d) {
        QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("CmdCancelar")), Qt::LeftButton);
    });
    EXPECT_EQ(Busca(QStringLiteral("SELECT IDARTICULO, DESCRIPCION FROM V_MA_ARTICULOS")), QString());
    EXPECT_TRUE(core::gConsultas().CampoDevuelto.isEmpty());
}

TEST_F(ConsultaSearchTest, ASingleColumnRecordOpensNothing) {
    vb::RandomFile archivo(core::gConsultas().gRutaMascaraConsultas, 1202);
    archivo.put(archivo.lof() / 1202 + 1, vb::FixedText(QStringLiteral("POSICIONES"), 100) +
                                               vb::FixedText(QStringLiteral("MA_POSICIONES"), 100) +
                                               vb::FixedText(QStringLiteral("|IDPOSICION|"), 500) +
                                               vb::FixedText(QString(), 500) + QByteArray("\r\n"));
    archivo.close();
    prompter_->answer(1, QStringLiteral("Debe configurar la consulta para esta tabla"));
    QTimer vigia;   // a dialog that opened would be closed, and the test failed
    vigia.setSingleShot(true);
    QObject::connect(&vigia, &QTimer::timeout, [] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            ADD_FAILURE() << "a dialog opened";
            w->close();
        }
    });
    vigia.start(0);
    core::gConsultas().CampoDevuelto = QStringLiteral("IDPOSICION");
    core::gConsultas().ValorDevuelto = vb::Variant(QStringLiteral("P01"));
    EXPECT_EQ(Busca(QStringLiteral("MA_POSICIONES")), QStringLiteral("P01"));
    EXPECT_EQ(prompter_->shown().size(), 1u);
    EXPECT_EQ(core::gConsultas().CampoDevuelto, QStringLiteral("IDPOSICION"));
}

TEST_F(ConsultaSearchTest, FamiliesTreeReturnsTheChosenFamily) {
    Ejecuta(QStringLiteral("DELETE FROM V_TA_FAMILIAS\nGO\n"
                           "INSERT INTO V_TA_FAMILIAS (IdFamilia, Descripcion) VALUES ('01', 'Almacén')\n"
                           "INSERT INTO V_TA_FAMILIAS (IdFamilia, Descripcion) VALUES ('0101', 'Infusiones')\n"
                           "INSERT INTO V_TA_FAMILIAS (IdFamilia, Descripcion) VALUES ('0201', 'Detergentes')\n"
                           "INSERT INTO V_TA_FAMILIAS (IdFamilia, Descripcion) VALUES ('02', 'Limpieza')\n"));
    core::gConsultas().CampoDevuelto = QStringLiteral("IDFAMILIA");
    QStringList padres;
    AlMostrar<Lib_FrmCons3Tree>([&](Lib_FrmCons3Tree* d) {
        padres = Ramas(*d);
        QTest::keyClicks(d->cajaBusqueda(), QStringLiteral("deter"));
        QTest::keyClick(d->cajaBusqueda(), Qt::Key_Return);
    });
    EXPECT_EQ(Busca(QStringLiteral("V_TA_FAMILIAS"), true), QStringLiteral("0201"));
    EXPECT_EQ(padres, (QStringList{"A<", "A01<A", "A0101<A01", "A02<A", "A0201<A02"}));
    EXPECT_TRUE(core::gConsultas().CampoDevuelto.isEmpty());
}

TEST_F(ConsultaSearchTest, PrefixTreeOfAStatement) {
    Ejecuta(QStringLiteral("DELETE FROM TA_CCOSTO\nGO\n"
                           "INSERT INTO TA_CCOSTO (CODIGO, DESCRIPCION) VALUES ('1', 'Comercial')\n"
                           "INSERT INTO TA_CCOSTO (CODIGO, DESCRIPCION) VALUES ('10', 'Ventas')\n"
                           "INSERT INTO TA_CCOSTO (CODIGO, DESCRIPCION) VALUES ('101', 'Salón')\n"
                           "INSERT INTO TA_CCOSTO (CODIGO, DESCRIPCION) VALUES ('11', 'Compras')\n"));
    core::gConsultas().CampoDevuelto = QStringLiteral("CODIGO");
    QStringList padres;
    AlMostrar<Lib_FrmCons3Tree>([&](Lib_FrmCons3Tree* d) {
        padres = Ramas(*d);
        QTest::keyClicks(d->cajaBusqueda(), QStringLiteral("sal"));
        d->arbol()->setFocus();
        QTest::keyClick(d->arbol(), Qt::Key_Return);
    });
    EXPECT_EQ(Busca(QStringLiteral("SELECT CODIGO, DESCRIPCION FROM TA_CCOSTO ORDER BY CODIGO"), true), QStringLiteral("101"));
    EXPECT_EQ(padres, (QStringList{"A<", "A1<A", "A10<A1", "A101<A10", "A11<A1"}));
}

TEST_F(ConsultaSearchTest, CheckCascadeOnTheHeadOfficeDatabase) {
    QString script = QStringLiteral("DELETE FROM TA_CCOSTO\nGO\n");
    for (const char* c : {"1", "12", "123", "1234", "12345", "123456", "1234567", "12345678"})
        script += QStringLiteral("INSERT INTO TA_CCOSTO (CODIGO, DESCRIPCION) VALUES ('%1', 'Nivel %2')\n").arg(c).arg(qstrlen(c));
    Ejecuta(script);
    Lib_FrmCons3Tree d;
    d.SQL = QStringLiteral("SELECT CODIGO, DESCRIPCION FROM TA_CCOSTO ORDER BY CODIGO");
    d.CampoDevuelto = QStringLiteral("CODIGO");
    d.CheckBoxes = true;
    d.Form_Load();
    d.nodo(QStringLiteral("A1"))->setCheckState(0, Qt::Checked);
    EXPECT_EQ(d.nodo(QStringLiteral("A1234567"))->checkState(0), Qt::Checked);     // six levels below
    EXPECT_EQ(d.nodo(QStringLiteral("A12345678"))->checkState(0), Qt::Unchecked);  // seven levels below
    d.CmdAceptar_Click();
    EXPECT_EQ(d.Valores.size(), 7);
}

// Pictures of both dialogs as the operator sees them, written to KORV_SCREENSHOT_DIR when it is
// set (docs/screenshots: lookup-list.png, lookup-tree.png), else to the test's own folder.
TEST_F(ConsultaSearchTest, PicturesOfTheDialogs) {
    const QByteArray destino = qgetenv("KORV_SCREENSHOT_DIR");
    const QDir carpeta(destino.isEmpty() ? carpeta_.path() : QString::fromLocal8Bit(destino));
    QImage lista;
    AlMostrar<Lib_FrmCons3>([&](Lib_FrmCons3* d) {
        QTest::keyClicks(d->cajaBusqueda(0), QStringLiteral("caf"));
        lista = d->grab().toImage();
        QTest::keyClick(d->lista(), Qt::Key_Escape);
    });
    core::gConsultas().CampoDevuelto = QStringLiteral("IDARTICULO");
    Busca(QStringLiteral("V_MA_ARTICULOS"));

    QImage arbol;
    AlMostrar<Lib_FrmCons3Tree>([&](Lib_FrmCons3Tree* d) {
        d->arbol()->expandAll();
        QTest::keyClicks(d->cajaBusqueda(), QStringLiteral("caf"));
        arbol = d->grab().toImage();
        QTest::keyClick(d->cajaBusqueda(), Qt::Key_Escape);
    });
    core::gConsultas().CampoDevuelto = QStringLiteral("IDFAMILIA");
    Busca(QStringLiteral("V_TA_FAMILIAS"), true);

    ASSERT_FALSE(lista.isNull());
    ASSERT_FALSE(arbol.isNull());
    EXPECT_TRUE(lista.save(carpeta.filePath(QStringLiteral("lookup-list.png"))));
    EXPECT_TRUE(arbol.save(carpeta.filePath(QStringLiteral("lookup-tree.png"))));
}

}  // namespace
}  // namespace lookuptest
