#include <gtest/gtest.h>

#include "tests/unit/scriptengine/test_engine.h"

namespace {

using zrb::test::Engine;
using zrb::test::RunScript;

// Reading a global never leaves anything on the stack.
class StackBalance {
 public:
  StackBalance() : top_(lua_gettop(Engine()->GetState())) {}
  ~StackBalance() { EXPECT_EQ(top_, lua_gettop(Engine()->GetState())); }

 private:
  int top_;
};

TEST(GlobalAccessors, StringForm) {
  RunScript(R"(g_number = 57999360 g_text = "中文路径" g_table = {} g_bool = true g_float = 1.5)");
  StackBalance balance;
  struct {
    const char* name;
    std::wstring expected;
  } cases[] = {
      {"g_number", L"57999360"}, {"g_text", L"中文路径"}, {"g_table", L""},
      {"g_bool", L""},           {"g_unset", L""},        {"g_float", L"1.5"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.expected, Engine()->GetGlobalString(c.name)) << c.name;
}

TEST(GlobalAccessors, LuaTruth) {
  RunScript(R"(b_zero = 0 b_empty = "" b_false = false b_true = true b_table = {})");
  StackBalance balance;
  struct {
    const char* name;
    bool expected;
  } cases[] = {{"b_zero", true},   {"b_empty", true},  {"b_false", false},
               {"b_true", true},   {"b_table", true},  {"b_unset", false}};
  for (const auto& c : cases) EXPECT_EQ(c.expected, Engine()->GetGlobalBoolean(c.name)) << c.name;
}

TEST(GlobalAccessors, IntegerConversion) {
  RunScript(R"(i_text = "12" i_word = "abc" i_table = {} i_near = 2.7 i_negative = -3 i_hex = "0x10")");
  StackBalance balance;
  struct {
    const char* name;
    int expected;
  } cases[] = {{"i_text", 12},      {"i_word", 0},  {"i_table", 0}, {"i_near", 3},
               {"i_negative", -3}, {"i_hex", 16},  {"i_unset", 0}};
  for (const auto& c : cases) EXPECT_EQ(c.expected, Engine()->GetGlobalInteger(c.name)) << c.name;
}

TEST(GlobalAccessors, WritesAreSeenByScripts) {
  {
    StackBalance balance;
    Engine()->SetGlobalString("InstallPath", L"C:\\程序\\Pomelia");
    Engine()->SetGlobalBoolean("chkAutoRun", true);
    Engine()->SetGlobalNumber("global_install_progress_pos", -42);
  }
  RunScript(R"(
    assert(InstallPath == "C:\\程序\\Pomelia", InstallPath)
    assert(chkAutoRun == true)
    assert(global_install_progress_pos == -42 and math.type == nil)
  )");
}

}  // namespace
