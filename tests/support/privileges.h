// Reading and switching privileges of the test program's own token, to check
// what the code under test did to it.
#pragma once

#include <windows.h>

namespace zrb::test {

// Whether the privilege ("SeDebugPrivilege", ...) is enabled in this
// process's token; false when the name is unknown.
bool PrivilegeEnabled(const wchar_t* name);

// Enables or disables the privilege; true when the call succeeded.
bool SetPrivilege(const wchar_t* name, bool enable);

}  // namespace zrb::test
