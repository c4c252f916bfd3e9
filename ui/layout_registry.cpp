#include "ui/layout_registry.h"

#include <cstdint>
#include <map>

namespace ZRBUE {
namespace {

using Registry = std::map<uintptr_t, std::unique_ptr<ContainerUIObjectImpl>>;

Registry& Trees() {
  static Registry trees;
  return trees;
}

uintptr_t KeyOf(HWND host) { return reinterpret_cast<uintptr_t>(host); }

}  // namespace

ContainerUIObjectImpl* RegisterLayout(HWND host, std::unique_ptr<ContainerUIObjectImpl> root) {
  UnloadLayout(host);
  if (!root) return nullptr;
  ContainerUIObjectImpl* registered = root.get();
  Trees().emplace(KeyOf(host), std::move(root));
  return registered;
}

ContainerUIObjectImpl* FindLayout(HWND host) {
  const Registry& trees = Trees();
  const auto found = trees.find(KeyOf(host));
  return found == trees.end() ? nullptr : found->second.get();
}

void UnloadLayout(HWND host) {
  Registry& trees = Trees();
  const auto found = trees.find(KeyOf(host));
  if (found == trees.end()) return;
  // Take the tree out before deleting it, so the registry never holds a
  // tree being torn down.
  std::unique_ptr<ContainerUIObjectImpl> tree = std::move(found->second);
  trees.erase(found);
}

}  // namespace ZRBUE
