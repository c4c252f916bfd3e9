#include "zrbinstaller/zrbscriptengine/wstring.h"

#include <windows.h>

#include "common/utility/string_conversion.h"
#include "zrbinstaller/zrbscriptengine/script_string_type.h"
#include "zrbinstaller/zrbscriptengine/script_type_support.h"

namespace zrb::script {

namespace {

struct WStringTraits {
  using Unit = wchar_t;
  static constexpr const char* kMetaTable = kWStringMetaTable;

  static std::wstring TextOfValue(lua_State* L, int index) { return WideTextOfValue(L, index); }
  static std::wstring FromWide(std::wstring_view text) { return std::wstring(text); }
  static std::wstring_view BlockText(lua_State* L, int index) { return WideBlockText(L, index); }
  static std::string ToUtf8(std::wstring_view text) { return WideToUtf8(text); }
  static std::string UnitToUtf8(wchar_t unit) { return WideToUtf8(std::wstring_view(&unit, 1)); }
  static int Compare(const wchar_t* left, const wchar_t* right) { return ::lstrcmpW(left, right); }
};

}  // namespace

int OpenWString(lua_State* L) { return ScriptStringType<WStringTraits>::Open(L); }

}  // namespace zrb::script
