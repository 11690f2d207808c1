// The lookup files of the program folder as a damaged disk or an editor may leave them
// ("consultas.qvd", "CONSULTASLEN.QVD"), and the statement texts the lookups cut and narrow:
// every read gives records, a statement or nothing, and never crashes.
#include "core/consultas_qvd.h"
#include "data/sql_literal.h"
#include "lookup/consultas_len.h"
#include "lookup/lib_frm_cons3.h"
#include "lookup/lookup_sql.h"
#include "lookup_fixture.h"
#include "platform/vb/error.h"
#include "support/mutator.h"

#include <QFile>
#include <QHeaderView>
#include <QTreeWidget>
#include <cstdint>

namespace lookuptest {
namespace {

void Escribe(const QString& ruta, const QByteArray& b) {
    QFile f(ruta);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(b), b.size());
}

// ---------------------------------------------------------------- "consultas.qvd"

TEST(ConsultasRobustness, DamagedDefinitionFilesGiveRecordsOrNothing) {
    testsupport::TempFolder carpeta;
    const QString ruta = carpeta.file(QStringLiteral("consultas.qvd"));
    testsupport::Mutator m(1202);
    const QByteArray bueno = core::RegistroConsultas(QStringLiteral("Articulos"), QStringLiteral("V_MA_ARTICULOS"),
                                                     QStringLiteral("|DESCRIPCION|IDARTICULO|"),
                                                     QStringLiteral("SUSPENDIDO = 0")) +
                             core::RegistroConsultas(QStringLiteral("Clientes"), QStringLiteral("VT_CLIENTES"),
                                                     QStringLiteral("|NOMBRE|"));
    const char* const piezas[] = {"|", "||", ",", "'", "\r\n", "V_MA_ARTICULOS", "order by", "where"};
    for (int i = 0; i < 800; ++i) {
        const QByteArray b = i % 4 == 0 ? m.bytes(3000) : m.muta(bueno, piezas, '|');
        Escribe(ruta, b);
        SCOPED_TRACE(i);
        for (const char* tabla : {"V_MA_ARTICULOS", "VT_CLIENTES", "", " "}) {
            std::optional<lookup::RegistroConsulta> r;
            try {
                r = lookup::BuscaDefinicion(ruta, QString::fromLatin1(tabla));
            } catch (const vb::Error& e) {
                ADD_FAILURE() << e.description().toStdString();
            }
            if (!r) continue;
            EXPECT_FALSE(r->tabla.contains(QChar(0)));
            EXPECT_FALSE(r->columnas.contains(QLatin1Char('|')));
            const lookup::SentenciaDefinicion s =
                lookup::ArmaSentenciaDefinicion(*r, 1 + static_cast<long>(m.menor(5000)), QString(), QStringLiteral("A=1"));
            if (!s.faltaConfigurar) {
                EXPECT_TRUE(s.sentencia.startsWith(QLatin1String("SELECT TOP ")));
            }
        }
        // a record of any length, cut or too long, is read by its fields
        (void)lookup::LeeRegistroConsulta(b.left(static_cast<qsizetype>(m.menor(1500))));
    }
}

TEST(ConsultasRobustness, StatementTextsOfAnyShape) {
    testsupport::Mutator m(7);
    const char* const base[] = {"SELECT TOP 1000 IDARTICULO, DESCRIPCION FROM V_MA_ARTICULOS WHERE SUSPENDIDO = 0 ORDER BY DESCRIPCION",
                                "select a from t group by a order by a", "from", "order by", "group by", "where", ""};
    const char* const piezas[] = {"from ", " order by ", " group by ", " where ", "'", "''", "*", "%", "stk_ma_articulos.",
                                  "v_ma_articulos.", " ", "FROM"};
    for (int i = 0; i < 3000; ++i) {
        const QByteArray b = i % 4 == 0 ? m.bytes(120) : m.muta(m.uno(base), piezas, '|');
        const QString sql = QString::fromUtf8(b);
        const QString texto = QString::fromUtf8(m.muta("x'y*", piezas, '|'));
        (void)lookup::NombreTablaSentencia(sql);
        QString caja;
        const QString f = lookup::FiltraSentenciaLista(sql, QStringLiteral("DESCRIPCION"), texto, m.menor(2) == 1, &caja);
        // the typed text stays inside its literal: every quote of it doubled
        EXPECT_TRUE(f.contains(data::LiteralSQL(caja)));
        (void)lookup::FiltraSentenciaArbol(sql, texto);
        (void)lookup::LimiteFilas(sql);
    }
}

// ---------------------------------------------------------------- "CONSULTASLEN.QVD"

TEST(AnchosRobustness, DamagedWidthFilesAreReadAndRewrittenWhole) {
    testsupport::TempFolder carpeta;
    const QString ruta = carpeta.file(QStringLiteral("CONSULTASLEN.QVD"));
    testsupport::Mutator m(1440);
    const QByteArray bueno = "\"MA_CUENTAS\",\"111|222|\"\r\n\"V_MA_ARTICULOS\",\"900|800|700|\"\r\nVT_CLIENTES, 1|2|\n";
    const char* const piezas[] = {"\"", ",", "\r", "\n", "\r\n", "|", "\"\"", ",,", "\"a,b\""};
    for (int i = 0; i < 1500; ++i) {
        const QByteArray b = i % 4 == 0 ? m.bytes(400) : m.muta(bueno, piezas, '|');
        Escribe(ruta, b);
        const QList<lookup::AnchosTabla> antes = lookup::LeeAnchos(ruta);
        ASSERT_TRUE(lookup::GuardaAnchos(ruta, QStringLiteral("V_NUEVA"), {1, 2, 3}));
        const QList<lookup::AnchosTabla> despues = lookup::LeeAnchos(ruta);
        // every other table's record kept, the new one last
        int otras = 0;
        for (const auto& r : antes) otras += r.tabla.compare(QLatin1String("V_NUEVA"), Qt::CaseInsensitive) != 0;
        ASSERT_EQ(despues.size(), otras + 1) << i;
        EXPECT_EQ(despues.back().anchos, QStringLiteral("1|2|3|"));
    }
}

// Widths from a damaged file reach the list dialog's columns.
// Regression: "1e300|" (beyond the number range of a width) stopped the load with an "Overflow"
// box; such a width, or a negative one, now leaves its column as built and the next widths apply.
class AnchosDialogoRobustness : public LookupTest {};

TEST_F(AnchosDialogoRobustness, AWidthNoColumnCanTakeIsPassedOver) {
    Escribe(lookup::RutaAnchos(), "\"V_MA_ARTICULOS\",\"1e300|1500|-20|\"\r\n");
    lookup::Lib_FrmCons3 comun;
    comun.SQL = QStringLiteral("SELECT IDARTICULO, DESCRIPCION, PRECIO3 FROM V_MA_ARTICULOS");
    QFile::remove(lookup::RutaAnchos());
    comun.Form_Load();
    Escribe(lookup::RutaAnchos(), "\"V_MA_ARTICULOS\",\"1e300|1500|-20|\"\r\n");
    lookup::Lib_FrmCons3 d;
    d.SQL = comun.SQL;
    d.Form_Load();
    EXPECT_EQ(d.anchoColumna(1), comun.anchoColumna(1));
    EXPECT_EQ(d.anchoColumna(2), 1500);
    EXPECT_EQ(d.anchoColumna(3), comun.anchoColumna(3));
}

TEST_F(AnchosDialogoRobustness, AnyWidthTextSizesTheColumnsSomehow) {
    const char* const anchos[] = {"1e300|-1e300|", "nan|inf|-inf|", "99999999999|-99999999999|", "&HFFFFFFFFFFFF|&O7|",
                                  "||||||", "-|+|.|,|", "1440", "2147483647|2147483648|-2147483648|",
                                  "1.7976931348623157e308|4.9e-324|", "\xFF\x00|x|"};
    for (const char* a : anchos) {
        SCOPED_TRACE(a);
        Escribe(lookup::RutaAnchos(), QByteArray("\"V_MA_ARTICULOS\",\"") + a + "\"\r\n");
        lookup::Lib_FrmCons3 d;
        d.SQL = QStringLiteral("SELECT IDARTICULO, DESCRIPCION, PRECIO3 FROM V_MA_ARTICULOS");
        d.Form_Load();
        for (int k = 1; k <= 3; ++k) EXPECT_GE(d.anchoColumna(k), 0);
    }
}

}  // namespace
}  // namespace lookuptest
