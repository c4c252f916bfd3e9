// The drawing primitives that write the page bitmap themselves give the
// pixels GDI+ gives: each is compared pixel by pixel with GDI+ drawing the
// same thing onto the same background, translucent pixels over translucent
// pixels included.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tests/unit/ui/ui_test_support.h"
#include "ui/dib_section.h"
#include "ui/drawing.h"
#include "ui/image_object.h"
#include "ui/pixel_blend.h"

namespace zrb::test {
namespace {

using namespace ZRBUE;

// 32 x 24: a left half of red to blue with alpha 13 to 255, a right half of
// green to yellow with alpha 230 to 5 (tests/unit/ui/CMakeLists.txt).
constexpr UINT kTranslucent = 120;

// A deterministic stream of numbers.
class Noise {
 public:
  uint32_t Next() {
    state_ = state_ * 1664525u + 1013904223u;
    return state_ >> 8;
  }

 private:
  uint32_t state_ = 12345;
};

// Valid premultiplied pixels of every kind: transparent, opaque and in
// between, a channel never above the alpha.
uint32_t PremultipliedPixel(Noise& noise) {
  const uint32_t kind = noise.Next() % 4;
  const uint32_t alpha = kind == 0 ? 0 : kind == 1 ? 255 : noise.Next() % 256;
  uint32_t pixel = alpha << 24;
  for (int shift = 0; shift < 24; shift += 8) pixel |= (noise.Next() % (alpha + 1)) << shift;
  return pixel;
}

// A page bitmap (a DibSection on a memory DC) of background noise.
class Surface {
 public:
  Surface(int width, int height) : dc_(::CreateCompatibleDC(nullptr)) {
    EXPECT_TRUE(dib_.Create(dc_, width, height));
    previous_ = ::SelectObject(dc_, dib_.GetBitmap());
    Noise noise;
    for (int i = 0; i < Count(); ++i) Pixels()[i] = PremultipliedPixel(noise);
  }
  ~Surface() {
    ::SelectObject(dc_, previous_);
    ::DeleteDC(dc_);
  }
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;

  HDC GetDC() const { return dc_; }
  uint32_t* Pixels() const { return dib_.GetPixels(); }
  int Count() const { return dib_.GetWidth() * dib_.GetHeight(); }

 private:
  HDC dc_;
  DibSection dib_;
  HGDIOBJ previous_ = nullptr;
};

// Every pixel equal; reports the first few that differ.
void ExpectSamePixels(const Surface& expected, const Surface& actual) {
  int differing = 0;
  for (int i = 0; i < expected.Count(); ++i) {
    if (expected.Pixels()[i] == actual.Pixels()[i]) continue;
    if (++differing <= 5) {
      ADD_FAILURE() << "pixel " << i << ": GDI+ " << Hex(expected.Pixels()[i]) << ", drawn "
                    << Hex(actual.Pixels()[i]);
    }
  }
  EXPECT_EQ(0, differing) << "pixels differ";
}

// Paints with a new Graphics on the surface's DC, as a page's repaint
// does, with a clip rectangle when `clip` is not empty.
template <typename Paint>
void PaintOn(const Surface& surface, const RECT& clip, Paint paint) {
  {
    Gdiplus::Graphics graphics(surface.GetDC());
    if (!::IsRectEmpty(&clip)) {
      graphics.SetClip(
          Gdiplus::Rect(clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top));
    }
    paint(graphics);
  }
  ::GdiFlush();
}

// GDI+'s own fade: the colour matrix with the opacity as alpha scale.
void GdiplusFaded(Gdiplus::Graphics& graphics, Gdiplus::Image* image, const Gdiplus::RectF& dest,
                  const Gdiplus::RectF& source, float opacity) {
  if (!(opacity > 0)) return;
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
                     Gdiplus::UnitPixel, opacity < 1 ? &attributes : nullptr);
}

TEST(PixelBlend, BothCodingsGiveTheSamePixels) {
  if (BestBlendCode() != BlendCode::kSse2) GTEST_SKIP() << "no SSE2 here";
  Noise noise;
  constexpr int kCount = 1003;  // not a multiple of four: the tail goes pixel by pixel
  std::vector<uint32_t> first(kCount), second(kCount), premultiplied(kCount), row(kCount);
  for (int i = 0; i < kCount; ++i) {
    // Straight sources, runs of four opaque or transparent pixels among them.
    const uint32_t run = (i / 4) % 3;
    first[i] = (run == 0   ? 255u
                : run == 1 ? 0u
                           : noise.Next() % 256)
                   << 24 |
               (noise.Next() & 0xFFFFFF);
    second[i] = (noise.Next() % 256) << 24 | (noise.Next() & 0xFFFFFF);
    premultiplied[i] = run == 0 ? (0xFF000000u | noise.Next()) : PremultipliedPixel(noise);
    row[i] = PremultipliedPixel(noise);
  }
  for (uint32_t scale : {0u, 1u, 77u, 128u, 255u, 256u}) {
    SCOPED_TRACE(scale);
    const BlendSource sources[2] = {{first.data(), scale}, {second.data(), 256 - scale}};
    for (int count : {1, 2}) {
      std::vector<uint32_t> portable = row, sse2 = row;
      BlendRow(BlendCode::kPortable, portable.data(), kCount, sources, count);
      BlendRow(BlendCode::kSse2, sse2.data(), kCount, sources, count);
      EXPECT_EQ(portable, sse2) << count << " sources";
    }
  }
  std::vector<uint32_t> portable = row, sse2 = row;
  OverRow(BlendCode::kPortable, portable.data(), kCount, premultiplied.data());
  OverRow(BlendCode::kSse2, sse2.data(), kCount, premultiplied.data());
  EXPECT_EQ(portable, sse2) << "premultiplied source";
}

// One-to-one draws and fades at every kind of place: inside the bitmap,
// across its edges, under a clip and from inside the strip.
TEST(BlendUnscaled, GivesThePixelsOfGdiplus) {
  ImageObject image(kPng, kTranslucent);
  ASSERT_EQ(32, image.PixelWidth());
  struct Case {
    const char* name;
    RECT dest;
    float srcX, srcY;
    RECT clip;  // empty: none
    float opacity;
  } cases[] = {
      {"inside", {5, 6, 37, 30}, 0, 0, {}, 1},
      {"across the top-left corner", {-7, -5, 25, 19}, 0, 0, {}, 1},
      {"across the bottom-right corner", {40, 30, 72, 54}, 0, 0, {}, 1},
      {"clipped", {5, 6, 37, 30}, 0, 0, {10, 0, 30, 20}, 1},
      {"part of the strip", {3, 3, 15, 13}, 17, 9, {}, 1},
      {"faded", {5, 6, 37, 30}, 0, 0, {}, 0.46666664f},
      {"faded almost away", {5, 6, 37, 30}, 0, 0, {}, 0.0666666f},
      {"faded, clipped", {5, 6, 37, 30}, 0, 0, {0, 10, 50, 20}, 0.8f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Gdiplus::RectF dest(static_cast<float>(c.dest.left), static_cast<float>(c.dest.top),
                              static_cast<float>(c.dest.right - c.dest.left),
                              static_cast<float>(c.dest.bottom - c.dest.top));
    Surface expected(50, 40);
    PaintOn(expected, c.clip, [&](Gdiplus::Graphics& graphics) {
      GdiplusFaded(graphics, &image, dest, Gdiplus::RectF(c.srcX, c.srcY, dest.Width, dest.Height),
                   c.opacity);
    });
    Surface drawn(50, 40);
    PaintOn(drawn, c.clip, [&](Gdiplus::Graphics& graphics) {
      EXPECT_TRUE(BlendUnscaled(graphics, &image, dest, c.srcX, c.srcY, c.opacity));
    });
    ExpectSamePixels(expected, drawn);
  }
}

TEST(DrawCrossFade, GivesThePixelsOfTwoGdiplusFades) {
  ImageObject image(kPng, kTranslucent);
  const Gdiplus::RectF dest(4, 5, 16, 24);
  const Gdiplus::RectF from(0, 0, 16, 24);
  const Gdiplus::RectF to(16, 0, 16, 24);
  for (float opacity : {1.0f, 0.73333335f, 0.2f, 0.0f}) {
    SCOPED_TRACE(opacity);
    Surface expected(30, 40);
    PaintOn(expected, {}, [&](Gdiplus::Graphics& graphics) {
      GdiplusFaded(graphics, &image, dest, from, opacity);
      GdiplusFaded(graphics, &image, dest, to, 1.0f - opacity);
    });
    Surface drawn(30, 40);
    PaintOn(drawn, {},
            [&](Gdiplus::Graphics& g) { DrawCrossFade(g, &image, dest, from, to, opacity); });
    ExpectSamePixels(expected, drawn);
  }
}

// What the primitives cannot draw as GDI+ would they leave to it.
TEST(BlendUnscaled, LeavesToGdiplusWhatItCannotDrawExactly) {
  ImageObject image(kPng, kTranslucent);
  Gdiplus::Bitmap plain(32, 24, PixelFormat32bppARGB);
  struct Case {
    const char* name;
    Gdiplus::Image* image;
    Gdiplus::RectF dest;
    float srcX;
    void (*prepare)(Gdiplus::Graphics&);
  } cases[] = {
      {"image that is no ImageObject", &plain, {0, 0, 10, 10}, 0, [](Gdiplus::Graphics&) {}},
      {"source beyond the image", &image, {0, 0, 10, 10}, 25, [](Gdiplus::Graphics&) {}},
      {"source between pixels", &image, {0, 0, 10, 10}, 0.5f, [](Gdiplus::Graphics&) {}},
      {"destination between pixels", &image, {0.25f, 0, 10, 10}, 0, [](Gdiplus::Graphics&) {}},
      {"transform",
       &image,
       {0, 0, 10, 10},
       0,
       [](Gdiplus::Graphics& g) { g.TranslateTransform(1, 0); }},
      {"page scale", &image, {0, 0, 10, 10}, 0, [](Gdiplus::Graphics& g) { g.SetPageScale(2); }},
      {"clip of two rectangles",
       &image,
       {0, 0, 10, 10},
       0,
       [](Gdiplus::Graphics& g) {
         g.SetClip(Gdiplus::Rect(0, 0, 4, 4));
         g.SetClip(Gdiplus::Rect(6, 6, 4, 4), Gdiplus::CombineModeUnion);
       }},
      {"source copy",
       &image,
       {0, 0, 10, 10},
       0,
       [](Gdiplus::Graphics& g) { g.SetCompositingMode(Gdiplus::CompositingModeSourceCopy); }},
      {"gamma-corrected compositing",
       &image,
       {0, 0, 10, 10},
       0,
       [](Gdiplus::Graphics& g) {
         g.SetCompositingQuality(Gdiplus::CompositingQualityGammaCorrected);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Surface drawn(40, 30);
    std::vector<uint32_t> before(drawn.Pixels(), drawn.Pixels() + drawn.Count());
    PaintOn(drawn, {}, [&](Gdiplus::Graphics& graphics) {
      c.prepare(graphics);
      EXPECT_FALSE(BlendUnscaled(graphics, c.image, c.dest, c.srcX, 0));
    });
    EXPECT_TRUE(std::equal(before.begin(), before.end(), drawn.Pixels())) << "drew something";
  }

  // Bitmaps that no DibSection made: a graphics object on a GDI+ bitmap, and
  // a DIB section made elsewhere.
  Gdiplus::Bitmap target(40, 30, PixelFormat32bppARGB);
  Gdiplus::Graphics onBitmap(&target);
  EXPECT_FALSE(BlendUnscaled(onBitmap, &image, Gdiplus::RectF(0, 0, 10, 10), 0, 0));
  BITMAPINFO info = {};
  info.bmiHeader = {sizeof info.bmiHeader, 40, -30, 1, 32, BI_RGB};
  void* bits = nullptr;
  HBITMAP foreign = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC dc = ::CreateCompatibleDC(nullptr);
  HGDIOBJ previous = ::SelectObject(dc, foreign);
  {
    Gdiplus::Graphics onForeign(dc);
    EXPECT_FALSE(BlendUnscaled(onForeign, &image, Gdiplus::RectF(0, 0, 10, 10), 0, 0));
  }
  ::SelectObject(dc, previous);
  ::DeleteDC(dc);
  ::DeleteObject(foreign);
}

// The kept copy of a scaled draw gives what GDI+ draws, on the draw that
// makes it and on the draws that reuse it; a different draw makes a new one.
TEST(DrawScaled, KeepsThePixelsOfGdiplus) {
  ImageObject image(kPng, kTranslucent);
  struct Case {
    const char* name;
    Gdiplus::RectF dest;
    Gdiplus::RectF source;
    RECT clip;
  } cases[] = {
      {"stretched to a fraction", {3, 4, 41.37f, 12}, {4, 0, 24, 24}, {}},
      {"stretched again, unchanged", {3, 4, 41.37f, 12}, {4, 0, 24, 24}, {}},
      {"shrunk across the edge", {-5, 20, 13.5f, 30}, {0, 0, 32, 24}, {}},
      {"clipped", {3, 4, 41.37f, 12}, {4, 0, 24, 24}, {10, 0, 30, 10}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Surface expected(50, 40);
    PaintOn(expected, c.clip, [&](Gdiplus::Graphics& graphics) {
      graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
      graphics.DrawImage(&image, c.dest, c.source.X, c.source.Y, c.source.Width, c.source.Height,
                         Gdiplus::UnitPixel);
    });
    Surface drawn(50, 40);
    PaintOn(drawn, c.clip, [&](Gdiplus::Graphics& graphics) {
      const Gdiplus::InterpolationMode mode = graphics.GetInterpolationMode();
      DrawScaled(graphics, &image, c.dest, c.source);
      EXPECT_EQ(mode, graphics.GetInterpolationMode());
    });
    EXPECT_FALSE(image.GetScaledCopy().pixels.empty());
    ExpectSamePixels(expected, drawn);
  }
}

// A kept text drawing gives what GDI+ draws, and only over the pixels it
// was drawn over.
TEST(TextStyleDraw, KeepsThePixelsOfGdiplus) {
  TextStyle style;
  style.SetFont(L"Arial", 14, kFontBold);
  style.SetColor(136, 136, 136);
  const std::wstring text = L"HIL 安装 fg";
  struct Case {
    const char* name;
    uint32_t background;  // 0: the noise of Surface
    RECT clip;
    bool kept;  // kept from the draw before
  } cases[] = {
      {"first draw", 0, {}, false},
      {"same again", 0, {}, true},
      {"other background", 0xFF204060, {}, false},
      {"same again", 0xFF204060, {}, true},
      {"clipped", 0xFF204060, {0, 0, 60, 30}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Surface expected(120, 40);
    Surface drawn(120, 40);
    if (c.background) {
      std::fill(expected.Pixels(), expected.Pixels() + expected.Count(), c.background);
      std::fill(drawn.Pixels(), drawn.Pixels() + drawn.Count(), c.background);
    }
    PaintOn(expected, c.clip, [&](Gdiplus::Graphics& graphics) {
      graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
      Gdiplus::SolidBrush brush(Gdiplus::Color(TextColor(136, 136, 136)));
      graphics.DrawString(text.c_str(), -1, style.GetFont(), Gdiplus::RectF(7, 9, 0, 0), nullptr,
                          &brush);
    });
    const bool keptBefore = style.HasKeptDrawing();
    PaintOn(drawn, c.clip, [&](Gdiplus::Graphics& graphics) {
      const Gdiplus::TextRenderingHint hint = graphics.GetTextRenderingHint();
      style.Draw(graphics, text, 7, 9);
      EXPECT_EQ(hint, graphics.GetTextRenderingHint());
    });
    ExpectSamePixels(expected, drawn);
    EXPECT_TRUE(style.HasKeptDrawing());
    if (c.kept) {
      EXPECT_TRUE(keptBefore);
    }
  }
  // A new colour forgets the drawing.
  style.SetColor(0, 0, 255);
  EXPECT_FALSE(style.HasKeptDrawing());
}

}  // namespace
}  // namespace zrb::test
