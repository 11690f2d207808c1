#pragma once
// The error runner: gives a procedure the program's error-handler convention.
//
//   double Algo() {
//       double result = 0;
//       vb::OnError on(treatment);                 // asks the treatment on a failing step
//       on.run([&] { result = firstStep(); });     // answer 4 (Retry) runs the step again,
//       on.run([&] { secondStep(result); });       // 5 (Ignore) goes on with the next step,
//       return result;                             // anything else leaves: later steps are skipped
//   }
//
// Handlers that behave differently are options of the same runner: skip every failing step
// silently (SkipAll), skip only some error numbers and leave silently on the others
// (SkipNumbers), or leave silently on any error (LeaveSilently).
//
// A procedure that leaves for a reason of its own, with no failing step of its runner (the
// operator ended it at the question of a part with a runner of its own, or a part has told what
// stops it), says so; no error is made up for it:
//
//   vb::OnError parte(treatment);                 // a part that asks on its own
//   parte.run([&] { AbreRegistro(); });
//   if (parte.left()) on.leave();                 // Abort there ends the whole procedure: the later
//                                                 // steps are skipped and nothing is asked again
//
// A step has no effect until it succeeds: Retry must find what the step first found, and Ignore
// must leave nothing of it. A step that adds to what outlives it (a grid line, a counter, a list)
// builds the addition in its locals and applies it as its last act, in code that cannot fail; or
// it names what it changes, and the runner puts it back after a failing attempt:
//
//   on.runKeeping([&] { lineas.push_back(Lee(r)); ++leidas; }, lineas, leidas);
//   on.runUndoing([&] { g.SetRows(g.Rows() + 1); Llena(g); }, [&, n = g.Rows()]() noexcept { g.SetRows(n); });
//
// A procedure that reads for its caller under runners of its own (a setting, a table lookup, a
// voucher type's sign) tells the caller when a read was passed over or left (passedOver() below)
// through what it returns: a vb::ReadResult (read_result.h), which the caller must open and which
// holds no value when the read was not made. A value not read is never used: the caller fails
// what it was doing, without asking the operator a second time about the same failure.
//
//   const vb::ReadResult<QString> motivo = core::ObtieneConfiguracion(clave);   // asks on its own
//   if (!motivo.read()) return falla();
#include "platform/vb/error.h"

#include <functional>
#include <optional>
#include <set>
#include <tuple>
#include <type_traits>
#include <utility>

namespace vb {

// Answer codes of the message boxes, as the runtime gives them.
enum Answer : int { kOk = 1, kCancel = 2, kAbort = 3, kRetry = 4, kIgnore = 5, kYes = 6, kNo = 7 };

class OnError {
public:
    // Receives the failing step's error and returns the operator's answer.
    using Treatment = std::function<int(const Error&)>;

    explicit OnError(Treatment treatment);
    static OnError SkipAll();                               // every failing step is skipped silently
    static OnError LeaveSilently();                         // any error leaves silently
    static OnError SkipNumbers(std::set<long> numbers);     // these are skipped, others leave silently

    // Runs one step under the convention. Returns true when the step completed or was ignored,
    // false when the procedure is leaving: the step failed, or it left (leave() below), or the
    // procedure had already left (the step is not run).
    template <class F>
    bool run(F&& step) {
        return runUndoing(std::forward<F>(step), []() noexcept {});
    }

    // The same, for a step that changes `state` (one or more objects) as it goes: a copy of them
    // is taken at the start of every attempt and swapped back in after a failing attempt, before
    // the question is asked. Retry then runs the step on the state it first found; Ignore and
    // leaving go on with that state, untouched. Each type must be copyable and swap without
    // throwing; a copy that fails fails the attempt, with nothing yet to put back. Anything the
    // step changes outside `state` must be its last act, and unable to fail.
    template <class F, class... T>
    bool runKeeping(F&& step, T&... state) {
        static_assert(sizeof...(T) > 0, "runKeeping names the state the step changes");
        static_assert((std::is_nothrow_swappable_v<T> && ...), "the state is put back by a swap that cannot fail");
        std::optional<std::tuple<T...>> before;
        return runUndoing(
            [&] {
                before.reset();
                before.emplace(state...);
                step();
            },
            [&]() noexcept {
                if (!before) return;
                std::apply([&](T&... saved) {
                    using std::swap;
                    (swap(state, saved), ...);
                }, *before);
                before.reset();
            });
    }

    // The same, for a step whose changes `undo` takes back: `undo` runs after every failing
    // attempt, before the question (so also before a Retry). It must not fail: an exception out
    // of it ends the program.
    template <class F, class U>
    bool runUndoing(F&& step, U&& undo) {
        if (left_) return false;
        for (;;) {
            std::optional<Error> failure;
            try {
                step();
                return !left_;
            } catch (const Error& e) {
                failure = e;
            } catch (const std::exception& e) {
                failure = Error(kHrUnspecified, QString::fromLocal8Bit(e.what()));
            }
            [&]() noexcept { undo(); }();
            lastError_ = failure;
            // A step that left before it failed is not asked about; a treatment that left is not
            // followed.
            const int answer = left_ ? 0 : decide(*failure);
            if (answer == kRetry && !left_) continue;
            passedOver_ = true;
            if (answer == kIgnore && !left_) return true;
            left_ = true;
            return false;
        }
    }

    // Leaves the procedure without an error: later steps are not run (run returns false), left()
    // is true, and nothing is asked or logged. No step failed, so passedOver() and lastError()
    // stay as they were. Called from a step, the step goes on to its end and its run returns false
    // (a failure after it is not asked about: its state is put back, and it counts as passed over);
    // called from the treatment, its answer is not followed.
    void leave() { left_ = true; }

    bool left() const { return left_; }                       // the procedure is leaving
    // A step failed and was not retried to success: the procedure went on without it, or left.
    // What such a procedure read is incomplete, and a caller must be told (a vb::ReadResult).
    bool passedOver() const { return passedOver_; }
    const std::optional<Error>& lastError() const { return lastError_; }

private:
    enum class Mode { Ask, SkipAll, LeaveSilently, SkipNumbers };
    OnError(Mode mode, Treatment treatment, std::set<long> numbers);
    int decide(const Error& e);

    Mode mode_;
    Treatment treatment_;
    std::set<long> numbers_;
    bool left_ = false;
    bool passedOver_ = false;
    std::optional<Error> lastError_;
};

}  // namespace vb
