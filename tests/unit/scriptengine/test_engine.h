// Helpers for tests that drive the process's one script engine.
#pragma once

#include "zrbinstaller/zrbscriptengine/lua_api.h"

#include <string>

#include "zrbinstaller/zrbscriptengine/zrbscriptengine.h"

namespace zrb::test {

inline ZRBScriptEngine* Engine() { return ZRBScriptEngine::Instance(); }

// Runs Lua source on the engine; fails the test when it does not load or run.
inline void RunScript(const std::string& source) {
  ASSERT_TRUE(Engine()->RunChunk(source.data(), source.size(), "=test")) << source;
}

}  // namespace zrb::test
