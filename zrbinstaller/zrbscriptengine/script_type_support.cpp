#include "zrbinstaller/zrbscriptengine/script_type_support.h"

namespace zrb::script {

int OpenScriptType(lua_State* L, const char* metaTable, const luaL_Reg* entries, ObjectIndex index,
                   const luaL_Reg* functions) {
  luaL_newmetatable(L, metaTable);  // +1
  luaL_setfuncs(L, entries, 0);
  if (index == ObjectIndex::kMethods) {
    lua_pushvalue(L, -1);            // +1
    lua_setfield(L, -2, "__index");  // -1
  }
  lua_pop(L, 1);    // -1: the metatable stays in the registry
  lua_newtable(L);  // +1: the global table
  luaL_setfuncs(L, functions, 0);
  return 1;
}

}  // namespace zrb::script
