#include "ui/button_ui_object.h"

#include "ui/drawing.h"

namespace ZRBUE {

int ButtonUIObjectImpl::Init(HWND host, int left, int top, int right, int bottom, UINT resId,
                             LPCWSTR type) {
  image_ = LoadRequiredImage(type, resId);
  StoreHostAndRect(host, left, top, right, bottom);
  return 0;
}

int ButtonUIObjectImpl::Draw(Gdiplus::Graphics& graphics) {
  if (visible_) DrawCell(graphics, image_.get(), rect_, state_);
  return 0;
}

void ButtonUIObjectImpl::SetEnabled(BOOL enabled) {
  if (!enabled) KillFocus();
  state_ = enabled ? kNormal : kDisabled;
}

}  // namespace ZRBUE
