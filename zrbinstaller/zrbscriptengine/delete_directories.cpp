// The engine's recursive delete of a folder tree or of the entries matching a
// pattern.
#include <windows.h>
// shlwapi.h builds on windows.h.
#include <shlwapi.h>

#include <string>

#include "common/utility/trace.h"
#include "zrbinstaller/zrbscriptengine/file_search.h"
#include "zrbinstaller/zrbscriptengine/zrbscriptengine.h"

namespace {

bool IsSeparator(wchar_t unit) { return unit == L'\\' || unit == L'/'; }

// The full form of `path` without trailing separators (a root keeps its
// own); empty when it does not fit MAX_PATH.
std::wstring FullFolderPath(const std::wstring& path) {
  wchar_t full[MAX_PATH] = {};
  const DWORD length = ::GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
  if (length == 0 || length >= MAX_PATH) return {};
  std::wstring folder(full, length);
  while (folder.size() > 1 && IsSeparator(folder.back()) && !::PathIsRootW(folder.c_str())) {
    folder.pop_back();
  }
  return folder;
}

// A drive or share root: "C:\", "\\server\share".
bool IsVolumeRoot(const std::wstring& folder) {
  const std::wstring full = FullFolderPath(folder);
  return !full.empty() && ::PathIsRootW(full.c_str());
}

// A folder that is a reparse point (junction, symbolic link, mounted volume)
// leads somewhere else.
bool IsLinkedFolder(const std::wstring& folder) {
  const DWORD attributes = ::GetFileAttributesW(folder.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// A folder that is the process's current directory cannot be removed; when
// `folder` is it (whatever its case or trailing separator), the current
// directory moves to the parent.
void StepOutOfCurrentDirectory(const std::wstring& folder) {
  wchar_t current[MAX_PATH] = {};
  const DWORD length = ::GetCurrentDirectoryW(MAX_PATH, current);
  if (length == 0 || length >= MAX_PATH) return;
  const std::wstring target = FullFolderPath(folder);
  const std::wstring here = FullFolderPath(current);
  if (target.empty() ||
      ::CompareStringOrdinal(target.c_str(), -1, here.c_str(), -1, TRUE) != CSTR_EQUAL) {
    return;
  }
  wchar_t parent[MAX_PATH] = {};
  target.copy(parent, MAX_PATH - 1);
  ::PathRemoveFileSpecW(parent);
  ::SetCurrentDirectoryW(parent);
}

}  // namespace

void ZRBScriptEngine::DeleteDirectories(const std::wstring& path) {
  zrb::Trace(L"%s %s", L"ZRBScriptEngine::DeleteDirectories", path.c_str());
  const bool isFolder = ::PathIsDirectoryW(path.c_str()) != FALSE;
  if (isFolder && IsLinkedFolder(path)) {
    // Only the link goes; what it leads to is not ours to empty.
    ::RemoveDirectoryW(path.c_str());
    return;
  }
  std::wstring pattern = path;
  if (isFolder) {
    wchar_t combined[MAX_PATH] = {};
    if (!::PathCombineW(combined, path.c_str(), L"*.*")) return;
    pattern = combined;
  }
  {
    zrb::FileSearch search(pattern);
    if (!search.IsOpen()) return;
    // Never a whole volume: a path that comes out as a drive or share root
    // (an empty folder name joined with a separator, say) is left alone.
    if (IsVolumeRoot(search.Folder())) return;
    while (search.Next()) {
      if (search.IsFolder()) {
        if (!search.IsDotEntry()) DeleteDirectories(search.FullPath());
        continue;
      }
      const std::wstring file = search.FullPath();
      if (search.Entry().dwFileAttributes & FILE_ATTRIBUTE_READONLY) {
        ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
      }
      ::DeleteFileW(file.c_str());
    }
  }  // the search is closed before its folder goes
  if (!isFolder) return;
  StepOutOfCurrentDirectory(path);
  ::RemoveDirectoryW(path.c_str());
}
