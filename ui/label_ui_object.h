// Static text.
#pragma once

#include <string>

#include "ui/drawing.h"
#include "ui/ui_object_impl_base.h"

namespace ZRBUE {

// Draws its text with its font and brush at the rect's top-left corner; the
// rect's size plays no part, so a long text runs past it (only a
// container's clip limits it). Takes no image (resId must be 0) and never
// handles input.
class LabelUIObjectImpl : public UIObjectImplBase {
 public:
  int Draw(Gdiplus::Graphics& graphics) override;

  void SetText(const std::wstring& text) { text_ = text; }
  const std::wstring& GetText() const { return text_; }
  // A new brush of (red, green, blue) with alpha 254.
  void SetColor(BYTE red, BYTE green, BYTE blue) { style_.SetColor(red, green, blue); }
  // A new font, bold or regular.
  void SetFont(const std::wstring& family, int points, BOOL bold);
  const TextStyle& GetTextStyle() const { return style_; }

 private:
  std::wstring text_;
  TextStyle style_;
};

}  // namespace ZRBUE
