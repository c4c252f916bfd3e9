// Helpers for tests that drive the process's one script engine.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "zrbinstaller/zrbscriptengine/lua_api.h"
#include "zrbinstaller/zrbscriptengine/zrbscriptengine.h"

namespace zrb::test {

inline ZRBScriptEngine* Engine() { return ZRBScriptEngine::Instance(); }

// Runs Lua source on the calling thread's state in a protected call with a
// traceback handler: a load or run error fails the current test with its
// message (the engine's own report would show a box and end the program).
inline void RunScript(const std::string& source) {
  lua_State* L = Engine()->GetState();
  const int top = lua_gettop(L);
  lua_pushcfunction(L, [](lua_State* state) -> int {
    luaL_traceback(state, state, lua_tostring(state, 1), 1);
    return 1;
  });
  if (luaL_loadbuffer(L, source.data(), source.size(), "=test") != LUA_OK ||
      lua_pcall(L, 0, 0, top + 1) != LUA_OK) {
    const char* message = lua_tostring(L, -1);
    ADD_FAILURE() << (message ? message : "(no message)") << "\nin script:\n" << source;
  }
  lua_settop(L, top);
}

}  // namespace zrb::test
