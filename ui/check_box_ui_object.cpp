#include "ui/check_box_ui_object.h"

namespace ZRBUE {

int CheckBoxUIObjectImpl::Init(HWND host, int left, int top, int right, int bottom, UINT resId,
                               LPCWSTR type) {
  image_ = LoadRequiredImage(type, resId);
  StoreHostAndRect(host, left, top, right, bottom);
  return 0;
}

int CheckBoxUIObjectImpl::Draw(Gdiplus::Graphics& graphics) {
  if (!visible_) return 0;
  if (text_.empty()) {
    DrawCell(graphics, image_.get(), rect_, state_);
    return 0;
  }
  if (!::IsRectEmpty(&checkRect_)) DrawCell(graphics, image_.get(), checkRect_, state_);
  style_.Draw(graphics, text_, labelRect_.left, labelRect_.top);
  return 0;
}

void CheckBoxUIObjectImpl::SetRect(int left, int top, int right, int bottom) {
  const int dx = left - rect_.left;
  const int dy = top - rect_.top;
  ::OffsetRect(&checkRect_, dx, dy);
  ::OffsetRect(&labelRect_, dx, dy);
  rect_ = RECT{left, top, right, bottom};
}

BOOL CheckBoxUIObjectImpl::IsEnabled() const {
  return state_ != kUncheckedDisabled && state_ != kCheckedDisabled;
}

void CheckBoxUIObjectImpl::SetEnabled(BOOL enabled) {
  if (!enabled) KillFocus();
  state_ = (IsChecked() ? kChecked : kUnchecked) + (enabled ? 0 : 1);
}

void CheckBoxUIObjectImpl::SetChecked(BOOL checked) {
  state_ = (checked ? kChecked : kUnchecked) + (IsEnabled() ? 0 : 1);
}

void CheckBoxUIObjectImpl::OnClick() {
  SetChecked(!IsChecked());
  SendToHost(actionMessage_, IsChecked() ? 1 : 0);
}

void CheckBoxUIObjectImpl::SetFont(const std::wstring& family, int points, BOOL bold) {
  style_.SetFont(family, points, bold ? kFontBold : kFontRegular);
}

}  // namespace ZRBUE
