// The host library: native functions registered as script globals.
#pragma once

#include "zrbinstaller/zrbscriptengine/lua_api.h"

#include <vector>

struct HostFunction {
  const char* name;
  lua_CFunction function;
};

// The host functions in their registration order.
const std::vector<HostFunction>& HostFunctions();

// Registers every host function as a global, in order.
void RegisterHostLibrary(lua_State* L);
