#include "zrbinstaller/page_window_class.h"

const wchar_t kPageWindowClassName[] = L"Zrb_Installer";

bool RegisterPageWindowClass(HINSTANCE instance) {
  WNDCLASSEXW dialogClass{};
  dialogClass.cbSize = sizeof dialogClass;
  if (!::GetClassInfoExW(nullptr, L"#32770", &dialogClass)) return false;
  dialogClass.hInstance = instance;
  dialogClass.lpszClassName = kPageWindowClassName;
  return ::RegisterClassExW(&dialogClass) != 0;
}
