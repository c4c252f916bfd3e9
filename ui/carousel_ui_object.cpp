#include "ui/carousel_ui_object.h"

#include "common/utility/trace.h"
#include "ui/drawing.h"
#include "ui/ui_messages.h"

namespace ZRBUE {
namespace {

// The fade timer's period: 66 ms, as the page's repaint. A fade lowers the
// opacity by the tick's share of the fade time, taken as 66.666664 ms.
constexpr UINT kFadeTickMs = 66;
constexpr float kFadeTickLength = 66.666664f;

WORD NextTimerId() {
  static WORD counter = 0;
  return counter++;
}

}  // namespace

CarouselUIObjectImpl::CarouselUIObjectImpl()
    : frameTimerId_(NextTimerId()), fadeTimerId_(NextTimerId()) {}

void CarouselUIObjectImpl::SetFrameCount(int count) { frameCount_ = count < 1 ? 1 : count; }

void CarouselUIObjectImpl::SetCurrentFrame(int frame) {
  currentFrame_ = frame < 0 ? 0 : frame % frameCount_;
}

int CarouselUIObjectImpl::Draw(Gdiplus::Graphics& graphics) {
  using Gdiplus::REAL;
  if (!visible_ || !image_) return 0;
  const REAL step = static_cast<REAL>(image_->GetWidth()) / static_cast<REAL>(frameCount_);
  const REAL width = static_cast<REAL>(rect_.right - rect_.left);
  const REAL height = static_cast<REAL>(rect_.bottom - rect_.top);
  const Gdiplus::RectF dest(static_cast<REAL>(rect_.left), static_cast<REAL>(rect_.top), width,
                            height);
  const int next = (currentFrame_ + 1) % frameCount_;
  DrawCrossFade(graphics, image_.get(), dest,
                Gdiplus::RectF(currentFrame_ * step, 0, width, height),
                Gdiplus::RectF(next * step, 0, width, height), opacity_);
  return 0;
}

void CarouselUIObjectImpl::SendTimerMessage(UINT msg, WPARAM wParam) {
  if (!host_) return;
  ::SendMessageW(host_, msg, wParam,
                 reinterpret_cast<LPARAM>(static_cast<IZRBBaseAnimationObject*>(this)));
}

void CarouselUIObjectImpl::Play() {
  if (playing_) return;
  zrb::Trace(L"ZRBUE::CarouselUIObjectImpl::Play");
  fadeStep_ = kFadeTickLength / static_cast<float>(fadeTime_);
  zrb::Trace(L"Fade:%0.2f\r\n", static_cast<double>(fadeStep_));
  SendTimerMessage(ZRBUM_SETANIMATIONTIMER, MakeAnimationTimerRequest(interval_, frameTimerId_));
  playing_ = true;
}

void CarouselUIObjectImpl::OnTimer(UINT timerId) {
  zrb::Trace(L"ZRBUE::CarouselUIObjectImpl::OnTimer %d", static_cast<int>(timerId));
  if (timerId == frameTimerId_) {
    // Sending it while the fade timer runs restarts that timer.
    SendTimerMessage(ZRBUM_SETANIMATIONTIMER, MakeAnimationTimerRequest(kFadeTickMs, fadeTimerId_));
  } else if (timerId == fadeTimerId_) {
    opacity_ -= fadeStep_;
    if (opacity_ > 0) return;
    opacity_ = 1.0f;
    currentFrame_ = (currentFrame_ + 1) % frameCount_;
    SendTimerMessage(ZRBUM_KILLANIMATIONTIMER, fadeTimerId_);
  }
}

void CarouselUIObjectImpl::Stop() {
  if (!playing_) return;
  playing_ = false;
  zrb::Trace(L"ZRBUE::CarouselUIObjectImpl::Stop");
  SendTimerMessage(ZRBUM_KILLANIMATIONTIMER, fadeTimerId_);
  SendTimerMessage(ZRBUM_KILLANIMATIONTIMER, frameTimerId_);
}

}  // namespace ZRBUE
