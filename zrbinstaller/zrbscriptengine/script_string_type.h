// The behaviour AString and WString share, written once over the unit type.
// Each type's file supplies a traits class:
//
//   using Unit = char or wchar_t;
//   static constexpr const char* kMetaTable;            // registry name
//   static std::basic_string<Unit> TextOfValue(L, i);    // any value's text
//   static std::basic_string<Unit> FromWide(text);       // UTF-16 to the type's text
//   static std::basic_string_view<Unit> BlockText(L, i); // an object's text
//   static std::string ToUtf8(text);                     // the text for scripts
//   static std::string UnitToUtf8(Unit unit);            // one non-zero unit for scripts
//   static int Compare(const Unit*, const Unit*);        // lstrcmpA or lstrcmpW
//
// An object is a full userdata whose whole block is the zero-terminated text;
// its capacity is the block size. Every operator here stays inside the block.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

#include "zrbinstaller/zrbscriptengine/lua_api.h"
#include "zrbinstaller/zrbscriptengine/script_string_text.h"
#include "zrbinstaller/zrbscriptengine/script_type_support.h"

namespace zrb::script {

template <typename Traits>
class ScriptStringType {
 public:
  using Unit = typename Traits::Unit;
  using Text = std::basic_string<Unit>;

  // The opening function for luaL_requiref: registers the metatable and
  // pushes the type's global table, which holds "New".
  static int Open(lua_State* L) {
    static const luaL_Reg metamethods[] = {
        {"__tostring", ToString}, {"__len", Length},        {"__concat", Concat}, {"__eq", Equal},
        {"__index", Index},       {"__newindex", NewIndex}, {nullptr, nullptr}};
    static const luaL_Reg functions[] = {{"New", New}, {nullptr, nullptr}};
    return OpenScriptType(L, Traits::kMetaTable, metamethods, ObjectIndex::kOwnEntry, functions);
  }

 private:
  // Blocks larger than this are refused rather than attempted.
  static constexpr uint64_t kMaxBlockBytes = 0x7FFFFFFF;

  // Pushes a new object of `units` units (at least text.size() + 1) holding
  // `text`; the rest of the block is zero. Pushes nil instead when the block
  // would be too large.
  static void PushObject(lua_State* L, const Text& text, uint64_t units) {
    const uint64_t bytes = units * sizeof(Unit);
    if (bytes > kMaxBlockBytes) {
      lua_pushnil(L);  // +1
      return;
    }
    void* block = lua_newuserdata(L, static_cast<size_t>(bytes));  // +1
    std::memset(block, 0, static_cast<size_t>(bytes));
    std::memcpy(block, text.data(), text.size() * sizeof(Unit));
    luaL_setmetatable(L, Traits::kMetaTable);
  }

  // New(capacity, initial): capacity in the type's units. Without an initial
  // value a capacity of 0 or less gives nil; with one, the text always fits
  // with its zero, whatever the capacity.
  static int New(lua_State* L) {
    const int64_t capacity = lua_tointegerx(L, 1, nullptr);
    Text text;
    if (lua_gettop(L) < 2) {
      if (capacity <= 0) {
        lua_pushnil(L);  // +1
        return 1;
      }
    } else {
      text = Traits::TextOfValue(L, 2);
    }
    const uint64_t length = text.size();
    const uint64_t units = capacity > 0 && static_cast<uint64_t>(capacity) > length
                               ? static_cast<uint64_t>(capacity)
                               : length + 1;
    PushObject(L, text, units);  // +1
    return 1;
  }

  static int ToString(lua_State* L) {
    const std::string utf8 = Traits::ToUtf8(Traits::BlockText(L, 1));
    lua_pushlstring(L, utf8.data(), utf8.size());  // +1
    return 1;
  }

  static int Length(lua_State* L) {
    lua_pushunsigned(L, static_cast<lua_Unsigned>(Traits::BlockText(L, 1).size()));  // +1
    return 1;
  }

  // Either operand may be a string, a number or an object of either type;
  // the result is of this type and exactly as large as the joined text.
  static int Concat(lua_State* L) {
    const Text joined = Traits::TextOfValue(L, 1) + Traits::TextOfValue(L, 2);
    PushObject(L, joined, joined.size() + 1);  // +1
    return 1;
  }

  static int Equal(lua_State* L) {
    const bool both =
        luaL_testudata(L, 1, Traits::kMetaTable) && luaL_testudata(L, 2, Traits::kMetaTable);
    // Copies: the platform comparison wants zero-terminated text.
    const bool equal = both && Traits::Compare(Text(Traits::BlockText(L, 1)).c_str(),
                                               Text(Traits::BlockText(L, 2)).c_str()) == 0;
    lua_pushboolean(L, equal ? 1 : 0);  // +1
    return 1;
  }

  // object[i]: the unit at position i (from 0) as a one-character string;
  // "" at a zero unit (the terminator and after it); nil before the start
  // or past the end of the block.
  static int Index(lua_State* L) {
    const int64_t position = lua_tointegerx(L, 2, nullptr);
    const Unit* block = static_cast<const Unit*>(lua_touserdata(L, 1));
    const uint64_t units = lua_rawlen(L, 1) / sizeof(Unit);
    if (!block || position < 0 || static_cast<uint64_t>(position) >= units) {
      lua_pushnil(L);  // +1
      return 1;
    }
    const Unit unit = block[position];
    if (unit == 0) {
      lua_pushliteral(L, "");  // +1
    } else {
      const std::string utf8 = Traits::UnitToUtf8(unit);
      lua_pushlstring(L, utf8.data(), utf8.size());  // +1
    }
    return 1;
  }

  // object[i] = value: the first unit of the value's text replaces the unit
  // at i, for 1 <= i < the text length; the text never grows or shrinks past
  // its zero, and position 0 stays as it is.
  static int NewIndex(lua_State* L) {
    const int64_t position = lua_tointegerx(L, 2, nullptr);
    const Text value = Traits::FromWide(WideLuaText(L, 3));
    Unit* block = static_cast<Unit*>(lua_touserdata(L, 1));
    const int64_t length = static_cast<int64_t>(Traits::BlockText(L, 1).size());
    if (block && position >= 1 && position < length && !value.empty()) block[position] = value[0];
    return 0;
  }
};

}  // namespace zrb::script
