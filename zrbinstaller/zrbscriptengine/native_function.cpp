#include "zrbinstaller/zrbscriptengine/native_function.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/utility/string_conversion.h"
#include "zrbinstaller/zrbscriptengine/native_call.h"

namespace zrb::script {

namespace {

enum class ResultType { kNone, kInt, kUInt, kBool, kAStr, kWStr, kPtr };

// Upvalue 1, compared exactly; only a string names a type.
ResultType ResultTypeOf(lua_State* L, int index) {
  if (lua_type(L, index) != LUA_TSTRING) return ResultType::kNone;
  size_t length = 0;
  const char* name = lua_tolstring(L, index, &length);
  const std::string_view type(name, length);
  if (type == "int") return ResultType::kInt;
  if (type == "uint") return ResultType::kUInt;
  if (type == "bool") return ResultType::kBool;
  if (type == "astr") return ResultType::kAStr;
  if (type == "wstr") return ResultType::kWStr;
  if (type == "ptr") return ResultType::kPtr;
  return ResultType::kNone;
}

void PushResult(lua_State* L, ResultType type, uint32_t value) {
  switch (type) {
    case ResultType::kInt:
      lua_pushinteger(L, static_cast<int32_t>(value));  // +1
      return;
    case ResultType::kUInt:
      lua_pushunsigned(L, value);  // +1
      return;
    case ResultType::kBool:
      lua_pushboolean(L, value != 0);  // +1
      return;
    case ResultType::kAStr: {
      const char* text = reinterpret_cast<const char*>(static_cast<uintptr_t>(value));
      const std::string utf8 = text ? WideToUtf8(ThreadAnsiToWide(text)) : std::string();
      lua_pushlstring(L, utf8.data(), utf8.size());  // +1
      return;
    }
    case ResultType::kWStr: {
      const wchar_t* text = reinterpret_cast<const wchar_t*>(static_cast<uintptr_t>(value));
      const std::string utf8 = text ? WideToUtf8(text) : std::string();
      lua_pushlstring(L, utf8.data(), utf8.size());  // +1
      return;
    }
    case ResultType::kPtr:
      lua_pushlightuserdata(L, reinterpret_cast<void*>(static_cast<uintptr_t>(value)));  // +1
      return;
    case ResultType::kNone:
      lua_pushnil(L);  // +1
      return;
  }
}

// The word for argument `index`; false for a table, function or thread.
bool ArgumentWord(lua_State* L, int index, uint32_t* word) {
  switch (lua_type(L, index)) {
    case LUA_TNIL:
      *word = 0;
      return true;
    case LUA_TBOOLEAN:
      *word = lua_toboolean(L, index) ? 1 : 0;
      return true;
    case LUA_TNUMBER:
      // Wraps to 32 bits, so 0xFFFFFFFF and -1 give the same word.
      *word = static_cast<uint32_t>(lua_tointegerx(L, index, nullptr));
      return true;
    case LUA_TSTRING:  // the string's own bytes, zero-terminated, read-only
    case LUA_TLIGHTUSERDATA:
    case LUA_TUSERDATA: {
      const void* address = lua_type(L, index) == LUA_TSTRING ? lua_tolstring(L, index, nullptr)
                                                              : lua_touserdata(L, index);
      *word = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(address));
      return true;
    }
    default:
      return false;
  }
}

int CallNative(lua_State* L) {
  const void* address = lua_touserdata(L, lua_upvalueindex(3));
  if (!address) {
    lua_pushinteger(L, 0);  // +1
    return 1;
  }
  const int count = lua_gettop(L);
  // Most calls take a handful of arguments: no allocation for those.
  uint32_t inlineWords[16];
  std::vector<uint32_t> manyWords;
  uint32_t* words = inlineWords;
  if (count > 16) {
    manyWords.resize(static_cast<size_t>(count));
    words = manyWords.data();
  }
  for (int index = count; index >= 1; --index) {
    if (!ArgumentWord(L, index, &words[index - 1])) {
      lua_pushliteral(L, "unknow argument type");  // +1
      return lua_error(L);                         // unwinds this frame (Lua is built as C++)
    }
  }

  // Lua has released the script lock for this native function: a long call
  // (a wait, a dialog) leaves the state to other threads meanwhile.
  uint32_t lastError = 0;
  const uint32_t result = ZrbCallNative(address, words, static_cast<uint32_t>(count), &lastError);

  PushResult(L, ResultTypeOf(L, lua_upvalueindex(1)), result);  // +1
  lua_pushunsigned(L, lastError);                               // +1
  return 2;
}

}  // namespace

void PushNativeFunction(lua_State* L, void* address) {
  lua_pushlightuserdata(L, address);   // +1
  lua_pushcclosure(L, CallNative, 3);  // -3 +1: type, flag and address become upvalues
}

}  // namespace zrb::script
