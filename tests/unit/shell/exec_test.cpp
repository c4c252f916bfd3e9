#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "common/utility/scope_guard.h"
#include "common/utility/unique_handle.h"
#include "tests/unit/shell/shell_test_support.h"

namespace {

using namespace zrb::test;

using Arguments = std::vector<std::wstring>;

TEST(Exec, DefaultVerbStartsTheProgramInItsFolderWithTheParameters) {
  TestFolder folder(L"exec");
  const std::wstring probe = folder / L"probe 程序.exe";
  CopyProbe(probe);

  EXPECT_TRUE(CallHost("Lua_Exec", {Text(probe), Text(L""), Text(L"first \"second arg\"")}));
  const auto report = WaitForReport(probe);
  ASSERT_TRUE(report);
  EXPECT_EQ(Arguments({L"first", L"second arg"}), report->arguments);
  EXPECT_EQ(folder.Path(), report->folder);
  EXPECT_EQ(std::to_wstring(SW_SHOWNORMAL), report->show);
}

TEST(Exec, WaitStartsHiddenAndReturnsAfterTheProgramEnded) {
  TestFolder folder(L"exec wait");
  const std::wstring probe = folder / L"probe.exe";
  CopyProbe(probe);

  // The probe sleeps first and writes its report as its last act, so the
  // report is there when the call returns only if the call waited.
  EXPECT_TRUE(
      CallHost("Lua_Exec", {Text(probe), Text(L""), Text(L"--sleep=1500 waited"), Flag(true)}));
  const auto report = ReportNow(probe);
  ASSERT_TRUE(report) << "returned before the program ended";
  EXPECT_EQ(Arguments({L"--sleep=1500", L"waited"}), report->arguments);
  EXPECT_EQ(std::to_wstring(SW_HIDE), report->show);
  EXPECT_EQ(folder.Path(), report->folder);
}

TEST(Exec, PinVerbsSucceedWhateverTheShellAnswers) {
  // The shell knows no verb for this kind of file: it refuses every one.
  TestFolder folder(L"exec pins");
  const std::wstring document = folder / L"data.zrbnoassoc";
  const zrb::UniqueFileHandle file(::CreateFileW(document.c_str(), GENERIC_WRITE, 0, nullptr,
                                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(file);

  const struct {
    const wchar_t* verb;
    bool result;
  } cases[] = {
      {L"taskbarpin", true}, {L"Taskbarunpin", true}, {L"STARTPIN", true},
      {L"Startunpin", true}, {L"open", false},        {L"", false},
      {L"pin", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.result, CallHost("Lua_Exec", {Text(document), Text(c.verb)})) << c.verb;
  }
}

TEST(Exec, UrlGoesToItsHandlerWithoutTheParameters) {
  TestFolder folder(L"exec url");
  const std::wstring probe = folder / L"handler.exe";
  CopyProbe(probe);
  // A URL scheme of the test's own whose handler is the probe; the handler
  // command also passes on any parameters the shell was given.
  const wchar_t scheme[] = L"zrbshelltest";
  zrb::UniqueRegistryKey command;
  ASSERT_EQ(ERROR_SUCCESS,
            ::RegCreateKeyExW(HKEY_CLASSES_ROOT, L"zrbshelltest\\shell\\open\\command", 0, nullptr,
                              0, KEY_SET_VALUE, nullptr, command.Receive(), nullptr));
  const auto removeScheme =
      zrb::MakeScopeGuard([&] { ::RegDeleteTreeW(HKEY_CLASSES_ROOT, scheme); });
  const std::wstring handler = L"\"" + probe + L"\" \"%1\" %*";
  ASSERT_EQ(ERROR_SUCCESS,
            ::RegSetValueExW(command.Get(), nullptr, 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(handler.c_str()),
                             static_cast<DWORD>((handler.size() + 1) * sizeof(wchar_t))));

  EXPECT_TRUE(CallHost("Lua_Exec",
                       {Text(L"zrbshelltest:open-me"), Text(L"open"), Text(L"--not-for-urls")}));
  const auto report = WaitForReport(probe);
  ASSERT_TRUE(report);
  EXPECT_EQ(Arguments({L"zrbshelltest:open-me"}), report->arguments);
}

TEST(Exec, ShellLevelStartsGoThroughExplorer) {
  ASSERT_EQ(kUsersCodePage, ::GetACP());
  TestFolder folder(L"exec shell level");
  // Lua_Exec with the shell level (verb and wait do not apply) and
  // Lua_ExplorerExec; each start gets its own probe.
  const std::wstring viaExec = folder / L"via exec 程序.exe";
  const std::wstring viaExplorerExec = folder / L"via explorer 程序.exe";
  CopyProbe(viaExec);
  CopyProbe(viaExplorerExec);

  EXPECT_TRUE(CallHost("Lua_Exec",
                       {Text(viaExec), Text(L"taskbarpin"), Text(L""), Flag(true), Flag(true)}));
  EXPECT_TRUE(CallHost("Lua_ExplorerExec", {Text(viaExplorerExec), Text(L"")}));
  EXPECT_TRUE(WaitForReport(viaExec)) << "not started through Lua_Exec";
  EXPECT_TRUE(WaitForReport(viaExplorerExec)) << "not started through Lua_ExplorerExec";
}

}  // namespace
