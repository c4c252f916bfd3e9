#include "ui/text_box_ui_object.h"

#include <imm.h>
#include <oleauto.h>

#include <cstdlib>
#include <cwchar>

#include "common/utility/scope_guard.h"
#include "common/utility/unique_handle.h"
#include "ui/dib_section.h"
#include "ui/drawing.h"
#include "ui/text_host.h"
#include "ui/ui_messages.h"

namespace ZRBUE {
namespace {

// The edit style of every text box: single line, scrolled automatically
// in both directions, the selection shown also without focus.
constexpr DWORD kEditStyle = ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_NOHIDESEL;
constexpr int kMaxCharsUnlimited = 65536;
constexpr int kFaceNameLength = LF_FACESIZE - 1;
// The drawn caret: 1 pixel wide, black with the text alpha.
constexpr Gdiplus::ARGB kCaretColor = 0xFE000000;

}  // namespace

TextBoxUIObjectImpl::TextBoxUIObjectImpl() = default;

TextBoxUIObjectImpl::~TextBoxUIObjectImpl() {
  if (!textHost_) return;
  textHost_->DeactivateInPlace();
  background_.reset();
  textHost_->DetachOwner();
  textHost_->Release();
}

int TextBoxUIObjectImpl::Init(HWND host, int left, int top, int right, int bottom, UINT resId,
                              LPCWSTR type) {
  background_ = LoadRequiredImage(type, resId);
  StoreHostAndRect(host, left, top, right, bottom);
  clientRect_ = rect_;
  return 0;
}

void TextBoxUIObjectImpl::CreateHost() {
  if (created_) return;
  CREATESTRUCTW create = {};
  create.hwndParent = host_;
  create.x = clientRect_.left;
  create.y = clientRect_.top;
  create.cx = clientRect_.right - clientRect_.left;
  create.cy = clientRect_.bottom - clientRect_.top;
  create.style = static_cast<LONG>(kEditStyle);
  // The text is drawn over the box's own background.
  create.dwExStyle = WS_EX_TRANSPARENT;
  CTxtWinHost* textHost = CreateTextHost(host_, &create, this);
  if (!textHost) return;

  textHost->ActivateInPlace(clientRect_);
  textHost->SetTransparent(true);
  textHost->SetRichText(false);
  textHost_ = textHost;
  created_ = true;
  textHost_->SetAllowBeep(true);
}

// --- drawing ---

int TextBoxUIObjectImpl::Draw(Gdiplus::Graphics& graphics) {
  if (!visible_ || !created_) return 0;
  DrawCell(graphics, background_.get(), rect_, state_);

  // GDI does not see the GDI+ clip: hand it over as a clip region.
  Gdiplus::Rect clip;
  graphics.GetClipBounds(&clip);
  zrb::UniqueGdiObject region(
      ::CreateRectRgn(clip.X, clip.Y, clip.X + clip.Width, clip.Y + clip.Height));
  HDC dc = graphics.GetHDC();
  if (!dc) return 0;
  int caretHeight = 0;
  {
    const int saved = ::SaveDC(dc);
    if (region) ::SelectClipRgn(dc, static_cast<HRGN>(region.Get()));
    DrawText(dc, textHost_->GetTextRect(), &caretHeight);
    ::RestoreDC(dc, saved);
  }
  graphics.ReleaseHDC(dc);

  if (caretOn_ && caretHeight > 0) {
    POINT caret = {};
    ::GetCaretPos(&caret);
    Gdiplus::SolidBrush brush{Gdiplus::Color(kCaretColor)};
    graphics.FillRectangle(&brush, static_cast<INT>(caret.x), static_cast<INT>(caret.y), 1,
                           caretHeight);
  }
  return 0;
}

void TextBoxUIObjectImpl::DrawText(HDC dc, const RECT& textRect, int* caretHeight) {
  const int width = textRect.right - textRect.left;
  const int height = textRect.bottom - textRect.top;
  if (width <= 0 || height <= 0) return;

  zrb::UniqueMemoryDc memory(::CreateCompatibleDC(dc));
  if (!memory) return;
  DibSection bitmap;
  if (!bitmap.Create(memory.Get(), width, height)) return;
  // The memory DC holds the bitmap until the old one is selected back.
  const HGDIOBJ previous = ::SelectObject(memory.Get(), bitmap.GetBitmap());
  auto deselect = zrb::MakeScopeGuard([&] { ::SelectObject(memory.Get(), previous); });

  // The page pixels under the text area: opaque or translucent, never
  // alpha 0, so what GDI draws over them stands out by its alpha of 0.
  ::BitBlt(memory.Get(), 0, 0, width, height, dc, textRect.left, textRect.top, SRCCOPY);

  // The services draw in page coordinates, the coordinates of their
  // layout, caret and mouse input; the viewport moves that into the bitmap.
  ::SetViewportOrgEx(memory.Get(), -textRect.left, -textRect.top, nullptr);
  const RECTL bounds = {textRect.left, textRect.top, textRect.right, textRect.bottom};
  RECT update = textRect;
  textHost_->GetServices()->TxDraw(DVASPECT_CONTENT, 0, nullptr, nullptr, memory.Get(), nullptr,
                                   &bounds, nullptr, &update, nullptr, 0, TXTVIEW_ACTIVE);
  ::SetViewportOrgEx(memory.Get(), 0, 0, nullptr);
  ::GdiFlush();

  MakeGdiPixelsOpaque(bitmap);
  const BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  ::AlphaBlend(dc, textRect.left, textRect.top, width, height, memory.Get(), 0, 0, width, height,
               blend);

  TEXTMETRICW metrics = {};
  if (::GetTextMetricsW(memory.Get(), &metrics)) *caretHeight = metrics.tmHeight;
}

// --- state ---

void TextBoxUIObjectImpl::SetVisible(BOOL visible) {
  if (!visible) KillFocus();
  visible_ = visible;
}

void TextBoxUIObjectImpl::SetEnabled(BOOL enabled) {
  if (!enabled) KillFocus();
  state_ = enabled ? kNormal : kDisabled;
  if (!created_) return;
  CHARFORMAT2W& format = textHost_->CharFormat();
  format.dwMask |= CFM_COLOR | CFM_DISABLED;
  if (enabled) {
    format.dwEffects &= ~static_cast<DWORD>(CFE_AUTOCOLOR | CFE_DISABLED);
  } else {
    format.dwEffects |= CFE_AUTOCOLOR | CFE_DISABLED;
  }
  textHost_->NotifyCharFormat();
}

void TextBoxUIObjectImpl::SetTextColor(BYTE red, BYTE green, BYTE blue) {
  if (!created_) return;
  CHARFORMAT2W& format = textHost_->CharFormat();
  format.dwMask |= CFM_COLOR;
  format.crTextColor = RGB(red, green, blue);
  textHost_->NotifyCharFormat();
}

void TextBoxUIObjectImpl::SetFont(const std::wstring& family, int points, BOOL bold) {
  if (!created_) return;
  LOGFONTW logFont = {};
  logFont.lfHeight = points * 10;  // tenths of a point
  logFont.lfWeight = bold == TRUE ? FW_BOLD : FW_DONTCARE;
  logFont.lfCharSet = DEFAULT_CHARSET;
  std::wcsncpy(logFont.lfFaceName, family.c_str(), kFaceNameLength);
  logFont.lfFaceName[kFaceNameLength] = L'\0';

  // Tenths of a point to screen pixels; a negative height asks for the
  // character height rather than the cell height.
  if (HDC screen = ::GetDC(nullptr)) {
    POINT height = {0, ::MulDiv(::GetDeviceCaps(screen, LOGPIXELSY), logFont.lfHeight, 720)};
    ::DPtoLP(screen, &height, 1);
    logFont.lfHeight = -std::abs(height.y);
    ::ReleaseDC(nullptr, screen);
  }
  zrb::UniqueGdiObject font(::CreateFontIndirectW(&logFont));
  if (!font) return;
  textHost_->SetCharFormatFromFont(static_cast<HFONT>(font.Get()));
  textHost_->NotifyCharFormat();
}

void TextBoxUIObjectImpl::SetMaxChars(int count) {
  if (!created_) return;
  textHost_->SetMaxLength(static_cast<DWORD>(count > 0 ? count : kMaxCharsUnlimited));
}

void TextBoxUIObjectImpl::SetMultiLine(BOOL multiLine) {
  multiLine_ = multiLine;
  if (created_) textHost_->SetMultiLine(multiLine != FALSE);
}

const CHARFORMAT2W* TextBoxUIObjectImpl::GetCharFormat() const {
  return created_ ? &textHost_->CharFormat() : nullptr;
}

DWORD TextBoxUIObjectImpl::GetMaxChars() const {
  DWORD length = 0;
  if (created_) textHost_->TxGetMaxLength(&length);
  return length;
}

std::wstring TextBoxUIObjectImpl::GetText() const {
  if (!created_) return std::wstring();
  BSTR text = nullptr;
  if (FAILED(textHost_->GetServices()->TxGetText(&text)) || !text) return std::wstring();
  std::wstring result(text, ::SysStringLen(text));
  ::SysFreeString(text);
  return result;
}

void TextBoxUIObjectImpl::SetText(const std::wstring& text) {
  if (created_) textHost_->GetServices()->TxSetText(text.c_str());
}

// --- input ---

void TextBoxUIObjectImpl::SendToServices(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!created_) return;
  LRESULT ignored = 0;
  textHost_->SendToServices(msg, wParam, lParam, &ignored);
}

LRESULT TextBoxUIObjectImpl::ForwardMouse(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) {
  LRESULT result = 0;
  if (textHost_->SendToServices(msg, wParam, lParam, &result) == S_MSG_KEY_IGNORED) {
    handled = FALSE;
    return 0;
  }
  handled = TRUE;
  return result;
}

LRESULT TextBoxUIObjectImpl::OnMouseMove(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) {
  handled = FALSE;
  if (!TakesInput()) return 0;
  state_ = kActive;
  mouseInside_ = true;
  return ForwardMouse(msg, wParam, lParam, handled);
}

LRESULT TextBoxUIObjectImpl::OnMouseHover(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) {
  handled = FALSE;
  if (!TakesInput()) return 0;
  return ForwardMouse(msg, wParam, lParam, handled);
}

LRESULT TextBoxUIObjectImpl::OnMouseLeave(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) {
  handled = FALSE;
  if (!TakesInput() || !mouseInside_) return 0;
  mouseInside_ = false;
  state_ = focused_ ? kActive : kNormal;
  return ForwardMouse(msg, wParam, lParam, handled);
}

LRESULT TextBoxUIObjectImpl::OnLButtonDown(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) {
  handled = FALSE;
  if (!TakesInput()) return 0;
  pressed_ = true;
  return ForwardMouse(msg, wParam, lParam, handled);
}

LRESULT TextBoxUIObjectImpl::OnLButtonUp(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) {
  handled = FALSE;
  if (!TakesInput()) return 0;
  pressed_ = false;
  return ForwardMouse(msg, wParam, lParam, handled);
}

LRESULT TextBoxUIObjectImpl::OnSetCursor(UINT, WPARAM, LPARAM, BOOL& handled, int x, int y) {
  handled = FALSE;
  if (!TakesInput()) return 0;
  const RECT text = textHost_->GetTextRect();
  if (!::PtInRect(&text, POINT{x, y})) return 0;
  HDC dc = ::GetDC(host_);
  textHost_->GetServices()->OnTxSetCursor(DVASPECT_CONTENT, 0, nullptr, nullptr, dc, nullptr,
                                          textHost_->IsInPlaceActive() ? nullptr : &text, x, y);
  if (dc) ::ReleaseDC(host_, dc);
  handled = TRUE;
  return 0;
}

LRESULT TextBoxUIObjectImpl::OnCaptureChanged(UINT, WPARAM, LPARAM, BOOL& handled) {
  handled = created_ ? TRUE : FALSE;
  SendToServices(WM_CAPTURECHANGED, 0, 0);
  return 0;
}

void TextBoxUIObjectImpl::SetFocus() {
  if (!AcceptsInput()) return;
  SendToServices(WM_SETFOCUS, 0, 0);
  SendToHost(ZRBUM_SETFOCUS, 0);
  state_ = kActive;
  focused_ = true;
}

void TextBoxUIObjectImpl::KillFocus() {
  if (!AcceptsInput()) return;
  SendToServices(WM_KILLFOCUS, 0, 0);
  SendToHost(ZRBUM_KILLFOCUS, 0);
  caretOn_ = false;
  state_ = kNormal;
  focused_ = false;
}

void TextBoxUIObjectImpl::SetCapture() {
  if (TakesInput()) SendToHost(ZRBUM_SETCAPTURE, 0);
}

void TextBoxUIObjectImpl::ReleaseCapture() {
  if (TakesInput()) SendToHost(ZRBUM_RELEASECAPTURE, 0);
}

LRESULT TextBoxUIObjectImpl::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_IME_COMPOSITION) {
    if (HIMC context = ::ImmGetContext(host_)) {
      COMPOSITIONFORM form = {};
      form.dwStyle = CFS_POINT;
      ::GetCaretPos(&form.ptCurrentPos);
      ::ImmSetCompositionWindow(context, &form);
      ::ImmReleaseContext(host_, context);
      return 0;
    }
  } else if (msg == ZRBUM_CARETBLINK) {
    caretOn_ = !caretOn_;
    return 1;
  }
  if (!TakesInput()) return 0;
  LRESULT result = 0;
  const HRESULT answer = textHost_->SendToServices(msg, wParam, lParam, &result);
  // Not the services' message, or a key they ignore: the page's own
  // processing takes it.
  if (answer == S_FALSE || answer == S_MSG_KEY_IGNORED) return 0;
  return result;
}

}  // namespace ZRBUE
