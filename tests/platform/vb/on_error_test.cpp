// The error runner's convention, driven through the message box as the program's handlers are.
#include "platform/ui/prompter.h"
#include "platform/vb/on_error.h"
#include "platform/vb/read_result.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <vector>

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

// A step that adds to what outlives it and fails half way: every answer finds the state as the
// step first found it; only a successful attempt leaves its additions, once.
TEST(OnErrorTest, AFailingStepLeavesNothingOfItself) {
    for (const int answer : {vb::kRetry, vb::kIgnore, vb::kAbort}) {
        SCOPED_TRACE(answer);
        ui::ScriptedPrompter p;
        p.answer(answer, "a medias");
        if (answer != vb::kAbort) p.answer(vb::kIgnore, "otra vez");
        std::vector<int> lineas{1};
        int cuenta = 1, deshecho = 0, intentos = 0;
        vb::OnError on(AskOperator);
        const bool sigue = on.runKeeping(
            [&] {
                lineas.push_back(2);
                ++cuenta;
                if (++intentos == 1) throw vb::Error(6, QStringLiteral("a medias"));
            },
            lineas, cuenta);
        const bool pasado = on.passedOver();   // what the procedure read is incomplete
        const int filas = static_cast<int>(lineas.size());
        on.runUndoing([&] { lineas.push_back(3); throw vb::Error(6, QStringLiteral("otra vez")); },
                      [&]() noexcept { ++deshecho; lineas.resize(static_cast<size_t>(filas)); });
        if (answer == vb::kRetry) {
            EXPECT_TRUE(sigue);
            EXPECT_EQ(lineas, (std::vector<int>{1, 2}));
            EXPECT_EQ(cuenta, 2);
            EXPECT_EQ(intentos, 2);
            EXPECT_FALSE(pasado);
        } else {
            EXPECT_TRUE(pasado);
            EXPECT_EQ(sigue, answer == vb::kIgnore);
            EXPECT_EQ(lineas, (std::vector<int>{1}));
            EXPECT_EQ(cuenta, 1);
        }
        // The second step asks only when the procedure is still on; its undo runs before the box.
        EXPECT_EQ(deshecho, answer == vb::kAbort ? 0 : 1);
        EXPECT_EQ(p.shown().size(), answer == vb::kAbort ? 1u : 2u);
    }
}

// A procedure that leaves on its own word, between steps, from inside a step or from the question:
// the later steps are not run, no box is shown for the leaving, and no failure is made of it; a
// step that fails after it left is not asked about, and what it changed is put back.
TEST(OnErrorTest, LeavingSkipsTheLaterStepsAsksNothingAndFailsNothing) {
    ui::ScriptedPrompter p;   // a box would fail the test
    int ran = 0;
    vb::OnError between(AskOperator);
    EXPECT_TRUE(between.run([&] { ++ran; }));
    between.leave();
    EXPECT_FALSE(between.run([&] { ++ran; }));
    EXPECT_TRUE(between.left());
    EXPECT_FALSE(between.passedOver());
    EXPECT_FALSE(between.lastError());
    EXPECT_EQ(ran, 1);

    vb::OnError inside(AskOperator);
    std::vector<int> lineas{1};
    EXPECT_FALSE(inside.run([&] {
        inside.leave();
        ++ran;   // the step goes on to its end
    }));
    EXPECT_FALSE(inside.passedOver());
    vb::OnError failing(AskOperator);
    EXPECT_FALSE(failing.runKeeping(
        [&] {
            lineas.push_back(2);
            failing.leave();
            throw vb::Error(6, QStringLiteral("después de salir"));
        },
        lineas));
    EXPECT_EQ(lineas, std::vector<int>{1});
    EXPECT_TRUE(failing.passedOver());
    EXPECT_FALSE(failing.run([&] { ++ran; }));
    EXPECT_EQ(ran, 2);

    // A treatment that leaves: its Retry is not followed.
    int attempts = 0;
    vb::OnError* self = nullptr;
    vb::OnError asked([&](const vb::Error&) {
        self->leave();
        return static_cast<int>(vb::kRetry);
    });
    self = &asked;
    EXPECT_FALSE(asked.run([&] {
        ++attempts;
        throw vb::Error(5, QStringLiteral("no"));
    }));
    EXPECT_EQ(attempts, 1);
    EXPECT_TRUE(asked.left());
    EXPECT_TRUE(p.shown().empty());
}

// A reader under a runner of its own hands back what it read, or no value when the operator passed
// over its failure; asking an unread result for its value is a fault of the caller, raised there.
TEST(OnErrorTest, AReadPassedOverHoldsNoValue) {
    const auto lee = [](int answer) -> vb::ReadResult<int> {
        ui::ScriptedPrompter p;
        p.answer(answer, "no leído");
        int valor = 0;
        vb::OnError on(AskOperator);
        on.run([&] {
            valor = 7;
            throw vb::Error(13, QStringLiteral("no leído"));
        });
        if (on.passedOver()) return vb::kNotRead;
        return valor;
    };
    EXPECT_FALSE(lee(vb::kIgnore).read());
    EXPECT_FALSE(lee(vb::kAbort).read());
    const vb::ReadResult<int> leido(7);
    EXPECT_TRUE(leido.read());
    EXPECT_EQ(leido.value(), 7);
    // Asked for its value all the same, a read not made raises, in every build (value() holds no
    // assert that a build without asserts would drop): it never hands back a value.
    EXPECT_EQ(testsupport::ErrorNumberOf([&] { (void)lee(vb::kIgnore).value(); }), vb::kErrInvalidUseOfNull);
}

}  // namespace
