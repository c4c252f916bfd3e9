// Lua_UnCompress7z as scripts call it: arguments, the per-file callback and
// the create-error callback with a file that another process holds open.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/traced_run.h"
#include "tests/unit/payload/payload_test_support.h"
#include "tests/unit/scriptengine/test_engine.h"

namespace {

using zrb::test::ArchivePath;
using zrb::test::Engine;
using zrb::test::ReadBytes;
using zrb::test::RunScript;
using zrb::test::ScratchFolder;
using zrb::test::SourceTree;

// Holds a file open from another process (file_holder.exe) for the life of
// the object.
class HeldFile {
 public:
  HeldFile(const std::wstring& path, bool shareForRenaming) {
    static int counter = 0;
    const std::wstring tag =
        std::to_wstring(::GetCurrentProcessId()) + L"_" + std::to_wstring(++counter);
    const std::wstring readyName = L"zrb_held_ready_" + tag;
    const std::wstring releaseName = L"zrb_held_release_" + tag;
    ready_ = ::CreateEventW(nullptr, TRUE, FALSE, readyName.c_str());
    release_ = ::CreateEventW(nullptr, TRUE, FALSE, releaseName.c_str());
    std::wstring command = L"\"" + zrb::test::TestProgramFolder() + L"file_holder.exe\" \"" + path +
                           L"\" " + (shareForRenaming ? L"delete " : L"none ") + readyName + L" " +
                           releaseName;
    STARTUPINFOW startup = {sizeof(startup)};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process_)) {
      return;
    }
    ::CloseHandle(process_.hThread);
    const HANDLE waits[] = {ready_, process_.hProcess};
    held_ = ::WaitForMultipleObjects(2, waits, FALSE, 30000) == WAIT_OBJECT_0;
  }

  ~HeldFile() {
    ::SetEvent(release_);
    if (process_.hProcess) {
      ::WaitForSingleObject(process_.hProcess, 30000);
      ::CloseHandle(process_.hProcess);
    }
    ::CloseHandle(ready_);
    ::CloseHandle(release_);
  }

  HeldFile(const HeldFile&) = delete;
  HeldFile& operator=(const HeldFile&) = delete;

  bool held() const { return held_; }

 private:
  HANDLE ready_ = nullptr;
  HANDLE release_ = nullptr;
  PROCESS_INFORMATION process_ = {};
  bool held_ = false;
};

const std::string kOldContent = "old content, still in use";

std::string NewContent(const std::wstring& name) {
  return ReadBytes(SourceTree(L"lock") + L"\\sub\\" + name);
}

TEST(UnCompressScript, CreateErrorCallbackDecidesAboutFilesInUse) {
  struct Case {
    const char* what;
    const wchar_t* locked;      // the file held by another process
    bool shareForRenaming;      // whether it can be moved aside while held
    const char* onCreateError;  // Lua expression: the callback argument
    const char* decision;       // what the callback answers (moves the file aside on 0)
    bool result;
    std::vector<const wchar_t*> written;  // per-file callback, in order
  } cases[] = {
      {"moved aside and created again",
       L"2.txt",
       true,
       "on_error",
       "0",
       true,
       {L"1.txt", L"2.txt", L"3.txt"}},
      {"still held after moving failed", L"2.txt", false, "on_error", "0", false, {L"1.txt"}},
      {"skipped", L"2.txt", false, "on_error", "1", true, {L"1.txt", L"3.txt"}},
      {"aborted with 2", L"2.txt", false, "on_error", "2", false, {L"1.txt"}},
      {"aborted with another number", L"2.txt", false, "on_error", "-7", false, {L"1.txt"}},
      {"an answer that is no number means again",
       L"2.txt",
       false,
       "on_error",
       "'later'",
       false,
       {L"1.txt"}},
      {"no callback", L"2.txt", false, "nil", "0", false, {L"1.txt"}},
      {"skipping the last file leaves its error",
       L"3.txt",
       false,
       "on_error",
       "1",
       false,
       {L"1.txt", L"2.txt"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchFolder scratch;
    const std::wstring destination = scratch.Folder(L"dest");
    const std::wstring sub = scratch.Folder(L"dest\\sub");
    const std::wstring locked = sub + L"\\" + c.locked;
    ASSERT_TRUE(zrb::test::WriteBytes(locked, kOldContent));
    auto held = std::make_unique<HeldFile>(locked, c.shareForRenaming);
    ASSERT_TRUE(held->held());

    Engine()->SetGlobalString("t_archive", ArchivePath(L"lock"));
    Engine()->SetGlobalString("t_dest", destination);
    RunScript(std::string(R"(
      local written, errors = {}, {}
      local function on_file(path) written[#written + 1] = path end
      local function on_error(path, code)
        errors[#errors + 1] = {path, code}
        local decision = )") +
              c.decision + R"(
        if decision == 0 then os.rename(path, path .. ".old") end
        return decision
      end
      t_result = Lua_UnCompress7z(t_archive, t_dest, true, on_file, )" +
              c.onCreateError + R"()
      t_written = table.concat(written, "|")
      t_error_count = #errors
      t_error_path = errors[1] and errors[1][1] or ""
      t_error_code = errors[1] and errors[1][2] or 0
    )");

    EXPECT_EQ(c.result, Engine()->GetGlobalBoolean("t_result"));
    std::wstring written;
    for (const wchar_t* name : c.written) {
      written += (written.empty() ? L"" : L"|") + sub + L"\\" + name;
    }
    EXPECT_EQ(written, Engine()->GetGlobalString("t_written"));
    const bool withCallback = std::string(c.onCreateError) != "nil";
    EXPECT_EQ(withCallback ? 1 : 0, Engine()->GetGlobalInteger("t_error_count"));
    if (withCallback) {
      EXPECT_EQ(locked, Engine()->GetGlobalString("t_error_path"));
      EXPECT_THAT(Engine()->GetGlobalInteger("t_error_code"),
                  testing::AnyOf(ERROR_SHARING_VIOLATION, ERROR_ACCESS_DENIED));
    }
    // Written files hold the new content; the held file is untouched unless
    // it was moved aside and replaced. (Read once the holder has let go.)
    held.reset();
    for (const wchar_t* name : {L"1.txt", L"2.txt", L"3.txt"}) {
      const std::wstring path = sub + L"\\" + name;
      const bool isWritten =
          std::find_if(c.written.begin(), c.written.end(), [&](const wchar_t* w) {
            return std::wstring(w) == name;
          }) != c.written.end();
      if (isWritten) {
        EXPECT_EQ(NewContent(name), ReadBytes(path)) << path;
      } else if (path == locked) {
        EXPECT_EQ(kOldContent, ReadBytes(path));
      } else {
        EXPECT_FALSE(zrb::test::Exists(path)) << path;
      }
    }
    if (c.shareForRenaming) {
      EXPECT_EQ(kOldContent, ReadBytes(locked + L".old"));
    }
  }
}

TEST(UnCompressScript, ArgumentsChooseSourceDestinationAndCallbacks) {
  struct Case {
    const char* call;
    bool result;
  } cases[] = {
      {"Lua_UnCompress7z(t_archive, t_dest, true)", true},
      {"Lua_UnCompress7z(t_archive, '%T_PAYLOAD_DEST%', true)", true},
      {"Lua_UnCompress7z(t_archive, t_dest, true, {}, 'not a function')", true},
      {"Lua_UnCompress7z(t_archive)", false},
      {"Lua_UnCompress7z(t_archive, t_dest, true, nil, nil, 'sixth')", false},
      {"Lua_UnCompress7z(t_archive, t_dest .. '\\\\missing', true)", false},
      {"Lua_UnCompress7z(t_archive .. '.none', t_dest, true)", false},
      // Without a true flag the source names a resource: this program has none.
      {"Lua_UnCompress7z(t_archive, t_dest, 1)", false},
      {"Lua_UnCompress7z(101, t_dest)", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.call);
    ScratchFolder scratch;
    const std::wstring destination = scratch.Folder(L"dest");
    zrb::test::ScopedEnvironment environment;
    environment.Set(L"T_PAYLOAD_DEST", destination);
    Engine()->SetGlobalString("t_archive", ArchivePath(L"lock"));
    Engine()->SetGlobalString("t_dest", destination);
    RunScript(std::string("t_result = ") + c.call);
    EXPECT_EQ(c.result, Engine()->GetGlobalBoolean("t_result"));
    EXPECT_EQ(c.result ? 3u : 0u, zrb::test::ListTree(destination).size());
  }
}

}  // namespace
