#include "zrbinstaller/zrbscriptengine/raw_buffer.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>

#include "common/utility/string_conversion.h"
#include "zrbinstaller/zrbscriptengine/script_type_support.h"

namespace zrb::script {

namespace {

// The bytes from the object's block + offset to the end of the block.
struct Span {
  unsigned char* data = nullptr;
  size_t size = 0;  // SIZE_MAX for a light userdata: its extent is unknown
};

// The object is argument 1, the offset argument 2. Empty when the object has
// no block or the offset lies outside it.
Span SpanAtOffset(lua_State* L) {
  auto* base = static_cast<unsigned char*>(lua_touserdata(L, 1));
  const lua_Integer offset = lua_tointegerx(L, 2, nullptr);
  if (!base) return {};
  if (lua_type(L, 1) == LUA_TLIGHTUSERDATA) return {base + offset, SIZE_MAX};
  const size_t size = lua_rawlen(L, 1);
  if (offset < 0 || static_cast<size_t>(offset) >= size) return {};
  return {base + offset, size - static_cast<size_t>(offset)};
}

// `width` bytes at the offset, or null when they do not all lie in the block.
unsigned char* BytesAtOffset(lua_State* L, size_t width) {
  const Span span = SpanAtOffset(L);
  return span.data && width <= span.size ? span.data : nullptr;
}

void PushNumber(lua_State* L, int32_t value) { lua_pushinteger(L, value); }
void PushNumber(lua_State* L, int16_t value) { lua_pushinteger(L, value); }
void PushNumber(lua_State* L, int8_t value) { lua_pushinteger(L, value); }
void PushNumber(lua_State* L, uint32_t value) { lua_pushunsigned(L, value); }
void PushNumber(lua_State* L, uint16_t value) { lua_pushunsigned(L, value); }
void PushNumber(lua_State* L, uint8_t value) { lua_pushunsigned(L, value); }

template <typename T>
int GetNumber(lua_State* L) {
  const unsigned char* bytes = BytesAtOffset(L, sizeof(T));
  if (!bytes) {
    lua_pushnil(L);  // +1
    return 1;
  }
  T value;
  std::memcpy(&value, bytes, sizeof(T));  // offsets need not be aligned
  PushNumber(L, value);                   // +1
  return 1;
}

// Stores the low bits of the value (argument 3): signed types read it with
// lua_tointegerx, unsigned ones with lua_tounsignedx.
template <typename T>
int SetNumber(lua_State* L) {
  unsigned char* bytes = BytesAtOffset(L, sizeof(T));
  if (!bytes) return 0;
  const T value = std::is_signed_v<T> ? static_cast<T>(lua_tointegerx(L, 3, nullptr))
                                      : static_cast<T>(lua_tounsignedx(L, 3, nullptr));
  std::memcpy(bytes, &value, sizeof(T));
  return 0;
}

int GetBoolean(lua_State* L) {
  const unsigned char* bytes = BytesAtOffset(L, sizeof(int32_t));
  if (!bytes) {
    lua_pushnil(L);  // +1
    return 1;
  }
  int32_t value;
  std::memcpy(&value, bytes, sizeof(value));
  lua_pushboolean(L, value != 0);  // +1
  return 1;
}

int SetBoolean(lua_State* L) {
  unsigned char* bytes = BytesAtOffset(L, sizeof(int32_t));
  if (!bytes) return 0;
  const int32_t value = lua_toboolean(L, 3) ? 1 : 0;
  std::memcpy(bytes, &value, sizeof(value));
  return 0;
}

// The zero-terminated text at the offset, ending at the block's end when no
// zero comes first.
template <typename Unit>
std::basic_string<Unit> TextAt(const Span& span) {
  std::basic_string<Unit> text;
  for (size_t at = 0; span.size - at >= sizeof(Unit); at += sizeof(Unit)) {
    Unit unit;
    std::memcpy(&unit, span.data + at, sizeof(Unit));
    if (unit == 0) break;
    text.push_back(unit);
  }
  return text;
}

int GetWString(lua_State* L) {
  const Span span = SpanAtOffset(L);
  if (!span.data || span.size < sizeof(wchar_t)) {
    lua_pushnil(L);  // +1
    return 1;
  }
  const std::string utf8 = WideToUtf8(TextAt<wchar_t>(span));
  lua_pushlstring(L, utf8.data(), utf8.size());  // +1
  return 1;
}

int GetAString(lua_State* L) {
  const Span span = SpanAtOffset(L);
  if (!span.data) {
    lua_pushnil(L);  // +1
    return 1;
  }
  const std::string utf8 = WideToUtf8(ThreadAnsiToWide(TextAt<char>(span)));
  lua_pushlstring(L, utf8.data(), utf8.size());  // +1
  return 1;
}

// Nothing is read: the address itself, as long as it lies in the block.
int GetPointer(lua_State* L) {
  unsigned char* bytes = BytesAtOffset(L, 1);
  if (bytes) {
    lua_pushlightuserdata(L, bytes);  // +1
  } else {
    lua_pushnil(L);  // +1
  }
  return 1;
}

// The block address of a full userdata, a light userdata's address, or 0.
int SetPointer(lua_State* L) {
  unsigned char* bytes = BytesAtOffset(L, sizeof(uint32_t));
  if (!bytes) return 0;
  const uint32_t value = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(lua_touserdata(L, 3)));
  std::memcpy(bytes, &value, sizeof(value));
  return 0;
}

// Copies the value (argument 3) there without conversion when it is a full
// userdata: its whole block, zeros and all. A Lua string is copied in the
// method's encoding (`wide`: UTF-16, else the thread's ANSI code page) with its
// terminating zero. Anything else, or a copy that would not fit, does nothing.
int SetString(lua_State* L, bool wide) {
  std::string converted;
  const void* source = nullptr;
  size_t length = 0;
  if (lua_type(L, 3) == LUA_TUSERDATA) {
    source = lua_touserdata(L, 3);
    length = lua_rawlen(L, 3);
  } else if (lua_type(L, 3) == LUA_TSTRING) {
    size_t utf8Length = 0;
    const char* utf8 = lua_tolstring(L, 3, &utf8Length);
    const std::wstring text = Utf8ToWide(std::string_view(utf8, utf8Length));
    if (wide) {
      converted.assign(reinterpret_cast<const char*>(text.c_str()),
                       (text.size() + 1) * sizeof(wchar_t));
    } else {
      converted = WideToThreadAnsi(text);
      converted.push_back('\0');
    }
    source = converted.data();
    length = converted.size();
  }
  if (!source) return 0;
  unsigned char* bytes = BytesAtOffset(L, length);
  if (bytes) std::memmove(bytes, source, length);  // the source may be this very block
  return 0;
}

int SetWString(lua_State* L) { return SetString(L, true); }
int SetAString(lua_State* L) { return SetString(L, false); }

// Larger buffers are refused rather than attempted.
constexpr lua_Unsigned kMaxBufferBytes = 0x7FFFFFFF;

// New(size in bytes): a zero-filled buffer; nil for 0.
int New(lua_State* L) {
  const lua_Unsigned size = lua_tounsignedx(L, 1, nullptr);
  if (size == 0 || size > kMaxBufferBytes) {
    lua_pushnil(L);  // +1
    return 1;
  }
  void* block = lua_newuserdata(L, size);  // +1
  std::memset(block, 0, size);
  luaL_setmetatable(L, kRawBufferMetaTable);
  return 1;
}

}  // namespace

int OpenRawBuffer(lua_State* L) {
  static const luaL_Reg methods[] = {{"OffsetGetAsInt32", GetNumber<int32_t>},
                                     {"OffsetGetAsInt16", GetNumber<int16_t>},
                                     {"OffsetGetAsInt8", GetNumber<int8_t>},
                                     {"OffsetGetAsUInt32", GetNumber<uint32_t>},
                                     {"OffsetGetAsUInt16", GetNumber<uint16_t>},
                                     {"OffsetGetAsUInt8", GetNumber<uint8_t>},
                                     {"OffsetGetAsBoolean", GetBoolean},
                                     {"OffsetGetAsWString", GetWString},
                                     {"OffsetGetAsAString", GetAString},
                                     {"OffsetGetAsPointer", GetPointer},
                                     {"OffsetSetAsInt32", SetNumber<int32_t>},
                                     {"OffsetSetAsInt16", SetNumber<int16_t>},
                                     {"OffsetSetAsInt8", SetNumber<int8_t>},
                                     {"OffsetSetAsUInt32", SetNumber<uint32_t>},
                                     {"OffsetSetAsUInt16", SetNumber<uint16_t>},
                                     {"OffsetSetAsUInt8", SetNumber<uint8_t>},
                                     {"OffsetSetAsBoolean", SetBoolean},
                                     {"OffsetSetAsPointer", SetPointer},
                                     {"OffsetSetAsWString", SetWString},
                                     {"OffsetSetAsAString", SetAString},
                                     {nullptr, nullptr}};
  static const luaL_Reg functions[] = {{"New", New}, {nullptr, nullptr}};
  return OpenScriptType(L, kRawBufferMetaTable, methods, ObjectIndex::kMethods, functions);
}

}  // namespace zrb::script
