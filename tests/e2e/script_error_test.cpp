#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/probe_setup.h"
#include "tests/support/dialog_driver.h"

namespace {

using zrb::test::ProbeSetup;

const wchar_t kCaption[] = L":-( 杯具，脚本执行时发生错误";
const wchar_t kFeedback[] = L"请向我们反馈以上错误信息，以便我们改善产品质量！";

bool EndsWith(const std::wstring& text, const std::wstring& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

TEST(ScriptErrorReport, HookErrorShowsTheReportAndEndsTheRun) {
  ProbeSetup probe;
  probe.env = {{L"T_ENABLE_SS", L"1"}, {L"T_SS", L"1"}, {L"T_FAIL_HOOK", L"BeforeInstall"}};
  zrb::test::TracedProcess process = probe.Start(L"probe.exe");
  const auto box = zrb::test::AnswerDialog(kCaption, IDOK);
  const auto run = probe.Finish(process);
  ASSERT_TRUE(box.has_value()) << run.trace.Joined();

  // The message as Lua gives it (chunk position and text), a line break, the
  // call stack header and the handler's own frame first.
  const std::wstring& text = box->text;
  const std::wstring head = L"probe_install.lua:";
  EXPECT_EQ(0u, text.rfind(head, 0)) << text;
  EXPECT_NE(std::wstring::npos, text.find(L": probe failure in BeforeInstall\n      <call stack>\n-> | "))
      << text;
  EXPECT_NE(std::wstring::npos, text.find(L"\n--  | ")) << text;
  EXPECT_TRUE(EndsWith(text, kFeedback)) << text;

  EXPECT_EQ(0u, run.trace.exitCode);
  // Nothing runs after the failing hook.
  EXPECT_EQ(std::vector<std::string>({"loaded", "BeforeInit", "BeforeInstall InstallPath="}), run.hooks);
}

}  // namespace
