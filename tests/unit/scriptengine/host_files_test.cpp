// The file and folder host functions, called from scripts on the real engine
// against real files in a temporary folder.
#include <gtest/gtest.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/file_fixture.h"
#include "tests/support/traced_run.h"
#include "tests/unit/scriptengine/host_script_call.h"

namespace {

using zrb::test::CurrentDirectoryRestorer;
using zrb::test::DescribeCall;
using zrb::test::MakeFolders;
using zrb::test::PathExists;
using zrb::test::ReadFileText;
using zrb::test::ScopedEnvironment;
using zrb::test::TempFolder;
using zrb::test::WriteFileText;

bool IsFolder(const std::wstring& path) { return ::PathIsDirectoryW(path.c_str()) != FALSE; }

class HostFiles : public ::testing::Test {
 protected:
  HostFiles() { env_.Set(L"T_FILES_ROOT", folder_.Path()); }

  TempFolder folder_;
  ScopedEnvironment env_;
};

TEST_F(HostFiles, CreateDirectoryMakesEveryMissingFolder) {
  WriteFileText(folder_ / L"file.txt", "x");
  const struct {
    std::wstring argument;
    std::wstring expected;
    std::wstring folder;  // exists afterwards; empty: nothing there
  } cases[] = {
      {folder_.Path(), L"1:true", folder_.Path()},
      {folder_ / L"a\\b\\c", L"1:true", folder_ / L"a\\b\\c"},
      {folder_ / L"中文目录\\子 目录\\ünïcödé", L"1:true", folder_ / L"中文目录\\子 目录\\ünïcödé"},
      {L"%T_FILES_ROOT%\\from env\\deep", L"1:true", folder_ / L"from env\\deep"},
      {folder_ / L"file.txt\\sub", L"1:false", L""},
      {L"", L"1:false", L""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.expected, DescribeCall("Lua_CreateDirectory(p1)", {c.argument})) << c.argument;
    if (!c.folder.empty()) {
      EXPECT_TRUE(IsFolder(c.folder)) << c.folder;
    }
  }
  EXPECT_FALSE(PathExists(folder_ / L"file.txt\\sub"));
}

// Each case runs in a folder of its own holding the same few files; its
// paths are relative to that folder, reached through %T_CASE%.
struct TransferCase {
  const char* function;
  const wchar_t* source;
  const wchar_t* destination;
  const wchar_t* expected;
  const wchar_t* check;      // a path to look at afterwards
  const char* checkContent;  // its content; null: it must not exist
  bool sourceAfter;          // whether the source exists afterwards
};

void PopulateTransferFolder(const std::wstring& folder) {
  WriteFileText(folder + L"\\src.txt", "new");
  WriteFileText(folder + L"\\old.txt", "old");
  WriteFileText(folder + L"\\tree\\a.txt", "a");
  WriteFileText(folder + L"\\tree\\sub\\b.txt", "b", FILE_ATTRIBUTE_HIDDEN);
  WriteFileText(folder + L"\\源文件.txt", "中文内容");
  MakeFolders(folder + L"\\dest");
}

TEST_F(HostFiles, CopyMoveAndRenameFollowTheirOverwriteRules) {
  const TransferCase cases[] = {
      {"Lua_CopyFile", L"src.txt", L"copy.txt", L"1:true", L"copy.txt", "new", true},
      {"Lua_CopyFile", L"src.txt", L"old.txt", L"1:true", L"old.txt", "new", true},
      {"Lua_CopyFile", L"missing.txt", L"old.txt", L"1:false", L"old.txt", "old", false},
      {"Lua_CopyFile", L"tree", L"tree2", L"1:true", L"tree2\\sub\\b.txt", "b", true},
      {"Lua_CopyFile", L"源文件.txt", L"新目录\\目标.txt", L"1:true", L"新目录\\目标.txt",
       "中文内容", true},
      {"Lua_MoveFile", L"src.txt", L"moved.txt", L"1:true", L"moved.txt", "new", false},
      {"Lua_MoveFile", L"src.txt", L"old.txt", L"1:true", L"old.txt", "new", false},
      {"Lua_MoveFile", L"missing.txt", L"old.txt", L"1:false", L"old.txt", "old", false},
      {"Lua_MoveFile", L"tree", L"dest", L"1:true", L"dest\\tree\\sub\\b.txt", "b", false},
      {"Lua_MoveFile", L"源文件.txt", L"移动后.txt", L"1:true", L"移动后.txt", "中文内容", false},
      {"Lua_RenameFile", L"src.txt", L"renamed.txt", L"1:true", L"renamed.txt", "new", false},
      {"Lua_RenameFile", L"src.txt", L"old.txt", L"1:true", L"old.txt", "new", false},
      {"Lua_RenameFile", L"missing.txt", L"old.txt", L"1:false", L"old.txt", "old", false},
      {"Lua_RenameFile", L"src.txt", L"no folder\\x.txt", L"1:false", L"no folder\\x.txt", nullptr,
       true},
      {"Lua_RenameFile", L"tree", L"树", L"1:true", L"树\\sub\\b.txt", "b", false},
      {"Lua_RenameFile", L"源文件.txt", L"改名.txt", L"1:true", L"改名.txt", "中文内容", false},
  };
  int number = 0;
  for (const TransferCase& c : cases) {
    const std::wstring caseFolder = folder_ / (L"case" + std::to_wstring(++number));
    PopulateTransferFolder(caseFolder);
    ScopedEnvironment env;
    env.Set(L"T_CASE", caseFolder);
    const std::string call = std::string(c.function) + "(p1, p2)";
    SCOPED_TRACE(call + " #" + std::to_string(number));
    EXPECT_EQ(c.expected, DescribeCall(call, {std::wstring(L"%T_CASE%\\") + c.source,
                                              std::wstring(L"%T_CASE%\\") + c.destination}));
    const auto content = ReadFileText(caseFolder + L"\\" + c.check);
    if (c.checkContent) {
      EXPECT_EQ(c.checkContent, content.value_or("<missing>"));
    } else {
      EXPECT_FALSE(PathExists(caseFolder + L"\\" + c.check));
    }
    EXPECT_EQ(c.sourceAfter, PathExists(caseFolder + L"\\" + c.source));
  }
}

// The shell reads an empty destination as the current directory; copying or
// moving there is refused, as is a destination too long to expand.
TEST_F(HostFiles, CopyAndMoveRefuseAnEmptyDestination) {
  CurrentDirectoryRestorer restorer;
  const std::wstring current = folder_ / L"current";
  MakeFolders(current);
  ASSERT_TRUE(::SetCurrentDirectoryW(current.c_str()));
  WriteFileText(folder_ / L"src.txt", "new");
  env_.Set(L"T_FILES_LONG", std::wstring(300, L'x'));
  for (const char* call : {"Lua_CopyFile(p1, p2)", "Lua_MoveFile(p1, p2)"}) {
    for (const wchar_t* destination : {L"", L"%T_FILES_LONG%"}) {
      EXPECT_EQ(L"1:false", DescribeCall(call, {folder_ / L"src.txt", destination})) << call;
    }
  }
  EXPECT_TRUE(PathExists(folder_ / L"src.txt"));
  EXPECT_FALSE(PathExists(current + L"\\src.txt"));
}

void PopulateTree(const std::wstring& tree) {
  WriteFileText(tree + L"\\plain.txt", "p");
  WriteFileText(tree + L"\\read-only.txt", "r", FILE_ATTRIBUTE_READONLY);
  WriteFileText(tree + L"\\hidden.txt", "h", FILE_ATTRIBUTE_HIDDEN);
  WriteFileText(tree + L"\\sub\\system.dll", "s", FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN);
  WriteFileText(tree + L"\\sub\\deeper\\隐藏只读.txt", "x",
                FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
  WriteFileText(tree + L"\\中文 目录\\文件.txt", "中");
  MakeFolders(tree + L"\\empty\\a\\b\\c");
}

TEST_F(HostFiles, DeleteFileDeletesFilesAndTrees) {
  WriteFileText(folder_ / L"file.txt", "f");
  WriteFileText(folder_ / L"中文文件.txt", "f");
  WriteFileText(folder_ / L"tree\\hidden.txt", "h", FILE_ATTRIBUTE_HIDDEN);
  WriteFileText(folder_ / L"tree\\sub\\x.txt", "x");
  MakeFolders(folder_ / L"tree\\empty");
  for (const wchar_t* name : {L"missing.txt", L"file.txt", L"中文文件.txt", L"tree"}) {
    EXPECT_EQ(L"1:true", DescribeCall("Lua_DeleteFile(p1)", {folder_ / name})) << name;
    EXPECT_FALSE(PathExists(folder_ / name)) << name;
  }
  EXPECT_EQ(L"1:true", DescribeCall("Lua_DeleteFile(p1)", {L""}));
}

TEST_F(HostFiles, DelFileRecursiveRemovesWholeTreesAndAnswersOnlyForMissingPaths) {
  PopulateTree(folder_ / L"tree");
  WriteFileText(folder_ / L"single.txt", "s");
  const struct {
    std::wstring argument;
    std::wstring expected;
    std::wstring gone;
  } cases[] = {
      {folder_ / L"missing", L"1:true", folder_ / L"missing"},
      {L"%T_FILES_ROOT%\\tree", L"0:nil", folder_ / L"tree"},
      {folder_ / L"single.txt", L"0:nil", folder_ / L"single.txt"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.expected, DescribeCall("Lua_DelFileRecursive(p1)", {c.argument})) << c.argument;
    EXPECT_FALSE(PathExists(c.gone)) << c.gone;
  }
  EXPECT_TRUE(IsFolder(folder_.Path()));
}

// Wine keeps the paths to delete at the next start in the registry, like
// Windows: "\??\path" followed by an empty new name.
const wchar_t kSessionManager[] = L"System\\CurrentControlSet\\Control\\Session Manager";
const wchar_t kPendingValue[] = L"PendingFileRenameOperations";

std::vector<std::wstring> PendingOperations() {
  std::vector<std::wstring> entries;
  DWORD size = 0;
  if (::RegGetValueW(HKEY_LOCAL_MACHINE, kSessionManager, kPendingValue, RRF_RT_REG_MULTI_SZ,
                     nullptr, nullptr, &size) != ERROR_SUCCESS) {
    return entries;
  }
  std::wstring data(size / sizeof(wchar_t) + 1, L'\0');
  if (::RegGetValueW(HKEY_LOCAL_MACHINE, kSessionManager, kPendingValue, RRF_RT_REG_MULTI_SZ,
                     nullptr, data.data(), &size) != ERROR_SUCCESS) {
    return entries;
  }
  data.resize(size / sizeof(wchar_t));
  // Entries are zero-terminated; the list ends with one more zero.
  for (size_t start = 0; start < data.size();) {
    const size_t end = data.find(L'\0', start);
    if (end == std::wstring::npos || (end == start && end + 1 >= data.size())) break;
    entries.push_back(data.substr(start, end - start));
    start = end + 1;
  }
  return entries;
}

// Takes the pair (source, empty) for `path` out of the pending list again.
void ForgetPendingDeletion(const std::wstring& source) {
  std::vector<std::wstring> entries = PendingOperations();
  std::wstring data;
  for (size_t i = 0; i + 1 < entries.size(); i += 2) {
    if (entries[i] == source) continue;
    data += entries[i] + L'\0' + entries[i + 1] + L'\0';
  }
  zrb::UniqueRegistryKey key;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_SET_VALUE, key.Receive()) !=
      ERROR_SUCCESS) {
    return;
  }
  if (data.empty()) {
    ::RegDeleteValueW(key.Get(), kPendingValue);
  } else {
    data += L'\0';
    ::RegSetValueExW(key.Get(), kPendingValue, 0, REG_MULTI_SZ,
                     reinterpret_cast<const BYTE*>(data.data()),
                     static_cast<DWORD>(data.size() * sizeof(wchar_t)));
  }
}

TEST_F(HostFiles, DeleteFileAfterRebootRegistersThePath) {
  const std::wstring file = folder_ / L"重启后删除.txt";
  WriteFileText(file, "x");
  const std::wstring registered = L"\\??\\" + file;
  EXPECT_EQ(L"1:true", DescribeCall("Lua_DeleteFileAfterReboot(p1)", {folder_ / L"missing.txt"}));
  EXPECT_EQ(L"1:true",
            DescribeCall("Lua_DeleteFileAfterReboot(p1)", {L"%T_FILES_ROOT%\\重启后删除.txt"}));
  const std::vector<std::wstring> entries = PendingOperations();
  ForgetPendingDeletion(registered);
  const auto at = std::find(entries.begin(), entries.end(), registered);
  ASSERT_NE(entries.end(), at) << "not registered";
  ASSERT_NE(entries.end(), at + 1);
  EXPECT_EQ(L"", *(at + 1)) << "a deletion has no new name";
  EXPECT_EQ(entries.end(),
            std::find(entries.begin(), entries.end(), L"\\??\\" + (folder_ / L"missing.txt")));
  EXPECT_TRUE(PathExists(file)) << "nothing goes before the restart";
}

std::wstring FileName(const std::wstring& path) {
  return path.substr(path.find_last_of(L'\\') + 1);
}

TEST_F(HostFiles, GetTempFileNameCreatesAnEmptyUniqueFile) {
  MakeFolders(folder_ / L"中文");
  const struct {
    std::wstring folder;
    std::wstring prefix;
    std::wstring expectedFolder;
    std::wstring nameStart;
  } cases[] = {
      {folder_.Path(), L"ZRBTMP", folder_.Path(), L"ZRB"},
      {L"%T_FILES_ROOT%\\中文", L"安装程序", folder_ / L"中文", L"安装程"},
      // The prefix is taken as it is, not expanded.
      {folder_.Path(), L"%T_FILES_ROOT%", folder_.Path(), L"%T_"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.prefix);
    std::vector<std::wstring> made;
    for (int i = 0; i < 2; ++i) {
      const std::wstring outcome =
          DescribeCall("Lua_GetTempFileName(p1, p2)", {c.folder, c.prefix});
      ASSERT_EQ(0u, outcome.rfind(L"1:" + c.expectedFolder + L"\\", 0)) << outcome;
      made.push_back(outcome.substr(2));
    }
    EXPECT_NE(made[0], made[1]);
    for (const std::wstring& path : made) {
      const std::wstring name = FileName(path);
      EXPECT_EQ(0u, name.rfind(c.nameStart, 0)) << name;
      EXPECT_EQ(L".tmp", name.substr(name.size() - 4)) << name;
      EXPECT_EQ("", ReadFileText(path).value_or("<missing>")) << path;
    }
  }
  EXPECT_EQ(L"1:nil", DescribeCall("Lua_GetTempFileName(p1, p2)", {folder_ / L"missing", L"abc"}));
}

TEST_F(HostFiles, ExpandEnvExpandsItsLastArgument) {
  env_.Set(L"T_FILES_VALUE", L"C:\\中文 目录");
  const struct {
    std::string call;
    std::wstring expected;
  } cases[] = {
      {"Lua_ExpandEnv('%T_FILES_VALUE%\\\\bin')", L"1:C:\\中文 目录\\bin"},
      {"Lua_ExpandEnv('ignored', '%T_FILES_VALUE%')", L"1:C:\\中文 目录"},
      {"Lua_ExpandEnv('%T_FILES_NOT_SET%')", L"1:%T_FILES_NOT_SET%"},
      {"Lua_ExpandEnv(42)", L"1:42"},
      {"Lua_ExpandEnv()", L"1:"},
      {"Lua_ExpandEnv({})", L"1:"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.expected, DescribeCall(c.call)) << c.call;
}

std::wstring ShellFolder(int csidl) {
  wchar_t path[MAX_PATH] = {};
  if (!::SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE)) return L"<none>";
  return path;
}

TEST_F(HostFiles, RegVarByCsidlPublishesShellFoldersToLaterExpansions) {
  const struct {
    std::string call;
    std::wstring expected;
    const char* expansion;
    std::wstring expandsTo;
  } cases[] = {
      {"Lua_RegVarByCSIDL('COMMPROGRAMS', 23)", L"1:true", "%COMMPROGRAMS%\\\\Pomelia",
       ShellFolder(CSIDL_COMMON_PROGRAMS) + L"\\Pomelia"},
      {"Lua_RegVarByCSIDL('T_FILES_APPDATA', '26')", L"1:true", "%T_FILES_APPDATA%",
       ShellFolder(CSIDL_APPDATA)},
      {"Lua_RegVarByCSIDL('T_FILES_BAD_CSIDL', 9999)", L"1:false", "%T_FILES_BAD_CSIDL%",
       L"%T_FILES_BAD_CSIDL%"},
      {"Lua_RegVarByCSIDL('T_FILES=BAD', 23)", L"1:false", "%T_FILES=BAD%", L"%T_FILES=BAD%"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.expected, DescribeCall(c.call)) << c.call;
    EXPECT_EQ(L"1:" + c.expandsTo,
              DescribeCall(std::string("Lua_ExpandEnv('") + c.expansion + "')"))
        << c.call;
  }
  ::SetEnvironmentVariableW(L"COMMPROGRAMS", nullptr);
  ::SetEnvironmentVariableW(L"T_FILES_APPDATA", nullptr);
}

}  // namespace
