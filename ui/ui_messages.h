// Window messages between UI objects and the page window that hosts them.
//
// Objects send them to their host window with SendMessage, lParam being the
// sending object (an IZRBBaseUIObject*, or the IZRBBaseAnimationObject* part
// for the animation timer messages). A click arrives as WM_USER + the
// object's action number; for a check box wParam carries the new check state.
#pragma once

#include <windows.h>

// The object wants every mouse message routed to its HandleMessage.
constexpr UINT ZRBUM_SETCAPTURE = 0x2B11;
// The object gives the mouse back.
constexpr UINT ZRBUM_RELEASECAPTURE = 0x2B12;
// The object takes the keyboard focus; the page calls KillFocus() on the
// previous owner first.
constexpr UINT ZRBUM_SETFOCUS = 0x2B13;
// The object gives the keyboard focus up.
constexpr UINT ZRBUM_KILLFOCUS = 0x2B14;
// Posted by the page to itself on the system caret timer and routed to the
// focus owner's HandleMessage; never sent by objects.
constexpr UINT ZRBUM_CARETBLINK = 0x2B15;
// Run animation timer n: wParam = (period in ms << 16) | n. The page runs
// window timer kAnimationTimerBase + n and calls the object's OnTimer(n).
constexpr UINT ZRBUM_SETANIMATIONTIMER = 0x2B16;
// Stop animation timer n: wParam = n.
constexpr UINT ZRBUM_KILLANIMATIONTIMER = 0x2B17;
// Posted by the install worker to the progress page when the install hook
// has returned.
constexpr UINT ZRBUM_INSTALLCOMPLETE = 0x2B18;

namespace ZRBUE {

// Window timer id of animation timer number n on a page: this plus n.
constexpr UINT kAnimationTimerBase = 11024;

// wParam of ZRBUM_SETANIMATIONTIMER.
constexpr WPARAM MakeAnimationTimerRequest(UINT periodMs, UINT timerNumber) {
  return static_cast<WPARAM>(((periodMs & 0xFFFFu) << 16) | (timerNumber & 0xFFFFu));
}

}  // namespace ZRBUE
