// Article lookup by code, barcodes, scale labels and supplier codes.
#include "core/articulos.h"
#include "core/mod_global.h"
#include "core_db.h"
#include "platform/vb/error.h"

#include <gtest/gtest.h>

namespace {

class ArticulosTest : public coretest::BaseCentralTest {
protected:
    void Carga() override {
        coretest::Ejecuta(carpeta.path(), {
            Articulo("1001", "YERBA 1KG", "UN"),
            Barra("1001", 0, "7790001000012", "UN"),
            QStringLiteral("INSERT INTO MA_BULTOS (IDARTICULO, BULTO, CODIGOBARRADUN, UD_TTE) VALUES ('1001', 'CJ', '17790001000019', 'CJ')"),
            QStringLiteral("INSERT INTO MA_ARTICULOSPROVEEDOR (IDARTICULO, CUENTAPROVEEDOR, CODIGOARTPROVEEDOR) VALUES ('1001', '2001', 'PROV-YER')"),
            Articulo("1002", "AZUCAR", "KG"),
            Barra("1002", 0, "7790001000029", "KG"),
            Barra("1002", 3, "8410000000034", "CJ6"),
            Articulo("1003", "ACEITE", "LT"),
            Barra("1003", 4, "ALT4", "CJ"),
            Articulo("12345", "QUESO", "KG"),
            Articulo("O''NEIL", "TE INGLES", "UN"),
            QStringLiteral("INSERT INTO V_MA_PRECIOS (IDLISTA, TIPOLISTA, IDARTICULO, IDARTICULOPROVEEDOR, IDUNIDAD, FECHA) "
                           "VALUES ('7', 'C', '1003', 'SUP-ACE', 'LT', '2008-01-01')"),
            QStringLiteral("INSERT INTO V_MA_PRECIOS (IDLISTA, TIPOLISTA, IDARTICULO, IDARTICULOPROVEEDOR, IDUNIDAD, FECHA) "
                           "VALUES ('7', 'C', '9999', 'SUP-FANT', 'UN', '2008-01-01')"),
        });
    }

    static QString Articulo(const char* id, const char* descripcion, const char* unidad) {
        return QStringLiteral("INSERT INTO MA_ARTICULOS (IDARTICULO, DESCRIPCION, IDUNIDAD) VALUES ('%1', '%2', '%3')")
            .arg(QString::fromUtf8(id), QString::fromUtf8(descripcion), QString::fromUtf8(unidad));
    }
    static QString Barra(const char* id, int numero, const char* barra, const char* unidad) {
        return QStringLiteral("INSERT INTO MA_CODIGOSBARRA (IDARTICULO, NUMERO, CODIGOBARRA, IDUNIDAD) VALUES ('%1', %2, '%3', '%4')")
            .arg(QString::fromUtf8(id)).arg(numero).arg(QString::fromUtf8(barra), QString::fromUtf8(unidad));
    }
};

struct Busqueda {
    bool encontrado;
    QString codigo;
    QString descripcion;
    QString udBase;
    int consultas;
};

TEST_F(ArticulosTest, FindsOneArticleByEachOfItsCodes) {
    struct Caso {
        const char* escrito;
        bool barraPrimero;
        const char* cuenta;
        const char* lista;
        Busqueda esperado;
    };
    const Caso casos[] = {
        {"1001", false, "", "", {true, "1001", "YERBA 1KG", "UN", 1}},
        {"7790001000012", true, "", "", {true, "1001", "YERBA 1KG", "UN", 1}},           // barcode first
        {"7790001000012", false, "", "", {true, "1001", "YERBA 1KG", "UN", 2}},          // code, then barcode
        {"17790001000019", true, "", "", {true, "1001", "YERBA 1KG", "UN", 3}},          // pack barcode
        {"8410000000034", true, "", "", {true, "1002", "AZUCAR", "KG", 6}},              // third alternate
        {"ALT4", false, "", "", {true, "1003", "ACEITE", "LT", 7}},                      // fourth alternate
        {"PROV-YER", false, "2001", "", {true, "1001", "YERBA 1KG", "UN", 9}},           // supplier's code
        {"SUP-ACE", false, "2001", "7", {true, "1003", "ACEITE", "LT", 10}},             // supplier price list
        {"SUP-FANT", false, "2001", "7", {false, "9999", "", "UN", 10}},                 // priced, article missing
        {"NADA", false, "", "", {false, "NADA", "", "", 8}},
        {"O'NEIL", false, "", "", {true, "O'NEIL", "TE INGLES", "UN", 1}},               // quote doubled
        {"x' OR '1'='1", false, "2001", "", {false, "x' OR '1'='1", "", "", 9}},
    };
    for (const Caso& c : casos) {
        registro->abiertas.clear();
        QString codigo = QString::fromUtf8(c.escrito);
        QString descripcion;
        QString udBase = QStringLiteral("previo");
        const bool encontrado = core::BuscaArticulo(codigo, nullptr, true, c.barraPrimero, &descripcion,
                                                    QString::fromUtf8(c.cuenta), &udBase, QString::fromUtf8(c.lista));
        SCOPED_TRACE(c.escrito);
        EXPECT_EQ(encontrado, c.esperado.encontrado);
        EXPECT_EQ(codigo.trimmed(), c.esperado.codigo);
        EXPECT_EQ(descripcion.trimmed(), c.esperado.descripcion);
        EXPECT_EQ(udBase.trimmed(), c.esperado.udBase);
        EXPECT_EQ(registro->abiertas.size(), c.esperado.consultas);
    }
}

TEST_F(ArticulosTest, NotFoundWithoutSupplierRunsEightQueries) {
    QString codigo = QStringLiteral("NADA");
    ASSERT_FALSE(core::BuscaArticulo(codigo));
    ASSERT_EQ(registro->abiertas.size(), 8);
    EXPECT_EQ(registro->abiertas[0], registro->abiertas[7]);
    EXPECT_EQ(registro->abiertas[0],
              QStringLiteral("SELECT *,IDUNIDAD AS UDBASE  FROM V_MA_ARTICULOS WHERE IDARTICULO = 'NADA                     '"));
    EXPECT_EQ(registro->abiertas[1],
              QStringLiteral("SELECT *,IDUNIDAD AS UDBASE  FROM V_MA_ARTICULOS WHERE codigobarra =  'NADA                     '"));
}

TEST_F(ArticulosTest, QuantityPrefixAndShortCodes) {
    QString codigo = QStringLiteral("3*7790001000012");
    double cantidad = 0;
    ASSERT_TRUE(core::BuscaArticulo(codigo, nullptr, true, true, nullptr, QString(), nullptr, QString(), &cantidad));
    EXPECT_EQ(cantidad, 3);
    EXPECT_EQ(codigo.trimmed(), QStringLiteral("1001"));
    EXPECT_TRUE(registro->abiertas[0].contains(QStringLiteral("codigobarra =  '7790001000012")));

    // Six characters or fewer: the code column comes first even when the barcode was asked for.
    registro->abiertas.clear();
    codigo = QStringLiteral("12345");
    ASSERT_TRUE(core::BuscaArticulo(codigo, nullptr, true, true));
    EXPECT_TRUE(registro->abiertas[0].contains(QStringLiteral("IDARTICULO = '12345")));

    codigo = QStringLiteral("x*1001");
    EXPECT_THROW(core::BuscaArticulo(codigo), vb::Error);   // not a number
}

TEST_F(ArticulosTest, ScaleLabelsAreDecodedOnlyWithALayout) {
    QString codigo = QStringLiteral("2012345012504");   // 13 digits starting with 2
    ASSERT_FALSE(core::BuscaArticulo(codigo));
    EXPECT_EQ(codigo, QStringLiteral("2012345012504"));   // no layout: searched unchanged

    struct Caso {
        const char* mascara;
        const char* etiqueta;
        const char* codigo;
        double cantidad;
        double importe;
    };
    const Caso casos[] = {
        {"cccccTTTTT", "2012345012504", "12345", 1, 12.5},
        {"CCCCTTTTT", "2011001012504", "1001", 1, 12.5},
        {"CCCCCCQQQQQ", "2012345001504", "012345", 1.5, -1},
        {"CCCCC0PPPPP", "2100100012345", "1001", -1, -1},
        {"CCCC0TTTTTT", "2100100012345", "1001", 1, -1},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.mascara);
        core::gMascaraPesable = QString::fromUtf8(c.mascara);
        codigo = QString::fromUtf8(c.etiqueta);
        double cantidad = -1;
        vb::Currency importe = vb::Currency::fromDouble(-1);
        core::BuscaArticulo(codigo, nullptr, true, false, nullptr, QString(), nullptr, QString(), &cantidad, &importe);
        EXPECT_EQ(codigo.trimmed(), QString::fromUtf8(c.codigo));
        EXPECT_DOUBLE_EQ(cantidad, c.cantidad);
        EXPECT_EQ(importe, vb::Currency::fromDouble(c.importe));
    }
}

TEST_F(ArticulosTest, HandsBackTheRecordsetOnTheArticlesRow) {
    QString codigo = QStringLiteral("8410000000034");
    ado::RecordsetPtr rs;
    ASSERT_TRUE(core::BuscaArticulo(codigo, &rs, false, true));
    ASSERT_TRUE(rs);
    ASSERT_EQ(rs->State(), ado::adStateOpen);
    EXPECT_EQ(rs->Fields(QStringLiteral("Descripcion")).Value().text(), QStringLiteral("AZUCAR"));
    EXPECT_EQ(rs->Fields(QStringLiteral("UdBase")).Value().text().trimmed(), QStringLiteral("KG"));
    rs->Close();
}

}  // namespace
