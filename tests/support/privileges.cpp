#include "tests/support/privileges.h"

#include "common/utility/unique_handle.h"

namespace zrb::test {

bool PrivilegeEnabled(const wchar_t* name) {
  LUID luid = {};
  UniqueKernelHandle token;
  if (!::LookupPrivilegeValueW(nullptr, name, &luid) ||
      !::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.Receive())) {
    return false;
  }
  PRIVILEGE_SET set = {1, PRIVILEGE_SET_ALL_NECESSARY, {{luid, 0}}};
  BOOL enabled = FALSE;
  return ::PrivilegeCheck(token.Get(), &set, &enabled) && enabled;
}

bool SetPrivilege(const wchar_t* name, bool enable) {
  TOKEN_PRIVILEGES privileges = {1, {{{0, 0}, enable ? SE_PRIVILEGE_ENABLED : 0u}}};
  UniqueKernelHandle token;
  return ::LookupPrivilegeValueW(nullptr, name, &privileges.Privileges[0].Luid) &&
         ::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, token.Receive()) &&
         ::AdjustTokenPrivileges(token.Get(), FALSE, &privileges, sizeof(privileges), nullptr,
                                 nullptr);
}

}  // namespace zrb::test
