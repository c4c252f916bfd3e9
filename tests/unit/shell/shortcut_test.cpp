#include <gtest/gtest.h>
#include <windows.h>
// After windows.h.
#include <shlobj.h>
#include <shlwapi.h>

#include <string>
#include <vector>

#include "common/utility/com_ptr.h"
#include "tests/unit/shell/shell_test_support.h"

namespace {

using namespace zrb::test;

struct LinkContents {
  std::wstring target;
  std::wstring arguments;
  std::wstring description;
  std::wstring folder;
};

// Loads a saved shell link as the shell would and reads its fields.
LinkContents ReadShellLink(const std::wstring& path) {
  zrb::ComInitScope com;
  zrb::ComPtr<IShellLinkW> link;
  zrb::ComPtr<IPersistFile> file;
  LinkContents contents;
  EXPECT_HRESULT_SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                              IID_IShellLinkW, link.ReceiveVoid()));
  if (!link || FAILED(link.As(IID_IPersistFile, &file))) return contents;
  EXPECT_HRESULT_SUCCEEDED(file->Load(path.c_str(), STGM_READ)) << path;
  wchar_t text[INFOTIPSIZE] = {};
  link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
  contents.target = text;
  text[0] = L'\0';
  link->GetArguments(text, INFOTIPSIZE);
  contents.arguments = text;
  text[0] = L'\0';
  link->GetDescription(text, INFOTIPSIZE);
  contents.description = text;
  text[0] = L'\0';
  link->GetWorkingDirectory(text, MAX_PATH);
  contents.folder = text;
  return contents;
}

void CreateEmptyFile(const std::wstring& path) {
  const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file) << ::GetLastError();
  ::CloseHandle(file);
}

TEST(CreateShortcut, ShellLinkHoldsWhatTheCallPassed) {
  TestFolder folder(L"links");
  const std::wstring target = folder / L"app 程序.exe";
  CreateEmptyFile(target);

  // Arguments and description count only when four arguments were passed;
  // nil among them leaves the field empty.
  struct Case {
    const wchar_t* name;
    std::vector<LuaValue> extra;  // arguments 3 and on
    std::wstring arguments;
    std::wstring description;
  } cases[] = {
      {L"menu and nil", {Text(L"/menu"), Nil()}, L"/menu", L""},
      {L"three arguments", {Text(L"/menu")}, L"", L""},
      {L"both", {Text(L"/menu --quiet"), Text(L"启动 Pomelia")}, L"/menu --quiet", L"启动 Pomelia"},
      {L"nil and description", {Nil(), Text(L"only a description")}, L"", L"only a description"},
      {L"two arguments", {}, L"", L""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // Each shortcut goes two levels below folders that do not exist yet.
    const std::wstring linkFolder = folder / (std::wstring(c.name) + L"\\开始 menu");
    const std::wstring link = linkFolder + L"\\Pomelia.lnk";
    std::vector<LuaValue> arguments = {Text(target), Text(link)};
    arguments.insert(arguments.end(), c.extra.begin(), c.extra.end());

    EXPECT_TRUE(CallHost("Lua_CreateShortcut", arguments));
    ASSERT_TRUE(::PathFileExistsW(link.c_str()));
    const LinkContents contents = ReadShellLink(link);
    EXPECT_EQ(target, contents.target);
    EXPECT_EQ(c.arguments, contents.arguments);
    EXPECT_EQ(c.description, contents.description);
    EXPECT_EQ(folder.Path(), contents.folder);
  }
}

TEST(CreateShortcut, TargetAndShortcutPathAreExpanded) {
  TestFolder folder(L"expanded links");
  CreateEmptyFile(folder / L"app.exe");
  ScopedEnvironment environment;
  environment.Set(L"ZRB_SHELL_TEST_DIR", folder.Path());

  EXPECT_TRUE(CallHost("Lua_CreateShortcut", {Text(L"%ZRB_SHELL_TEST_DIR%\\app.exe"),
                                              Text(L"%ZRB_SHELL_TEST_DIR%\\links\\app.lnk")}));
  const std::wstring link = folder / L"links\\app.lnk";
  ASSERT_TRUE(::PathFileExistsW(link.c_str()));
  const LinkContents contents = ReadShellLink(link);
  EXPECT_EQ(folder / L"app.exe", contents.target);
  EXPECT_EQ(folder.Path(), contents.folder);
}

TEST(CreateShortcut, WebAddressGivesAnInternetShortcut) {
  TestFolder folder(L"web links");
  const std::wstring url = L"http://www.example.com/pomelia/start?from=setup&lang=zh";
  const std::wstring link = folder / L"网站\\Pomelia.url";

  // Arguments and description do not apply to a web address.
  EXPECT_TRUE(CallHost("Lua_CreateShortcut",
                       {Text(url), Text(link), Text(L"/menu"), Text(L"a description")}));
  wchar_t saved[1024] = {};
  ::GetPrivateProfileStringW(L"InternetShortcut", L"URL", L"", saved, 1024, link.c_str());
  EXPECT_EQ(url, saved);
}

}  // namespace
