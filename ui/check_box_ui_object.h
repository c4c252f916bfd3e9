// A check box: a box image with six cells and an optional text.
#pragma once

#include <memory>
#include <string>

#include "ui/drawing.h"
#include "ui/image_object.h"
#include "ui/ui_object_impl_base.h"

namespace ZRBUE {

// The state is the cell shown: 0 unchecked, 1 unchecked disabled, 2
// unchecked hover, 3 checked, 4 checked disabled, 5 checked hover. Checked
// means state > 2; enabled means state is neither 1 nor 4.
//
// Without text the cell covers the whole rect; with text it is drawn at the
// check rect (none when that is empty) and the text at the label rect's
// top-left corner. Every click (down and up on the box) toggles the check
// state and then sends the action message with wParam = the new state (1
// or 0); the box then shows the hover cell of its new state. A button-down
// has no look of its own.
class CheckBoxUIObjectImpl : public ClickableUIObjectImpl {
 public:
  enum State {
    kUnchecked = 0,
    kUncheckedDisabled = 1,
    kUncheckedHover = 2,
    kChecked = 3,
    kCheckedDisabled = 4,
    kCheckedHover = 5,
  };

  int Draw(Gdiplus::Graphics& graphics) override;
  // Loads the strip; resId must not be 0 (E_FAIL).
  int Init(HWND host, int left, int top, int right, int bottom, UINT resId, LPCWSTR type) override;
  // Moves the check and label rects with the rect's top-left corner.
  void SetRect(int left, int top, int right, int bottom) override;
  BOOL IsEnabled() const override;
  // State (3 if checked else 0) + (0 if enabled else 1); KillFocus first when
  // disabling.
  void SetEnabled(BOOL enabled) override;

  BOOL IsChecked() const { return state_ > kUncheckedHover; }
  // State (3 if checked else 0) + (0 if enabled else 1), the enabled state
  // kept.
  void SetChecked(BOOL checked);
  int GetState() const { return state_; }

  void SetCheckRect(const RECT& rect) { checkRect_ = rect; }
  void SetLabelRect(const RECT& rect) { labelRect_ = rect; }
  RECT GetCheckRect() const { return checkRect_; }
  RECT GetLabelRect() const { return labelRect_; }

  void SetText(const std::wstring& text) { text_ = text; }
  const std::wstring& GetText() const { return text_; }
  void SetColor(BYTE red, BYTE green, BYTE blue) { style_.SetColor(red, green, blue); }
  void SetFont(const std::wstring& family, int points, BOOL bold);
  const TextStyle& GetTextStyle() const { return style_; }

 protected:
  void ShowHover() override { state_ = IsChecked() ? kCheckedHover : kUncheckedHover; }
  void ShowNormal() override { state_ = IsChecked() ? kChecked : kUnchecked; }
  // Toggles the check state, then sends the action message with the new
  // state as wParam.
  void OnClick() override;

 private:
  std::unique_ptr<ImageObject> image_;
  RECT checkRect_ = {};
  RECT labelRect_ = {};
  std::wstring text_;
  TextStyle style_;
  int state_ = kUnchecked;
};

}  // namespace ZRBUE
