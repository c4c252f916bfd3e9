// Reading arguments and pushing results in host functions, with the
// conversions every host function shares: text through UTF-8, integers
// through lua_tointegerx, unsigned values through lua_tounsignedx, truth
// values through lua_toboolean. Nothing here raises a script error.
#pragma once

#include "zrbinstaller/zrbscriptengine/lua_api.h"

#include <string>
#include <string_view>

namespace zrb::host {

// Paths and expansions are limited to this many UTF-16 units.
constexpr size_t kMaxPathUnits = 260;

// A string or number argument as UTF-16; anything else gives empty text.
std::wstring ArgText(lua_State* L, int index);

// ArgText with environment references expanded into kMaxPathUnits units.
std::wstring ArgExpandedText(lua_State* L, int index);

int ArgInteger(lua_State* L, int index);
unsigned ArgUnsigned(lua_State* L, int index);
bool ArgBoolean(lua_State* L, int index);

// Replaces %NAME% references. A result that does not fit kMaxPathUnits
// gives empty text rather than a cut path.
std::wstring ExpandEnvironment(std::wstring_view text);

void PushText(lua_State* L, std::wstring_view text);

}  // namespace zrb::host
