#pragma once
// Runs an action when the scope is left, unless dismissed: the restore or clean-up step that must
// happen on every way out of a procedure, error or not.
//
//   const int saved = level;
//   vb::ScopeGuard restore([&] { level = saved; });
//   work();                 // may raise
//   restore.dismiss();      // only when the clean-up must not run after all
//
// The action must not raise: it runs from a destructor, possibly while an error is on its way.
#include <utility>

namespace vb {

template <class F>
class ScopeGuard {
public:
    explicit ScopeGuard(F action) : action_(std::move(action)) {}
    ~ScopeGuard() {
        if (active_) action_();
    }
    ScopeGuard(const ScopeGuard&) = delete;
    ScopeGuard& operator=(const ScopeGuard&) = delete;

    void dismiss() { active_ = false; }

private:
    F action_;
    bool active_ = true;
};

}  // namespace vb
