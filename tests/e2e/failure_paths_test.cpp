#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/probe_setup.h"

namespace {

using zrb::test::ProbeRun;
using zrb::test::ProbeSetup;

bool HasErrorTriple(const zrb::test::TracedResult& trace, const std::wstring& message, int error) {
  const int first = trace.Find(L"vq " + message + L"vq file:zrbsetup/zrbinstaller/layout_document.cpp");
  if (first < 0 || first + 2 >= static_cast<int>(trace.lines.size())) return false;
  return trace.lines[first + 1].rfind(L"vq " + message + L"vq line:", 0) == 0 &&
         trace.lines[first + 2] == L"vq " + message + L"vq err:" + std::to_wstring(error);
}

TEST(RunSequenceFailures, LayoutProblemsEndTheRunWithZero) {
  struct Case {
    const wchar_t* setup;
    std::vector<std::string> hooks;
    std::wstring line;  // a line the run must trace ("" when checked otherwise)
  } cases[] = {
      {L"empty_layout.exe", {"loaded", "BeforeInit"}, L"vq ResSize == 0"},
      {L"malformed_layout.exe", {"loaded", "BeforeInit"},
       L"vq Load_buffer failed, Start-end tags mismatch"},
      {L"layout_without_pages.exe", {"loaded", "BeforeInit"},
       L"vq node <Dlg name=\"InitDlg\"> is empty!"},
      {L"no_layout.exe", {"loaded", "BeforeInit"}, L""},
  };
  for (const Case& c : cases) {
    ProbeSetup probe;
    const ProbeRun run = probe.Run(c.setup);
    SCOPED_TRACE(run.trace.Joined());
    EXPECT_EQ(0u, run.trace.exitCode) << c.setup;
    EXPECT_EQ(c.hooks, run.hooks) << c.setup;
    if (!c.line.empty()) {
      EXPECT_TRUE(run.trace.Has(c.line)) << c.setup;
    } else {
      EXPECT_TRUE(HasErrorTriple(run.trace, L"LoadResource failed. type : XML, id : LAYOUT.XML",
                                 ERROR_RESOURCE_TYPE_NOT_FOUND));
    }
  }
}

TEST(RunSequenceFailures, SilentRunWithCompletionPageNeedsItsLayout) {
  ProbeSetup probe;
  probe.env = {{L"T_ENABLE_SS", L"1"}, {L"T_SS", L"1"}, {L"T_SHOW_COMPLETE", L"1"}};
  const ProbeRun run = probe.Run(L"malformed_layout.exe");
  EXPECT_EQ(0u, run.trace.exitCode);
  EXPECT_EQ(std::vector<std::string>({"loaded", "BeforeInit"}), run.hooks);

  // Without the completion page the broken layout is never read.
  probe.env[L"T_SHOW_COMPLETE"] = L"0";
  const ProbeRun silent = probe.Run(L"malformed_layout.exe");
  EXPECT_EQ(1u, silent.trace.exitCode) << silent.trace.Joined();
}

TEST(RunSequenceFailures, ScriptsThatCannotRunEndTheRunBeforeAnyHook) {
  struct Case {
    const wchar_t* setup;
    std::vector<std::wstring> lines;  // in this order, not necessarily adjacent
  } cases[] = {
      {L"no_config.exe",
       {L"vq LoadResource failed. Type : LUA ID : GLOBAL_VAR.LUAC", L"vq DoResLua failed, GLOBAL_VAR.LUAC"}},
      {L"syntax_error.exe",
       {L"vq luaL_loadbuffer failed!", L"vq DoResLua failed, INSTSCRIPT.LUAC"}},
      {L"bad_bytecode.exe",
       {L"vq luaL_loadbuffer failed!", L"vq DoResLua failed, INSTSCRIPT.LUAC"}},
  };
  for (const Case& c : cases) {
    ProbeSetup probe;
    const ProbeRun run = probe.Run(c.setup);
    SCOPED_TRACE(run.trace.Joined());
    EXPECT_EQ(0u, run.trace.exitCode) << c.setup;
    EXPECT_TRUE(run.hooks.empty() || run.hooks == std::vector<std::string>({"loaded"})) << c.setup;
    int previous = -1;
    for (const std::wstring& line : c.lines) {
      const int at = run.trace.Find(line);
      EXPECT_GT(at, previous) << c.setup << ": " << std::string(line.begin(), line.end());
      previous = at;
    }
  }
}

TEST(RunSequenceFailures, MissingScriptResourceTracesTheSeparateTriple) {
  ProbeSetup probe;
  const ProbeRun run = probe.Run(L"no_config.exe");
  const int at = run.trace.Find(L"vq LoadResource failed. Type : LUA ID : GLOBAL_VAR.LUAC");
  ASSERT_GE(at, 0) << run.trace.Joined();
  ASSERT_LT(at + 3, static_cast<int>(run.trace.lines.size()));
  EXPECT_EQ(0u, run.trace.lines[at + 1].rfind(
                    L"vq vq file:zrbsetup/zrbinstaller/zrbscriptengine/zrbscriptengine.cpp", 0));
  EXPECT_EQ(0u, run.trace.lines[at + 2].rfind(L"vq vq line:", 0));
  EXPECT_EQ(L"vq vq err:" + std::to_wstring(ERROR_RESOURCE_NAME_NOT_FOUND), run.trace.lines[at + 3]);
}

}  // namespace
