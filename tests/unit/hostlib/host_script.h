// Running host library scripts in tests: in this process on the engine (for
// results and effects), or in the script runner program under the trace
// reader (for trace lines and the command line).
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "tests/support/traced_run.h"
#include "zrbinstaller/zrbscriptengine/lua_api.h"
#include "zrbinstaller/zrbscriptengine/zrbscriptengine.h"

namespace zrb::test {

inline ZRBScriptEngine* Engine() { return ZRBScriptEngine::Instance(); }

// Runs Lua source in a plain protected call (a failing assert must not reach
// the engine's error box) and returns the error message, empty on success.
inline std::string RunLua(const std::string& source) {
  lua_State* L = Engine()->GetState();
  const int top = lua_gettop(L);
  std::string error;
  if (luaL_loadbuffer(L, source.data(), source.size(), "=test") != LUA_OK ||
      lua_pcall(L, 0, 0, 0) != LUA_OK) {
    const char* message = lua_tostring(L, -1);
    error = message ? message : "(no message)";
  }
  lua_settop(L, top);
  return error;
}

#define EXPECT_LUA(source) EXPECT_EQ("", ::zrb::test::RunLua(source))
#define ASSERT_LUA(source) ASSERT_EQ("", ::zrb::test::RunLua(source))

// Runs Lua source in the script runner with `arguments` after the script's
// path on its command line; the runner's exit code is the number the script
// returns.
inline TracedResult RunInRunner(const std::string& source, const std::wstring& arguments = L"") {
  const std::wstring script = TempPath(L"script") + L".lua";
  {
    std::ofstream file(script.c_str(), std::ios::binary);
    file << source;
  }
  TracedResult result = RunTraced(L"\"" + TestProgramFolder() + L"zrb_script_runner.exe\" \"" +
                                  script + L"\" " + arguments);
  ::DeleteFileW(script.c_str());
  return result;
}

// A Lua string literal of UTF-16 text (UTF-8, with quotes escaped).
std::string LuaString(const std::wstring& text);

}  // namespace zrb::test
