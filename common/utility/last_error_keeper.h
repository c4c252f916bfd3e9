// Keeps the thread's last-error code across a scope, so that closing a handle
// after a failed call does not hide the code the failure left.
#pragma once

#include <windows.h>

namespace zrb {

class LastErrorKeeper {
 public:
  LastErrorKeeper() : error_(::GetLastError()) {}
  ~LastErrorKeeper() { ::SetLastError(error_); }
  LastErrorKeeper(const LastErrorKeeper&) = delete;
  LastErrorKeeper& operator=(const LastErrorKeeper&) = delete;

 private:
  DWORD error_;
};

}  // namespace zrb
