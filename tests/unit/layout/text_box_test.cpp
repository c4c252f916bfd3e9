// The text box on the system's windowless rich edit, driven through a page
// window that routes input as the wizard pages do and drawn into a 32-bit
// DIB as a page's repaint does.
#include <gtest/gtest.h>
#include <windows.h>
// The input method manager needs the Windows declarations first.
#include <imm.h>

#include <memory>
#include <string>

#include "tests/unit/layout/layout_test_support.h"
#include "tests/unit/ui/ui_test_support.h"
#include "ui/button_ui_object.h"
#include "ui/container_ui_object.h"
#include "ui/text_box_ui_object.h"
#include "ui/ui_messages.h"

namespace zrb::test {
namespace {

using namespace ZRBUE;

constexpr RECT kPage = {0, 0, 300, 100};
constexpr RECT kBox = {20, 30, 220, 60};
// The text area: the box made smaller by 5 pixels on every side.
constexpr RECT kText = {25, 35, 215, 55};
constexpr RECT kOther = {240, 30, 260, 60};

struct Colour {
  BYTE red, green, blue;
};

// A text box configured in the loader's order.
std::unique_ptr<TextBoxUIObjectImpl> MakeTextBox(HWND page, Colour colour, BOOL enabled) {
  auto box = Make<TextBoxUIObjectImpl>(page, kBox, kTextBoxStrip);
  box->CreateHost();
  box->SetTextColor(colour.red, colour.green, colour.blue);
  box->SetFont(L"Arial", 12, FALSE);
  box->SetMaxChars(0);
  box->SetEnabled(enabled);
  box->SetMultiLine(FALSE);
  return box;
}

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

bool IsReddish(uint32_t p) { return Red(p) > 0xA0 && Green(p) < 0x60 && Blue(p) < 0x60; }
bool IsDark(uint32_t p) { return Red(p) < 0x40 && Green(p) < 0x40 && Blue(p) < 0x40; }

// A page with a text box and, right of it, a button that can take the focus.
class TextBoxTest : public ::testing::Test {
 public:
  explicit TextBoxTest(Colour colour = {0, 0, 0}, BOOL enabled = TRUE)
      : root(Make<ContainerUIObjectImpl>(page.Get(), kPage)) {
    box = Add(*root, MakeTextBox(page.Get(), colour, enabled));
    other = Add(*root, Make<ButtonUIObjectImpl>(page.Get(), kOther, kTextBoxStrip));
    page.SetRoot(root.get());
  }

  IZRBBaseUIObject* Box() const { return box; }
  void ClickIntoText() { page.Click(kText.left + 2, (kText.top + kText.bottom) / 2); }
  void Redraw() {
    canvas.Clear();
    canvas.Draw(*root);
  }

  RoutingPage page;
  std::unique_ptr<ContainerUIObjectImpl> root;
  TextBoxUIObjectImpl* box;
  ButtonUIObjectImpl* other;
  Canvas canvas{kPage.right, kPage.bottom};
};

TEST_F(TextBoxTest, TextIsSetAndReadBack) {
  ASSERT_TRUE(box->IsCreated());
  for (const std::wstring text : {L"C:\\Program Files\\Pomelia", L"D:\\软件\\安装", L""}) {
    box->SetText(text);
    EXPECT_EQ(text, box->GetText());
  }
  // Without its services a box holds no text.
  TextBoxUIObjectImpl bare;
  bare.SetText(L"x");
  EXPECT_EQ(L"", bare.GetText());
}

TEST_F(TextBoxTest, TypedCharactersReachTheFocusedBoxOnly) {
  page.Type(L"lost");
  EXPECT_EQ(L"", box->GetText());

  ClickIntoText();
  ASSERT_EQ(Box(), page.FocusOwner());
  EXPECT_TRUE(box->IsFocused());
  // Under Wine the services spend the first editing key after a click on
  // the click's empty selection; a user's End key does no harm anywhere.
  page.Key(VK_END);
  page.Type(L"D:\\Appx\b");
  EXPECT_EQ(L"D:\\App", box->GetText());

  // Another control takes the focus; keys no longer reach the box.
  page.Click((kOther.left + kOther.right) / 2, (kOther.top + kOther.bottom) / 2);
  EXPECT_EQ(static_cast<IZRBBaseUIObject*>(other), page.FocusOwner());
  EXPECT_FALSE(box->IsFocused());
  page.Type(L"zz");
  EXPECT_EQ(L"D:\\App", box->GetText());
}

TEST_F(TextBoxTest, LengthLimitHolds) {
  struct Case {
    int maxChars;
    size_t preset;
    size_t expected;
  } cases[] = {
      {5, 0, 5},
      // 0 means 65536.
      {0, 65535, 65536},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.maxChars);
    box->SetMaxChars(c.maxChars);
    box->SetText(std::wstring(c.preset, L'a'));
    ClickIntoText();
    page.Type(L"bcdefgh");
    EXPECT_EQ(c.expected, box->GetText().size());
  }
}

TEST_F(TextBoxTest, LineBreaksOnlyWhenMultiLine) {
  for (const BOOL multiLine : {FALSE, TRUE}) {
    SCOPED_TRACE(multiLine);
    box->SetMultiLine(multiLine);
    box->SetText(L"");
    ClickIntoText();
    page.Type(L"a\rb");
    EXPECT_EQ(multiLine ? L"a\rb" : L"ab", box->GetText());
  }
}

TEST_F(TextBoxTest, DragSelectsWithTheMouseCaptured) {
  box->SetText(L"abcdef");
  // Drawn first, as the page does all the time: drawing must not move the
  // text away from the coordinates of the mouse.
  Redraw();
  const int middle = (kText.top + kText.bottom) / 2;
  ::SendMessageW(page.Get(), WM_LBUTTONDOWN, MK_LBUTTON, At(kText.left + 1, middle));
  EXPECT_EQ(Box(), page.CaptureOwner());
  EXPECT_EQ(Box(), page.FocusOwner());
  ::SendMessageW(page.Get(), WM_MOUSEMOVE, MK_LBUTTON, At(kText.right - 2, middle));
  ::SendMessageW(page.Get(), WM_LBUTTONUP, 0, At(kText.right - 2, middle));
  EXPECT_EQ(nullptr, page.CaptureOwner());

  page.Type(L"Z");
  EXPECT_EQ(L"Z", box->GetText());
}

// A key the text services leave alone gets the page's default processing
// once: Alt+F4 asks to close the page one time.
TEST_F(TextBoxTest, KeysTheServicesLeaveReachThePageOnce) {
  ClickIntoText();
  ::SendMessageW(page.Get(), WM_SYSKEYDOWN, VK_F4, 0x20000001);
  page.PumpPosted();
  EXPECT_EQ(1, page.SystemCommands());
}

TEST_F(TextBoxTest, ImeCompositionWindowFollowsTheCaret) {
  ClickIntoText();
  page.Type(L"abc");
  HIMC context = ::ImmGetContext(page.Get());
  if (!context) GTEST_SKIP() << "no input context for the page window";
  POINT caret = {};
  ASSERT_TRUE(::GetCaretPos(&caret));
  EXPECT_GT(caret.x, kText.left);

  EXPECT_EQ(0, box->HandleMessage(WM_IME_COMPOSITION, 0, 0));
  COMPOSITIONFORM form = {};
  EXPECT_TRUE(::ImmGetCompositionWindow(context, &form));
  EXPECT_EQ(static_cast<DWORD>(CFS_POINT), form.dwStyle);
  EXPECT_EQ(caret.x, form.ptCurrentPos.x);
  EXPECT_EQ(caret.y, form.ptCurrentPos.y);
  ::ImmReleaseContext(page.Get(), context);
}

TEST_F(TextBoxTest, CaretBlinksWithThePagesCaretTimer) {
  Redraw();
  ClickIntoText();
  page.Type(L"ab");
  POINT caret = {};
  ASSERT_TRUE(::GetCaretPos(&caret));
  EXPECT_TRUE(::PtInRect(&kText, caret)) << caret.x << "," << caret.y;
  const int x = caret.x;
  const int y = caret.y + 3;

  // The system caret timer reaches the page, which routes the blink.
  ASSERT_TRUE(page.PumpUntil([&] { return box->IsCaretOn(); }, 10000));
  Redraw();
  EXPECT_TRUE(IsDark(canvas.Pixel(x, y))) << Hex(canvas.Pixel(x, y));
  EXPECT_EQ(0xFF, Alpha(canvas.Pixel(x, y)));
  EXPECT_EQ(Hex(kTextBoxCells[1]), Hex(canvas.Pixel(x + 3, y)));

  ASSERT_TRUE(page.PumpUntil([&] { return !box->IsCaretOn(); }, 10000));
  Redraw();
  EXPECT_EQ(Hex(kTextBoxCells[1]), Hex(canvas.Pixel(x, y)));

  // Losing the focus hides the caret at once.
  ::SendMessageW(page.Get(), ZRBUM_CARETBLINK, 0, 0);
  EXPECT_TRUE(box->IsCaretOn());
  page.Click((kOther.left + kOther.right) / 2, (kOther.top + kOther.bottom) / 2);
  EXPECT_FALSE(box->IsCaretOn());
}

TEST_F(TextBoxTest, BackgroundCellFollowsHoverFocusAndEnabledState) {
  const int inBox = (kBox.left + kBox.right) / 2;
  const int outside = 150;
  struct Case {
    const char* step;
    void (*act)(TextBoxTest&, int inBox, int outside);
    int cell;  // -1: nothing drawn
  } cases[] = {
      {"fresh", [](TextBoxTest&, int, int) {}, 0},
      {"hovered",
       [](TextBoxTest& t, int in, int) {
         ::SendMessageW(t.page.Get(), WM_MOUSEMOVE, 0, At(in, 40));
       },
       1},
      {"left",
       [](TextBoxTest& t, int, int out) {
         ::SendMessageW(t.page.Get(), WM_MOUSEMOVE, 0, At(out, 80));
       },
       0},
      {"clicked", [](TextBoxTest& t, int in, int) { t.page.Click(in, 40); }, 1},
      {"focused, mouse gone",
       [](TextBoxTest& t, int, int out) {
         ::SendMessageW(t.page.Get(), WM_MOUSEMOVE, 0, At(out, 80));
       },
       1},
      {"focus taken by another control", [](TextBoxTest& t, int, int) { t.page.Click(250, 45); },
       0},
      {"disabled", [](TextBoxTest& t, int, int) { t.box->SetEnabled(FALSE); }, 2},
      {"disabled, hovered and clicked",
       [](TextBoxTest& t, int in, int) {
         ::SendMessageW(t.page.Get(), WM_MOUSEMOVE, 0, At(in, 40));
         t.page.Click(in, 40);
       },
       2},
      {"enabled", [](TextBoxTest& t, int, int) { t.box->SetEnabled(TRUE); }, 0},
      {"hidden", [](TextBoxTest& t, int, int) { t.box->SetVisible(FALSE); }, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.step);
    c.act(*this, inBox, outside);
    Redraw();
    const uint32_t expected = c.cell < 0 ? kTransparent : kTextBoxCells[c.cell];
    EXPECT_EQ(Hex(expected), Hex(canvas.Pixel(kBox.left, kBox.top)));
    EXPECT_EQ(Hex(expected), Hex(canvas.Pixel(kBox.right - 1, kBox.bottom - 1)));
  }
  EXPECT_NE(Box(), page.FocusOwner());
}

TEST_F(TextBoxTest, TextPixelsReachTheAlphaBitmapOpaque) {
  box->SetText(L"WWWW");
  Redraw();
  int textPixels = 0;
  int rightmost = -1;
  for (int y = kBox.top; y < kBox.bottom; ++y) {
    for (int x = kBox.left; x < kBox.right; ++x) {
      const uint32_t pixel = canvas.Pixel(x, y);
      ASSERT_EQ(0xFF, Alpha(pixel)) << x << "," << y << " " << Hex(pixel);
      if (pixel == kTextBoxCells[0]) continue;
      // GDI drew here: only inside the text area.
      ASSERT_TRUE(::PtInRect(&kText, POINT{x, y})) << x << "," << y << " " << Hex(pixel);
      ++textPixels;
      if (x > rightmost) rightmost = x;
    }
  }
  EXPECT_GT(textPixels, 40);
  // The rest of the text area keeps the background.
  EXPECT_LT(rightmost, kText.left + 120);
  EXPECT_EQ(Hex(kTransparent), Hex(canvas.Pixel(kBox.left - 1, kBox.top)));
  EXPECT_EQ(Hex(kTransparent), Hex(canvas.Pixel(kBox.right, kBox.bottom - 1)));
}

class DisabledRedTextBoxTest : public TextBoxTest {
 protected:
  DisabledRedTextBoxTest() : TextBoxTest({255, 0, 0}, FALSE) {}
};

TEST_F(DisabledRedTextBoxTest, TextColourShowsOnlyWhileEnabled) {
  box->SetText(L"WWWW");
  Redraw();
  EXPECT_FALSE(canvas.AnyPixel(kText, IsReddish));
  EXPECT_TRUE(canvas.AnyPixel(kText, IsDark));
  EXPECT_EQ(Hex(kTextBoxCells[2]), Hex(canvas.Pixel(kBox.left, kBox.top)));

  box->SetEnabled(TRUE);
  Redraw();
  EXPECT_TRUE(canvas.AnyPixel(kText, IsReddish));
  EXPECT_FALSE(canvas.AnyPixel(kText, IsDark));
}

}  // namespace
}  // namespace zrb::test
