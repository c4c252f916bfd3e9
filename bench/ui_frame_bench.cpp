// Frame benchmark: a page-sized tree (600 x 430: a background, a carousel in
// the middle of a cross-fade, a progress bar, buttons and ten controls with
// text) drawn again and again as a page repaints it: a fresh 32-bit DIB on a
// memory DC, a Graphics on it, the root's Draw. Prints the mean
// milliseconds per frame. Pages repaint every 66 ms. With --objects it also
// prints the mean time of each object's Draw within a repaint.
//
//   ui_frame_bench.exe [frames] [--objects]     (default 300 frames)
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

#include "ui/button_ui_object.h"
#include "ui/carousel_ui_object.h"
#include "ui/check_box_ui_object.h"
#include "ui/container_ui_object.h"
#include "ui/dib_section.h"
#include "ui/label_ui_object.h"
#include "ui/link_label_ui_object.h"
#include "ui/progress_ui_object.h"
#include "zrbinstaller/gdiplus_session.h"

namespace {

using namespace ZRBUE;

constexpr int kWidth = 600;
constexpr int kHeight = 430;
constexpr wchar_t kPng[] = L"PNG";

template <typename T>
T* Add(ContainerUIObjectImpl& parent, const wchar_t* name, int left, int top, int right, int bottom,
       UINT resId) {
  auto object = std::make_unique<T>();
  object->Init(nullptr, left, top, right, bottom, resId, kPng);
  object->SetName(name);
  T* raw = object.get();
  parent.AddObject(object.release());
  return raw;
}

template <typename T>
void Describe(T* control, const wchar_t* text, BYTE grey) {
  control->SetFont(L"宋体", 9, FALSE);
  control->SetColor(grey, grey, grey);
  control->SetText(text);
}

std::unique_ptr<ContainerUIObjectImpl> BuildPage() {
  auto root = std::make_unique<ContainerUIObjectImpl>();
  root->Init(nullptr, 0, 0, kWidth, kHeight, 201, kPng);

  auto body = std::make_unique<ContainerUIObjectImpl>();
  body->Init(nullptr, 0, 0, kWidth, kHeight, 0, kPng);
  ContainerUIObjectImpl& page = *body;
  root->AddContainer(body.release());

  auto* slides = Add<CarouselUIObjectImpl>(page, L"carousel, mid-fade", 20, 40, 580, 240, 202);
  slides->SetFrameCount(2);
  slides->SetFadeTime(500);
  slides->Play();  // no host: the timer requests go nowhere
  slides->OnTimer(slides->GetFrameTimerId());
  for (int tick = 0; tick < 4; ++tick) slides->OnTimer(slides->GetFadeTimerId());

  auto* bar = Add<ProgressUIObjectImpl>(page, L"progress bar at 37 %", 20, 260, 580, 272, 203);
  bar->SetFront(RECT{20, 260, 580, 272}, 6, 6);
  bar->SetFrontImage(kPng, 204);
  for (int step = 0; step < 37; ++step) bar->StepIt();

  Add<ButtonUIObjectImpl>(page, L"close button", 570, 8, 590, 28, 207);
  Add<ButtonUIObjectImpl>(page, L"button", 370, 380, 470, 414, 205);
  Add<ButtonUIObjectImpl>(page, L"button", 480, 380, 580, 414, 205);

  const wchar_t* labels[] = {L"Pomelia 安装向导", L"正在安装，请稍候……", L"已完成 37%",
                             L"安装目录：C:\\Program Files\\Pomelia", L"所需空间：128 MB"};
  int top = 280;
  for (const wchar_t* text : labels) {
    Describe(Add<LabelUIObjectImpl>(page, L"label", 20, top, 300, top + 14, 0), text, 0x88);
    top += 18;
  }
  Describe(Add<LinkLabelUIObjectImpl>(page, L"link label", 320, 280, 440, 294, 0), L"用户许可协议",
           0x30);
  Describe(Add<LinkLabelUIObjectImpl>(page, L"link label", 320, 298, 440, 312, 0), L"隐私政策",
           0x30);
  const wchar_t* options[] = {L"创建桌面快捷方式", L"开机时自动启动", L"我已阅读并同意"};
  top = 320;
  for (const wchar_t* text : options) {
    auto* box =
        Add<CheckBoxUIObjectImpl>(page, L"check box with text", 320, top, 500, top + 16, 206);
    box->SetCheckRect(RECT{320, top, 336, top + 16});
    box->SetLabelRect(RECT{340, top + 1, 500, top + 15});
    Describe(box, text, 0x50);
    box->SetChecked(TRUE);
    top += 20;
  }
  return root;
}

double Milliseconds(const LARGE_INTEGER& start, const LARGE_INTEGER& end) {
  LARGE_INTEGER frequency;
  ::QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

// The mean time of each object's Draw in a repaint: each is timed drawing
// over what the page holds when its turn comes (the background and the
// objects before it), restored before every draw.
void PrintObjectTimes(HDC memoryDc, ContainerUIObjectImpl& root, int frames) {
  DibSection dib;
  if (!dib.Create(memoryDc, kWidth, kHeight)) return;
  HGDIOBJ previous = ::SelectObject(memoryDc, dib.GetBitmap());
  {
    Gdiplus::Graphics graphics(memoryDc);
    graphics.SetClip(Gdiplus::Rect(0, 0, kWidth, kHeight));
    const size_t bytes = sizeof(uint32_t) * kWidth * kHeight;
    std::vector<uint32_t> before(kWidth * kHeight);
    double sum = 0;
    auto time = [&](const std::wstring& name, IZRBBaseUIObject& object) {
      std::memcpy(before.data(), dib.GetPixels(), bytes);
      LONGLONG ticks = 0;
      for (int frame = 0; frame < frames; ++frame) {
        std::memcpy(dib.GetPixels(), before.data(), bytes);
        LARGE_INTEGER start, end;
        ::QueryPerformanceCounter(&start);
        object.Draw(graphics);
        ::GdiFlush();
        ::QueryPerformanceCounter(&end);
        ticks += end.QuadPart - start.QuadPart;
      }
      LARGE_INTEGER zero = {}, total;
      total.QuadPart = ticks;
      const double ms = Milliseconds(zero, total) / frames;
      sum += ms;
      std::printf("  %-24s %6.2f ms\n", std::string(name.begin(), name.end()).c_str(), ms);
    };
    // The root alone: its background under an empty page.
    auto background = std::make_unique<ContainerUIObjectImpl>();
    background->Init(nullptr, 0, 0, kWidth, kHeight, 201, kPng);
    time(L"page background", *background);
    ContainerUIObjectImpl& page = *root.GetContainers()[0];
    for (const auto& object : page.GetObjects()) time(object->GetName(), *object);
    std::printf("  %-24s %6.2f ms\n", "sum of the objects", sum);
  }
  ::SelectObject(memoryDc, previous);
}

// One repaint: a fresh DIB on the memory DC, a Graphics on it, the tree.
bool DrawFrame(HDC memoryDc, IZRBBaseUIObject& root) {
  DibSection dib;
  if (!dib.Create(memoryDc, kWidth, kHeight)) return false;
  HGDIOBJ previous = ::SelectObject(memoryDc, dib.GetBitmap());
  {
    Gdiplus::Graphics graphics(memoryDc);
    root.Draw(graphics);
  }
  ::GdiFlush();
  ::SelectObject(memoryDc, previous);
  return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  int frames = 300;
  bool objects = false;
  for (int i = 1; i < argc; ++i) {
    if (std::wcscmp(argv[i], L"--objects") == 0) {
      objects = true;
    } else {
      frames = _wtoi(argv[i]);
    }
  }
  if (frames <= 0 || !zrb::EnsureGdiplusStarted()) return 1;
  std::unique_ptr<ContainerUIObjectImpl> root = BuildPage();

  HDC screen = ::GetDC(nullptr);
  HDC memoryDc = ::CreateCompatibleDC(screen);
  ::ReleaseDC(nullptr, screen);

  for (int warm = 0; warm < 10; ++warm) DrawFrame(memoryDc, *root);
  LARGE_INTEGER start, end;
  ::QueryPerformanceCounter(&start);
  for (int frame = 0; frame < frames; ++frame) {
    if (!DrawFrame(memoryDc, *root)) return 1;
  }
  ::QueryPerformanceCounter(&end);

  const double ms = Milliseconds(start, end) / frames;
  std::printf("%dx%d page, %d frames: mean %.2f ms per frame (%.1f %% of the 66 ms repaint)\n",
              kWidth, kHeight, frames, ms, 100.0 * ms / 66.0);
  if (objects) PrintObjectTimes(memoryDc, *root, frames);
  ::DeleteDC(memoryDc);
  return 0;
}
