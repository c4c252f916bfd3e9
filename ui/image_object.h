// An image decoded from a resource of the program's own module.
#pragma once

#include <windows.h>
// GDI+ needs the Windows declarations first.
#include <gdiplus.h>

#include <memory>

namespace ZRBUE {

// A Gdiplus::Image loaded from the resource of type `type` (a name) and
// numeric id `resId` (only its low 16 bits are used) in the program's own
// module. Construction throws HRESULT E_FAIL when the resource cannot be
// found, loaded or locked. An image that GDI+ cannot decode is not an
// error: it stays empty, draws nothing, and GetLastStatus() says why.
// GDI+ must be running (zrb::EnsureGdiplusStarted()).
class ImageObject : public Gdiplus::Image {
 public:
  ImageObject(LPCWSTR type, UINT resId);
};

// Loads a new ImageObject; throws HRESULT E_FAIL as the constructor does, and
// also when resId is 0 (an object that requires an image got none).
std::unique_ptr<ImageObject> LoadRequiredImage(LPCWSTR type, UINT resId);

}  // namespace ZRBUE
