// Runs a program of the build (a setup, a helper) under the debug-output
// reader and collects its trace lines and exit code.
#pragma once

#include <windows.h>

#include <future>
#include <string>
#include <vector>

namespace zrb::test {

// The folder of the running test program (with a trailing backslash).
std::wstring TestProgramFolder();
// A file or folder in the build's tests folder's "setups" subfolder.
std::wstring SetupPath(const std::wstring& name);

struct TracedResult {
  bool started = false;
  bool timedOut = false;
  DWORD exitCode = 0;
  std::vector<std::wstring> lines;

  // Index of the first line equal to `line`, or -1.
  int Find(const std::wstring& line) const;
  bool Has(const std::wstring& line) const { return Find(line) >= 0; }
  // All lines joined with '\n', for failure messages.
  std::wstring Joined() const;
};

// Starts `commandLine` on a background thread that reads its debug output;
// the constructor returns once the program exists, Wait() when it has exited
// (or the timeout ended it).
class TracedProcess {
 public:
  explicit TracedProcess(std::wstring commandLine, DWORD timeoutMs = 60000);
  TracedResult Wait();

 private:
  std::future<TracedResult> result_;
};

inline TracedResult RunTraced(const std::wstring& commandLine, DWORD timeoutMs = 60000) {
  return TracedProcess(commandLine, timeoutMs).Wait();
}

// Sets environment variables of this process (inherited by the programs it
// starts) and restores the earlier values on destruction.
class ScopedEnvironment {
 public:
  ScopedEnvironment() = default;
  ~ScopedEnvironment();
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

  void Set(const std::wstring& name, const std::wstring& value);

 private:
  struct Saved {
    std::wstring name;
    bool existed;
    std::wstring value;
  };
  std::vector<Saved> saved_;
};

// A new, empty-named path in the temporary folder (the file is not created).
std::wstring TempPath(const std::wstring& prefix);
// The lines of a text file (UTF-8), without line ends; empty when missing.
std::vector<std::string> ReadTextLines(const std::wstring& path);

}  // namespace zrb::test
