#include "sender/korvane.h"

#include <gtest/gtest.h>

namespace {

std::shared_ptr<dts::Package> BuildAll(const QString& mode) {
    auto package = dts::Package::Create();
    for (const sender::ArmaTarea arma : sender::kTareasPaquete) arma(*package, mode);
    return package;
}

// The destination columns that identify a row in the stores' system, per task.
const QStringList kClaves[] = {
    {"ARTI", "COD_SUC"}, {"COD_SUC", "ARTI", "CODBARR"}, {"COD_SUC", "ARTI", "BULTO", "BULTOS00"},
    {"COD_SUC", "ARTI", "PROV"}, {"COD_SUC", "codigo"}, {"COD_SUC", "COD_OFE", "ARTI"},
};

std::shared_ptr<dts::DataPumpTask> Pump(dts::Package& package, const QString& name) {
    return dts::CustomTaskAs<dts::DataPumpTask>(*package.Tasks().Item(name));
}

TEST(TaskBuilders, TruncateTaskEmptiesTheSixTablesOnTheInterfaceConnection) {
    auto package = BuildAll("N");
    auto task = package->Tasks().Item("DTSTask_DTSExecuteSQLTask_1");
    auto sql = dts::CustomTaskAs<dts::ExecuteSQLTask>(*task);
    EXPECT_EQ(sql->Name(), "DTSTask_DTSExecuteSQLTask_1");
    EXPECT_EQ(sql->Description(), "VACIAR TABLAS");
    EXPECT_EQ(sql->SQLStatement(),
              "TRUNCATE TABLE IMPONOVARTI\r\nTRUNCATE TABLE IMPONOVBARRAS\r\nTRUNCATE TABLE IMPONOVBULTOS\r\n"
              "TRUNCATE TABLE IMPONOVPROV\r\nTRUNCATE TABLE OFERTAS\r\nTRUNCATE TABLE IMPOPROV");
    EXPECT_EQ(sql->ConnectionID(), 2);
    EXPECT_EQ(sql->CommandTimeout(), 0);
    EXPECT_FALSE(sql->OutputAsRecordset());
}

TEST(TaskBuilders, TasksInBuildingOrderWithTheirSourcesAndDestinations) {
    auto package = BuildAll("C");
    QStringList names;
    for (const auto& t : package->Tasks())
        names << t->Name();
    EXPECT_EQ(names, QStringList({"DTSTask_DTSDataPumpTask_1", "DTSTask_DTSExecuteSQLTask_1", "DTSTask_DTSDataPumpTask_2",
                                  "DTSTask_DTSDataPumpTask_3", "DTSTask_DTSDataPumpTask_4", "DTSTask_DTSDataPumpTask_5",
                                  "DTSTask_DTSDataPumpTask_7"}));

    struct Expected {
        const char* task;
        const char* description;
        const char* table;
        int transformations;
    };
    const Expected expected[] = {
        {"DTSTask_DTSDataPumpTask_1", "Tarea Transformar datos: no_definido", "IMPONOVARTI", 32},
        {"DTSTask_DTSDataPumpTask_2", "Tarea Transformar datos: no_definido", "IMPONOVBARRAS", 3},
        {"DTSTask_DTSDataPumpTask_3", "Tarea Transformar datos: no_definido", "IMPONOVBULTOS", 4},
        {"DTSTask_DTSDataPumpTask_4", "Tarea Transformar datos: no_definido", "IMPONOVPROV", 4},
        {"DTSTask_DTSDataPumpTask_5", "Tarea Transformar datos: no_definido", "IMPOPROV", 8},
        {"DTSTask_DTSDataPumpTask_7", "OFERTAS", "OFERTAS", 20},
    };
    int tarea = 0;
    for (const auto& e : expected) {
        auto pump = Pump(*package, e.task);
        SCOPED_TRACE(e.task);
        const QStringList& claves = kClaves[tarea++];
        EXPECT_EQ(pump->Name(), e.task);
        EXPECT_EQ(pump->Description(), e.description);
        EXPECT_EQ(pump->SourceConnectionID(), 1);
        EXPECT_EQ(pump->DestinationConnectionID(), 2);
        EXPECT_EQ(pump->DestinationObjectName(), QStringLiteral("[korvane_interfases].[dbo].[%1]").arg(e.table));
        EXPECT_EQ(pump->Transformations().Count(), e.transformations);
        EXPECT_EQ(pump->ProgressRowCount(), 1000);
        EXPECT_EQ(pump->MaximumErrorCount(), 0);
        EXPECT_EQ(pump->FetchBufferSize(), 1);
        EXPECT_TRUE(pump->UseFastLoad());
        EXPECT_EQ(pump->InsertCommitSize(), 0);
        EXPECT_EQ(pump->ExceptionFileColumnDelimiter(), "|");
        EXPECT_EQ(pump->ExceptionFileRowDelimiter(), "\r\n");
        EXPECT_FALSE(pump->AllowIdentityInserts());
        EXPECT_TRUE(pump->FirstRow().isString());
        EXPECT_EQ(pump->FirstRow().text(), "0");
        EXPECT_EQ(pump->LastRow().text(), "0");
        EXPECT_EQ(pump->FastLoadOptions(), 2);
        EXPECT_EQ(pump->ExceptionFileOptions(), 1);
        EXPECT_EQ(pump->DataPumpOptions(), 0);
        for (const auto& t : pump->Transformations()) {
            // A key is never cut or rounded to fit: no string (8) or numeric (16) truncation.
            const bool clave = claves.contains(t->DestinationColumns().Item(1)->Name());
            EXPECT_EQ(t->TransformFlags(), clave ? 63 - 8 - 16 : 63) << t->DestinationColumns().Item(1)->Name().toStdString();
            EXPECT_EQ(t->InMemoryBlobSize(), 1048576);
            EXPECT_EQ(t->TransformPhases(), 4);
            ASSERT_EQ(t->SourceColumns().Count(), 1);
            ASSERT_EQ(t->DestinationColumns().Count(), 1);
            for (const auto& c : {t->SourceColumns().Item(1), t->DestinationColumns().Item(1)}) {
                EXPECT_EQ(c->Ordinal(), 1);
                EXPECT_EQ(c->Nullable(), (c->Flags() & 32) != 0) << c->Name().toStdString();
            }
            EXPECT_EQ(t->SourceColumns().Item(1)->Precision(), 0);
            EXPECT_EQ(t->SourceColumns().Item(1)->NumericScale(), 0);
        }
    }
}

TEST(TaskBuilders, SourceQueriesByMode) {
    struct Row {
        const char* mode;
        bool changesOnly;
    };
    const Row rows[] = {{"N", true}, {"C", false}, {"A", false}, {"n", false}, {"", false}};
    const char* const filtered[][2] = {
        {"DTSTask_DTSDataPumpTask_1", "QET_KORVANE"},
        {"DTSTask_DTSDataPumpTask_2", "QET_KORVANE_BARRAS"},
        {"DTSTask_DTSDataPumpTask_3", "QET_KORVANE_BULTOS"},
        {"DTSTask_DTSDataPumpTask_4", "QET_KORVANE_NOVPROV"},
    };
    for (const auto& r : rows) {
        auto package = BuildAll(r.mode);
        SCOPED_TRACE(r.mode);
        for (const auto& f : filtered) {
            const QString base = QStringLiteral("SELECT * FROM [VOLMA].[dbo].[%1] ").arg(f[1]);
            EXPECT_EQ(Pump(*package, f[0])->SourceSQLStatement(), r.changesOnly ? base + "WHERE TIPOACT = 'M'" : base);
        }
        auto prov = Pump(*package, "DTSTask_DTSDataPumpTask_5");
        EXPECT_EQ(prov->SourceObjectName(), "[VOLMA].[dbo].[QET_KORVANE_PROV]");
        EXPECT_TRUE(prov->SourceSQLStatement().isEmpty());
        EXPECT_EQ(Pump(*package, "DTSTask_DTSDataPumpTask_7")->SourceSQLStatement(),
                  "SELECT * FROM [VOLMA].[dbo].[QET_KORVANE_OFERTAS] ");
    }
}

TEST(TaskBuilders, ArticleTransformationsTwoToThirtyTwoThenOne) {
    auto package = BuildAll("N");
    auto pump = Pump(*package, "DTSTask_DTSDataPumpTask_1");
    QStringList names, sources, destinations, classes;
    for (const auto& t : pump->Transformations()) {
        names << t->Name();
        sources << t->SourceColumns().Item(1)->Name();
        destinations << t->DestinationColumns().Item(1)->Name();
        classes << t->TransformServerID();
    }
    QStringList expectedNames;
    for (int n = 2; n <= 32; ++n)
        expectedNames << QStringLiteral("DTSTransformation__%1").arg(n);
    expectedNames << "DTSTransformation__1";
    EXPECT_EQ(names, expectedNames);
    EXPECT_EQ(sources.mid(12, 2), QStringList({"Dto1", "Dto2"}));
    EXPECT_EQ(destinations.mid(12, 2), QStringList({"DTO1", "DTO2"}));
    EXPECT_EQ(sources[25] + ">" + destinations[25], "Pesable>PESABLE");
    EXPECT_EQ(sources[27] + ">" + destinations[27], "CTACON1>COD_CTACON1");
    EXPECT_EQ(sources[28] + ">" + destinations[28], "CTACON2>COD_CTACON2");
    EXPECT_EQ(destinations.last(), "COD_SUC");
    EXPECT_EQ(classes.count("DTS.DataPumpTransformCopy"), 27);
    EXPECT_EQ(classes.mid(27), QStringList(5, "DTSPump.DataPumpTransformCopy"));

    // A few descriptors in full: IMPINT (text to numeric 10,7), FECACT (date-time to 8 characters).
    auto impint = pump->Transformations().Item("DTSTransformation__19");
    EXPECT_EQ(impint->SourceColumns().Item(1)->DataType(), 129);
    EXPECT_EQ(impint->SourceColumns().Item(1)->Size(), 1);
    EXPECT_EQ(impint->DestinationColumns().Item(1)->DataType(), 131);
    EXPECT_EQ(impint->DestinationColumns().Item(1)->Precision(), 10);
    EXPECT_EQ(impint->DestinationColumns().Item(1)->NumericScale(), 7);
    auto fecact = pump->Transformations().Item("DTSTransformation__23");
    EXPECT_EQ(fecact->SourceColumns().Item(1)->DataType(), 135);
    EXPECT_EQ(fecact->DestinationColumns().Item(1)->Size(), 8);
    QStringList nullableDestinations;
    for (const auto& t : pump->Transformations())
        if (t->DestinationColumns().Item(1)->Nullable())
            nullableDestinations << t->DestinationColumns().Item(1)->Name();
    EXPECT_EQ(nullableDestinations, QStringList({"COD_CTACON1_IN", "COD_CTACON2_IN"}));
}

TEST(TaskBuilders, OtherStepsNumberTheirTransformationsFromOne) {
    auto package = BuildAll("A");
    const struct {
        const char* task;
        QStringList destinations;
        QStringList nullable;
    } expected[] = {
        {"DTSTask_DTSDataPumpTask_2", {"COD_SUC", "ARTI", "CODBARR"}, {}},
        {"DTSTask_DTSDataPumpTask_3", {"COD_SUC", "ARTI", "BULTO", "BULTOS00"}, {}},
        {"DTSTask_DTSDataPumpTask_4", {"COD_SUC", "ARTI", "PROV", "NPRO"}, {}},
        {"DTSTask_DTSDataPumpTask_5", {"COD_SUC", "codigo", "descri", "cuit", "condiva", "TIPOACT", "TIPOACT_ORIG", "OBSERV"},
         {"descri", "cuit", "condiva"}},
        {"DTSTask_DTSDataPumpTask_7",
         {"COD_SUC", "COD_OFE", "DESCRI", "MANUAL", "FDESDE", "FHASTA", "ACTIVO", "ARTI", "PBASE", "DTO1", "DTO2", "MARGEN",
          "RECARGO1", "RECARGO2", "IMPINT", "PVENTA", "TIPOACT", "TIPOACT_ORIG", "OBSERV", "PROV"},
         {"PROV"}},
    };
    for (const auto& e : expected) {
        SCOPED_TRACE(e.task);
        auto pump = Pump(*package, e.task);
        QStringList destinations, nullable;
        int n = 0;
        for (const auto& t : pump->Transformations()) {
            EXPECT_EQ(t->Name(), QStringLiteral("DTSTransformation__%1").arg(++n));
            EXPECT_EQ(t->TransformServerID(), "DTS.DataPumpTransformCopy");
            destinations << t->DestinationColumns().Item(1)->Name();
            if (t->DestinationColumns().Item(1)->Nullable())
                nullable << t->DestinationColumns().Item(1)->Name();
        }
        EXPECT_EQ(destinations, e.destinations);
        EXPECT_EQ(nullable, e.nullable);
    }
    auto barcode = Pump(*package, "DTSTask_DTSDataPumpTask_2")->Transformations().Item(3)->DestinationColumns().Item(1);
    EXPECT_EQ(barcode->DataType(), 131);
    EXPECT_EQ(barcode->Precision(), 13);
    EXPECT_EQ(barcode->NumericScale(), 0);
    auto pack = Pump(*package, "DTSTask_DTSDataPumpTask_3")->Transformations().Item(4)->DestinationColumns().Item(1);
    EXPECT_EQ(pack->Precision(), 14);
}

TEST(TaskBuilders, BuilderCalledTwiceRaisesAndAddsNothing) {
    auto package = dts::Package::Create();
    sender::AgregaTareaOfertas(*package, "N");
    try {
        sender::AgregaTareaOfertas(*package, "N");
        FAIL() << "a second task of the same name was accepted";
    } catch (const vb::Error& e) {
        EXPECT_EQ(e.number(), dts::kErrDtsDuplicateName);
    }
    EXPECT_EQ(package->Tasks().Count(), 1);
}

}  // namespace
