#include "zrbinstaller/zrbscriptengine/script_state_lock.h"

#include <new>

#include "zrbinstaller/zrbscriptengine/lua_lock_hooks.h"

namespace zrb {

ScriptStateLock& ScriptStateLock::Instance() {
  // Placement into static storage without a destructor: worker threads may
  // still touch the lock while static destructors run at exit.
  alignas(ScriptStateLock) static unsigned char storage[sizeof(ScriptStateLock)];
  static ScriptStateLock* instance = new (storage) ScriptStateLock();
  return *instance;
}

ScriptStateLock::ScriptStateLock() { ::InitializeCriticalSectionAndSpinCount(&section_, 4000); }

void ScriptStateLock::Lock() {
  const DWORD self = ::GetCurrentThreadId();
  if (owner_.load(std::memory_order_relaxed) == self) {
    ++depth_;
    return;
  }
  if (!::TryEnterCriticalSection(&section_)) {
    waiting_.fetch_add(1);
    ::EnterCriticalSection(&section_);
    waiting_.fetch_sub(1);
  }
  owner_.store(self, std::memory_order_relaxed);
  depth_ = 1;
  entries_.fetch_add(1);
}

void ScriptStateLock::Unlock() {
  if (owner_.load(std::memory_order_relaxed) != ::GetCurrentThreadId()) return;
  if (--depth_ > 0) return;
  owner_.store(0, std::memory_order_relaxed);
  ::LeaveCriticalSection(&section_);
}

bool ScriptStateLock::HeldByCurrentThread() const {
  return owner_.load(std::memory_order_relaxed) == ::GetCurrentThreadId();
}

void ScriptStateLock::WaitForHandOver(unsigned entriesBefore) {
  // A woken waiter needs a moment to be scheduled; give it a bounded one.
  for (int round = 0; round < 2000; ++round) {
    if (entries_.load() != entriesBefore || waiting_.load() == 0) return;
    if (!::SwitchToThread()) ::Sleep(0);
  }
}

void ScriptStateLock::YieldHeld() {
  if (waiting_.load() == 0 || depth_ != 1 || !HeldByCurrentThread()) return;
  const unsigned before = entries_.load();
  Unlock();
  WaitForHandOver(before);
  Lock();
}

void ScriptStateLock::LetWaitersIn() {
  if (waiting_.load() == 0 || HeldByCurrentThread()) return;
  WaitForHandOver(entries_.load());
}

}  // namespace zrb

void ZrbLuaLock(lua_State*) { zrb::ScriptStateLock::Instance().Lock(); }
void ZrbLuaUnlock(lua_State*) { zrb::ScriptStateLock::Instance().Unlock(); }
void ZrbLuaThreadYield(lua_State*) { zrb::ScriptStateLock::Instance().YieldHeld(); }
