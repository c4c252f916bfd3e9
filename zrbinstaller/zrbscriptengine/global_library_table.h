// GLibTab: a global table that loads a library the first time a script
// names it and keeps its DllManager object under that name.
#pragma once

#include "zrbinstaller/zrbscriptengine/lua_api.h"

namespace zrb::script {

// The __index of "GlobalLibTableMetaTable" (table, key): loads the library
// named by a string or number key, stores its DllManager object in the table
// under the key itself and returns it; nil (and nothing stored) when the key
// is of another type or the library does not load. Keys are not normalised:
// "kernel32" and "Kernel32" are two entries, each holding a reference.
int LoadGlobalLibrary(lua_State* L);

}  // namespace zrb::script
