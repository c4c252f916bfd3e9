#include "zrbinstaller/zrbscriptengine/host_library.h"

const std::vector<HostFunction>& HostFunctions() {
  // Registration order is part of the script interface; keep new entries in
  // their numbered place.
  static const std::vector<HostFunction> functions = {
  };
  return functions;
}

void RegisterHostLibrary(lua_State* L) {
  for (const HostFunction& host : HostFunctions()) {
    lua_register(L, host.name, host.function);  // net 0
  }
}
