#include "common/utility/zrbprocesstoolhelp.h"

// GetProcessImageFileNameW from psapi.dll: the kernel32 form (K32...) only
// exists from Windows 7 on.
#define PSAPI_VERSION 1
#include <psapi.h>
#include <tlhelp32.h>

#include <vector>

#include "common/utility/trace.h"

namespace zrb {
namespace {

constexpr DWORD kPoliteWaitMs = 3000;
constexpr DWORD kForcedWaitMs = 3000;
constexpr size_t kPathUnits = 260;

BOOL CALLBACK AskWindowToClose(HWND window, LPARAM pid) {
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  if (owner == static_cast<DWORD>(pid)) {
    ::PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    ::PostMessageW(window, WM_CLOSE, 0, 0);
  }
  return TRUE;
}

}  // namespace

bool EnablePrivilege(const std::wstring& name, bool enable) {
  UniqueKernelHandle token;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, token.Receive())) {
    TraceWin32Error(L"OpenProcessToken failed!");
    return false;
  }
  TOKEN_PRIVILEGES privileges = {};
  privileges.PrivilegeCount = 1;
  if (!::LookupPrivilegeValueW(nullptr, name.c_str(), &privileges.Privileges[0].Luid)) {
    TraceWin32Error(L"LookupPrivilegeValue failed!");
    return false;
  }
  privileges.Privileges[0].Attributes = enable ? SE_PRIVILEGE_ENABLED : 0;
  // Succeeds with ERROR_NOT_ALL_ASSIGNED when the token lacks the privilege;
  // callers only learn whether the call itself failed.
  if (!::AdjustTokenPrivileges(token.Get(), FALSE, &privileges, sizeof(privileges), nullptr,
                               nullptr)) {
    TraceWin32Error(L"AdjustTokenPrivileges failed!");
    return false;
  }
  return true;
}

bool KillProcess(DWORD pid) {
  if (pid == 0) return true;
  ::EnumWindows(AskWindowToClose, static_cast<LPARAM>(pid));
  EnablePrivilege(L"SeDebugPrivilege", true);
  UniqueKernelHandle process(::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid));
  if (!process) {
    // A process ID that names no process is refused as an invalid parameter.
    return ::GetLastError() == ERROR_INVALID_PARAMETER;
  }
  if (::WaitForSingleObject(process.Get(), kPoliteWaitMs) != WAIT_OBJECT_0) {
    ::TerminateProcess(process.Get(), 0);
  }
  return ::WaitForSingleObject(process.Get(), kForcedWaitMs) == WAIT_OBJECT_0;
}

bool ProcessToolHelp::TakeSnapshot() {
  snapshot_.Reset(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  return snapshot_.IsValid();
}

DWORD ProcessToolHelp::FindProcessIdByName(const std::wstring& name) const {
  if (!snapshot_) return kNoProcess;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof(entry);
  for (BOOL more = ::Process32FirstW(snapshot_.Get(), &entry); more;
       more = ::Process32NextW(snapshot_.Get(), &entry)) {
    if (entry.th32ProcessID == 0) continue;
    if (::lstrcmpiW(entry.szExeFile, name.c_str()) == 0) return entry.th32ProcessID;
  }
  return kNoProcess;
}

bool ProcessToolHelp::GetImagePathByPid(DWORD pid, std::wstring& path) {
  UniqueKernelHandle process(::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, pid));
  if (!process) return false;
  wchar_t image[kPathUnits] = {};
  if (::GetProcessImageFileNameW(process.Get(), image, static_cast<DWORD>(kPathUnits)) == 0) {
    return false;
  }
  std::wstring translated(image);
  if (!DevicePathToDrivePath(translated)) return false;
  path = std::move(translated);
  return true;
}

bool ProcessToolHelp::LoadDeviceMap() {
  const DWORD length = ::GetLogicalDriveStringsW(0, nullptr);
  if (length == 0) {
    TraceWin32Error(L"GetLogicalDriveStrings failed");
    return false;
  }
  std::vector<wchar_t> drives(length + 1, L'\0');
  const DWORD written = ::GetLogicalDriveStringsW(length, drives.data());
  if (written == 0 || written > length) {
    TraceWin32Error(L"GetLogicalDriveStrings failed");
    return false;
  }
  // "C:\", "D:\", ... each followed by a zero, the list by another.
  for (const wchar_t* drive = drives.data(); *drive; drive += wcslen(drive) + 1) {
    const std::wstring letter(drive, 2);
    wchar_t device[kPathUnits] = {};
    if (::QueryDosDeviceW(letter.c_str(), device, static_cast<DWORD>(kPathUnits)) != 0) {
      deviceMap_[device] = letter;
    }
  }
  return true;
}

bool ProcessToolHelp::DevicePathToDrivePath(std::wstring& path) {
  if (deviceMap_.empty() && !LoadDeviceMap()) return false;
  size_t end = 0;
  for (int slashes = 0; slashes < 3 && end != std::wstring::npos; ++slashes) {
    end = path.find(L'\\', slashes == 0 ? 0 : end + 1);
  }
  const std::wstring prefix = path.substr(0, end);
  // A device with no drive letter maps to nothing and is cut off.
  const std::wstring& drive = deviceMap_[prefix];
  path.replace(0, prefix.size(), drive);
  return true;
}

}  // namespace zrb
