// A registry key opened or created for the caller's access rights, with the
// value operations the host library needs. Every operation returns the
// system's error code (ERROR_SUCCESS for success); out-parameters are left
// untouched on failure. The key is closed when the object goes away.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "common/utility/unique_handle.h"

namespace zrb {

class RegistryKey {
 public:
  RegistryKey() = default;
  RegistryKey(RegistryKey&&) = default;
  RegistryKey& operator=(RegistryKey&&) = default;

  // Opens root\subkey; an empty subkey opens a new handle to `root` itself.
  LONG Open(HKEY root, const std::wstring& subkey, REGSAM access);
  // Opens root\subkey, creating it and any missing parents (non-volatile).
  LONG Create(HKEY root, const std::wstring& subkey, REGSAM access);

  bool IsOpen() const { return key_.IsValid(); }
  HKEY Get() const { return key_.Get(); }

  // Type and size in bytes of a value; ERROR_FILE_NOT_FOUND when missing.
  LONG QueryValueInfo(const std::wstring& name, DWORD& type, DWORD& size) const;
  // A REG_SZ or REG_EXPAND_SZ value up to its first zero, not expanded.
  LONG QueryString(const std::wstring& name, std::wstring& value) const;
  LONG QueryDword(const std::wstring& name, DWORD& value) const;

  // Stores text with its terminating zero as `type` (REG_SZ, REG_EXPAND_SZ).
  LONG SetString(const std::wstring& name, const std::wstring& value, DWORD type);
  LONG SetDword(const std::wstring& name, DWORD value);
  LONG SetBinary(const std::wstring& name, const std::vector<BYTE>& value);
  LONG DeleteValue(const std::wstring& name);

  // Deletes subkey `name` of this key with everything below it. Stops at the
  // first subkey that cannot be deleted and returns its error. A name that
  // is empty (or only backslashes) names no subkey: ERROR_INVALID_PARAMETER.
  LONG DeleteSubKeyTree(const std::wstring& name);

 private:
  UniqueRegistryKey key_;
};

}  // namespace zrb
