// The lookup builder: which statement a request gives, what it hands the dialogs and what it
// hands back. The dialogs are stand-ins that record what they were given.
#include "lookup/lib_cls_cons3.h"
#include "lookup_fixture.h"

#include <QFile>

namespace lookuptest {
namespace {

struct Registro {
    int listas = 0;
    int arboles = 0;
    QString sql;
    QString campoDevuelto;
    QString campoBusqueda;
    QString filtroInicial;
    bool ordenarPorLwv = false;
    bool checkBoxes = false;
    QStringList cmpsDevueltos;
};

class ListaFalsa : public lookup::ListaConsulta {
public:
    explicit ListaFalsa(Registro* r) : r_(r) {}
    void MostrarModal() override {
        ++r_->listas;
        r_->sql = SQL;
        r_->campoDevuelto = CampoDevuelto;
        r_->campoBusqueda = CampoBusqueda;
        r_->filtroInicial = FiltroInicial;
        r_->ordenarPorLwv = OrdenarPorLwv;
        r_->checkBoxes = CheckBoxes;
        r_->cmpsDevueltos = CmpsDevueltos;
        ValorDevuelto = vb::Variant(QStringLiteral("ELEGIDO"));
        Valores = {vb::Variant(QStringLiteral("V1"))};
        Cantidades = QList<vb::Variant>();
    }

private:
    Registro* r_;
};

class ArbolFalso : public lookup::ArbolConsulta {
public:
    explicit ArbolFalso(Registro* r) : r_(r) {}
    void MostrarModal() override {
        ++r_->arboles;
        r_->sql = SQL;
        r_->campoDevuelto = CampoDevuelto;
        ValorDevuelto = vb::Variant(QStringLiteral("0101"));
    }

private:
    Registro* r_;
};

class BuilderTest : public LookupTest {
protected:
    void SetUp() override {
        LookupTest::SetUp();
        lookup::FabricaDialogos f;
        f.lista = [this] { return std::unique_ptr<lookup::ListaConsulta>(std::make_unique<ListaFalsa>(&r_)); };
        f.arbol = [this] { return std::unique_ptr<lookup::ArbolConsulta>(std::make_unique<ArbolFalso>(&r_)); };
        cons_ = std::make_unique<lookup::Lib_ClsCons3>(f);
        cons_->gUsarMascarasConsultas = true;
        cons_->gRutaMascaraConsultas = CreaConsultasQvd();
    }
    void TearDown() override {
        cons_.reset();
        LookupTest::TearDown();
    }
    QString Busca(const QString& sql, QString campoBusqueda = QString(), const QString& where = QString(),
                  const QString& opcional = QString(), bool arbol = false) {
        cons_->ConsultaSearch(sql, nullptr, QString(), campoBusqueda, where, opcional, arbol);
        campoBusqueda_ = campoBusqueda;
        return cons_->UltimaSentencia();
    }

    Registro r_;
    std::unique_ptr<lookup::Lib_ClsCons3> cons_;
    QString campoBusqueda_;
};

TEST_F(BuilderTest, ArticlesFromTheDefaultRecord) {
    cons_->CampoDevuelto = QStringLiteral("IDARTICULO");
    cons_->Checks = true;
    QStringList extra{QStringLiteral("DESCRIPCION")};
    QString campo;
    cons_->ConsultaSearch(QStringLiteral("V_MA_ARTICULOS"), &extra, QStringLiteral("TORN"), campo);
    EXPECT_EQ(r_.sql, QStringLiteral("SELECT TOP 1000 DESCRIPCION,IDARTICULO FROM V_MA_ARTICULOS WHERE SUSPENDIDO = 0 "
                                     "ORDER BY DESCRIPCION"));
    EXPECT_EQ(campo, QStringLiteral("DESCRIPCION"));
    EXPECT_EQ(r_.campoBusqueda, QStringLiteral("DESCRIPCION"));
    EXPECT_EQ(r_.campoDevuelto, QStringLiteral("IDARTICULO"));
    EXPECT_EQ(r_.filtroInicial, QStringLiteral("TORN"));
    EXPECT_FALSE(r_.ordenarPorLwv);
    EXPECT_TRUE(r_.checkBoxes);
    EXPECT_EQ(r_.cmpsDevueltos, QStringList{QStringLiteral("DESCRIPCION")});
    // What comes back, and what holds only for one lookup.
    EXPECT_EQ(cons_->ValorDevuelto.text(), QStringLiteral("ELEGIDO"));
    ASSERT_EQ(cons_->Valores.size(), 1);
    EXPECT_TRUE(cons_->Cantidades.has_value());
    EXPECT_TRUE(cons_->CampoDevuelto.isEmpty());
    EXPECT_FALSE(cons_->Checks);
    EXPECT_TRUE(extra.isEmpty());
}

TEST_F(BuilderTest, TableNameMatchedTrimmedAndIgnoringCase) {
    EXPECT_EQ(Busca(QStringLiteral(" vt_clientes ")),
              QStringLiteral("SELECT TOP 1000 RAZON_SOCIAL,CODIGO,CONTACTO FROM VT_CLIENTES WHERE Dada_De_Baja = 0 "
                             "ORDER BY RAZON_SOCIAL"));
    // A table name stored with trailing blanks and a column list with a trailing blank.
    EXPECT_EQ(Busca(QStringLiteral("V_TA_TAREAS")),
              QStringLiteral("SELECT TOP 1000 Descripcion,IdTarea FROM V_TA_Tareas ORDER BY Descripcion"));
}

TEST_F(BuilderTest, RowLimitFromTheConfiguration) {
    Ejecuta({QStringLiteral("INSERT INTO TA_CONFIGURACION (CLAVE, VALOR) VALUES ('TopConsArt', '50')")});
    EXPECT_TRUE(Busca(QStringLiteral("MA_CUENTAS")).startsWith(QStringLiteral("SELECT TOP 50 DESCRIPCION,CODIGO FROM MA_CUENTAS")));
}

TEST_F(BuilderTest, ASingleColumnRecordAsksToConfigureTheLookup) {
    AgregaRegistro(QStringLiteral("TA_CCOSTO"), QStringLiteral("|CODIGO|"));
    cons_->ValorDevuelto = vb::Variant(QStringLiteral("ANTERIOR"));
    cons_->CampoDevuelto = QStringLiteral("CODIGO");
    QStringList extra{QStringLiteral("X")};
    prompter_->answer(1, QStringLiteral("Debe configurar la consulta para esta tabla"));
    QString campo;
    cons_->ConsultaSearch(QStringLiteral("TA_CCOSTO"), &extra, QString(), campo);
    ASSERT_EQ(prompter_->shown().size(), 1u);
    EXPECT_EQ(prompter_->shown()[0].title, QStringLiteral("Aviso al operador"));
    EXPECT_EQ(prompter_->shown()[0].buttons, ui::vbInformation);
    EXPECT_EQ(r_.listas + r_.arboles, 0);
    EXPECT_EQ(cons_->ValorDevuelto.text(), QStringLiteral("ANTERIOR"));
    EXPECT_EQ(cons_->CampoDevuelto, QStringLiteral("CODIGO"));
    EXPECT_EQ(extra, QStringList{QStringLiteral("X")});
    // The file was closed: it can be replaced at once.
    EXPECT_TRUE(QFile::remove(rutaConsultas_));
}

TEST_F(BuilderTest, RecordFilterBeforeTheCallersAndTheDefault) {
    AgregaRegistro(QStringLiteral("TA_CCOSTO"), QStringLiteral("|DESCRIPCION|CODIGO|"), QStringLiteral("CODIGO <> '99'"));
    EXPECT_TRUE(Busca(QStringLiteral("TA_CCOSTO"), QString(), QStringLiteral("CODIGO = '1'"))
                    .endsWith(QStringLiteral("FROM TA_CCOSTO WHERE CODIGO <> '99' ORDER BY DESCRIPCION")));
    EXPECT_TRUE(Busca(QStringLiteral("VT_PROVEEDORES"), QString(), QStringLiteral("CODIGO = '1'"))
                    .endsWith(QStringLiteral("FROM VT_PROVEEDORES WHERE CODIGO = '1' ORDER BY RAZON_SOCIAL")));
}

TEST_F(BuilderTest, TableWithoutRecordTakesItsOwnColumns) {
    Ejecuta({QStringLiteral("CREATE TABLE T_LISTAS (CODIGO varchar(4), DESCRIPCION varchar(30), ID int, PRECIO money)"),
             QStringLiteral("CREATE TABLE T_OCULTA (ID int, FECHAHORA_GRABACION datetime, fechahora_modificacion datetime)")});
    EXPECT_EQ(Busca(QStringLiteral("T_LISTAS"), QString(), QStringLiteral("CODIGO = '1'")),
              QStringLiteral("SELECT TOP 1000 PRECIO,DESCRIPCION,CODIGO FROM T_LISTAS ORDER BY DESCRIPCION"));
    EXPECT_EQ(campoBusqueda_, QStringLiteral("DESCRIPCION"));
    EXPECT_TRUE(r_.ordenarPorLwv == false);
    // Only skipped columns: everything, ordered by the caller's column.
    EXPECT_EQ(Busca(QStringLiteral("T_OCULTA"), QStringLiteral("ID")),
              QStringLiteral("SELECT TOP 1000  *  FROM T_OCULTA ORDER BY ID"));
    // ... and none given: no ORDER BY without a column, the list sorts the rows.
    EXPECT_EQ(Busca(QStringLiteral("T_OCULTA")), QStringLiteral("SELECT TOP 1000  *  FROM T_OCULTA"));
    EXPECT_TRUE(r_.ordenarPorLwv);
    // Masks off: the file is not read.
    cons_->gUsarMascarasConsultas = false;
    EXPECT_EQ(Busca(QStringLiteral("MA_CUENTAS")), QStringLiteral("SELECT TOP 1000 DESCRIPCION,CODIGO FROM MA_CUENTAS ORDER BY DESCRIPCION"));
    // Masks on but the file gone: the table's columns as well.
    cons_->gUsarMascarasConsultas = true;
    ASSERT_TRUE(QFile::remove(rutaConsultas_));
    EXPECT_EQ(Busca(QStringLiteral("MA_CUENTAS")), QStringLiteral("SELECT TOP 1000 DESCRIPCION,CODIGO FROM MA_CUENTAS ORDER BY DESCRIPCION"));
    // The optional statement replaces the built one.
    EXPECT_EQ(Busca(QStringLiteral("NO_IMPORTA"), QString(), QString(), QStringLiteral("SELECT 1 AS A, 2 AS B")),
              QStringLiteral("SELECT 1 AS A, 2 AS B"));
}

TEST_F(BuilderTest, WholeStatementsPassUnchanged) {
    const QString sql = QStringLiteral("select IDLISTA, DESCRIPCION from V_MA_PRECIOSCAB");
    EXPECT_EQ(Busca(sql, QString(), QString(), QStringLiteral("SELECT otra")), sql);
    EXPECT_TRUE(r_.ordenarPorLwv);
    EXPECT_EQ(r_.listas, 1);
}

TEST_F(BuilderTest, TreeLookupShowsTheTreeDialog) {
    cons_->CampoDevuelto = QStringLiteral("IDFAMILIA");
    cons_->Valores = {vb::Variant(QStringLiteral("QUEDA"))};
    const QString sql = QStringLiteral("SELECT IdFamilia, Descripcion FROM V_TA_FAMILIAS ORDER BY IdFamilia");
    Busca(sql, QString(), QString(), QString(), true);
    EXPECT_EQ(r_.arboles, 1);
    EXPECT_EQ(r_.listas, 0);
    EXPECT_EQ(r_.sql, sql);
    EXPECT_EQ(r_.campoDevuelto, QStringLiteral("IDFAMILIA"));
    EXPECT_EQ(cons_->ValorDevuelto.text(), QStringLiteral("0101"));
    EXPECT_TRUE(cons_->CampoDevuelto.isEmpty());
    ASSERT_EQ(cons_->Valores.size(), 1);
    EXPECT_EQ(cons_->Valores[0].text(), QStringLiteral("QUEDA"));
}

}  // namespace
}  // namespace lookuptest
