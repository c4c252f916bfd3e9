#include "zrbinstaller/zrbscriptengine/host_files.h"

#include <windows.h>
// The shell headers build on windows.h.
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <string>

#include "common/utility/trace.h"
#include "zrbinstaller/zrbscriptengine/host_arguments.h"
#include "zrbinstaller/zrbscriptengine/zrbscriptengine.h"

namespace {

using zrb::host::ArgExpandedText;
using zrb::host::ArgInteger;
using zrb::host::ArgText;
using zrb::host::kMaxPathUnits;
using zrb::host::PushText;

// What the shell reports for a path it cannot use (DE_INVALIDFILES).
constexpr int kShellInvalidPath = 0x7C;

bool Exists(const std::wstring& path) { return ::PathFileExistsW(path.c_str()) != FALSE; }

void TraceMissing(const wchar_t* function, const std::wstring& path) {
  zrb::Trace(L"Fun:%s, Description:%s it's not exists!\r\n", function, path.c_str());
}

// One shell file operation on one source (and destination) path; returns the
// shell's result, 0 for success.
int ShellFileOperation(UINT operation, const std::wstring& source, const std::wstring* destination,
                       FILEOP_FLAGS flags) {
  // Path lists end with an extra zero: the string's own plus this one.
  const std::wstring from = source + L'\0';
  const std::wstring to = destination ? *destination + L'\0' : std::wstring();
  SHFILEOPSTRUCTW request = {};
  request.hwnd = nullptr;
  request.wFunc = operation;
  request.pFrom = from.c_str();
  request.pTo = destination ? to.c_str() : nullptr;
  request.fFlags = flags;
  return ::SHFileOperationW(&request);
}

struct Transfer {
  const wchar_t* function;
  const wchar_t* verb;
  UINT operation;
  FILEOP_FLAGS flags;
};

constexpr Transfer kCopy = {L"Lua_CopyFile", L"Copy", FO_COPY,
                            FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR};
// Without FOF_SILENT: a long move may show the shell's progress.
constexpr Transfer kMove = {L"Lua_MoveFile", L"Move", FO_MOVE,
                            FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR};

bool RunTransfer(const Transfer& transfer, const std::wstring& source,
                 const std::wstring& destination) {
  if (!Exists(source)) {
    TraceMissing(transfer.function, source);
    return false;
  }
  // The shell reads an empty destination as the current directory; an empty
  // destination (or one too long to expand) is refused instead.
  const int result = destination.empty() ? kShellInvalidPath
                                         : ShellFileOperation(transfer.operation, source,
                                                              &destination, transfer.flags);
  if (result != 0) {
    zrb::Trace(L"%s %s to %s failed!", transfer.verb, source.c_str(), destination.c_str());
    zrb::Trace(L"SHFileOperation error code : %#x\r\n", result);
    return false;
  }
  zrb::Trace(L"%s %s to %s !", transfer.verb, source.c_str(), destination.c_str());
  return true;
}

int PushTransfer(lua_State* L, const Transfer& transfer) {
  const std::wstring source = ArgExpandedText(L, 1);
  const std::wstring destination = ArgExpandedText(L, 2);
  lua_pushboolean(L, RunTransfer(transfer, source, destination));  // +1
  return 1;
}

bool CreateFolder(const std::wstring& path) {
  if (Exists(path)) return true;
  ::SHCreateDirectory(nullptr, path.c_str());
  if (Exists(path)) {
    zrb::Trace(L"Create Directory %s!\r\n", path.c_str());
    return true;
  }
  TraceMissing(L"Lua_CreateDirectory", path);
  return false;
}

bool RenamePath(const std::wstring& source, const std::wstring& destination) {
  if (!Exists(source)) {
    TraceMissing(L"Lua_RenameFile", source);
    return false;
  }
  if (!::MoveFileExW(source.c_str(), destination.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    zrb::Trace(L"MoveFile %s to %s failed!", source.c_str(), destination.c_str());
    return false;
  }
  zrb::Trace(L"MoveFile %s to %s !", source.c_str(), destination.c_str());
  return true;
}

// The question shown when a delete fails, around the path.
constexpr wchar_t kInUseBefore[] = L"无法删除\"";
constexpr wchar_t kInUseAfter[] =
    L"\"，可能是被占用，请关闭占用程序后点击重试或者点击忽略在卸载完成之后手动删除！";

// Deletes a file or tree through the shell. When that fails the user
// chooses: Abort ends the process, Retry starts over, Ignore gives true.
bool DeleteAskingTheUser(const std::wstring& path) {
  for (;;) {
    if (!Exists(path)) return true;
    const int result =
        ShellFileOperation(FO_DELETE, path, nullptr, FOF_SILENT | FOF_NOCONFIRMATION);
    if (result == 0) return true;
    const std::wstring question = kInUseBefore + path + kInUseAfter;
    const int answer =
        ::MessageBoxW(nullptr, question.c_str(), L"提示", MB_ICONQUESTION | MB_ABORTRETRYIGNORE);
    if (answer == IDABORT) ::ExitProcess(0);
    if (answer == IDRETRY) continue;
    zrb::Trace(L"Delete %s failed!\r\n", path.c_str());
    zrb::Trace(L"SHFileOperation error code : %#x\r\n", result);
    // Any other answer means the box could not be shown.
    return answer == IDIGNORE;
  }
}

}  // namespace

int Lua_CreateDirectory(lua_State* L) {
  const std::wstring path = ArgExpandedText(L, 1);
  lua_pushboolean(L, CreateFolder(path));  // +1
  return 1;
}

int Lua_CopyFile(lua_State* L) { return PushTransfer(L, kCopy); }

int Lua_MoveFile(lua_State* L) { return PushTransfer(L, kMove); }

int Lua_RenameFile(lua_State* L) {
  const std::wstring source = ArgExpandedText(L, 1);
  const std::wstring destination = ArgExpandedText(L, 2);
  lua_pushboolean(L, RenamePath(source, destination));  // +1
  return 1;
}

int Lua_DeleteFile(lua_State* L) {
  const std::wstring path = ArgExpandedText(L, 1);
  lua_pushboolean(L, DeleteAskingTheUser(path));  // +1
  return 1;
}

int Lua_DelFileRecursive(lua_State* L) {
  zrb::Trace(L"Lua_DelFileRecursive");
  const std::wstring path = ArgExpandedText(L, 1);
  if (!Exists(path)) {
    lua_pushboolean(L, 1);  // +1
    return 1;
  }
  if (::PathIsDirectoryW(path.c_str())) {
    zrb::Trace(L"PathIsDirectoryW");
    ZRBScriptEngine::DeleteDirectories(path);
  } else {
    zrb::Trace(L"Path is file!");
    ::DeleteFileW(path.c_str());
  }
  return 0;  // the script sees nil, whatever happened
}

int Lua_DeleteFileAfterReboot(lua_State* L) {
  zrb::Trace(L"Lua_DeleteFileAfterReboot");
  const std::wstring path = ArgExpandedText(L, 1);
  const bool registered =
      !Exists(path) || ::MoveFileExW(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  lua_pushboolean(L, registered);  // +1
  return 1;
}

int Lua_GetTempFileName(lua_State* L) {
  const std::wstring folder = ArgExpandedText(L, 1);
  const std::wstring prefix = ArgText(L, 2);
  wchar_t path[kMaxPathUnits] = {};
  if (::GetTempFileNameW(folder.c_str(), prefix.c_str(), 0, path) == 0) {
    lua_pushnil(L);  // +1
    return 1;
  }
  PushText(L, path);  // +1
  return 1;
}

int Lua_ExpandEnv(lua_State* L) {
  PushText(L, ArgExpandedText(L, -1));  // +1
  return 1;
}

int Lua_RegVarByCSIDL(lua_State* L) {
  const std::wstring name = ArgText(L, 1);
  const int csidl = ArgInteger(L, 2);
  wchar_t folder[kMaxPathUnits] = {};
  if (!::SHGetSpecialFolderPathW(nullptr, folder, csidl, FALSE)) {
    zrb::Trace(L"SHGetSpecialFolderPathW csidl=%d failed!\r\n", csidl);
    TraceWin32Error(L"");
    lua_pushboolean(L, 0);  // +1
    return 1;
  }
  const bool set = ::SetEnvironmentVariableW(name.c_str(), folder) != FALSE;
  if (!set) TraceWin32Error(L"SetEnvironmentVariableW failed!");
  lua_pushboolean(L, set);  // +1
  return 1;
}
