#include "zrbinstaller/zrbscriptengine/host_arguments.h"

#include <windows.h>

#include "common/utility/string_conversion.h"

namespace zrb::host {

std::wstring ArgText(lua_State* L, int index) {
  const int type = lua_type(L, index);
  if (type != LUA_TSTRING && type != LUA_TNUMBER) return {};
  size_t length = 0;
  const char* text = lua_tolstring(L, index, &length);
  return Utf8ToWide(std::string_view(text, length));
}

std::wstring ArgExpandedText(lua_State* L, int index) {
  return ExpandEnvironment(ArgText(L, index));
}

int ArgInteger(lua_State* L, int index) {
  return static_cast<int>(lua_tointegerx(L, index, nullptr));
}

unsigned ArgUnsigned(lua_State* L, int index) {
  return static_cast<unsigned>(lua_tounsignedx(L, index, nullptr));
}

bool ArgBoolean(lua_State* L, int index) { return lua_toboolean(L, index) != 0; }

std::wstring ExpandEnvironment(std::wstring_view text) {
  const std::wstring source(text);
  wchar_t expanded[kMaxPathUnits] = {};
  const DWORD needed =
      ::ExpandEnvironmentStringsW(source.c_str(), expanded, static_cast<DWORD>(kMaxPathUnits));
  if (needed == 0 || needed > kMaxPathUnits) return {};
  return expanded;
}

void PushText(lua_State* L, std::wstring_view text) {
  const std::string utf8 = WideToUtf8(text);
  lua_pushlstring(L, utf8.data(), utf8.size());  // +1
}

}  // namespace zrb::host
