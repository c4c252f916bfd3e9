#include "ui/vertical_container_ui_object.h"

#include "common/utility/trace.h"

namespace ZRBUE {

void VerticalContainerUIObjectImpl::SetRows(int rows) {
  if (rows < 1) {
    zrb::Trace(L"VerticalContainer %s: row %d is below 1, using 1\r\n", name_.c_str(), rows);
    rows = 1;
  }
  rows_ = rows;
}

int VerticalContainerUIObjectImpl::Draw(Gdiplus::Graphics& graphics) {
  const int rowHeight = (rect_.bottom - rect_.top) / rows_;
  int index = 0;
  for (const auto& child : containers_) {
    if (!child->IsVisible()) continue;
    const RECT r = child->GetRect();
    const int top = rect_.top + index * rowHeight;
    child->SetRect(r.left, top, r.right, top + (r.bottom - r.top));
    child->Draw(graphics);
    index = (index + 1) % rows_;
  }
  return 0;
}

}  // namespace ZRBUE
