#include "ui/image_object.h"

#include <cstring>

#include "common/utility/com_ptr.h"
#include "common/utility/module_resource.h"
#include "common/utility/scope_guard.h"

namespace ZRBUE {
namespace {

// A stream over a copy of the resource's bytes in a fixed global block that
// the stream frees when it is released. Throws E_FAIL for a resource that
// cannot be found, loaded or locked.
zrb::ComPtr<IStream> OpenResourceStream(LPCWSTR type, UINT resId) {
  const zrb::ModuleResource resource =
      zrb::FindModuleResource(nullptr, type, MAKEINTRESOURCEW(resId & 0xFFFF));
  if (!resource.ok()) throw HRESULT(E_FAIL);

  zrb::ComPtr<IStream> stream;
  HGLOBAL block = ::GlobalAlloc(GMEM_FIXED, resource.size);
  if (!block) return stream;
  auto freeBlock = zrb::MakeScopeGuard([&] { ::GlobalFree(block); });
  std::memcpy(block, resource.data, resource.size);
  if (SUCCEEDED(::CreateStreamOnHGlobal(block, TRUE, stream.Receive()))) freeBlock.Dismiss();
  return stream;
}

// Straight ARGB pixels of the image in `stream`, decoded by GDI+ as a
// bitmap, with its size; empty when it is none.
std::vector<uint32_t> DecodeArgbPixels(IStream* stream, UINT& width, UINT& height) {
  width = height = 0;
  if (!stream) return {};
  Gdiplus::Bitmap bitmap(stream);
  if (bitmap.GetLastStatus() != Gdiplus::Ok) return {};
  const UINT w = bitmap.GetWidth();
  const UINT h = bitmap.GetHeight();
  if (w == 0 || h == 0 || w > 0x7FFF || h > 0x7FFF) return {};
  std::vector<uint32_t> pixels(static_cast<size_t>(w) * h);
  // GDI+ converts whatever it decoded to straight ARGB in our buffer.
  Gdiplus::BitmapData data = {};
  data.Width = w;
  data.Height = h;
  data.Stride = static_cast<INT>(w * sizeof(uint32_t));
  data.PixelFormat = PixelFormat32bppARGB;
  data.Scan0 = pixels.data();
  Gdiplus::Rect all(0, 0, static_cast<INT>(w), static_cast<INT>(h));
  if (bitmap.LockBits(&all, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                      PixelFormat32bppARGB, &data) != Gdiplus::Ok ||
      bitmap.UnlockBits(&data) != Gdiplus::Ok) {
    return {};
  }
  width = w;
  height = h;
  return pixels;
}

}  // namespace

// The temporary stream lives until the base is constructed; GDI+ keeps its
// own reference for as long as it needs the bytes. The pixel copy comes
// from a second decode of a stream of its own: the GDI+ wrapper gives no
// access to the bits of an Image.
ImageObject::ImageObject(LPCWSTR type, UINT resId)
    : Gdiplus::Image(OpenResourceStream(type, resId).Get()) {
  UINT width = 0;
  UINT height = 0;
  pixels_ = DecodeArgbPixels(OpenResourceStream(type, resId).Get(), width, height);
  pixelWidth_ = static_cast<int>(width);
  pixelHeight_ = static_cast<int>(height);
}

std::unique_ptr<ImageObject> LoadRequiredImage(LPCWSTR type, UINT resId) {
  if (resId == 0) throw HRESULT(E_FAIL);
  return std::make_unique<ImageObject>(type, resId);
}

}  // namespace ZRBUE
