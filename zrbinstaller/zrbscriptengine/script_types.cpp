#include "zrbinstaller/zrbscriptengine/script_types.h"

const std::vector<ScriptTypeRegistration>& ScriptTypeRegistrations() {
  static const std::vector<ScriptTypeRegistration> registrations = {};
  return registrations;
}

lua_CFunction GlobalLibraryLoader() { return nullptr; }
