// Conversions between UTF-16 host text and narrow text in a given code page.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace zrb {

std::wstring MultiByteToWide(UINT codePage, std::string_view text);
std::string WideToMultiByte(UINT codePage, std::wstring_view text);

inline std::wstring Utf8ToWide(std::string_view text) { return MultiByteToWide(CP_UTF8, text); }
inline std::string WideToUtf8(std::wstring_view text) { return WideToMultiByte(CP_UTF8, text); }

// The thread's ANSI code page: narrow text for native calls, chunk names,
// command lines.
inline std::wstring ThreadAnsiToWide(std::string_view text) {
  return MultiByteToWide(CP_THREAD_ACP, text);
}
inline std::string WideToThreadAnsi(std::wstring_view text) {
  return WideToMultiByte(CP_THREAD_ACP, text);
}

// Text that is valid UTF-8 is read as UTF-8, anything else in the thread's
// ANSI code page: for messages that mix script text with ANSI names.
std::wstring Utf8OrThreadAnsiToWide(std::string_view text);

}  // namespace zrb
