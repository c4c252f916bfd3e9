// Lua_RegSvr32 and Lua_RegistDll: registering COM servers in this process
// through their entry points, or through the system's registration tool.
#include <windows.h>
// The Windows headers first: the shell headers below rely on them.
#include <shlwapi.h>

#include <string>
#include <vector>

#include "common/utility/com_ptr.h"
#include "common/utility/trace.h"
#include "common/utility/unique_handle.h"
#include "zrbinstaller/zrbscriptengine/host_arguments.h"
#include "zrbinstaller/zrbscriptengine/host_shell.h"

namespace {

using RegistrationEntry = HRESULT(STDAPICALLTYPE*)();

bool CallRegistrationEntry(const std::wstring& path, bool doRegister) {
  // Declared before OLE: the library is freed only after OLE is
  // uninitialised, so nothing OLE still holds points into unmapped code.
  zrb::UniqueLibrary library;
  zrb::OleInitScope ole;
  if (!::PathFileExistsW(path.c_str())) {
    zrb::Trace(L"Fun:%s, Description:%s it's not exists!\r\n", L"Lua_RegSvr32", path.c_str());
    return false;
  }
  library.Reset(::LoadLibraryW(path.c_str()));
  if (!library) {
    zrb::Trace(L"Fun:%s, Description: LoadLibrary %s Failed!\r\n", L"Lua_RegSvr32", path.c_str());
    TraceWin32Error(L"");
    return false;
  }
  const auto entry = reinterpret_cast<RegistrationEntry>(reinterpret_cast<void*>(
      ::GetProcAddress(library.Get(), doRegister ? "DllRegisterServer" : "DllUnregisterServer")));
  return entry && SUCCEEDED(entry());
}

// The system's regsvr32, named by its full path so that a program of that
// name beside the setup or in the current folder is never started instead.
std::wstring RegistrationToolPath() {
  wchar_t folder[MAX_PATH] = {};
  const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  return std::wstring(folder) + L"\\regsvr32.exe";
}

// Starts "regsvr32 <switches> "<path>"" hidden and does not wait for it.
// The command line stays UTF-16, so any path the file system holds works.
bool StartRegistrationTool(const std::wstring& path, const std::wstring& switches) {
  zrb::OleInitScope ole;
  if (!::PathFileExistsW(path.c_str())) {
    zrb::Trace(L"Fun:%s, Description:%s it's not exists!\r\n", L"Lua_RegistDll", path.c_str());
    return false;
  }
  const std::wstring command = L"regsvr32 " + switches + L" \"" + path + L"\"";
  std::vector<wchar_t> commandLine(command.begin(), command.end());
  commandLine.push_back(L'\0');  // CreateProcessW may write to it
  const std::wstring tool = RegistrationToolPath();
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION started = {};
  if (!::CreateProcessW(tool.empty() ? nullptr : tool.c_str(), commandLine.data(), nullptr, nullptr,
                        FALSE, 0, nullptr, nullptr, &startup, &started)) {
    zrb::Trace(L"reg failed!!! %d", static_cast<int>(::GetLastError()));
    return false;
  }
  const zrb::UniqueKernelHandle process(started.hProcess);
  const zrb::UniqueKernelHandle thread(started.hThread);
  return true;
}

}  // namespace

int Lua_RegSvr32(lua_State* L) {
  const std::wstring path = zrb::host::ArgExpandedText(L, 1);
  const bool doRegister = zrb::host::ArgBoolean(L, 2);
  lua_pushboolean(L, CallRegistrationEntry(path, doRegister));  // +1
  return 1;
}

int Lua_RegistDll(lua_State* L) {
  const std::wstring path = zrb::host::ArgExpandedText(L, 1);
  const std::wstring switches = zrb::host::ArgText(L, 2);
  lua_pushboolean(L, StartRegistrationTool(path, switches));  // +1
  return 1;
}
