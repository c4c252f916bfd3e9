// Test bed of the UI engine tests: the test images, a canvas that draws a
// tree into a 32-bit DIB the way a page does, a hidden host window that
// records the messages objects send, and mouse events fed to a tree.
#pragma once

#include <windows.h>
// GDI+ needs the Windows declarations first.
#include <gdiplus.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/base_ui_object.h"
#include "ui/container_ui_object.h"
#include "ui/dib_section.h"

namespace zrb::test {

// Resources "PNG" of the test program (tests/unit/ui/CMakeLists.txt).
constexpr wchar_t kPng[] = L"PNG";
enum TestImage : UINT {
  kButtonStrip = 101,    // 4 cells of 20 x 10, colours kCellColors[0..3]
  kCheckStrip = 102,     // 6 cells of 16 x 16, colours kCellColors[0..5]
  kBackground = 103,     // 40 x 40: top-left 20 x 20 kBackgroundCorner, rest kBackgroundRest
  kQuadrants = 104,      // 4 x 4: 2 x 2 quadrants red, green / blue, yellow
  kProgressBack = 105,   // 210 x 10 grey
  kProgressFront = 106,  // 20 x 10: 4 red, 12 green, 4 blue columns
  kCarouselStrip = 107,  // 2 frames of 20 x 10: red, blue
  kBlack = 108,          // 100 x 100 opaque black
  kNotAnImage = 109,     // a text file stored as "PNG"
};

// Pixels as the DIB holds them: 0xAARRGGBB, premultiplied.
constexpr uint32_t kRed = 0xFFFF0000;
constexpr uint32_t kGreen = 0xFF00FF00;
constexpr uint32_t kBlue = 0xFF0000FF;
constexpr uint32_t kYellow = 0xFFFFFF00;
constexpr uint32_t kMagenta = 0xFFFF00FF;
constexpr uint32_t kCyan = 0xFF00FFFF;
constexpr uint32_t kGrey = 0xFF808080;
constexpr uint32_t kCellColors[] = {kRed, kGreen, kBlue, kYellow, kMagenta, kCyan};
constexpr uint32_t kBackgroundCorner = 0xFFC08040;
constexpr uint32_t kBackgroundRest = 0xFF4080C0;
constexpr uint32_t kTransparent = 0;

// "0xAARRGGBB", for readable failures.
std::string Hex(uint32_t pixel);

inline int Alpha(uint32_t p) { return p >> 24; }
inline int Red(uint32_t p) { return (p >> 16) & 0xFF; }
inline int Green(uint32_t p) { return (p >> 8) & 0xFF; }
inline int Blue(uint32_t p) { return p & 0xFF; }

// A page-sized off-screen bitmap: a memory DC with a fresh 32-bit DIB
// selected, drawn into through a Gdiplus::Graphics on that DC, as a page's
// repaint does.
class Canvas {
 public:
  Canvas(int width, int height);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  // Draws `object` through a new Graphics on the DC; the pixels are final
  // when this returns.
  void Draw(ZRBUE::IZRBBaseUIObject& object);
  // Back to all transparent.
  void Clear();
  uint32_t Pixel(int x, int y) const { return dib_.PixelAt(x, y); }
  // Whether any pixel of `rect` satisfies `test`.
  template <typename Test>
  bool AnyPixel(const RECT& rect, Test test) const {
    for (int y = rect.top; y < rect.bottom; ++y) {
      for (int x = rect.left; x < rect.right; ++x) {
        if (test(Pixel(x, y))) return true;
      }
    }
    return false;
  }

  HDC GetDC() const { return dc_; }
  ZRBUE::DibSection& GetDib() { return dib_; }

 private:
  HDC dc_ = nullptr;
  ZRBUE::DibSection dib_;
  HGDIOBJ previous_ = nullptr;
};

struct Message {
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
};

// A hidden top-level window that records every message at or above WM_USER
// and WM_NCLBUTTONDOWN (answered without starting a window move). Like a
// page it keeps the focus owner: ZRBUM_SETFOCUS calls KillFocus() on the
// previous owner, ZRBUM_KILLFOCUS forgets the sender.
class HostWindow {
 public:
  HostWindow();
  ~HostWindow();
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;

  HWND Get() const { return hwnd_; }
  // Dispatches the messages posted to the window so far.
  void PumpPosted();
  std::vector<Message> Take();
  // The recorded messages with this id.
  std::vector<Message> Find(UINT msg) const;
  ZRBUE::IZRBBaseUIObject* FocusOwner() const { return focusOwner_; }

  // Called for each recorded message while the sender waits for it.
  std::function<void(const Message&)> onMessage;

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam);

  HWND hwnd_ = nullptr;
  std::vector<Message> messages_;
  ZRBUE::IZRBBaseUIObject* focusOwner_ = nullptr;
};

// Mouse events as the page hands them to the root; each returns `handled`.
BOOL Press(ZRBUE::IZRBBaseUIObject& target, int x, int y);
BOOL Release(ZRBUE::IZRBBaseUIObject& target, int x, int y);
BOOL Move(ZRBUE::IZRBBaseUIObject& target, int x, int y);
BOOL Hover(ZRBUE::IZRBBaseUIObject& target, int x, int y);
BOOL Leave(ZRBUE::IZRBBaseUIObject& target);
// Press and release at one point.
void Click(ZRBUE::IZRBBaseUIObject& target, int x, int y);

// Makes an object of type T and Inits it with (host, rect, resId, "PNG").
template <typename T>
std::unique_ptr<T> Make(HWND host, RECT rect, UINT resId = 0) {
  auto object = std::make_unique<T>();
  object->Init(host, rect.left, rect.top, rect.right, rect.bottom, resId, kPng);
  return object;
}

// Appends a leaf to `container`, which takes it, and returns it.
template <typename T>
T* Add(ZRBUE::ContainerUIObjectImpl& container, std::unique_ptr<T> object) {
  T* raw = object.get();
  container.AddObject(object.release());
  return raw;
}

// Appends a child container to `parent`, which takes it, and returns it.
template <typename T>
T* AddContainer(ZRBUE::ContainerUIObjectImpl& parent, std::unique_ptr<T> child) {
  T* raw = child.get();
  parent.AddContainer(child.release());
  return raw;
}

}  // namespace zrb::test
