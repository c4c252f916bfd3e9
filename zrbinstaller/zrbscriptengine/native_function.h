// NativeFunction: a script-callable closure around an exported function.
//
// Upvalues, in order: 1 the result type ("int", "uint", "bool", "astr",
// "wstr", "ptr"; anything else gives nil), 2 the calling-convention flag
// (true: the caller removes the arguments; the call is balanced either way),
// 3 the function's address as a light userdata.
//
// A call turns each argument into one 32-bit word (nil 0, booleans 1 or 0,
// numbers as integers, strings and userdata as the address of their bytes),
// calls the function and returns the converted result and the thread's last
// error code right after the call. A table, function or thread argument
// raises the script error "unknow argument type" before anything is called.
#pragma once

#include "zrbinstaller/zrbscriptengine/lua_api.h"

namespace zrb::script {

// With the result type and the flag pushed (in that order), replaces them
// with a NativeFunction calling `address`.
void PushNativeFunction(lua_State* L, void* address);

}  // namespace zrb::script
