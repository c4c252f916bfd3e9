// A static image scaled to its rect.
#pragma once

#include <memory>

#include "ui/image_object.h"
#include "ui/ui_object_impl_base.h"

namespace ZRBUE {

// Draws its whole image scaled into the rect with high-quality bicubic
// interpolation. Never handles input. Base of the carousel.
class PictureUIObjectImpl : public UIObjectImplBase {
 public:
  int Draw(Gdiplus::Graphics& graphics) override;
  // Loads the image; resId must not be 0 (E_FAIL).
  int Init(HWND host, int left, int top, int right, int bottom, UINT resId, LPCWSTR type) override;

 protected:
  std::unique_ptr<ImageObject> image_;
};

}  // namespace ZRBUE
