// Trace lines and the in-use box of the file host functions, seen from
// outside: a helper runs a script on the engine under the trace reader.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/dialog_driver.h"
#include "tests/support/file_fixture.h"
#include "tests/support/traced_run.h"

namespace {

using zrb::test::HoldFileOpen;
using zrb::test::PathExists;
using zrb::test::ScopedEnvironment;
using zrb::test::SetupPath;
using zrb::test::TempFolder;
using zrb::test::TracedProcess;
using zrb::test::TracedResult;
using zrb::test::WriteFileText;

const wchar_t kSourceFile[] = L"zrbsetup/zrbinstaller/zrbscriptengine/host_files.cpp";

// Starts the helper on `script`; T_ROOT names the test's folder.
TracedProcess StartScript(const std::wstring& script, const std::wstring& root) {
  ScopedEnvironment env;
  env.Set(L"T_SCRIPT", script);
  env.Set(L"T_ROOT", root);
  // The helper copies the environment while the constructor runs.
  return TracedProcess(L"\"" + SetupPath(L"host_script.exe") + L"\"");
}

// Each expected line equals the traced one, or starts it when it ends in "*".
void ExpectLines(const std::vector<std::wstring>& expected, const TracedResult& run) {
  ASSERT_EQ(expected.size(), run.lines.size()) << run.Joined();
  for (size_t i = 0; i < expected.size(); ++i) {
    const std::wstring& want = expected[i];
    if (!want.empty() && want.back() == L'*') {
      EXPECT_EQ(0u, run.lines[i].rfind(want.substr(0, want.size() - 1), 0))
          << "line " << i << ": " << run.lines[i];
    } else {
      EXPECT_EQ(want, run.lines[i]) << "line " << i;
    }
  }
}

TEST(HostFilesTrace, EachOutcomeTracesItsLines) {
  ASSERT_EQ(936u, ::GetACP()) << "run the tests with LC_ALL=zh_CN.UTF-8";
  TempFolder folder;
  WriteFileText(folder / L"file.txt", "f");
  WriteFileText(folder / L"locked.txt", "l");
  WriteFileText(folder / L"tree\\sub\\x.txt", "x");
  WriteFileText(folder / L"single.txt", "s");
  const auto held = HoldFileOpen(folder / L"locked.txt");
  ASSERT_TRUE(held.IsValid());
  // A move onto a drive that does not exist fails everywhere.
  std::wstring noDrive = L"Q:";
  while (noDrive[0] < L'Y' && ::GetDriveTypeW((noDrive + L"\\").c_str()) != DRIVE_NO_ROOT_DIR) {
    ++noDrive[0];
  }
  ScopedEnvironment env;
  env.Set(L"T_NO_DRIVE", noDrive);

  const TracedResult run = StartScript(
                               LR"(
    local root = Lua_ExpandEnv("%T_ROOT%")
    local function at(name) return root .. "\\" .. name end
    Lua_CreateDirectory(root)
    Lua_CreateDirectory(at("新建\\目录"))
    Lua_CreateDirectory(at("file.txt\\sub"))
    Lua_CopyFile(at("missing.txt"), at("copy.txt"))
    Lua_CopyFile(at("file.txt"), at("copy.txt"))
    Lua_CopyFile(at("file.txt"), at("locked.txt"))
    Lua_MoveFile(at("missing.txt"), at("moved.txt"))
    Lua_MoveFile(at("copy.txt"), at("moved.txt"))
    Lua_MoveFile(at("file.txt"), Lua_ExpandEnv("%T_NO_DRIVE%\\moved.txt"))
    Lua_RenameFile(at("missing.txt"), at("renamed.txt"))
    Lua_RenameFile(at("moved.txt"), at("renamed.txt"))
    Lua_RenameFile(at("renamed.txt"), at("locked.txt"))
    Lua_DelFileRecursive(at("missing"))
    Lua_DelFileRecursive(at("tree"))
    Lua_DelFileRecursive(at("single.txt"))
    Lua_DeleteFileAfterReboot(at("missing.txt"))
    Lua_RegVarByCSIDL("T_FILES_FOLDER", 9999)
    Lua_RegVarByCSIDL("T_FILES=FOLDER", 23)
    exit_code = 7
  )",
                               folder.Path())
                               .Wait();
  ASSERT_EQ(7u, run.exitCode) << run.Joined();

  const std::wstring p = folder.Path() + L"\\";
  const std::wstring variable = L"vq SetEnvironmentVariableW failed!vq ";
  ExpectLines(
      {
          L"vq Create Directory " + p + L"新建\\目录!",
          L"vq Fun:Lua_CreateDirectory, Description:" + p + L"file.txt\\sub it's not exists!",
          L"vq Fun:Lua_CopyFile, Description:" + p + L"missing.txt it's not exists!",
          L"vq Copy " + p + L"file.txt to " + p + L"copy.txt !",
          L"vq Copy " + p + L"file.txt to " + p + L"locked.txt failed!",
          L"vq SHFileOperation error code : 0x*",
          L"vq Fun:Lua_MoveFile, Description:" + p + L"missing.txt it's not exists!",
          L"vq Move " + p + L"copy.txt to " + p + L"moved.txt !",
          L"vq Move " + p + L"file.txt to " + noDrive + L"\\moved.txt failed!",
          L"vq SHFileOperation error code : 0x*",
          L"vq Fun:Lua_RenameFile, Description:" + p + L"missing.txt it's not exists!",
          L"vq MoveFile " + p + L"moved.txt to " + p + L"renamed.txt !",
          L"vq MoveFile " + p + L"renamed.txt to " + p + L"locked.txt failed!",
          L"vq Lua_DelFileRecursive",
          L"vq Lua_DelFileRecursive",
          L"vq PathIsDirectoryW",
          L"vq ZRBScriptEngine::DeleteDirectories " + p + L"tree",
          L"vq ZRBScriptEngine::DeleteDirectories " + p + L"tree\\sub",
          L"vq Lua_DelFileRecursive",
          L"vq Path is file!",
          L"vq Lua_DeleteFileAfterReboot",
          L"vq SHGetSpecialFolderPathW csidl=9999 failed!",
          std::wstring(L"vq vq file:") + kSourceFile,
          L"vq vq line:*",
          L"vq vq err:*",
          variable + L"file:" + kSourceFile,
          variable + L"line:*",
          variable + L"err:87",
      },
      run);
  EXPECT_FALSE(PathExists(folder / L"tree"));
  EXPECT_FALSE(PathExists(folder / L"single.txt"));
  EXPECT_TRUE(PathExists(folder / L"renamed.txt"));
}

const wchar_t kBoxCaption[] = L"提示";

HWND WaitForBox(DWORD timeoutMs = 30000) {
  for (const DWORD start = ::GetTickCount(); ::GetTickCount() - start < timeoutMs; ::Sleep(50)) {
    if (HWND box = ::FindWindowW(L"#32770", kBoxCaption)) return box;
  }
  return nullptr;
}

void WaitUntilClosed(HWND box, DWORD timeoutMs = 30000) {
  for (const DWORD start = ::GetTickCount(); ::GetTickCount() - start < timeoutMs; ::Sleep(20)) {
    if (!::IsWindow(box)) return;
  }
}

int Count(const TracedResult& run, const std::wstring& line) {
  int count = 0;
  for (const std::wstring& traced : run.lines) count += traced == line ? 1 : 0;
  return count;
}

// A file held open without sharing cannot be deleted: the user is asked,
// and each answer has its effect.
TEST(HostFilesTrace, DeleteFileAsksWhenTheFileIsInUse) {
  ASSERT_EQ(936u, ::GetACP()) << "run the tests with LC_ALL=zh_CN.UTF-8";
  const struct {
    const char* name;
    std::vector<int> answers;
    bool releaseBeforeLastAnswer;
    DWORD exitCode;  // 11: true, 12: false, 0: the process ended at once
    bool fileAfter;
    int failureTraces;
  } cases[] = {
      {"ignore", {IDIGNORE}, false, 11, true, 1},
      {"retry while still held, then ignore", {IDRETRY, IDIGNORE}, false, 11, true, 1},
      {"retry once released", {IDRETRY}, true, 11, false, 0},
      {"abort", {IDABORT}, false, 0, true, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    const std::wstring file = folder / L"占用中.txt";
    WriteFileText(file, "in use");
    auto held = HoldFileOpen(file);
    ASSERT_TRUE(held.IsValid());

    TracedProcess process = StartScript(
        LR"(
      local deleted = Lua_DeleteFile("%T_ROOT%\\占用中.txt")
      exit_code = deleted and 11 or 12
    )",
        folder.Path());
    for (size_t i = 0; i < c.answers.size(); ++i) {
      HWND box = WaitForBox();
      ASSERT_NE(nullptr, box) << "no box before answer " << i;
      if (c.releaseBeforeLastAnswer && i + 1 == c.answers.size()) held.Reset();
      const auto seen = zrb::test::AnswerDialog(kBoxCaption, c.answers[i]);
      ASSERT_TRUE(seen.has_value());
      EXPECT_EQ(
          L"无法删除\"" + file +
              L"\"，可能是被占用，请关闭占用程序后点击重试或者点击忽略在卸载完成之后手动删除！",
          seen->text);
      WaitUntilClosed(box);
    }
    const TracedResult run = process.Wait();
    held.Reset();
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(c.exitCode, run.exitCode) << run.Joined();
    EXPECT_EQ(c.fileAfter, PathExists(file));
    EXPECT_EQ(c.failureTraces, Count(run, L"vq Delete " + file + L" failed!")) << run.Joined();
    EXPECT_EQ(c.failureTraces, Count(run, L"vq SHFileOperation error code : 0x20")) << run.Joined();
    EXPECT_EQ(nullptr, ::FindWindowW(L"#32770", kBoxCaption)) << "a box was left";
  }
}

}  // namespace
