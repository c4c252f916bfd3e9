#include "tests/support/child_process.h"

#include "tests/support/traced_run.h"

namespace zrb::test {
namespace {

constexpr DWORD kWindowWaitMs = 20000;

struct WindowSearch {
  DWORD pid;
  const std::wstring* windowClass;
  bool found;
};

BOOL CALLBACK FindWindowOfProcess(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  wchar_t className[256] = {};
  ::GetClassNameW(window, className, 256);
  if (owner == search->pid && *search->windowClass == className) {
    search->found = true;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

ChildProcess::ChildProcess(const std::wstring& commandLine) {
  std::wstring mutableLine = commandLine;
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info = {};
  if (::CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &info)) {
    ::CloseHandle(info.hThread);
    process_.Reset(info.hProcess);
    id_ = info.dwProcessId;
  }
}

ChildProcess::~ChildProcess() {
  if (IsRunning()) {
    ::TerminateProcess(process_.Get(), 99);
    ::WaitForSingleObject(process_.Get(), 5000);
  }
}

bool ChildProcess::IsRunning() const {
  return process_ && ::WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> ChildProcess::WaitForExit(DWORD timeoutMs) const {
  if (!process_ || ::WaitForSingleObject(process_.Get(), timeoutMs) != WAIT_OBJECT_0) {
    return std::nullopt;
  }
  DWORD code = 0;
  ::GetExitCodeProcess(process_.Get(), &code);
  return code;
}

WindowHelperCopy::WindowHelperCopy(const std::wstring& name)
    : folder_(TempPath(L"helpers")),
      exeName_(name + L"_" + std::to_wstring(::GetCurrentProcessId()) + L".exe"),
      path_(folder_ + L"\\" + exeName_) {
  ::CreateDirectoryW(folder_.c_str(), nullptr);
  ::CopyFileW((TestProgramFolder() + L"zrb_window_helper.exe").c_str(), path_.c_str(), FALSE);
}

WindowHelperCopy::~WindowHelperCopy() {
  ::DeleteFileW(path_.c_str());
  ::RemoveDirectoryW(folder_.c_str());
}

ChildProcess WindowHelperCopy::Start(bool closesOnClose, const std::wstring& windowClass) const {
  ChildProcess child(L"\"" + path_ + L"\" " + (closesOnClose ? L"closes " : L"ignores ") +
                     windowClass);
  if (!child.IsValid()) return child;
  WindowSearch search{child.Id(), &windowClass, false};
  const DWORD start = ::GetTickCount();
  while (!search.found && child.IsRunning() && ::GetTickCount() - start < kWindowWaitMs) {
    ::EnumWindows(FindWindowOfProcess, reinterpret_cast<LPARAM>(&search));
    if (!search.found) ::Sleep(20);
  }
  if (!search.found) return ChildProcess();
  return child;
}

std::wstring UniqueWindowClass(const std::wstring& base) {
  return base + L"_" + std::to_wstring(::GetCurrentProcessId());
}

}  // namespace zrb::test
