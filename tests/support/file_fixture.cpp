#include "tests/support/file_fixture.h"

#include "common/utility/string_conversion.h"
#include "tests/support/traced_run.h"

namespace zrb::test {
namespace {

// Removes a tree with Win32 calls only: attributes are cleared, links to
// folders are removed without being entered.
void RemoveTreeWin32(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    ::DeleteFileW(path.c_str());
    return;
  }
  if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    WIN32_FIND_DATAW entry;
    UniqueFindHandle search(::FindFirstFileW((path + L"\\*").c_str(), &entry));
    if (search) {
      do {
        const std::wstring name = entry.cFileName;
        if (name != L"." && name != L"..") RemoveTreeWin32(path + L"\\" + name);
      } while (::FindNextFileW(search.Get(), &entry));
    }
  }
  ::RemoveDirectoryW(path.c_str());
}

}  // namespace

TempFolder::TempFolder(const std::wstring& prefix) : path_(TempPath(prefix)) {
  ::CreateDirectoryW(path_.c_str(), nullptr);
}

TempFolder::~TempFolder() {
  // Wine deletes the target of a Unix link to a file, not the link: there
  // the Unix remover, which never follows links, does the work.
  const std::string name = WideToUtf8(path_.substr(path_.find_last_of(L'\\') + 1));
  const auto unixPath = UnixPath(path_);
  if (unixPath && unixPath->size() > name.size() + 1 &&
      unixPath->compare(unixPath->size() - name.size() - 1, std::string::npos, "/" + name) == 0) {
    RunUnixProgram(L"Z:\\bin\\rm", L"-rf " + QuotedArgument(*unixPath),
                   [this] { return !PathExists(path_); });
  }
  RemoveTreeWin32(path_);
}

void MakeFolders(const std::wstring& path) {
  for (size_t at = path.find(L'\\', 3); at != std::wstring::npos; at = path.find(L'\\', at + 1)) {
    ::CreateDirectoryW(path.substr(0, at).c_str(), nullptr);
  }
  ::CreateDirectoryW(path.c_str(), nullptr);
}

void WriteFileText(const std::wstring& path, const std::string& content, DWORD attributes) {
  MakeFolders(path.substr(0, path.find_last_of(L'\\')));
  ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  UniqueFileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  ::WriteFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
  file.Reset();
  ::SetFileAttributesW(path.c_str(), attributes);
}

std::optional<std::string> ReadFileText(const std::wstring& path) {
  UniqueFileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
  if (!file) return std::nullopt;
  std::string content;
  char buffer[4096];
  DWORD read = 0;
  while (::ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0) {
    content.append(buffer, read);
  }
  return content;
}

bool PathExists(const std::wstring& path) {
  return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

UniqueFileHandle HoldFileOpen(const std::wstring& path) {
  return UniqueFileHandle(::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
}

std::wstring CurrentDirectory() {
  wchar_t current[MAX_PATH] = {};
  ::GetCurrentDirectoryW(MAX_PATH, current);
  return current;
}

std::wstring QuotedArgument(const std::string& unixPath) {
  return L"\"" + Utf8ToWide(unixPath) + L"\"";
}

std::optional<std::string> UnixPath(const std::wstring& path) {
  using ToUnix = char*(__cdecl*)(const wchar_t*);
  const auto toUnix = reinterpret_cast<ToUnix>(
      ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name"));
  if (!toUnix) return std::nullopt;
  char* unixPath = toUnix(path.c_str());
  if (!unixPath) return std::nullopt;
  std::string result(unixPath);
  ::HeapFree(::GetProcessHeap(), 0, unixPath);
  return result;
}

bool RunUnixProgram(const std::wstring& program, const std::wstring& arguments,
                    const std::function<bool()>& done, DWORD timeoutMs) {
  std::wstring commandLine = L"\"" + program + L"\" " + arguments;
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
    return false;
  }
  UniqueKernelHandle processHandle(process.hProcess);
  UniqueKernelHandle threadHandle(process.hThread);
  for (const DWORD start = ::GetTickCount(); !done(); ::Sleep(20)) {
    if (::GetTickCount() - start > timeoutMs) return false;
  }
  return true;
}

}  // namespace zrb::test
