// The process-wide registry of UI trees, one per host window.
//
// A page's tree lives from the moment it is registered (by the layout
// loader, when the page window initialises) until UnloadLayout (when the
// window is destroyed) or process exit, when every tree still registered is
// deleted. Pages hold only plain pointers into their tree.
//
// Threads: the UI thread only. GDI+ must be started before the first
// registration so that the trees left at exit are deleted before GDI+ shuts
// down (the registry is made on first use and so ends before anything made
// earlier).
#pragma once

#include <windows.h>

#include <memory>

#include "ui/container_ui_object.h"

namespace ZRBUE {

// Registers `root` as the tree of `host` and returns it. A tree registered
// under `host` before is deleted first. A null root only removes the old
// tree.
ContainerUIObjectImpl* RegisterLayout(HWND host, std::unique_ptr<ContainerUIObjectImpl> root);

// The root registered under `host`, or null.
ContainerUIObjectImpl* FindLayout(HWND host);

// Deletes the tree registered under `host` and removes the entry; nothing
// happens for a window without a tree.
void UnloadLayout(HWND host);

}  // namespace ZRBUE
