#include "common/utility/registry_key.h"

namespace zrb {
namespace {

// Key names are at most 255 units long.
constexpr DWORD kKeyNameUnits = 256;

const wchar_t* SubkeyOrNull(const std::wstring& subkey) {
  return subkey.empty() ? nullptr : subkey.c_str();
}

}  // namespace

LONG RegistryKey::Open(HKEY root, const std::wstring& subkey, REGSAM access) {
  HKEY opened = nullptr;
  const LONG result = ::RegOpenKeyExW(root, SubkeyOrNull(subkey), 0, access, &opened);
  if (result == ERROR_SUCCESS) key_.Reset(opened);
  return result;
}

LONG RegistryKey::Create(HKEY root, const std::wstring& subkey, REGSAM access) {
  HKEY created = nullptr;
  const LONG result = ::RegCreateKeyExW(root, subkey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                        access, nullptr, &created, nullptr);
  if (result == ERROR_SUCCESS) key_.Reset(created);
  return result;
}

LONG RegistryKey::QueryValueInfo(const std::wstring& name, DWORD& type, DWORD& size) const {
  DWORD valueType = REG_NONE;
  DWORD valueSize = 0;
  const LONG result =
      ::RegQueryValueExW(key_.Get(), name.c_str(), nullptr, &valueType, nullptr, &valueSize);
  if (result == ERROR_SUCCESS) {
    type = valueType;
    size = valueSize;
  }
  return result;
}

LONG RegistryKey::QueryString(const std::wstring& name, std::wstring& value) const {
  DWORD type = REG_NONE;
  DWORD size = 0;
  LONG result = QueryValueInfo(name, type, size);
  if (result != ERROR_SUCCESS) return result;
  if (type != REG_SZ && type != REG_EXPAND_SZ) return ERROR_UNSUPPORTED_TYPE;
  // One more unit than the data holds: stored text need not end with a zero.
  std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
  DWORD bytes = size;
  result = ::RegQueryValueExW(key_.Get(), name.c_str(), nullptr, &type,
                              reinterpret_cast<BYTE*>(text.data()), &bytes);
  if (result != ERROR_SUCCESS) return result;
  if (type != REG_SZ && type != REG_EXPAND_SZ) return ERROR_UNSUPPORTED_TYPE;
  text.resize(wcslen(text.c_str()));
  value = std::move(text);
  return ERROR_SUCCESS;
}

LONG RegistryKey::QueryDword(const std::wstring& name, DWORD& value) const {
  DWORD type = REG_NONE;
  DWORD data = 0;
  DWORD bytes = sizeof(data);
  const LONG result = ::RegQueryValueExW(key_.Get(), name.c_str(), nullptr, &type,
                                         reinterpret_cast<BYTE*>(&data), &bytes);
  if (result != ERROR_SUCCESS) return result;
  if (type != REG_DWORD) return ERROR_UNSUPPORTED_TYPE;
  value = data;
  return ERROR_SUCCESS;
}

LONG RegistryKey::SetString(const std::wstring& name, const std::wstring& value, DWORD type) {
  const DWORD bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
  return ::RegSetValueExW(key_.Get(), name.c_str(), 0, type,
                          reinterpret_cast<const BYTE*>(value.c_str()), bytes);
}

LONG RegistryKey::SetDword(const std::wstring& name, DWORD value) {
  return ::RegSetValueExW(key_.Get(), name.c_str(), 0, REG_DWORD,
                          reinterpret_cast<const BYTE*>(&value), sizeof(value));
}

LONG RegistryKey::SetBinary(const std::wstring& name, const std::vector<BYTE>& value) {
  return ::RegSetValueExW(key_.Get(), name.c_str(), 0, REG_BINARY, value.data(),
                          static_cast<DWORD>(value.size()));
}

LONG RegistryKey::DeleteValue(const std::wstring& name) {
  return ::RegDeleteValueW(key_.Get(), name.c_str());
}

LONG RegistryKey::DeleteSubKeyTree(const std::wstring& name) {
  // An empty name would open this key itself and empty it.
  if (name.find_first_not_of(L'\\') == std::wstring::npos) return ERROR_INVALID_PARAMETER;
  {
    RegistryKey child;
    const LONG result = child.Open(key_.Get(), name, KEY_READ | KEY_WRITE);
    if (result != ERROR_SUCCESS) return result;
    // Always the first subkey: the one before it is gone by then.
    wchar_t grandchild[kKeyNameUnits];
    DWORD length = kKeyNameUnits;
    while (::RegEnumKeyExW(child.Get(), 0, grandchild, &length, nullptr, nullptr, nullptr,
                           nullptr) == ERROR_SUCCESS) {
      const LONG childResult = child.DeleteSubKeyTree(grandchild);
      if (childResult != ERROR_SUCCESS) return childResult;
      length = kKeyNameUnits;
    }
  }
  return ::RegDeleteKeyW(key_.Get(), name.c_str());
}

}  // namespace zrb
