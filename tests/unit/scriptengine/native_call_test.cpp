#include "zrbinstaller/zrbscriptengine/native_call.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "tests/unit/scriptengine/test_engine.h"
#include "zrbinstaller/zrbscriptengine/native_function.h"

namespace {

using zrb::script::ZrbCallNative;
using zrb::test::Engine;
using zrb::test::RunScript;

// Where a callee's frame lies on each call: from one call site, a balanced
// caller puts it at the same place every time.
struct FrameWatch {
  uintptr_t first = 0;
  int calls = 0;
  int moved = 0;

  void See(const void* frame) {
    const uintptr_t at = reinterpret_cast<uintptr_t>(frame);
    if (calls++ == 0) {
      first = at;
    } else if (at != first) {
      ++moved;
    }
  }
};

FrameWatch gStdWatch, gCdeclWatch, gFirstWatch;

// The digits of the arguments, the first one lowest: 1..9 give 987654321.
uint32_t Digits(const uint32_t (&a)[9]) {
  uint32_t value = 0;
  for (int i = 8; i >= 0; --i) value = value * 10 + a[i];
  return value;
}

__attribute__((noinline, stdcall)) uint32_t StdDigits(uint32_t a1, uint32_t a2, uint32_t a3,
                                                      uint32_t a4, uint32_t a5, uint32_t a6,
                                                      uint32_t a7, uint32_t a8, uint32_t a9) {
  gStdWatch.See(__builtin_frame_address(0));
  return Digits({a1, a2, a3, a4, a5, a6, a7, a8, a9});
}

__attribute__((noinline, cdecl)) uint32_t CdeclDigits(uint32_t a1, uint32_t a2, uint32_t a3,
                                                      uint32_t a4, uint32_t a5, uint32_t a6,
                                                      uint32_t a7, uint32_t a8, uint32_t a9) {
  gCdeclWatch.See(__builtin_frame_address(0));
  return Digits({a1, a2, a3, a4, a5, a6, a7, a8, a9});
}

__attribute__((noinline, stdcall)) uint32_t StdFirst(uint32_t a1) {
  gFirstWatch.See(__builtin_frame_address(0));
  return a1;
}

__attribute__((noinline, stdcall)) uint32_t StdNothing() { return 7; }

using CallRoutine = uint32_t (*)(const void*, const uint32_t*, uint32_t, uint32_t*);

// An ordinary function of the routine's type: what a balanced call looks like.
extern "C" __attribute__((noinline)) uint32_t PlainRoutine(const void*, const uint32_t*, uint32_t,
                                                           uint32_t*) {
  asm volatile("" : : : "memory");
  return 7;
}

// The change of the stack pointer across one call of `routine`, as seen
// around it.
__attribute__((noinline)) int32_t StackChangeAcrossCall(CallRoutine routine, const void* function,
                                                        const std::vector<uint32_t>& words,
                                                        uint32_t* result) {
  uint32_t before = 0, after = 0, lastError = 0;
  asm volatile("movl %%esp, %0" : "=r"(before) : : "memory");
  *result = routine(function, words.data(), static_cast<uint32_t>(words.size()), &lastError);
  asm volatile("movl %%esp, %0" : "=r"(after) : : "memory");
  return static_cast<int32_t>(after - before);
}

TEST(NativeCall, StackPointerIsTheSameWhoeverRemovesTheArguments) {
  const HMODULE kernel32 = ::GetModuleHandleW(L"kernel32.dll");
  const HMODULE user32 = ::LoadLibraryW(L"user32.dll");
  const void* mulDiv = reinterpret_cast<const void*>(::GetProcAddress(kernel32, "MulDiv"));
  const void* format = reinterpret_cast<const void*>(::GetProcAddress(user32, "wsprintfA"));
  char out[32] = {};
  const char pattern[] = "%d.%d";
  const std::vector<uint32_t> digits = {1, 2, 3, 4, 5, 6, 7, 8, 9};

  uint32_t result = 0;
  const int32_t balanced = StackChangeAcrossCall(PlainRoutine, nullptr, {}, &result);
  const struct {
    const char* name;
    const void* function;
    std::vector<uint32_t> words;
    uint32_t expected;
  } cases[] = {
      {"stdcall, no words", reinterpret_cast<const void*>(StdNothing), {}, 7},
      {"stdcall, 9 words", reinterpret_cast<const void*>(StdDigits), digits, 987654321},
      {"cdecl, 9 words", reinterpret_cast<const void*>(CdeclDigits), digits, 987654321},
      {"MulDiv", mulDiv, {6, 7, 2}, 21},
      {"wsprintfA",
       format,
       {static_cast<uint32_t>(reinterpret_cast<uintptr_t>(out)),
        static_cast<uint32_t>(reinterpret_cast<uintptr_t>(pattern)), 4, 2},
       3},
      {"stdcall, extra words", reinterpret_cast<const void*>(StdNothing), {1, 2, 3, 4, 5}, 7},
  };
  for (const auto& c : cases) {
    for (int round = 0; round < 3; ++round) {
      EXPECT_EQ(balanced, StackChangeAcrossCall(ZrbCallNative, c.function, c.words, &result))
          << c.name;
      EXPECT_EQ(c.expected, result) << c.name;
    }
  }
  EXPECT_STREQ("4.2", out);
}

TEST(NativeCall, LastErrorIsTheCalleesOwn) {
  const void* setLastError = reinterpret_cast<const void*>(
      ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "SetLastError"));
  const uint32_t words[] = {1234};
  uint32_t lastError = 0;
  ::SetLastError(5);
  ZrbCallNative(setLastError, words, 1, &lastError);
  EXPECT_EQ(1234u, lastError);
}

// Many thousand script calls of both conventions, each also declared with
// the other one: results stay right and every callee finds its frame at the
// same place each time.
TEST(NativeCall, ManyMixedScriptCallsKeepTheStackBalanced) {
  lua_State* L = Engine()->GetState();
  const struct {
    const char* global;
    const void* function;
    bool callerRemoves;
  } callees[] = {
      {"std_digits", reinterpret_cast<const void*>(StdDigits), false},
      {"std_digits_as_cdecl", reinterpret_cast<const void*>(StdDigits), true},
      {"cdecl_digits", reinterpret_cast<const void*>(CdeclDigits), true},
      {"cdecl_digits_as_stdcall", reinterpret_cast<const void*>(CdeclDigits), false},
      {"std_first", reinterpret_cast<const void*>(StdFirst), false},
  };
  for (const auto& callee : callees) {
    lua_pushliteral(L, "uint");
    lua_pushboolean(L, callee.callerRemoves);
    zrb::script::PushNativeFunction(L, const_cast<void*>(callee.function));
    lua_setglobal(L, callee.global);
  }
  gStdWatch = {};
  gCdeclWatch = {};
  gFirstWatch = {};
  Engine()->SetGlobalNumber("expected_pid", static_cast<int>(::GetCurrentProcessId()));
  RunScript(R"(
    local k, u = GLibTab.kernel32, GLibTab.user32
    local pid = k:Get("GetCurrentProcessId", "int")
    local muldiv = k:Get("MulDiv", "int")
    local lenW = k:Get("lstrlenW", "int")
    local format = u:Get("wsprintfW", "int", true)
    local formatAsStdcall = u:Get("wsprintfW", "int", false)
    local out, pattern = WString.New(64), WString.New(0, "%d-%d")
    for i = 1, 20000 do
      assert(pid() == expected_pid)
      assert(muldiv(i, 3, 1) == 3 * i)
      assert(std_digits(1, 2, 3, 4, 5, 6, 7, 8, 9) == 987654321)
      assert(cdecl_digits(9, 8, 7, 6, 5, 4, 3, 2, 1) == 123456789)
      assert(std_digits_as_cdecl(1, 1, 1, 1, 1, 1, 1, 1, 1) == 111111111)
      assert(cdecl_digits_as_stdcall(2, 2, 2, 2, 2, 2, 2, 2, 2) == 222222222)
      -- More words than the function takes, and more than fit the call's
      -- own small buffer.
      assert(std_first(i, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20) == i)
      local f = i % 2 == 0 and format or formatAsStdcall
      assert(f(out, pattern, i, -i) == #out and lenW(out) == #out)
      assert(tostring(out) == i .. "-" .. -i)
    end
    mixed_loop_done = true
  )");
  EXPECT_TRUE(Engine()->GetGlobalBoolean("mixed_loop_done"));
  EXPECT_EQ(40000, gStdWatch.calls);
  EXPECT_EQ(0, gStdWatch.moved);
  EXPECT_EQ(40000, gCdeclWatch.calls);
  EXPECT_EQ(0, gCdeclWatch.moved);
  EXPECT_EQ(20000, gFirstWatch.calls);
  EXPECT_EQ(0, gFirstWatch.moved);
  RunScript(
      "std_digits, std_digits_as_cdecl, cdecl_digits, cdecl_digits_as_stdcall, std_first = nil");
}

// A function returning a floating-point value leaves it on the x87 stack;
// eight such calls would fill it and turn later arithmetic (here the loop's
// own counter) into NaN.
TEST(NativeCall, FloatingPointResultsDoNotFillTheFpuStack) {
  RunScript(R"(
    local atof = DllManager.Load("msvcrt.dll"):Get("atof", "int", true)
    local rounds = 0
    for _ = 1, 20 do
      atof("2.5")
      rounds = rounds + 1
    end
    assert(rounds == 20, rounds)
    local x = 0.5 + tonumber("0.25")
    assert(x == 0.75, tostring(x))
  )");
}

}  // namespace
