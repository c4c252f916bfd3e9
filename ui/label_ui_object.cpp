#include "ui/label_ui_object.h"

namespace ZRBUE {

int LabelUIObjectImpl::Draw(Gdiplus::Graphics& graphics) {
  if (visible_) style_.Draw(graphics, text_, rect_.left, rect_.top);
  return 0;
}

void LabelUIObjectImpl::SetFont(const std::wstring& family, int points, BOOL bold) {
  style_.SetFont(family, points, bold ? kFontBold : kFontRegular);
}

}  // namespace ZRBUE
