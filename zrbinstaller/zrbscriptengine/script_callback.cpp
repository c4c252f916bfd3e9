#include "zrbinstaller/zrbscriptengine/script_callback.h"

#include "zrbinstaller/zrbscriptengine/lua_api.h"

#include "common/utility/string_conversion.h"
#include "common/utility/trace.h"
#include "zrbinstaller/zrbscriptengine/zrbscriptengine.h"

namespace {

void PushUtf8(lua_State* L, std::wstring_view text) {
  const std::string utf8 = zrb::WideToUtf8(text);
  lua_pushlstring(L, utf8.data(), utf8.size());
}

void TraceAndPopError(lua_State* L) {
  const char* message = lua_tolstring(L, -1, nullptr);
  zrb::Trace(L"%S\r\n", message ? message : "");
  lua_pop(L, 1);  // -1: the error value
}

}  // namespace

ScriptCallback::ScriptCallback(lua_State* L, int index) : state_(L) {
  if (lua_type(L, index) != LUA_TFUNCTION) return;
  lua_pushvalue(L, index);                         // +1
  reference_ = luaL_ref(L, LUA_REGISTRYINDEX);     // -1
}

ScriptCallback::~ScriptCallback() { Release(); }

void ScriptCallback::Release() {
  if (reference_ != kNoReference) luaL_unref(state_, LUA_REGISTRYINDEX, reference_);
  reference_ = kNoReference;
}

int ScriptCallback::CallWithProgress(std::wstring_view text, unsigned n) {
  lua_State* L = state_;
  const int top = lua_gettop(L);
  lua_rawgeti(L, LUA_REGISTRYINDEX, reference_);  // +1: the function
  PushUtf8(L, text);                              // +1
  lua_pushunsigned(L, n);                         // +1
  if (ZRBScriptEngine::ProtectedCall(L, 2, 1) != LUA_OK) {  // -3, +1
    TraceAndPopError(L);
    return 2;
  }
  const int result = static_cast<int>(lua_tointegerx(L, -1, nullptr));
  lua_settop(L, top);
  return result;
}

void ScriptCallback::Call(std::wstring_view text) {
  lua_State* L = state_;
  const int top = lua_gettop(L);
  lua_rawgeti(L, LUA_REGISTRYINDEX, reference_);  // +1: the function
  PushUtf8(L, text);                              // +1
  if (ZRBScriptEngine::ProtectedCall(L, 1, 1) != LUA_OK) {  // -2, +1
    TraceAndPopError(L);
    return;
  }
  lua_settop(L, top);
}
