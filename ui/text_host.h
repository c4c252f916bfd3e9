// The host through which a text box drives the system's windowless rich-edit
// text services on behalf of its page window.
//
// The services see the page window as their window: device context,
// caret, timers, scroll bars, input context and drop target are the page's.
// Capture and focus requests go to the owning text box, which turns them
// into the page messages of ui/ui_messages.h. The services lay out, hit-test
// and place the caret in page client coordinates, inside the client rect
// made smaller by kTextInset on every side.
//
// Threads: the page window's thread only.
#pragma once

#include <windows.h>

#include "common/utility/unique_handle.h"
#include "ui/text_services.h"

namespace ZRBUE {

class TextBoxUIObjectImpl;

// Pixels between the edge of a text box's client rect and its text.
constexpr int kTextInset = 5;

// A reference-counted host object: the reference count starts at 1 and the
// last Release deletes it. QueryInterface answers IUnknown (the ITextHost
// part), ITextHost and ITextEditControl.
class CTxtWinHost : public ITextHost, public ITextEditControl {
 public:
  CTxtWinHost();
  CTxtWinHost(const CTxtWinHost&) = delete;
  CTxtWinHost& operator=(const CTxtWinHost&) = delete;

  // Host initialisation: default formats from the system font, the style
  // bits of `create`, then the text services from the system's
  // "Riched20.dll", in-place active in create's rectangle; registers the
  // page as an OLE drop target for them unless the style is read-only (a
  // failed registration is ignored). Without the library or its
  // CreateTextServices export the process ends with exit code 0. Returns
  // false when the services cannot be created.
  bool Init(HWND page, const CREATESTRUCTW& create, TextBoxUIObjectImpl* owner);

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // ITextHost, in the platform's order.
  HDC TxGetDC() override;
  INT TxReleaseDC(HDC dc) override;
  WINBOOL TxShowScrollBar(INT bar, WINBOOL show) override;
  WINBOOL TxEnableScrollBar(INT bars, INT arrows) override;
  WINBOOL TxSetScrollRange(INT bar, LONG minPos, INT maxPos, WINBOOL redraw) override;
  WINBOOL TxSetScrollPos(INT bar, INT pos, WINBOOL redraw) override;
  void TxInvalidateRect(LPCRECT rect, WINBOOL erase) override;
  void TxViewChange(WINBOOL update) override;
  WINBOOL TxCreateCaret(HBITMAP bitmap, INT width, INT height) override;
  WINBOOL TxShowCaret(WINBOOL show) override;
  WINBOOL TxSetCaretPos(INT x, INT y) override;
  WINBOOL TxSetTimer(UINT id, UINT timeout) override;
  void TxKillTimer(UINT id) override;
  void TxScrollWindowEx(INT dx, INT dy, LPCRECT scroll, LPCRECT clip, HRGN update,
                        LPRECT updateRect, UINT flags) override;
  void TxSetCapture(WINBOOL capture) override;
  void TxSetFocus() override;
  void TxSetCursor(HCURSOR cursor, WINBOOL text) override;
  WINBOOL TxScreenToClient(LPPOINT point) override;
  WINBOOL TxClientToScreen(LPPOINT point) override;
  HRESULT TxActivate(LONG* oldState) override;
  HRESULT TxDeactivate(LONG newState) override;
  HRESULT TxGetClientRect(LPRECT rect) override;
  HRESULT TxGetViewInset(LPRECT rect) override;
  HRESULT TxGetCharFormat(const CHARFORMATW** format) override;
  HRESULT TxGetParaFormat(const PARAFORMAT** format) override;
  COLORREF TxGetSysColor(int index) override;
  HRESULT TxGetBackStyle(TXTBACKSTYLE* style) override;
  HRESULT TxGetMaxLength(DWORD* length) override;
  HRESULT TxGetScrollBars(DWORD* scrollBars) override;
  HRESULT TxGetPasswordChar(TCHAR* ch) override;
  HRESULT TxGetAcceleratorPos(LONG* pos) override;
  HRESULT TxGetExtent(LPSIZEL extent) override;
  HRESULT OnTxCharFormatChange(const CHARFORMATW* format) override;
  HRESULT OnTxParaFormatChange(const PARAFORMAT* format) override;
  HRESULT TxGetPropertyBits(DWORD mask, DWORD* bits) override;
  HRESULT TxNotify(DWORD notification, void* data) override;
  HIMC TxImmGetContext() override;
  void TxImmReleaseContext(HIMC context) override;
  HRESULT TxGetSelectionBarWidth(LONG* width) override;

  // ITextEditControl: the message to the services; a message they do not
  // take (S_FALSE) goes to the page's default window procedure.
  LRESULT STDMETHODCALLTYPE WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;

  // The message to the services only: their answer, the message result in
  // `result`. S_FALSE (not their message) and S_MSG_KEY_IGNORED leave the
  // message to the caller.
  HRESULT SendToServices(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);

  ITextServices* GetServices() const { return services_; }
  // The client rect given at creation, and the text area inside it.
  const RECT& GetClientRect() const { return clientRect_; }
  RECT GetTextRect() const;
  bool IsInPlaceActive() const { return inPlaceActive_; }

  // In-place activation in `client` (the services take the text area
  // inside it), and its end.
  HRESULT ActivateInPlace(const RECT& client);
  void DeactivateInPlace();

  // The cached character format; after changing it, NotifyCharFormat.
  CHARFORMAT2W& CharFormat() { return charFormat_; }
  // Tells the services by the property change and by EM_SETCHARFORMAT for
  // all text: services that read the host's format only while they are
  // made (Wine's) learn it from the message.
  void NotifyCharFormat();
  // The character format of `font` (face, size, weight and effects), the
  // text colour and the colour and disabled effects kept.
  void SetCharFormatFromFont(HFONT font);

  // Property changes, each told to the services; the text mode and the
  // length limit also by message (EM_SETTEXTMODE, EM_EXLIMITTEXT), as the
  // character format. The back style is read by some services only while
  // they are made: a creation record with WS_EX_TRANSPARENT starts the host
  // transparent.
  void SetTransparent(bool transparent);
  void SetRichText(bool rich);
  void SetAllowBeep(bool allow);
  void SetMaxLength(DWORD length);
  // Multi-line editing and word wrap together.
  void SetMultiLine(bool multiLine);

  // The owner is going away: capture and focus requests go nowhere.
  void DetachOwner() { owner_ = nullptr; }

 private:
  // Only Release deletes.
  virtual ~CTxtWinHost();

  DWORD PropertyBits() const;

  LONG references_ = 1;
  TextBoxUIObjectImpl* owner_ = nullptr;
  HWND page_ = nullptr;
  zrb::UniqueLibrary library_;
  ITextServices* services_ = nullptr;  // owned reference
  RECT clientRect_ = {};
  SIZEL extent_ = {};
  CHARFORMAT2W charFormat_ = {};
  PARAFORMAT2 paraFormat_ = {};
  DWORD style_ = 0;
  DWORD maxLength_ = 32767;
  LONG pixelsPerInchX_ = 96;
  LONG pixelsPerInchY_ = 96;
  bool richText_ = false;
  bool wordWrap_ = false;
  bool allowBeep_ = false;
  bool transparent_ = false;
  bool inPlaceActive_ = false;
  bool border_ = false;
  bool dropTargetRegistered_ = false;
};

// Makes and initialises a host for the text box `owner` on `page`; null
// when the services cannot be created (the host is then deleted). Sets the
// thread's GDI batch limit to 1 first, so the services' drawing reaches the
// bitmap before it is read back.
CTxtWinHost* CreateTextHost(HWND page, const CREATESTRUCTW* create, TextBoxUIObjectImpl* owner);

}  // namespace ZRBUE
