// WString: a zero-terminated UTF-16 string, for native functions that read or
// fill wide text (the install script's 260-unit path buffers).
#pragma once

#include "zrbinstaller/zrbscriptengine/lua_api.h"

namespace zrb::script {

// Registers "WStringMetaTable" and pushes the global table "WString".
int OpenWString(lua_State* L);

}  // namespace zrb::script
