// Files and folders for tests: a temporary folder removed with its contents,
// small text files, files held open, and (under Wine) Unix paths and
// programs, for links that only the host system can make.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "common/utility/unique_handle.h"

namespace zrb::test {

// A new, empty folder in the temporary folder; it and everything in it go
// when the object does (links inside are removed, never followed).
class TempFolder {
 public:
  explicit TempFolder(const std::wstring& prefix = L"files");
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::wstring& Path() const { return path_; }
  // `relative` inside the folder ("a\\b.txt").
  std::wstring operator/(const std::wstring& relative) const { return path_ + L"\\" + relative; }

 private:
  std::wstring path_;
};

// Creates a folder and its missing parents.
void MakeFolders(const std::wstring& path);
// Writes `content` as the whole file (made with its parent folders), then
// gives it `attributes` (read-only, hidden, ...).
void WriteFileText(const std::wstring& path, const std::string& content,
                   DWORD attributes = FILE_ATTRIBUTE_NORMAL);
// The file's bytes, or nullopt when it cannot be read.
std::optional<std::string> ReadFileText(const std::wstring& path);
bool PathExists(const std::wstring& path);
// Opens an existing file without sharing it, as a program that holds it
// would; closing the handle lets it go.
UniqueFileHandle HoldFileOpen(const std::wstring& path);

std::wstring CurrentDirectory();

// Puts the current directory back when it ends.
class CurrentDirectoryRestorer {
 public:
  CurrentDirectoryRestorer() : saved_(CurrentDirectory()) {}
  ~CurrentDirectoryRestorer() { ::SetCurrentDirectoryW(saved_.c_str()); }
  CurrentDirectoryRestorer(const CurrentDirectoryRestorer&) = delete;
  CurrentDirectoryRestorer& operator=(const CurrentDirectoryRestorer&) = delete;

 private:
  std::wstring saved_;
};

// Under Wine: the Unix path of a Windows path; nullopt elsewhere.
std::optional<std::string> UnixPath(const std::wstring& path);
// A Unix path as one quoted argument of a command line.
std::wstring QuotedArgument(const std::string& unixPath);
// Under Wine: starts a Unix program (its Windows path, say L"Z:\\bin\\ln")
// with Windows-quoted arguments. Wine gives no handle to wait on, so this
// waits until `done` holds (at most `timeoutMs`) and returns whether it does.
bool RunUnixProgram(const std::wstring& program, const std::wstring& arguments,
                    const std::function<bool()>& done, DWORD timeoutMs = 15000);

}  // namespace zrb::test
