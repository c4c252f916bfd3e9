#include "ui/container_ui_object.h"

#include <typeinfo>

#include "ui/drawing.h"

namespace ZRBUE {
namespace {

// Calls `call(child)` on each child of `list` whose rect contains `point`,
// in order, until one sets `handled`; returns that child or null.
template <typename List, typename Call>
IZRBBaseUIObject* FirstToHandle(const List& list, POINT point, const BOOL& handled, Call call) {
  for (const auto& child : list) {
    const RECT rect = child->GetRect();
    if (!::PtInRect(&rect, point)) continue;
    call(*child);
    if (handled) return child.get();
  }
  return nullptr;
}

// The shared dispatch of button-down, button-up, hover and set-cursor:
// child containers first, then leaves; the first to consume the event ends
// the walk. Returns the consuming leaf, or null.
template <typename Call>
IZRBBaseUIObject* DispatchToFirst(const ContainerUIObjectImpl& container, POINT point,
                                  BOOL& handled, Call call) {
  handled = FALSE;
  if (FirstToHandle(container.GetContainers(), point, handled, call)) return nullptr;
  return FirstToHandle(container.GetObjects(), point, handled, call);
}

// A move to each child under `point` and a leave to the others; every
// child is visited. Sets `handled` when one of the moves consumed it.
template <typename List>
void MoveOrLeave(const List& list, POINT point, UINT msg, WPARAM wParam, LPARAM lParam,
                 BOOL& handled) {
  for (const auto& child : list) {
    const RECT rect = child->GetRect();
    if (::PtInRect(&rect, point)) {
      BOOL moved = FALSE;
      child->OnMouseMove(msg, wParam, lParam, moved);
      if (moved) handled = TRUE;
    } else {
      BOOL scratch = FALSE;
      child->OnMouseLeave(msg, wParam, lParam, scratch);
    }
  }
}

}  // namespace

int ContainerUIObjectImpl::Init(HWND host, int left, int top, int right, int bottom, UINT resId,
                                LPCWSTR type) {
  background_.reset();
  if (resId != 0) background_ = std::make_unique<ImageObject>(type, resId);
  StoreHostAndRect(host, left, top, right, bottom);
  return 0;
}

int ContainerUIObjectImpl::Draw(Gdiplus::Graphics& graphics) {
  if (!visible_) return 0;
  graphics.SetClip(
      Gdiplus::Rect(rect_.left, rect_.top, rect_.right - rect_.left, rect_.bottom - rect_.top),
      Gdiplus::CombineModeReplace);
  DrawBackgroundAndChildren(graphics);
  graphics.ResetClip();
  return 0;
}

void ContainerUIObjectImpl::DrawBackgroundAndChildren(Gdiplus::Graphics& graphics) {
  if (background_) DrawUnscaled(graphics, background_.get(), rect_, 0, 0);
  for (const auto& container : containers_) container->Draw(graphics);
  for (const auto& object : objects_) object->Draw(graphics);
}

void ContainerUIObjectImpl::SetRect(int left, int top, int right, int bottom) {
  const int dx = left - rect_.left;
  const int dy = top - rect_.top;
  auto move = [dx, dy](IZRBBaseUIObject& child) {
    const RECT r = child.GetRect();
    child.SetRect(r.left + dx, r.top + dy, r.right + dx, r.bottom + dy);
  };
  for (const auto& container : containers_) move(*container);
  for (const auto& object : objects_) move(*object);
  rect_ = RECT{left, top, right, bottom};
}

LRESULT ContainerUIObjectImpl::OnLButtonDown(UINT msg, WPARAM wParam, LPARAM lParam,
                                             BOOL& handled) {
  handled = FALSE;
  if (!AcceptsInput()) return 0;
  IZRBBaseUIObject* leaf = DispatchToFirst(
      *this, PointFromLParam(lParam), handled,
      [&](IZRBBaseUIObject& child) { child.OnLButtonDown(msg, wParam, lParam, handled); });
  if (leaf) leaf->SetFocus();
  return 0;
}

LRESULT ContainerUIObjectImpl::OnLButtonUp(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) {
  handled = FALSE;
  if (!AcceptsInput()) return 0;
  DispatchToFirst(*this, PointFromLParam(lParam), handled, [&](IZRBBaseUIObject& child) {
    child.OnLButtonUp(msg, wParam, lParam, handled);
  });
  return 0;
}

LRESULT ContainerUIObjectImpl::OnMouseHover(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) {
  handled = FALSE;
  if (!AcceptsInput()) return 0;
  DispatchToFirst(*this, PointFromLParam(lParam), handled, [&](IZRBBaseUIObject& child) {
    child.OnMouseHover(msg, wParam, lParam, handled);
  });
  return 0;
}

LRESULT ContainerUIObjectImpl::OnSetCursor(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled,
                                           int x, int y) {
  handled = FALSE;
  if (!AcceptsInput()) return 0;
  DispatchToFirst(*this, POINT{x, y}, handled, [&](IZRBBaseUIObject& child) {
    child.OnSetCursor(msg, wParam, lParam, handled, x, y);
  });
  return 0;
}

LRESULT ContainerUIObjectImpl::OnMouseMove(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) {
  handled = FALSE;
  if (!AcceptsInput()) return 0;
  mouseInside_ = true;
  const POINT point = PointFromLParam(lParam);
  MoveOrLeave(containers_, point, msg, wParam, lParam, handled);
  if (!handled) MoveOrLeave(objects_, point, msg, wParam, lParam, handled);
  return 0;
}

LRESULT ContainerUIObjectImpl::OnMouseLeave(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) {
  handled = FALSE;
  if (!AcceptsInput() || !mouseInside_) return 0;
  mouseInside_ = false;
  for (const auto& container : containers_) {
    container->OnMouseLeave(msg, wParam, lParam, handled);
    if (handled) return 0;
  }
  for (const auto& object : objects_) {
    object->OnMouseLeave(msg, wParam, lParam, handled);
    if (handled) return 0;
  }
  return 0;
}

void ContainerUIObjectImpl::SetVisibleAll(BOOL visible) {
  visible_ = visible;
  for (const auto& container : containers_) container->SetVisibleAll(visible);
  for (const auto& object : objects_) object->SetVisible(visible);
}

void ContainerUIObjectImpl::SetEnabledAll(BOOL enabled) {
  enabled_ = enabled;
  for (const auto& container : containers_) container->SetEnabledAll(enabled);
  for (const auto& object : objects_) object->SetEnabled(enabled);
}

void ContainerUIObjectImpl::AddObject(IZRBBaseUIObject* object) {
  if (!object) return;
  std::unique_ptr<IZRBBaseUIObject> owned(object);
  owned->SetEnabled(owned->IsEnabled() && IsEnabled());
  objects_.push_back(std::move(owned));
}

void ContainerUIObjectImpl::AddContainer(ContainerUIObjectImpl* container) {
  if (!container) return;
  std::unique_ptr<ContainerUIObjectImpl> owned(container);
  owned->SetEnabled(owned->IsEnabled() && IsEnabled());
  containers_.push_back(std::move(owned));
}

ContainerUIObjectImpl* ContainerUIObjectImpl::FindContainer(const std::wstring& name) const {
  for (const auto& container : containers_) {
    if (container->GetName() == name) return container.get();
  }
  return nullptr;
}

IZRBBaseUIObject* ContainerUIObjectImpl::FindObject(const std::wstring& name) const {
  for (const auto& object : objects_) {
    if (object->GetName() == name) return object.get();
  }
  return nullptr;
}

std::vector<IZRBBaseUIObject*> ContainerUIObjectImpl::FindObjectsOfClass(
    const std::string& typeName) const {
  std::vector<IZRBBaseUIObject*> found;
  for (const auto& container : containers_) {
    std::vector<IZRBBaseUIObject*> inner = container->FindObjectsOfClass(typeName);
    found.insert(found.end(), inner.begin(), inner.end());
  }
  for (const auto& object : objects_) {
    const IZRBBaseUIObject& leaf = *object;
    if (typeName == typeid(leaf).name()) found.push_back(object.get());
  }
  return found;
}

}  // namespace ZRBUE
