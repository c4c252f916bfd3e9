#include "zrbinstaller/zrbscriptengine/script_string_text.h"

#include "common/utility/string_conversion.h"
#include "zrbinstaller/zrbscriptengine/script_type_support.h"

namespace zrb::script {

namespace {

template <typename Unit>
std::basic_string_view<Unit> BlockText(lua_State* L, int index) {
  const Unit* block = static_cast<const Unit*>(lua_touserdata(L, index));
  if (!block || lua_type(L, index) != LUA_TUSERDATA) return {};
  const size_t units = lua_rawlen(L, index) / sizeof(Unit);
  size_t length = 0;
  while (length < units && block[length] != 0) ++length;
  return std::basic_string_view<Unit>(block, length);
}

}  // namespace

StringObjectKind KindOfStringObject(lua_State* L, int index) {
  if (lua_type(L, index) != LUA_TUSERDATA) return StringObjectKind::kNone;
  if (!lua_getmetatable(L, index)) return StringObjectKind::kNone;  // +1 when it has one
  StringObjectKind kind = StringObjectKind::kNone;
  luaL_getmetatable(L, kAStringMetaTable);  // +1
  if (lua_rawequal(L, -1, -2)) kind = StringObjectKind::kAString;
  lua_pop(L, 1);                            // -1
  luaL_getmetatable(L, kWStringMetaTable);  // +1
  if (lua_rawequal(L, -1, -2)) kind = StringObjectKind::kWString;
  lua_pop(L, 2);  // -2: both metatables
  return kind;
}

std::string_view NarrowBlockText(lua_State* L, int index) { return BlockText<char>(L, index); }

std::wstring_view WideBlockText(lua_State* L, int index) { return BlockText<wchar_t>(L, index); }

std::wstring WideLuaText(lua_State* L, int index) {
  const int type = lua_type(L, index);
  if (type != LUA_TSTRING && type != LUA_TNUMBER) return {};
  lua_pushvalue(L, index);  // +1: a copy, converted in place if it is a number
  size_t length = 0;
  const char* text = lua_tolstring(L, -1, &length);
  std::wstring wide = Utf8ToWide(std::string_view(text, length));
  lua_pop(L, 1);  // -1
  return wide;
}

std::wstring WideTextOfValue(lua_State* L, int index) {
  switch (KindOfStringObject(L, index)) {
    case StringObjectKind::kWString:
      return std::wstring(WideBlockText(L, index));
    case StringObjectKind::kAString:
      return ThreadAnsiToWide(NarrowBlockText(L, index));
    case StringObjectKind::kNone:
      break;
  }
  return WideLuaText(L, index);
}

std::string AnsiTextOfValue(lua_State* L, int index) {
  switch (KindOfStringObject(L, index)) {
    case StringObjectKind::kAString:
      return std::string(NarrowBlockText(L, index));
    case StringObjectKind::kWString:
      return WideToThreadAnsi(WideBlockText(L, index));
    case StringObjectKind::kNone:
      break;
  }
  return WideToThreadAnsi(WideLuaText(L, index));
}

}  // namespace zrb::script
