// Host functions that ask about or act on the system as a whole: version,
// 32-on-64, message boxes, the script's own trace lines, shutdown,
// privileges, the program's path and command line, a Program Files folder.
#pragma once

#include "zrbinstaller/zrbscriptengine/lua_api.h"

// () -> the major Windows version as the system reports it to the program.
int Lua_GetOSVersion(lua_State* L);
// () -> whether this 32-bit process runs on 64-bit Windows.
int Lua_IsWow64(lua_State* L);
// (text): traces the text as one line; it does not log anybody off.
int Lua_Logout(lua_State* L);
// ([text [, caption [, type]]]) -> the pressed button's identifier.
int Lua_MsgBox(lua_State* L);
// (flags, reason) -> boolean: ExitWindowsEx with the shutdown privilege.
int Lua_ExitWindows(lua_State* L);
// (..., privilege name, enable) -> boolean.
int Lua_EnablePrivilege(lua_State* L);
// ([module name]) -> path of that loaded module, else of the program.
int Lua_GetModuleFileName(lua_State* L);
// () -> table of the command-line arguments (1 is the program), or nothing.
int Lua_GetCommandLineArgv(lua_State* L);
// () -> "%ProgramFiles%\" moved to the first further fixed drive where it
// exists, else as it is.
int Lua_GetDriverInstallPath(lua_State* L);
