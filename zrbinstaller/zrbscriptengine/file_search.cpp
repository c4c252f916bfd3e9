#include "zrbinstaller/zrbscriptengine/file_search.h"

namespace zrb {

FileSearch::FileSearch(const std::wstring& pattern) {
  if (pattern.size() >= MAX_PATH) return;
  wchar_t full[MAX_PATH] = {};
  wchar_t* name = nullptr;
  const DWORD length = ::GetFullPathNameW(pattern.c_str(), MAX_PATH, full, &name);
  if (length == 0 || length >= MAX_PATH) return;
  // Without a name part (a pattern ending in a separator) the whole path is
  // the folder.
  folder_.assign(full, name ? static_cast<size_t>(name - full) : length);
  handle_.Reset(::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &entry_, FindExSearchNameMatch,
                                   nullptr, FIND_FIRST_EX_LARGE_FETCH));
  firstPending_ = handle_.IsValid();
}

bool FileSearch::Next() {
  if (!handle_.IsValid()) return false;
  if (firstPending_) {
    firstPending_ = false;
    return true;
  }
  return ::FindNextFileW(handle_.Get(), &entry_) != FALSE;
}

bool FileSearch::IsDotEntry() const {
  const wchar_t* name = entry_.cFileName;
  return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

std::wstring FileSearch::FullPath() const {
  std::wstring path = folder_;
  if (!path.empty() && path.back() != L'\\' && path.back() != L'/') path += L'\\';
  path += entry_.cFileName;
  return path;
}

}  // namespace zrb
