#include "ui/dib_section.h"

namespace ZRBUE {

bool DibSection::Create(HDC dc, int width, int height) {
  Delete();
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap || !bits) {
    if (bitmap) ::DeleteObject(bitmap);
    return false;
  }
  bitmap_ = bitmap;
  header_ = info.bmiHeader;
  pixels_ = static_cast<uint32_t*>(bits);
  return true;
}

void DibSection::Delete() {
  if (bitmap_) ::DeleteObject(bitmap_);
  bitmap_ = nullptr;
  header_ = {};
  pixels_ = nullptr;
}

void MakeGdiPixelsOpaque(DibSection& dib) {
  uint32_t* pixel = dib.GetPixels();
  if (!pixel) return;
  const size_t count = static_cast<size_t>(dib.GetWidth()) * static_cast<size_t>(dib.GetHeight());
  for (uint32_t* end = pixel + count; pixel != end; ++pixel) {
    *pixel = (*pixel & 0xFF000000u) ? 0u : (*pixel | 0xFF000000u);
  }
}

}  // namespace ZRBUE
