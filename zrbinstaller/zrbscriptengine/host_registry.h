// Host functions for the registry: reading, writing and deleting values and
// deleting key trees under the five predefined roots.
#pragma once

#include "zrbinstaller/zrbscriptengine/lua_api.h"

// (root, subkey, value name) -> text, number or nil.
int Lua_RegQuery(lua_State* L);
// (root, subkey, value name, type name, data, overwrite) -> true.
int Lua_RegAdd(lua_State* L);
// (root, subkey) deletes the key tree; (root, subkey, value name) the value.
// -> true.
int Lua_RegDel(lua_State* L);
