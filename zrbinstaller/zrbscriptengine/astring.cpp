#include "zrbinstaller/zrbscriptengine/astring.h"

#include <windows.h>

#include "common/utility/string_conversion.h"
#include "zrbinstaller/zrbscriptengine/script_string_type.h"
#include "zrbinstaller/zrbscriptengine/script_type_support.h"

namespace zrb::script {

namespace {

struct AStringTraits {
  using Unit = char;
  static constexpr const char* kMetaTable = kAStringMetaTable;

  static std::string TextOfValue(lua_State* L, int index) { return AnsiTextOfValue(L, index); }
  static std::string FromWide(std::wstring_view text) { return WideToThreadAnsi(text); }
  static std::string_view BlockText(lua_State* L, int index) { return NarrowBlockText(L, index); }
  static std::string ToUtf8(std::string_view text) { return WideToUtf8(ThreadAnsiToWide(text)); }

  // One byte on its own: ASCII is itself; a byte above 127 is returned raw,
  // since alone it is often half of a double-byte character that no code
  // page conversion could give back. string.byte then reads its value.
  static std::string UnitToUtf8(char unit) { return std::string(1, unit); }

  static int Compare(const char* left, const char* right) { return ::lstrcmpA(left, right); }
};

}  // namespace

int OpenAString(lua_State* L) { return ScriptStringType<AStringTraits>::Open(L); }

}  // namespace zrb::script
