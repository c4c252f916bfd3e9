#include "ui/text_host.h"

#include <imm.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "common/utility/trace.h"
#include "ui/text_box_ui_object.h"

namespace ZRBUE {
namespace {

constexpr LONG kTwipsPerInch = 1440;
constexpr LONG kHimetricPerInch = 2540;
constexpr LONG kDefaultTabTwips = 720;

// The scroll bits of an edit style that the services ask for.
constexpr DWORD kScrollStyles =
    WS_VSCROLL | WS_HSCROLL | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_DISABLENOSCROLL;

using CreateTextServicesProc = HRESULT(WINAPI*)(IUnknown*, ITextHost*, IUnknown**);

// The character format of `font` on a screen of `pixelsPerInch` vertical
// pixels per inch: face, size, charset, pitch and the effects of its
// weight, italic, underline and strike-out, plus automatic colour.
void FillCharFormat(HFONT font, LONG pixelsPerInch, CHARFORMAT2W* format) {
  LOGFONTW logFont = {};
  ::GetObjectW(font, sizeof logFont, &logFont);
  *format = CHARFORMAT2W{};
  format->cbSize = sizeof *format;
  format->dwMask = CFM_ALL;
  format->yHeight = std::labs(logFont.lfHeight) * kTwipsPerInch / pixelsPerInch;
  format->dwEffects = CFE_AUTOCOLOR;
  if (logFont.lfWeight >= FW_BOLD) format->dwEffects |= CFE_BOLD;
  if (logFont.lfItalic) format->dwEffects |= CFE_ITALIC;
  if (logFont.lfUnderline) format->dwEffects |= CFE_UNDERLINE;
  if (logFont.lfStrikeOut) format->dwEffects |= CFE_STRIKEOUT;
  format->wWeight = static_cast<WORD>(logFont.lfWeight);
  format->bCharSet = logFont.lfCharSet;
  format->bPitchAndFamily = logFont.lfPitchAndFamily;
  std::wcsncpy(format->szFaceName, logFont.lfFaceName, LF_FACESIZE - 1);
  format->szFaceName[LF_FACESIZE - 1] = L'\0';
}

}  // namespace

CTxtWinHost::CTxtWinHost() {
  paraFormat_.cbSize = sizeof paraFormat_;
  paraFormat_.dwMask = PFM_ALL;
  paraFormat_.wAlignment = PFA_LEFT;
  paraFormat_.cTabCount = 1;
  paraFormat_.rgxTabs[0] = kDefaultTabTwips;
}

CTxtWinHost::~CTxtWinHost() {
  if (dropTargetRegistered_) ::RevokeDragDrop(page_);
  if (services_) {
    services_->OnTxInPlaceDeactivate();
    services_->Release();
  }
  // The library goes with its owner, after the services.
}

bool CTxtWinHost::Init(HWND page, const CREATESTRUCTW& create, TextBoxUIObjectImpl* owner) {
  owner_ = owner;
  page_ = page;

  if (HDC screen = ::GetDC(nullptr)) {
    pixelsPerInchX_ = ::GetDeviceCaps(screen, LOGPIXELSX);
    pixelsPerInchY_ = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
  }
  FillCharFormat(static_cast<HFONT>(::GetStockObject(SYSTEM_FONT)), pixelsPerInchY_, &charFormat_);

  style_ = static_cast<DWORD>(create.style);
  // Services may read the back style only while they are made.
  transparent_ = (create.dwExStyle & WS_EX_TRANSPARENT) != 0;
  wordWrap_ = (style_ & (ES_AUTOHSCROLL | WS_HSCROLL)) == 0;
  richText_ = true;
  // The services ask for the client rect and extent while they are made.
  clientRect_ = RECT{create.x, create.y, create.x + create.cx, create.y + create.cy};
  const RECT text = GetTextRect();
  extent_.cx = ::MulDiv(text.right - text.left, kHimetricPerInch, pixelsPerInchX_);
  extent_.cy = ::MulDiv(text.bottom - text.top, kHimetricPerInch, pixelsPerInchY_);

  wchar_t path[MAX_PATH];
  const UINT length = ::GetSystemDirectoryW(path, MAX_PATH);
  if (length == 0 || length + 14 > MAX_PATH) {
    TraceWin32Error(L"GetSystemDirectory failed.");
    ::ExitProcess(0);
  }
  std::wcscpy(path + length, L"\\Riched20.dll");
  library_.Reset(::LoadLibraryW(path));
  if (!library_) {
    TraceWin32Error(L"LoadLibrary Riched20.dll failed.");
    ::ExitProcess(0);
  }
  const auto createServices = reinterpret_cast<CreateTextServicesProc>(
      reinterpret_cast<void*>(::GetProcAddress(library_.Get(), "CreateTextServices")));
  if (!createServices) {
    TraceWin32Error(L"GetProcAddress CreateTextServices failed.");
    ::ExitProcess(0);
  }

  IUnknown* unknown = nullptr;
  HRESULT result = createServices(nullptr, static_cast<ITextHost*>(this), &unknown);
  if (FAILED(result) || !unknown) {
    zrb::Trace(L"CreateTextServices failed, 0x%08X\r\n", static_cast<unsigned>(result));
    return false;
  }
  result = unknown->QueryInterface(kIidTextServices, reinterpret_cast<void**>(&services_));
  unknown->Release();
  if (FAILED(result) || !services_) {
    services_ = nullptr;
    zrb::Trace(L"QueryInterface ITextServices failed, 0x%08X\r\n", static_cast<unsigned>(result));
    return false;
  }

  ActivateInPlace(clientRect_);

  // The services scroll their text themselves; the page shows no bars.
  const LONG_PTR pageStyle = ::GetWindowLongPtrW(page_, GWL_STYLE);
  ::SetWindowLongPtrW(page_, GWL_STYLE,
                      pageStyle & ~static_cast<LONG_PTR>(WS_VSCROLL | WS_HSCROLL));

  if ((style_ & ES_READONLY) == 0) {
    IDropTarget* dropTarget = nullptr;
    if (SUCCEEDED(services_->TxGetDropTarget(&dropTarget)) && dropTarget) {
      // OLE keeps its own reference; a page that already has a drop target
      // (another text box) or a thread without OLE refuses, which is fine.
      dropTargetRegistered_ = SUCCEEDED(::RegisterDragDrop(page_, dropTarget));
      dropTarget->Release();
    }
  }
  return true;
}

// --- IUnknown ---

HRESULT STDMETHODCALLTYPE CTxtWinHost::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, kIidTextHost)) {
    *object = static_cast<ITextHost*>(this);
  } else if (IsEqualIID(iid, kIidTextEditControl)) {
    *object = static_cast<ITextEditControl*>(this);
  } else {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG STDMETHODCALLTYPE CTxtWinHost::AddRef() { return ++references_; }

ULONG STDMETHODCALLTYPE CTxtWinHost::Release() {
  const LONG left = --references_;
  if (left == 0) delete this;
  return left;
}

// --- ITextHost ---

HDC CTxtWinHost::TxGetDC() { return ::GetDC(page_); }

INT CTxtWinHost::TxReleaseDC(HDC dc) { return ::ReleaseDC(page_, dc); }

WINBOOL CTxtWinHost::TxShowScrollBar(INT bar, WINBOOL show) {
  return ::ShowScrollBar(page_, bar, show);
}

WINBOOL CTxtWinHost::TxEnableScrollBar(INT bars, INT arrows) {
  return ::EnableScrollBar(page_, bars, arrows);
}

WINBOOL CTxtWinHost::TxSetScrollRange(INT bar, LONG minPos, INT maxPos, WINBOOL redraw) {
  return ::SetScrollRange(page_, bar, minPos, maxPos, redraw);
}

WINBOOL CTxtWinHost::TxSetScrollPos(INT bar, INT pos, WINBOOL redraw) {
  return ::SetScrollPos(page_, bar, pos, redraw) != 0;
}

void CTxtWinHost::TxInvalidateRect(LPCRECT rect, WINBOOL erase) {
  ::InvalidateRect(page_, rect, erase);
}

void CTxtWinHost::TxViewChange(WINBOOL) { ::UpdateWindow(page_); }

WINBOOL CTxtWinHost::TxCreateCaret(HBITMAP bitmap, INT width, INT height) {
  return ::CreateCaret(page_, bitmap, width, height);
}

WINBOOL CTxtWinHost::TxShowCaret(WINBOOL show) {
  return show ? ::ShowCaret(page_) : ::HideCaret(page_);
}

WINBOOL CTxtWinHost::TxSetCaretPos(INT x, INT y) { return ::SetCaretPos(x, y); }

WINBOOL CTxtWinHost::TxSetTimer(UINT id, UINT timeout) {
  return ::SetTimer(page_, id, timeout, nullptr) != 0;
}

void CTxtWinHost::TxKillTimer(UINT id) { ::KillTimer(page_, id); }

void CTxtWinHost::TxScrollWindowEx(INT dx, INT dy, LPCRECT scroll, LPCRECT clip, HRGN update,
                                   LPRECT updateRect, UINT flags) {
  ::ScrollWindowEx(page_, dx, dy, scroll, clip, update, updateRect, flags);
}

void CTxtWinHost::TxSetCapture(WINBOOL capture) {
  if (!owner_) return;
  if (capture) {
    owner_->SetCapture();
  } else {
    owner_->ReleaseCapture();
  }
}

void CTxtWinHost::TxSetFocus() {
  if (owner_) owner_->SetFocus();
}

void CTxtWinHost::TxSetCursor(HCURSOR cursor, WINBOOL) { ::SetCursor(cursor); }

WINBOOL CTxtWinHost::TxScreenToClient(LPPOINT point) { return ::ScreenToClient(page_, point); }

WINBOOL CTxtWinHost::TxClientToScreen(LPPOINT point) { return ::ClientToScreen(page_, point); }

HRESULT CTxtWinHost::TxActivate(LONG*) { return S_OK; }

HRESULT CTxtWinHost::TxDeactivate(LONG) { return S_OK; }

HRESULT CTxtWinHost::TxGetClientRect(LPRECT rect) {
  *rect = GetTextRect();
  return S_OK;
}

HRESULT CTxtWinHost::TxGetViewInset(LPRECT rect) {
  ::SetRectEmpty(rect);
  return S_OK;
}

HRESULT CTxtWinHost::TxGetCharFormat(const CHARFORMATW** format) {
  *format = reinterpret_cast<const CHARFORMATW*>(&charFormat_);
  return S_OK;
}

HRESULT CTxtWinHost::TxGetParaFormat(const PARAFORMAT** format) {
  *format = &paraFormat_;
  return S_OK;
}

COLORREF CTxtWinHost::TxGetSysColor(int index) { return ::GetSysColor(index); }

HRESULT CTxtWinHost::TxGetBackStyle(TXTBACKSTYLE* style) {
  *style = transparent_ ? TXTBACK_TRANSPARENT : TXTBACK_OPAQUE;
  return S_OK;
}

HRESULT CTxtWinHost::TxGetMaxLength(DWORD* length) {
  *length = maxLength_;
  return S_OK;
}

HRESULT CTxtWinHost::TxGetScrollBars(DWORD* scrollBars) {
  *scrollBars = style_ & kScrollStyles;
  return S_OK;
}

HRESULT CTxtWinHost::TxGetPasswordChar(TCHAR* ch) {
  *ch = 0;
  return S_FALSE;
}

HRESULT CTxtWinHost::TxGetAcceleratorPos(LONG* pos) {
  *pos = -1;
  return S_OK;
}

HRESULT CTxtWinHost::TxGetExtent(LPSIZEL extent) {
  *extent = extent_;
  return S_OK;
}

HRESULT CTxtWinHost::OnTxCharFormatChange(const CHARFORMATW*) { return S_OK; }

HRESULT CTxtWinHost::OnTxParaFormatChange(const PARAFORMAT* format) {
  if (!format) return E_INVALIDARG;
  // A PARAFORMAT or a PARAFORMAT2: copy no more than either holds.
  const size_t size = std::min<size_t>(format->cbSize, sizeof paraFormat_);
  if (size < sizeof(PARAFORMAT)) return E_INVALIDARG;
  std::memcpy(&paraFormat_, format, size);
  return S_OK;
}

HRESULT CTxtWinHost::TxGetPropertyBits(DWORD mask, DWORD* bits) {
  *bits = PropertyBits() & mask;
  return S_OK;
}

DWORD CTxtWinHost::PropertyBits() const {
  DWORD bits = 0;
  if (richText_) bits |= TXTBIT_RICHTEXT;
  if (style_ & ES_MULTILINE) bits |= TXTBIT_MULTILINE;
  if (style_ & ES_READONLY) bits |= TXTBIT_READONLY;
  if (style_ & ES_PASSWORD) bits |= TXTBIT_USEPASSWORD;
  if (!(style_ & ES_NOHIDESEL)) bits |= TXTBIT_HIDESELECTION;
  if (style_ & ES_VERTICAL) bits |= TXTBIT_VERTICAL;
  if (wordWrap_) bits |= TXTBIT_WORDWRAP;
  if (allowBeep_) bits |= TXTBIT_ALLOWBEEP;
  if (style_ & ES_SAVESEL) bits |= TXTBIT_SAVESELECTION;
  return bits;
}

HRESULT CTxtWinHost::TxNotify(DWORD, void*) { return S_OK; }

HIMC CTxtWinHost::TxImmGetContext() { return ::ImmGetContext(page_); }

void CTxtWinHost::TxImmReleaseContext(HIMC context) { ::ImmReleaseContext(page_, context); }

HRESULT CTxtWinHost::TxGetSelectionBarWidth(LONG* width) {
  *width = 0;
  return S_OK;
}

// --- ITextEditControl ---

LRESULT STDMETHODCALLTYPE CTxtWinHost::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (SendToServices(msg, wParam, lParam, &result) == S_FALSE) {
    result = ::DefWindowProcW(hwnd, msg, wParam, lParam);
  }
  return result;
}

HRESULT CTxtWinHost::SendToServices(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  *result = 0;
  if (!services_) return S_FALSE;
  return services_->TxSendMessage(msg, wParam, lParam, result);
}

// --- the text box's operations ---

RECT CTxtWinHost::GetTextRect() const {
  RECT text = clientRect_;
  ::InflateRect(&text, -kTextInset, -kTextInset);
  return text;
}

HRESULT CTxtWinHost::ActivateInPlace(const RECT& client) {
  if (!services_) return E_FAIL;
  clientRect_ = client;
  // The services get the text area the host reports as its client rect, so
  // layout, caret and mouse share one coordinate space.
  const RECT text = GetTextRect();
  const HRESULT result = services_->OnTxInPlaceActivate(&text);
  inPlaceActive_ = SUCCEEDED(result);
  return result;
}

void CTxtWinHost::DeactivateInPlace() {
  if (!services_ || !inPlaceActive_) return;
  services_->OnTxInPlaceDeactivate();
  inPlaceActive_ = false;
}

void CTxtWinHost::NotifyCharFormat() {
  if (!services_) return;
  services_->OnTxPropertyBitsChange(TXTBIT_CHARFORMATCHANGE, TXTBIT_CHARFORMATCHANGE);
  // Services that take the host's format only while they are made learn it
  // from the message; for the others it restates the same format.
  LRESULT ignored = 0;
  services_->TxSendMessage(EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&charFormat_),
                           &ignored);
}

void CTxtWinHost::SetCharFormatFromFont(HFONT font) {
  const COLORREF colour = charFormat_.crTextColor;
  const DWORD colourEffects = charFormat_.dwEffects & (CFE_AUTOCOLOR | CFE_DISABLED);
  FillCharFormat(font, pixelsPerInchY_, &charFormat_);
  charFormat_.crTextColor = colour;
  charFormat_.dwEffects = (charFormat_.dwEffects & ~(CFE_AUTOCOLOR | CFE_DISABLED)) | colourEffects;
}

void CTxtWinHost::SetTransparent(bool transparent) {
  transparent_ = transparent;
  if (services_) services_->OnTxPropertyBitsChange(TXTBIT_BACKSTYLECHANGE, TXTBIT_BACKSTYLECHANGE);
}

void CTxtWinHost::SetRichText(bool rich) {
  richText_ = rich;
  if (!services_) return;
  services_->OnTxPropertyBitsChange(TXTBIT_RICHTEXT, rich ? TXTBIT_RICHTEXT : 0);
  // As for the character format: the text mode by message too (refused
  // once there is text, which the box does not have yet).
  LRESULT ignored = 0;
  services_->TxSendMessage(EM_SETTEXTMODE, rich ? TM_RICHTEXT : TM_PLAINTEXT, 0, &ignored);
}

void CTxtWinHost::SetAllowBeep(bool allow) {
  allowBeep_ = allow;
  if (services_) services_->OnTxPropertyBitsChange(TXTBIT_ALLOWBEEP, allow ? TXTBIT_ALLOWBEEP : 0);
}

void CTxtWinHost::SetMaxLength(DWORD length) {
  maxLength_ = length;
  if (!services_) return;
  services_->OnTxPropertyBitsChange(TXTBIT_MAXLENGTHCHANGE, TXTBIT_MAXLENGTHCHANGE);
  // As for the character format: the limit by message too.
  LRESULT ignored = 0;
  services_->TxSendMessage(EM_EXLIMITTEXT, 0, static_cast<LPARAM>(length), &ignored);
}

void CTxtWinHost::SetMultiLine(bool multiLine) {
  if (multiLine) {
    style_ |= ES_MULTILINE;
  } else {
    style_ &= ~static_cast<DWORD>(ES_MULTILINE);
  }
  wordWrap_ = multiLine;
  if (services_) {
    const DWORD bits = TXTBIT_MULTILINE | TXTBIT_WORDWRAP;
    services_->OnTxPropertyBitsChange(bits, multiLine ? bits : 0);
  }
}

CTxtWinHost* CreateTextHost(HWND page, const CREATESTRUCTW* create, TextBoxUIObjectImpl* owner) {
  ::GdiSetBatchLimit(1);
  auto* host = new CTxtWinHost();
  if (!create || !host->Init(page, *create, owner)) {
    host->Release();
    return nullptr;
  }
  return host;
}

}  // namespace ZRBUE
