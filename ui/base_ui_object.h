// The interface of every object of a page's UI tree.
//
// A page window keeps one tree of UI objects (a container at the root,
// controls as leaves), draws the whole tree into its off-screen 32-bit
// bitmap on every repaint, hands mouse messages to the root, which passes
// them down, and routes keyboard messages to the object holding the focus.
// Objects talk back to the page only through messages sent to their host
// window (ui/ui_messages.h): a click is WM_USER + the object's action.
//
// Threads: every operation runs on the thread of the host window; messages
// to the host are sent (not posted), so the page has handled them when the
// call returns. The page must not delete the tree while it handles one of
// them (pages end by posting WM_CLOSE).
//
// Coordinates are client pixels of the host window; right and bottom are
// exclusive (hit tests use PtInRect). Mouse handlers receive the window
// message unchanged, the point packed in lParam as signed 16-bit x (low
// word) and y (high word).
#pragma once

#include <windows.h>
// GDI+ needs the Windows declarations first.
#include <gdiplus.h>

#include <string>

namespace ZRBUE {

class IZRBBaseUIObject {
 public:
  // Deleting a container deletes its whole subtree.
  virtual ~IZRBBaseUIObject() = default;

  // Paints the object into the page's off-screen bitmap at its rect. An
  // invisible object draws nothing. GDI+ failures are only recorded as the
  // graphics object's last status. Returns 0.
  virtual int Draw(Gdiplus::Graphics& graphics) = 0;

  // Stores the host window and the rect and loads the object's image from
  // the program's resource (type, resId). Returns 0. Throws HRESULT E_FAIL
  // when the class needs an image and resId is 0, when it takes none and
  // resId is not 0, or when the resource cannot be found or locked.
  virtual int Init(HWND host, int left, int top, int right, int bottom, UINT resId,
                   LPCWSTR type) = 0;

  virtual RECT GetRect() const = 0;
  // Moves or resizes the object; containers move their descendants by the
  // distance their top-left corner moved, check boxes and progress bars
  // their inner rectangles.
  virtual void SetRect(int left, int top, int right, int bottom) = 0;

  virtual BOOL IsVisible() const = 0;
  // Invisible objects draw nothing and ignore input. Hiding a leaf first
  // calls its KillFocus(); a container changes only its own flag.
  virtual void SetVisible(BOOL visible) = 0;

  virtual BOOL IsEnabled() const = 0;
  // Disabled objects ignore input; some show a disabled image cell.
  // Disabling a leaf first calls its KillFocus().
  virtual void SetEnabled(BOOL enabled) = 0;

  virtual HWND GetHostWindow() const = 0;

  // Mouse handlers: each sets `handled` to TRUE when it consumed the event
  // and to FALSE otherwise; invisible and disabled objects never consume.
  virtual LRESULT OnLButtonDown(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) = 0;
  virtual LRESULT OnLButtonUp(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) = 0;
  virtual LRESULT OnMouseLeave(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) = 0;
  virtual LRESULT OnMouseHover(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) = 0;
  virtual LRESULT OnMouseMove(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) = 0;
  // (x, y): the cursor position in client pixels (WM_SETCURSOR carries none).
  virtual LRESULT OnSetCursor(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled, int x,
                              int y) = 0;
  // Called by the page on the capture owner when another object takes the
  // capture.
  virtual LRESULT OnCaptureChanged(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) = 0;

  // Focus and capture requests: controls that take part send ZRBUM_SETFOCUS,
  // ZRBUM_KILLFOCUS, ZRBUM_SETCAPTURE and ZRBUM_RELEASECAPTURE to the host,
  // and only while visible and enabled; the others do nothing.
  virtual void SetFocus() = 0;
  virtual void KillFocus() = 0;
  virtual void SetCapture() = 0;
  virtual void ReleaseCapture() = 0;

  // The layout name; not required to be unique. Compared case-sensitively.
  virtual const std::wstring& GetName() const = 0;
  virtual void SetName(const std::wstring& name) = 0;

  // A message the page routes to the focus or capture owner; nonzero means
  // consumed.
  virtual LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) = 0;
};

}  // namespace ZRBUE
