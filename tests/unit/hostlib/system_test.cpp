#include <gtest/gtest.h>

#include <future>
#include <string>
#include <vector>

#include "common/utility/scope_guard.h"
#include "tests/support/dialog_driver.h"
#include "tests/support/privileges.h"
#include "tests/unit/hostlib/host_script.h"

// Lua_ExitWindows must never reach the real ExitWindowsEx here: under Wine it
// ends the whole session. The test swaps this program's import of it for a
// recorder, so what it checks is the privilege and the arguments passed on.
extern "C" void* exitWindowsImport __asm__("__imp__ExitWindowsEx@8");

namespace {

using zrb::test::Engine;
using zrb::test::LuaString;
using zrb::test::PrivilegeEnabled;
using zrb::test::RunInRunner;
using zrb::test::SetPrivilege;

std::wstring OwnPath() {
  wchar_t path[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  return path;
}

TEST(SystemQueries, VersionAndWow64) {
  // Wine's prefix reports Windows 7 (6.1); without a compatibility manifest
  // later Windows versions report 6 as well. The install script needs > 5.
  EXPECT_LUA("assert(Lua_GetOSVersion() == 6, Lua_GetOSVersion())");
  // The test prefix is a 32-bit Wine prefix: no SysWOW64 folder, no WOW64.
  const bool wow64Windows =
      ::GetFileAttributesW(L"C:\\windows\\syswow64") != INVALID_FILE_ATTRIBUTES;
  EXPECT_LUA(std::string("assert(Lua_IsWow64() == ") + (wow64Windows ? "true" : "false") + ")");
}

TEST(SystemQueries, ModuleFileNames) {
  Engine()->SetGlobalString("own_path", OwnPath());
  EXPECT_LUA("assert(Lua_GetModuleFileName() == own_path)");
  // A library that is not loaded counts as no module: the program's path.
  EXPECT_LUA("assert(Lua_GetModuleFileName('zrb_not_loaded.dll') == own_path)");
  EXPECT_LUA("assert(Lua_GetModuleFileName(nil) == own_path)");
  EXPECT_LUA(
      "local p = Lua_GetModuleFileName('KERNEL32.dll'):lower()"
      "assert(p == 'c:\\\\windows\\\\system32\\\\kernel32.dll', p)");
}

TEST(SystemQueries, ProgramFilesOnAnotherFixedDrive) {
  // Wine's drive list here: C: (the prefix's drive_c) and Z: (the Unix root),
  // both fixed. %ProgramFiles% is pointed at folders that exist on one of
  // them only, to see which drives are tried.
  const DWORD drives = ::GetLogicalDrives();
  std::wstring fixed;
  for (wchar_t letter = L'A'; letter <= L'Z'; ++letter) {
    const wchar_t root[] = {letter, L':', L'\\', 0};
    if ((drives & (1u << (letter - L'A'))) && ::GetDriveTypeW(root) == DRIVE_FIXED) {
      fixed += letter;
    }
  }
  ASSERT_EQ(L"CZ", fixed);
  ASSERT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(L"Z:\\Program Files"));
  EXPECT_LUA("assert(Lua_GetDriverInstallPath() == 'C:\\\\Program Files\\\\')");

  // Only on Z: (Z:\tmp is the Unix /tmp).
  const std::wstring zFolder = L"Z:\\tmp\\zrbpf_" + std::to_wstring(::GetCurrentProcessId());
  const std::wstring onZ = zFolder.substr(2) + L"\\Program Files";
  // Only on C:, the first fixed drive, which is never tried.
  const std::wstring cFolder = zrb::test::TempPath(L"zrbpf");
  const std::wstring onC = cFolder.substr(2);
  const auto cleanUp = zrb::MakeScopeGuard([&] {
    ::RemoveDirectoryW((L"Z:" + onZ).c_str());
    ::RemoveDirectoryW(zFolder.c_str());
    ::RemoveDirectoryW(cFolder.c_str());
  });
  ::CreateDirectoryW(zFolder.c_str(), nullptr);
  ASSERT_TRUE(::CreateDirectoryW((L"Z:" + onZ).c_str(), nullptr));
  ASSERT_TRUE(::CreateDirectoryW(cFolder.c_str(), nullptr));

  const struct {
    std::wstring programFiles;
    std::wstring expected;
  } cases[] = {
      {L"C:" + onZ, L"Z:" + onZ + L"\\"},
      {L"Z:" + onC, L"Z:" + onC + L"\\"},
      {L"C:\\zrb_nowhere", L"C:\\zrb_nowhere\\"},
  };
  for (const auto& test : cases) {
    zrb::test::ScopedEnvironment environment;
    environment.Set(L"ProgramFiles", test.programFiles);
    EXPECT_LUA("assert(Lua_GetDriverInstallPath() == " + LuaString(test.expected) +
               ", Lua_GetDriverInstallPath())");
  }
}

// The identifiers of the standard buttons (IDOK 1 to IDNO 7) that a box
// shows, as digits: "1" for an OK box, "67" for Yes and No.
std::string ButtonsOfBox(const std::wstring& caption, DWORD timeoutMs) {
  const DWORD start = ::GetTickCount();
  while (::GetTickCount() - start < timeoutMs) {
    // The box shows itself once it has hidden the buttons it does not use.
    HWND box = ::FindWindowW(L"#32770", caption.c_str());
    if (box && ::IsWindowVisible(box)) {
      std::string buttons;
      for (int id = IDOK; id <= IDNO; ++id) {
        HWND button = ::GetDlgItem(box, id);
        if (button && ::IsWindowVisible(button)) buttons += static_cast<char>('0' + id);
      }
      return buttons;
    }
    ::Sleep(50);
  }
  return "no box";
}

TEST(MsgBox, ReturnsThePressedButton) {
  const struct {
    std::string arguments;
    std::wstring caption;
    std::wstring text;
    std::string buttons;
    int press;
  } cases[] = {
      {"'第一个问题', 'ZrbMsgBox OK'", L"ZrbMsgBox OK", L"第一个问题", "1", IDOK},
      {"'Go on?', 'ZrbMsgBox YesNo', 4", L"ZrbMsgBox YesNo", L"Go on?", "67", IDNO},
      {"'Retry?', 'ZrbMsgBox Retry', '5'", L"ZrbMsgBox Retry", L"Retry?", "24", IDRETRY},
      // One argument: no caption.
      {"'Only text'", L"", L"Only text", "1", IDOK},
      // More than three arguments: no text, no caption, an OK box.
      {"'a', 'ZrbMsgBox Four', 4, 'x'", L"", L"", "1", IDOK},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.arguments);
    auto answer = std::async(std::launch::async, [&test] {
      const std::string buttons = ButtonsOfBox(test.caption, 20000);
      auto seen = zrb::test::AnswerDialog(test.caption, test.press, 20000);
      // A box under another caption would keep the script waiting for ever.
      if (HWND box = seen ? nullptr : ::FindWindowW(L"#32770", nullptr)) {
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
      }
      return std::make_pair(buttons, seen);
    });
    EXPECT_LUA("msgbox_result = Lua_MsgBox(" + test.arguments + ")");
    const auto [buttons, seen] = answer.get();
    EXPECT_EQ(test.buttons, buttons);
    ASSERT_TRUE(seen);
    EXPECT_EQ(test.text, seen->text);
    EXPECT_EQ(test.press, Engine()->GetGlobalInteger("msgbox_result"));
  }
}

TEST(Privileges, EnablePrivilegeReadsTheLastTwoArguments) {
  ASSERT_TRUE(SetPrivilege(L"SeShutdownPrivilege", false));
  EXPECT_LUA("assert(Lua_EnablePrivilege('SeShutdownPrivilege', true) == true)");
  EXPECT_TRUE(PrivilegeEnabled(L"SeShutdownPrivilege"));
  EXPECT_LUA("assert(Lua_EnablePrivilege('x', 'SeShutdownPrivilege', false) == true)");
  EXPECT_FALSE(PrivilegeEnabled(L"SeShutdownPrivilege"));
  // One argument is no name.
  EXPECT_LUA("assert(Lua_EnablePrivilege('SeShutdownPrivilege') == false)");
  EXPECT_LUA("assert(Lua_EnablePrivilege() == false)");
  EXPECT_FALSE(PrivilegeEnabled(L"SeShutdownPrivilege"));
}

struct ExitWindowsCall {
  int count = 0;
  UINT flags = 0;
  DWORD reason = 0;
  bool privilegeEnabled = false;
  BOOL result = FALSE;
} recorded;

BOOL WINAPI RecordExitWindows(UINT flags, DWORD reason) {
  ++recorded.count;
  recorded.flags = flags;
  recorded.reason = reason;
  recorded.privilegeEnabled = PrivilegeEnabled(L"SeShutdownPrivilege");
  if (!recorded.result) ::SetLastError(ERROR_ACCESS_DENIED);
  return recorded.result;
}

class ImportSwap {
 public:
  ImportSwap(void** slot, void* replacement) : slot_(slot) {
    DWORD oldProtection = 0;
    if (::VirtualProtect(slot_, sizeof(void*), PAGE_READWRITE, &oldProtection)) {
      original_ = *slot_;
      *slot_ = replacement;
      protection_ = oldProtection;
    }
  }
  ~ImportSwap() {
    if (!original_) return;
    *slot_ = original_;
    DWORD ignored = 0;
    ::VirtualProtect(slot_, sizeof(void*), protection_, &ignored);
  }

 private:
  void** slot_;
  void* original_ = nullptr;
  DWORD protection_ = 0;
};

TEST(Privileges, ExitWindowsEnablesTheShutdownPrivilegeAndPassesItsArguments) {
  const ImportSwap swap(&exitWindowsImport, reinterpret_cast<void*>(&RecordExitWindows));
  // Calls through the import now reach the recorder, or the test stops here.
  // (Read through volatile: the compiler takes two functions' addresses for
  // different without looking.)
  void* const imported = *static_cast<void* volatile*>(&exitWindowsImport);
  ASSERT_EQ(reinterpret_cast<void*>(&RecordExitWindows), imported);

  ASSERT_TRUE(SetPrivilege(L"SeShutdownPrivilege", false));
  recorded.result = TRUE;
  EXPECT_LUA("assert(Lua_ExitWindows(6, 4294967295) == true)");  // EWX_REBOOT | EWX_FORCE
  EXPECT_EQ(1, recorded.count);
  EXPECT_EQ(6u, recorded.flags);
  EXPECT_EQ(0xFFFFFFFFu, recorded.reason);
  EXPECT_TRUE(recorded.privilegeEnabled);

  recorded.result = FALSE;
  EXPECT_LUA("assert(Lua_ExitWindows() == false)");
  EXPECT_EQ(2, recorded.count);
  EXPECT_EQ(0u, recorded.flags);
  EXPECT_EQ(0u, recorded.reason);
}

TEST(ScriptRunner, CommandLineTraceAndPrivilegeErrors) {
  ASSERT_EQ(936u, ::GetACP()) << "run the tests with LC_ALL=zh_CN.UTF-8";
  // The runner's own command line: its path, the script, and two arguments.
  const zrb::test::TracedResult run = RunInRunner(
      "local argv = Lua_GetCommandLineArgv()\n"
      "Lua_Logout(#argv .. '|' .. argv[3] .. '|' .. argv[4])\n"
      "Lua_Logout('再见\\r\\n')\n"
      "Lua_Logout()\n"
      "return Lua_EnablePrivilege('SeNoSuchPrivilege', true) and 1 or 2\n",
      L"\"two words\" 中文");
  ASSERT_EQ(2u, run.exitCode) << run.Joined();
  const std::wstring file = L"zrbsetup/common/utility/zrbprocesstoolhelp.cpp";
  ASSERT_EQ(6u, run.lines.size()) << run.Joined();
  EXPECT_EQ(L"vq 4|two words|中文", run.lines[0]);
  EXPECT_EQ(L"vq 再见", run.lines[1]);
  EXPECT_EQ(L"vq ", run.lines[2]);
  EXPECT_EQ(L"vq LookupPrivilegeValue failed!vq file:" + file, run.lines[3]);
  EXPECT_EQ(0u, run.lines[4].rfind(L"vq LookupPrivilegeValue failed!vq line:", 0));
  EXPECT_EQ(0u, run.lines[5].rfind(L"vq LookupPrivilegeValue failed!vq err:", 0));
}

}  // namespace
