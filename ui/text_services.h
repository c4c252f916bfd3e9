// The windowless rich-edit interfaces of the system's "Riched20.dll" as the
// text box uses them: MinGW declares ITextServices and ITextHost but
// defines none of their interface identifiers, and ITextEditControl (the
// host's window-procedure interface) not at all.
//
// Calling convention: like the platform's own header, ITextServices and
// ITextHost methods past IUnknown are plain C++ member functions, which the
// 32-bit MinGW compiler calls with thiscall, as the system library expects.
#pragma once

#include <windows.h>
// richedit.h and textserv.h need the OLE types.
#include <ole2.h>
#include <richedit.h>
#include <textserv.h>

namespace ZRBUE {

// {C5BDD8D0-D26E-11CE-A89E-00AA006CADC5}
constexpr IID kIidTextHost = {
    0xC5BDD8D0, 0xD26E, 0x11CE, {0xA8, 0x9E, 0x00, 0xAA, 0x00, 0x6C, 0xAD, 0xC5}};
// {8D33F740-CF58-11CE-A89D-00AA006CADC5}
constexpr IID kIidTextServices = {
    0x8D33F740, 0xCF58, 0x11CE, {0xA8, 0x9D, 0x00, 0xAA, 0x00, 0x6C, 0xAD, 0xC5}};
// {F6642620-D266-11CE-A89E-00AA006CADC5}
constexpr IID kIidTextEditControl = {
    0xF6642620, 0xD266, 0x11CE, {0xA8, 0x9E, 0x00, 0xAA, 0x00, 0x6C, 0xAD, 0xC5}};

// A text host's window procedure: the window messages of the host window
// that belong to the edit text.
class ITextEditControl : public IUnknown {
 public:
  virtual LRESULT STDMETHODCALLTYPE WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) = 0;
};

}  // namespace ZRBUE
