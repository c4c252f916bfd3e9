#include "ui/progress_ui_object.h"

#include "ui/drawing.h"

namespace ZRBUE {

int ProgressUIObjectImpl::Init(HWND host, int left, int top, int right, int bottom, UINT resId,
                               LPCWSTR type) {
  back_ = LoadRequiredImage(type, resId);
  StoreHostAndRect(host, left, top, right, bottom);
  return 0;
}

void ProgressUIObjectImpl::SetRect(int left, int top, int, int) {
  const int dx = left - rect_.left;
  const int dy = top - rect_.top;
  ::OffsetRect(&rect_, dx, dy);
  ::OffsetRect(&frontRect_, dx, dy);
}

void ProgressUIObjectImpl::SetFront(const RECT& frontRect, int spl, int spr) {
  frontRect_ = frontRect;
  spl_ = spl;
  spr_ = spr;
}

void ProgressUIObjectImpl::SetFrontImage(LPCWSTR type, UINT resId) {
  front_.reset();
  front_ = LoadRequiredImage(type, resId);
}

void ProgressUIObjectImpl::StepIt() {
  if (position_ < 100) ++position_;
}

int ProgressUIObjectImpl::Draw(Gdiplus::Graphics& graphics) {
  using Gdiplus::REAL;
  if (!visible_) return 0;
  DrawUnscaled(graphics, back_.get(), rect_, 0, 0);
  if (!front_) return 0;

  const int frontLeft = frontRect_.left;
  const int frontTop = frontRect_.top;
  const int frontHeight = frontRect_.bottom - frontRect_.top;
  const REAL imageWidth = static_cast<REAL>(front_->GetWidth());
  const REAL imageHeight = static_cast<REAL>(front_->GetHeight());

  // Left end, one to one.
  DrawUnscaled(graphics, front_.get(),
               RECT{frontLeft, frontTop, frontLeft + spl_, frontTop + frontHeight}, 0, 0);

  // Middle, stretched to the filled width.
  const REAL middle =
      static_cast<REAL>(frontRect_.right - frontLeft - spl_ - spr_) / 100.0f * position_;
  DrawScaled(graphics, front_.get(),
             Gdiplus::RectF(static_cast<REAL>(frontLeft + spl_), static_cast<REAL>(frontTop),
                            middle, static_cast<REAL>(frontHeight)),
             Gdiplus::RectF(static_cast<REAL>(spl_), 0, imageWidth - spl_ - spr_, imageHeight));

  // Right end, one to one, a pixel into the middle's end.
  const int rightX = static_cast<int>(middle + frontLeft + spl_ - 1);
  DrawUnscaled(graphics, front_.get(),
               Gdiplus::RectF(static_cast<REAL>(rightX), static_cast<REAL>(frontTop),
                              static_cast<REAL>(spr_), imageHeight),
               imageWidth - spr_, 0);
  return 0;
}

}  // namespace ZRBUE
