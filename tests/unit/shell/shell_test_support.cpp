#include "tests/unit/shell/shell_test_support.h"

#include <shellapi.h>

#include "common/utility/string_conversion.h"
#include "zrbinstaller/zrbscriptengine/host_arguments.h"

namespace zrb::test {

TestFolder::TestFolder(const std::wstring& prefix) : path_(TempPath(prefix + L" 测试")) {
  ::CreateDirectoryW(path_.c_str(), nullptr);
}

TestFolder::~TestFolder() {
  // The shell's delete takes a list ended by two zeros. A program that has
  // just ended may hold its file a moment longer.
  std::wstring from = path_;
  from.push_back(L'\0');
  const ULONGLONG deadline = ::GetTickCount64() + 5000;
  do {
    SHFILEOPSTRUCTW operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_NO_UI;
    ::SHFileOperationW(&operation);
    if (::GetFileAttributesW(path_.c_str()) == INVALID_FILE_ATTRIBUTES) return;
    ::Sleep(100);
  } while (::GetTickCount64() < deadline);
}

void CopyProbe(const std::wstring& path) {
  const std::wstring probe = TestProgramFolder() + L"shell_exec_probe.exe";
  ASSERT_TRUE(::CopyFileW(probe.c_str(), path.c_str(), FALSE)) << ::GetLastError();
}

std::optional<ProbeReport> ReportNow(const std::wstring& probePath) {
  const std::wstring path = probePath + L".report";
  if (::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  ProbeReport report;
  for (const std::string& line : ReadTextLines(path)) {
    const std::wstring text = Utf8ToWide(line);
    const size_t equals = text.find(L'=');
    const std::wstring name = text.substr(0, equals);
    const std::wstring value = equals == std::wstring::npos ? L"" : text.substr(equals + 1);
    if (name == L"arg") report.arguments.push_back(value);
    if (name == L"folder") report.folder = value;
    if (name == L"show") report.show = value;
  }
  return report;
}

std::optional<ProbeReport> WaitForReport(const std::wstring& probePath, DWORD timeoutMs) {
  const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
  do {
    if (auto report = ReportNow(probePath)) return report;
    ::Sleep(50);
  } while (::GetTickCount64() < deadline);
  return std::nullopt;
}

bool CallHost(const char* name, const std::vector<LuaValue>& arguments) {
  lua_State* L = Engine()->GetState();
  const int top = lua_gettop(L);
  lua_getglobal(L, name);  // +1
  EXPECT_EQ(LUA_TFUNCTION, lua_type(L, -1)) << name;
  for (const LuaValue& argument : arguments) {
    switch (argument.kind) {
      case LuaValue::Kind::kNil:
        lua_pushnil(L);  // +1
        break;
      case LuaValue::Kind::kText:
        host::PushText(L, argument.text);  // +1
        break;
      case LuaValue::Kind::kBoolean:
        lua_pushboolean(L, argument.flag);  // +1
        break;
    }
  }
  // No message handler: a host function never raises a script error, and
  // the engine's handler would end the test program.
  const int status = lua_pcall(L, static_cast<int>(arguments.size()), LUA_MULTRET, 0);
  EXPECT_EQ(LUA_OK, status) << name << ": " << lua_tostring(L, -1);
  EXPECT_EQ(top + 1, lua_gettop(L)) << name << " returns one result";
  EXPECT_EQ(LUA_TBOOLEAN, lua_type(L, -1)) << name;
  const bool result = lua_toboolean(L, -1) != 0;
  lua_settop(L, top);
  return result;
}

}  // namespace zrb::test
