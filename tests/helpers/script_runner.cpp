// Runs a Lua script file on the program's script engine, with the whole host
// library, so tests can read the trace lines of host functions.
//
//   zrb_script_runner.exe <script file> [more arguments for the script]
//
// The exit code is the number the script returns (0 when it returns none);
// a script that fails to load or run traces its message and exits with 100.
#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>

#include "common/utility/trace.h"
#include "zrbinstaller/zrbscriptengine/lua_api.h"
#include "zrbinstaller/zrbscriptengine/zrbscriptengine.h"

int wmain(int argc, wchar_t** argv) {
  constexpr int kScriptFailed = 100;
  if (argc < 2) return kScriptFailed;
  std::ifstream file(argv[1], std::ios::binary);
  const std::string source((std::istreambuf_iterator<char>(file)),
                           std::istreambuf_iterator<char>());
  lua_State* L = ZRBScriptEngine::Instance()->GetState();
  // A plain protected call: the engine's error box would wait for a user.
  if (luaL_loadbuffer(L, source.data(), source.size(), "=script") != LUA_OK ||
      lua_pcall(L, 0, 1, 0) != LUA_OK) {
    zrb::Trace(L"script failed: %S\r\n", lua_tostring(L, -1));
    return kScriptFailed;
  }
  return static_cast<int>(lua_tointeger(L, -1));
}
