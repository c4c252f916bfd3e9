#include <gtest/gtest.h>

#include <string>

#include "common/utility/zrbprocesstoolhelp.h"
#include "tests/support/child_process.h"
#include "tests/support/privileges.h"
#include "tests/support/traced_run.h"

namespace {

using zrb::KillProcess;
using zrb::ProcessToolHelp;
using zrb::test::ChildProcess;
using zrb::test::PrivilegeEnabled;
using zrb::test::UniqueWindowClass;
using zrb::test::WindowHelperCopy;

// The polite wait of KillProcess; a process that ignores closing outlives it.
constexpr DWORD kPoliteWaitMs = 3000;

TEST(EnablePrivilege, SwitchesThePrivilegeInTheToken) {
  ASSERT_TRUE(zrb::EnablePrivilege(L"SeDebugPrivilege", true));
  EXPECT_TRUE(PrivilegeEnabled(L"SeDebugPrivilege"));
  ASSERT_TRUE(zrb::EnablePrivilege(L"SeDebugPrivilege", false));
  EXPECT_FALSE(PrivilegeEnabled(L"SeDebugPrivilege"));

  EXPECT_FALSE(zrb::EnablePrivilege(L"SeNoSuchPrivilege", true));
  EXPECT_FALSE(zrb::EnablePrivilege(L"", true));
}

TEST(KillProcess, ProcessesThatHaveEndedCountAsEnded) {
  const DWORD start = ::GetTickCount();
  EXPECT_TRUE(KillProcess(0));
  // Far above any process ID the system hands out.
  EXPECT_TRUE(KillProcess(0xFFFFFFF0));
  // Ended, but still held open here, so its ID cannot go to another process.
  ChildProcess ended(L"\"" + zrb::test::TestProgramFolder() + L"zrb_window_helper.exe\"");
  ASSERT_TRUE(ended.IsValid());
  ASSERT_EQ(2u, ended.WaitForExit(10000)) << "no arguments: ends at once";
  EXPECT_TRUE(KillProcess(ended.Id()));
  EXPECT_LT(::GetTickCount() - start, 1000u);
}

TEST(KillProcess, AsksPolitelyFirstThenTerminates) {
  const WindowHelperCopy helper(L"zrb_kill");
  const std::wstring windowClass = UniqueWindowClass(L"ZrbKillProcess");

  ChildProcess polite = helper.Start(true, windowClass);
  ASSERT_TRUE(polite.IsValid());
  DWORD start = ::GetTickCount();
  EXPECT_TRUE(KillProcess(polite.Id()));
  EXPECT_LT(::GetTickCount() - start, kPoliteWaitMs - 500);
  EXPECT_EQ(7u, polite.WaitForExit(0)) << "ended by its own WM_CLOSE handler";

  ChildProcess stubborn = helper.Start(false, windowClass);
  ASSERT_TRUE(stubborn.IsValid());
  start = ::GetTickCount();
  EXPECT_TRUE(KillProcess(stubborn.Id()));
  const DWORD elapsed = ::GetTickCount() - start;
  EXPECT_GE(elapsed, kPoliteWaitMs - 100);
  EXPECT_LT(elapsed, 2 * kPoliteWaitMs);
  EXPECT_EQ(0u, stubborn.WaitForExit(0)) << "terminated with exit code 0";
}

TEST(ProcessToolHelp, FindsProcessesByNameInAnyCase) {
  const WindowHelperCopy helper(L"zrb_find");
  const std::wstring windowClass = UniqueWindowClass(L"ZrbFindProcess");
  ChildProcess first = helper.Start(true, windowClass);
  ChildProcess second = helper.Start(true, windowClass);
  ASSERT_TRUE(first.IsValid() && second.IsValid());

  ProcessToolHelp toolHelp;
  EXPECT_EQ(ProcessToolHelp::kNoProcess, toolHelp.FindProcessIdByName(helper.ExeName()))
      << "no snapshot taken yet";
  ASSERT_TRUE(toolHelp.TakeSnapshot());
  std::wstring upper = helper.ExeName();
  for (wchar_t& unit : upper) unit = static_cast<wchar_t>(towupper(unit));
  const DWORD found = toolHelp.FindProcessIdByName(upper);
  EXPECT_TRUE(found == first.Id() || found == second.Id()) << found;
  EXPECT_EQ(ProcessToolHelp::kNoProcess, toolHelp.FindProcessIdByName(L"zrb_nobody.exe"));
}

TEST(ProcessToolHelp, ImagePathsHaveDriveLetters) {
  const WindowHelperCopy helper(L"zrb_image");
  ChildProcess child = helper.Start(true, UniqueWindowClass(L"ZrbImagePath"));
  ASSERT_TRUE(child.IsValid());
  ASSERT_EQ(L"C:\\", helper.Path().substr(0, 3)) << "the copy lives in the temporary folder";

  ProcessToolHelp toolHelp;
  std::wstring path;
  ASSERT_TRUE(toolHelp.GetImagePathByPid(child.Id(), path));
  EXPECT_EQ(0, _wcsicmp(helper.Path().c_str(), path.c_str())) << path;

  std::wstring untouched = L"untouched";
  EXPECT_FALSE(toolHelp.GetImagePathByPid(0xFFFFFFF0, untouched));
  EXPECT_EQ(L"untouched", untouched);
}

TEST(ProcessToolHelp, TranslatesDevicePrefixes) {
  wchar_t volume[MAX_PATH] = {};
  ASSERT_NE(0u, ::QueryDosDeviceW(L"C:", volume, MAX_PATH));
  const std::wstring c(volume);  // \Device\HarddiskVolume1 under Wine

  const struct {
    std::wstring device;
    std::wstring drive;
  } cases[] = {
      {c + L"\\Program Files\\a.exe", L"C:\\Program Files\\a.exe"},
      // Only the leading prefix is the device.
      {c + L"\\x" + c + L"\\a.exe", L"C:\\x" + c + L"\\a.exe"},
      // A device without a drive letter is cut off.
      {L"\\Device\\Mup\\server\\share\\a.exe", L"\\server\\share\\a.exe"},
      {L"\\Device\\Mup", L""},
  };
  ProcessToolHelp toolHelp;
  for (const auto& test : cases) {
    std::wstring path = test.device;
    EXPECT_TRUE(toolHelp.DevicePathToDrivePath(path));
    EXPECT_EQ(test.drive, path) << test.device;
  }
}

}  // namespace
