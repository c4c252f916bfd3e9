#include <gtest/gtest.h>

#include <thread>

#include "tests/unit/scriptengine/test_engine.h"

namespace {

using zrb::test::Engine;
using zrb::test::RunScript;

constexpr int kWrites = 100000;

// The progress page's pattern: a worker runs a script-heavy hook while the
// main thread keeps writing a global. The hook waits for the main thread's
// last write inside a pure script loop, so it only finishes if the main
// thread is never shut out for the length of the hook.
TEST(EngineThreads, WorkerHookAndMainThreadWritesRunTogether) {
  RunScript(R"(
    function ZRBSE_StressHook()
      local sum, parts = 0, {}
      for i = 1, 200000 do
        parts[#parts + 1] = string.format("%d", i)
        if #parts > 64 then parts = { table.concat(parts, ",") } end
        sum = sum + i
      end
      stress_sum = sum
      local deadline, spins = os.clock() + 120, 0
      while global_install_progress_pos ~= 100000 and os.clock() < deadline do
        spins = spins + 1
      end
      stress_saw_last_write = global_install_progress_pos == 100000
    end
  )");
  std::thread worker([] { Engine()->CallHook("ZRBSE_StressHook"); });
  int mismatches = 0;
  for (int i = 1; i <= kWrites; ++i) {
    Engine()->SetGlobalNumber("global_install_progress_pos", i);
    if (i % 100 == 0 && Engine()->GetGlobalInteger("global_install_progress_pos") != i) ++mismatches;
  }
  worker.join();
  EXPECT_EQ(0, mismatches);
  EXPECT_EQ(L"20000100000", Engine()->GetGlobalString("stress_sum"));
  EXPECT_TRUE(Engine()->GetGlobalBoolean("stress_saw_last_write"));
}

// Host functions run without the lock: a worker blocked inside one does not
// block the main thread's operations.
TEST(EngineThreads, NativeCallsReleaseTheState) {
  static HANDLE release = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  static HANDLE entered = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  lua_State* L = Engine()->GetState();
  lua_register(L, "test_block", [](lua_State*) -> int {
    ::SetEvent(entered);
    ::WaitForSingleObject(release, 60000);
    return 0;
  });
  RunScript("function ZRBSE_BlockHook() test_block() blocked_hook_done = true end");
  std::thread worker([] { Engine()->CallHook("ZRBSE_BlockHook"); });
  ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(entered, 60000));
  Engine()->SetGlobalString("while_blocked", L"written");
  EXPECT_EQ(L"written", Engine()->GetGlobalString("while_blocked"));
  RunScript("assert(while_blocked == 'written')");
  ::SetEvent(release);
  worker.join();
  EXPECT_TRUE(Engine()->GetGlobalBoolean("blocked_hook_done"));
}

// Several threads' hooks at once each keep their own stack.
TEST(EngineThreads, ThreadsKeepTheirOwnStacks) {
  RunScript(R"(
    local function count()
      local n = 0
      for i = 1, 50000 do n = n + #tostring(i) end
      return n
    end
    function ZRBSE_CountA() count_a = count() end
    function ZRBSE_CountB() count_b = count() end
  )");
  std::thread a([] { Engine()->CallHook("ZRBSE_CountA"); });
  std::thread b([] { Engine()->CallHook("ZRBSE_CountB"); });
  for (int i = 0; i < 2000; ++i) Engine()->CallHook("ZRBSE_Missing");
  a.join();
  b.join();
  // The digit counts of 1..50000.
  EXPECT_EQ(238894, Engine()->GetGlobalInteger("count_a"));
  EXPECT_EQ(238894, Engine()->GetGlobalInteger("count_b"));
}

}  // namespace
