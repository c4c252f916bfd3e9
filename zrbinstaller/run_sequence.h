// The setup's run: scripts, single-instance guard, hooks, mode, layout and
// pages, in their fixed order.
#pragma once

#include <windows.h>

// Runs the whole setup; returns the process exit code: 1 when the run
// reached ZRBSE_AfterComplete, 0 otherwise.
int RunSetup(HINSTANCE instance);
