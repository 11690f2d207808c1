#include "platform/vb/on_error.h"

namespace vb {

OnError::OnError(Treatment treatment) : OnError(Mode::Ask, std::move(treatment), {}) {}

OnError::OnError(Mode mode, Treatment treatment, std::set<long> numbers)
    : mode_(mode), treatment_(std::move(treatment)), numbers_(std::move(numbers)) {}

OnError OnError::SkipAll() { return OnError(Mode::SkipAll, {}, {}); }
OnError OnError::LeaveSilently() { return OnError(Mode::LeaveSilently, {}, {}); }
OnError OnError::SkipNumbers(std::set<long> numbers) {
    return OnError(Mode::SkipNumbers, {}, std::move(numbers));
}

int OnError::decide(const Error& e) {
    switch (mode_) {
    case Mode::SkipAll:
        return kIgnore;
    case Mode::LeaveSilently:
        return 0;
    case Mode::SkipNumbers:
        return numbers_.count(e.number()) ? kIgnore : 0;
    case Mode::Ask:
        break;
    }
    return treatment_ ? treatment_(e) : 0;
}

}  // namespace vb
