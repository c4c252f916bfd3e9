// An image decoded from a resource of the program's own module.
#pragma once

#include <windows.h>
// GDI+ needs the Windows declarations first.
#include <gdiplus.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace ZRBUE {

// A Gdiplus::Image loaded from the resource of type `type` (a name) and
// numeric id `resId` (only its low 16 bits are used) in the program's own
// module. Construction throws HRESULT E_FAIL when the resource cannot be
// found, loaded or locked. An image that GDI+ cannot decode is not an
// error: it stays empty, draws nothing, and GetLastStatus() says why.
// GDI+ must be running (zrb::EnsureGdiplusStarted()).
//
// Besides the GDI+ image it keeps a copy of the decoded pixels, made once
// at load, so that one-to-one draws can go straight to the page bitmap
// (ui/drawing.h) without GDI+ converting the image on every repaint.
class ImageObject : public Gdiplus::Image {
 public:
  ImageObject(LPCWSTR type, UINT resId);

  // The decoded pixels as straight (not premultiplied) 0xAARRGGBB words,
  // rows top-down, PixelWidth() words to a row; empty when the image is no
  // decodable bitmap.
  const std::vector<uint32_t>& GetArgbPixels() const { return pixels_; }
  int PixelWidth() const { return pixelWidth_; }
  int PixelHeight() const { return pixelHeight_; }

  // The image's last scaled draw (DrawScaled, ui/drawing.h): what GDI+ drew
  // and the premultiplied pixels it gave over a transparent bitmap, kept so
  // that the next repaint drawing the same only composites them.
  struct ScaledCopy {
    Gdiplus::RectF dest;
    Gdiplus::RectF source;
    Gdiplus::PixelOffsetMode pixelOffset = Gdiplus::PixelOffsetModeDefault;
    Gdiplus::CompositingQuality quality = Gdiplus::CompositingQualityDefault;
    RECT area = {};                // page pixels the copy covers
    std::vector<uint32_t> pixels;  // rows top-down; empty: nothing kept
  };
  ScaledCopy& GetScaledCopy() const { return scaledCopy_; }

 private:
  std::vector<uint32_t> pixels_;
  int pixelWidth_ = 0;
  int pixelHeight_ = 0;
  mutable ScaledCopy scaledCopy_;
};

// Loads a new ImageObject; throws HRESULT E_FAIL as the constructor does, and
// also when resId is 0 (an object that requires an image got none).
std::unique_ptr<ImageObject> LoadRequiredImage(LPCWSTR type, UINT resId);

}  // namespace ZRBUE
