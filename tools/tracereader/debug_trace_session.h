// Runs a program as a debuggee and hands every debug-output string it emits
// to a callback, the way a debug-output viewer sees them.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace zrb {

struct DebugRunResult {
  bool started = false;      // the program could be started
  bool timedOut = false;     // ended by the deadline (then terminated)
  DWORD exitCode = 0;
};

// Starts `commandLine`, debugs only that process, and calls `onString` on
// the calling thread for each debug string (without its trailing line end).
// Waits at most `timeoutMs` (INFINITE for no limit); a program still running
// then is terminated. `onStarted`, when given, is called once the process
// exists (or has failed to start). Must run on one thread from start to end.
DebugRunResult RunWithDebugOutput(const std::wstring& commandLine,
                                  const std::function<void(const std::wstring&)>& onString,
                                  DWORD timeoutMs = INFINITE,
                                  const std::function<void()>& onStarted = nullptr);

}  // namespace zrb
