// What the script types share: the registry names of their metatables (the
// host recognises its objects by them) and their registration.
#pragma once

#include "zrbinstaller/zrbscriptengine/lua_api.h"

namespace zrb::script {

constexpr char kAStringMetaTable[] = "AStringMetaTable";
constexpr char kWStringMetaTable[] = "WStringMetaTable";
constexpr char kRawBufferMetaTable[] = "RawBufferMetaTable";
constexpr char kDllManagerMetaTable[] = "DllManagerMetaTable";

// How the objects answer a field read.
enum class ObjectIndex {
  kMethods,   // the metatable is its own __index: obj:Method(...)
  kOwnEntry,  // the entries supply __index themselves
};

// Creates the metatable `metaTable` in the registry with `entries`, and
// pushes the type's global table holding `functions`. Returns 1, as an
// opening function for luaL_requiref does.
int OpenScriptType(lua_State* L, const char* metaTable, const luaL_Reg* entries, ObjectIndex index,
                   const luaL_Reg* functions);

}  // namespace zrb::script
