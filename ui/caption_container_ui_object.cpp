#include "ui/caption_container_ui_object.h"

namespace ZRBUE {

LRESULT CaptionContainerUIObjectImpl::OnLButtonDown(UINT msg, WPARAM wParam, LPARAM lParam,
                                                    BOOL& handled) {
  ContainerUIObjectImpl::OnLButtonDown(msg, wParam, lParam, handled);
  if (handled) return 0;
  ::PostMessageW(host_, WM_NCLBUTTONDOWN, HTCAPTION, lParam);
  handled = TRUE;
  return 0;
}

}  // namespace ZRBUE
