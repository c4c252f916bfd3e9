// Host functions that find processes and end them.
#pragma once

#include "zrbinstaller/zrbscriptengine/lua_api.h"

// (process ID or executable name [, window class [, message, wParam,
// lParam]]) -> boolean: posts the message (WM_SYSCOMMAND/SC_CLOSE by default)
// to the first window of the class, then ends the process.
int Lua_TaskKill(lua_State* L);
// (process ID or executable name) -> boolean: ends the first such process.
int Lua_KillAllTaskByName(lua_State* L);
// (..., executable name) -> every matching process ID, or a single nil.
int Lua_GetProcessId(lua_State* L);
// (..., process ID) -> drive-letter image path, or nothing.
int Lua_GetImagePathByPid(lua_State* L);
