#include <gtest/gtest.h>

#include <future>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/probe_setup.h"

namespace {

using zrb::test::ProbeRun;
using zrb::test::ProbeSetup;

const std::vector<std::string> kAllHooks = {"loaded",         "loaded",        "BeforeInit",
                                            "BeforeInstall", "OnInstall",     "BeforeComplete",
                                            "AfterComplete"};

std::vector<std::string> WithoutInstallPath(std::vector<std::string> hooks) {
  for (std::string& hook : hooks) hook = hook.substr(0, hook.find(' '));
  return hooks;
}

TEST(RunSequence, SilentRunCallsEveryHookInOrderAndExitsOne) {
  // Both silent rows: with the completion page asked for, the layout is
  // loaded but no page shows; without it, no layout is loaded at all.
  for (const wchar_t* showComplete : {L"0", L"1"}) {
    for (const wchar_t* setup : {L"probe.exe", L"probe_source.exe"}) {
      ProbeSetup probe;
      probe.env = {{L"T_ENABLE_SS", L"1"},
                   {L"T_SS", L"1"},
                   {L"T_SHOW_COMPLETE", showComplete},
                   {L"T_INSTALL_PATH", L"C:\\Pomelia Test"}};
      const ProbeRun run = probe.Run(setup);
      SCOPED_TRACE(run.trace.Joined());
      EXPECT_EQ(1u, run.trace.exitCode);
      // The config script's main chunk logs nothing; the install script's
      // "loaded" appears once per run.
      std::vector<std::string> expected(kAllHooks.begin() + 1, kAllHooks.end());
      EXPECT_EQ(expected, WithoutInstallPath(run.hooks));
      EXPECT_EQ("BeforeInstall InstallPath=C:\\Pomelia Test", run.hooks.at(2));

      const auto& t = run.trace;
      EXPECT_TRUE(t.Has(L"vq  szObjectName = Global\\{A043B702-166A-4FB8-9733-E2BC4713F36F} "));
      EXPECT_TRUE(t.Has(L"vq global_ss_install==true ~!"));
      EXPECT_TRUE(t.Has(L"vq start ss install!"));
      EXPECT_TRUE(t.Has(L"vq node <Dlg name=\"CompleteDlg\"> is hide!"));
      const bool complete = std::wstring(showComplete) == L"1";
      EXPECT_TRUE(t.Has(complete ? L"vq Completewindow==true ~!" : L"vq Completewindow==false ~!"));
      EXPECT_EQ(complete, t.Has(L"vq SSInstall ~!"));
      EXPECT_EQ(complete, t.Has(L"vq Completewindow ~!"));
    }
  }
}

TEST(RunSequence, SilentRequestWithoutPermissionRunsTheNormalMode) {
  ProbeSetup probe;
  probe.env = {{L"T_ENABLE_SS", L"0"}, {L"T_SS", L"1"}};
  const ProbeRun run = probe.Run(L"probe.exe");
  SCOPED_TRACE(run.trace.Joined());
  EXPECT_FALSE(run.trace.Has(L"vq global_ss_install==true ~!"));
  EXPECT_FALSE(run.trace.Has(L"vq start ss install!"));
  EXPECT_EQ(std::vector<std::string>({"loaded", "BeforeInit"}), run.hooks);
  EXPECT_EQ(0u, run.trace.exitCode);
}

TEST(RunSequence, MutexNameFollowsTheConfiguration) {
  struct Case {
    const wchar_t* guid;
    const wchar_t* appId;
    std::wstring expected;
  } cases[] = {
      {L"", L"0", L"Global\\{A043B702-166A-4FB8-9733-E2BC4713F36F}"},
      {L"", L"1234", L"Global\\{A043B702-166A-4FB8-9733-E2BC4713F36F}1234"},
      {L"Local\\ZrbTestMutex", L"77", L"Local\\ZrbTestMutex"},
  };
  for (const Case& c : cases) {
    ProbeSetup probe;
    probe.env = {{L"T_MUTEX_GUID", c.guid}, {L"T_APP_ID", c.appId}, {L"T_ENABLE_SS", L"1"},
                 {L"T_SS", L"1"}};
    const ProbeRun run = probe.Run(L"probe.exe");
    EXPECT_TRUE(run.trace.Has(L"vq  szObjectName = " + c.expected + L" ")) << run.trace.Joined();
    EXPECT_EQ(1u, run.trace.exitCode);
  }
}

TEST(RunSequence, SecondInstanceExitsWithoutHooks) {
  const std::wstring hold = zrb::test::TempPath(L"hold");
  ProbeSetup first;
  first.env = {{L"T_HOLD_FILE", hold}, {L"T_ENABLE_SS", L"1"}, {L"T_SS", L"1"},
               {L"T_MUTEX_GUID", L"Local\\ZrbSecondInstanceTest"}};
  zrb::test::TracedProcess running = first.Start(L"probe.exe");

  // Wait until the first instance holds the guard and waits in its first hook.
  for (int i = 0; i < 300 && first.LogSoFar().size() < 2; ++i) ::Sleep(100);
  ASSERT_EQ(std::vector<std::string>({"loaded", "Holding"}), first.LogSoFar());

  ProbeSetup second;
  second.env = {{L"T_ENABLE_SS", L"1"}, {L"T_SS", L"1"},
                {L"T_MUTEX_GUID", L"Local\\ZrbSecondInstanceTest"}};
  const ProbeRun secondRun = second.Run(L"probe.exe");
  EXPECT_TRUE(secondRun.trace.Has(L"vq CreateAppInstance return true")) << secondRun.trace.Joined();
  EXPECT_EQ(0u, secondRun.trace.exitCode);
  // Its scripts' main chunks ran, no hook did.
  EXPECT_EQ(std::vector<std::string>({"loaded"}), secondRun.hooks);

  HANDLE release = ::CreateFileW(hold.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ::CloseHandle(release);
  const ProbeRun firstRun = first.Finish(running);
  EXPECT_EQ(1u, firstRun.trace.exitCode) << firstRun.trace.Joined();
  EXPECT_EQ("Holding", firstRun.hooks.at(1));
  ::DeleteFileW(hold.c_str());
}

// A window of the page class stands in for the first instance's page (on a
// thread that pumps messages, as a page's does): the second start finds it by
// class and switches to it.
TEST(RunSequence, SecondInstanceBringsTheRunningPageForward) {
  std::promise<std::pair<HWND, HWND>> windowsMade;
  DWORD pumpThread = 0;
  std::thread pump([&] {
    pumpThread = ::GetCurrentThreadId();
    WNDCLASSW pageClass = {};
    pageClass.lpfnWndProc = ::DefWindowProcW;
    pageClass.hInstance = ::GetModuleHandleW(nullptr);
    pageClass.lpszClassName = L"Zrb_Installer";
    ::RegisterClassW(&pageClass);
    HWND page = ::CreateWindowExW(0, L"Zrb_Installer", L"first", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                  10, 10, 200, 100, nullptr, nullptr, pageClass.hInstance, nullptr);
    HWND other = ::CreateWindowExW(0, L"STATIC", L"other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300,
                                   10, 200, 100, nullptr, nullptr, pageClass.hInstance, nullptr);
    ::SetForegroundWindow(other);
    windowsMade.set_value({page, other});
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) ::DispatchMessageW(&message);
    ::DestroyWindow(other);
    ::DestroyWindow(page);
  });
  const auto [page, other] = windowsMade.get_future().get();
  ASSERT_TRUE(page && other);
  EXPECT_EQ(other, ::GetForegroundWindow());
  HANDLE marker = ::CreateMutexW(nullptr, FALSE, L"Local\\ZrbForegroundTest");

  ProbeSetup second;
  second.env = {{L"T_ENABLE_SS", L"1"}, {L"T_SS", L"1"}, {L"T_MUTEX_GUID", L"Local\\ZrbForegroundTest"}};
  const ProbeRun run = second.Run(L"probe.exe");
  EXPECT_TRUE(run.trace.Has(L"vq CreateAppInstance return true")) << run.trace.Joined();
  EXPECT_EQ(0u, run.trace.exitCode);
  EXPECT_EQ(page, ::GetForegroundWindow());

  ::CloseHandle(marker);
  ::PostThreadMessageW(pumpThread, WM_QUIT, 0, 0);
  pump.join();
}

}  // namespace
