// Statement texts of the lookups, the widths file and the small rules of the dialogs.
#include "lookup/consultas_len.h"
#include "lookup/lib_frm_cons3.h"
#include "lookup/lib_frm_cons3_tree.h"
#include "lookup/lookup_sql.h"
#include "platform/vb/files.h"
#include "lookup_fixture.h"
#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace lookup {
namespace {

TEST(LimiteFilas, ReadsTheLeadingNumberAndTakes1000ForNone) {
    const struct { const char* valor; long limite; } casos[] = {
        {"", 1000}, {" ", 1000}, {"0", 1000}, {"abc", 1000}, {"250", 250}, {"12.6", 13}, {"  40 filas", 40},
        // A setting no statement can take: a negative limit, one past what a long holds.
        {"-5", 1000}, {"-0.4", 1000}, {"99999999999999999999", lookup::kMayorLimiteFilas},
        {"1e30", lookup::kMayorLimiteFilas}, {"2147483647", 2147483647},
    };
    for (const auto& c : casos) EXPECT_EQ(LimiteFilas(QString::fromLatin1(c.valor)), c.limite) << c.valor;
}

RegistroConsulta Registro(const QString& tabla, const QString& columnas, const QString& filtro = QString()) {
    QByteArray r = vb::FixedText(QStringLiteral("T"), 100) + vb::FixedText(tabla, 100) + vb::FixedText(columnas, 500) +
                   vb::FixedText(filtro, 500) + QByteArray("\r\n");
    return LeeRegistroConsulta(r);
}

TEST(DefinicionConsulta, BuildsTheStatementOfARecord) {
    const SentenciaDefinicion s = ArmaSentenciaDefinicion(Registro(QStringLiteral("V_MA_ARTICULOS"),
                                                                   QStringLiteral("|DESCRIPCION|IDARTICULO|")),
                                                          1000, QString(), QString());
    EXPECT_FALSE(s.faltaConfigurar);
    EXPECT_EQ(s.sentencia, QStringLiteral("SELECT TOP 1000 DESCRIPCION,IDARTICULO FROM V_MA_ARTICULOS WHERE SUSPENDIDO = 0 "
                                          "ORDER BY DESCRIPCION"));
    EXPECT_EQ(s.campoBusqueda, QStringLiteral("DESCRIPCION"));
}

TEST(DefinicionConsulta, FilterComesFromTheRecordThenTheCallerThenTheTable) {
    const struct {
        const char* tabla; const char* filtro; const char* where; const char* esperado;
    } casos[] = {
        {"VT_CLIENTES", "CUIT <> ''", "CODIGO > '1'", " WHERE CUIT <> '' ORDER BY"},
        {"VT_CLIENTES", "", "CODIGO > '1'", " WHERE CODIGO > '1' ORDER BY"},
        {"VT_CLIENTES", "", "", " WHERE Dada_De_Baja = 0 ORDER BY"},
        {"vt_proveedores", "", "  ", " WHERE Dada_De_Baja = 0 ORDER BY"},
        {"MA_CUENTAS", "", "", " ORDER BY"},
    };
    for (const auto& c : casos) {
        const SentenciaDefinicion s = ArmaSentenciaDefinicion(
            Registro(QString::fromLatin1(c.tabla), QStringLiteral("|A|B|"), QString::fromLatin1(c.filtro)), 5, QString(),
            QString::fromLatin1(c.where));
        EXPECT_TRUE(s.sentencia.contains(QString::fromLatin1(c.esperado))) << s.sentencia.toStdString();
    }
}

TEST(DefinicionConsulta, ColumnsAndSearchColumn) {
    // One column and no search column given: the lookup is not configured.
    EXPECT_TRUE(ArmaSentenciaDefinicion(Registro(QStringLiteral("X"), QStringLiteral("|CODIGO|")), 9, QString(), QString())
                    .faltaConfigurar);
    // The caller's search column is kept, and then one column is enough.
    const SentenciaDefinicion s =
        ArmaSentenciaDefinicion(Registro(QStringLiteral("X"), QStringLiteral("|CODIGO|")), 9, QStringLiteral("CODIGO"), QString());
    EXPECT_FALSE(s.faltaConfigurar);
    EXPECT_EQ(s.sentencia, QStringLiteral("SELECT TOP 9 CODIGO FROM X ORDER BY CODIGO"));
    // A blank column list selects everything.
    EXPECT_EQ(ArmaSentenciaDefinicion(Registro(QStringLiteral("X"), QString()), 9, QStringLiteral("A"), QString()).columnas,
              QStringLiteral("*"));
}

TEST(DefinicionConsulta, ZeroAnd255FillingReadsAsBlanks) {
    QByteArray r = vb::FixedText(QStringLiteral("T"), 100) + vb::FixedText(QStringLiteral("V_TA_Tareas"), 100) +
                   vb::FixedText(QStringLiteral("|Descripcion|IdTarea|"), 500) + QByteArray(500, '\0') + QByteArray("\r\n");
    r[111] = '\0';
    r[112] = char(0xFF);
    const RegistroConsulta reg = LeeRegistroConsulta(r);
    EXPECT_EQ(reg.tabla, QStringLiteral("V_TA_Tareas"));
    EXPECT_EQ(reg.columnas, QStringLiteral(",Descripcion,IdTarea,"));
    EXPECT_TRUE(reg.filtro.isEmpty());
}

TEST(NombreTablaSentencia, TheWordAfterFrom) {
    EXPECT_EQ(NombreTablaSentencia(QStringLiteral("select * from TA_FAMILIAS ")), QStringLiteral("TA_FAMILIAS"));
    EXPECT_EQ(NombreTablaSentencia(QStringLiteral("select Codigo FROM Clientes where a = 1 ")), QStringLiteral("Clientes"));
    EXPECT_EQ(NombreTablaSentencia(QStringLiteral("select * from V_MA_ARTICULOS")), QStringLiteral("V_MA_ARTICULOS"));
    EXPECT_EQ(NombreTablaSentencia(QStringLiteral("sin tabla")), QString());
}

TEST(FiltroF5Lista, NarrowsTheStatementBeforeItsTail) {
    QString caja;
    const QString sql = QStringLiteral("select Codigo, Descripcion from VT_CLIENTES order by Descripcion ");
    EXPECT_EQ(FiltraSentenciaLista(sql, QStringLiteral("Descripcion"), QStringLiteral("ga*z"), false, &caja),
              QStringLiteral("select Codigo, Descripcion from VT_CLIENTES  where Descripcion like 'ga%z%' order by Descripcion "));
    EXPECT_EQ(caja, QStringLiteral("ga%z"));

    // With LIKE anywhere the "*" stays as typed.
    EXPECT_EQ(FiltraSentenciaLista(sql, QStringLiteral("Codigo"), QStringLiteral("1*"), true, &caja),
              QStringLiteral("select Codigo, Descripcion from VT_CLIENTES  where Codigo like '%1*%' order by Descripcion "));
    EXPECT_EQ(caja, QStringLiteral("1*"));

    // A second F5 adds its condition with " and ".
    const QString una = FiltraSentenciaLista(sql, QStringLiteral("A"), QStringLiteral("x"), false);
    EXPECT_EQ(FiltraSentenciaLista(una, QStringLiteral("B"), QStringLiteral("y"), false),
              QStringLiteral("select Codigo, Descripcion from VT_CLIENTES  where A like 'x%'  and B like 'y%' order by Descripcion "));

    // A group-by part, with its order-by, is kept whole as the tail.
    EXPECT_EQ(FiltraSentenciaLista(QStringLiteral("select A, count(*) from T group by A order by A "), QStringLiteral("A"),
                                   QStringLiteral("k"), false),
              QStringLiteral("select A, count(*) from T  where A like 'k%' group by A order by A "));

    // Article statements qualify the field with their view.
    EXPECT_EQ(FiltraSentenciaLista(QStringLiteral("select v_ma_articulos.IDARTICULO from v_ma_articulos "), QStringLiteral("IDARTICULO"),
                                   QStringLiteral("7"), false),
              QStringLiteral("select v_ma_articulos.IDARTICULO from v_ma_articulos  where v_ma_articulos.IDARTICULO like '7%' "));
}

TEST(FiltroF5Lista, QuotesTypedByTheOperatorAreDoubled) {
    const QString sql = QStringLiteral("select A from T ");
    EXPECT_EQ(FiltraSentenciaLista(sql, QStringLiteral("A"), QStringLiteral("D'ANGELO"), false),
              QStringLiteral("select A from T  where A like 'D''ANGELO%' "));
    EXPECT_EQ(FiltraSentenciaLista(sql, QStringLiteral("A"), QStringLiteral("x' OR '1'='1"), true),
              QStringLiteral("select A from T  where A like '%x'' OR ''1''=''1%' "));
}

TEST(FiltroF5Arbol, DescriptionHoldsTheText) {
    EXPECT_EQ(FiltraSentenciaArbol(QStringLiteral("select IdPosicion, Descripcion from MA_POSICIONES order by IdPosicion "),
                                   QStringLiteral("est")),
              QStringLiteral("select IdPosicion, Descripcion from MA_POSICIONES  where Descripcion like '%est%' order by IdPosicion "));
    EXPECT_EQ(FiltraSentenciaArbol(QStringLiteral("select a, b from T where x = 1"), QStringLiteral("o'n")),
              QStringLiteral("select a, b from T where x = 1 and Descripcion like '%o''n%' "));
}

TEST(PadrePorPrefijo, LongestKeyThatBeginsTheNewOne) {
    QStringList claves{QStringLiteral("A")};
    const struct { const char* clave; const char* padre; } casos[] = {
        {"A1", "A"}, {"A10", "A1"}, {"A101", "A10"}, {"A11", "A1"}, {"A2", "A"}, {"A1010", "A101"},
    };
    for (const auto& c : casos) {
        const int p = PadrePorPrefijo(claves, QString::fromLatin1(c.clave));
        ASSERT_GE(p, 0);
        EXPECT_EQ(claves[p], QString::fromLatin1(c.padre)) << c.clave;
        claves << QString::fromLatin1(c.clave);
    }
    EXPECT_EQ(PadrePorPrefijo({QStringLiteral("Ab"), QStringLiteral("AB")}, QStringLiteral("abc")), 0);   // earlier on a tie
    EXPECT_EQ(PadrePorPrefijo({QStringLiteral("AX")}, QStringLiteral("AB")), -1);
}

TEST(NivelStock, FirstMatchWins) {
    auto c = [](double v) { return vb::Currency::fromDouble(v); };
    const struct { double p, s; int nivel; } casos[] = {
        {0, 5, 1}, {10, 15, 2}, {10, 3, 3}, {10, 10, 4}, {0, 0, 4}, {0, -2, 4}, {-1, 5, 4},
    };
    for (const auto& k : casos) EXPECT_EQ(NivelStock(c(k.p), c(k.s)), k.nivel) << k.p << " " << k.s;
}

TEST(ValoresDefault, WholeKeysOnly) {
    const QString lista = QStringLiteral("A01, A02");
    EXPECT_TRUE(EstaEnValoresDefault(QStringLiteral("A01"), lista));
    EXPECT_TRUE(EstaEnValoresDefault(QStringLiteral("a02 "), lista));
    EXPECT_FALSE(EstaEnValoresDefault(QStringLiteral("A0"), lista));
    EXPECT_FALSE(EstaEnValoresDefault(QStringLiteral("A011"), lista));
    EXPECT_FALSE(EstaEnValoresDefault(QString(), lista));
    EXPECT_TRUE(EstaEnValoresDefault(QStringLiteral("X"), QStringLiteral("|W|X|")));
}

TEST(AnchoVentana, ScreenWideListsTakeTheScreen) {
    EXPECT_EQ(AnchoVentana(5000, 12000), 5280);
    EXPECT_EQ(AnchoVentana(11640, 12000), 11520);
    EXPECT_EQ(AnchoVentana(11639, 12000), 11919);
}

TEST(CodigoTecla, KeyCodesOfTheKeysTheDialogsRead) {
    EXPECT_EQ(CodigoTecla(Qt::Key_A, false), 65);
    EXPECT_EQ(CodigoTecla(Qt::Key_1, false), 49);
    EXPECT_EQ(CodigoTecla(Qt::Key_1, true), 97);
    EXPECT_EQ(CodigoTecla(Qt::Key_F5, false), 116);
    EXPECT_EQ(CodigoTecla(Qt::Key_F12, false), 123);
    EXPECT_EQ(CodigoTecla(Qt::Key_Insert, false), 45);
    EXPECT_EQ(CodigoTecla(Qt::Key_Return, false), 13);
}

class AnchosTest : public ::testing::Test {
protected:
    testsupport::TempFolder carpeta_;
    QString ruta() const { return carpeta_.file(QStringLiteral("CONSULTASLEN.QVD")); }
    QByteArray contenido() const {
        QFile f(ruta());
        if (!f.open(QIODevice::ReadOnly)) return QByteArray();
        return f.readAll();
    }
};

TEST_F(AnchosTest, SavingReplacesOnlyTheTablesRecord) {
    ASSERT_TRUE(GuardaAnchos(ruta(), QStringLiteral("VT_CLIENTES"), {1440, 2880}));
    ASSERT_TRUE(GuardaAnchos(ruta(), QStringLiteral("V_MA_ARTICULOS"), {1440, 2880, 960}));
    ASSERT_TRUE(GuardaAnchos(ruta(), QStringLiteral("vt_clientes"), {1000, 500}));
    EXPECT_EQ(contenido(), QByteArray("\"V_MA_ARTICULOS\",\"1440|2880|960|\"\r\n\"vt_clientes\",\"1000|500|\"\r\n"));
    EXPECT_FALSE(QFile::exists(carpeta_.file(QStringLiteral("CONSULTASLEN.AUX"))));
}

TEST_F(AnchosTest, AFailedSaveLeavesTheOldFileWhole) {
    ASSERT_TRUE(GuardaAnchos(ruta(), QStringLiteral("VT_CLIENTES"), {1440, 2880}));
    const QByteArray antes = contenido();
    // The auxiliary file cannot be written: a folder stands in its place.
    ASSERT_TRUE(QDir(carpeta_.path()).mkdir(QStringLiteral("CONSULTASLEN.AUX")));
    EXPECT_FALSE(GuardaAnchos(ruta(), QStringLiteral("V_MA_ARTICULOS"), {100}));
    EXPECT_EQ(contenido(), antes);
}

TEST_F(AnchosTest, ReadsQuotedAndUnquotedRecords) {
    QFile f(ruta());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("\"TA_FAMILIAS\",\"100|200|\"\r\nV_MA_ARTICULOS,300|\r\n\r\n\"A, B\",\"1|\"\n");
    f.close();
    const QList<AnchosTabla> r = LeeAnchos(ruta());
    ASSERT_EQ(r.size(), 3);
    EXPECT_EQ(r[0].tabla, QStringLiteral("TA_FAMILIAS"));
    EXPECT_EQ(r[0].anchos, QStringLiteral("100|200|"));
    EXPECT_EQ(r[1].tabla, QStringLiteral("V_MA_ARTICULOS"));
    EXPECT_EQ(r[1].anchos, QStringLiteral("300|"));
    EXPECT_EQ(r[2].tabla, QStringLiteral("A, B"));
    EXPECT_TRUE(LeeAnchos(carpeta_.file(QStringLiteral("no-existe"))).isEmpty());
}

}  // namespace
}  // namespace lookup
