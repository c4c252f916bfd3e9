// Files for tests: whole-file reads and writes, and scratch folders that
// clean up after themselves.
#pragma once

#include <string>

namespace zrb::test {

std::string ReadBytes(const std::wstring& path);
bool WriteBytes(const std::wstring& path, const std::string& bytes);
bool Exists(const std::wstring& path);

// Deletes a file or a whole tree, read-only files included.
void RemoveTree(const std::wstring& path);

// A new empty folder in the temporary folder, removed with its contents at
// the end of the scope.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::wstring& path() const { return path_; }
  // path() + "\" + name, created as a folder.
  std::wstring Folder(const std::wstring& name) const;

 private:
  std::wstring path_;
};

}  // namespace zrb::test
