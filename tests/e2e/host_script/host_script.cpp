// Runs the Lua source held in the environment variable T_SCRIPT on the script
// engine, so that tests can watch host functions' trace lines and message
// boxes from another process. The exit code is the script's global exit_code
// (100 when the source did not load or run).
#include <windows.h>

#include <string>

#include "common/utility/string_conversion.h"
#include "zrbinstaller/zrbscriptengine/zrbscriptengine.h"

int wmain() {
  std::wstring source(32767, L'\0');
  source.resize(
      ::GetEnvironmentVariableW(L"T_SCRIPT", source.data(), static_cast<DWORD>(source.size())));
  const std::string chunk = zrb::WideToUtf8(source);
  ZRBScriptEngine* engine = ZRBScriptEngine::Instance();
  if (!engine->RunChunk(chunk.data(), chunk.size(), "=host_script")) return 100;
  return engine->GetGlobalInteger("exit_code");
}
