// The editable text box: the system's windowless rich-edit text services
// hosted inside a page window that has no edit window of its own.
#pragma once

#include <windows.h>
// richedit.h needs the OLE types.
#include <ole2.h>
#include <richedit.h>

#include <memory>
#include <string>

#include "ui/image_object.h"
#include "ui/ui_object_impl_base.h"

namespace ZRBUE {

class CTxtWinHost;

// Background cells, each of the rect's size: 0 normal, 1 hovered or
// focused, 2 disabled. The box is enabled while its state is not 2.
//
// The text lives in the text services (CreateHost): they lay it out in the
// client rect made smaller by 5 pixels on every side (kTextInset), take
// keyboard input through the page's focus routing and mouse input through
// the handlers below, and draw plain GDI text that Draw merges into the
// page's alpha bitmap. The caret is drawn by the box itself, a 1-pixel bar
// at the system caret position shown while the page's caret blinks have
// turned it on.
//
// Input is taken only while the box is visible, enabled and has its
// services. A click makes it the focus owner (the container calls
// SetFocus); a drag selection keeps the mouse through the capture messages,
// which the services request.
//
// The loader's order of configuration matters: SetEnabled(TRUE) clears the
// automatic colour of the default character format, so the layout's text
// colour shows only from then on.
class TextBoxUIObjectImpl : public UIObjectImplBase {
 public:
  enum State { kNormal = 0, kActive = 1, kDisabled = 2 };

  TextBoxUIObjectImpl();
  // Deactivates the services, then releases the host (which revokes the drop
  // target, releases the services and frees their library).
  ~TextBoxUIObjectImpl() override;

  int Draw(Gdiplus::Graphics& graphics) override;
  // Loads the background strip; resId must not be 0 (E_FAIL).
  int Init(HWND host, int left, int top, int right, int bottom, UINT resId, LPCWSTR type) override;

  BOOL IsEnabled() const override { return state_ != kDisabled; }
  // KillFocus first when hiding.
  void SetVisible(BOOL visible) override;
  // KillFocus first when disabling; state 0 or 2; the text shows disabled
  // (automatic colour) while disabled and in the text colour otherwise.
  void SetEnabled(BOOL enabled) override;

  LRESULT OnLButtonDown(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) override;
  LRESULT OnLButtonUp(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) override;
  LRESULT OnMouseLeave(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) override;
  LRESULT OnMouseHover(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) override;
  LRESULT OnMouseMove(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) override;
  // Lets the services set the cursor over the text area.
  LRESULT OnSetCursor(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled, int x, int y) override;
  LRESULT OnCaptureChanged(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) override;

  // Focus and capture requests, sent while visible and enabled (capture
  // also needs the services).
  void SetFocus() override;
  void KillFocus() override;
  void SetCapture() override;
  void ReleaseCapture() override;

  // Keys, characters, IME messages and caret blinks from the page's focus
  // routing, mouse messages from its capture routing. ZRBUM_CARETBLINK
  // toggles the drawn caret and returns 1; WM_IME_COMPOSITION places the
  // composition window at the caret and returns 0 (the page's default
  // processing goes on); the rest goes to the services, and a message they
  // leave alone returns 0.
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

  // The client rect (clrect), given before CreateHost.
  void SetClientRect(const RECT& rect) { clientRect_ = rect; }
  RECT GetClientRect() const { return clientRect_; }
  // Creates the text services (once). Without them the box draws nothing
  // and takes no input.
  void CreateHost();
  bool IsCreated() const { return created_; }

  // These change the text services and do nothing before CreateHost.
  void SetTextColor(BYTE red, BYTE green, BYTE blue);
  // A font of `family` (cut to 31 characters), `points` in size, bold only
  // when `bold` is exactly TRUE.
  void SetFont(const std::wstring& family, int points, BOOL bold);
  // The most characters the text may hold; 0 means 65536.
  void SetMaxChars(int count);
  void SetMultiLine(BOOL multiLine);
  // The services' text; empty before CreateHost.
  std::wstring GetText() const;
  void SetText(const std::wstring& text);

  // The character format the services were last given; null before
  // CreateHost.
  const CHARFORMAT2W* GetCharFormat() const;
  // The most characters the services accept; 0 before CreateHost.
  DWORD GetMaxChars() const;

  int GetState() const { return state_; }
  bool IsCaretOn() const { return caretOn_; }
  bool IsFocused() const { return focused_; }

 private:
  // Visible, enabled and created.
  bool TakesInput() const { return AcceptsInput() && created_; }
  // A mouse message to the services: not handled when they ignore it.
  LRESULT ForwardMouse(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled);
  // Sends `msg` to the services when there are any.
  void SendToServices(UINT msg, WPARAM wParam, LPARAM lParam);
  // The services' text drawn over a copy of the page pixels under the text
  // area, merged into the page bitmap behind `dc`.
  void DrawText(HDC dc, const RECT& textRect, int* caretHeight);

  std::unique_ptr<ImageObject> background_;
  CTxtWinHost* textHost_ = nullptr;  // one owned reference
  RECT clientRect_ = {};
  int state_ = kNormal;
  bool caretOn_ = false;
  bool mouseInside_ = false;
  bool focused_ = false;
  bool created_ = false;
  bool pressed_ = false;
  BOOL multiLine_ = FALSE;
};

}  // namespace ZRBUE
