// Lua_Exec and Lua_ExplorerExec: starting programs, documents and URLs.
#include <windows.h>
// The Windows headers first: the shell headers below rely on them.
#include <shellapi.h>
#include <shlwapi.h>

#include <string>

#include "common/utility/trace.h"
#include "common/utility/unique_handle.h"
#include "zrbinstaller/explorer_level_launcher.h"
#include "zrbinstaller/zrbscriptengine/host_arguments.h"
#include "zrbinstaller/zrbscriptengine/host_shell.h"

namespace {

// The shell's pin verbs; it may refuse them, and that is no failure here.
bool IsPinVerb(const std::wstring& verb) {
  for (const wchar_t* pin : {L"Startpin", L"Startunpin", L"Taskbarpin", L"Taskbarunpin"}) {
    if (_wcsicmp(verb.c_str(), pin) == 0) return true;
  }
  return false;
}

// A missing program is already unpinned.
bool IsUnpinVerb(const std::wstring& verb) {
  return _wcsicmp(verb.c_str(), L"Startunpin") == 0 || _wcsicmp(verb.c_str(), L"Taskbarunpin") == 0;
}

// Empty text means "none" to the shell.
const wchar_t* OrNull(const std::wstring& text) { return text.empty() ? nullptr : text.c_str(); }

struct StartRequest {
  std::wstring target;
  std::wstring verb;
  std::wstring parameters;
  std::wstring folder;
};

// explorer.exe reports its own start only; above 31 is success, anything
// else an error value.
bool StartAtShellLevel(const std::wstring& program, const std::wstring& parameters) {
  return ProcessLauncherExplorerLevel(program, parameters) > 31;
}

// Starts with the default verb, hidden, and waits for the process if the
// shell hands one back (a document given to a running program has none).
bool StartHiddenAndWait(const StartRequest& request) {
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOCLOSEPROCESS;
  info.lpFile = request.target.c_str();
  info.lpParameters = OrNull(request.parameters);
  info.lpDirectory = OrNull(request.folder);
  info.nShow = SW_HIDE;
  const bool started = ::ShellExecuteExW(&info) != FALSE;
  const zrb::UniqueKernelHandle process(info.hProcess);
  if (process) ::WaitForSingleObject(process.Get(), INFINITE);
  return started;
}

bool StartWithVerb(const StartRequest& request) {
  const auto result = reinterpret_cast<INT_PTR>(
      ::ShellExecuteW(nullptr, OrNull(request.verb), request.target.c_str(),
                      OrNull(request.parameters), OrNull(request.folder), SW_SHOWNORMAL));
  return IsPinVerb(request.verb) || result > 32;
}

}  // namespace

int Lua_Exec(lua_State* L) {
  using namespace zrb::host;
  StartRequest request;
  request.target = ArgText(L, 1);
  request.verb = ArgText(L, 2);
  const bool wait = ArgBoolean(L, 4);
  const bool shellLevel = ArgBoolean(L, 5);
  // A URL goes to the shell as it is; a file must exist and starts in its
  // own folder.
  if (!::PathIsURLW(request.target.c_str())) {
    request.target = ExpandEnvironment(request.target);
    if (!::PathFileExistsW(request.target.c_str())) {
      if (IsUnpinVerb(request.verb)) {
        lua_pushboolean(L, 1);  // +1
        return 1;
      }
      zrb::Trace(L"Fun:%s, Description:%s it's not exists!\r\n", L"Lua_Exec",
                 request.target.c_str());
      lua_pushboolean(L, 0);  // +1
      return 1;
    }
    request.parameters = ArgText(L, 3);
    request.folder = FolderOf(request.target);
  }

  bool started;
  if (shellLevel) {
    started = StartAtShellLevel(request.target, request.parameters);
  } else if (wait) {
    started = StartHiddenAndWait(request);
  } else {
    started = StartWithVerb(request);
  }
  lua_pushboolean(L, started);  // +1
  return 1;
}

int Lua_ExplorerExec(lua_State* L) {
  using zrb::host::ArgText;
  const std::wstring program = ArgText(L, 1);
  const std::wstring parameters = ArgText(L, 2);
  lua_pushboolean(L, StartAtShellLevel(program, parameters));  // +1
  return 1;
}
