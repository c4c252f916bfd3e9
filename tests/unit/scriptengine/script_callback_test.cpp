#include "zrbinstaller/zrbscriptengine/script_callback.h"

#include <gtest/gtest.h>

#include "tests/unit/scriptengine/test_engine.h"

namespace {

using zrb::test::Engine;
using zrb::test::RunScript;

// Builds a callback from a global function, as a host function would from
// its argument.
struct GlobalCallback {
  explicit GlobalCallback(const char* name) {
    lua_State* L = Engine()->GetState();
    lua_getglobal(L, name);
    callback = std::make_unique<ScriptCallback>(L, -1);
    lua_pop(L, 1);
  }
  std::unique_ptr<ScriptCallback> callback;
};

TEST(ScriptCallback, PassesTextAndCountAndReturnsTheFirstResult) {
  RunScript(R"(
    function cb_progress(text, n) cb_text, cb_n = text, n return n % 7, "ignored" end
    function cb_word() return "skip" end
    function cb_none() end
  )");
  lua_State* L = Engine()->GetState();
  const int top = lua_gettop(L);
  struct {
    const char* function;
    unsigned n;
    int expected;
  } cases[] = {{"cb_progress", 4000000000u, static_cast<int>(4000000000u % 7)},
               {"cb_word", 1, 0},
               {"cb_none", 1, 0}};
  for (const auto& c : cases) {
    GlobalCallback holder(c.function);
    EXPECT_EQ(c.expected, holder.callback->CallWithProgress(L"C:\\程序\\a.dll", c.n)) << c.function;
    EXPECT_EQ(top, lua_gettop(L));
  }
  EXPECT_EQ(L"C:\\程序\\a.dll", Engine()->GetGlobalString("cb_text"));
  EXPECT_EQ(L"4000000000", Engine()->GetGlobalString("cb_n"));
}

TEST(ScriptCallback, CallPassesTextAndKeepsTheStack) {
  RunScript("function cb_text_only(text) cb_only = text return 1, 2, 3 end");
  lua_State* L = Engine()->GetState();
  const int top = lua_gettop(L);
  GlobalCallback holder("cb_text_only");
  holder.callback->Call(L"已创建");
  EXPECT_EQ(top, lua_gettop(L));
  EXPECT_EQ(L"已创建", Engine()->GetGlobalString("cb_only"));
}

TEST(ScriptCallback, ReleasesItsReference) {
  RunScript("function cb_released() end");
  lua_State* L = Engine()->GetState();
  int reference;
  {
    GlobalCallback holder("cb_released");
    ASSERT_TRUE(holder.callback->IsSet());
    // The reference is the registry slot that now holds the function.
    lua_getglobal(L, "cb_released");
    reference = -1;
    for (int i = 1; i < 10000 && reference < 0; ++i) {
      lua_rawgeti(L, LUA_REGISTRYINDEX, i);
      if (lua_rawequal(L, -1, -2)) reference = i;
      lua_pop(L, 1);
    }
    lua_pop(L, 1);
    ASSERT_GT(reference, 0);
  }
  lua_rawgeti(L, LUA_REGISTRYINDEX, reference);
  EXPECT_NE(LUA_TFUNCTION, lua_type(L, -1));
  lua_pop(L, 1);
}

TEST(ScriptCallback, NonFunctionsGiveNoReference) {
  lua_State* L = Engine()->GetState();
  lua_pushinteger(L, 5);
  ScriptCallback callback(L, -1);
  lua_pop(L, 1);
  EXPECT_FALSE(callback.IsSet());
}

}  // namespace
