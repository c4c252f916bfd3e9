// A container that places its visible child containers in a grid.
#pragma once

#include "ui/container_ui_object.h"

namespace ZRBUE {

// The cell size is rect width / columns by rect height / rows (integer
// division), computed when columns or rows are set and kept afterwards,
// also through SetRect. Each drawing moves the visible child containers, in
// order, to the top-left corners of consecutive cells, keeping their size,
// and draws them: row by row, or column by column when vertical is set. As
// in the vertical container, the container's own leaves, background, clip
// and visible flag play no part in drawing.
class GridContainerUIObjectImpl : public ContainerUIObjectImpl {
 public:
  int Draw(Gdiplus::Graphics& graphics) override;
  // Values below 1 (outside the layout format) are traced and taken as 1.
  void SetColumns(int columns);
  void SetRows(int rows);
  void SetVertical(BOOL vertical) { vertical_ = vertical; }

  int GetCellWidth() const { return cellWidth_; }
  int GetCellHeight() const { return cellHeight_; }

 private:
  int columns_ = 1;
  int rows_ = 1;
  int cellWidth_ = 0;
  int cellHeight_ = 0;
  BOOL vertical_ = FALSE;
};

}  // namespace ZRBUE
