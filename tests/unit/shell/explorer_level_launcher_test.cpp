#include "zrbinstaller/explorer_level_launcher.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "tests/unit/shell/shell_test_support.h"

namespace {

using namespace zrb::test;

// The arguments the started program sees.
std::vector<std::wstring> Split(const std::wstring& commandLine) {
  int count = 0;
  wchar_t** arguments = ::CommandLineToArgvW(commandLine.c_str(), &count);
  std::vector<std::wstring> result(arguments, arguments + count);
  ::LocalFree(arguments);
  return result;
}

TEST(ExplorerLevelCommandLine, QuotesThePathAndTheParametersAsGiven) {
  const struct {
    std::wstring program;
    std::wstring parameters;
    std::wstring line;
    std::vector<std::wstring> seen;
  } cases[] = {
      {L"C:\\Program Files\\Pomelia\\Pomelia.exe",
       L"",
       L"explorer.exe \"C:\\Program Files\\Pomelia\\Pomelia.exe\" \"\"",
       {L"explorer.exe", L"C:\\Program Files\\Pomelia\\Pomelia.exe", L""}},
      {L"C:\\P\\p.exe",
       L"/autostart /tray",
       L"explorer.exe \"C:\\P\\p.exe\" \"/autostart /tray\"",
       {L"explorer.exe", L"C:\\P\\p.exe", L"/autostart /tray"}},
      // Nothing is expanded.
      {L"%ProgramFiles%\\p.exe",
       L"%TEMP%",
       L"explorer.exe \"%ProgramFiles%\\p.exe\" \"%TEMP%\"",
       {L"explorer.exe", L"%ProgramFiles%\\p.exe", L"%TEMP%"}},
      // A double quote in the parameters is not escaped and splits them.
      {L"C:\\p.exe",
       L"a\" \"b",
       L"explorer.exe \"C:\\p.exe\" \"a\" \"b\"",
       {L"explorer.exe", L"C:\\p.exe", L"a", L"b"}},
  };
  for (const auto& c : cases) {
    const std::wstring line = ExplorerLevelCommandLine(c.program, c.parameters);
    EXPECT_EQ(c.line, line);
    EXPECT_EQ(c.seen, Split(line)) << line;
  }
}

TEST(ProcessLauncherExplorerLevel, ExplorerStartsTheProgram) {
  // The line goes through the thread's ANSI code page, which holds these
  // Chinese characters.
  ASSERT_EQ(kUsersCodePage, ::GetACP());
  TestFolder folder(L"shell level");
  const std::wstring probe = folder / L"启动 probe.exe";
  CopyProbe(probe);

  EXPECT_GT(ProcessLauncherExplorerLevel(probe, L""), 31u);
  EXPECT_TRUE(WaitForReport(probe));
}

}  // namespace
