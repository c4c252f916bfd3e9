#include "tests/unit/hostlib/host_script.h"

#include "common/utility/string_conversion.h"

namespace zrb::test {

std::string LuaString(const std::wstring& text) {
  std::string literal = "\"";
  for (const char unit : WideToUtf8(text)) {
    if (unit == '\\' || unit == '"') literal += '\\';
    literal += unit;
  }
  return literal + "\"";
}

}  // namespace zrb::test
