#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/probe_setup.h"
#include "tests/support/dialog_driver.h"

namespace {

using zrb::test::ProbeSetup;

const wchar_t kCaption[] = L":-( 杯具，脚本执行时发生错误";

bool StartsWith(const std::string& text, const std::string& start) {
  return text.rfind(start, 0) == 0;
}

// A setup's script calls system functions with typed arguments and reads
// their results; lookup failures come back as values and trace lines.
TEST(NativeBridge, SetupScriptCallsSystemFunctions) {
  ProbeSetup probe;
  probe.env = {{L"T_ENABLE_SS", L"1"}, {L"T_SS", L"1"}};
  const zrb::test::ProbeRun run = probe.Run(L"bridge.exe");
  SCOPED_TRACE(run.trace.Joined());
  EXPECT_EQ(1u, run.trace.exitCode);
  ASSERT_EQ(7u, run.hooks.size());
  EXPECT_TRUE(StartsWith(run.hooks[0], "pid ") && std::stoul(run.hooks[0].substr(4)) > 0);
  const std::string module = run.hooks[1];
  const std::string name = "\\bridge.exe";
  ASSERT_TRUE(module.size() > name.size() &&
              module.compare(module.size() - name.size(), name.size(), name) == 0)
      << module;
  // "module <length> <path>": the length the function returned is the path's.
  const size_t space = module.find(' ', 7);
  EXPECT_EQ(std::stoul(module.substr(7, space - 7)), module.size() - space - 1);
  EXPECT_EQ("exists 1", run.hooks[2]);
  EXPECT_EQ("get on a table hModule is nil", run.hooks[3]);
  EXPECT_EQ("missing export 127", run.hooks[4]);
  EXPECT_EQ((std::vector<std::string>{"done", "AfterComplete"}),
            std::vector<std::string>(run.hooks.begin() + 5, run.hooks.end()));
  EXPECT_TRUE(run.trace.Has(L"vq if (nullptr == phMod)"));
  EXPECT_TRUE(run.trace.Has(L"if (nullptr == pfn)"));
}

// An argument no word can stand for ends the setup through the error report,
// before the function runs.
TEST(NativeBridge, UnsupportedArgumentEndsTheSetupBeforeTheCall) {
  const std::wstring folder = zrb::test::TempPath(L"never");
  ProbeSetup probe;
  probe.env = {{L"T_ENABLE_SS", L"1"}, {L"T_SS", L"1"}, {L"T_BAD_ARGUMENT", folder}};
  zrb::test::TracedProcess process = probe.Start(L"bridge.exe");
  const auto box = zrb::test::AnswerDialog(kCaption, IDOK);
  const auto run = probe.Finish(process);
  ASSERT_TRUE(box.has_value()) << run.trace.Joined();
  EXPECT_EQ(0u, box->text.rfind(L"unknow argument type\n      <call stack>\n-> | ", 0))
      << box->text;
  EXPECT_EQ(0u, run.trace.exitCode);
  ASSERT_EQ(5u, run.hooks.size());
  EXPECT_EQ("missing export 127", run.hooks.back());
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(folder.c_str()));
}

}  // namespace
