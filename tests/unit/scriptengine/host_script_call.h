// Calling host functions from small scripts in tests, with failed checks
// reported as test failures instead of the engine's error box.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/utility/string_conversion.h"
#include "tests/unit/scriptengine/test_engine.h"

namespace zrb::test {

// Runs Lua source with a plain protected call; gives the error message, or
// empty text when the chunk ran.
inline std::string TryScript(const std::string& source) {
  lua_State* L = Engine()->GetState();
  const int top = lua_gettop(L);
  std::string error;
  if (luaL_loadbuffer(L, source.data(), source.size(), "=check") != LUA_OK ||
      lua_pcall(L, 0, 0, 0) != LUA_OK) {
    const char* message = lua_tostring(L, -1);
    error = message ? message : "(error without message)";
  }
  lua_settop(L, top);
  return error;
}

// Evaluates `call`, a Lua call whose arguments may name the globals p1, p2,
// ... (set to the texts of `arguments`), and describes its results as
// "<number of results>:<first result>", e.g. "1:true" or "0:nil".
inline std::wstring DescribeCall(const std::string& call,
                                 const std::vector<std::wstring>& arguments = {}) {
  for (size_t i = 0; i < arguments.size(); ++i) {
    Engine()->SetGlobalString(("p" + std::to_string(i + 1)).c_str(), arguments[i]);
  }
  const std::string error =
      TryScript("local r = table.pack(" + call + ") call_outcome = r.n .. ':' .. tostring(r[1])");
  if (!error.empty()) return L"error: " + Utf8ToWide(error);
  return Engine()->GetGlobalString("call_outcome");
}

}  // namespace zrb::test
