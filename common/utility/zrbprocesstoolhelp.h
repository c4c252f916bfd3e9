// Process and privilege utilities: enabling a privilege in the process token,
// finding processes by executable name, translating image paths from the
// kernel's device form to drive-letter paths, and ending a process first
// politely and then by force. Nothing here knows about scripts.
#pragma once

#include <windows.h>

#include <map>
#include <string>

#include "common/utility/unique_handle.h"

namespace zrb {

// Enables (or disables) the named privilege ("SeDebugPrivilege", ...) in the
// current process token. A privilege the token does not hold still gives
// true: only failed calls give false, each with its trace lines.
bool EnablePrivilege(const std::wstring& name, bool enable);

// Ends process `pid`: posts WM_SYSCOMMAND/SC_CLOSE and WM_CLOSE to each of
// its top-level windows, waits up to 3 s, terminates it with exit code 0 if
// it still runs and waits up to 3 more seconds. True when the process has
// ended, or does not exist (pid 0 counts as none). Blocks up to 6 s.
bool KillProcess(DWORD pid);

// One process snapshot and a cache of device names, for one caller on one
// thread; create it on the stack where it is needed.
class ProcessToolHelp {
 public:
  static constexpr DWORD kNoProcess = static_cast<DWORD>(-1);

  ProcessToolHelp() = default;
  ProcessToolHelp(const ProcessToolHelp&) = delete;
  ProcessToolHelp& operator=(const ProcessToolHelp&) = delete;

  // Replaces any earlier snapshot with one of all processes.
  bool TakeSnapshot();

  // The first process in the snapshot (ID 0 skipped) whose executable name
  // equals `name` without regard to case (lstrcmpiW), or kNoProcess.
  DWORD FindProcessIdByName(const std::wstring& name) const;

  // The image path of process `pid` as a drive-letter path. `path` is left
  // untouched on failure.
  bool GetImagePathByPid(DWORD pid, std::wstring& path);

  // Replaces the device prefix (the text before the third backslash, for
  // example \Device\HarddiskVolume3) of a kernel path with the drive it is
  // mounted as. A device without a drive letter is removed from the path.
  bool DevicePathToDrivePath(std::wstring& path);

 private:
  bool LoadDeviceMap();

  UniqueFileHandle snapshot_;
  // Device name -> "C:"; empty until first needed.
  std::map<std::wstring, std::wstring> deviceMap_;
};

}  // namespace zrb
