// The interface of UI objects driven by timers that the page runs for them.
//
// An animation object asks its host for window timers with
// ZRBUM_SETANIMATIONTIMER and ZRBUM_KILLANIMATIONTIMER (ui/ui_messages.h),
// lParam being this interface's part of the object; the page calls OnTimer
// with the timer number on that same part.
#pragma once

#include <windows.h>

namespace ZRBUE {

class IZRBBaseAnimationObject {
 public:
  virtual ~IZRBBaseAnimationObject() = default;
  // Starts the animation; does nothing while it runs.
  virtual void Play() = 0;
  // Stops it, keeping its current state; does nothing while stopped.
  virtual void Stop() = 0;
  // A tick of animation timer number `timerId`; ids of other objects are
  // ignored.
  virtual void OnTimer(UINT timerId) = 0;
};

}  // namespace ZRBUE
