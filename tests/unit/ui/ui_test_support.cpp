#include "tests/unit/ui/ui_test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "ui/ui_messages.h"
#include "zrbinstaller/gdiplus_session.h"

namespace zrb::test {
namespace {

// GDI+ runs for the whole test program, as in the setup.
class GdiplusEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { ASSERT_TRUE(zrb::EnsureGdiplusStarted()); }
};
::testing::Environment* const gGdiplus =
    ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

constexpr wchar_t kHostClass[] = L"ZrbUiTestHost";

LPARAM PointParam(int x, int y) {
  return MAKELPARAM(static_cast<WORD>(static_cast<SHORT>(x)),
                    static_cast<WORD>(static_cast<SHORT>(y)));
}

}  // namespace

std::string Hex(uint32_t pixel) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(pixel));
  return text;
}

Canvas::Canvas(int width, int height) : dc_(::CreateCompatibleDC(nullptr)) {
  if (!dib_.Create(dc_, width, height)) ADD_FAILURE() << "no DIB section";
  previous_ = ::SelectObject(dc_, dib_.GetBitmap());
}

Canvas::~Canvas() {
  ::SelectObject(dc_, previous_);
  ::DeleteDC(dc_);
}

void Canvas::Draw(ZRBUE::IZRBBaseUIObject& object) {
  {
    Gdiplus::Graphics graphics(dc_);
    object.Draw(graphics);
  }
  ::GdiFlush();
}

void Canvas::Clear() {
  std::memset(dib_.GetPixels(), 0,
              sizeof(uint32_t) * static_cast<size_t>(dib_.GetWidth()) * dib_.GetHeight());
}

HostWindow::HostWindow() {
  static const ATOM atom = [] {
    WNDCLASSEXW windowClass = {sizeof windowClass};
    windowClass.lpfnWndProc = &HostWindow::WindowProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kHostClass;
    return ::RegisterClassExW(&windowClass);
  }();
  EXPECT_NE(atom, 0);
  hwnd_ = ::CreateWindowExW(0, kHostClass, L"", WS_POPUP, 0, 0, 600, 430, nullptr, nullptr,
                            ::GetModuleHandleW(nullptr), this);
  EXPECT_NE(hwnd_, nullptr);
}

HostWindow::~HostWindow() {
  if (hwnd_) ::DestroyWindow(hwnd_);
}

LRESULT CALLBACK HostWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<HostWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self && (msg >= WM_USER || msg == WM_NCLBUTTONDOWN)) return self->Handle(msg, wParam, lParam);
  return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT HostWindow::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
  messages_.push_back(Message{msg, wParam, lParam});
  if (onMessage) onMessage(messages_.back());
  auto* sender = reinterpret_cast<ZRBUE::IZRBBaseUIObject*>(lParam);
  if (msg == ZRBUM_SETFOCUS) {
    if (focusOwner_ && focusOwner_ != sender) focusOwner_->KillFocus();
    focusOwner_ = sender;
  } else if (msg == ZRBUM_KILLFOCUS && focusOwner_ == sender) {
    focusOwner_ = nullptr;
  }
  return 0;
}

void HostWindow::PumpPosted() {
  MSG message;
  while (::PeekMessageW(&message, hwnd_, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
}

std::vector<Message> HostWindow::Take() { return std::move(messages_); }

std::vector<Message> HostWindow::Find(UINT msg) const {
  std::vector<Message> found;
  for (const Message& m : messages_) {
    if (m.msg == msg) found.push_back(m);
  }
  return found;
}

BOOL Press(ZRBUE::IZRBBaseUIObject& target, int x, int y) {
  BOOL handled = FALSE;
  target.OnLButtonDown(WM_LBUTTONDOWN, MK_LBUTTON, PointParam(x, y), handled);
  return handled;
}

BOOL Release(ZRBUE::IZRBBaseUIObject& target, int x, int y) {
  BOOL handled = FALSE;
  target.OnLButtonUp(WM_LBUTTONUP, 0, PointParam(x, y), handled);
  return handled;
}

BOOL Move(ZRBUE::IZRBBaseUIObject& target, int x, int y) {
  BOOL handled = FALSE;
  target.OnMouseMove(WM_MOUSEMOVE, 0, PointParam(x, y), handled);
  return handled;
}

BOOL Hover(ZRBUE::IZRBBaseUIObject& target, int x, int y) {
  BOOL handled = FALSE;
  target.OnMouseHover(WM_MOUSEHOVER, 0, PointParam(x, y), handled);
  return handled;
}

BOOL Leave(ZRBUE::IZRBBaseUIObject& target) {
  BOOL handled = FALSE;
  target.OnMouseLeave(WM_MOUSELEAVE, 0, 0, handled);
  return handled;
}

void Click(ZRBUE::IZRBBaseUIObject& target, int x, int y) {
  Press(target, x, y);
  Release(target, x, y);
}

}  // namespace zrb::test
