// Host function that starts and stops a service of the local machine.
#pragma once

#include <windows.h>

#include "zrbinstaller/zrbscriptengine/lua_api.h"

// How long Lua_SCM waits for a service to reach the state it asked for.
constexpr DWORD kServiceStateWaitMs = 60000;

// Polls `service` until its state is `wanted` (true) or `limitMs` have passed
// or a status query fails (false). Sleeps the service's wait hint between
// queries, at least 50 ms and at most 1 s at a time.
bool WaitForServiceState(SC_HANDLE service, DWORD wanted, DWORD limitMs);

// (service name, "start" or "stop") -> boolean. A service that does not
// exist gives true.
int Lua_SCM(lua_State* L);
