#include "tests/unit/layout/layout_test_support.h"

#include <gtest/gtest.h>
#include <windowsx.h>

#include "ui/ui_messages.h"

namespace zrb::test {
namespace {

constexpr wchar_t kPageClass[] = L"ZrbLayoutTestPage";
// The system's caret timer message.
constexpr UINT kSystemTimer = 0x118;

bool IsMouseMessage(UINT msg) { return msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST; }

// The options page's focus messages.
bool IsFocusMessage(UINT msg) {
  return (msg >= WM_KEYFIRST && msg <= WM_IME_COMPOSITION) || msg == WM_INPUTLANGCHANGEREQUEST ||
         msg == WM_INPUTLANGCHANGE || msg == WM_IME_SETCONTEXT || msg == WM_IME_NOTIFY ||
         msg == ZRBUM_CARETBLINK;
}

LPARAM PointParam(int x, int y) {
  return MAKELPARAM(static_cast<WORD>(static_cast<SHORT>(x)),
                    static_cast<WORD>(static_cast<SHORT>(y)));
}

}  // namespace

RoutingPage::RoutingPage() {
  static const ATOM atom = [] {
    WNDCLASSEXW windowClass = {sizeof windowClass};
    windowClass.lpfnWndProc = &RoutingPage::WindowProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kPageClass;
    return ::RegisterClassExW(&windowClass);
  }();
  EXPECT_NE(atom, 0);
  hwnd_ = ::CreateWindowExW(0, kPageClass, L"", WS_POPUP, 0, 0, 600, 430, nullptr, nullptr,
                            ::GetModuleHandleW(nullptr), this);
  EXPECT_NE(hwnd_, nullptr) << ::GetLastError();
}

RoutingPage::~RoutingPage() {
  if (hwnd_) ::DestroyWindow(hwnd_);
}

void RoutingPage::Click(int x, int y) {
  ::SendMessageW(hwnd_, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(x, y));
  ::SendMessageW(hwnd_, WM_LBUTTONUP, 0, PointParam(x, y));
}

void RoutingPage::Type(const std::wstring& text) {
  for (const wchar_t ch : text) {
    const UINT key = ch == L'\b' ? VK_BACK : ch == L'\r' ? VK_RETURN : 0;
    if (key) ::SendMessageW(hwnd_, WM_KEYDOWN, key, 1);
    ::SendMessageW(hwnd_, WM_CHAR, ch, 1);
    if (key) ::SendMessageW(hwnd_, WM_KEYUP, key, 0xC0000001);
  }
}

void RoutingPage::Key(UINT key) {
  ::SendMessageW(hwnd_, WM_KEYDOWN, key, 1);
  ::SendMessageW(hwnd_, WM_KEYUP, key, 0xC0000001);
}

void RoutingPage::PumpPosted() {
  MSG message;
  while (::PeekMessageW(&message, hwnd_, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
}

void RoutingPage::PumpOnce() {
  MSG message;
  if (!::PeekMessageW(&message, hwnd_, 0, 0, PM_REMOVE)) {
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    return;
  }
  if (message.message == kSystemTimer) ::PostMessageW(hwnd_, ZRBUM_CARETBLINK, 0, 0);
  ::DispatchMessageW(&message);
}

LRESULT CALLBACK RoutingPage::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<RoutingPage*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self || hwnd != self->hwnd_) return ::DefWindowProcW(hwnd, msg, wParam, lParam);
  return self->Handle(msg, wParam, lParam);
}

LRESULT RoutingPage::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (captureOwner_ && IsMouseMessage(msg)) {
    if (LRESULT result = captureOwner_->HandleMessage(msg, wParam, lParam)) return result;
  } else if (focusOwner_ && IsFocusMessage(msg)) {
    if (LRESULT result = focusOwner_->HandleMessage(msg, wParam, lParam)) return result;
  }

  auto* sender = reinterpret_cast<ZRBUE::IZRBBaseUIObject*>(lParam);
  switch (msg) {
    case ZRBUM_SETCAPTURE:
      if (captureOwner_ && captureOwner_ != sender) {
        BOOL handled = FALSE;
        captureOwner_->OnCaptureChanged(msg, wParam, lParam, handled);
      }
      captureOwner_ = sender;
      return 0;
    case ZRBUM_RELEASECAPTURE:
      if (captureOwner_ == sender) captureOwner_ = nullptr;
      return 0;
    case ZRBUM_SETFOCUS:
      if (focusOwner_ && focusOwner_ != sender) focusOwner_->KillFocus();
      focusOwner_ = sender;
      return 0;
    case ZRBUM_KILLFOCUS:
      if (focusOwner_ == sender) focusOwner_ = nullptr;
      return 0;
    case WM_SYSCOMMAND:
    case WM_CLOSE:
      ++systemCommands_;
      return 0;
    default:
      break;
  }
  if (IsMouseMessage(msg) || msg == WM_MOUSEHOVER || msg == WM_MOUSELEAVE) {
    return HandleMouse(msg, wParam, lParam);
  }
  return ::DefWindowProcW(hwnd_, msg, wParam, lParam);
}

LRESULT RoutingPage::HandleMouse(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!root_) return 0;
  const RECT rect = root_->GetRect();
  const bool inside = ::PtInRect(&rect, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
  BOOL handled = FALSE;
  switch (msg) {
    case WM_LBUTTONDOWN:
      if (inside) root_->OnLButtonDown(msg, wParam, lParam, handled);
      break;
    case WM_LBUTTONUP:
      if (inside) root_->OnLButtonUp(msg, wParam, lParam, handled);
      break;
    case WM_MOUSEMOVE:
      if (inside) {
        root_->OnMouseMove(msg, wParam, lParam, handled);
      } else {
        root_->OnMouseLeave(msg, wParam, lParam, handled);
      }
      break;
    case WM_MOUSEHOVER:
      if (inside) root_->OnMouseHover(msg, wParam, lParam, handled);
      break;
    case WM_MOUSELEAVE:
      root_->OnMouseLeave(msg, wParam, lParam, handled);
      break;
    default:
      break;
  }
  return 0;
}

}  // namespace zrb::test
