// Drawing conventions shared by the UI objects.
//
// Objects draw with GDI+ into the page's off-screen 32-bit bitmap through a
// Gdiplus::Graphics whose origin is the page window's top-left corner. A
// failed GDI+ call only leaves its status as the graphics object's (or the
// image's) last status; drawing goes on.
//
// Image strips: a control with several looks keeps them side by side in one
// image; cell i of a control drawn into a w x h rectangle is the source
// rectangle (i * w, 0, w, h), drawn one to one.
//
// Speed: a page repaints its whole tree about 15 times a second, and GDI+
// converts, copies and blends an image through temporary bitmaps on every
// draw. When the graphics object draws one to one into the bitmap of a
// DibSection (as a page's does), one-to-one draws and fades are composited
// straight into its pixels here, with GDI+'s own arithmetic, and the result
// of a scaled draw or of a text is kept for the next repaint that draws the
// same over the same pixels: the pixels are those GDI+ would give. Anything
// else (a transform, a clip that is no rectangle, another kind of surface,
// an image that is no ImageObject, a source between pixels or beyond the
// image) goes to GDI+ as it is.
#pragma once

#include <windows.h>
// GDI+ needs the Windows declarations first.
#include <gdiplus.h>

#include <memory>
#include <string>

namespace ZRBUE {

// Cell `cell` of a strip, one to one at `dest` (cell size = dest size).
void DrawCell(Gdiplus::Graphics& graphics, Gdiplus::Image* image, const RECT& dest, int cell);

// The source rectangle (srcX, srcY, dest width, dest height) one to one at
// `dest`, with the graphics object's current interpolation mode.
void DrawUnscaled(Gdiplus::Graphics& graphics, Gdiplus::Image* image, const RECT& dest,
                  Gdiplus::REAL srcX, Gdiplus::REAL srcY);
void DrawUnscaled(Gdiplus::Graphics& graphics, Gdiplus::Image* image, const Gdiplus::RectF& dest,
                  Gdiplus::REAL srcX, Gdiplus::REAL srcY);

// `source` of the image scaled into `dest` with high-quality bicubic
// interpolation; the graphics object's previous mode is restored. An
// ImageObject keeps the pixels of its last scaled draw, so a repaint that
// draws it the same way again only composites them.
void DrawScaled(Gdiplus::Graphics& graphics, Gdiplus::Image* image, const Gdiplus::RectF& dest,
                const Gdiplus::RectF& source);

// The fade primitive: `source` drawn into `dest` with every pixel's alpha
// scaled by `opacity` (0 to 1) through a colour matrix.
void DrawFaded(Gdiplus::Graphics& graphics, Gdiplus::Image* image, const Gdiplus::RectF& dest,
               const Gdiplus::RectF& source, Gdiplus::REAL opacity);

// A cross-fade: DrawFaded of `from` at `opacity`, then of `to` at
// 1 - opacity, into the same `dest`; one pass over the pixels when it can.
void DrawCrossFade(Gdiplus::Graphics& graphics, Gdiplus::Image* image, const Gdiplus::RectF& dest,
                   const Gdiplus::RectF& from, const Gdiplus::RectF& to, Gdiplus::REAL opacity);

// The one-to-one composite under DrawUnscaled, DrawFaded and DrawCell:
// `image` (an ImageObject) from (srcX, srcY) at `dest`, its alpha scaled by
// `opacity` as the fade primitive's colour matrix does, written straight
// into the pixels of the DIB section under `graphics`. Returns false, having
// drawn nothing, when it cannot give GDI+'s pixels that way (see above);
// the callers then let GDI+ draw.
bool BlendUnscaled(Gdiplus::Graphics& graphics, Gdiplus::Image* image, const Gdiplus::RectF& dest,
                   Gdiplus::REAL srcX, Gdiplus::REAL srcY, Gdiplus::REAL opacity = 1);

// A text colour: red, green, blue with alpha 254, the ARGB value
// 0xFE000000 + r * 65536 + g * 256 + b. With alpha 255 GDI+ may draw text
// on a device context through plain GDI, which leaves the bitmap's alpha at
// 0; a translucent brush keeps it on its own path, which writes alpha.
constexpr Gdiplus::ARGB TextColor(BYTE red, BYTE green, BYTE blue) {
  return 0xFE000000u | (static_cast<Gdiplus::ARGB>(red) << 16) |
         (static_cast<Gdiplus::ARGB>(green) << 8) | blue;
}

// Font styles of the text controls.
constexpr INT kFontRegular = 0;    // Gdiplus::FontStyleRegular
constexpr INT kFontBold = 1;       // Gdiplus::FontStyleBold
constexpr INT kFontUnderline = 4;  // Gdiplus::FontStyleUnderline

// The font and brush of a text control, made once and owned; setting a new
// font or colour replaces the old one.
class TextStyle {
 public:
  TextStyle();
  ~TextStyle();
  TextStyle(const TextStyle&) = delete;
  TextStyle& operator=(const TextStyle&) = delete;

  // A font of `family` (or, when GDI+ cannot make that family, its generic
  // sans-serif family), `points` in size, in `style` (kFont... bits).
  void SetFont(const std::wstring& family, int points, INT style);
  // A solid brush of TextColor(red, green, blue).
  void SetColor(BYTE red, BYTE green, BYTE blue);

  // Null until SetFont.
  const Gdiplus::Font* GetFont() const { return font_.get(); }

  // The whole text with one DrawString call whose layout rectangle has no
  // size at (x, y): not wrapped, clipped or aligned; line breaks start new
  // lines. ClearType grid fitting for the call, the previous hint restored.
  // Without font or brush GDI+ refuses and only the status records it.
  // The style keeps what the call changed in the page bitmap; a repaint
  // that draws the same text at the same place over the same pixels writes
  // the kept pixels instead of calling GDI+.
  void Draw(Gdiplus::Graphics& graphics, const std::wstring& text, int x, int y) const;

  // Whether a drawing is kept for the next repaint.
  bool HasKeptDrawing() const { return kept_ != nullptr; }

 private:
  struct KeptDrawing;

  void DrawWithGdiplus(Gdiplus::Graphics& graphics, const std::wstring& text, int x, int y) const;

  std::unique_ptr<Gdiplus::Font> font_;
  std::unique_ptr<Gdiplus::SolidBrush> brush_;
  mutable std::unique_ptr<KeptDrawing> kept_;
};

}  // namespace ZRBUE
