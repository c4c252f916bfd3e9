#include "zrbinstaller/app_module.h"

namespace {
HINSTANCE gModuleInstance = nullptr;
}

AppModuleScope::AppModuleScope(HINSTANCE instance) { gModuleInstance = instance; }

AppModuleScope::~AppModuleScope() { gModuleInstance = nullptr; }

HINSTANCE AppModuleScope::Instance() { return gModuleInstance; }
