// Running the probe setups: their configuration comes from T_* environment
// variables and their install script logs each hook to the file T_LOG.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tests/support/traced_run.h"

namespace zrb::test {

struct ProbeRun {
  TracedResult trace;
  std::vector<std::string> hooks;  // lines of the hook log
};

class ProbeSetup {
 public:
  // Variables for the next run (T_LOG is set by the probe itself).
  std::map<std::wstring, std::wstring> env;

  ProbeRun Run(const std::wstring& setupName, DWORD timeoutMs = 60000) {
    TracedProcess process = Start(setupName, timeoutMs);
    return Finish(process);
  }

  TracedProcess Start(const std::wstring& setupName, DWORD timeoutMs = 60000) {
    ScopedEnvironment scoped;
    log_ = TempPath(L"hooks");
    scoped.Set(L"T_LOG", log_);
    for (const auto& [name, value] : env) scoped.Set(name, value);
    // The child copies the environment when it is created, inside the
    // constructor; restoring ours afterwards does not touch it.
    return TracedProcess(L"\"" + SetupPath(setupName) + L"\"", timeoutMs);
  }

  // The hook log so far.
  std::vector<std::string> LogSoFar() const { return ReadTextLines(log_); }

  ProbeRun Finish(TracedProcess& process) {
    ProbeRun run;
    run.trace = process.Wait();
    run.hooks = ReadTextLines(log_);
    ::DeleteFileW(log_.c_str());
    return run;
  }

 private:
  std::wstring log_;
};

}  // namespace zrb::test
