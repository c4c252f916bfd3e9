#include "zrbinstaller/zrbscriptengine/host_registry.h"

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/utility/registry_key.h"
#include "common/utility/trace.h"
#include "zrbinstaller/zrbscriptengine/host_arguments.h"

namespace {

using zrb::RegistryKey;

// Reading a key also asks for write access, as every key here is opened.
constexpr REGSAM kAccess = KEY_READ | KEY_WRITE;

// The root named by `name` (exact, case-sensitive), or null for none: every
// registry call on a null root fails.
HKEY RootKeyByName(const std::wstring& name) {
  static const struct {
    const wchar_t* name;
    HKEY root;
  } kRoots[] = {
      {L"HKCR", HKEY_CLASSES_ROOT}, {L"HKCU", HKEY_CURRENT_USER},   {L"HKLM", HKEY_LOCAL_MACHINE},
      {L"HKU", HKEY_USERS},         {L"HKCC", HKEY_CURRENT_CONFIG},
  };
  for (const auto& root : kRoots) {
    if (name == root.name) return root.root;
  }
  return nullptr;
}

int HexDigit(wchar_t unit) {
  if (unit >= L'0' && unit <= L'9') return unit - L'0';
  if (unit >= L'a' && unit <= L'f') return unit - L'a' + 10;
  if (unit >= L'A' && unit <= L'F') return unit - L'A' + 10;
  return -1;
}

// Hexadecimal digit pairs to bytes; a last single digit is a byte of its
// own ("0A1b2" gives 0A 1B 02). Text with anything but digits gives nothing.
std::optional<std::vector<BYTE>> ParseHexBytes(std::wstring_view text) {
  std::vector<BYTE> bytes;
  bytes.reserve((text.size() + 1) / 2);
  for (size_t i = 0; i < text.size(); i += 2) {
    int value = 0;
    for (size_t j = i; j < i + 2 && j < text.size(); ++j) {
      const int digit = HexDigit(text[j]);
      if (digit < 0) return std::nullopt;
      value = value * 16 + digit;
    }
    bytes.push_back(static_cast<BYTE>(value));
  }
  return bytes;
}

// Environment references replaced without a length limit: registry text is
// not a path, and a cut value would be stored as if it were whole.
std::optional<std::wstring> ExpandWhole(const std::wstring& text) {
  DWORD needed = ::ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
  while (needed != 0) {
    std::wstring expanded(needed, L'\0');
    const DWORD written = ::ExpandEnvironmentStringsW(text.c_str(), expanded.data(), needed);
    if (written == 0) break;
    if (written <= needed) {
      expanded.resize(written - 1);
      return expanded;
    }
    needed = written;  // the environment grew meanwhile
  }
  return std::nullopt;
}

void WriteValue(RegistryKey& key, const std::wstring& name, const std::wstring& type, lua_State* L,
                int dataIndex) {
  if (type == L"REG_SZ") {
    if (std::optional<std::wstring> text = ExpandWhole(zrb::host::ArgText(L, dataIndex))) {
      key.SetString(name, *text, REG_SZ);
    }
  } else if (type == L"REG_EXPAND_SZ") {
    key.SetString(name, zrb::host::ArgText(L, dataIndex), REG_EXPAND_SZ);
  } else if (type == L"REG_DWORD") {
    key.SetDword(name, zrb::host::ArgUnsigned(L, dataIndex));
  } else if (type == L"REG_BINARY") {
    if (std::optional<std::vector<BYTE>> bytes = ParseHexBytes(zrb::host::ArgText(L, dataIndex))) {
      key.SetBinary(name, *bytes);
    }
  }
}

}  // namespace

int Lua_RegQuery(lua_State* L) {
  const std::wstring rootName = zrb::host::ArgText(L, 1);
  const std::wstring subkey = zrb::host::ArgText(L, 2);
  const std::wstring name = zrb::host::ArgText(L, 3);

  RegistryKey key;
  DWORD type = REG_NONE;
  DWORD size = 0;
  if (key.Open(RootKeyByName(rootName), subkey, kAccess) == ERROR_SUCCESS &&
      key.QueryValueInfo(name, type, size) == ERROR_SUCCESS) {
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
      std::wstring text;
      if (key.QueryString(name, text) == ERROR_SUCCESS) {
        zrb::host::PushText(L, text);  // +1
        return 1;
      }
    } else if (type == REG_DWORD) {
      DWORD value = 0;
      if (key.QueryDword(name, value) == ERROR_SUCCESS) {
        lua_pushunsigned(L, value);  // +1
        return 1;
      }
    }
  }
  lua_pushnil(L);  // +1
  return 1;
}

int Lua_RegAdd(lua_State* L) {
  const std::wstring rootName = zrb::host::ArgText(L, 1);
  const std::wstring subkey = zrb::host::ArgText(L, 2);
  const std::wstring name = zrb::host::ArgText(L, 3);
  const std::wstring type = zrb::host::ArgText(L, 4);
  const bool overwrite = zrb::host::ArgBoolean(L, 6);

  RegistryKey key;
  if (key.Create(RootKeyByName(rootName), subkey, kAccess) == ERROR_SUCCESS) {
    DWORD existingType = REG_NONE;
    DWORD existingSize = 0;
    if (overwrite || key.QueryValueInfo(name, existingType, existingSize) == ERROR_FILE_NOT_FOUND) {
      WriteValue(key, name, type, L, 5);
    }
  }
  lua_pushboolean(L, 1);  // +1
  return 1;
}

int Lua_RegDel(lua_State* L) {
  const bool deleteKey = lua_gettop(L) == 2;
  const std::wstring rootName = zrb::host::ArgText(L, 1);
  const std::wstring subkey = zrb::host::ArgText(L, 2);
  const HKEY root = RootKeyByName(rootName);

  RegistryKey key;
  if (deleteKey) {
    const LONG opened = key.Open(root, std::wstring(), kAccess);
    if (opened != ERROR_SUCCESS) {
      zrb::Trace(L"OpenKey %s failed, errcode: %ld\r\n", rootName.c_str(), opened);
    } else if (const LONG deleted = key.DeleteSubKeyTree(subkey); deleted != ERROR_SUCCESS) {
      zrb::Trace(L"DeleteSubKey %s failed, errcode: %ld", subkey.c_str(), deleted);
    }
  } else {
    const std::wstring name = zrb::host::ArgText(L, 3);
    if (key.Open(root, subkey, kAccess) == ERROR_SUCCESS) {
      key.DeleteValue(name);
      zrb::Trace(L"Delete Value %s, %s, %s", rootName.c_str(), subkey.c_str(), name.c_str());
    }
  }
  lua_pushboolean(L, 1);  // +1
  return 1;
}
