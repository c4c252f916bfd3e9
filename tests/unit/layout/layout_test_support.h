// Test bed of the text box and layout loader tests: the test image and a
// page window that routes input as the wizard pages do.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "ui/base_ui_object.h"

namespace zrb::test {

// Resource "PNG" 120 of the test program (tests/unit/layout/CMakeLists.txt):
// three 200 x 30 cells, the text box's normal, active and disabled looks.
constexpr UINT kTextBoxStrip = 120;
constexpr uint32_t kTextBoxCells[] = {0xFF4080C0, 0xFFC0A040, 0xFF909090};

// A hidden page window that hands input to a UI tree the way the wizard
// pages do: mouse messages first to the capture owner's HandleMessage, keys,
// characters, IME messages and caret blinks to the focus owner's, the rest of
// the mouse to the root; focus and capture owners follow the objects'
// messages. The system caret timer becomes a posted ZRBUM_CARETBLINK, as in
// the pages' message filter.
class RoutingPage {
 public:
  RoutingPage();
  ~RoutingPage();
  RoutingPage(const RoutingPage&) = delete;
  RoutingPage& operator=(const RoutingPage&) = delete;

  HWND Get() const { return hwnd_; }
  // The tree that receives the mouse; not owned.
  void SetRoot(ZRBUE::IZRBBaseUIObject* root) { root_ = root; }
  ZRBUE::IZRBBaseUIObject* FocusOwner() const { return focusOwner_; }
  ZRBUE::IZRBBaseUIObject* CaptureOwner() const { return captureOwner_; }

  // Button down and up at (x, y), through the window.
  void Click(int x, int y);
  // Each character as the keyboard gives it, through the window: key down,
  // the character TranslateMessage makes of it, key up. '\b' is the
  // backspace key, '\r' the enter key.
  void Type(const std::wstring& text);
  // Key down and up, through the window.
  void Key(UINT key);
  // Dispatches what is queued for the window now.
  void PumpPosted();
  // Dispatches what was posted to the window until `done` holds or
  // `timeoutMs` has passed; returns whether `done` held. The system caret
  // timer is turned into ZRBUM_CARETBLINK on the way.
  template <typename Done>
  bool PumpUntil(Done done, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    while (!done()) {
      if (::GetTickCount() - start > timeoutMs) return false;
      PumpOnce();
    }
    return true;
  }

  // WM_SYSCOMMAND and WM_CLOSE messages that reached the window (both are
  // answered without closing it).
  int SystemCommands() const { return systemCommands_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMouse(UINT msg, WPARAM wParam, LPARAM lParam);
  void PumpOnce();

  HWND hwnd_ = nullptr;
  ZRBUE::IZRBBaseUIObject* root_ = nullptr;
  ZRBUE::IZRBBaseUIObject* focusOwner_ = nullptr;
  ZRBUE::IZRBBaseUIObject* captureOwner_ = nullptr;
  int systemCommands_ = 0;
};

}  // namespace zrb::test
