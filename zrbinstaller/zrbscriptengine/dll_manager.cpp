#include "zrbinstaller/zrbscriptengine/dll_manager.h"

#include <string>

#include "common/utility/trace.h"
#include "common/utility/unique_handle.h"
#include "zrbinstaller/zrbscriptengine/host_arguments.h"
#include "zrbinstaller/zrbscriptengine/native_function.h"
#include "zrbinstaller/zrbscriptengine/script_type_support.h"

namespace zrb::script {

namespace {

// Load(name): the last argument, a library path or name, loaded in the
// system's search order. Returns the object, or nil and the last error.
int Load(lua_State* L) {
  const std::wstring name = lua_gettop(L) > 0 ? host::ArgText(L, -1) : std::wstring();
  zrb::UniqueLibrary library(::LoadLibraryW(name.c_str()));
  if (!library) {
    const DWORD error = ::GetLastError();
    lua_pushnil(L);              // +1
    lua_pushunsigned(L, error);  // +1
    return 2;
  }
  PushDllManager(L, library.Get());  // +1
  library.Release();                 // the object holds the reference now
  return 1;
}

// UnLoad(object): gives back the reference the object holds, once per
// object, however often it is called: a second FreeLibrary would release a
// reference that some other object (a GLibTab entry) still relies on. The
// object keeps its handle; a table as its user value marks it unloaded.
int UnLoad(lua_State* L) {
  const HMODULE* module = lua_gettop(L) > 0
                              ? static_cast<HMODULE*>(luaL_testudata(L, -1, kDllManagerMetaTable))
                              : nullptr;
  if (module) {
    lua_getuservalue(L, -1);  // +1
    const bool unloaded = lua_istable(L, -1);
    lua_pop(L, 1);  // -1
    if (!unloaded) {
      ::FreeLibrary(*module);
      lua_newtable(L);          // +1
      lua_setuservalue(L, -2);  // -1
    }
  }
  lua_pushnil(L);  // +1
  return 1;
}

// Get(object, name [, result type [, caller removes arguments]]): a
// NativeFunction for the export and 0; or nil and "hModule is nil"; or nil
// and the last error code.
int Get(lua_State* L) {
  const HMODULE* module = static_cast<HMODULE*>(luaL_testudata(L, 1, kDllManagerMetaTable));
  if (!module) {
    zrb::Trace(L"if (nullptr == phMod)");
    lua_pushnil(L);                        // +1
    lua_pushliteral(L, "hModule is nil");  // +1
    return 2;
  }
  const char* name = lua_tolstring(L, 2, nullptr);
  const FARPROC function = ::GetProcAddress(*module, name ? name : "");
  if (!function) {
    const DWORD error = ::GetLastError();
    ::OutputDebugStringW(L"if (nullptr == pfn)");
    lua_pushnil(L);              // +1
    lua_pushunsigned(L, error);  // +1
    return 2;
  }

  // The type and the flag follow the name; with more than two values after
  // it, the last two count.
  const int top = lua_gettop(L);
  const int extra = top - 2;
  if (extra >= 2) {
    lua_pushvalue(L, top - 1);  // +1: result type
    lua_pushvalue(L, top);      // +1: flag
  } else {
    if (extra == 1) {
      lua_pushvalue(L, 3);  // +1: result type
    } else {
      lua_pushnil(L);  // +1
    }
    lua_pushnil(L);  // +1: flag
  }
  PushNativeFunction(L, reinterpret_cast<void*>(function));  // -2 +1
  lua_pushinteger(L, 0);                                     // +1
  return 2;
}

}  // namespace

int OpenDllManager(lua_State* L) {
  static const luaL_Reg methods[] = {{"UnLoad", UnLoad}, {"Get", Get}, {nullptr, nullptr}};
  static const luaL_Reg functions[] = {{"Load", Load}, {nullptr, nullptr}};
  return OpenScriptType(L, kDllManagerMetaTable, methods, ObjectIndex::kMethods, functions);
}

void PushDllManager(lua_State* L, HMODULE module) {
  auto* block = static_cast<HMODULE*>(lua_newuserdata(L, sizeof(HMODULE)));  // +1
  *block = module;
  luaL_setmetatable(L, kDllManagerMetaTable);
}

}  // namespace zrb::script
