// A push button drawn entirely from a four-cell image strip.
#pragma once

#include <memory>

#include "ui/image_object.h"
#include "ui/ui_object_impl_base.h"

namespace ZRBUE {

// Cells, each of the rect's size: 0 normal, 1 hover, 2 pressed, 3 disabled.
// The state is the cell shown; the button is enabled while it is not 3.
// A move or hover shows 1, a button-down 2 (until the mouse moves again), a
// leave 0; a click (down and up on the button) sends the action message
// with wParam 0 before the button returns to the hover cell.
class ButtonUIObjectImpl : public ClickableUIObjectImpl {
 public:
  enum State { kNormal = 0, kHover = 1, kPressed = 2, kDisabled = 3 };

  int Draw(Gdiplus::Graphics& graphics) override;
  // Loads the strip; resId must not be 0 (E_FAIL).
  int Init(HWND host, int left, int top, int right, int bottom, UINT resId, LPCWSTR type) override;
  BOOL IsEnabled() const override { return state_ != kDisabled; }
  // State 0 or 3 (KillFocus first when disabling).
  void SetEnabled(BOOL enabled) override;

  int GetState() const { return state_; }

 protected:
  void ShowHover() override { state_ = kHover; }
  void ShowPressed() override { state_ = kPressed; }
  void ShowNormal() override { state_ = kNormal; }

 private:
  std::unique_ptr<ImageObject> image_;
  int state_ = kNormal;
};

}  // namespace ZRBUE
