// The Lua 5.2 C API. Lua is compiled as C++ here (so script errors unwind
// C++ destructors), which gives its functions C++ linkage: include this
// header, never lua.hpp, whose extern "C" block would not match.
#pragma once

#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>
