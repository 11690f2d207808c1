// The seven tasks run against the head-office and interface databases of db/, with their demo
// rows: what each step copies in each mode, with its conversions, and how a bad row ends a step.
#include "db/databases.h"
#include "platform/ado/ado.h"
#include "platform/dts/source_rows.h"
#include "support/test_support.h"
#include "sender/korvane.h"

#include <gtest/gtest.h>

namespace {

using testsupport::Count;
using testsupport::Rows;

const char* const kSteps[][2] = {
    {"DTSStep_DTSExecuteSQLTask_1", "DTSTask_DTSExecuteSQLTask_1"}, {"DTSStep_DTSDataPumpTask_1", "DTSTask_DTSDataPumpTask_1"},
    {"DTSStep_DTSDataPumpTask_2", "DTSTask_DTSDataPumpTask_2"},     {"DTSStep_DTSDataPumpTask_3", "DTSTask_DTSDataPumpTask_3"},
    {"DTSStep_DTSDataPumpTask_4", "DTSTask_DTSDataPumpTask_4"},     {"DTSStep_DTSDataPumpTask_5", "DTSTask_DTSDataPumpTask_5"},
    {"DTSStep_DTSDataPumpTask_7", "DTSTask_DTSDataPumpTask_7"},
};

class SendRun : public ::testing::Test {
protected:
    void SetUp() override {
        db::CreateHeadOffice(folder.path());
        db::CreateInterface(folder.path());
        volma = Open(db::kHeadOfficeName);
        interfaz = Open(db::kInterfaceName);
        // The interface wants a supplier for every article: give the demo articles without a
        // principal supplier one.
        volma->Execute("INSERT INTO MA_ARTICULOSPROVEEDOR (IDARTICULO, CUENTAPROVEEDOR, CODIGOARTPROVEEDOR, PRINCIPAL, TIPOACT) "
                       "SELECT p.IDARTICULO, 'P0001', 'DEMO', 1, 'M' FROM V_MA_PRECIOS p WHERE p.IDLISTA = 'A3' AND NOT EXISTS "
                       "(SELECT 1 FROM MA_ARTICULOSPROVEEDOR x WHERE x.IDARTICULO = p.IDARTICULO AND x.PRINCIPAL = 1)");
    }

    ado::ConnectionPtr Open(const QString& name) {
        auto c = ado::Connection::Create();
        c->Open(db::ConnectionText(folder.path(), name));
        return c;
    }

    // The package as the send builds it: two connections, seven steps, the seven tasks.
    std::shared_ptr<dts::Package> Build(const QString& mode) {
        auto package = dts::Package::Create();
        long id = 0;
        for (const QString& catalog : {db::kHeadOfficeName, db::kInterfaceName}) {
            auto c = package->Connections().New("SQLOLEDB");
            c->setName(QStringLiteral("conexion %1").arg(++id));
            c->setID(id);
            c->setDataSource(folder.path());
            c->setCatalog(catalog);
            c->setUserID("sa");
            package->Connections().Add(c);
        }
        for (const auto& s : kSteps) {
            auto step = package->Steps().New();
            step->setName(s[0]);
            step->setTaskName(s[1]);
            package->Steps().Add(step);
        }
        for (const sender::ArmaTarea arma : sender::kTareasPaquete) arma(*package, mode);
        return package;
    }

    // Runs every step in position order, as the send does; the steps' error texts.
    QStringList RunAll(dts::Package& package) {
        QStringList failures;
        for (int i = 1; i <= package.Steps().Count(); ++i) {
            auto step = package.Steps().Item(i);
            step->Execute();
            EXPECT_EQ(step->ExecutionStatus(), dts::DTSStepExecStat_Completed);
            if (step->ExecutionResult() != dts::DTSStepExecResult_Success)
                failures << step->Name() + ": " + step->ErrorDescription();
        }
        return failures;
    }

    testsupport::TempFolder folder;
    ado::ConnectionPtr volma;
    ado::ConnectionPtr interfaz;
};

TEST_F(SendRun, FullRetransmissionCopiesEveryRowOfEveryView) {
    auto package = Build("C");
    const QStringList failures = RunAll(*package);
    EXPECT_TRUE(failures.isEmpty()) << failures.join("\n").toStdString();
    const char* const pairs[][2] = {
        {"QET_KORVANE", "IMPONOVARTI"},        {"QET_KORVANE_BARRAS", "IMPONOVBARRAS"}, {"QET_KORVANE_BULTOS", "IMPONOVBULTOS"},
        {"QET_KORVANE_NOVPROV", "IMPONOVPROV"}, {"QET_KORVANE_PROV", "IMPOPROV"},         {"QET_KORVANE_OFERTAS", "OFERTAS"},
    };
    for (const auto& p : pairs) {
        EXPECT_GT(Count(volma, p[0]), 0) << p[0];
        EXPECT_EQ(Count(interfaz, p[1]), Count(volma, p[0])) << p[1];
    }
}

TEST_F(SendRun, NormalModeCopiesOnlyTheChangesOfFourViews) {
    auto package = Build("N");
    const QStringList failures = RunAll(*package);
    EXPECT_TRUE(failures.isEmpty()) << failures.join("\n").toStdString();
    const char* const changesOnly[][2] = {
        {"QET_KORVANE", "IMPONOVARTI"},
        {"QET_KORVANE_BARRAS", "IMPONOVBARRAS"},
        {"QET_KORVANE_BULTOS", "IMPONOVBULTOS"},
        {"QET_KORVANE_NOVPROV", "IMPONOVPROV"},
    };
    for (const auto& p : changesOnly) {
        EXPECT_EQ(Count(interfaz, p[1]), Count(volma, QStringLiteral("%1 WHERE TIPOACT = 'M'").arg(p[0]))) << p[1];
    }
    EXPECT_EQ(Count(interfaz, "IMPONOVARTI WHERE TIPOACT <> 'M'"), 0);
    EXPECT_LT(Count(volma, "QET_KORVANE_BULTOS WHERE TIPOACT = 'M'"), Count(volma, "QET_KORVANE_BULTOS"));
    // The supplier and offer steps copy every row in every mode.
    EXPECT_EQ(Count(interfaz, "IMPOPROV"), Count(volma, "QET_KORVANE_PROV"));
    EXPECT_EQ(Count(interfaz, "OFERTAS"), Count(volma, "QET_KORVANE_OFERTAS"));
    EXPECT_GT(Count(interfaz, "IMPOPROV WHERE TIPOACT = 'S'"), 0);
}

TEST_F(SendRun, ValuesArriveConvertedToTheInterfaceColumns) {
    auto package = Build("A");
    const QStringList failures = RunAll(*package);
    ASSERT_TRUE(failures.isEmpty()) << failures.join("\n").toStdString();

    // Every article row: FECACT as yyyymmdd, PESABLE as one character, prices to three decimals.
    const auto source = Rows(volma, "SELECT ARTI, FECACT, Pesable, PVENTA, UNIBUL FROM QET_KORVANE ORDER BY ARTI");
    const auto copied = Rows(interfaz, "SELECT ARTI, FECACT, PESABLE, PVENTA, UNIBUL FROM IMPONOVARTI ORDER BY ARTI");
    ASSERT_EQ(copied.size(), source.size());
    for (size_t i = 0; i < source.size(); ++i) {
        SCOPED_TRACE(source[i][0].text().toStdString());
        EXPECT_EQ(copied[i][0].text(), source[i][0].text().leftJustified(10));   // a key arrives whole; char(10) reads padded
        EXPECT_EQ(copied[i][1].text(), source[i][1].toDate().toQDate().toString("yyyyMMdd"));
        EXPECT_TRUE(copied[i][2].text() == "1" || copied[i][2].text() == "0" || source[i][2].isNull());
        // Money rounded to three decimals in decimal, half away from zero: 66.6245 gives 66.625.
        const int64_t raw = source[i][3].toCurrency().raw();
        EXPECT_DOUBLE_EQ(copied[i][3].toDouble(), static_cast<double>((raw + (raw >= 0 ? 5 : -5)) / 10) / 1000.0);
        EXPECT_EQ(copied[i][4].text().size() <= 6, true);
    }
    // Barcodes land as 13-digit numbers, suppliers' names keep their accents.
    EXPECT_EQ(Count(interfaz, "IMPONOVBARRAS WHERE CODBARR = 7791234567890"), 1);
    EXPECT_EQ(Rows(interfaz, "SELECT descri FROM IMPOPROV WHERE codigo = 'P0002'")[0][0].text(),
              QString::fromUtf8("Café del Señor").leftJustified(50));
    // One-character texts become Booleans in the offers.
    for (const auto& r : Rows(interfaz, "SELECT MANUAL, ACTIVO FROM OFERTAS"))
        for (const auto& v : r)
            EXPECT_TRUE(v.text() == "1" || v.text() == "0" || v.text() == "True" || v.text() == "False") << v.text().toStdString();
}

TEST_F(SendRun, TruncateStepEmptiesOnlyTheInterfaceTables) {
    // A head-office table of the same name must not be touched.
    volma->Execute("CREATE TABLE IMPOPROV (codigo varchar(13))");
    volma->Execute("INSERT INTO IMPOPROV VALUES ('X')");
    auto first = Build("C");
    RunAll(*first);
    ASSERT_GT(Count(interfaz, "IMPOPROV"), 0);

    auto second = Build("C");
    auto truncate = second->Steps().Item(1);
    truncate->Execute();
    EXPECT_EQ(truncate->ExecutionResult(), 0) << truncate->ErrorDescription().toStdString();
    for (const char* t : {"IMPONOVARTI", "IMPONOVBARRAS", "IMPONOVBULTOS", "IMPONOVPROV", "IMPOPROV", "OFERTAS"})
        EXPECT_EQ(Count(interfaz, t), 0) << t;
    EXPECT_EQ(Count(volma, "IMPOPROV"), 1);
    EXPECT_GT(Count(interfaz, "Depositos"), 0);
}

TEST_F(SendRun, FourteenDigitBarcodeFailsItsStepOnly) {
    volma->Execute("INSERT INTO MA_CODIGOSBARRA (IDARTICULO, NUMERO, CODIGOBARRA, IDUNIDAD) VALUES ('000123', 9, '77912345678901', 'UN')");
    auto package = Build("C");
    const QStringList failures = RunAll(*package);
    ASSERT_EQ(failures.size(), 1) << failures.join("\n").toStdString();
    EXPECT_TRUE(failures[0].startsWith("DTSStep_DTSDataPumpTask_2: ")) << failures[0].toStdString();
    EXPECT_TRUE(failures[0].contains("CODBARR")) << failures[0].toStdString();
    EXPECT_EQ(package->Steps().Item(3)->ExecutionResult(), dts::DTSStepExecResult_Failure);
    EXPECT_EQ(Count(interfaz, "IMPONOVBARRAS"), 0);
    // The steps after it ran and copied their rows.
    EXPECT_EQ(Count(interfaz, "IMPONOVBULTOS"), Count(volma, "QET_KORVANE_BULTOS"));
    EXPECT_EQ(Count(interfaz, "OFERTAS"), Count(volma, "QET_KORVANE_OFERTAS"));
}

TEST_F(SendRun, ReadingTheViewsStraightFromTheFileCopiesTheSameRows) {
    const char* const tables[] = {"IMPONOVARTI", "IMPONOVBARRAS", "IMPONOVBULTOS", "IMPONOVPROV", "IMPOPROV", "OFERTAS"};
    QStringList copied[2];
    for (bool direct : {false, true}) {
        dts::SetStreamedSourceReading(direct);
        auto package = Build("C");
        const QStringList failures = RunAll(*package);
        EXPECT_TRUE(failures.isEmpty()) << failures.join("\n").toStdString();
        for (const char* t : tables)
            for (const auto& row : Rows(interfaz, QStringLiteral("SELECT * FROM %1").arg(t))) {
                QStringList fields;
                for (const auto& v : row)
                    fields << QString::number(static_cast<int>(v.type())) + ":" + v.text();
                copied[direct] << QLatin1String(t) + " " + fields.join("|");
            }
    }
    dts::SetStreamedSourceReading(true);
    copied[0].sort();
    copied[1].sort();
    EXPECT_GT(copied[0].size(), 6);
    EXPECT_EQ(copied[1], copied[0]);
}

}  // namespace
