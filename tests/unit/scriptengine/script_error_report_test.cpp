#include "zrbinstaller/zrbscriptengine/script_error_report.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/unit/scriptengine/test_engine.h"

namespace {

using zrb::test::Engine;
using zrb::test::RunScript;

std::wstring gReport;

// Stands in for the real handler (which ends the process): same frame shape.
int CaptureReport(lua_State* L) {
  gReport = BuildScriptErrorText(L);
  return 1;
}

std::wstring ReportFor(const char* function) {
  lua_State* L = Engine()->GetState();
  const int top = lua_gettop(L);
  lua_pushcfunction(L, CaptureReport);
  lua_getglobal(L, function);
  lua_pcall(L, 0, 0, top + 1);
  lua_settop(L, top);
  return gReport;
}

const std::wstring kFeedback = L"请向我们反馈以上错误信息，以便我们改善产品质量！";

TEST(ScriptErrorText, MessageThenCallStackThenFeedbackRequest) {
  RunScript("function report_inner()\n  error('boom')\nend\nfunction report_outer()\n  report_inner()\nend");
  // The message carries the short source name; the stack lines the full one.
  EXPECT_EQ(L"test:2: boom\n"
            L"      <call stack>\n"
            L"-> | unknown : line -1 [=[C] : line -1]\n"
            L"--  | error() : line -1 [=[C] : line -1]\n"
            L"--  | report_inner() : line 2 [=test : line 1]\n"
            L"--  | unknown : line 5 [=test : line 4]\n" +
                kFeedback,
            ReportFor("report_outer"));
}

TEST(ScriptErrorText, ValuesWithoutTextAndUtf8Messages) {
  RunScript("function report_table() error({}) end\n"
            "function report_chinese() error('安装失败', 0) end");
  EXPECT_EQ(0u, ReportFor("report_table").rfind(L"(null)\n      <call stack>\n", 0));
  EXPECT_EQ(0u, ReportFor("report_chinese").rfind(L"安装失败\n      <call stack>\n", 0));
}

}  // namespace
