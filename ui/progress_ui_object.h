// A progress bar: a back image with a front image cut in three over it.
#pragma once

#include <memory>

#include "ui/image_object.h"
#include "ui/ui_object_impl_base.h"

namespace ZRBUE {

// The back image is drawn one to one at the rect. Over it the front image
// fills the front rect from the left to the position's percentage: its left
// `spl` and right `spr` columns are drawn unstretched at the two ends of the
// filled part (the right end overlapping the middle by a pixel), the middle
// columns stretched between them with high-quality bicubic interpolation.
// Display only: no input, no focus.
class ProgressUIObjectImpl : public UIObjectImplBase {
 public:
  int Draw(Gdiplus::Graphics& graphics) override;
  // Loads the back image; resId must not be 0 (E_FAIL).
  int Init(HWND host, int left, int top, int right, int bottom, UINT resId, LPCWSTR type) override;
  // Moves the rect and the front rect by the distance the top-left corner
  // moved; both keep their sizes (right and bottom are not used).
  void SetRect(int left, int top, int right, int bottom) override;

  // The front rect and the widths of the front image's end pieces.
  void SetFront(const RECT& frontRect, int spl, int spr);
  // Loads the front image; resId 0 fails with E_FAIL as a missing resource.
  void SetFrontImage(LPCWSTR type, UINT resId);

  // One percent more, never above 100.
  void StepIt();
  int GetPos() const { return position_; }
  RECT GetFrontRect() const { return frontRect_; }

 private:
  std::unique_ptr<ImageObject> back_;
  std::unique_ptr<ImageObject> front_;
  RECT frontRect_ = {};
  int spl_ = 0;
  int spr_ = 0;
  int position_ = 0;
};

}  // namespace ZRBUE
