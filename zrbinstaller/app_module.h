// The application module of the main thread: the instance handle that page
// windows and resources come from, and the message loops that pages
// register while they run.
#pragma once

#include <windows.h>

class AppModuleScope {
 public:
  explicit AppModuleScope(HINSTANCE instance);
  ~AppModuleScope();
  AppModuleScope(const AppModuleScope&) = delete;
  AppModuleScope& operator=(const AppModuleScope&) = delete;

  // The instance of the running module (null outside a scope).
  static HINSTANCE Instance();
};
