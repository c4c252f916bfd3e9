// Running test scripts so that a failing one fails its test: the engine's own
// error report would show a box and end the test program.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "tests/unit/scriptengine/test_engine.h"

namespace zrb::test {

// Runs Lua source on the engine's state in a protected call with a traceback
// handler; a load or run error fails the current test with its message.
inline void RunChecked(const std::string& source) {
  lua_State* L = Engine()->GetState();
  const int top = lua_gettop(L);
  lua_pushcfunction(L, [](lua_State* state) -> int {
    luaL_traceback(state, state, lua_tostring(state, 1), 1);
    return 1;
  });
  if (luaL_loadbuffer(L, source.data(), source.size(), "=test") != LUA_OK ||
      lua_pcall(L, 0, 0, top + 1) != LUA_OK) {
    const char* message = lua_tostring(L, -1);
    ADD_FAILURE() << (message ? message : "(no message)");
  }
  lua_settop(L, top);
}

}  // namespace zrb::test
