#include "ui/link_label_ui_object.h"

namespace ZRBUE {

// A shared system cursor: it is never destroyed.
LinkLabelUIObjectImpl::LinkLabelUIObjectImpl() : cursor_(::LoadCursorW(nullptr, IDC_HAND)) {}

int LinkLabelUIObjectImpl::Draw(Gdiplus::Graphics& graphics) {
  if (visible_) style_.Draw(graphics, text_, rect_.left, rect_.top);
  return 0;
}

LRESULT LinkLabelUIObjectImpl::OnSetCursor(UINT, WPARAM, LPARAM, BOOL& handled, int, int) {
  handled = FALSE;
  if (!AcceptsInput()) return 0;
  ::SetCursor(cursor_);
  handled = TRUE;
  return 0;
}

void LinkLabelUIObjectImpl::SetFont(const std::wstring& family, int points, BOOL bold) {
  style_.SetFont(family, points, (bold ? kFontBold : kFontRegular) | kFontUnderline);
}

}  // namespace ZRBUE
