// AString: a narrow, zero-terminated string in the thread's ANSI code page,
// for native functions that read or fill narrow text.
#pragma once

#include "zrbinstaller/zrbscriptengine/lua_api.h"

namespace zrb::script {

// Registers "AStringMetaTable" and pushes the global table "AString".
int OpenAString(lua_State* L);

}  // namespace zrb::script
