// The window class of every page window: a copy of the system dialog class
// under its own name, so a second instance can find the first one's window.
#pragma once

#include <windows.h>

extern const wchar_t kPageWindowClassName[];  // "Zrb_Installer"

// Registers the class for `instance`; returns false when it could not be
// registered (the caller may go on: an existing registration serves).
bool RegisterPageWindowClass(HINSTANCE instance);
