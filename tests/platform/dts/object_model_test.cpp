#include "platform/dts/dts.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace {

using testsupport::ErrorNumberOf;

TEST(DtsObjectModel, StepsByNameAndPositionInTheOrderOfAdd) {
    auto package = dts::Package::Create();
    for (const char* name : {"B", "A", "C"}) {
        auto step = package->Steps().New();
        step->setName(QString::fromLatin1(name));
        package->Steps().Add(step);
    }
    ASSERT_EQ(package->Steps().Count(), 3);
    EXPECT_EQ(package->Steps().Item(1)->Name(), "B");
    EXPECT_EQ(package->Steps().Item(3)->Name(), "C");
    EXPECT_EQ(package->Steps().Item("a")->Name(), "A");   // case ignored
}

TEST(DtsObjectModel, MisusesRaise) {
    auto package = dts::Package::Create();
    auto step = package->Steps().New();
    step->setName("S");
    package->Steps().Add(step);
    auto task = package->Tasks().New("DTSExecuteSQLTask");
    auto pumpTask = package->Tasks().New("DTSDataPumpTask");
    auto pump = dts::CustomTaskAs<dts::DataPumpTask>(*pumpTask);
    auto tr = pump->Transformations().New("DTS.DataPumpTransformCopy");
    tr->setName("T1");
    pump->Transformations().Add(tr);
    auto connection = package->Connections().New("SQLOLEDB");

    struct Case {
        const char* what;
        std::function<void()> call;
        long number;
    };
    const Case cases[] = {
        {"duplicate step name", [&] { auto s = package->Steps().New(); s->setName("s"); package->Steps().Add(s); }, dts::kErrDtsDuplicateName},
        {"unknown step name", [&] { package->Steps().Item("X"); }, vb::kErrAdoItemNotFound},
        {"position 0", [&] { package->Steps().Item(0); }, vb::kErrSubscriptOutOfRange},
        {"position past the end", [&] { package->Steps().Item(2); }, vb::kErrSubscriptOutOfRange},
        {"unknown task class", [&] { package->Tasks().New("DTSBulkInsertTask"); }, dts::kErrDtsCannotCreate},
        {"unknown transformation class", [&] { pump->Transformations().New("DTS.DataPumpTransformUpperString"); }, dts::kErrDtsCannotCreate},
        {"duplicate transformation", [&] { auto t = pump->Transformations().New("DTSPump.DataPumpTransformCopy"); t->setName("T1"); pump->Transformations().Add(t); }, dts::kErrDtsDuplicateName},
        {"custom task of another kind", [&] { dts::CustomTaskAs<dts::DataPumpTask>(*task); }, vb::kErrTypeMismatch},
        {"unknown OLE DB property", [&] { connection->ConnectionProperties("Colour"); }, vb::kErrAdoItemNotFound},
        {"step whose task is missing", [&] { package->Steps().Item(1)->setTaskName("nada"); package->Steps().Item(1)->Execute(); }, vb::kErrAdoItemNotFound},
        {"column past the end", [&] { tr->SourceColumns().Item(1); }, vb::kErrSubscriptOutOfRange},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ErrorNumberOf(c.call), c.number) << c.what;
    EXPECT_EQ(package->Steps().Count(), 1);
    EXPECT_EQ(pump->Transformations().Count(), 1);
}

TEST(DtsObjectModel, ConnectionTextFromDataSourceCatalogUserAndPassword) {
    auto package = dts::Package::Create();
    auto c = package->Connections().New("SQLOLEDB");
    c->ConnectionProperties("Integrated Security").setValue("SSPI");
    c->ConnectionProperties("Data Source").setValue("otro");
    c->ConnectionProperties("Initial Catalog").setValue("VOLMA");
    c->setDataSource("/datos");
    c->setUserID("sa");
    c->setPassword("clave");
    EXPECT_EQ(c->connectionText(), "PROVIDER=SQLOLEDB;Server=/datos;Database =VOLMA;UId=sa;Pwd=clave;");
    EXPECT_EQ(c->ConnectionProperties("initial catalog").Value().text(), "VOLMA");
}

TEST(DtsObjectModel, DisabledStepOnlyBecomesInactive) {
    auto package = dts::Package::Create();
    auto step = package->Steps().New();
    step->setName("S");
    step->setTaskName("no existe");
    step->setDisableStep(true);
    package->Steps().Add(step);
    step->Execute();
    EXPECT_EQ(step->ExecutionStatus(), dts::DTSStepExecStat_Inactive);
    EXPECT_EQ(step->ExecutionResult(), dts::DTSStepExecResult_Success);
}

}  // namespace
