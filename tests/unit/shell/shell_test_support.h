// Helpers of the shell tests: folders of their own, the exec probe and its
// report, and calls of host functions with exactly the arguments given.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/support/traced_run.h"
#include "tests/unit/scriptengine/test_engine.h"

namespace zrb::test {

// A new folder in the temporary folder, its name holding a space and
// Chinese text; deleted with its contents at the end of the scope.
class TestFolder {
 public:
  explicit TestFolder(const std::wstring& prefix);
  ~TestFolder();
  TestFolder(const TestFolder&) = delete;
  TestFolder& operator=(const TestFolder&) = delete;

  const std::wstring& Path() const { return path_; }
  // A path inside the folder.
  std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

 private:
  std::wstring path_;
};

// Copies the exec probe to `path` (the tests give each start its own copy).
void CopyProbe(const std::wstring& path);

// What the exec probe at a path reported about its start.
struct ProbeReport {
  std::vector<std::wstring> arguments;
  std::wstring folder;
  std::wstring show;  // the requested show state as a number, or "default"
};

// The report of the probe at `probePath` once it exists (waiting up to
// `timeoutMs`), or nothing.
std::optional<ProbeReport> WaitForReport(const std::wstring& probePath, DWORD timeoutMs = 30000);
// The report as it is now, without waiting.
std::optional<ProbeReport> ReportNow(const std::wstring& probePath);

// A script value for CallHost.
struct LuaValue {
  enum class Kind { kNil, kText, kBoolean } kind = Kind::kNil;
  std::wstring text;
  bool flag = false;
};
inline LuaValue Nil() { return {}; }
inline LuaValue Text(std::wstring text) { return {LuaValue::Kind::kText, std::move(text), false}; }
inline LuaValue Flag(bool flag) { return {LuaValue::Kind::kBoolean, {}, flag}; }

// Calls the global host function `name` with exactly `arguments` (so a
// trailing nil counts as passed) and returns its one boolean result; any
// other result fails the test.
bool CallHost(const char* name, const std::vector<LuaValue>& arguments);

// The thread's ANSI code page the users have; tests that pass Chinese text
// through it check it first.
constexpr UINT kUsersCodePage = 936;

}  // namespace zrb::test
