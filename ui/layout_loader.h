// The layout loader: turns a page's "Container" element of the layout
// document into the page's UI tree and registers it under the page window.
//
// Grammar (names compare exactly; of an attribute given twice the first
// counts; other elements, comments and text between elements are skipped,
// an unknown element with its whole subtree; children of leaves are not
// read, except the first Front child of a Progress):
//
//   containers  Container, CaptionContainer, VerticalContainer (row),
//               GridContainer (col, row, vertical)
//   leaves      Button (action), Label, TextBox (clrect, maxchar,
//               multiline), LinkLabel (action), CheckBox (action, checked,
//               rectChk, rectLbl), Progress (Front: rect, spl, spr, resId,
//               type), Carousel (framecount, interval, fadeinterval),
//               Picture
//   all         name, rect, type and resId (not Label), visible, enable;
//               the text controls also color, font, size, bold and their
//               element text
//
// Values:
//   rect      "left,top,right,bottom", white space allowed before each
//             number. Absent: 0,0,0,0, but the element's rect for clrect and
//             the Front rect. A shorter value takes the remaining fields
//             from 0 (rect), the element's rect (clrect, rectChk, the Front
//             rect) or the rectChk just read (rectLbl).
//   colour    "red,green,blue", each number's low 8 bits; absent or short
//             values read the missing parts as 0 (black)
//   boolean   true when the first character is one of 1 t T y Y; any other
//             value, the empty one included, is false
//   integer   optional white space and sign, then decimal digits up to the
//             first other character ("12pt" is 12, "0x10" is 0, no digits
//             is 0); values beyond the 32-bit range are held at its ends
//   unsigned  the same number as an unsigned 32-bit value: negative ones
//             wrap around ("-1" is 4294967295), larger ones are held at
//             4294967295
//   text      the characters as written; absent is empty
// Only an absent attribute gives the default.
//
// Values outside the format refuse their element: a row or col below 1 on
// VerticalContainer and GridContainer (absent counts as 0), a framecount
// below 1, a negative font size, a negative spl or spr. A refused element is
// traced ("vq LoadLayout: <GridContainer name="x"> refused: col is below 1")
// and skipped with its subtree, as an unknown element is. Rects are taken as
// written, also when a short value leaves right or bottom before left or top
// ("10,20" is 10,20,0,0); such objects draw little or nothing, safely.
//
// Threads: the page window's thread.
#pragma once

#include <windows.h>

#include <pugixml.hpp>

#include "ui/container_ui_object.h"

namespace ZRBUE {

// Builds the tree of `containerNode`, an element named "Container", with
// `host` as every object's host window, registers it under `host` (deleting
// the tree registered there before) and returns it. For any other node
// (also an empty one, as from a Dlg without a Container child) nothing is
// built and the tree already registered under `host` is returned, or null.
//
// Each element is created and configured (Init, then its attributes, in a
// fixed order per class) before it joins its parent, so both child lists
// keep document order. An image that Init or the progress bar's front
// cannot load throws HRESULT E_FAIL out of LoadLayout; the objects made
// until then stay registered.
ContainerUIObjectImpl* LoadLayout(HWND host, pugi::xml_node containerNode);

}  // namespace ZRBUE
