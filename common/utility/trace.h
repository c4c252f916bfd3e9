// Diagnostic trace on the system debugger channel.
//
// Every line starts with the tag "vq " and is emitted with one
// OutputDebugStringW call. Formats follow the platform's wide printf
// conventions (msvcrt): %s takes a wide string, %S a narrow one, %d a signed
// 32-bit integer, %I64u an unsigned 64-bit integer. Tracing never changes the
// caller's last-error code.
#pragma once

#include <windows.h>

namespace zrb {

// Builds one line (tag + formatted message, cut to fit 1024 UTF-16 units)
// and emits it. Safe from any thread; uses only stack memory.
void Trace(const wchar_t* format, ...);

// Formats into `buffer` with the msvcrt wide conventions. Writes at most
// `count` units including the terminating zero and always terminates;
// returns the number of units written before the zero.
int FormatWide(wchar_t* buffer, size_t count, const wchar_t* format, va_list args);

}  // namespace zrb

#define ZRB_WIDEN_(text) L##text
#define ZRB_WIDEN(text) ZRB_WIDEN_(text)

// The three-line error form, used right after a failed system call. `message`
// is a wide string literal joined in front of each line; the last line
// carries the last-error code as it stands after the first two were emitted.
#define TraceWin32Error(message)                                              \
  do {                                                                         \
    ::zrb::Trace(message L"vq file:%s\r\n", ZRB_WIDEN(__FILE__));              \
    ::zrb::Trace(message L"vq line:%d\r\n", static_cast<int>(__LINE__));       \
    ::zrb::Trace(message L"vq err:%d\r\n", static_cast<int>(::GetLastError())); \
  } while (0)
