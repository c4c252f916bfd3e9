#include "ui/ui_object_impl_base.h"

#include <windowsx.h>

#include "ui/ui_messages.h"

namespace ZRBUE {

POINT PointFromLParam(LPARAM lParam) { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

int UIObjectImplBase::Init(HWND host, int left, int top, int right, int bottom, UINT resId,
                           LPCWSTR type) {
  if (resId != 0) throw HRESULT(E_FAIL);
  StoreHostAndRect(host, left, top, right, bottom);
  return 0;
}

void UIObjectImplBase::StoreHostAndRect(HWND host, int left, int top, int right, int bottom) {
  host_ = host;
  rect_ = RECT{left, top, right, bottom};
}

void UIObjectImplBase::SetRect(int left, int top, int right, int bottom) {
  rect_ = RECT{left, top, right, bottom};
}

void UIObjectImplBase::SetVisible(BOOL visible) {
  if (!visible) KillFocus();
  visible_ = visible;
}

void UIObjectImplBase::SetEnabled(BOOL enabled) {
  if (!enabled) KillFocus();
  enabled_ = enabled;
}

LRESULT UIObjectImplBase::OnLButtonDown(UINT, WPARAM, LPARAM, BOOL& handled) {
  handled = FALSE;
  return 0;
}

LRESULT UIObjectImplBase::OnLButtonUp(UINT, WPARAM, LPARAM, BOOL& handled) {
  handled = FALSE;
  return 0;
}

LRESULT UIObjectImplBase::OnMouseLeave(UINT, WPARAM, LPARAM, BOOL& handled) {
  handled = FALSE;
  return 0;
}

LRESULT UIObjectImplBase::OnMouseHover(UINT, WPARAM, LPARAM, BOOL& handled) {
  handled = FALSE;
  return 0;
}

LRESULT UIObjectImplBase::OnMouseMove(UINT, WPARAM, LPARAM, BOOL& handled) {
  handled = FALSE;
  return 0;
}

LRESULT UIObjectImplBase::OnSetCursor(UINT, WPARAM, LPARAM, BOOL& handled, int, int) {
  handled = FALSE;
  return 0;
}

LRESULT UIObjectImplBase::OnCaptureChanged(UINT, WPARAM, LPARAM, BOOL& handled) {
  handled = FALSE;
  return 0;
}

LRESULT UIObjectImplBase::HandleMessage(UINT, WPARAM, LPARAM) { return 0; }

LRESULT UIObjectImplBase::SendToHost(UINT msg, WPARAM wParam) {
  if (!host_) return 0;
  return ::SendMessageW(host_, msg, wParam,
                        reinterpret_cast<LPARAM>(static_cast<IZRBBaseUIObject*>(this)));
}

// --- ClickableUIObjectImpl ---

LRESULT ClickableUIObjectImpl::OnMouseMove(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) {
  handled = FALSE;
  if (!AcceptsInput()) return 0;
  mouseInside_ = true;
  return OnMouseHover(msg, wParam, lParam, handled);
}

LRESULT ClickableUIObjectImpl::OnMouseHover(UINT, WPARAM, LPARAM, BOOL& handled) {
  handled = FALSE;
  if (!AcceptsInput()) return 0;
  ShowHover();
  handled = TRUE;
  return 0;
}

LRESULT ClickableUIObjectImpl::OnLButtonDown(UINT, WPARAM, LPARAM, BOOL& handled) {
  handled = FALSE;
  if (!AcceptsInput()) return 0;
  pressed_ = true;
  ShowPressed();
  handled = TRUE;
  return 0;
}

LRESULT ClickableUIObjectImpl::OnLButtonUp(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) {
  handled = FALSE;
  if (!AcceptsInput()) return 0;
  // The page has handled the action message when OnClick returns; only
  // then does the object leave its pressed state.
  if (pressed_) OnClick();
  pressed_ = false;
  return OnMouseHover(msg, wParam, lParam, handled);
}

LRESULT ClickableUIObjectImpl::OnMouseLeave(UINT, WPARAM, LPARAM, BOOL& handled) {
  handled = FALSE;
  if (!AcceptsInput() || !mouseInside_) return 0;
  ShowNormal();
  pressed_ = false;
  mouseInside_ = false;
  handled = TRUE;
  return 0;
}

void ClickableUIObjectImpl::OnClick() { SendToHost(actionMessage_, 0); }

void ClickableUIObjectImpl::SendWhileActive(UINT msg) {
  if (AcceptsInput()) SendToHost(msg, 0);
}

void ClickableUIObjectImpl::SetFocus() { SendWhileActive(ZRBUM_SETFOCUS); }
void ClickableUIObjectImpl::KillFocus() { SendWhileActive(ZRBUM_KILLFOCUS); }
void ClickableUIObjectImpl::SetCapture() { SendWhileActive(ZRBUM_SETCAPTURE); }
void ClickableUIObjectImpl::ReleaseCapture() { SendWhileActive(ZRBUM_RELEASECAPTURE); }

}  // namespace ZRBUE
