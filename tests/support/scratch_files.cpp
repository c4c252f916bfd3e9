#include "tests/support/scratch_files.h"

#include <windows.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "tests/support/traced_run.h"

namespace zrb::test {

std::string ReadBytes(const std::wstring& path) {
  std::ifstream file(path.c_str(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
  std::ofstream file(path.c_str(), std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return file.good();
}

bool Exists(const std::wstring& path) {
  return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void RemoveTree(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  ::SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    ::DeleteFileW(path.c_str());
    return;
  }
  std::vector<std::wstring> children;
  WIN32_FIND_DATAW data;
  HANDLE find = ::FindFirstFileW((path + L"\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = data.cFileName;
      if (name != L"." && name != L"..") children.push_back(path + L"\\" + name);
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
  }
  for (const std::wstring& child : children) RemoveTree(child);
  ::RemoveDirectoryW(path.c_str());
}

ScratchFolder::ScratchFolder() : path_(TempPath(L"scratch")) {
  ::CreateDirectoryW(path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() { RemoveTree(path_); }

std::wstring ScratchFolder::Folder(const std::wstring& name) const {
  const std::wstring folder = path_ + L"\\" + name;
  ::CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

}  // namespace zrb::test
