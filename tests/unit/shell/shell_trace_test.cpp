// The shell functions inside a setup: results and trace lines of a script
// run by the shell probe setup.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

#include "common/utility/string_conversion.h"
#include "tests/unit/shell/shell_test_support.h"

namespace {

using namespace zrb::test;

// A Lua long string holding `text` as UTF-8.
std::string LuaText(const std::wstring& text) { return "[==[" + zrb::WideToUtf8(text) + "]==]"; }

struct ShellRun {
  TracedResult trace;
  std::vector<std::string> reported;  // "name=value" lines
};

// Runs `script` in the install hook of the shell probe setup.
ShellRun RunInSetup(const std::string& script) {
  const std::wstring scriptPath = TempPath(L"shell_script") + L".lua";
  const std::wstring resultPath = TempPath(L"shell_result");
  std::ofstream(scriptPath.c_str(), std::ios::binary) << script;
  ShellRun run;
  {
    ScopedEnvironment environment;
    environment.Set(L"T_SHELL_SCRIPT", scriptPath);
    environment.Set(L"T_SHELL_RESULT", resultPath);
    TracedProcess process(L"\"" + TestProgramFolder() + L"shell_probe.exe\"");
    run.trace = process.Wait();
  }
  run.reported = ReadTextLines(resultPath);
  ::DeleteFileW(scriptPath.c_str());
  ::DeleteFileW(resultPath.c_str());
  return run;
}

bool AnyLineHas(const TracedResult& trace, const std::wstring& text) {
  for (const std::wstring& line : trace.lines) {
    if (line.find(text) != std::wstring::npos) return true;
  }
  return false;
}

// `message` followed by the separate triple naming `source` (and the error
// code `error`, unless that is empty).
void ExpectSeparateTriple(const TracedResult& trace, const std::wstring& message,
                          const std::wstring& source, const std::wstring& error) {
  const int at = trace.Find(message);
  ASSERT_GE(at, 0) << "no line: " << message;
  ASSERT_LT(static_cast<size_t>(at + 3), trace.lines.size()) << message;
  EXPECT_EQ(L"vq vq file:zrbsetup/zrbinstaller/zrbscriptengine/" + source, trace.lines[at + 1]);
  EXPECT_EQ(0u, trace.lines[at + 2].rfind(L"vq vq line:", 0)) << trace.lines[at + 2];
  EXPECT_EQ(0u, trace.lines[at + 3].rfind(L"vq vq err:" + error, 0)) << trace.lines[at + 3];
}

TEST(ShellTrace, ResultsAndTraceLinesOfTheShellFunctions) {
  TestFolder folder(L"shell trace");
  const std::wstring target = folder / L"app.exe";
  const std::wstring blocker = folder / L"blocker.txt";
  const std::wstring notLibrary = folder / L"not a library.dll";
  for (const std::wstring& path : {target, blocker, notLibrary}) {
    std::ofstream(path.c_str()) << "not a program";
  }
  const std::wstring link = folder / L"开始 menu\\app.lnk";
  const std::wstring blockedLink = blocker + L"\\app.lnk";  // a file stands in the way
  auto missing = [&](int n) { return folder / (L"missing " + std::to_wstring(n) + L".exe"); };

  const ShellRun run = RunInSetup("report('unpin', Lua_Exec(" + LuaText(missing(1)) +
                                  ", 'Taskbarunpin'))\n"
                                  "report('unpin upper', Lua_Exec(" +
                                  LuaText(missing(2)) +
                                  ", 'STARTUNPIN'))\n"
                                  "report('no verb', Lua_Exec(" +
                                  LuaText(missing(3)) +
                                  "))\n"
                                  "report('pin', Lua_Exec(" +
                                  LuaText(missing(4)) +
                                  ", 'Taskbarpin'))\n"
                                  "report('shortcut', Lua_CreateShortcut(" +
                                  LuaText(target) + ", " + LuaText(link) +
                                  ", '/menu', nil))\n"
                                  "report('blocked shortcut', Lua_CreateShortcut(" +
                                  LuaText(target) + ", " + LuaText(blockedLink) +
                                  "))\n"
                                  "report('regsvr32 missing', Lua_RegSvr32(" +
                                  LuaText(missing(5)) +
                                  ", true))\n"
                                  "report('regsvr32 not a library', Lua_RegSvr32(" +
                                  LuaText(notLibrary) +
                                  ", true))\n"
                                  "report('registdll missing', Lua_RegistDll(" +
                                  LuaText(missing(6)) + ", '/s'))\n");
  const TracedResult& trace = run.trace;
  SCOPED_TRACE(trace.Joined());
  EXPECT_EQ(1u, trace.exitCode);
  EXPECT_EQ(
      std::vector<std::string>({"unpin=true", "unpin upper=true", "no verb=false", "pin=false",
                                "shortcut=true", "blocked shortcut=false", "regsvr32 missing=false",
                                "regsvr32 not a library=false", "registdll missing=false"}),
      run.reported);

  // Nothing to unpin is no failure and leaves no trace.
  EXPECT_FALSE(AnyLineHas(trace, missing(1)));
  EXPECT_FALSE(AnyLineHas(trace, missing(2)));
  for (int n : {3, 4}) {
    EXPECT_TRUE(trace.Has(L"vq Fun:Lua_Exec, Description:" + missing(n) + L" it's not exists!"));
  }

  EXPECT_TRUE(trace.Has(L"vq Save Shortcut " + link + L" "));
  ExpectSeparateTriple(trace, L"vq Save " + blockedLink + L" failed!", L"host_shortcuts.cpp", L"");

  EXPECT_TRUE(trace.Has(L"vq Fun:Lua_RegSvr32, Description:" + missing(5) + L" it's not exists!"));
  ExpectSeparateTriple(trace,
                       L"vq Fun:Lua_RegSvr32, Description: LoadLibrary " + notLibrary + L" Failed!",
                       L"host_com_registration.cpp", std::to_wstring(ERROR_BAD_EXE_FORMAT));
  EXPECT_TRUE(trace.Has(L"vq Fun:Lua_RegistDll, Description:" + missing(6) + L" it's not exists!"));
}

}  // namespace
