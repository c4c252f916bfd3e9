// Read-only view of a resource of the program's own module.
#pragma once

#include <windows.h>

namespace zrb {

struct ModuleResource {
  enum class Status { kOk, kNotLoaded, kNotLocked };

  Status status = Status::kNotLoaded;
  const BYTE* data = nullptr;
  DWORD size = 0;

  bool ok() const { return status == Status::kOk; }
};

// Finds, loads and locks resource `name` of `type` (either may be a
// MAKEINTRESOURCE id) in `module` (null: the program's own). The bytes stay
// valid while the module is loaded; the last error is left as the failing
// call set it.
ModuleResource FindModuleResource(HMODULE module, const wchar_t* type, const wchar_t* name);

}  // namespace zrb
