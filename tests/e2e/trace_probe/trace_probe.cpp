// Emits known trace lines so the tests can read them back through the
// debugger channel.
#include <windows.h>

#include <string>

#include "common/utility/trace.h"

int wmain() {
  zrb::Trace(L"plain line\r\n");
  zrb::Trace(L"no line end");
  zrb::Trace(L"number %d, wide %s, narrow %S, big %I64u\r\n", -7, L"宽", "narrow",
             12345678901234ULL);
  const std::wstring longText(3000, L'L');
  zrb::Trace(L"%s", longText.c_str());
  ::SetLastError(ERROR_FILE_NOT_FOUND);
  TraceWin32Error(L"Joined failed.");
  ::SetLastError(ERROR_ACCESS_DENIED);
  zrb::Trace(L"Separate %s\r\n", L"message");
  TraceWin32Error(L"");
  return 0;
}
