// Mouse dispatch, clicks, focus and timers, with a real hidden host window
// recording the messages the objects send.
#include <gtest/gtest.h>
#include <windows.h>
#include <windowsx.h>

#include "tests/unit/ui/ui_test_support.h"
#include "ui/button_ui_object.h"
#include "ui/caption_container_ui_object.h"
#include "ui/carousel_ui_object.h"
#include "ui/check_box_ui_object.h"
#include "ui/container_ui_object.h"
#include "ui/label_ui_object.h"
#include "ui/link_label_ui_object.h"
#include "ui/picture_ui_object.h"
#include "ui/ui_messages.h"

namespace zrb::test {
namespace {

using namespace ZRBUE;

LPARAM Sender(IZRBBaseUIObject* object) { return reinterpret_cast<LPARAM>(object); }

// Two buttons side by side: A (action 5) at 10..30, B (action 6) at 40..60.
class ClickTest : public ::testing::Test {
 public:
  ClickTest() : root(Make<ContainerUIObjectImpl>(host.Get(), {0, 0, 200, 100})) {
    a = Add(*root, Make<ButtonUIObjectImpl>(host.Get(), {10, 10, 30, 20}, kButtonStrip));
    a->SetAction(5);
    b = Add(*root, Make<ButtonUIObjectImpl>(host.Get(), {40, 10, 60, 20}, kButtonStrip));
    b->SetAction(6);
  }

  std::vector<Message> Clicks() {
    std::vector<Message> clicks;
    for (const Message& m : host.Take()) {
      if (m.msg >= WM_USER && m.msg < WM_USER + 100) clicks.push_back(m);
    }
    return clicks;
  }

  HostWindow host;
  std::unique_ptr<ContainerUIObjectImpl> root;
  ButtonUIObjectImpl* a;
  ButtonUIObjectImpl* b;
};

TEST_F(ClickTest, FiresOnlyWhenDownAndUpLandOnTheSameObject) {
  using Gesture = void (*)(ContainerUIObjectImpl&);
  struct Case {
    const char* name;
    Gesture gesture;
    int clicksOnA;
  } cases[] = {
      {"down and up on A", [](ContainerUIObjectImpl& r) { Click(r, 15, 15); }, 1},
      {"down on A, up on B",
       [](ContainerUIObjectImpl& r) {
         Press(r, 15, 15);
         Release(r, 45, 15);
       },
       0},
      {"down on A, dragged out and back, up on A",
       [](ContainerUIObjectImpl& r) {
         Move(r, 15, 15);
         Press(r, 15, 15);
         Move(r, 35, 15);
         Move(r, 15, 15);
         Release(r, 15, 15);
       },
       0},
      {"down on empty space, up on A",
       [](ContainerUIObjectImpl& r) {
         Press(r, 100, 50);
         Release(r, 15, 15);
       },
       0},
      {"up on A alone", [](ContainerUIObjectImpl& r) { Release(r, 15, 15); }, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.gesture(*root);
    const std::vector<Message> clicks = Clicks();
    ASSERT_EQ(static_cast<size_t>(c.clicksOnA), clicks.size());
    for (const Message& m : clicks) {
      EXPECT_EQ(WM_USER + 5, m.msg);
      EXPECT_EQ(0u, m.wParam);
      EXPECT_EQ(Sender(a), m.lParam);
    }
    Move(*root, 100, 50);  // leave everything
  }
}

// The page receives the click while the button still shows its pressed
// cell; the button turns to hover after the page has handled it.
TEST_F(ClickTest, ActionArrivesBeforeTheButtonLeavesItsPressedState) {
  int stateSeen = -1;
  host.onMessage = [&](const Message& m) {
    if (m.msg == WM_USER + 5) stateSeen = a->GetState();
  };
  Click(*root, 15, 15);
  EXPECT_EQ(ButtonUIObjectImpl::kPressed, stateSeen);
  EXPECT_EQ(ButtonUIObjectImpl::kHover, a->GetState());
}

TEST_F(ClickTest, DisabledOrHiddenObjectsAndContainersIgnoreClicks) {
  using Change = void (*)(ClickTest&, BOOL);
  struct Case {
    const char* name;
    Change change;
  } cases[] = {
      {"button disabled", [](ClickTest& t, BOOL on) { t.a->SetEnabled(on); }},
      {"button hidden", [](ClickTest& t, BOOL on) { t.a->SetVisible(on); }},
      {"root disabled", [](ClickTest& t, BOOL on) { t.root->SetEnabled(on); }},
      {"root hidden", [](ClickTest& t, BOOL on) { t.root->SetVisible(on); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.change(*this, FALSE);
    Click(*root, 15, 15);
    EXPECT_TRUE(Clicks().empty());
    c.change(*this, TRUE);
    Click(*root, 15, 15);
    EXPECT_EQ(1u, Clicks().size());
  }
}

// Objects without an action send WM_USER itself; a check box sends its new
// state and toggles whatever its action; a link behaves as a button.
TEST(ClickMessages, CarryTheActionAndTheCheckState) {
  HostWindow host;
  auto root = Make<ContainerUIObjectImpl>(host.Get(), {0, 0, 200, 100});
  auto* box = Add(*root, Make<CheckBoxUIObjectImpl>(host.Get(), {10, 10, 26, 26}, kCheckStrip));
  box->SetAction(104);
  auto* link = Add(*root, Make<LinkLabelUIObjectImpl>(host.Get(), {40, 10, 80, 26}));
  auto* plain = Add(*root, Make<ButtonUIObjectImpl>(host.Get(), {90, 10, 110, 20}, kButtonStrip));

  struct Case {
    POINT at;
    UINT msg;
    WPARAM wParam;
    IZRBBaseUIObject* sender;
    int boxStateAfter;
  } cases[] = {
      {{15, 15}, WM_USER + 104, 1, box, CheckBoxUIObjectImpl::kCheckedHover},
      {{15, 15}, WM_USER + 104, 0, box, CheckBoxUIObjectImpl::kUncheckedHover},
      {{50, 15}, WM_USER, 0, link, CheckBoxUIObjectImpl::kUnchecked},
      {{95, 15}, WM_USER, 0, plain, CheckBoxUIObjectImpl::kUnchecked},
  };
  for (const Case& c : cases) {
    Move(*root, c.at.x, c.at.y);
    Click(*root, c.at.x, c.at.y);
    const std::vector<Message> clicks = [&] {
      std::vector<Message> found;
      for (const Message& m : host.Take()) {
        if (m.msg >= WM_USER && m.msg < ZRBUM_SETCAPTURE) found.push_back(m);
      }
      return found;
    }();
    ASSERT_EQ(1u, clicks.size());
    EXPECT_EQ(c.msg, clicks[0].msg);
    EXPECT_EQ(c.wParam, clicks[0].wParam);
    EXPECT_EQ(Sender(c.sender), clicks[0].lParam);
    EXPECT_EQ(c.boxStateAfter, box->GetState());
  }
}

// A link, too, forgets a press once the mouse has left it: a later release
// over it is no click.
TEST(ClickMessages, LinkForgetsThePressWhenTheMouseLeaves) {
  HostWindow host;
  auto root = Make<ContainerUIObjectImpl>(host.Get(), {0, 0, 200, 100});
  Add(*root, Make<LinkLabelUIObjectImpl>(host.Get(), {40, 10, 80, 26}))->SetAction(101);
  Move(*root, 50, 15);
  Press(*root, 50, 15);
  Move(*root, 150, 60);
  Release(*root, 150, 60);
  Move(*root, 50, 15);
  Release(*root, 50, 15);
  EXPECT_TRUE(host.Find(WM_USER + 101).empty());
  Click(*root, 50, 15);
  EXPECT_EQ(1u, host.Find(WM_USER + 101).size());
}

// Loaded checked and disabled, enabled, then clicked: unchecked hover, and
// the page learns 0.
TEST(ClickMessages, CheckBoxEnabledFromCheckedDisabled) {
  HostWindow host;
  auto root = Make<ContainerUIObjectImpl>(host.Get(), {0, 0, 200, 100});
  auto* box = Add(*root, Make<CheckBoxUIObjectImpl>(host.Get(), {10, 10, 26, 26}, kCheckStrip));
  box->SetChecked(TRUE);
  box->SetEnabled(FALSE);
  EXPECT_EQ(CheckBoxUIObjectImpl::kCheckedDisabled, box->GetState());
  Click(*root, 15, 15);
  EXPECT_TRUE(host.Find(WM_USER).empty());
  box->SetEnabled(TRUE);
  EXPECT_EQ(CheckBoxUIObjectImpl::kChecked, box->GetState());
  Move(*root, 15, 15);
  Click(*root, 15, 15);
  EXPECT_EQ(CheckBoxUIObjectImpl::kUncheckedHover, box->GetState());
  const std::vector<Message> clicks = host.Find(WM_USER);
  ASSERT_EQ(1u, clicks.size());
  EXPECT_EQ(0u, clicks[0].wParam);
}

// Among siblings the earlier one wins; child containers win over leaves.
TEST(HitTest, EarlierSiblingsAndChildContainersWin) {
  HostWindow host;
  auto root = Make<ContainerUIObjectImpl>(host.Get(), {0, 0, 200, 100});
  auto* first = Add(*root, Make<ButtonUIObjectImpl>(host.Get(), {10, 10, 30, 20}, kButtonStrip));
  first->SetAction(1);
  auto* second = Add(*root, Make<ButtonUIObjectImpl>(host.Get(), {20, 10, 40, 20}, kButtonStrip));
  second->SetAction(2);
  auto* leaf = Add(*root, Make<ButtonUIObjectImpl>(host.Get(), {100, 10, 120, 20}, kButtonStrip));
  leaf->SetAction(3);
  auto child = Make<ContainerUIObjectImpl>(host.Get(), {90, 0, 200, 50});
  auto* inner = Add(*child, Make<ButtonUIObjectImpl>(host.Get(), {100, 10, 120, 20}, kButtonStrip));
  inner->SetAction(4);
  root->AddContainer(child.release());

  struct Case {
    POINT at;
    UINT action;
  } cases[] = {{{25, 15}, 1}, {{35, 15}, 2}, {{110, 15}, 4}};
  for (const Case& c : cases) {
    Click(*root, c.at.x, c.at.y);
    std::vector<Message> messages = host.Take();
    std::vector<UINT> actions;
    for (const Message& m : messages) {
      if (m.msg >= WM_USER && m.msg < WM_USER + 10) actions.push_back(m.msg - WM_USER);
    }
    EXPECT_EQ(std::vector<UINT>{c.action}, actions) << c.at.x;
  }
}

// Moving onto a child container's control leaves a hovered sibling leaf
// of the parent hovered (the child consumed the move); moving to empty
// space returns it to normal.
TEST(HitTest, MovesReachLeavesOnlyWhenNoChildContainerTookThem) {
  auto root = Make<ContainerUIObjectImpl>(nullptr, {0, 0, 200, 100});
  auto* leaf = Add(*root, Make<ButtonUIObjectImpl>(nullptr, {10, 10, 30, 20}, kButtonStrip));
  auto child = Make<ContainerUIObjectImpl>(nullptr, {90, 0, 200, 50});
  auto* inner = Add(*child, Make<ButtonUIObjectImpl>(nullptr, {100, 10, 120, 20}, kButtonStrip));
  root->AddContainer(child.release());

  EXPECT_TRUE(Move(*root, 15, 15));
  EXPECT_EQ(ButtonUIObjectImpl::kHover, leaf->GetState());
  EXPECT_TRUE(Move(*root, 110, 15));
  EXPECT_EQ(ButtonUIObjectImpl::kHover, inner->GetState());
  EXPECT_EQ(ButtonUIObjectImpl::kHover, leaf->GetState());
  EXPECT_FALSE(Move(*root, 60, 80));
  EXPECT_EQ(ButtonUIObjectImpl::kNormal, inner->GetState());
  EXPECT_EQ(ButtonUIObjectImpl::kNormal, leaf->GetState());
}

// A button-down gives the object the focus; the page takes it from the
// previous owner; hiding or disabling an object gives it up.
TEST(Focus, FollowsClicksAndIsKilledByHidingOrDisabling) {
  using Change = void (*)(IZRBBaseUIObject&);
  struct Case {
    const char* name;
    Change change;
  } cases[] = {
      {"hidden", [](IZRBBaseUIObject& o) { o.SetVisible(FALSE); }},
      {"disabled", [](IZRBBaseUIObject& o) { o.SetEnabled(FALSE); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HostWindow host;
    auto root = Make<ContainerUIObjectImpl>(host.Get(), {0, 0, 200, 100});
    IZRBBaseUIObject* controls[] = {
        Add(*root, Make<ButtonUIObjectImpl>(host.Get(), {10, 10, 30, 20}, kButtonStrip)),
        Add(*root, Make<CheckBoxUIObjectImpl>(host.Get(), {40, 10, 56, 26}, kCheckStrip)),
        Add(*root, Make<LinkLabelUIObjectImpl>(host.Get(), {70, 10, 110, 26})),
    };
    IZRBBaseUIObject* previous = nullptr;
    for (IZRBBaseUIObject* control : controls) {
      const RECT r = control->GetRect();
      Press(*root, r.left + 2, r.top + 2);
      EXPECT_EQ(control, host.FocusOwner());
      if (previous) {
        const std::vector<Message> kills = host.Find(ZRBUM_KILLFOCUS);
        ASSERT_FALSE(kills.empty());
        EXPECT_EQ(Sender(previous), kills.back().lParam);
      }
      previous = control;
      Release(*root, r.left + 2, r.top + 2);
    }
    host.Take();
    c.change(*previous);
    EXPECT_EQ(nullptr, host.FocusOwner());
    const std::vector<Message> kills = host.Find(ZRBUM_KILLFOCUS);
    ASSERT_EQ(1u, kills.size());
    EXPECT_EQ(Sender(previous), kills[0].lParam);
    // An invisible or disabled object asks for nothing.
    previous->SetFocus();
    previous->SetCapture();
    EXPECT_EQ(1u, host.Take().size());
  }
}

// Labels, pictures and containers never take the focus or the mouse.
TEST(Focus, PassiveObjectsSendNothing) {
  HostWindow host;
  auto root = Make<ContainerUIObjectImpl>(host.Get(), {0, 0, 200, 100});
  IZRBBaseUIObject* passive[] = {
      root.get(),
      Add(*root, Make<LabelUIObjectImpl>(host.Get(), {10, 10, 30, 20})),
      Add(*root, Make<PictureUIObjectImpl>(host.Get(), {40, 10, 60, 20}, kQuadrants)),
  };
  for (IZRBBaseUIObject* object : passive) {
    object->SetFocus();
    object->SetCapture();
    object->ReleaseCapture();
    object->KillFocus();
    const RECT r = object->GetRect();
    EXPECT_FALSE(Press(*object, r.left + 2, r.top + 2));
  }
  EXPECT_FALSE(Press(*root, 15, 15));
  EXPECT_TRUE(host.Take().empty());
}

TEST(Capture, ControlsAskThePageWhileActive) {
  HostWindow host;
  auto button = Make<ButtonUIObjectImpl>(host.Get(), {10, 10, 30, 20}, kButtonStrip);
  button->SetCapture();
  button->ReleaseCapture();
  const std::vector<Message> messages = host.Take();
  ASSERT_EQ(2u, messages.size());
  EXPECT_EQ(ZRBUM_SETCAPTURE, messages[0].msg);
  EXPECT_EQ(ZRBUM_RELEASECAPTURE, messages[1].msg);
  EXPECT_EQ(Sender(button.get()), messages[0].lParam);
}

TEST(LinkCursor, IsTheHandWhileVisibleAndEnabled) {
  auto root = Make<ContainerUIObjectImpl>(nullptr, {0, 0, 200, 100});
  auto* link = Add(*root, Make<LinkLabelUIObjectImpl>(nullptr, {10, 10, 50, 26}));
  const HCURSOR hand = ::LoadCursorW(nullptr, IDC_HAND);
  const HCURSOR arrow = ::LoadCursorW(nullptr, IDC_ARROW);
  auto setCursor = [&](int x, int y) {
    ::SetCursor(arrow);
    BOOL handled = FALSE;
    root->OnSetCursor(WM_SETCURSOR, 0, 0, handled, x, y);
    return handled;
  };
  EXPECT_TRUE(setCursor(20, 15));
  EXPECT_EQ(hand, ::GetCursor());
  EXPECT_FALSE(setCursor(100, 15));
  EXPECT_EQ(arrow, ::GetCursor());
  link->SetEnabled(FALSE);
  EXPECT_FALSE(setCursor(20, 15));
  link->SetEnabled(TRUE);
  link->SetVisible(FALSE);
  EXPECT_FALSE(setCursor(20, 15));
  EXPECT_EQ(arrow, ::GetCursor());
}

// A press on a caption container's free area starts a window move; a press
// on a control inside it only clicks the control.
TEST(CaptionContainer, DragsTheWindowFromItsFreeArea) {
  HostWindow host;
  auto caption = Make<CaptionContainerUIObjectImpl>(host.Get(), {0, 0, 200, 30});
  auto* close =
      Add(*caption, Make<ButtonUIObjectImpl>(host.Get(), {170, 5, 190, 15}, kButtonStrip));
  close->SetAction(1);

  EXPECT_TRUE(Press(*caption, 50, 10));
  host.PumpPosted();
  std::vector<Message> drags = host.Find(WM_NCLBUTTONDOWN);
  ASSERT_EQ(1u, drags.size());
  EXPECT_EQ(static_cast<WPARAM>(HTCAPTION), drags[0].wParam);
  EXPECT_EQ(50, GET_X_LPARAM(drags[0].lParam));
  EXPECT_EQ(10, GET_Y_LPARAM(drags[0].lParam));
  host.Take();

  EXPECT_TRUE(Press(*caption, 175, 10));
  EXPECT_TRUE(Release(*caption, 175, 10));
  host.PumpPosted();
  EXPECT_TRUE(host.Find(WM_NCLBUTTONDOWN).empty());
  EXPECT_EQ(1u, host.Find(WM_USER + 1).size());
  host.Take();

  // Even a hidden caption container drags, without asking its children.
  caption->SetVisible(FALSE);
  EXPECT_TRUE(Press(*caption, 175, 10));
  host.PumpPosted();
  EXPECT_EQ(1u, host.Find(WM_NCLBUTTONDOWN).size());
  EXPECT_TRUE(host.Find(ZRBUM_SETFOCUS).empty());
}

// With the shipped slide show's values: frame count 2, interval 2000 ms,
// fade 500 ms.
TEST(CarouselTimers, RequestTimersWithIntervalAndId) {
  HostWindow host;
  auto carousel = Make<CarouselUIObjectImpl>(host.Get(), {0, 0, 20, 10}, kCarouselStrip);
  carousel->SetFrameCount(2);
  carousel->SetInterval(2000);
  carousel->SetFadeTime(500);
  const UINT frameId = carousel->GetFrameTimerId();
  const UINT fadeId = carousel->GetFadeTimerId();
  EXPECT_EQ((frameId + 1) & 0xFFFF, fadeId);
  const LPARAM self =
      reinterpret_cast<LPARAM>(static_cast<IZRBBaseAnimationObject*>(carousel.get()));

  carousel->Play();
  carousel->Play();
  std::vector<Message> messages = host.Take();
  ASSERT_EQ(1u, messages.size());
  EXPECT_EQ(ZRBUM_SETANIMATIONTIMER, messages[0].msg);
  EXPECT_EQ(0x07D00000u | frameId, messages[0].wParam);
  EXPECT_EQ(self, messages[0].lParam);

  for (int fade = 1; fade <= 2; ++fade) {
    SCOPED_TRACE(fade);
    carousel->OnTimer(frameId);
    messages = host.Take();
    ASSERT_EQ(1u, messages.size());
    EXPECT_EQ(ZRBUM_SETANIMATIONTIMER, messages[0].msg);
    EXPECT_EQ(0x00420000u | fadeId, messages[0].wParam);
    for (int tick = 1; tick <= 8; ++tick) {
      carousel->OnTimer(fadeId);
      if (tick < 8) {
        EXPECT_NEAR(1 - tick * 66.666664f / 500, carousel->GetOpacity(), 1e-4);
      }
    }
    messages = host.Take();
    ASSERT_EQ(1u, messages.size());
    EXPECT_EQ(ZRBUM_KILLANIMATIONTIMER, messages[0].msg);
    EXPECT_EQ(fadeId, messages[0].wParam);
    EXPECT_EQ(self, messages[0].lParam);
    EXPECT_EQ(1.0f, carousel->GetOpacity());
    EXPECT_EQ(fade % 2, carousel->GetCurrentFrame());
  }

  carousel->OnTimer(fadeId + 7);  // not ours
  EXPECT_TRUE(host.Take().empty());

  carousel->Stop();
  carousel->Stop();
  messages = host.Take();
  ASSERT_EQ(2u, messages.size());
  EXPECT_EQ(ZRBUM_KILLANIMATIONTIMER, messages[0].msg);
  EXPECT_EQ(fadeId, messages[0].wParam);
  EXPECT_EQ(ZRBUM_KILLANIMATIONTIMER, messages[1].msg);
  EXPECT_EQ(frameId, messages[1].wParam);
}

TEST(CarouselTimers, EachCarouselTakesTwoIdsAndSendsTheIntervalsLowBits) {
  HostWindow host;
  CarouselUIObjectImpl first;
  CarouselUIObjectImpl second;
  EXPECT_EQ((first.GetFadeTimerId() + 1) & 0xFFFF, second.GetFrameTimerId());

  second.Init(host.Get(), 0, 0, 20, 10, kCarouselStrip, kPng);
  second.SetInterval(70000);
  second.Play();
  const std::vector<Message> messages = host.Take();
  ASSERT_EQ(1u, messages.size());
  EXPECT_EQ(((70000u & 0xFFFF) << 16) | second.GetFrameTimerId(), messages[0].wParam);
}

// A fade time of 0 finishes the cross-fade on its first tick; a frame
// count below 1 is taken as 1.
TEST(CarouselTimers, ZeroFadeTimeSwitchesAtOnce) {
  HostWindow host;
  auto carousel = Make<CarouselUIObjectImpl>(host.Get(), {0, 0, 20, 10}, kCarouselStrip);
  carousel->SetFrameCount(2);
  carousel->SetFadeTime(0);
  carousel->Play();
  carousel->OnTimer(carousel->GetFrameTimerId());
  carousel->OnTimer(carousel->GetFadeTimerId());
  EXPECT_EQ(1, carousel->GetCurrentFrame());
  EXPECT_EQ(1.0f, carousel->GetOpacity());

  carousel->SetFrameCount(0);
  carousel->SetCurrentFrame(0);
  carousel->OnTimer(carousel->GetFadeTimerId());
  EXPECT_EQ(0, carousel->GetCurrentFrame());
  Canvas canvas(20, 10);
  canvas.Draw(*carousel);
  EXPECT_EQ(Hex(kRed), Hex(canvas.Pixel(5, 5)));
}

}  // namespace
}  // namespace zrb::test
