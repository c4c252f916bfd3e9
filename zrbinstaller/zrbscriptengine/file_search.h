// A search over the entries of one folder that match a pattern (a folder
// joined with a name or wildcard), giving each entry's full path.
#pragma once

#include <windows.h>

#include <string>

#include "common/utility/unique_handle.h"

namespace zrb {

class FileSearch {
 public:
  // Opens the search. Patterns of MAX_PATH or more UTF-16 units are refused;
  // IsOpen() tells whether the search could be opened.
  explicit FileSearch(const std::wstring& pattern);
  FileSearch(const FileSearch&) = delete;
  FileSearch& operator=(const FileSearch&) = delete;

  bool IsOpen() const { return handle_.IsValid(); }

  // Steps to the next entry, in the order the system returns them; the first
  // call gives the first entry. False at the end (or when not open).
  bool Next();

  // The current entry (valid after Next() returned true).
  const WIN32_FIND_DATAW& Entry() const { return entry_; }
  bool IsFolder() const { return (entry_.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
  // "." or "..".
  bool IsDotEntry() const;
  // The pattern's folder (full path) joined with the entry's name.
  std::wstring FullPath() const;

  // The full path of the pattern's folder, as recorded when opened.
  const std::wstring& Folder() const { return folder_; }

 private:
  UniqueFindHandle handle_;
  WIN32_FIND_DATAW entry_ = {};
  std::wstring folder_;
  bool firstPending_ = false;
};

}  // namespace zrb
