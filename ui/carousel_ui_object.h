// A slide show: a picture whose image holds frames side by side, cross-fading
// from one to the next on timers that the page runs for it.
#pragma once

#include "ui/base_animation_object.h"
#include "ui/picture_ui_object.h"

namespace ZRBUE {

// Frame k is the source rectangle (k * image width / frame count, 0, rect
// width, rect height), drawn one to one at the rect. Each drawing shows the
// current frame at the current opacity and the next frame (wrapping to the
// first) at 1 - that opacity.
//
// Timers: each carousel takes two numbers from a process-wide 16-bit
// counter when it is made, the frame timer's first. Play asks the page for
// the frame timer at the interval; each frame tick asks for the 66 ms fade
// timer; each fade tick lowers the opacity by 66.666664 / fade time, and
// when it reaches 0 the next frame becomes current at opacity 1 and the fade
// timer is stopped. Stop stops both timers and keeps frame and opacity, so
// Play continues from there. lParam of the timer messages is the
// IZRBBaseAnimationObject part.
class CarouselUIObjectImpl : public PictureUIObjectImpl, public IZRBBaseAnimationObject {
 public:
  CarouselUIObjectImpl();

  int Draw(Gdiplus::Graphics& graphics) override;

  void Play() override;
  void Stop() override;
  void OnTimer(UINT timerId) override;

  // Frames in the strip; values below 1 are taken as 1.
  void SetFrameCount(int count);
  void SetCurrentFrame(int frame);
  // Milliseconds between the starts of two cross-fades; only the low 16
  // bits reach the page.
  void SetInterval(UINT interval) { interval_ = interval; }
  // Milliseconds a cross-fade lasts; 0 makes the first fade tick finish it.
  void SetFadeTime(UINT fadeTime) { fadeTime_ = fadeTime; }

  int GetCurrentFrame() const { return currentFrame_; }
  float GetOpacity() const { return opacity_; }
  UINT GetFrameTimerId() const { return frameTimerId_; }
  UINT GetFadeTimerId() const { return fadeTimerId_; }
  bool IsPlaying() const { return playing_; }

 private:
  // SendMessage to the host with the animation part as lParam.
  void SendTimerMessage(UINT msg, WPARAM wParam);

  int frameCount_ = 1;
  int currentFrame_ = 0;
  float opacity_ = 1.0f;
  float fadeStep_ = 0.0f;
  UINT fadeTime_ = 500;
  UINT interval_ = 1000;
  WORD frameTimerId_;
  WORD fadeTimerId_;
  bool playing_ = false;
};

}  // namespace ZRBUE
