#include "ui/picture_ui_object.h"

#include "ui/drawing.h"

namespace ZRBUE {

int PictureUIObjectImpl::Init(HWND host, int left, int top, int right, int bottom, UINT resId,
                              LPCWSTR type) {
  image_ = LoadRequiredImage(type, resId);
  StoreHostAndRect(host, left, top, right, bottom);
  return 0;
}

int PictureUIObjectImpl::Draw(Gdiplus::Graphics& graphics) {
  if (!visible_ || !image_) return 0;
  const Gdiplus::RectF dest(static_cast<Gdiplus::REAL>(rect_.left),
                            static_cast<Gdiplus::REAL>(rect_.top),
                            static_cast<Gdiplus::REAL>(rect_.right - rect_.left),
                            static_cast<Gdiplus::REAL>(rect_.bottom - rect_.top));
  const Gdiplus::RectF source(0, 0, static_cast<Gdiplus::REAL>(image_->GetWidth()),
                              static_cast<Gdiplus::REAL>(image_->GetHeight()));
  DrawScaled(graphics, image_.get(), dest, source);
  return 0;
}

}  // namespace ZRBUE
