// A container that stacks its visible child containers in rows.
#pragma once

#include "ui/container_ui_object.h"

namespace ZRBUE {

// Each drawing moves the visible child containers, in order, to the tops of
// consecutive rows (row height = rect height / rows), keeping their left,
// right and height, and draws them; after `rows` rows the next starts again
// at the top. Invisible children take no place. The container's own leaves,
// background, clip and visible flag play no part in drawing. Input reaches
// the children at the places of the last drawing.
class VerticalContainerUIObjectImpl : public ContainerUIObjectImpl {
 public:
  int Draw(Gdiplus::Graphics& graphics) override;
  // The number of rows; a value below 1 (outside the layout format) is
  // traced and taken as 1.
  void SetRows(int rows);
  int GetRows() const { return rows_; }

 private:
  int rows_ = 1;
};

}  // namespace ZRBUE
