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
#include "platform/vb/error.h"

#include <functional>
#include <optional>
#include <set>
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
    // false when it failed and the procedure is leaving (or had already left: the step is not run).
    template <class F>
    bool run(F&& step) {
        if (left_) return false;
        for (;;) {
            std::optional<Error> failure;
            try {
                std::forward<F>(step)();
                return true;
            } catch (const Error& e) {
                failure = e;
            } catch (const std::exception& e) {
                failure = Error(kHrUnspecified, QString::fromLocal8Bit(e.what()));
            }
            lastError_ = failure;
            const int answer = decide(*failure);
            if (answer == kRetry) continue;
            if (answer == kIgnore) return true;
            left_ = true;
            return false;
        }
    }

    bool left() const { return left_; }                       // the procedure is leaving
    const std::optional<Error>& lastError() const { return lastError_; }

private:
    enum class Mode { Ask, SkipAll, LeaveSilently, SkipNumbers };
    OnError(Mode mode, Treatment treatment, std::set<long> numbers);
    int decide(const Error& e);

    Mode mode_;
    Treatment treatment_;
    std::set<long> numbers_;
    bool left_ = false;
    std::optional<Error> lastError_;
};

}  // namespace vb
