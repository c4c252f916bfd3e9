// Shared state and default behaviour of the UI object classes.
//
// UIObjectImplBase holds what every object keeps (rect, host window,
// visible and enabled flags, name) and implements the IZRBBaseUIObject
// operations the way a passive object does: Init stores host and rect and
// loads nothing (and so requires resId 0), mouse handlers consume nothing,
// focus and capture requests do nothing, HandleMessage and OnCaptureChanged
// return 0. Classes override what they do differently.
#pragma once

#include <windows.h>

#include <string>

#include "ui/base_ui_object.h"

namespace ZRBUE {

// The client point packed in a mouse message's lParam (signed 16-bit x, y).
POINT PointFromLParam(LPARAM lParam);

class UIObjectImplBase : public IZRBBaseUIObject {
 public:
  // Stores host and rect. Throws HRESULT E_FAIL when resId is not 0: this
  // class has no image.
  int Init(HWND host, int left, int top, int right, int bottom, UINT resId, LPCWSTR type) override;

  RECT GetRect() const override { return rect_; }
  void SetRect(int left, int top, int right, int bottom) override;

  BOOL IsVisible() const override { return visible_; }
  // Hiding first calls KillFocus().
  void SetVisible(BOOL visible) override;

  BOOL IsEnabled() const override { return enabled_; }
  // Disabling first calls KillFocus().
  void SetEnabled(BOOL enabled) override;

  HWND GetHostWindow() const override { return host_; }

  // Each sets handled to FALSE and returns 0.
  LRESULT OnLButtonDown(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) override;
  LRESULT OnLButtonUp(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) override;
  LRESULT OnMouseLeave(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) override;
  LRESULT OnMouseHover(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) override;
  LRESULT OnMouseMove(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) override;
  LRESULT OnSetCursor(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled, int x, int y) override;
  LRESULT OnCaptureChanged(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) override;

  // Do nothing.
  void SetFocus() override {}
  void KillFocus() override {}
  void SetCapture() override {}
  void ReleaseCapture() override {}

  const std::wstring& GetName() const override { return name_; }
  void SetName(const std::wstring& name) override { name_ = name; }

  // Returns 0.
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 protected:
  // Stores host and rect only; for Init overrides that load an image.
  void StoreHostAndRect(HWND host, int left, int top, int right, int bottom);

  // Visible and enabled: the object takes input.
  bool AcceptsInput() const { return IsVisible() && IsEnabled(); }

  // SendMessage to the host with this object as lParam; returns the page's
  // answer (0 without a host).
  LRESULT SendToHost(UINT msg, WPARAM wParam);

  RECT rect_ = {};
  HWND host_ = nullptr;
  BOOL visible_ = TRUE;
  BOOL enabled_ = TRUE;
  std::wstring name_;
};

// Base of the clickable controls (button, link label, check box): the click
// protocol, the action message and the focus and capture requests.
//
// A move sets mouse-inside and then hovers; a button-down sets pressed; a
// button-up with pressed set is a click (OnClick, which sends the action
// message) and then hovers; a leave with mouse-inside set clears both flags.
// So a click fires only when the button went down and up on the same object
// without the mouse leaving it in between. The visual states follow through
// ShowHover, ShowPressed and ShowNormal. Nothing of this happens while the
// object is invisible or disabled. Focus and capture requests are sent only
// while the object is visible and enabled.
class ClickableUIObjectImpl : public UIObjectImplBase {
 public:
  // The click sends WM_USER + action (0x400 + action) to the host.
  void SetAction(UINT action) { actionMessage_ = WM_USER + action; }
  UINT GetActionMessage() const { return actionMessage_; }

  LRESULT OnLButtonDown(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) override;
  LRESULT OnLButtonUp(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) override;
  LRESULT OnMouseLeave(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) override;
  LRESULT OnMouseHover(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) override;
  LRESULT OnMouseMove(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) override;

  void SetFocus() override;
  void KillFocus() override;
  void SetCapture() override;
  void ReleaseCapture() override;

 protected:
  // The look while the mouse is over the object.
  virtual void ShowHover() {}
  // The look while the button is down on it.
  virtual void ShowPressed() {}
  // The look once the mouse has left.
  virtual void ShowNormal() {}
  // A completed click: sends the action message with wParam 0 and waits
  // for the page.
  virtual void OnClick();

  // Sends `msg` (wParam 0) only while visible and enabled.
  void SendWhileActive(UINT msg);

  UINT actionMessage_ = WM_USER;
  bool pressed_ = false;
  bool mouseInside_ = false;
};

}  // namespace ZRBUE
