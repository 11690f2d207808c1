// The error runner's convention, driven through the message box as the program's handlers are.
#include "platform/ui/prompter.h"
#include "platform/vb/on_error.h"

#include <gtest/gtest.h>

namespace {

int AskOperator(const vb::Error& e) {
    return ui::MsgBox(e.description(), ui::vbAbortRetryIgnore + ui::vbCritical, QStringLiteral("Aviso"));
}

// A procedure of three steps whose second fails `failures` times before it works.
struct Procedure {
    int failures = 0;
    int secondRuns = 0;
    bool thirdRan = false;
    int result = 0;

    int operator()(vb::OnError on) {
        result = 0;
        on.run([&] { result = 10; });
        on.run([&] {
            ++secondRuns;
            if (failures-- > 0) throw vb::Error(3219, QStringLiteral("no permitido"));
            result = 20;
        });
        on.run([&] { thirdRan = true; });
        return result;
    }
};

TEST(OnErrorTest, RetryRunsTheFailingStepAgain) {
    ui::ScriptedPrompter p;
    p.answer(vb::kRetry, "no permitido").answer(vb::kRetry);
    Procedure proc{2};
    EXPECT_EQ(proc(vb::OnError(AskOperator)), 20);
    EXPECT_EQ(proc.secondRuns, 3);
    EXPECT_TRUE(proc.thirdRan);
    EXPECT_TRUE(p.exhausted());
}

TEST(OnErrorTest, IgnoreGoesOnWithTheValueKept) {
    ui::ScriptedPrompter p;
    p.answer(vb::kIgnore);
    Procedure proc{1};
    EXPECT_EQ(proc(vb::OnError(AskOperator)), 10);
    EXPECT_TRUE(proc.thirdRan);
}

TEST(OnErrorTest, AbortLeavesWithWhatIsHeld) {
    ui::ScriptedPrompter p;
    p.answer(vb::kAbort);
    Procedure proc{1};
    EXPECT_EQ(proc(vb::OnError(AskOperator)), 10);
    EXPECT_FALSE(proc.thirdRan);
    ASSERT_EQ(p.shown().size(), 1u);
    EXPECT_EQ(p.shown()[0].buttons, 18);
}

TEST(OnErrorTest, SilentVariants) {
    Procedure skip{5};
    EXPECT_EQ(skip(vb::OnError::SkipAll()), 10);
    EXPECT_TRUE(skip.thirdRan);

    Procedure leave{1};
    EXPECT_EQ(leave(vb::OnError::LeaveSilently()), 10);
    EXPECT_FALSE(leave.thirdRan);

    Procedure listed{1};
    EXPECT_EQ(listed(vb::OnError::SkipNumbers({3219})), 10);
    EXPECT_TRUE(listed.thirdRan);

    Procedure unlisted{1};
    EXPECT_EQ(unlisted(vb::OnError::SkipNumbers({5})), 10);
    EXPECT_FALSE(unlisted.thirdRan);
}

TEST(OnErrorTest, OtherExceptionsAreTreatedAsUnspecifiedErrors) {
    vb::OnError on = vb::OnError::LeaveSilently();
    EXPECT_FALSE(on.run([] { throw std::runtime_error("boom"); }));
    ASSERT_TRUE(on.lastError());
    EXPECT_EQ(on.lastError()->number(), vb::kHrUnspecified);
    EXPECT_TRUE(on.left());
}

}  // namespace
