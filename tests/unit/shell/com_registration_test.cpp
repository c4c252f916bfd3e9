#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>

#include "common/utility/unique_handle.h"
#include "tests/unit/shell/shell_test_support.h"

namespace {

using namespace zrb::test;

const wchar_t kTestsKey[] = L"Software\\ZRBShellTests";
const wchar_t kServerKey[] = L"Software\\ZRBShellTests\\TestServer";

// The path the test server wrote when it was registered, or nothing.
std::optional<std::wstring> RegisteredPath() {
  wchar_t path[MAX_PATH] = {};
  DWORD size = sizeof path;
  if (::RegGetValueW(HKEY_CURRENT_USER, kServerKey, L"Path", RRF_RT_REG_SZ, nullptr, path, &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  return std::wstring(path);
}

// Waits up to 30 seconds for the registration to be `expected` (a path or
// nothing) and returns the last state seen.
std::optional<std::wstring> WaitForRegistration(const std::optional<std::wstring>& expected) {
  const ULONGLONG deadline = ::GetTickCount64() + 30000;
  std::optional<std::wstring> seen = RegisteredPath();
  while (seen != expected && ::GetTickCount64() < deadline) {
    ::Sleep(50);
    seen = RegisteredPath();
  }
  return seen;
}

class ComRegistration : public ::testing::Test {
 protected:
  void SetUp() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, kTestsKey); }
  void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, kTestsKey); }

  // A copy of the test server in a folder of this test.
  std::wstring CopyServer(const std::wstring& name) {
    const std::wstring path = folder_ / name;
    const std::wstring server = TestProgramFolder() + L"shell_test_server.dll";
    EXPECT_TRUE(::CopyFileW(server.c_str(), path.c_str(), FALSE)) << ::GetLastError();
    return path;
  }

  TestFolder folder_{L"com"};
};

TEST_F(ComRegistration, RegSvr32CallsTheEntryPointsInProcess) {
  const std::wstring server = CopyServer(L"server.dll");
  ScopedEnvironment environment;
  environment.Set(L"ZRB_SHELL_TEST_DIR", folder_.Path());
  const LuaValue expandedPath = Text(L"%ZRB_SHELL_TEST_DIR%\\server.dll");

  EXPECT_TRUE(CallHost("Lua_RegSvr32", {expandedPath, Flag(true)}));
  EXPECT_EQ(server, RegisteredPath());
  EXPECT_TRUE(CallHost("Lua_RegSvr32", {expandedPath, Flag(false)}));
  EXPECT_EQ(std::nullopt, RegisteredPath());
}

TEST_F(ComRegistration, RegSvr32ReportsTheEntryPointsFailure) {
  const std::wstring server = CopyServer(L"server.dll");
  ScopedEnvironment environment;
  environment.Set(L"ZRB_TEST_SERVER_REFUSE", L"1");
  EXPECT_FALSE(CallHost("Lua_RegSvr32", {Text(server), Flag(true)}));
  EXPECT_EQ(std::nullopt, RegisteredPath());
}

TEST_F(ComRegistration, RegSvr32OnALibraryWithoutTheEntryPointsFails) {
  for (const bool doRegister : {true, false}) {
    EXPECT_FALSE(
        CallHost("Lua_RegSvr32", {Text(L"%SystemRoot%\\system32\\kernel32.dll"), Flag(doRegister)}))
        << doRegister;
  }
}

TEST_F(ComRegistration, RegistDllStartsTheSystemToolWithoutWaiting) {
  const std::wstring server = CopyServer(L"注册 server.dll");
  // The server's registration blocks until the event is set: the call has
  // to come back while the tool is still at work.
  const std::wstring holdName =
      L"Local\\ZrbShellTestServerHold" + std::to_wstring(::GetCurrentProcessId());
  const zrb::UniqueKernelHandle hold(::CreateEventW(nullptr, TRUE, FALSE, holdName.c_str()));
  ASSERT_TRUE(hold);
  {
    ScopedEnvironment environment;
    environment.Set(L"ZRB_TEST_SERVER_HOLD", holdName);
    EXPECT_TRUE(CallHost("Lua_RegistDll", {Text(server), Text(L"/s")}));
  }
  EXPECT_EQ(std::nullopt, RegisteredPath());
  ::SetEvent(hold.Get());
  EXPECT_EQ(server, WaitForRegistration(server));

  EXPECT_TRUE(CallHost("Lua_RegistDll", {Text(server), Text(L"/u /s")}));
  EXPECT_EQ(std::nullopt, WaitForRegistration(std::nullopt));
}

}  // namespace
