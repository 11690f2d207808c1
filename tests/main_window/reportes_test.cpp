#include "main_window/reportes.h"

#include "support/test_support.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

TEST(Reportes, SelectionFormulaBecomesAQuotedCondition) {
    struct Caso { const char* formula; bool ok; const char* condicion; };
    const Caso casos[] = {
        {"{mv_novedadesprecios.codigo} =15", true, "mv_novedadesprecios.codigo = '15'"},
        {" { MV.Fecha }>= '01/02/2020' ", true, "MV.Fecha >= '01/02/2020'"},
        {"{t.c} <> 4'2", true, "t.c <> '4''2'"},
        {"{t.c} =15'; DROP TABLE X; --", true, "t.c = '15''; DROP TABLE X; --'"},
        {"", true, ""},
        {"codigo = 15", false, ""},
        {"{t.c} LIKE 1", false, ""},
    };
    for (const auto& c : casos) {
        QString cond;
        EXPECT_EQ(main_window::CondicionDeSeleccion(QString::fromUtf8(c.formula), cond), c.ok) << c.formula;
        if (c.ok) {
            EXPECT_EQ(cond, QString::fromUtf8(c.condicion)) << c.formula;
        }
    }
}

TEST(Reportes, QueryTakesTheConditionAndTheOrder) {
    main_window::DefinicionReporte def;
    def.consulta = QStringLiteral("SELECT * FROM T");
    def.orden = QStringLiteral("A");
    EXPECT_EQ(main_window::ConsultaReporte(def, QStringLiteral("T.A = '1'")), QStringLiteral("SELECT * FROM T WHERE (T.A = '1') ORDER BY A"));
    def.consulta = QStringLiteral("SELECT * FROM T WHERE B = 2");
    def.orden.clear();
    EXPECT_EQ(main_window::ConsultaReporte(def, QStringLiteral("T.A = '1'")), QStringLiteral("SELECT * FROM T WHERE B = 2 AND (T.A = '1')"));
    EXPECT_EQ(main_window::ConsultaReporte(def, QString()), QStringLiteral("SELECT * FROM T WHERE B = 2"));
}

TEST(Reportes, TheShippedDefinitionsRead) {
    for (const char* nombre : {"RP_NovedadesPrecios", "MA_PRE3"}) {
        main_window::DefinicionReporte def;
        QString error;
        const QString archivo = QDir(testsupport::SourceDir()).filePath(QStringLiteral("reports/%1.rpt").arg(QString::fromLatin1(nombre)));
        ASSERT_TRUE(main_window::LeeDefinicionReporte(archivo, def, error)) << error.toStdString();
        EXPECT_FALSE(def.titulo.isEmpty());
        EXPECT_FALSE(def.columnas.empty());
        EXPECT_TRUE(def.consulta.contains(QStringLiteral("mv_novedadesprecios"), Qt::CaseInsensitive)) << nombre;
    }
}

}  // namespace
