#include "tests/support/traced_run.h"

#include <fstream>

#include "common/utility/string_conversion.h"
#include "tools/tracereader/debug_trace_session.h"

namespace zrb::test {

std::wstring TestProgramFolder() {
  wchar_t path[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

std::wstring SetupPath(const std::wstring& name) { return TestProgramFolder() + L"setups\\" + name; }

int TracedResult::Find(const std::wstring& line) const {
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i] == line) return static_cast<int>(i);
  }
  return -1;
}

std::wstring TracedResult::Joined() const {
  std::wstring joined;
  for (const std::wstring& line : lines) joined += line + L"\n";
  return joined;
}

TracedProcess::TracedProcess(std::wstring commandLine, DWORD timeoutMs) {
  std::promise<void> started;
  std::future<void> startedFuture = started.get_future();
  result_ = std::async(std::launch::async, [commandLine, timeoutMs, &started] {
    TracedResult result;
    const DebugRunResult run = RunWithDebugOutput(
        commandLine, [&result](const std::wstring& line) { result.lines.push_back(line); },
        timeoutMs, [&started] { started.set_value(); });
    result.started = run.started;
    result.timedOut = run.timedOut;
    result.exitCode = run.exitCode;
    return result;
  });
  // The program has copied this process's environment once it exists.
  startedFuture.wait();
}

TracedResult TracedProcess::Wait() { return result_.get(); }

ScopedEnvironment::~ScopedEnvironment() {
  for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
    ::SetEnvironmentVariableW(it->name.c_str(), it->existed ? it->value.c_str() : nullptr);
  }
}

void ScopedEnvironment::Set(const std::wstring& name, const std::wstring& value) {
  Saved saved{name, false, {}};
  wchar_t buffer[32767];
  const DWORD length = ::GetEnvironmentVariableW(name.c_str(), buffer, 32767);
  if (length > 0 && length < 32767) {
    saved.existed = true;
    saved.value = buffer;
  }
  saved_.push_back(saved);
  ::SetEnvironmentVariableW(name.c_str(), value.c_str());
}

std::wstring TempPath(const std::wstring& prefix) {
  wchar_t folder[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, folder);
  static LONG counter = 0;
  return std::wstring(folder) + prefix + L"_" + std::to_wstring(::GetCurrentProcessId()) + L"_" +
         std::to_wstring(::InterlockedIncrement(&counter)) + L"_" + std::to_wstring(::GetTickCount());
}

std::vector<std::string> ReadTextLines(const std::wstring& path) {
  std::vector<std::string> lines;
  std::ifstream file(path.c_str());
  for (std::string line; std::getline(file, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

}  // namespace zrb::test
