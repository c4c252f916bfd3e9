#include "tests/support/dialog_driver.h"

#include <vector>

namespace zrb::test {
namespace {

std::wstring WindowText(HWND window) {
  const int length = ::GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(::GetWindowTextW(window, text.data(), length + 1)));
  return text;
}

std::wstring LongestStaticText(HWND dialog) {
  std::wstring longest;
  for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    wchar_t className[64] = {};
    ::GetClassNameW(child, className, 64);
    if (_wcsicmp(className, L"Static") != 0) continue;
    std::wstring text = WindowText(child);
    if (text.size() > longest.size()) longest = std::move(text);
  }
  return longest;
}

}  // namespace

std::optional<DialogSeen> AnswerDialog(const std::wstring& caption, int buttonId, DWORD timeoutMs) {
  const DWORD start = ::GetTickCount();
  while (::GetTickCount() - start < timeoutMs) {
    if (HWND dialog = ::FindWindowW(L"#32770", caption.c_str())) {
      ::Sleep(200);  // let the box finish laying out its text
      DialogSeen seen{WindowText(dialog), LongestStaticText(dialog)};
      HWND button = ::GetDlgItem(dialog, buttonId);
      ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                     reinterpret_cast<LPARAM>(button));
      return seen;
    }
    ::Sleep(50);
  }
  return std::nullopt;
}

}  // namespace zrb::test
