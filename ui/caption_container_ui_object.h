// A container whose free area drags the borderless page window.
#pragma once

#include "ui/container_ui_object.h"

namespace ZRBUE {

// A button-down that no child consumes posts WM_NCLBUTTONDOWN with
// HTCAPTION and the unchanged lParam to the host, so the window moves with
// the mouse as if its caption had been grabbed, and counts as consumed. This
// happens even while the container itself is invisible or disabled (its
// children are then not asked).
class CaptionContainerUIObjectImpl : public ContainerUIObjectImpl {
 public:
  LRESULT OnLButtonDown(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) override;
};

}  // namespace ZRBUE
