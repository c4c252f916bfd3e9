// A clickable, underlined text with the hand cursor.
#pragma once

#include <string>

#include "ui/drawing.h"
#include "ui/ui_object_impl_base.h"

namespace ZRBUE {

// Drawn like a label, always underlined; it has no visual states. A click
// (down and up on the link) sends the action message with wParam 0; while
// visible and enabled the mouse over it shows the system hand cursor. Takes
// no image (resId must be 0).
class LinkLabelUIObjectImpl : public ClickableUIObjectImpl {
 public:
  LinkLabelUIObjectImpl();

  int Draw(Gdiplus::Graphics& graphics) override;
  // Sets the hand cursor and consumes the event while visible and enabled.
  LRESULT OnSetCursor(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled, int x, int y) override;

  void SetText(const std::wstring& text) { text_ = text; }
  const std::wstring& GetText() const { return text_; }
  void SetColor(BYTE red, BYTE green, BYTE blue) { style_.SetColor(red, green, blue); }
  // A new font, bold or regular, always underlined.
  void SetFont(const std::wstring& family, int points, BOOL bold);
  const TextStyle& GetTextStyle() const { return style_; }

 private:
  std::wstring text_;
  TextStyle style_;
  HCURSOR cursor_ = nullptr;  // shared system cursor, not owned
};

}  // namespace ZRBUE
