// Lua_CreateShortcut: shell links and Internet shortcuts.
#include <windows.h>
// The Windows headers first: the shell headers below rely on them.
#include <intshcut.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <optional>
#include <string>

#include "common/utility/com_ptr.h"
#include "common/utility/trace.h"
#include "zrbinstaller/zrbscriptengine/host_arguments.h"
#include "zrbinstaller/zrbscriptengine/host_shell.h"

namespace {

using zrb::ComPtr;

// In-process server or handler, local or remote server.
constexpr DWORD kAnyServer =
    CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;

struct LinkFields {
  std::wstring target;  // expanded
  // Set only by a call with four arguments, each when it is not nil.
  std::optional<std::wstring> arguments;
  std::optional<std::wstring> description;
};

// The object's IPersistFile, through which it is saved; null (traced) when
// it has none.
template <typename Interface>
ComPtr<IPersistFile> PersistFileOf(const ComPtr<Interface>& object) {
  ComPtr<IPersistFile> file;
  if (FAILED(object.As(IID_IPersistFile, &file))) {
    TraceWin32Error(L"QueryInterface IID_IPersistFile failed!");
    return {};
  }
  return file;
}

// An Internet shortcut to `url`, ready to save; null (traced) on failure.
ComPtr<IPersistFile> MakeInternetShortcut(const std::wstring& url) {
  ComPtr<IUniformResourceLocatorW> locator;
  if (FAILED(::CoCreateInstance(CLSID_InternetShortcut, nullptr, kAnyServer,
                                IID_IUniformResourceLocatorW, locator.ReceiveVoid()))) {
    TraceWin32Error(L"CoCreateInstance(CLSID_InternetShortcut) failed!");
    return {};
  }
  if (FAILED(locator->SetURL(url.c_str(), 0))) {
    zrb::Trace(L"SetURL %s failed!\r\n", url.c_str());
    TraceWin32Error(L"");
    return {};
  }
  return PersistFileOf(locator);
}

// A shell link to `fields.target` that starts in the target's folder, ready
// to save; null (traced) on failure.
ComPtr<IPersistFile> MakeShellLink(const LinkFields& fields) {
  ComPtr<IShellLinkW> link;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, kAnyServer, IID_IShellLinkW,
                                link.ReceiveVoid()))) {
    TraceWin32Error(L"CoCreateInstance(CLSID_ShellLink) failed!");
    return {};
  }
  if (fields.arguments && FAILED(link->SetArguments(fields.arguments->c_str()))) {
    zrb::Trace(L"SetArguments %s failed!\r\n", fields.arguments->c_str());
    TraceWin32Error(L"");
    return {};
  }
  if (fields.description && FAILED(link->SetDescription(fields.description->c_str()))) {
    zrb::Trace(L"SetDescription %s failed!\r\n", fields.description->c_str());
    TraceWin32Error(L"");
    return {};
  }
  if (FAILED(link->SetPath(fields.target.c_str()))) {
    zrb::Trace(L"SetPath %s failed!\r\n", fields.target.c_str());
    TraceWin32Error(L"");
    return {};
  }
  const std::wstring folder = zrb::host::FolderOf(fields.target);
  if (FAILED(link->SetWorkingDirectory(folder.c_str()))) {
    zrb::Trace(L"SetWorkingDirectory %s failed!\r\n", folder.c_str());
    TraceWin32Error(L"");
    return {};
  }
  return PersistFileOf(link);
}

// A folder that cannot be created shows up as a failed save.
void EnsureFolderOf(const std::wstring& path) {
  const std::wstring folder = zrb::host::FolderOf(path);
  if (!folder.empty() && !::PathFileExistsW(folder.c_str())) {
    ::SHCreateDirectory(nullptr, folder.c_str());
  }
}

bool CreateShortcut(const std::wstring& target, const LinkFields& fields,
                    const std::wstring& shortcutPath) {
  zrb::ComInitScope com;  // outlives every object below
  EnsureFolderOf(shortcutPath);
  const ComPtr<IPersistFile> file =
      ::PathIsURLW(target.c_str()) ? MakeInternetShortcut(target) : MakeShellLink(fields);
  if (!file) return false;
  if (FAILED(file->Save(shortcutPath.c_str(), TRUE))) {
    zrb::Trace(L"Save %s failed!\r\n", shortcutPath.c_str());
    TraceWin32Error(L"");
    return false;
  }
  zrb::Trace(L"Save Shortcut %s \r\n", shortcutPath.c_str());
  return true;
}

}  // namespace

namespace zrb::host {

std::wstring FolderOf(const std::wstring& path) {
  std::wstring folder = path;
  ::PathRemoveFileSpecW(folder.data());  // only shortens, in place
  folder.resize(wcslen(folder.c_str()));
  return folder;
}

}  // namespace zrb::host

int Lua_CreateShortcut(lua_State* L) {
  using namespace zrb::host;
  const std::wstring target = ArgText(L, 1);
  const std::wstring shortcutPath = ArgExpandedText(L, 2);
  LinkFields fields;
  fields.target = ExpandEnvironment(target);
  // Arguments and description count only in a call with all four
  // arguments; a nil among them leaves that field unset.
  if (lua_gettop(L) >= 4) {
    if (!lua_isnil(L, 3)) fields.arguments = ArgText(L, 3);
    if (!lua_isnil(L, 4)) fields.description = ArgText(L, 4);
  }
  lua_pushboolean(L, CreateShortcut(target, fields, shortcutPath));  // +1
  return 1;
}
