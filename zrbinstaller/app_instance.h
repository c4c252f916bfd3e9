// The single-instance guard: a named mutex that any process may open.
#pragma once

#include <windows.h>

#include <string>

// The base name used when the scripts give none.
extern const wchar_t kDefaultMutexBaseName[];

// The mutex object name: `baseName` followed by `appId` in decimal when it is
// not 0 (an empty base name means the default one with `appId`; a given base
// name is used alone). Cut to 259 units.
std::wstring BuildMutexObjectName(const std::wstring& baseName, int appId);

// Creates the named mutex (null DACL, inheritable, not owned). When another
// instance already created it, brings that instance's page window forward
// and returns the handle (the caller closes it); otherwise returns null and
// a newly created mutex stays open for the life of the process.
HANDLE CreateAppInstance(const std::wstring& baseName, int appId);
