#include <gtest/gtest.h>

#include <string>

#include "tests/unit/scriptengine/test_engine.h"

namespace {

using zrb::test::Engine;
using zrb::test::RunScript;

TEST(EngineCore, OpensEveryStandardLibrary) {
  RunScript(R"(
    for _, name in ipairs{"package", "coroutine", "table", "io", "os", "string", "bit32",
                          "math", "debug"} do
      assert(type(_G[name]) == "table", name)
      assert(package.loaded[name] == _G[name], name)
    end
    assert(package.loaded._G == _G)
    assert(unpack and loadstring and math.pow, "5.2 compatibility functions")
  )");
}

TEST(EngineCore, GlobalLibTableHasItsMetatable) {
  lua_State* L = Engine()->GetState();
  const int top = lua_gettop(L);
  lua_getglobal(L, "GLibTab");
  ASSERT_EQ(LUA_TTABLE, lua_type(L, -1));
  ASSERT_TRUE(lua_getmetatable(L, -1));
  luaL_getmetatable(L, "GlobalLibTableMetaTable");
  EXPECT_TRUE(lua_rawequal(L, -1, -2));
  lua_settop(L, top);
}

TEST(EngineCore, SourceAndBytecodeChunksRunAlike) {
  const std::string source = "chunk_runs = (chunk_runs or 0) + 1";
  RunScript(source);

  // Bytecode made by this very VM.
  lua_State* L = Engine()->GetState();
  ASSERT_EQ(LUA_OK, luaL_loadbuffer(L, source.data(), source.size(), "=bytecode"));
  std::string bytecode;
  lua_dump(
      L,
      [](lua_State*, const void* p, size_t size, void* out) {
        static_cast<std::string*>(out)->append(static_cast<const char*>(p), size);
        return 0;
      },
      &bytecode);
  lua_pop(L, 1);
  ASSERT_EQ(0, bytecode.compare(0, 4, LUA_SIGNATURE));
  EXPECT_TRUE(Engine()->RunChunk(bytecode.data(), bytecode.size(), "bytecode"));
  EXPECT_EQ(2, Engine()->GetGlobalInteger("chunk_runs"));
}

TEST(EngineCore, ChunksThatDoNotLoadLeaveTheStateUnchanged) {
  lua_State* L = Engine()->GetState();
  const int top = lua_gettop(L);
  const std::string cases[] = {"function (", std::string("\x1bLua\x52\x00garbage", 12), "x ="};
  for (const std::string& chunk : cases) {
    EXPECT_FALSE(Engine()->RunChunk(chunk.data(), chunk.size(), "bad")) << chunk;
    EXPECT_EQ(top, lua_gettop(L));
  }
}

TEST(EngineCore, CallHookRunsOnlyFunctions) {
  RunScript(R"(
    hook_calls = 0
    function ZRBSE_Counted() hook_calls = hook_calls + 1 end
    ZRBSE_Table = {}
    ZRBSE_Number = 5
  )");
  lua_State* L = Engine()->GetState();
  const int top = lua_gettop(L);
  for (const char* name : {"ZRBSE_Counted", "ZRBSE_Table", "ZRBSE_Number", "ZRBSE_Missing",
                           "ZRBSE_Counted"}) {
    Engine()->CallHook(name);
    EXPECT_EQ(top, lua_gettop(L)) << name;
  }
  EXPECT_EQ(2, Engine()->GetGlobalInteger("hook_calls"));
}

TEST(EngineCore, ProtectedCallReturnsResultsAndRemovesTheHandler) {
  RunScript("function add(a, b) return a + b, a * b end");
  lua_State* L = Engine()->GetState();
  const int top = lua_gettop(L);
  lua_getglobal(L, "add");
  lua_pushinteger(L, 6);
  lua_pushinteger(L, 7);
  ASSERT_EQ(LUA_OK, Engine()->ProtectedCall(2, 2));
  ASSERT_EQ(top + 2, lua_gettop(L));
  EXPECT_EQ(13, lua_tointeger(L, -2));
  EXPECT_EQ(42, lua_tointeger(L, -1));
  lua_settop(L, top);
}

}  // namespace
