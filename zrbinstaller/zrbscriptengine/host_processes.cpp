#include "zrbinstaller/zrbscriptengine/host_processes.h"

#include <windows.h>
// After windows.h, which it needs.
#include <tlhelp32.h>

#include <string>

#include "common/utility/unique_handle.h"
#include "common/utility/zrbprocesstoolhelp.h"
#include "zrbinstaller/zrbscriptengine/host_arguments.h"

namespace {

bool IsPresent(lua_State* L, int index) { return !lua_isnoneornil(L, index); }

// Ends the process named by argument 1: a process ID when it is a number or
// a numeric string, an executable name otherwise. No such process counts as
// ended.
bool EndProcessOfArgument(lua_State* L) {
  DWORD pid = 0;
  if (lua_isnumber(L, 1)) {
    pid = zrb::host::ArgUnsigned(L, 1);
  } else {
    zrb::ProcessToolHelp toolHelp;
    toolHelp.TakeSnapshot();
    pid = toolHelp.FindProcessIdByName(zrb::host::ArgText(L, 1));
    if (pid == zrb::ProcessToolHelp::kNoProcess) return true;
  }
  return zrb::KillProcess(pid);
}

}  // namespace

int Lua_TaskKill(lua_State* L) {
  if (IsPresent(L, 2)) {
    const std::wstring windowClass = zrb::host::ArgText(L, 2);
    UINT message = WM_SYSCOMMAND;
    WPARAM wParam = SC_CLOSE;
    LPARAM lParam = 0;
    if (IsPresent(L, 3)) {
      message = zrb::host::ArgUnsigned(L, 3);
      wParam = zrb::host::ArgUnsigned(L, 4);
      lParam = static_cast<LPARAM>(zrb::host::ArgUnsigned(L, 5));
    }
    // Without a window, posting would land in this thread's own queue.
    if (HWND window = ::FindWindowW(windowClass.c_str(), nullptr)) {
      ::PostMessageW(window, message, wParam, lParam);
    }
  }
  lua_pushboolean(L, EndProcessOfArgument(L));  // +1
  return 1;
}

int Lua_KillAllTaskByName(lua_State* L) {
  lua_pushboolean(L, EndProcessOfArgument(L));  // +1
  return 1;
}

int Lua_GetProcessId(lua_State* L) {
  const std::wstring name = lua_gettop(L) > 0 ? zrb::host::ArgText(L, -1) : std::wstring();
  zrb::UniqueFileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  int found = 0;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof(entry);
  for (BOOL more = snapshot && ::Process32FirstW(snapshot.Get(), &entry); more;
       more = ::Process32NextW(snapshot.Get(), &entry)) {
    if (entry.th32ProcessID == 0 || _wcsicmp(entry.szExeFile, name.c_str()) != 0) continue;
    if (!lua_checkstack(L, 1)) break;
    lua_pushunsigned(L, entry.th32ProcessID);  // +1 per process
    ++found;
  }
  if (found == 0) lua_pushnil(L);  // +1
  return found == 0 ? 1 : found;
}

int Lua_GetImagePathByPid(lua_State* L) {
  const DWORD pid = lua_gettop(L) > 0 ? static_cast<DWORD>(zrb::host::ArgInteger(L, -1)) : 0;
  zrb::ProcessToolHelp toolHelp;
  std::wstring path;
  if (!toolHelp.GetImagePathByPid(pid, path)) return 0;
  zrb::host::PushText(L, path);  // +1
  return 1;
}
