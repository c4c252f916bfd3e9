// Runs a carousel without a host through play, ticks and stop, so a test
// can read its trace lines through the debugger channel.
#include <windows.h>

#include "ui/carousel_ui_object.h"

int wmain() {
  ZRBUE::CarouselUIObjectImpl carousel;
  carousel.SetFrameCount(2);
  carousel.SetInterval(2000);
  carousel.SetFadeTime(500);
  carousel.Play();
  carousel.Play();
  carousel.OnTimer(carousel.GetFrameTimerId());
  carousel.OnTimer(carousel.GetFadeTimerId());
  carousel.OnTimer(999);
  carousel.Stop();
  carousel.Stop();
  return 0;
}
