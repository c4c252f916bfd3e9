// Trees drawn into a 32-bit DIB through the Draw path of the pages, checked
// pixel by pixel.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/unit/ui/ui_test_support.h"
#include "ui/button_ui_object.h"
#include "ui/carousel_ui_object.h"
#include "ui/check_box_ui_object.h"
#include "ui/container_ui_object.h"
#include "ui/label_ui_object.h"
#include "ui/link_label_ui_object.h"
#include "ui/picture_ui_object.h"
#include "ui/progress_ui_object.h"

namespace zrb::test {
namespace {

using namespace ZRBUE;

constexpr RECT kPage = {0, 0, 200, 100};

std::unique_ptr<ContainerUIObjectImpl> MakeRoot(HWND host = nullptr, UINT background = 0) {
  return Make<ContainerUIObjectImpl>(host, kPage, background);
}

bool Near(uint32_t expected, uint32_t actual, int tolerance) {
  return std::abs(Alpha(expected) - Alpha(actual)) <= tolerance &&
         std::abs(Red(expected) - Red(actual)) <= tolerance &&
         std::abs(Green(expected) - Green(actual)) <= tolerance &&
         std::abs(Blue(expected) - Blue(actual)) <= tolerance;
}

#define EXPECT_PIXEL(expected, canvas, x, y) \
  EXPECT_EQ(Hex(expected), Hex((canvas).Pixel((x), (y)))) << "at " << (x) << "," << (y)

TEST(ButtonDraw, ShowsTheCellOfEachState) {
  HostWindow host;
  auto root = MakeRoot(host.Get());
  auto* button = Add(*root, Make<ButtonUIObjectImpl>(host.Get(), {10, 10, 30, 20}, kButtonStrip));
  Canvas canvas(200, 100);

  using Step = void (*)(ContainerUIObjectImpl&, ButtonUIObjectImpl&);
  struct Case {
    const char* step;
    Step act;
    int cell;
  } cases[] = {
      {"fresh", [](ContainerUIObjectImpl&, ButtonUIObjectImpl&) {}, 0},
      {"mouse over", [](ContainerUIObjectImpl& r, ButtonUIObjectImpl&) { Move(r, 15, 15); }, 1},
      {"pressed", [](ContainerUIObjectImpl& r, ButtonUIObjectImpl&) { Press(r, 15, 15); }, 2},
      {"released", [](ContainerUIObjectImpl& r, ButtonUIObjectImpl&) { Release(r, 15, 15); }, 1},
      {"pressed again", [](ContainerUIObjectImpl& r, ButtonUIObjectImpl&) { Press(r, 15, 15); }, 2},
      // The pressed cell shows only until the mouse moves or hovers.
      {"hover message", [](ContainerUIObjectImpl& r, ButtonUIObjectImpl&) { Hover(r, 15, 15); }, 1},
      {"left the window", [](ContainerUIObjectImpl& r, ButtonUIObjectImpl&) { Leave(r); }, 0},
      {"disabled", [](ContainerUIObjectImpl&, ButtonUIObjectImpl& b) { b.SetEnabled(FALSE); }, 3},
      {"disabled, mouse over",
       [](ContainerUIObjectImpl& r, ButtonUIObjectImpl&) { Move(r, 15, 15); }, 3},
      // Enabling shows the normal cell under the mouse until it moves.
      {"enabled under the mouse",
       [](ContainerUIObjectImpl&, ButtonUIObjectImpl& b) { b.SetEnabled(TRUE); }, 0},
      {"moved again", [](ContainerUIObjectImpl& r, ButtonUIObjectImpl&) { Move(r, 16, 15); }, 1},
      {"mouse gone", [](ContainerUIObjectImpl& r, ButtonUIObjectImpl&) { Move(r, 100, 50); }, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.step);
    c.act(*root, *button);
    canvas.Clear();
    canvas.Draw(*root);
    EXPECT_PIXEL(kCellColors[c.cell], canvas, 10, 10);
    EXPECT_PIXEL(kCellColors[c.cell], canvas, 29, 19);
    EXPECT_PIXEL(kTransparent, canvas, 30, 15);
    EXPECT_PIXEL(kTransparent, canvas, 9, 15);
  }
}

TEST(CheckBoxDraw, ShowsTheSixCells) {
  HostWindow host;
  auto root = MakeRoot(host.Get());
  auto* box = Add(*root, Make<CheckBoxUIObjectImpl>(host.Get(), {10, 10, 26, 26}, kCheckStrip));
  Canvas canvas(200, 100);

  using Step = void (*)(ContainerUIObjectImpl&, CheckBoxUIObjectImpl&);
  struct Case {
    const char* step;
    Step act;
    int cell;
  } cases[] = {
      {"fresh", [](ContainerUIObjectImpl&, CheckBoxUIObjectImpl&) {}, 0},
      {"disabled", [](ContainerUIObjectImpl&, CheckBoxUIObjectImpl& b) { b.SetEnabled(FALSE); }, 1},
      {"enabled, mouse over",
       [](ContainerUIObjectImpl& r, CheckBoxUIObjectImpl& b) {
         b.SetEnabled(TRUE);
         Move(r, 15, 15);
       },
       2},
      {"clicked", [](ContainerUIObjectImpl& r, CheckBoxUIObjectImpl&) { Click(r, 15, 15); }, 5},
      {"mouse gone", [](ContainerUIObjectImpl& r, CheckBoxUIObjectImpl&) { Move(r, 100, 50); }, 3},
      {"disabled", [](ContainerUIObjectImpl&, CheckBoxUIObjectImpl& b) { b.SetEnabled(FALSE); }, 4},
      {"unchecked while disabled",
       [](ContainerUIObjectImpl&, CheckBoxUIObjectImpl& b) { b.SetChecked(FALSE); }, 1},
      {"checked while disabled",
       [](ContainerUIObjectImpl&, CheckBoxUIObjectImpl& b) { b.SetChecked(TRUE); }, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.step);
    c.act(*root, *box);
    canvas.Clear();
    canvas.Draw(*root);
    EXPECT_PIXEL(kCellColors[c.cell], canvas, 10, 10);
    EXPECT_PIXEL(kCellColors[c.cell], canvas, 25, 25);
    EXPECT_PIXEL(kTransparent, canvas, 26, 26);
  }
}

// With text the box goes to the check rect (none when it is empty) and the
// text to the label rect; without text the box covers the rect, whatever
// the check rect says.
TEST(CheckBoxDraw, PlacesBoxAndTextByTheirRects) {
  struct Case {
    const char* name;
    const wchar_t* text;
    RECT checkRect;
    RECT boxShown;  // empty: no box anywhere
    bool textShown;
  } cases[] = {
      {"text", L"HIL", {100, 10, 116, 26}, {100, 10, 116, 26}, true},
      {"text, empty check rect", L"HIL", {100, 10, 100, 26}, {}, true},
      {"no text", L"", {100, 10, 116, 26}, {0, 0, 16, 16}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto box = Make<CheckBoxUIObjectImpl>(nullptr, {0, 0, 16, 16}, kCheckStrip);
    box->SetCheckRect(c.checkRect);
    box->SetLabelRect({120, 50, 121, 51});
    box->SetColor(0, 0, 255);
    box->SetFont(L"Arial", 20, TRUE);
    box->SetText(c.text);
    Canvas canvas(200, 100);
    canvas.Draw(*box);

    EXPECT_EQ(!::IsRectEmpty(&c.boxShown),
              canvas.AnyPixel({0, 0, 200, 50}, [](uint32_t p) { return p == kRed; }));
    if (!::IsRectEmpty(&c.boxShown)) {
      EXPECT_PIXEL(kRed, canvas, c.boxShown.left, c.boxShown.top);
      EXPECT_PIXEL(kRed, canvas, c.boxShown.right - 1, c.boxShown.bottom - 1);
    }
    EXPECT_EQ(c.textShown, canvas.AnyPixel({120, 50, 200, 100}, [](uint32_t p) {
      return Alpha(p) > 0x80 && Blue(p) > 0x80 && Red(p) < 0x20;
    }));
  }
}

TEST(ContainerDraw, ShowsTheBackgroundAtItsSizeWithoutScaling) {
  // The image is 40 x 40: its top-left quarter in one colour, the rest in another.
  auto small = Make<ContainerUIObjectImpl>(nullptr, {10, 10, 30, 30}, kBackground);
  Canvas canvas(100, 100);
  canvas.Draw(*small);
  EXPECT_PIXEL(kBackgroundCorner, canvas, 10, 10);
  EXPECT_PIXEL(kBackgroundCorner, canvas, 29, 29);
  EXPECT_PIXEL(kTransparent, canvas, 30, 30);
  EXPECT_PIXEL(kTransparent, canvas, 9, 9);

  auto large = Make<ContainerUIObjectImpl>(nullptr, {0, 0, 60, 60}, kBackground);
  canvas.Clear();
  canvas.Draw(*large);
  EXPECT_PIXEL(kBackgroundCorner, canvas, 19, 19);
  EXPECT_PIXEL(kBackgroundRest, canvas, 20, 19);
  EXPECT_PIXEL(kBackgroundRest, canvas, 39, 39);
  EXPECT_PIXEL(kTransparent, canvas, 40, 39);
  EXPECT_PIXEL(kTransparent, canvas, 59, 59);
}

// A container clips its own leaves to its rect; a child container's drawing
// resets the clip, so after it the leaves draw unclipped.
TEST(ContainerDraw, ClipsLeavesToItsRect) {
  for (bool withChildContainer : {false, true}) {
    SCOPED_TRACE(withChildContainer ? "with child container" : "leaves only");
    auto box = Make<ContainerUIObjectImpl>(nullptr, {0, 0, 25, 15});
    if (withChildContainer)
      box->AddContainer(Make<ContainerUIObjectImpl>(nullptr, {0, 0, 5, 5}).release());
    Add(*box, Make<ButtonUIObjectImpl>(nullptr, {10, 10, 30, 20}, kButtonStrip));
    Canvas canvas(100, 100);
    canvas.Draw(*box);
    EXPECT_PIXEL(kRed, canvas, 24, 14);
    EXPECT_PIXEL(withChildContainer ? kRed : kTransparent, canvas, 25, 14);
    EXPECT_PIXEL(withChildContainer ? kRed : kTransparent, canvas, 29, 19);
  }
}

// Hiding a plain container hides its subtree although the children keep
// their own flags.
TEST(ContainerDraw, HiddenContainerHidesItsSubtree) {
  auto root = MakeRoot();
  auto* inner = Make<ContainerUIObjectImpl>(nullptr, {0, 0, 100, 50}).release();
  root->AddContainer(inner);
  auto* button = Add(*inner, Make<ButtonUIObjectImpl>(nullptr, {10, 10, 30, 20}, kButtonStrip));
  inner->SetVisible(FALSE);
  Canvas canvas(200, 100);
  canvas.Draw(*root);
  EXPECT_PIXEL(kTransparent, canvas, 15, 15);
  EXPECT_TRUE(button->IsVisible());
  inner->SetVisible(TRUE);
  canvas.Draw(*root);
  EXPECT_PIXEL(kRed, canvas, 15, 15);
}

TEST(PictureDraw, ScalesTheImageToItsRect) {
  auto picture = Make<PictureUIObjectImpl>(nullptr, {0, 0, 40, 40}, kQuadrants);
  Canvas canvas(60, 60);
  canvas.Draw(*picture);
  struct Probe {
    int x, y;
    uint32_t color;
  } probes[] = {{10, 10, kRed}, {30, 10, kGreen}, {10, 30, kBlue}, {30, 30, kYellow}};
  for (const Probe& p : probes) {
    EXPECT_TRUE(Near(p.color, canvas.Pixel(p.x, p.y), 8))
        << p.x << "," << p.y << ": " << Hex(canvas.Pixel(p.x, p.y));
  }
  EXPECT_PIXEL(kTransparent, canvas, 45, 20);
  EXPECT_PIXEL(kTransparent, canvas, 20, 45);
}

// Back 210 x 10 grey; front image 20 x 10 with red (4), green (12) and blue
// (4) columns; front rect 208 wide with ends of 4: the middle fills
// 2 pixels per percent. (Where the middle starts, scaling may leave its
// first column out; the pieces' overlap covers only the right seam.)
TEST(ProgressDraw, DrawsTheThreeSlicesAtItsPosition) {
  auto progress = Make<ProgressUIObjectImpl>(nullptr, {0, 0, 210, 10}, kProgressBack);
  progress->SetFront({0, 0, 208, 10}, 4, 4);
  progress->SetFrontImage(kPng, kProgressFront);

  struct Case {
    int steps;  // StepIt calls so far, in total
    int position;
    int middleEnd;  // 4 + 2 * position: the right end starts a pixel before it
  } cases[] = {{0, 0, 4}, {37, 37, 78}, {150, 100, 204}};
  int stepped = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.position);
    for (; stepped < c.steps; ++stepped) progress->StepIt();
    EXPECT_EQ(c.position, progress->GetPos());
    Canvas canvas(220, 10);
    canvas.Draw(*progress);
    EXPECT_PIXEL(kRed, canvas, 0, 5);
    EXPECT_PIXEL(kRed, canvas, 2, 5);
    if (c.position > 0) {
      EXPECT_PIXEL(kGreen, canvas, 4 + c.position, 5);
    }
    const int rightStart = c.middleEnd - 1;
    EXPECT_PIXEL(kBlue, canvas, rightStart, 5);
    EXPECT_PIXEL(kBlue, canvas, rightStart + 3, 5);
    EXPECT_PIXEL(kGrey, canvas, rightStart + 4, 5);
    EXPECT_PIXEL(kGrey, canvas, 209, 9);
    EXPECT_PIXEL(kTransparent, canvas, 210, 5);
  }
}

// Over an opaque black background, the current frame (red) at opacity o and
// then the next (blue) at 1 - o give red 255 * o * o and blue 255 * (1 - o).
TEST(CarouselDraw, CrossFadesBetweenTwoFrames) {
  HostWindow host;
  auto root = Make<ContainerUIObjectImpl>(host.Get(), {0, 0, 100, 100}, kBlack);
  auto* carousel =
      Add(*root, Make<CarouselUIObjectImpl>(host.Get(), {10, 10, 30, 20}, kCarouselStrip));
  carousel->SetFrameCount(2);
  carousel->SetInterval(2000);
  carousel->SetFadeTime(500);
  Canvas canvas(100, 100);
  canvas.Draw(*root);
  EXPECT_PIXEL(kRed, canvas, 15, 15);

  carousel->Play();
  carousel->OnTimer(carousel->GetFrameTimerId());
  for (int tick = 0; tick < 4; ++tick) carousel->OnTimer(carousel->GetFadeTimerId());
  const float o = carousel->GetOpacity();
  EXPECT_NEAR(1 - 4 * 66.666664f / 500, o, 1e-4);
  canvas.Draw(*root);
  const uint32_t expected = 0xFF000000u | (static_cast<uint32_t>(255 * o * o + 0.5f) << 16) |
                            static_cast<uint32_t>(255 * (1 - o) + 0.5f);
  EXPECT_TRUE(Near(expected, canvas.Pixel(15, 15), 3))
      << Hex(expected) << " vs " << Hex(canvas.Pixel(15, 15));
  EXPECT_PIXEL(0xFF000000u, canvas, 35, 15);

  for (int tick = 4; tick < 8; ++tick) carousel->OnTimer(carousel->GetFadeTimerId());
  EXPECT_EQ(1, carousel->GetCurrentFrame());
  canvas.Draw(*root);
  EXPECT_PIXEL(kBlue, canvas, 15, 15);
  carousel->Stop();
}

// Text is drawn with alpha 254 into the transparent bitmap: its pixels carry
// the colour and are never fully opaque; it runs past the label's rect.
TEST(TextDraw, DrawsWithAlpha254InTheTextColour) {
  struct Case {
    const char* name;
    const wchar_t* family;
    const wchar_t* text;
  } cases[] = {
      {"Arial", L"Arial", L"HIL HIL"},
      {"unknown family falls back to sans-serif", L"No Such Family", L"HIL HIL"},
      {"Chinese family and text", L"宋体", L"安装目录"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto label = Make<LabelUIObjectImpl>(nullptr, {10, 10, 20, 20});
    label->SetColor(136, 136, 136);
    label->SetFont(c.family, 20, TRUE);
    label->SetText(c.text);
    Canvas canvas(200, 60);
    canvas.Draw(*label);

    const RECT all = {0, 0, 200, 60};
    EXPECT_TRUE(canvas.AnyPixel(all, [](uint32_t p) {
      return Alpha(p) >= 0xF0 && std::abs(Red(p) - 135) <= 3 && std::abs(Green(p) - 135) <= 3 &&
             std::abs(Blue(p) - 135) <= 3;
    })) << "no pixel in the text colour";
    EXPECT_FALSE(canvas.AnyPixel(all, [](uint32_t p) { return Alpha(p) == 0xFF; }));
    // Past the rect, and nothing above or left of the text origin.
    EXPECT_TRUE(canvas.AnyPixel({40, 0, 200, 60}, [](uint32_t p) { return p != 0; }));
    EXPECT_FALSE(canvas.AnyPixel({0, 0, 10, 60}, [](uint32_t p) { return p != 0; }));
    EXPECT_FALSE(canvas.AnyPixel({0, 0, 200, 10}, [](uint32_t p) { return p != 0; }));
  }
}

// Wine's GDI+ draws no underlines, so the link's font is checked for it.
TEST(TextDraw, LinkFontIsUnderlined) {
  for (BOOL bold : {FALSE, TRUE}) {
    LinkLabelUIObjectImpl link;
    link.SetFont(L"Arial", 12, bold);
    LabelUIObjectImpl label;
    label.SetFont(L"Arial", 12, bold);
    const INT weight = bold ? Gdiplus::FontStyleBold : Gdiplus::FontStyleRegular;
    EXPECT_EQ(weight | Gdiplus::FontStyleUnderline, link.GetTextStyle().GetFont()->GetStyle());
    EXPECT_EQ(weight, label.GetTextStyle().GetFont()->GetStyle());
  }
}

TEST(TextDraw, InvisibleTextDrawsNothing) {
  auto link = Make<LinkLabelUIObjectImpl>(nullptr, {10, 10, 20, 20});
  link->SetFont(L"Arial", 12, FALSE);
  link->SetColor(0, 0, 255);
  link->SetText(L"oooo");
  link->SetVisible(FALSE);
  Canvas canvas(200, 60);
  canvas.Draw(*link);
  EXPECT_FALSE(canvas.AnyPixel({0, 0, 200, 60}, [](uint32_t p) { return p != 0; }));
}

}  // namespace
}  // namespace zrb::test
