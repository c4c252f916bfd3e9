// The inner nodes of a UI tree: containers that own, clip and dispatch to
// their children.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "ui/image_object.h"
#include "ui/ui_object_impl_base.h"

namespace ZRBUE {

// A container: two ordered lists of owned children (child containers and
// leaf objects, each in document order) and an optional background image.
// The root of every page's tree is one.
//
// Drawing: nothing while invisible; otherwise the clip is set to the rect
// (replacing any clip), the background is drawn one to one from the image's
// top-left corner at the rect's size, then every child container and every
// object in list order, and the clip is reset to none. The clip is not
// restored to the parent's: after a child container has drawn, the parent's
// own objects draw unclipped.
//
// Input: each mouse handler does nothing while the container is invisible
// or disabled, so its whole subtree ignores input. Otherwise child
// containers see an event before the container's own leaves, and among
// siblings the earlier one wins; a leaf that consumes a button-down gets
// SetFocus(). Moves reach every child (a move to those under the point, a
// leave to the others) and stop before the leaves only when a child
// container consumed the move.
//
// Visibility and enabled state: SetVisible and SetEnabled change only the
// container's own flag (no KillFocus); SetVisibleAll and SetEnabledAll also
// set every descendant's. Focus and capture requests do nothing.
class ContainerUIObjectImpl : public UIObjectImplBase {
 public:
  using ContainerList = std::vector<std::unique_ptr<ContainerUIObjectImpl>>;
  using ObjectList = std::vector<std::unique_ptr<IZRBBaseUIObject>>;

  int Draw(Gdiplus::Graphics& graphics) override;
  // Loads the background from (type, resId) when resId is not 0 (E_FAIL when
  // the resource is missing); resId 0 means no background.
  int Init(HWND host, int left, int top, int right, int bottom, UINT resId, LPCWSTR type) override;
  // Moves every child by the distance the top-left corner moved, keeping
  // each child's size, then takes the new rect.
  void SetRect(int left, int top, int right, int bottom) override;

  LRESULT OnLButtonDown(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) override;
  LRESULT OnLButtonUp(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) override;
  LRESULT OnMouseLeave(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) override;
  LRESULT OnMouseHover(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) override;
  LRESULT OnMouseMove(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) override;
  LRESULT OnSetCursor(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled, int x, int y) override;

  // The container's own flag, SetVisibleAll on every child container and
  // SetVisible on every leaf.
  virtual void SetVisibleAll(BOOL visible);
  // Appends a leaf and takes ownership (null is ignored). The child is
  // disabled first when this container is disabled.
  virtual void AddObject(IZRBBaseUIObject* object);
  // Appends a child container and takes ownership (null is ignored); as
  // AddObject for the enabled state.
  virtual void AddContainer(ContainerUIObjectImpl* container);
  // As SetVisibleAll, for the enabled flag.
  virtual void SetEnabledAll(BOOL enabled);

  // The first direct child container named `name` (exact, case-sensitive),
  // or null. Pages walk down by chaining calls.
  ContainerUIObjectImpl* FindContainer(const std::wstring& name) const;
  // The first direct leaf named `name`, or null.
  IZRBBaseUIObject* FindObject(const std::wstring& name) const;
  // Every leaf of the whole subtree whose dynamic type's name (as typeid
  // gives it, e.g. typeid(ButtonUIObjectImpl).name()) equals `typeName`
  // byte for byte: child containers first, depth first, then this
  // container's own leaves, each in document order. Containers themselves
  // are never returned.
  std::vector<IZRBBaseUIObject*> FindObjectsOfClass(const std::string& typeName) const;

  const ContainerList& GetContainers() const { return containers_; }
  const ObjectList& GetObjects() const { return objects_; }

 protected:
  // Steps 3 and 4 of the plain drawing: background, then children.
  void DrawBackgroundAndChildren(Gdiplus::Graphics& graphics);

  ContainerList containers_;
  ObjectList objects_;
  std::unique_ptr<ImageObject> background_;
  bool mouseInside_ = false;
};

}  // namespace ZRBUE
