// The script types the engine registers, in their registration order, and
// the lazy loader behind GLibTab.
#pragma once

#include "zrbinstaller/zrbscriptengine/lua_api.h"

#include <vector>

struct ScriptTypeRegistration {
  const char* name;     // global and loaded-module name
  lua_CFunction open;   // pushes the type's table
};

// "AString", "WString", "RawBuffer", "DllManager", as they exist.
const std::vector<ScriptTypeRegistration>& ScriptTypeRegistrations();

// The __index function of "GlobalLibTableMetaTable"; null while there is
// none, and GLibTab then yields nil for every name.
lua_CFunction GlobalLibraryLoader();
