// Host functions of the payload: unpacking the 7z payload (from the
// program's resources or from a file) and writing resources out as files.
#pragma once

#include "zrbinstaller/zrbscriptengine/lua_api.h"

// Lua_UnCompress7z(source, destination [, fromFile [, onFile [, onCreateError]]])
//   -> true when everything was unpacked.
int Lua_UnCompress7z(lua_State* L);

// Lua_ExtractResource(type, name or id, path) -> true when the file was written.
int Lua_ExtractResource(lua_State* L);
