// Programs that a test starts and owns: any command line, or a private copy
// of the window helper program (tests/helpers/window_helper.cpp) whose
// processes no other test program can mistake for its own.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "common/utility/unique_handle.h"

namespace zrb::test {

// A started process; terminated (exit code 99) if it still runs when the
// owner goes away.
class ChildProcess {
 public:
  ChildProcess() = default;
  // Starts `commandLine`; an empty (invalid) process when that fails.
  explicit ChildProcess(const std::wstring& commandLine);
  ChildProcess(ChildProcess&&) = default;
  ChildProcess& operator=(ChildProcess&&) = default;
  ~ChildProcess();

  bool IsValid() const { return process_.IsValid(); }
  DWORD Id() const { return id_; }
  HANDLE Handle() const { return process_.Get(); }
  bool IsRunning() const;
  // The exit code once the process has ended within `timeoutMs`.
  std::optional<DWORD> WaitForExit(DWORD timeoutMs) const;

 private:
  UniqueKernelHandle process_;
  DWORD id_ = 0;
};

// The window helper copied into a folder of its own as `<name>_<test
// process id>.exe` (lower case), deleted again with the folder.
class WindowHelperCopy {
 public:
  explicit WindowHelperCopy(const std::wstring& name);
  ~WindowHelperCopy();
  WindowHelperCopy(const WindowHelperCopy&) = delete;
  WindowHelperCopy& operator=(const WindowHelperCopy&) = delete;

  const std::wstring& Path() const { return path_; }
  // The executable name, as a process snapshot shows it.
  const std::wstring& ExeName() const { return exeName_; }

  // Starts a copy whose window of class `windowClass` closes on WM_CLOSE or
  // ignores it, and waits until the window exists. Invalid on failure.
  ChildProcess Start(bool closesOnClose, const std::wstring& windowClass) const;

 private:
  std::wstring folder_;
  std::wstring exeName_;
  std::wstring path_;
};

// A window class name no other test program uses: `base` and this process's ID.
std::wstring UniqueWindowClass(const std::wstring& base);

}  // namespace zrb::test
