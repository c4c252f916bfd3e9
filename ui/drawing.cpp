#include "ui/drawing.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "common/utility/scope_guard.h"
#include "common/utility/unique_handle.h"
#include "ui/dib_section.h"
#include "ui/image_object.h"
#include "ui/pixel_blend.h"

namespace ZRBUE {
namespace {

using Gdiplus::REAL;

// Whether `value` is a whole number of pixels, and which.
bool WholePixels(REAL value, int& whole) {
  if (!(std::fabs(value) < 1e6f)) return false;
  whole = static_cast<int>(value);
  return static_cast<REAL>(whole) == value;
}

bool SameRect(const Gdiplus::RectF& a, const Gdiplus::RectF& b) {
  return a.X == b.X && a.Y == b.Y && a.Width == b.Width && a.Height == b.Height;
}

RECT Intersection(const RECT& a, const RECT& b) {
  RECT result;
  if (!::IntersectRect(&result, &a, &b)) result = {};
  return result;
}

// The page bitmap under a graphics object, for draws that write its pixels
// themselves: a 32-bit DIB section selected into a memory DC that has no
// clip region and no mapping of its own, under a graphics object that maps
// world coordinates one to one to its pixels, composites source-over
// without gamma correction and clips to one rectangle. Anything else is
// left to GDI+.
class PixelTarget {
 public:
  bool Open(Gdiplus::Graphics& graphics);

  const RECT& Bounds() const { return bounds_; }
  // The pixels a draw may change: inside the bitmap and the clip.
  const RECT& Clip() const { return clip_; }
  uint32_t* Row(int y) const { return top_ + y * pitch_; }

 private:
  bool OpenDc(HDC dc);

  uint32_t* top_ = nullptr;  // the top row
  ptrdiff_t pitch_ = 0;      // pixels from a row to the one below it
  RECT bounds_ = {};
  RECT clip_ = {};
};

bool PixelTarget::Open(Gdiplus::Graphics& graphics) {
  const Gdiplus::Unit unit = graphics.GetPageUnit();
  const Gdiplus::CompositingQuality quality = graphics.GetCompositingQuality();
  if ((unit != Gdiplus::UnitDisplay && unit != Gdiplus::UnitPixel) ||
      graphics.GetPageScale() != 1.0f ||
      graphics.GetCompositingMode() != Gdiplus::CompositingModeSourceOver ||
      (quality != Gdiplus::CompositingQualityDefault &&
       quality != Gdiplus::CompositingQualityHighSpeed)) {
    return false;
  }
  Gdiplus::Matrix transform;
  if (graphics.GetTransform(&transform) != Gdiplus::Ok || !transform.IsIdentity()) return false;

  Gdiplus::Region clip;
  if (graphics.GetClip(&clip) != Gdiplus::Ok) return false;
  const bool unclipped = clip.IsInfinite(&graphics);
  RECT clipRect = {};
  if (!unclipped) {
    const Gdiplus::Matrix identity;
    const UINT count = clip.GetRegionScansCount(&identity);
    if (count > 1) return false;
    if (count == 1) {
      Gdiplus::Rect scan;
      INT scans = 1;
      if (clip.GetRegionScans(&identity, &scan, &scans) != Gdiplus::Ok || scans != 1) return false;
      clipRect = {scan.X, scan.Y, scan.X + scan.Width, scan.Y + scan.Height};
    }
  }

  HDC dc = graphics.GetHDC();
  if (!dc) return false;
  const bool opened = OpenDc(dc);
  graphics.ReleaseHDC(dc);
  if (!opened) return false;
  clip_ = unclipped ? bounds_ : Intersection(clipRect, bounds_);
  return true;
}

bool PixelTarget::OpenDc(HDC dc) {
  // A DC whose bitmap a DibSection made: 32 bits, rows bottom-up. (A
  // graphics object on a GDI+ image may lend a DIB of another layout.)
  if (::GetObjectType(dc) != OBJ_MEMDC) return false;
  const DibSection* section = DibSection::FindSelectedIn(dc);
  if (!section) return false;
  DIBSECTION dib;
  if (::GetObjectW(section->GetBitmap(), sizeof dib, &dib) != sizeof dib ||
      dib.dsBm.bmBits != section->GetPixels() || dib.dsBm.bmBitsPixel != 32 ||
      dib.dsBm.bmWidth != section->GetWidth() || dib.dsBm.bmHeight != section->GetHeight()) {
    return false;
  }
  POINT viewport;
  POINT window;
  XFORM world;
  if (::GetMapMode(dc) != MM_TEXT || !::GetViewportOrgEx(dc, &viewport) ||
      !::GetWindowOrgEx(dc, &window) || viewport.x || viewport.y || window.x || window.y ||
      !::GetWorldTransform(dc, &world) || world.eM11 != 1 || world.eM12 != 0 || world.eM21 != 0 ||
      world.eM22 != 1 || world.eDx != 0 || world.eDy != 0) {
    return false;
  }
  const int width = section->GetWidth();
  const int height = section->GetHeight();
  bounds_ = {0, 0, width, height};
  RECT box;
  if (width <= 0 || height <= 0 || ::GetClipBox(dc, &box) != SIMPLEREGION ||
      !::EqualRect(&box, &bounds_)) {
    return false;
  }
  top_ = &section->PixelAt(0, 0);
  pitch_ = -width;
  // GDI may still hold drawing of its own for the bitmap.
  ::GdiFlush();
  return true;
}

// The fade primitive's colour matrix scales alpha in fixed point: alpha *
// round(opacity * 256) / 256. 256 leaves it as it is.
uint32_t AlphaScale(REAL opacity) {
  if (!(opacity > 0)) return 0;
  if (opacity >= 1) return 256;
  return static_cast<uint32_t>(std::floor(opacity * 256 + 0.5f));
}

// One source of a one-to-one composite: straight ARGB pixels, the first one
// under the destination's top-left corner, and the alpha scale.
struct Layer {
  const uint32_t* pixels;
  int stride;  // words from a row to the next
  uint32_t alphaScale;
};

// The source of a one-to-one draw of `image` from (srcX, srcY) into `dest`,
// and the destination in whole pixels, when the draw is one that gives
// GDI+'s pixels composited here: an ImageObject with its pixels, whole
// pixel positions and sizes, and a source inside the image (GDI+ resamples
// anything else).
bool MakeLayer(Gdiplus::Image* image, const Gdiplus::RectF& dest, REAL srcX, REAL srcY,
               uint32_t alphaScale, RECT& destRect, Layer& layer) {
  const auto* decoded = dynamic_cast<const ImageObject*>(image);
  if (!decoded || decoded->GetArgbPixels().empty()) return false;
  int left, top, width, height, sourceX, sourceY;
  if (!WholePixels(dest.X, left) || !WholePixels(dest.Y, top) || !WholePixels(dest.Width, width) ||
      !WholePixels(dest.Height, height) || !WholePixels(srcX, sourceX) ||
      !WholePixels(srcY, sourceY)) {
    return false;
  }
  if (width <= 0 || height <= 0 || sourceX < 0 || sourceY < 0 ||
      sourceX + width > decoded->PixelWidth() || sourceY + height > decoded->PixelHeight()) {
    return false;
  }
  destRect = {left, top, left + width, top + height};
  layer.stride = decoded->PixelWidth();
  layer.pixels = decoded->GetArgbPixels().data() + sourceY * layer.stride + sourceX;
  layer.alphaScale = alphaScale;
  return true;
}

// The layers (1 or 2) composited in order over `dest` of the target, in one
// pass.
void Composite(const PixelTarget& target, const RECT& dest, const Layer* layers, int count) {
  if (count == 0) return;
  const RECT visible = Intersection(dest, target.Clip());
  const BlendCode code = BestBlendCode();
  for (int y = visible.top; y < visible.bottom; ++y) {
    BlendSource sources[2];
    for (int i = 0; i < count; ++i) {
      sources[i].pixels =
          layers[i].pixels + (y - dest.top) * layers[i].stride + (visible.left - dest.left);
      sources[i].alphaScale = layers[i].alphaScale;
    }
    BlendRow(code, target.Row(y) + visible.left, visible.right - visible.left, sources, count);
  }
}

// Premultiplied pixels (rows top-down, as wide as `area`) over `area`.
void CompositePremultiplied(const PixelTarget& target, const RECT& area,
                            const std::vector<uint32_t>& pixels) {
  const RECT visible = Intersection(area, target.Clip());
  const int stride = area.right - area.left;
  const BlendCode code = BestBlendCode();
  for (int y = visible.top; y < visible.bottom; ++y) {
    OverRow(code, target.Row(y) + visible.left, visible.right - visible.left,
            pixels.data() + (y - area.top) * stride + (visible.left - area.left));
  }
}

// The pixels of `area` (inside the bitmap), rows top-down.
std::vector<uint32_t> ReadArea(const PixelTarget& target, const RECT& area) {
  const int width = area.right - area.left;
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * (area.bottom - area.top));
  for (int y = area.top; y < area.bottom; ++y) {
    std::memcpy(&pixels[static_cast<size_t>(y - area.top) * width], target.Row(y) + area.left,
                width * sizeof(uint32_t));
  }
  return pixels;
}

bool AreaEquals(const PixelTarget& target, const RECT& area, const std::vector<uint32_t>& pixels) {
  const int width = area.right - area.left;
  for (int y = area.top; y < area.bottom; ++y) {
    if (std::memcmp(&pixels[static_cast<size_t>(y - area.top) * width], target.Row(y) + area.left,
                    width * sizeof(uint32_t)) != 0) {
      return false;
    }
  }
  return true;
}

void WriteArea(const PixelTarget& target, const RECT& area, const std::vector<uint32_t>& pixels) {
  const int width = area.right - area.left;
  for (int y = area.top; y < area.bottom; ++y) {
    std::memcpy(target.Row(y) + area.left, &pixels[static_cast<size_t>(y - area.top) * width],
                width * sizeof(uint32_t));
  }
}

// Whether `before` and `after` (pixels of `area`) differ on one of the
// area's edges that `open` marks (left, top, right, bottom): a drawing that
// reaches such an edge may go on beyond it.
bool ChangedOnEdges(const std::vector<uint32_t>& before, const std::vector<uint32_t>& after,
                    const RECT& area, const bool (&open)[4]) {
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  auto changed = [&](int x, int y) {
    const size_t i = static_cast<size_t>(y) * width + x;
    return before[i] != after[i];
  };
  for (int y = 0; y < height; ++y) {
    if ((open[0] && changed(0, y)) || (open[2] && changed(width - 1, y))) return true;
  }
  for (int x = 0; x < width; ++x) {
    if ((open[1] && changed(x, 0)) || (open[3] && changed(x, height - 1))) return true;
  }
  return false;
}

// Pixels of margin around a scaled draw's destination that its copy keeps:
// resampling may spread a destination's edge into the next pixel.
constexpr int kScaledMargin = 2;

// GDI+'s drawing of `source` scaled into `dest`, as the page's graphics
// object would draw it, over a transparent bitmap covering `dest` and a
// margin; fills `copy`. False when GDI+ failed or drew up to the margin's
// edge (the copy might then miss part of the drawing).
bool MakeScaledCopy(Gdiplus::Image* image, const Gdiplus::RectF& dest, const Gdiplus::RectF& source,
                    Gdiplus::PixelOffsetMode pixelOffset, Gdiplus::CompositingQuality quality,
                    ImageObject::ScaledCopy& copy) {
  const RECT area = {static_cast<LONG>(std::floor(dest.X)) - kScaledMargin,
                     static_cast<LONG>(std::floor(dest.Y)) - kScaledMargin,
                     static_cast<LONG>(std::ceil(dest.X + dest.Width)) + kScaledMargin,
                     static_cast<LONG>(std::ceil(dest.Y + dest.Height)) + kScaledMargin};
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  DibSection dib;
  zrb::UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
  if (!dc || !dib.Create(dc.Get(), width, height)) return false;
  // The DC holds the bitmap until the old one is selected back.
  HGDIOBJ previous = ::SelectObject(dc.Get(), dib.GetBitmap());
  auto restore = zrb::MakeScopeGuard([&] { ::SelectObject(dc.Get(), previous); });
  {
    Gdiplus::Graphics graphics(dc.Get());
    graphics.SetPixelOffsetMode(pixelOffset);
    graphics.SetCompositingQuality(quality);
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    graphics.TranslateTransform(static_cast<REAL>(-area.left), static_cast<REAL>(-area.top));
    if (graphics.DrawImage(image, dest, source.X, source.Y, source.Width, source.Height,
                           Gdiplus::UnitPixel) != Gdiplus::Ok) {
      return false;
    }
  }
  ::GdiFlush();

  std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    std::memcpy(&pixels[static_cast<size_t>(y) * width], &dib.PixelAt(0, y),
                width * sizeof(uint32_t));
  }
  const std::vector<uint32_t> transparent(pixels.size(), 0);
  const bool allEdges[4] = {true, true, true, true};
  if (ChangedOnEdges(transparent, pixels, RECT{0, 0, width, height}, allEdges)) return false;

  copy.dest = dest;
  copy.source = source;
  copy.pixelOffset = pixelOffset;
  copy.quality = quality;
  copy.area = area;
  copy.pixels = std::move(pixels);
  return true;
}

Gdiplus::RectF ToRectF(const RECT& rect) {
  return Gdiplus::RectF(static_cast<REAL>(rect.left), static_cast<REAL>(rect.top),
                        static_cast<REAL>(rect.right - rect.left),
                        static_cast<REAL>(rect.bottom - rect.top));
}

}  // namespace

bool BlendUnscaled(Gdiplus::Graphics& graphics, Gdiplus::Image* image, const Gdiplus::RectF& dest,
                   Gdiplus::REAL srcX, Gdiplus::REAL srcY, Gdiplus::REAL opacity) {
  const uint32_t alphaScale = AlphaScale(opacity);
  RECT destRect;
  Layer layer;
  PixelTarget target;
  if (!MakeLayer(image, dest, srcX, srcY, alphaScale, destRect, layer) || !target.Open(graphics)) {
    return false;
  }
  if (alphaScale != 0) Composite(target, destRect, &layer, 1);
  return true;
}

void DrawCell(Gdiplus::Graphics& graphics, Gdiplus::Image* image, const RECT& dest, int cell) {
  DrawUnscaled(
      graphics, image, dest,
      static_cast<Gdiplus::REAL>(cell) * static_cast<Gdiplus::REAL>(dest.right - dest.left), 0);
}

void DrawUnscaled(Gdiplus::Graphics& graphics, Gdiplus::Image* image, const RECT& dest,
                  Gdiplus::REAL srcX, Gdiplus::REAL srcY) {
  DrawUnscaled(graphics, image, ToRectF(dest), srcX, srcY);
}

void DrawUnscaled(Gdiplus::Graphics& graphics, Gdiplus::Image* image, const Gdiplus::RectF& dest,
                  Gdiplus::REAL srcX, Gdiplus::REAL srcY) {
  if (BlendUnscaled(graphics, image, dest, srcX, srcY)) return;
  graphics.DrawImage(image, dest, srcX, srcY, dest.Width, dest.Height, Gdiplus::UnitPixel);
}

void DrawScaled(Gdiplus::Graphics& graphics, Gdiplus::Image* image, const Gdiplus::RectF& dest,
                const Gdiplus::RectF& source) {
  auto* decoded = dynamic_cast<ImageObject*>(image);
  PixelTarget target;
  if (decoded && dest.Width > 0 && dest.Height > 0 && dest.Width < 1e5f && dest.Height < 1e5f &&
      target.Open(graphics)) {
    ImageObject::ScaledCopy& copy = decoded->GetScaledCopy();
    const Gdiplus::PixelOffsetMode pixelOffset = graphics.GetPixelOffsetMode();
    const Gdiplus::CompositingQuality quality = graphics.GetCompositingQuality();
    if ((!copy.pixels.empty() && SameRect(copy.dest, dest) && SameRect(copy.source, source) &&
         copy.pixelOffset == pixelOffset && copy.quality == quality) ||
        MakeScaledCopy(image, dest, source, pixelOffset, quality, copy)) {
      CompositePremultiplied(target, copy.area, copy.pixels);
      return;
    }
    copy.pixels.clear();
  }
  const Gdiplus::InterpolationMode previous = graphics.GetInterpolationMode();
  graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
  graphics.DrawImage(image, dest, source.X, source.Y, source.Width, source.Height,
                     Gdiplus::UnitPixel);
  graphics.SetInterpolationMode(previous);
}

void DrawFaded(Gdiplus::Graphics& graphics, Gdiplus::Image* image, const Gdiplus::RectF& dest,
               const Gdiplus::RectF& source, Gdiplus::REAL opacity) {
  // Fully transparent draws change nothing; fully opaque ones need no matrix.
  if (!(opacity > 0)) return;
  const bool oneToOne = dest.Width == source.Width && dest.Height == source.Height;
  if (oneToOne && BlendUnscaled(graphics, image, dest, source.X, source.Y, opacity)) return;
  if (opacity >= 1) {
    graphics.DrawImage(image, dest, source.X, source.Y, source.Width, source.Height,
                       Gdiplus::UnitPixel);
    return;
  }
  Gdiplus::ColorMatrix matrix = {{
      {1, 0, 0, 0, 0},
      {0, 1, 0, 0, 0},
      {0, 0, 1, 0, 0},
      {0, 0, 0, opacity, 0},
      {0, 0, 0, 0, 1},
  }};
  Gdiplus::ImageAttributes attributes;
  attributes.SetColorMatrix(&matrix, Gdiplus::ColorMatrixFlagsDefault,
                            Gdiplus::ColorAdjustTypeDefault);
  graphics.DrawImage(image, dest, source.X, source.Y, source.Width, source.Height,
                     Gdiplus::UnitPixel, &attributes);
}

void DrawCrossFade(Gdiplus::Graphics& graphics, Gdiplus::Image* image, const Gdiplus::RectF& dest,
                   const Gdiplus::RectF& from, const Gdiplus::RectF& to, Gdiplus::REAL opacity) {
  const REAL toOpacity = 1.0f - opacity;
  const uint32_t fromScale = AlphaScale(opacity);
  const uint32_t toScale = AlphaScale(toOpacity);
  RECT destRect;
  Layer layers[2];
  PixelTarget target;
  const bool oneToOne = dest.Width == from.Width && dest.Height == from.Height &&
                        dest.Width == to.Width && dest.Height == to.Height;
  if (oneToOne && MakeLayer(image, dest, from.X, from.Y, fromScale, destRect, layers[0]) &&
      MakeLayer(image, dest, to.X, to.Y, toScale, destRect, layers[1]) && target.Open(graphics)) {
    if (fromScale == 0) {
      Composite(target, destRect, &layers[1], toScale == 0 ? 0 : 1);
    } else {
      Composite(target, destRect, layers, toScale == 0 ? 1 : 2);
    }
    return;
  }
  DrawFaded(graphics, image, dest, from, opacity);
  DrawFaded(graphics, image, dest, to, toOpacity);
}

// What a text drawing changed in the page bitmap, and what it was drawn with
// and over: `area` held `before` and held `after` once the text was drawn.
struct TextStyle::KeptDrawing {
  std::wstring text;
  int x = 0;
  int y = 0;
  RECT bounds = {};
  RECT clip = {};
  INT contrast = 0;
  Gdiplus::SmoothingMode smoothing = Gdiplus::SmoothingModeDefault;
  Gdiplus::PixelOffsetMode pixelOffset = Gdiplus::PixelOffsetModeDefault;
  Gdiplus::CompositingQuality quality = Gdiplus::CompositingQualityDefault;
  RECT area = {};
  std::vector<uint32_t> before;
  std::vector<uint32_t> after;

  bool DrawnWith(const KeptDrawing& other) const {
    return text == other.text && x == other.x && y == other.y &&
           ::EqualRect(&bounds, &other.bounds) && ::EqualRect(&clip, &other.clip) &&
           contrast == other.contrast && smoothing == other.smoothing &&
           pixelOffset == other.pixelOffset && quality == other.quality;
  }
};

TextStyle::TextStyle() = default;
TextStyle::~TextStyle() = default;

void TextStyle::SetFont(const std::wstring& family, int points, INT style) {
  Gdiplus::FontFamily named(family.c_str());
  const Gdiplus::FontFamily* chosen =
      named.GetLastStatus() == Gdiplus::Ok ? &named : Gdiplus::FontFamily::GenericSansSerif();
  font_ = std::make_unique<Gdiplus::Font>(chosen, static_cast<Gdiplus::REAL>(points), style,
                                          Gdiplus::UnitPoint);
  kept_.reset();
}

void TextStyle::SetColor(BYTE red, BYTE green, BYTE blue) {
  brush_ = std::make_unique<Gdiplus::SolidBrush>(Gdiplus::Color(TextColor(red, green, blue)));
  kept_.reset();
}

void TextStyle::Draw(Gdiplus::Graphics& graphics, const std::wstring& text, int x, int y) const {
  PixelTarget target;
  if (!font_ || !brush_ || !target.Open(graphics)) {
    kept_.reset();
    DrawWithGdiplus(graphics, text, x, y);
    return;
  }
  auto drawing = std::make_unique<KeptDrawing>();
  drawing->text = text;
  drawing->x = x;
  drawing->y = y;
  drawing->bounds = target.Bounds();
  drawing->clip = target.Clip();
  drawing->contrast = static_cast<INT>(graphics.GetTextContrast());
  drawing->smoothing = graphics.GetSmoothingMode();
  drawing->pixelOffset = graphics.GetPixelOffsetMode();
  drawing->quality = graphics.GetCompositingQuality();
  if (kept_ && kept_->DrawnWith(*drawing) && AreaEquals(target, kept_->area, kept_->before)) {
    WriteArea(target, kept_->area, kept_->after);
    return;
  }
  kept_.reset();

  // The area the text may change: its measured box with a margin of a line
  // height all round, inside the bitmap and the clip.
  const Gdiplus::TextRenderingHint previous = graphics.GetTextRenderingHint();
  graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
  Gdiplus::RectF box;
  const bool measured =
      graphics.MeasureString(text.c_str(), -1, font_.get(),
                             Gdiplus::PointF(static_cast<REAL>(x), static_cast<REAL>(y)),
                             &box) == Gdiplus::Ok;
  const REAL margin = font_->GetHeight(&graphics) + 2;
  graphics.SetTextRenderingHint(previous);
  if (!measured || !(margin < 1000) || !(box.Width < 1e5f) || !(box.Height < 1e5f)) {
    DrawWithGdiplus(graphics, text, x, y);
    return;
  }
  const RECT reach = {static_cast<LONG>(std::floor(box.X - margin)),
                      static_cast<LONG>(std::floor(box.Y - margin)),
                      static_cast<LONG>(std::ceil(box.X + box.Width + margin)),
                      static_cast<LONG>(std::ceil(box.Y + box.Height + margin))};
  const RECT area = Intersection(reach, target.Clip());
  drawing->area = area;
  drawing->before = ReadArea(target, area);
  DrawWithGdiplus(graphics, text, x, y);
  ::GdiFlush();
  drawing->after = ReadArea(target, area);
  // Where the clip or the bitmap ends the area, nothing is drawn beyond.
  const bool open[4] = {area.left == reach.left, area.top == reach.top, area.right == reach.right,
                        area.bottom == reach.bottom};
  if (::IsRectEmpty(&area) || ChangedOnEdges(drawing->before, drawing->after, area, open)) return;
  kept_ = std::move(drawing);
}

void TextStyle::DrawWithGdiplus(Gdiplus::Graphics& graphics, const std::wstring& text, int x,
                                int y) const {
  const Gdiplus::TextRenderingHint previous = graphics.GetTextRenderingHint();
  graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
  graphics.DrawString(
      text.c_str(), -1, font_.get(),
      Gdiplus::RectF(static_cast<Gdiplus::REAL>(x), static_cast<Gdiplus::REAL>(y), 0, 0), nullptr,
      brush_.get());
  graphics.SetTextRenderingHint(previous);
}

}  // namespace ZRBUE
