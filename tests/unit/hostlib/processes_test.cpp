#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/unit/hostlib/host_script.h"

namespace {

using zrb::test::ChildProcess;
using zrb::test::Engine;
using zrb::test::LuaString;
using zrb::test::UniqueWindowClass;
using zrb::test::WindowHelperCopy;

std::string Upper(std::wstring text) {
  for (wchar_t& unit : text) unit = static_cast<wchar_t>(towupper(unit));
  return LuaString(text);
}

// The process IDs a script left in the global table `ids`.
std::vector<DWORD> IdsFromScript() {
  lua_State* L = Engine()->GetState();
  std::vector<DWORD> ids;
  lua_getglobal(L, "ids");  // +1
  for (int i = 1;; ++i) {
    lua_rawgeti(L, -1, i);  // +1
    if (lua_isnil(L, -1)) {
      lua_pop(L, 1);  // -1
      break;
    }
    ids.push_back(static_cast<DWORD>(lua_tounsignedx(L, -1, nullptr)));
    lua_pop(L, 1);  // -1
  }
  lua_pop(L, 1);  // -1
  std::sort(ids.begin(), ids.end());
  return ids;
}

TEST(GetProcessId, ReturnsEveryMatchingProcess) {
  const WindowHelperCopy helper(L"zrb_ids");
  const std::wstring windowClass = UniqueWindowClass(L"ZrbProcessIds");
  ChildProcess copies[] = {helper.Start(true, windowClass), helper.Start(true, windowClass),
                           helper.Start(true, windowClass)};
  std::vector<DWORD> started;
  for (const ChildProcess& copy : copies) {
    ASSERT_TRUE(copy.IsValid());
    started.push_back(copy.Id());
  }
  std::sort(started.begin(), started.end());

  // The name is the last argument, in any letter case A to Z.
  EXPECT_LUA("ids = {Lua_GetProcessId('ignored', " + Upper(helper.ExeName()) + ")}");
  EXPECT_EQ(started, IdsFromScript());
  EXPECT_LUA(
      "local r = table.pack(Lua_GetProcessId('zrb_nobody.exe'))"
      "assert(r.n == 1 and r[1] == nil)");
}

TEST(GetImagePathByPid, GivesTheDriveLetterPathOrNothing) {
  const WindowHelperCopy helper(L"zrb_path");
  ChildProcess child = helper.Start(true, UniqueWindowClass(L"ZrbImagePath"));
  ASSERT_TRUE(child.IsValid());
  ASSERT_LUA("path = Lua_GetImagePathByPid('ignored', " + std::to_string(child.Id()) + ")");
  EXPECT_EQ(0, _wcsicmp(helper.Path().c_str(), Engine()->GetGlobalString("path").c_str()))
      << Engine()->GetGlobalString("path");
  EXPECT_EQ(L"C:\\", Engine()->GetGlobalString("path").substr(0, 3));
  EXPECT_LUA("assert(select('#', Lua_GetImagePathByPid(4294967280)) == 0)");
}

TEST(TaskKill, EndsProcessesByIdOrName) {
  const WindowHelperCopy helper(L"zrb_taskkill");
  const std::wstring windowClass = UniqueWindowClass(L"ZrbTaskKill");

  EXPECT_LUA("assert(Lua_TaskKill('zrb_nobody.exe') == true)");
  EXPECT_LUA("assert(Lua_KillAllTaskByName('zrb_nobody.exe') == true)");

  ChildProcess byId = helper.Start(true, windowClass);
  ASSERT_TRUE(byId.IsValid());
  EXPECT_LUA("assert(Lua_TaskKill(" + std::to_string(byId.Id()) + ") == true)");
  EXPECT_EQ(7u, byId.WaitForExit(0)) << "closed itself on WM_CLOSE, not terminated";

  // A numeric string is an ID, not a name.
  ChildProcess byIdText = helper.Start(true, windowClass);
  ASSERT_TRUE(byIdText.IsValid());
  EXPECT_LUA("assert(Lua_TaskKill('" + std::to_string(byIdText.Id()) + "') == true)");
  EXPECT_EQ(7u, byIdText.WaitForExit(0));

  ChildProcess byName = helper.Start(true, windowClass);
  ASSERT_TRUE(byName.IsValid());
  EXPECT_LUA("assert(Lua_TaskKill(" + Upper(helper.ExeName()) + ") == true)");
  EXPECT_EQ(7u, byName.WaitForExit(0));
}

TEST(TaskKill, PostsToTheWindowClassBeforeEndingTheProcess) {
  const WindowHelperCopy helper(L"zrb_taskkill_class");
  const std::wstring closesClass = UniqueWindowClass(L"ZrbTaskKillCloses");
  const std::wstring ignoresClass = UniqueWindowClass(L"ZrbTaskKillIgnores");
  const std::string closes = LuaString(closesClass);

  // The message, with its parameters, goes to the window of the class (in
  // another process); WM_APP makes that helper exit with wParam + lParam.
  {
    ChildProcess target = helper.Start(true, closesClass);
    ChildProcess victim = helper.Start(false, ignoresClass);
    ASSERT_TRUE(target.IsValid() && victim.IsValid());
    EXPECT_LUA("assert(Lua_TaskKill(" + std::to_string(victim.Id()) + ", " + closes +
               ", 32768, 40, 2) == true)");
    EXPECT_EQ(42u, target.WaitForExit(5000));
    EXPECT_EQ(0u, victim.WaitForExit(0)) << "ignored closing, so terminated";
  }
  // Without a message (or with nil) it is WM_SYSCOMMAND/SC_CLOSE.
  for (const std::string& noMessage : {std::string(), std::string(", nil, 40, 2")}) {
    ChildProcess target = helper.Start(true, closesClass);
    ASSERT_TRUE(target.IsValid());
    EXPECT_LUA("assert(Lua_TaskKill('zrb_nobody.exe', " + closes + noMessage + ") == true)");
    EXPECT_EQ(7u, target.WaitForExit(5000)) << noMessage;
  }
  // A class with no window: nothing is posted anywhere, not even to us.
  EXPECT_LUA("assert(Lua_TaskKill('zrb_nobody.exe', 'ZrbNoSuchClass', 32768, 1, 1) == true)");
  MSG stray;
  EXPECT_FALSE(::PeekMessageW(&stray, nullptr, WM_APP, WM_APP, PM_REMOVE));
}

TEST(KillAllTaskByName, EndsOneProcessPerCall) {
  const WindowHelperCopy helper(L"zrb_killall");
  const std::wstring windowClass = UniqueWindowClass(L"ZrbKillAll");
  ChildProcess first = helper.Start(true, windowClass);
  ChildProcess second = helper.Start(true, windowClass);
  ASSERT_TRUE(first.IsValid() && second.IsValid());
  const std::string name = LuaString(helper.ExeName());

  EXPECT_LUA("assert(Lua_KillAllTaskByName(" + name + ") == true)");
  EXPECT_NE(first.IsRunning(), second.IsRunning()) << "exactly one of them ended";
  EXPECT_LUA("assert(Lua_KillAllTaskByName(" + name + ") == true)");
  EXPECT_FALSE(first.IsRunning() || second.IsRunning());
  EXPECT_LUA("assert(Lua_GetProcessId(" + name + ") == nil)");
}

}  // namespace
