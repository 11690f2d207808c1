// The tree lookup dialog on an embedded head-office database: the families tree and the prefix
// tree, search, F5, the check cascade, accept and cancel.
#include "lookup/lib_frm_cons3_tree.h"
#include "lookup_fixture.h"
#include "platform/vb/on_error.h"

#include <QComboBox>
#include <QTest>
#include <QTreeWidget>

namespace lookuptest {
namespace {

using lookup::Lib_FrmCons3Tree;

const QString kCentros = QStringLiteral("SELECT CODIGO, DESCRIPCION FROM TA_CCOSTO ORDER BY CODIGO");

class ArbolTest : public LookupTest {
protected:
    std::unique_ptr<Lib_FrmCons3Tree> Carga(const QString& sql, const QString& campo = QString(), bool checks = false) {
        auto d = std::make_unique<Lib_FrmCons3Tree>();
        d->SQL = sql;
        d->CampoDevuelto = campo;
        d->CheckBoxes = checks;
        d->Form_Load();
        return d;
    }
    void Inserta(const QString& tabla, const QStringList& codigos, const QStringList& descripciones) {
        QStringList s;
        for (int i = 0; i < codigos.size(); ++i)
            s << QStringLiteral("INSERT INTO %1 VALUES ('%2', '%3')").arg(tabla, codigos[i], QString(descripciones.value(i)).replace(QLatin1Char('\''), QLatin1String("''")));
        Ejecuta(s);
    }
    // The key of a node's parent.
    static QString Padre(const Lib_FrmCons3Tree& d, const QString& clave) {
        QTreeWidgetItem* n = d.nodo(clave);
        if (!n) return QStringLiteral("(no existe)");
        return n->parent() ? d.clave(n->parent()) : QStringLiteral("(ninguno)");
    }
    static QString Actual(const Lib_FrmCons3Tree& d) { return d.clave(d.arbol()->currentItem()); }
};

TEST_F(ArbolTest, FamiliesHangUnderTheirParentFamily) {
    Inserta(QStringLiteral("V_TA_FAMILIAS"), {"01", "0101", "0201", "02", "03"},
            {"HERRAMIENTAS", "MANUALES", "TORNILLOS", "FERRETERIA", "PINTURAS"});
    auto d = Carga(QStringLiteral("SELECT IdFamilia, Descripcion FROM V_TA_FAMILIAS"));
    EXPECT_EQ(d->claves(), (QStringList{"A", "A01", "A0101", "A02", "A0201", "A03"}));
    const struct { const char* nodo; const char* padre; } casos[] = {
        {"A01", "A"}, {"A0101", "A01"}, {"A02", "A"}, {"A0201", "A02"}, {"A03", "A"},
    };
    for (const auto& c : casos) EXPECT_EQ(Padre(*d, QString::fromLatin1(c.nodo)), QString::fromLatin1(c.padre)) << c.nodo;
    EXPECT_EQ(d->nodo(QStringLiteral("A"))->text(0), QStringLiteral("Consulta..."));
    EXPECT_TRUE(d->nodo(QStringLiteral("A"))->isExpanded());
    EXPECT_EQ(d->nodo(QStringLiteral("A0201"))->text(0), QStringLiteral("0201 - TORNILLOS"));
    // The families build runs its own statement.
    EXPECT_EQ(d->SQL, lookup::SentenciaFamilias());
}

TEST_F(ArbolTest, FamilyParentIsTheLargestShorterCodeAndThePrefixTreeTestsThePrefix) {
    Inserta(QStringLiteral("V_TA_FAMILIAS"), {"01", "0201"}, {"UNO", "DOS UNO"});
    EXPECT_EQ(Padre(*Carga(QStringLiteral("select IdFamilia, Descripcion from v_ta_familias")), QStringLiteral("A0201")),
              QStringLiteral("A01"));
    Inserta(QStringLiteral("TA_CCOSTO"), {"01", "0201"}, {"UNO", "DOS UNO"});
    EXPECT_EQ(Padre(*Carga(kCentros), QStringLiteral("A0201")), QStringLiteral("A"));
}

TEST_F(ArbolTest, PrefixTreeHangsEachCodeUnderTheLongestCodeThatBeginsIt) {
    Inserta(QStringLiteral("TA_CCOSTO"), {"1", "10", "101", "11", "2"}, {"UNO", "DIEZ", "CIENTO UNO", "ONCE", "DOS"});
    auto d = Carga(kCentros);
    const struct { const char* nodo; const char* padre; } casos[] = {
        {"A1", "A"}, {"A10", "A1"}, {"A101", "A10"}, {"A11", "A1"}, {"A2", "A"},
    };
    for (const auto& c : casos) EXPECT_EQ(Padre(*d, QString::fromLatin1(c.nodo)), QString::fromLatin1(c.padre)) << c.nodo;
}

TEST_F(ArbolTest, ADuplicateKeyIsReportedAndTheRestStillGoIn) {
    Inserta(QStringLiteral("TA_CCOSTO"), {"1", "10", "2"}, {"UNO", "DIEZ", "DOS"});
    prompter_->answer(vb::kIgnore, QStringLiteral("(35602) La clave no es única en la colección: 10"));
    auto d = Carga(QStringLiteral("SELECT CODIGO, DESCRIPCION FROM TA_CCOSTO UNION ALL SELECT '10', 'OTRA' ORDER BY 1"));
    ASSERT_EQ(prompter_->shown().size(), 1u);
    EXPECT_TRUE(prompter_->shown()[0].title.contains(QStringLiteral("ArmarTreeVAutomatico")))
        << prompter_->shown()[0].title.toStdString();
    EXPECT_EQ(d->claves(), (QStringList{"A", "A1", "A10", "A2"}));
    EXPECT_EQ(d->nodo(QStringLiteral("A10"))->text(0), QStringLiteral("10 - DIEZ"));
}

TEST_F(ArbolTest, AFamilyWhoseParentIsMissingIsReportedAndTheRestStillGoIn) {
    Lib_FrmCons3Tree d;
    d.Inicia();
    using V = vb::Variant;
    const std::vector<std::vector<V>> filas{
        {V("01"), V("UNO"), V(vb::Null)},
        {V("0301"), V("HUERFANA"), V("03")},   // no family 03
        {V("0101"), V("UNO UNO"), V("01")},
        {V("01"), V("OTRA VEZ"), V(vb::Null)},
    };
    prompter_->answer(vb::kIgnore, QStringLiteral("(35601) Elemento no encontrado: 03 (padre de 0301)"));
    prompter_->answer(vb::kIgnore, QStringLiteral("(35602) La clave no es única en la colección: 01"));
    d.CuelgaFamilias(filas);
    ASSERT_EQ(prompter_->shown().size(), 2u);
    EXPECT_TRUE(prompter_->shown()[0].title.contains(QStringLiteral("ArmarTreeVFamilias")));
    EXPECT_EQ(d.claves(), (QStringList{"A", "A01", "A0101"}));
    EXPECT_EQ(d.nodo(QStringLiteral("A01"))->text(0), QStringLiteral("01 - UNO"));
}

TEST_F(ArbolTest, AbortStopsTheQuestionsButNotTheTree) {
    Inserta(QStringLiteral("TA_CCOSTO"), {"1", "2", "3"}, {"UNO", "DOS", "TRES"});
    prompter_->answer(vb::kAbort, QStringLiteral("35602"));
    auto d = Carga(QStringLiteral("SELECT CODIGO, DESCRIPCION FROM TA_CCOSTO UNION ALL SELECT CODIGO, 'X' FROM TA_CCOSTO ORDER BY 1"));
    EXPECT_EQ(prompter_->shown().size(), 1u);
    EXPECT_EQ(d->claves(), (QStringList{"A", "A1", "A2", "A3"}));
}

TEST_F(ArbolTest, SearchFindsByCodeOrDescription) {
    Inserta(QStringLiteral("TA_CCOSTO"), {"1", "10", "101", "11"}, {"VENTAS", "SALON", "DEPOSITO CENTRAL", "CAJAS"});
    auto d = Carga(kCentros);
    const struct { const char* texto; const char* clave; } casos[] = {
        {"dep", "A101"}, {"10", "A10"}, {"SAL", "A10"}, {"c", "A"}, {"", "A"}, {"cajas", "A11"},
    };
    for (const auto& c : casos) {
        d->cajaBusqueda()->setEditText(QStringLiteral("zz"));
        d->cajaBusqueda()->setEditText(QString::fromLatin1(c.texto));
        EXPECT_EQ(Actual(*d), QString::fromLatin1(c.clave)) << c.texto;
    }
    // The node found is shown: its branch is opened.
    d->cajaBusqueda()->setEditText(QStringLiteral("DEPOSITO"));
    EXPECT_TRUE(d->nodo(QStringLiteral("A10"))->isExpanded());
}

TEST_F(ArbolTest, F5KeepsTheDescriptionsHoldingTheText) {
    Inserta(QStringLiteral("TA_CCOSTO"), {"1", "10", "11"}, {"VENTAS", "SALON D'ORO", "CAJAS"});
    auto d = Carga(kCentros);
    d->cajaBusqueda()->setEditText(QStringLiteral("n d'o"));
    QTest::keyClick(d->cajaBusqueda(), Qt::Key_F5);
    EXPECT_EQ(d->SQL, QStringLiteral("SELECT CODIGO, DESCRIPCION FROM TA_CCOSTO  where Descripcion like '%n d''o%' ORDER BY CODIGO"));
    EXPECT_EQ(d->claves(), (QStringList{"A", "A10"}));
    EXPECT_TRUE(d->cajaBusqueda()->currentText().isEmpty());
    d->CmdNueva_Click();
    EXPECT_EQ(d->claves(), (QStringList{"A", "A1", "A10", "A11"}));

    // On the families tree the filter does not hold: the families build runs its own statement.
    Inserta(QStringLiteral("V_TA_FAMILIAS"), {"01", "02"}, {"UNO", "DOS"});
    auto f = Carga(QStringLiteral("SELECT IdFamilia, Descripcion FROM V_TA_FAMILIAS"));
    f->cajaBusqueda()->setEditText(QStringLiteral("UNO"));
    QTest::keyClick(f->cajaBusqueda(), Qt::Key_F5);
    EXPECT_EQ(f->claves(), (QStringList{"A", "A01", "A02"}));
}

TEST_F(ArbolTest, CheckingANodeChecksItsSubtreeSixLevelsDeep) {
    const QStringList codigos{"1", "11", "111", "1111", "11111", "111111", "1111111", "11111111", "2"};
    Inserta(QStringLiteral("TA_CCOSTO"), codigos, codigos);
    auto d = Carga(kCentros, QStringLiteral("CODIGO"), true);
    d->nodo(QStringLiteral("A1"))->setCheckState(0, Qt::Checked);
    for (const QString& c : codigos) {
        const Qt::CheckState esperado = (c.size() <= 7 && c.startsWith(QLatin1Char('1'))) ? Qt::Checked : Qt::Unchecked;
        EXPECT_EQ(d->nodo(QStringLiteral("A") + c)->checkState(0), esperado) << c.toStdString();
    }
    // Unchecking goes down the same way; a node below the cascade keeps its state.
    d->nodo(QStringLiteral("A11111111"))->setCheckState(0, Qt::Checked);
    d->nodo(QStringLiteral("A11"))->setCheckState(0, Qt::Unchecked);
    EXPECT_EQ(d->nodo(QStringLiteral("A1111111"))->checkState(0), Qt::Unchecked);
    EXPECT_EQ(d->nodo(QStringLiteral("A11111111"))->checkState(0), Qt::Unchecked);   // six below A11
    EXPECT_EQ(d->nodo(QStringLiteral("A1"))->checkState(0), Qt::Checked);

    // Accept in check-box mode returns the checked codes in node order.
    d->nodo(QStringLiteral("A2"))->setCheckState(0, Qt::Checked);
    d->CmdAceptar_Click();
    QStringList valores;
    for (const vb::Variant& v : d->Valores) valores << v.text();
    EXPECT_EQ(valores, (QStringList{"1", "2"}));
}

TEST_F(ArbolTest, AcceptReturnsTheCodeCheckedAgainstItsTable) {
    Inserta(QStringLiteral("V_TA_FAMILIAS"), {"01", "0101"}, {"UNO", "UNO UNO"});
    auto d = Carga(QStringLiteral("SELECT IdFamilia, Descripcion FROM V_TA_FAMILIAS"), QStringLiteral("IdFamilia"));
    d->arbol()->setCurrentItem(d->nodo(QStringLiteral("A0101")));
    d->CmdAceptar_Click();
    EXPECT_EQ(d->ValorDevuelto.text(), QStringLiteral("0101"));
    // The root is the empty code: not in the table.
    d->arbol()->setCurrentItem(d->nodo(QStringLiteral("A")));
    d->CmdAceptar_Click();
    EXPECT_EQ(d->ValorDevuelto.text(), QString());

    // CODIGO looks in the cost centres, then in the accounts.
    Inserta(QStringLiteral("TA_CCOSTO"), {"5"}, {"CINCO"});
    Inserta(QStringLiteral("MA_CUENTAS"), {"6"}, {"SEIS"});
    auto c = Carga(QStringLiteral("SELECT CODIGO, DESCRIPCION FROM TA_CCOSTO UNION ALL SELECT CODIGO, DESCRIPCION FROM MA_CUENTAS "
                                  "UNION ALL SELECT '7', 'SIETE' ORDER BY 1"),
                   QStringLiteral("codigo"));
    const struct { const char* clave; const char* valor; } casos[] = {{"A5", "5"}, {"A6", "6"}, {"A7", ""}};
    for (const auto& k : casos) {
        c->ValorDevuelto = vb::Variant(QStringLiteral("previo"));
        c->arbol()->setCurrentItem(c->nodo(QString::fromLatin1(k.clave)));
        c->CmdAceptar_Click();
        EXPECT_EQ(c->ValorDevuelto.text(), QString::fromLatin1(k.valor)) << k.clave;
    }
    // Any other returned column leaves the value as it was.
    c->CampoDevuelto = QStringLiteral("DESCRIPCION");
    c->ValorDevuelto = vb::Variant(QStringLiteral("previo"));
    c->CmdAceptar_Click();
    EXPECT_EQ(c->ValorDevuelto.text(), QStringLiteral("previo"));

    c->Valores = {vb::Variant(1)};
    c->CmdCancelar_Click();
    EXPECT_EQ(c->ValorDevuelto.text(), QString());
    EXPECT_TRUE(c->Valores.isEmpty());
}

}  // namespace
}  // namespace lookuptest
