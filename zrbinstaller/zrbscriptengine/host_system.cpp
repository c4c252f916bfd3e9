#include "zrbinstaller/zrbscriptengine/host_system.h"

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <string>
#include <vector>

#include "common/utility/trace.h"
#include "common/utility/unique_handle.h"
#include "common/utility/zrbprocesstoolhelp.h"
#include "zrbinstaller/zrbscriptengine/host_arguments.h"

using zrb::host::kMaxPathUnits;

int Lua_GetOSVersion(lua_State* L) {
  // Without a compatibility manifest Windows 8.1 and later report 6 here.
  lua_pushinteger(L, LOBYTE(LOWORD(::GetVersion())));  // +1
  return 1;
}

int Lua_IsWow64(lua_State* L) {
  using IsWow64ProcessFunction = BOOL(WINAPI*)(HANDLE, PBOOL);
  // Looked up at run time: older systems lack the function.
  const FARPROC address = ::GetProcAddress(::GetModuleHandleW(L"kernel32"), "IsWow64Process");
  const auto isWow64Process =
      reinterpret_cast<IsWow64ProcessFunction>(reinterpret_cast<void*>(address));
  BOOL wow64 = FALSE;
  if (isWow64Process) isWow64Process(::GetCurrentProcess(), &wow64);
  lua_pushboolean(L, wow64);  // +1
  return 1;
}

int Lua_Logout(lua_State* L) {
  const std::wstring text = zrb::host::ArgText(L, 1);
  zrb::Trace(L"%s", text.c_str());
  return 0;
}

int Lua_MsgBox(lua_State* L) {
  const int count = lua_gettop(L);
  const bool valid = count >= 1 && count <= 3;
  const std::wstring text = valid ? zrb::host::ArgText(L, 1) : std::wstring();
  const std::wstring caption = valid && count >= 2 ? zrb::host::ArgText(L, 2) : std::wstring();
  const UINT type = valid && count == 3 ? zrb::host::ArgUnsigned(L, 3) : 0;
  lua_pushinteger(L, ::MessageBoxW(nullptr, text.c_str(), caption.c_str(), type));  // +1
  return 1;
}

int Lua_ExitWindows(lua_State* L) {
  const UINT flags = zrb::host::ArgUnsigned(L, 1);
  const DWORD reason = zrb::host::ArgUnsigned(L, 2);
  zrb::EnablePrivilege(L"SeShutdownPrivilege", true);
  lua_pushboolean(L, ::ExitWindowsEx(flags, reason));  // +1
  return 1;
}

int Lua_EnablePrivilege(lua_State* L) {
  // The last two arguments; missing ones read as no name and false.
  const int top = lua_gettop(L);
  const std::wstring name = top >= 2 ? zrb::host::ArgText(L, top - 1) : std::wstring();
  const bool enable = top >= 1 && zrb::host::ArgBoolean(L, top);
  lua_pushboolean(L, zrb::EnablePrivilege(name, enable));  // +1
  return 1;
}

int Lua_GetModuleFileName(lua_State* L) {
  HMODULE module = nullptr;
  if (lua_gettop(L) >= 1) {
    const std::wstring name = zrb::host::ArgText(L, 1);
    module = ::GetModuleHandleW(name.c_str());  // not loaded: null, the program
  }
  wchar_t path[kMaxPathUnits] = {};
  ::GetModuleFileNameW(module, path, static_cast<DWORD>(kMaxPathUnits));
  zrb::host::PushText(L, path);  // +1
  return 1;
}

int Lua_GetCommandLineArgv(lua_State* L) {
  int count = 0;
  wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  const zrb::UniqueLocalMemory argvMemory(reinterpret_cast<HLOCAL>(argv));
  if (!argv || count < 1) return 0;
  lua_createtable(L, count, 0);  // +1
  for (int i = 0; i < count; ++i) {
    zrb::host::PushText(L, argv[i]);  // +1
    lua_rawseti(L, -2, i + 1);        // -1
  }
  return 1;
}

int Lua_GetDriverInstallPath(lua_State* L) {
  const std::wstring defaultPath = zrb::host::ExpandEnvironment(L"%ProgramFiles%\\");
  std::vector<wchar_t> fixedDrives;
  const DWORD drives = ::GetLogicalDrives();
  for (wchar_t letter = L'A'; letter <= L'Z'; ++letter) {
    if (!(drives & (1u << (letter - L'A')))) continue;
    const wchar_t root[] = {letter, L':', L'\\', L'\0'};
    if (::GetDriveTypeW(root) == DRIVE_FIXED) fixedDrives.push_back(letter);
  }
  std::wstring result = defaultPath;
  // Every fixed drive but the first in letter order may hold the folder.
  if (defaultPath.size() >= 2) {
    for (size_t i = 1; i < fixedDrives.size(); ++i) {
      std::wstring candidate = defaultPath;
      candidate[0] = fixedDrives[i];
      candidate[1] = L':';
      if (::GetFileAttributesW(candidate.c_str()) != INVALID_FILE_ATTRIBUTES) {
        result = std::move(candidate);
        break;
      }
    }
  }
  zrb::host::PushText(L, result);  // +1
  return 1;
}
