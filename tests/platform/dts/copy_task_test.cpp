#include "db/databases.h"
#include "platform/ado/ado.h"
#include "platform/dts/dts.h"
#include "platform/dts/source_rows.h"
#include "support/test_support.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

using testsupport::Count;
using testsupport::Rows;

struct Map {
    const char* source;
    long sourceType;
    const char* destination;
    long destinationType;
    long size;
    long precision;
    long scale;
    long flags;
};

// Two embedded databases, "origen" and "destino", and a package with a connection to each.
class CopyTask : public ::testing::Test {
protected:
    void SetUp() override {
        origen = Open("origen");
        destino = Open("destino");
        package = dts::Package::Create();
        AddConnection(1, "origen");
        AddConnection(2, "destino");
    }

    ado::ConnectionPtr Open(const QString& database) {
        db::CreateEmpty(folder.path(), database);
        auto c = ado::Connection::Create();
        c->Open(QStringLiteral("PROVIDER=SQLOLEDB;Server=%1;Database =%2;UId=sa;Pwd=sa;").arg(folder.path(), database));
        return c;
    }

    void AddConnection(long id, const QString& catalog) {
        auto c = package->Connections().New("SQLOLEDB");
        c->setName(QStringLiteral("conexion %1").arg(id));
        c->setID(id);
        c->setDataSource(folder.path());
        c->setCatalog(catalog);
        c->setUserID("sa");
        c->setPassword("sa");
        package->Connections().Add(c);
    }

    std::shared_ptr<dts::Step> AddStep(const QString& name, const QString& taskName) {
        auto step = package->Steps().New();
        step->setName(name);
        step->setTaskName(taskName);
        step->setExecutionStatus(dts::DTSStepExecStat_Waiting);
        package->Steps().Add(step);
        return step;
    }

    std::shared_ptr<dts::Step> AddCopy(const QString& name, const QString& query, const QString& table,
                                       std::initializer_list<Map> maps, const QString& sourceObject = QString(),
                                       long destinationId = 2) {
        auto task = package->Tasks().New("DTSDataPumpTask");
        task->setName(name);
        auto pump = dts::CustomTaskAs<dts::DataPumpTask>(*task);
        pump->setName(name);
        pump->setSourceConnectionID(1);
        if (sourceObject.isEmpty())
            pump->setSourceSQLStatement(query);
        else
            pump->setSourceObjectName(sourceObject);
        pump->setDestinationConnectionID(destinationId);
        pump->setDestinationObjectName(
            QStringLiteral("[%1].[dbo].[%2]").arg(destinationId == 1 ? "origen" : "destino", table));
        int n = 0;
        for (const Map& m : maps) {
            auto tr = pump->Transformations().New("DTS.DataPumpTransformCopy");
            tr->setName(QStringLiteral("DTSTransformation__%1").arg(++n));
            auto s = tr->SourceColumns().New(m.source, 1);
            s->setDataType(m.sourceType);
            s->setFlags(96);
            tr->SourceColumns().Add(s);
            auto d = tr->DestinationColumns().New(m.destination, 1);
            d->setDataType(m.destinationType);
            d->setSize(m.size);
            d->setPrecision(m.precision);
            d->setNumericScale(m.scale);
            d->setFlags(m.flags);
            tr->DestinationColumns().Add(d);
            pump->Transformations().Add(tr);
        }
        package->Tasks().Add(task);
        return AddStep(name, name);
    }

    testsupport::TempFolder folder;
    ado::ConnectionPtr origen;
    ado::ConnectionPtr destino;
    std::shared_ptr<dts::Package> package;
};

TEST_F(CopyTask, CopiesEveryRowConvertingToTheDestinationColumns) {
    origen->Execute("CREATE TABLE VISTA (ARTI nvarchar(25), UNIBUL float, PBASE money, FECACT datetime, "
                    "Pesable bit, Dto1 char(1), ENVASE char(1), CODBARR nvarchar(25), PROV varchar(200), TIPOACT char(1))");
    origen->Execute("INSERT INTO VISTA VALUES ('ART-0000001-LARGO', 12, 1234.5675, '2026-12-08 10:30:00', 1, ' ', '3', "
                    "'7791234567890', NULL, 'M')");
    origen->Execute("INSERT INTO VISTA VALUES ('B2', 2.5, 0.0005, '2026-01-31 00:00:00', 0, '5', '0', ' 123 ', 'P1', 'S')");
    destino->Execute("CREATE TABLE IMPO (ARTI char(10) NOT NULL, UNIBUL char(6) NOT NULL, PBASE numeric(18,3) NOT NULL, "
                     "FECACT char(8) NOT NULL, PESABLE char(1) NOT NULL, DTO1 numeric(10,3) NULL, ENVASE int NOT NULL, "
                     "CODBARR numeric(13,0) NOT NULL, PROV varchar(13) NULL, TIPOACT char(1) NOT NULL)");

    auto step = AddCopy("Copia", "SELECT * FROM [origen].[dbo].[VISTA] WHERE ARTI <> 'B2'", "IMPO",
                        {{"arti", 130, "ARTI", 129, 10, 0, 0, 24},
                         {"UNIBUL", 5, "UNIBUL", 129, 6, 0, 0, 24},
                         {"PBASE", 6, "PBASE", 131, 0, 18, 3, 24},
                         {"FECACT", 135, "FECACT", 129, 8, 0, 0, 24},
                         {"Pesable", 11, "PESABLE", 129, 1, 0, 0, 24},
                         {"ENVASE", 129, "ENVASE", 3, 0, 0, 0, 24},
                         {"CODBARR", 130, "CODBARR", 131, 0, 13, 0, 24},
                         {"PROV", 129, "PROV", 129, 13, 0, 0, 120},
                         {"TIPOACT", 129, "TIPOACT", 129, 1, 0, 0, 24}});
    step->Execute();
    EXPECT_EQ(step->ExecutionStatus(), dts::DTSStepExecStat_Completed);
    ASSERT_EQ(step->ExecutionResult(), dts::DTSStepExecResult_Success) << step->ErrorDescription().toStdString();

    const auto rows = Rows(destino, "SELECT ARTI, UNIBUL, PBASE, FECACT, PESABLE, ENVASE, CODBARR, PROV, TIPOACT FROM IMPO");
    ASSERT_EQ(rows.size(), 1u);
    const auto& r = rows[0];
    EXPECT_EQ(r[0].text(), "ART-000000");
    EXPECT_EQ(r[1].text(), "12    ");   // char(6) reads padded
    EXPECT_DOUBLE_EQ(r[2].toDouble(), 1234.568);
    EXPECT_EQ(r[3].text(), "20261208");
    EXPECT_EQ(r[4].text(), "1");
    EXPECT_EQ(r[5].toLong(), 3);
    EXPECT_DOUBLE_EQ(r[6].toDouble(), 7791234567890.0);
    EXPECT_TRUE(r[7].isNull());
    EXPECT_EQ(r[8].text(), "M");
}

TEST_F(CopyTask, SourceObjectCopiesTheWholeTable) {
    origen->Execute("CREATE TABLE PROVEEDORES (CODIGO varchar(200), CUIT nvarchar(4000))");
    origen->Execute("INSERT INTO PROVEEDORES VALUES ('P1', '20-12345678-9')");
    origen->Execute("INSERT INTO PROVEEDORES VALUES ('P2', NULL)");
    destino->Execute("CREATE TABLE PROV (codigo varchar(13) NOT NULL, cuit varchar(11) NULL)");
    auto step = AddCopy("Copia", QString(), "PROV",
                        {{"CODIGO", 129, "codigo", 129, 13, 0, 0, 24}, {"CUIT", 130, "cuit", 129, 11, 0, 0, 120}},
                        "[origen].[dbo].[PROVEEDORES]");
    step->Execute();
    ASSERT_EQ(step->ExecutionResult(), 0) << step->ErrorDescription().toStdString();
    const auto rows = Rows(destino, "SELECT codigo, cuit FROM PROV ORDER BY codigo");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][1].text(), "20-12345678");
    EXPECT_TRUE(rows[1][1].isNull());
}

TEST_F(CopyTask, BadRowRollsBackItsStepAndTheNextStepStillRuns) {
    origen->Execute("CREATE TABLE BARRAS (ARTI varchar(200), CODBARR nvarchar(25))");
    origen->Execute("INSERT INTO BARRAS VALUES ('A1', '7791234567890')");
    origen->Execute("INSERT INTO BARRAS VALUES ('A2', '77912345678901')");
    origen->Execute("INSERT INTO BARRAS VALUES ('A3', '7791234567892')");
    destino->Execute("CREATE TABLE IMPOBARRAS (ARTI char(10) NOT NULL, CODBARR numeric(13,0) NOT NULL)");
    destino->Execute("CREATE TABLE IMPOARTI (ARTI char(10) NOT NULL)");

    auto bad = AddCopy("Barras", "SELECT * FROM BARRAS ORDER BY ARTI", "IMPOBARRAS",
                       {{"ARTI", 129, "ARTI", 129, 10, 0, 0, 24}, {"CODBARR", 130, "CODBARR", 131, 0, 13, 0, 24}});
    auto next = AddCopy("Articulos", "SELECT ARTI FROM BARRAS", "IMPOARTI", {{"ARTI", 129, "ARTI", 129, 10, 0, 0, 24}});

    for (int i = 1; i <= package->Steps().Count(); ++i)
        EXPECT_NO_THROW(package->Steps().Item(i)->Execute());
    EXPECT_EQ(bad->ExecutionStatus(), dts::DTSStepExecStat_Completed);
    EXPECT_EQ(bad->ExecutionResult(), dts::DTSStepExecResult_Failure);
    EXPECT_TRUE(bad->ErrorDescription().contains("Fila 2")) << bad->ErrorDescription().toStdString();
    EXPECT_TRUE(bad->ErrorDescription().contains("CODBARR")) << bad->ErrorDescription().toStdString();
    EXPECT_EQ(Count(destino, "IMPOBARRAS"), 0);
    EXPECT_EQ(next->ExecutionResult(), dts::DTSStepExecResult_Success) << next->ErrorDescription().toStdString();
    EXPECT_EQ(Count(destino, "IMPOARTI"), 3);
}

TEST_F(CopyTask, FailuresBeforeTheFirstRowFailTheStep) {
    origen->Execute("CREATE TABLE T (A varchar(10))");
    origen->Execute("INSERT INTO T VALUES ('x')");
    destino->Execute("CREATE TABLE D (A varchar(10) NOT NULL)");
    auto missingColumn = AddCopy("SinColumna", "SELECT * FROM T", "D", {{"B", 129, "A", 129, 10, 0, 0, 24}});
    auto missingTable = AddCopy("SinTabla", "SELECT * FROM T", "NOESTA", {{"A", 129, "A", 129, 10, 0, 0, 24}});
    auto badQuery = AddCopy("SinVista", "SELECT * FROM NOESTA", "D", {{"A", 129, "A", 129, 10, 0, 0, 24}});
    for (const auto& step : {missingColumn, missingTable, badQuery}) {
        EXPECT_NO_THROW(step->Execute());
        EXPECT_EQ(step->ExecutionStatus(), dts::DTSStepExecStat_Completed) << step->Name().toStdString();
        EXPECT_EQ(step->ExecutionResult(), dts::DTSStepExecResult_Failure) << step->Name().toStdString();
        EXPECT_FALSE(step->ErrorDescription().isEmpty());
    }
    EXPECT_EQ(Count(destino, "D"), 0);
}

TEST_F(CopyTask, SqlTaskRunsItsBatchOnItsConnection) {
    origen->Execute("CREATE TABLE A (X int)");
    origen->Execute("INSERT INTO A VALUES (1)");
    destino->Execute("CREATE TABLE A (X int)");
    destino->Execute("CREATE TABLE B (X int)");
    destino->Execute("INSERT INTO A VALUES (1)");
    destino->Execute("INSERT INTO B VALUES (1)");

    auto task = package->Tasks().New("DTSExecuteSQLTask");
    task->setName("Vaciar");
    auto sql = dts::CustomTaskAs<dts::ExecuteSQLTask>(*task);
    sql->setSQLStatement("TRUNCATE TABLE A\r\nTRUNCATE TABLE B");
    sql->setConnectionID(2);
    package->Tasks().Add(task);
    auto step = AddStep("Vaciar", "Vaciar");
    step->Execute();
    EXPECT_EQ(step->ExecutionResult(), 0) << step->ErrorDescription().toStdString();
    EXPECT_EQ(step->ExecutionStatus(), dts::DTSStepExecStat_Completed);
    EXPECT_EQ(Count(destino, "A"), 0);
    EXPECT_EQ(Count(destino, "B"), 0);
    EXPECT_EQ(Count(origen, "A"), 1);

    sql->setSQLStatement("TRUNCATE TABLE NOESTA");
    EXPECT_NO_THROW(step->Execute());
    EXPECT_EQ(step->ExecutionResult(), dts::DTSStepExecResult_Failure);
    EXPECT_EQ(step->ExecutionStatus(), dts::DTSStepExecStat_Completed);
    EXPECT_FALSE(step->ErrorDescription().isEmpty());
}

// Steps that join the package's transaction change the destination only when the caller commits;
// a failed copy undoes its own rows at once; a package dropped without a commit leaves all as it was.
TEST_F(CopyTask, JoinedStepsWaitForTheCommit) {
    origen->Execute("CREATE TABLE T (A varchar(10))");
    for (int i = 1; i <= 5; ++i) origen->Execute(QStringLiteral("INSERT INTO T VALUES ('%1')").arg(i));
    destino->Execute("CREATE TABLE D (A varchar(10) NOT NULL)");
    destino->Execute("INSERT INTO D VALUES ('antes')");
    std::vector<long> avisos;
    for (bool confirma : {false, true}) {
        package = dts::Package::Create();
        package->setUseTransaction(true);
        AddConnection(1, "origen");
        AddConnection(2, "destino");
        package->setOnProgress([&](const QString&, long filas) { avisos.push_back(filas); });
        auto buena = AddCopy("Copia", "SELECT A FROM T", "D", {{"A", 129, "A", 129, 10, 0, 0, 24}});
        auto mala = AddCopy("Mala", "SELECT CASE WHEN A = '4' THEN NULL ELSE A END AS A FROM T", "D",
                            {{"A", 129, "A", 129, 10, 0, 0, 24}});
        dts::CustomTaskAs<dts::DataPumpTask>(*package->Tasks().Item("Copia"))->setProgressRowCount(2);
        for (const auto& step : {buena, mala}) {
            step->setJoinTransactionIfPresent(true);
            step->Execute();
        }
        EXPECT_EQ(buena->ExecutionResult(), dts::DTSStepExecResult_Success);
        EXPECT_TRUE(mala->ErrorDescription().startsWith("Fila 4,")) << mala->ErrorDescription().toStdString();
        package->ExecuteInTransaction(2, "DELETE FROM D WHERE A = 'antes'");
        if (confirma) package->CommitTransaction();
        package.reset();
        EXPECT_EQ(Count(destino, "D"), confirma ? 5 : 1);
    }
    EXPECT_EQ(avisos, std::vector<long>({2, 4, 5, 2, 4, 5}));   // every 2 rows and after the last
}

TEST_F(CopyTask, InsertFailureInsideAGroupNamesItsRow) {
    origen->Execute("CREATE TABLE ARTS (ARTI varchar(10))");
    for (int i = 1; i <= 100; ++i)
        origen->Execute(QStringLiteral("INSERT INTO ARTS VALUES ('%1')").arg(i == 57 ? 3 : i));
    destino->Execute("CREATE TABLE UNICOS (ARTI varchar(10) NOT NULL PRIMARY KEY)");
    auto step = AddCopy("Unicos", "SELECT ARTI FROM ARTS", "UNICOS", {{"ARTI", 129, "ARTI", 129, 10, 0, 0, 24}});
    step->Execute();
    EXPECT_EQ(step->ExecutionResult(), dts::DTSStepExecResult_Failure);
    EXPECT_TRUE(step->ErrorDescription().startsWith("Fila 57: ")) << step->ErrorDescription().toStdString();
    EXPECT_EQ(Count(destino, "UNICOS"), 0);
}

// Streamed or read whole first, the same rows are selected (with the server's text compare rule:
// case and trailing blanks ignored) and copied alike.
TEST_F(CopyTask, StreamedAndWholeReadingCopyTheSameRows) {
    origen->Execute("CREATE TABLE NOVEDADES (ARTI varchar(10), TIPOACT char(1), PRECIO money, FECHA datetime, "
                    "PESABLE bit, UNIDADES float)");
    origen->Execute("INSERT INTO NOVEDADES VALUES ('a1', 'M', 1.5, '2026-12-08 10:00:00', 1, 12)");
    origen->Execute("INSERT INTO NOVEDADES VALUES ('a2', 'm', 66.6245, '2026-01-31 00:00:00', 0, 2.5)");
    origen->Execute("INSERT INTO NOVEDADES VALUES ('a3', 'S', NULL, '2026-02-01 00:00:00', NULL, NULL)");
    origen->Execute("CREATE VIEW QET_NOVEDADES AS SELECT ARTI, TIPOACT, PRECIO, FECHA, PESABLE, UNIDADES FROM NOVEDADES");
    destino->Execute("CREATE TABLE COPIA (ARTI varchar(10), TIPOACT char(1), PRECIO numeric(18,4), FECACT char(8), "
                     "PESABLE char(1), UNIDADES float, corrida int)");
    std::vector<std::vector<vb::Variant>> copied[2];
    for (bool streamed : {false, true}) {
        dts::SetStreamedSourceReading(streamed);
        auto step = AddCopy(QStringLiteral("Copia%1").arg(streamed),
                            "SELECT * FROM [origen].[dbo].[QET_NOVEDADES] WITH (NOLOCK) WHERE TIPOACT = 'M  ' ORDER BY ARTI",
                            "COPIA",
                            {{"ARTI", 129, "ARTI", 129, 10, 0, 0, 24},
                             {"TIPOACT", 129, "TIPOACT", 129, 1, 0, 0, 24},
                             {"PRECIO", 6, "PRECIO", 131, 0, 18, 4, 24},
                             {"FECHA", 135, "FECACT", 129, 8, 0, 0, 24},
                             {"PESABLE", 11, "PESABLE", 129, 1, 0, 0, 24},
                             {"UNIDADES", 5, "UNIDADES", 5, 0, 0, 0, 24}});
        step->Execute();
        EXPECT_EQ(step->ExecutionResult(), dts::DTSStepExecResult_Success) << step->ErrorDescription().toStdString();
        destino->Execute(QStringLiteral("UPDATE COPIA SET corrida = %1 WHERE corrida IS NULL").arg(int(streamed)));
        copied[streamed] = Rows(destino, QStringLiteral("SELECT ARTI, TIPOACT, PRECIO, FECACT, PESABLE, UNIDADES FROM COPIA "
                                                         "WHERE corrida = %1 ORDER BY ARTI").arg(int(streamed)));
    }
    dts::SetStreamedSourceReading(true);
    ASSERT_EQ(copied[0].size(), 2u);
    ASSERT_EQ(copied[1].size(), copied[0].size());
    for (size_t r = 0; r < copied[0].size(); ++r)
        for (size_t c = 0; c < copied[0][r].size(); ++c) {
            EXPECT_EQ(copied[1][r][c].type(), copied[0][r][c].type()) << r << "," << c;
            EXPECT_EQ(copied[1][r][c].text(), copied[0][r][c].text()) << r << "," << c;
        }
    EXPECT_EQ(copied[1][1][3].text(), "20260131");
}

// A copy into the table it reads, on one connection, copies the rows there were: the rows it
// writes are not read again.
TEST_F(CopyTask, CopyIntoTheTableItReadsCopiesEachRowOnce) {
    origen->Execute("CREATE TABLE ARTS (ARTI varchar(10))");
    for (int i = 1; i <= 500; ++i)
        origen->Execute(QStringLiteral("INSERT INTO ARTS VALUES ('%1')").arg(i));
    auto step = AddCopy("Doble", "SELECT ARTI FROM ARTS", "ARTS", {{"ARTI", 129, "ARTI", 129, 10, 0, 0, 24}}, QString(), 1);
    step->Execute();
    EXPECT_EQ(step->ExecutionResult(), dts::DTSStepExecResult_Success) << step->ErrorDescription().toStdString();
    EXPECT_EQ(Count(origen, "ARTS"), 1000);
}

}  // namespace
