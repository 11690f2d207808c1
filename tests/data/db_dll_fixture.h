#pragma once
// A test of the data-access object on its own: the program's instances reset, the application
// folder a temporary one, and a recorder in front of the connection that passes every call on.
#include "data/db_dll.h"
#include "platform/ui/prompter.h"
#include "platform/vb/app.h"
#include "recording_calls.h"

#include <gtest/gtest.h>
#include <memory>

namespace datatest {

class DbDllTest : public ::testing::Test {
protected:
    void SetUp() override {
        data::ResetGlobalInstances();
        vb::SetAppPath(folder.path());
    }

    // Opens `db` on a fresh embedded database made by `setup`, with `calls` recording.
    void OpenRecorded(data::DB_Dll& db, const QStringList& setup) {
        calls->forward = true;
        db.setConnectionCalls(calls);
        OpenEmbedded(db, folder, setup);
    }

    ui::ScriptedPrompter quiet;
    testsupport::TempFolder folder;
    std::shared_ptr<RecordingCalls> calls = std::make_shared<RecordingCalls>();
};

}  // namespace datatest
