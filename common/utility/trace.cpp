#include "common/utility/trace.h"

#include <cstdarg>
#include <cwchar>

// The msvcrt formatter, declared by hand: MinGW's C++ headers route the
// standard wide printf family to its C99 implementation, where %s in a wide
// format means a narrow string. The trace formats use the platform meaning.
extern "C" __declspec(dllimport) int __cdecl _vsnwprintf(wchar_t* buffer, size_t count,
                                                         const wchar_t* format, va_list args);

namespace zrb {
namespace {

constexpr wchar_t kTag[] = L"vq ";
constexpr size_t kTagLength = 3;
constexpr size_t kLineUnits = 1024;

}  // namespace

int FormatWide(wchar_t* buffer, size_t count, const wchar_t* format, va_list args) {
  if (count == 0) return 0;
  // _vsnwprintf leaves the buffer unterminated when the text does not fit,
  // so it writes one unit less and the last one stays zero.
  buffer[count - 1] = L'\0';
  int written = _vsnwprintf(buffer, count - 1, format, args);
  if (written < 0) {
    written = static_cast<int>(count - 1);
  }
  buffer[written] = L'\0';
  return written;
}

void Trace(const wchar_t* format, ...) {
  const DWORD lastError = ::GetLastError();
  wchar_t line[kLineUnits] = {};
  wmemcpy(line, kTag, kTagLength);
  va_list args;
  va_start(args, format);
  FormatWide(line + kTagLength, kLineUnits - kTagLength, format, args);
  va_end(args);
  ::OutputDebugStringW(line);
  ::SetLastError(lastError);
}

}  // namespace zrb
