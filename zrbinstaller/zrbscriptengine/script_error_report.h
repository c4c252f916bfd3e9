// The message handler of every protected call into a script: shows the error
// with a call stack in a box and ends the process with exit code 0.
#pragma once

#include <string>

struct lua_State;

int ScriptErrorReport(lua_State* L);

// The box's text for the error value on top of the stack, with the call
// stack seen from the calling native function (level 0). For message
// handlers only; leaves the stack unchanged.
std::wstring BuildScriptErrorText(lua_State* L);

extern const wchar_t kScriptErrorCaption[];
