// Runs a stored callable when the scope ends, on every path, unless dismissed.
#pragma once

#include <utility>

namespace zrb {

template <typename Callable>
class ScopeGuard {
 public:
  explicit ScopeGuard(Callable callable) : callable_(std::move(callable)) {}
  ScopeGuard(ScopeGuard&& other) noexcept
      : callable_(std::move(other.callable_)), active_(other.active_) {
    other.active_ = false;
  }
  ScopeGuard(const ScopeGuard&) = delete;
  ScopeGuard& operator=(const ScopeGuard&) = delete;
  ScopeGuard& operator=(ScopeGuard&&) = delete;
  ~ScopeGuard() {
    if (active_) callable_();
  }

  void Dismiss() { active_ = false; }

 private:
  Callable callable_;
  bool active_ = true;
};

template <typename Callable>
[[nodiscard]] ScopeGuard<Callable> MakeScopeGuard(Callable callable) {
  return ScopeGuard<Callable>(std::move(callable));
}

}  // namespace zrb
