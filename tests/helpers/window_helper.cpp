// A program with one top-level window, for the process tests.
//
//   zrb_window_helper.exe closes|ignores <window class>
//
// "closes" ends with exit code 7 when the window gets WM_CLOSE (directly or
// through WM_SYSCOMMAND/SC_CLOSE); "ignores" keeps running. In both modes
// WM_APP ends the program with exit code wParam + lParam, which shows the
// tests which message arrived first and with which parameters.
#include <windows.h>

#include <string>

namespace {

constexpr int kClosedExitCode = 7;
bool closesOnClose = false;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      if (closesOnClose) PostQuitMessage(kClosedExitCode);
      return 0;
    case WM_APP:
      PostQuitMessage(static_cast<int>(wParam + lParam));
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  closesOnClose = std::wstring(argv[1]) == L"closes";
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = argv[2];
  if (!RegisterClassW(&windowClass)) return 3;
  // Hidden: top-level windows are enumerated and found all the same.
  if (!CreateWindowExW(0, argv[2], L"window helper", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                       nullptr, windowClass.hInstance, nullptr)) {
    return 4;
  }
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}
