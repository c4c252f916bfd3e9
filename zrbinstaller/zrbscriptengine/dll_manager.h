// DllManager: a loaded library as a script object, handing out NativeFunction
// closures for its exports.
//
// An object is a 4-byte full userdata holding the module handle, with the
// metatable "DllManagerMetaTable" (its own __index, holding "UnLoad" and
// "Get"). It has no finaliser: the library stays loaded until "UnLoad" or the
// end of the process.
#pragma once

#include <windows.h>

#include "zrbinstaller/zrbscriptengine/lua_api.h"

namespace zrb::script {

// Registers "DllManagerMetaTable" and pushes the global table "DllManager",
// which holds "Load".
int OpenDllManager(lua_State* L);

// Pushes a new object holding `module`; the object takes over one reference
// of the library.
void PushDllManager(lua_State* L, HMODULE module);

}  // namespace zrb::script
