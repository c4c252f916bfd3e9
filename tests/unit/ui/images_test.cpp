// Images from resources, the image requirements of Init, and the drawing
// primitives.
#include <gtest/gtest.h>

#include <functional>

#include "tests/unit/ui/ui_test_support.h"
#include "ui/button_ui_object.h"
#include "ui/carousel_ui_object.h"
#include "ui/check_box_ui_object.h"
#include "ui/container_ui_object.h"
#include "ui/drawing.h"
#include "ui/image_object.h"
#include "ui/label_ui_object.h"
#include "ui/link_label_ui_object.h"
#include "ui/picture_ui_object.h"
#include "ui/progress_ui_object.h"

namespace zrb::test {
namespace {

using namespace ZRBUE;

// Which classes need an image, which take none, and what a missing
// resource does.
TEST(ObjectInit, EnforcesTheImageRequirementOfEachClass) {
  using Factory = std::function<std::unique_ptr<IZRBBaseUIObject>()>;
  struct Class {
    const char* name;
    Factory make;
    bool needsImage;    // resId 0 fails
    bool takesNoImage;  // resId other than 0 fails
  } classes[] = {
      {"button", [] { return std::make_unique<ButtonUIObjectImpl>(); }, true, false},
      {"check box", [] { return std::make_unique<CheckBoxUIObjectImpl>(); }, true, false},
      {"picture", [] { return std::make_unique<PictureUIObjectImpl>(); }, true, false},
      {"carousel", [] { return std::make_unique<CarouselUIObjectImpl>(); }, true, false},
      {"progress", [] { return std::make_unique<ProgressUIObjectImpl>(); }, true, false},
      {"label", [] { return std::make_unique<LabelUIObjectImpl>(); }, false, true},
      {"link label", [] { return std::make_unique<LinkLabelUIObjectImpl>(); }, false, true},
      {"container", [] { return std::make_unique<ContainerUIObjectImpl>(); }, false, false},
  };
  auto initFails = [](IZRBBaseUIObject& object, UINT resId) {
    try {
      object.Init(nullptr, 1, 2, 21, 12, resId, kPng);
    } catch (HRESULT error) {
      EXPECT_EQ(E_FAIL, error);
      return true;
    }
    return false;
  };
  for (const Class& c : classes) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.needsImage, initFails(*c.make(), 0));
    EXPECT_EQ(c.takesNoImage, initFails(*c.make(), kButtonStrip));
    // A resource that does not exist.
    EXPECT_TRUE(initFails(*c.make(), 999));
    if (c.takesNoImage) continue;
    auto object = c.make();
    ASSERT_FALSE(initFails(*object, kButtonStrip));
    const RECT rect = object->GetRect();
    EXPECT_EQ(1, rect.left);
    EXPECT_EQ(12, rect.bottom);
  }
}

TEST(ImageObject, UsesTheLowSixteenBitsOfTheId) {
  ImageObject image(kPng, 0x10000 + kButtonStrip);
  EXPECT_EQ(80u, image.GetWidth());
  EXPECT_EQ(10u, image.GetHeight());
}

TEST(ImageObject, UndecodableImageLoadsEmptyAndDrawsNothing) {
  ImageObject image(kPng, kNotAnImage);
  EXPECT_NE(Gdiplus::Ok, image.GetLastStatus());

  auto picture = Make<PictureUIObjectImpl>(nullptr, {0, 0, 20, 20}, kNotAnImage);
  Canvas canvas(20, 20);
  canvas.Draw(*picture);
  EXPECT_FALSE(canvas.AnyPixel({0, 0, 20, 20}, [](uint32_t p) { return p != 0; }));
}

TEST(ProgressFrontImage, IsRequired) {
  ProgressUIObjectImpl progress;
  EXPECT_THROW(progress.SetFrontImage(kPng, 0), HRESULT);
  EXPECT_THROW(progress.SetFrontImage(kPng, 999), HRESULT);
  EXPECT_NO_THROW(progress.SetFrontImage(kPng, kProgressFront));
}

TEST(TextColor, CarriesAlpha254) {
  EXPECT_EQ(0xFE888888u, TextColor(136, 136, 136));
  EXPECT_EQ(0xFE0A141Eu, TextColor(10, 20, 30));
}

// What GDI painted over a copy of the page becomes opaque; the copy itself
// becomes transparent.
TEST(MakeGdiPixelsOpaque, KeepsOnlyWhatGdiPainted) {
  Canvas canvas(8, 4);
  DibSection& dib = canvas.GetDib();
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 8; ++x) dib.PixelAt(x, y) = 0xFF102030;
  }
  const RECT painted = {2, 1, 5, 3};
  HBRUSH brush = ::CreateSolidBrush(RGB(0x40, 0x50, 0x60));
  ::FillRect(canvas.GetDC(), &painted, brush);
  ::DeleteObject(brush);
  ::GdiFlush();

  MakeGdiPixelsOpaque(dib);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 8; ++x) {
      const POINT point = {x, y};
      const uint32_t expected = ::PtInRect(&painted, point) ? 0xFF405060 : kTransparent;
      EXPECT_EQ(Hex(expected), Hex(dib.PixelAt(x, y))) << x << "," << y;
    }
  }
}

TEST(DibSection, IsTopDownAddressedBottomUpStoredAndTransparent) {
  DibSection dib;
  ASSERT_TRUE(dib.Create(nullptr, 3, 2));
  EXPECT_EQ(2, dib.GetHeight());
  EXPECT_EQ(32, dib.GetHeader().biBitCount);
  EXPECT_EQ(kTransparent, dib.PixelAt(2, 1));
  dib.PixelAt(0, 0) = kRed;
  // The first stored row is the bottom one.
  EXPECT_EQ(kRed, dib.GetPixels()[3]);
  EXPECT_FALSE(dib.Create(nullptr, 0, 2));
  EXPECT_EQ(nullptr, dib.GetPixels());
}

}  // namespace
}  // namespace zrb::test
