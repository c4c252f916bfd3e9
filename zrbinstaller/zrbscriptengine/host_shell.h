// Host functions of the shell module: shortcut files, program and document
// starts (with verbs and pins, hidden and waiting, or at the desktop shell's
// level) and the registration of COM servers. Each returns one boolean and
// never raises a script error; the trace carries the details of a failure.
#pragma once

#include <string>

#include "zrbinstaller/zrbscriptengine/lua_api.h"

// (target, shortcut path, [arguments, description]): a shell link, or an
// Internet shortcut when the target is a URL.
int Lua_CreateShortcut(lua_State* L);
// (target, verb, parameters, wait, shell level)
int Lua_Exec(lua_State* L);
// (program path, parameters): through the desktop shell.
int Lua_ExplorerExec(lua_State* L);
// (library path, register): calls DllRegisterServer or DllUnregisterServer.
int Lua_RegSvr32(lua_State* L);
// (library path, switches): starts the system's regsvr32 without waiting.
int Lua_RegistDll(lua_State* L);

namespace zrb::host {

// `path` without its last component ("C:\a\b.exe" gives "C:\a", "C:\b.exe"
// gives "C:\", a bare name gives empty text).
std::wstring FolderOf(const std::wstring& path);

}  // namespace zrb::host
