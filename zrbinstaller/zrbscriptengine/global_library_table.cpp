#include "zrbinstaller/zrbscriptengine/global_library_table.h"

#include <windows.h>

#include <string>

#include "common/utility/unique_handle.h"
#include "zrbinstaller/zrbscriptengine/dll_manager.h"
#include "zrbinstaller/zrbscriptengine/script_string_text.h"

namespace zrb::script {

int LoadGlobalLibrary(lua_State* L) {
  const int type = lua_type(L, 2);
  if (type != LUA_TSTRING && type != LUA_TNUMBER) {
    lua_pushnil(L);  // +1
    return 1;
  }
  // Read through a copy: a number key stays a number for the raw set below.
  const std::wstring name = WideLuaText(L, 2);
  zrb::UniqueLibrary library(::LoadLibraryW(name.c_str()));
  if (!library) {
    lua_pushnil(L);  // +1
    return 1;
  }
  PushDllManager(L, library.Get());  // +1: the object
  library.Release();                 // the object holds the reference now
  lua_pushvalue(L, 2);               // +1: key
  lua_pushvalue(L, -2);              // +1: object
  lua_rawset(L, 1);                  // -2: table[key] = object, no metamethod
  return 1;
}

}  // namespace zrb::script
