// A 32-bit off-screen bitmap whose pixels the program can read and write.
#pragma once

#include <windows.h>

#include <cstdint>

namespace ZRBUE {

// A device-independent bitmap section: 32 bits per pixel, uncompressed, one
// plane, rows bottom-up (positive height). Pixels are premultiplied BGRA
// words as GDI, GDI+ and UpdateLayeredWindow use them; a new bitmap is all
// zero (fully transparent). Owns the bitmap; select it into a memory DC to
// draw into it, and select it out again before the DibSection goes.
class DibSection {
 public:
  DibSection() = default;
  ~DibSection() { Delete(); }
  DibSection(const DibSection&) = delete;
  DibSection& operator=(const DibSection&) = delete;

  // Makes a width x height bitmap for `dc` (null: the screen), deleting any
  // earlier one. Returns whether it was made; on failure nothing is held.
  bool Create(HDC dc, int width, int height);
  // Deletes the bitmap if there is one.
  void Delete();

  HBITMAP GetBitmap() const { return bitmap_; }
  const BITMAPINFOHEADER& GetHeader() const { return header_; }
  int GetWidth() const { return header_.biWidth; }
  int GetHeight() const { return header_.biHeight; }
  // The first pixel of the bottom row; null without a bitmap.
  uint32_t* GetPixels() const { return pixels_; }
  // The pixel at (x, y) counted from the top-left corner; no range check.
  uint32_t& PixelAt(int x, int y) const { return pixels_[(GetHeight() - 1 - y) * GetWidth() + x]; }

  // The DibSection whose bitmap is selected into `dc`, or null when the DC
  // holds no bitmap made by a DibSection. Drawing code that writes pixels
  // itself (ui/drawing.h) writes only into bitmaps whose layout it knows;
  // a look-up is safe on any thread.
  static const DibSection* FindSelectedIn(HDC dc);

 private:
  HBITMAP bitmap_ = nullptr;
  BITMAPINFOHEADER header_ = {};
  uint32_t* pixels_ = nullptr;
};

// The merge step for plain GDI output (rich text) drawn over a copy of the
// page bitmap: GDI writes colour but leaves alpha at 0, so every pixel with
// a nonzero alpha (untouched copy) becomes 0 (transparent) and every pixel
// with alpha 0 (drawn by GDI) becomes opaque with its colour kept. Alpha-
// blending the result onto the page then adds only what GDI drew.
void MakeGdiPixelsOpaque(DibSection& dib);

}  // namespace ZRBUE
