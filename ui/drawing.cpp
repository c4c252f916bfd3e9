#include "ui/drawing.h"

namespace ZRBUE {

void DrawCell(Gdiplus::Graphics& graphics, Gdiplus::Image* image, const RECT& dest, int cell) {
  DrawUnscaled(
      graphics, image, dest,
      static_cast<Gdiplus::REAL>(cell) * static_cast<Gdiplus::REAL>(dest.right - dest.left), 0);
}

void DrawUnscaled(Gdiplus::Graphics& graphics, Gdiplus::Image* image, const RECT& dest,
                  Gdiplus::REAL srcX, Gdiplus::REAL srcY) {
  const Gdiplus::REAL width = static_cast<Gdiplus::REAL>(dest.right - dest.left);
  const Gdiplus::REAL height = static_cast<Gdiplus::REAL>(dest.bottom - dest.top);
  graphics.DrawImage(image,
                     Gdiplus::RectF(static_cast<Gdiplus::REAL>(dest.left),
                                    static_cast<Gdiplus::REAL>(dest.top), width, height),
                     srcX, srcY, width, height, Gdiplus::UnitPixel);
}

void DrawScaled(Gdiplus::Graphics& graphics, Gdiplus::Image* image, const Gdiplus::RectF& dest,
                const Gdiplus::RectF& source) {
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

void TextStyle::SetFont(const std::wstring& family, int points, INT style) {
  Gdiplus::FontFamily named(family.c_str());
  const Gdiplus::FontFamily* chosen =
      named.GetLastStatus() == Gdiplus::Ok ? &named : Gdiplus::FontFamily::GenericSansSerif();
  font_ = std::make_unique<Gdiplus::Font>(chosen, static_cast<Gdiplus::REAL>(points), style,
                                          Gdiplus::UnitPoint);
}

void TextStyle::SetColor(BYTE red, BYTE green, BYTE blue) {
  brush_ = std::make_unique<Gdiplus::SolidBrush>(Gdiplus::Color(TextColor(red, green, blue)));
}

void TextStyle::Draw(Gdiplus::Graphics& graphics, const std::wstring& text, int x, int y) const {
  const Gdiplus::TextRenderingHint previous = graphics.GetTextRenderingHint();
  graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
  graphics.DrawString(
      text.c_str(), -1, font_.get(),
      Gdiplus::RectF(static_cast<Gdiplus::REAL>(x), static_cast<Gdiplus::REAL>(y), 0, 0), nullptr,
      brush_.get());
  graphics.SetTextRenderingHint(previous);
}

}  // namespace ZRBUE
