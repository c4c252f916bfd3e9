// The engine's recursive delete on real trees: patterns, the current
// directory, and the places it must never reach (through links, or a whole
// volume).
#include <gtest/gtest.h>
#include <shlwapi.h>

#include <string>

#include "tests/support/file_fixture.h"
#include "tests/unit/scriptengine/host_script_call.h"
#include "zrbinstaller/zrbscriptengine/zrbscriptengine.h"

namespace {

using zrb::test::CurrentDirectory;
using zrb::test::CurrentDirectoryRestorer;
using zrb::test::DescribeCall;
using zrb::test::MakeFolders;
using zrb::test::PathExists;
using zrb::test::QuotedArgument;
using zrb::test::RunUnixProgram;
using zrb::test::TempFolder;
using zrb::test::UnixPath;
using zrb::test::WriteFileText;

TEST(DeleteDirectories, PatternDeletesMatchesButNeverItsFolder) {
  TempFolder folder;
  WriteFileText(folder / L"a.tmp", "a");
  WriteFileText(folder / L"read-only.tmp", "r", FILE_ATTRIBUTE_READONLY);
  WriteFileText(folder / L"隐藏.tmp", "h", FILE_ATTRIBUTE_HIDDEN);
  WriteFileText(folder / L"keep.txt", "k");
  WriteFileText(folder / L"matching.tmp\\inner.txt", "i");
  WriteFileText(folder / L"other\\nested.tmp", "n");

  ZRBScriptEngine::DeleteDirectories(folder / L"*.tmp");

  for (const wchar_t* gone : {L"a.tmp", L"read-only.tmp", L"隐藏.tmp", L"matching.tmp"}) {
    EXPECT_FALSE(PathExists(folder / gone)) << gone;
  }
  // Folders that do not match keep what they hold, matching or not.
  for (const wchar_t* kept : {L"keep.txt", L"other\\nested.tmp"}) {
    EXPECT_TRUE(PathExists(folder / kept)) << kept;
  }
  EXPECT_TRUE(PathExists(folder.Path()));
}

TEST(DeleteDirectories, TreesGoWithReadOnlyAndHiddenFiles) {
  TempFolder folder;
  const std::wstring tree = folder / L"树";
  WriteFileText(tree + L"\\r.txt", "r", FILE_ATTRIBUTE_READONLY);
  WriteFileText(tree + L"\\a\\b\\c\\d\\deep.txt", "d",
                FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
  WriteFileText(tree + L"\\a\\system.dat", "s", FILE_ATTRIBUTE_SYSTEM);
  MakeFolders(tree + L"\\empty\\nested");
  // A trailing separator names the same folder.
  ZRBScriptEngine::DeleteDirectories(tree + L"\\");
  EXPECT_FALSE(PathExists(tree));
  EXPECT_TRUE(PathExists(folder.Path()));
}

// A folder that is the current directory cannot be removed; the delete
// steps out to the parent first, however the path is written.
TEST(DeleteDirectories, StepsOutOfTheCurrentDirectory) {
  TempFolder folder(L"cwd");
  CurrentDirectoryRestorer restorer;  // back before the folder goes
  const std::wstring parent = folder.Path();
  const struct {
    std::wstring folder;
    std::wstring argument;
  } cases[] = {
      {parent + L"\\current", parent + L"\\current"},
      {parent + L"\\Mixed", parent + L"\\MIXED\\"},
      {parent + L"\\outer", parent + L"\\outer"},  // the current directory is deeper inside
  };
  for (const auto& c : cases) {
    const std::wstring current =
        c.folder == parent + L"\\outer" ? c.folder + L"\\in\\most" : c.folder;
    WriteFileText(current + L"\\f.txt", "f");
    ASSERT_TRUE(::SetCurrentDirectoryW(current.c_str())) << current;
    ZRBScriptEngine::DeleteDirectories(c.argument);
    EXPECT_FALSE(PathExists(c.folder)) << c.argument;
    EXPECT_EQ(CSTR_EQUAL,
              ::CompareStringOrdinal(parent.c_str(), -1, CurrentDirectory().c_str(), -1, TRUE))
        << CurrentDirectory();
  }
}

// Under Wine a Unix symbolic link to a folder shows as a reparse point, as a
// junction or folder link does on Windows.
bool MakeUnixLink(const std::wstring& target, const std::wstring& link) {
  const auto unixTarget = UnixPath(target);
  const auto unixLink = UnixPath(link);
  if (!unixTarget || !unixLink) return false;
  return RunUnixProgram(L"Z:\\bin\\ln",
                        L"-s " + QuotedArgument(*unixTarget) + L" " + QuotedArgument(*unixLink),
                        [&link] {
                          const DWORD attributes = ::GetFileAttributesW(link.c_str());
                          return attributes != INVALID_FILE_ATTRIBUTES &&
                                 (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
                        });
}

TEST(DeleteDirectories, LinksToFoldersAreRemovedNotEntered) {
  if (!UnixPath(L"C:\\")) GTEST_SKIP() << "links are made with Wine's Unix side";
  TempFolder outside(L"outside");
  WriteFileText(outside / L"precious.txt", "keep me");
  WriteFileText(outside / L"sub\\also.txt", "keep me too");
  TempFolder folder;
  WriteFileText(folder / L"tree\\own.txt", "o");
  MakeFolders(folder / L"pattern");
  ASSERT_TRUE(MakeUnixLink(outside.Path(), folder / L"tree\\link"));
  ASSERT_TRUE(MakeUnixLink(outside.Path(), folder / L"top link"));
  ASSERT_TRUE(MakeUnixLink(outside.Path(), folder / L"pattern\\link.tmp"));

  ZRBScriptEngine::DeleteDirectories(folder / L"tree");
  ZRBScriptEngine::DeleteDirectories(folder / L"top link");
  ZRBScriptEngine::DeleteDirectories(folder / L"pattern\\*.tmp");
  EXPECT_EQ(L"0:nil", DescribeCall("Lua_DelFileRecursive(p1)", {folder / L"top link"}));

  EXPECT_FALSE(PathExists(folder / L"tree\\own.txt"));
  EXPECT_TRUE(PathExists(outside / L"precious.txt"));
  EXPECT_TRUE(PathExists(outside / L"sub\\also.txt"));
}

// A drive letter of Wine's, mapped to a temporary folder for the test.
class MappedDrive {
 public:
  explicit MappedDrive(const std::wstring& target) {
    const auto cDrive = UnixPath(L"C:\\");
    const auto unixTarget = UnixPath(target);
    const std::string suffix = "/dosdevices/c:/";
    if (!cDrive || !unixTarget || cDrive->size() <= suffix.size() ||
        cDrive->compare(cDrive->size() - suffix.size(), suffix.size(), suffix) != 0) {
      return;
    }
    const std::string devices = cDrive->substr(0, cDrive->size() - 3);
    for (wchar_t letter = L'R'; letter <= L'Y'; ++letter) {
      const std::wstring root = std::wstring(1, letter) + L":\\";
      if (::GetDriveTypeW(root.c_str()) != DRIVE_NO_ROOT_DIR) continue;
      link_ = devices + static_cast<char>(letter - L'A' + 'a') + ":";
      const std::wstring sentinel = root + L"sentinel.txt";
      if (RunUnixProgram(L"Z:\\bin\\ln",
                         L"-s " + QuotedArgument(*unixTarget) + L" " + QuotedArgument(link_),
                         [&sentinel] { return PathExists(sentinel); })) {
        root_ = root;
      }
      return;
    }
  }
  ~MappedDrive() {
    if (link_.empty()) return;
    const std::wstring drive = root_.empty() ? L"" : root_ + L"sentinel.txt";
    RunUnixProgram(L"Z:\\bin\\rm", L"-f " + QuotedArgument(link_),
                   [&drive] { return drive.empty() || !PathExists(drive); });
  }
  MappedDrive(const MappedDrive&) = delete;
  MappedDrive& operator=(const MappedDrive&) = delete;

  // "X:\", or empty when no drive could be mapped.
  const std::wstring& Root() const { return root_; }

 private:
  std::string link_;
  std::wstring root_;
};

// An empty folder name joined with a separator gives a root: the delete
// never empties a whole volume, however the root is written.
TEST(DeleteDirectories, NeverEmptiesAVolumeRoot) {
  if (!UnixPath(L"C:\\")) GTEST_SKIP() << "drives are mapped with Wine's Unix side";
  TempFolder volume(L"volume");
  WriteFileText(volume / L"sentinel.txt", "s");
  WriteFileText(volume / L"folder\\inner.txt", "i");
  MappedDrive drive(volume.Path());
  ASSERT_FALSE(drive.Root().empty()) << "no free drive letter could be mapped";
  const std::wstring root = drive.Root();
  const std::wstring letter = root.substr(0, 2);
  for (const std::wstring& path :
       {root, letter, root + L"*", root + L"*.*", root + L"folder\\.."}) {
    ZRBScriptEngine::DeleteDirectories(path);
    EXPECT_TRUE(PathExists(root + L"sentinel.txt")) << path;
    EXPECT_TRUE(PathExists(root + L"folder\\inner.txt")) << path;
  }
  EXPECT_EQ(L"0:nil", DescribeCall("Lua_DelFileRecursive(p1)", {root}));
  EXPECT_TRUE(PathExists(root + L"sentinel.txt"));
  // Below the root, deletes work as always.
  ZRBScriptEngine::DeleteDirectories(root + L"folder");
  EXPECT_FALSE(PathExists(volume / L"folder"));
}

}  // namespace
