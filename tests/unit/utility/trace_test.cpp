#include "common/utility/trace.h"

#include <gtest/gtest.h>

#include <cstdarg>
#include <string>

namespace {

std::wstring Format(size_t units, const wchar_t* format, ...) {
  std::wstring buffer(units, L'#');
  va_list args;
  va_start(args, format);
  const int written = zrb::FormatWide(buffer.data(), units, format, args);
  va_end(args);
  EXPECT_EQ(buffer[written], L'\0');
  return buffer.substr(0, written);
}

// The trace formats use the platform's wide conventions, not C99's.
TEST(TraceFormat, UsesPlatformWideConventions) {
  struct Case {
    std::wstring expected;
    std::wstring actual;
  } cases[] = {
      {L"wide", Format(64, L"%s", L"wide")},
      {L"narrow", Format(64, L"%S", "narrow")},
      {L"-2", Format(64, L"%d", -2)},
      {L"18446744073709551615", Format(64, L"%I64u", 18446744073709551615ULL)},
      {L" szObjectName = Global\\x7 ", Format(64, L" szObjectName = %s%d ", L"Global\\x", 7)},
      {L"中文", Format(64, L"%s", L"中文")},
  };
  for (const Case& c : cases) EXPECT_EQ(c.expected, c.actual);
}

TEST(TraceFormat, CutsLongTextWithoutOverrun) {
  const std::wstring longText(5000, L'x');
  const std::wstring cut = Format(16, L"%s", longText.c_str());
  EXPECT_EQ(std::wstring(15, L'x'), cut);
}

}  // namespace
