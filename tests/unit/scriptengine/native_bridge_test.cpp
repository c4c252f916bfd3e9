#include <gtest/gtest.h>
#include <shlwapi.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/support/traced_run.h"
#include "tests/unit/scriptengine/test_engine.h"
#include "zrbinstaller/zrbscriptengine/native_call.h"
#include "zrbinstaller/zrbscriptengine/native_function.h"
#include "zrbinstaller/zrbscriptengine/script_error_report.h"

namespace {

using zrb::test::Engine;
using zrb::test::RunScript;

// A library the test program does not load by itself, so its reference
// count is the bridge's alone.
const wchar_t kSpareLibrary[] = L"netapi32.dll";

TEST(GlobalLibraryTable, LoadsOnceAndCachesUnderTheKeyUsed) {
  RunScript(R"(
    local k = GLibTab.kernel32
    assert(getmetatable(k) == debug.getregistry().DllManagerMetaTable)
    assert(GLibTab.kernel32 == k and rawget(GLibTab, "kernel32") == k)
    local upper = GLibTab.Kernel32
    assert(upper ~= k and rawget(GLibTab, "Kernel32") == upper, "keys are not normalised")
    for _ = 1, 2 do
      assert(GLibTab["no-such-library-zrb"] == nil)
      assert(rawget(GLibTab, "no-such-library-zrb") == nil, "failures are not cached")
    end
    assert(GLibTab[true] == nil and GLibTab[GLibTab] == nil)
  )");

  ASSERT_EQ(nullptr, ::GetModuleHandleW(kSpareLibrary));
  RunScript("spare = GLibTab.netapi32 assert(GLibTab.netapi32 == spare)");
  const HMODULE spare = ::GetModuleHandleW(kSpareLibrary);
  ASSERT_NE(nullptr, spare);
  ::FreeLibrary(spare);  // the table's one reference
  EXPECT_EQ(nullptr, ::GetModuleHandleW(kSpareLibrary));
  RunScript("rawset(GLibTab, 'netapi32', nil) spare = nil");
}

TEST(DllManager, LoadGetAndUnLoad) {
  Engine()->SetGlobalNumber("expected_pid", static_cast<int>(::GetCurrentProcessId()));
  RunScript(R"(
    local k = DllManager.Load("kernel32.dll")
    assert(getmetatable(k) == debug.getregistry().DllManagerMetaTable)
    local missing, loadError = DllManager.Load("no-such-library-zrb.dll")
    assert(missing == nil and loadError == 126, tostring(loadError))

    local pid, zero = k:Get("GetCurrentProcessId", "int")
    assert(type(pid) == "function" and zero == 0)
    local id, lastError = pid()
    assert(id == expected_pid and type(lastError) == "number")

    local none, code = k:Get("NoSuchExportZrb")
    assert(none == nil and code == 127, tostring(code))
    none, code = k.Get({}, "Sleep")
    assert(none == nil and code == "hModule is nil")
    none, code = k.Get(GLibTab, "Sleep")
    assert(none == nil and code == "hModule is nil")
  )");
}

TEST(DllManager, UnLoadGivesBackOneReferencePerObject) {
  const HMODULE ours = ::LoadLibraryW(kSpareLibrary);
  ASSERT_NE(nullptr, ours);
  RunScript(R"(
    local d = DllManager.Load("netapi32")
    assert(select("#", d:UnLoad()) == 1 and d:UnLoad() == nil)  -- twice: one reference
    DllManager.Load("netapi32"):UnLoad()
    getmetatable(d).UnLoad({})
  )");
  EXPECT_EQ(ours, ::GetModuleHandleW(kSpareLibrary)) << "our reference was taken";
  ::FreeLibrary(ours);
  EXPECT_EQ(nullptr, ::GetModuleHandleW(kSpareLibrary));
}

// The type and the flag follow the export's name; with more values after it
// the last two count. GetFileAttributesW of a missing file returns
// 0xFFFFFFFF and leaves error 2.
TEST(NativeFunction, ResultTypes) {
  RunScript(R"(
    local k = GLibTab.kernel32
    local missing = WString.New(0, "C:\\no-such-file-zrb.txt")
    local cases = {
      -- the values after the name, their count, the result
      {{"int"}, 1, -1}, {{"uint"}, 1, 4294967295}, {{"bool"}, 1, true},
      {{"INT"}, 1, nil}, {{"float"}, 1, nil}, {{}, 0, nil}, {{nil, true}, 2, nil}, {{5}, 1, nil},
      {{"ignored", "uint", false}, 3, 4294967295},
      {{"int", true, "bool", false}, 4, true},
      {{"uint", false, nil, nil}, 4, nil},
    }
    for i, c in ipairs(cases) do
      local f = k:Get("GetFileAttributesW", table.unpack(c[1], 1, c[2]))
      local value, lastError = f(missing)
      assert(value == c[3], "case " .. i .. ": " .. tostring(value))
      assert(lastError == 2, "case " .. i .. " error " .. tostring(lastError))
    end
    local asPtr = k:Get("GetFileAttributesW", "ptr")(missing)
    assert(type(asPtr) == "userdata" and getmetatable(asPtr) == nil)
    local holder = RawBuffer.New(4)
    holder:OffsetSetAsPointer(0, asPtr)
    assert(holder:OffsetGetAsUInt32(0) == 4294967295)

    -- Texts at the returned address, and the empty text for a null one.
    local copyA = k:Get("lstrcpyA", "astr")
    local copyW = k:Get("lstrcpyW", "wstr")
    assert(copyA(AString.New(16), AString.New(0, "中文")) == "中文")
    assert(copyW(WString.New(16), WString.New(0, "中文")) == "中文")
    for _, t in ipairs{"astr", "wstr"} do
      assert(k:Get("GetModuleHandleW", t)(WString.New(0, "no-such-module-zrb")) == "")
    end
  )");
  RunScript("command_line = GLibTab.kernel32:Get('GetCommandLineW', 'wstr')()");
  EXPECT_EQ(std::wstring(::GetCommandLineW()), Engine()->GetGlobalString("command_line"));
}

TEST(NativeFunction, ArgumentWords) {
  RunScript(R"(
    local muldiv = GLibTab.kernel32:Get("MulDiv", "int")
    local cases = {
      {6, 7, 1, 42}, {true, 9, 1, 9}, {false, 9, 1, 0}, {nil, 9, 1, 0},
      {-5, 3, 1, -15}, {4294967295, 3, 1, -3}, {2.7, 10, 1, 30},
    }
    for i, c in ipairs(cases) do
      local got = muldiv(c[1], c[2], c[3])
      assert(got == c[4], "case " .. i .. ": " .. tostring(got))
    end

    local lenA = GLibTab.kernel32:Get("lstrlenA", "int")
    local lenW = GLibTab.kernel32:Get("lstrlenW", "int")
    assert(lenA("中文") == 6, "a Lua string passes its UTF-8 bytes")
    assert(lenA(AString.New(0, "中文")) == 4 and lenW(WString.New(0, "中文")) == 2)
    local b = RawBuffer.New(8)
    b:OffsetSetAsAString(0, "abcd")
    assert(lenA(b) == 4, "a full userdata passes its block")
    assert(lenA(b:OffsetGetAsPointer(2)) == 2, "a light userdata passes its address")
    assert(lenA(nil) == 0)
  )");
}

std::wstring gErrorText;

int CaptureErrorText(lua_State* L) {
  gErrorText = BuildScriptErrorText(L);
  return 1;
}

// A table, function or thread argument is a script error, raised before the
// function is called, that reaches the engine's error report.
TEST(NativeFunction, UnsupportedArgumentsRaiseBeforeTheCall) {
  const std::wstring folder = zrb::test::TempPath(L"never");
  Engine()->SetGlobalString("never_created", folder);
  RunScript(R"(
    local create = GLibTab.kernel32:Get("CreateDirectoryW", "bool")
    local path = WString.New(0, never_created)
    bad_calls = {
      function() return create(path, {}) end,
      function() return create(path, print) end,
      function() return create(coroutine.create(print), nil) end,
    }
  )");
  lua_State* L = Engine()->GetState();
  for (int i = 1; i <= 3; ++i) {
    const int top = lua_gettop(L);
    lua_pushcfunction(L, CaptureErrorText);
    lua_getglobal(L, "bad_calls");
    lua_rawgeti(L, -1, i);
    lua_remove(L, -2);
    gErrorText.clear();
    EXPECT_EQ(LUA_ERRRUN, lua_pcall(L, 0, 0, top + 1)) << i;
    EXPECT_EQ(0u, gErrorText.rfind(L"unknow argument type\n      <call stack>\n", 0)) << gErrorText;
    lua_settop(L, top);
  }
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(folder.c_str()));
  RunScript("bad_calls = nil");
}

TEST(NativeFunction, SystemFunctionsWithTypedArguments) {
  const std::wstring folder = zrb::test::TempPath(L"桥接目录");
  ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
  const std::wstring file = folder + L"\\写入.txt";
  Engine()->SetGlobalString("bridge_folder", folder);
  Engine()->SetGlobalString("bridge_file", file);
  RunScript(R"(
    local k, shlwapi, user32 = GLibTab.kernel32, GLibTab.Shlwapi, GLibTab.user32

    -- A narrow function given an AString in the ANSI code page.
    local exists = shlwapi:Get("PathFileExistsA", "int")
    assert(exists(AString.New(nil, bridge_folder)) == 1)
    assert(exists(AString.New(nil, bridge_folder .. "x")) == 0)

    -- Callee-cleans with seven arguments.
    local create = k:Get("CreateFileW", "ptr")
    local write = k:Get("WriteFile", "bool")
    local close = k:Get("CloseHandle", "bool")
    local handle = create(WString.New(0, bridge_file), 0x40000000, 0, nil, 2, 0x80, nil)
    local written = RawBuffer.New(4)
    assert(write(handle, "hello", 5, written, nil) == true)
    assert(written:OffsetGetAsUInt32(0) == 5)
    assert(close(handle) == true)
    local failed, lastError = create(WString.New(0, bridge_folder .. "\\no\\such"), 0x40000000, 0,
                                     nil, 2, 0x80, nil)
    local invalid = RawBuffer.New(4)
    invalid:OffsetSetAsPointer(0, failed)
    assert(invalid:OffsetGetAsInt32(0) == -1 and lastError == 3, tostring(lastError))

    -- Caller-cleans and variadic, writing into a WString.
    local format = user32:Get("wsprintfW", "int", true)
    local out = WString.New(64)
    local n = format(out, WString.New(0, "%d|%s|%c|%u"), -42, WString.New(0, "中"), 0x41, 4294967295)
    assert(tostring(out) == "-42|中|A|4294967295" and n == #out, tostring(out))
  )");
  std::ifstream in(file.c_str(), std::ios::binary);
  EXPECT_EQ("hello", std::string(std::istreambuf_iterator<char>(in), {}));
  in.close();
  ::DeleteFileW(file.c_str());
  ::RemoveDirectoryW(folder.c_str());
}

TEST(NativeFunction, SleepHasNoResultAndSleeps) {
  const ULONGLONG start = ::GetTickCount64();
  RunScript(R"(
    local value, lastError = GLibTab.kernel32:Get("Sleep")(300)
    assert(value == nil and type(lastError) == "number")
  )");
  EXPECT_GE(::GetTickCount64() - start, 280u);
}

// On a 64-bit system the buffer receives the old redirection state; a
// 32-bit one has no redirection, and the call fails leaving it untouched.
TEST(NativeFunction, Wow64RedirectionIntoARawBuffer) {
  BOOL wow64 = FALSE;
  ASSERT_TRUE(::IsWow64Process(::GetCurrentProcess(), &wow64));
  Engine()->SetGlobalBoolean("wow64", wow64 != FALSE);
  RunScript(R"(
    local k = GLibTab.kernel32
    local disable = k:Get("Wow64DisableWow64FsRedirection", "int")
    local revert = k:Get("Wow64RevertWow64FsRedirection", "int")
    local first, second = RawBuffer.New(4), RawBuffer.New(4)
    first:OffsetSetAsUInt32(0, 0xFFFFFFFF)
    second:OffsetSetAsUInt32(0, 0xFFFFFFFF)
    local done, lastError = disable(first)
    if not wow64 then
      assert(done == 0 and lastError ~= 0 and first:OffsetGetAsUInt32(0) == 0xFFFFFFFF)
      return
    end
    assert(done == 1 and disable(second) == 1)
    local enabled, disabled = first:OffsetGetAsUInt32(0), second:OffsetGetAsUInt32(0)
    assert(enabled ~= 0xFFFFFFFF and enabled ~= disabled, enabled .. " " .. disabled)
    assert(revert(disabled) == 1 and revert(enabled) == 1)
  )");
}

}  // namespace
