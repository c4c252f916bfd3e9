// Leaves main while a worker thread is still inside a hook, the way the
// process ends when the progress page is closed under a running install.
// Exits with 7 unless something crashes during shutdown.
#include <windows.h>

#include <thread>

#include "zrbinstaller/zrbscriptengine/lua_api.h"
#include "zrbinstaller/zrbscriptengine/zrbscriptengine.h"

namespace {

int SlowHostCall(lua_State*) {
  ::Sleep(20);
  return 0;
}

}  // namespace

int wmain() {
  ZRBScriptEngine* engine = ZRBScriptEngine::Instance();
  lua_register(engine->GetState(), "slow_host_call", SlowHostCall);
  const char script[] =
      "function ZRBSE_OnInstall()\n"
      "  local parts = {}\n"
      "  while true do\n"
      "    slow_host_call()\n"
      "    parts[#parts + 1] = string.rep('x', 100)\n"
      "    if #parts > 100 then parts = {} end\n"
      "  end\n"
      "end\n";
  if (!engine->RunChunk(script, sizeof script - 1, "exit_probe")) return 3;
  std::thread([engine] { engine->CallHook("ZRBSE_OnInstall"); }).detach();
  ::Sleep(300);
  return 7;
}
