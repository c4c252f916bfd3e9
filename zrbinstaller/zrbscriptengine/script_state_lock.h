// The one lock that serialises all threads' use of the script state.
//
// Lua takes it on entry to every API function and releases it around every
// native function call and hook call, so a thread that runs a long host
// function (an extraction, a process wait) leaves the state free for others.
// The lock is re-entrant for its owner; an unlock by a thread that does not
// hold it is ignored, which keeps the count right when a C++ exception from a
// native function unwinds into the interpreter's protected-call handler.
//
// Fairness: a thread running a long script hands the lock over at the
// interpreter's check points when another thread waits for it, so the main
// thread's short operations never wait for a whole hook.
#pragma once

#include <windows.h>

#include <atomic>

namespace zrb {

class ScriptStateLock {
 public:
  // The process-wide instance. It is never destroyed, so threads still
  // running at process exit never meet a dead lock object.
  static ScriptStateLock& Instance();

  void Lock();
  void Unlock();

  // With the lock held once by the caller: lets a waiting thread take it
  // and takes it back afterwards. No effect when nobody waits.
  void YieldHeld();

  // Without the lock held: when a thread waits, gives it a moment to take
  // the lock before the caller competes for it again.
  void LetWaitersIn();

  bool HeldByCurrentThread() const;

 private:
  ScriptStateLock();
  void WaitForHandOver(unsigned entriesBefore);

  CRITICAL_SECTION section_;
  std::atomic<DWORD> owner_{0};
  int depth_ = 0;  // touched by the owner only
  std::atomic<int> waiting_{0};
  std::atomic<unsigned> entries_{0};
};

// Holds the lock for a scope.
class ScriptStateLockGuard {
 public:
  ScriptStateLockGuard() { ScriptStateLock::Instance().Lock(); }
  ~ScriptStateLockGuard() { ScriptStateLock::Instance().Unlock(); }
  ScriptStateLockGuard(const ScriptStateLockGuard&) = delete;
  ScriptStateLockGuard& operator=(const ScriptStateLockGuard&) = delete;
};

}  // namespace zrb
