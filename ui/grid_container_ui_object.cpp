#include "ui/grid_container_ui_object.h"

#include "common/utility/trace.h"

namespace ZRBUE {
namespace {

int AtLeastOne(int value, const wchar_t* attribute, const std::wstring& name) {
  if (value >= 1) return value;
  zrb::Trace(L"GridContainer %s: %s %d is below 1, using 1\r\n", name.c_str(), attribute, value);
  return 1;
}

}  // namespace

void GridContainerUIObjectImpl::SetColumns(int columns) {
  columns_ = AtLeastOne(columns, L"col", name_);
  cellWidth_ = (rect_.right - rect_.left) / columns_;
}

void GridContainerUIObjectImpl::SetRows(int rows) {
  rows_ = AtLeastOne(rows, L"row", name_);
  cellHeight_ = (rect_.bottom - rect_.top) / rows_;
}

int GridContainerUIObjectImpl::Draw(Gdiplus::Graphics& graphics) {
  const int width = rect_.right - rect_.left;
  const int height = rect_.bottom - rect_.top;
  int column = 0;
  int row = 0;
  for (const auto& child : containers_) {
    if (!child->IsVisible()) continue;
    const RECT r = child->GetRect();
    const int left = rect_.left + column * cellWidth_;
    const int top = rect_.top + row * cellHeight_;
    child->SetRect(left, top, left + (r.right - r.left), top + (r.bottom - r.top));
    child->Draw(graphics);
    if (!vertical_) {
      if ((column + 1) * cellWidth_ < width) {
        ++column;
      } else {
        column = 0;
        ++row;
      }
    } else if ((row + 1) * cellHeight_ < height) {
      ++row;
    } else {
      row = 0;
      ++column;
    }
  }
  return 0;
}

}  // namespace ZRBUE
