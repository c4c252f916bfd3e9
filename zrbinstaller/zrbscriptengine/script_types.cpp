#include "zrbinstaller/zrbscriptengine/script_types.h"

#include "zrbinstaller/zrbscriptengine/astring.h"
#include "zrbinstaller/zrbscriptengine/dll_manager.h"
#include "zrbinstaller/zrbscriptengine/global_library_table.h"
#include "zrbinstaller/zrbscriptengine/raw_buffer.h"
#include "zrbinstaller/zrbscriptengine/wstring.h"

const std::vector<ScriptTypeRegistration>& ScriptTypeRegistrations() {
  // The order is part of the script interface.
  static const std::vector<ScriptTypeRegistration> registrations = {
      {"AString", zrb::script::OpenAString},
      {"WString", zrb::script::OpenWString},
      {"RawBuffer", zrb::script::OpenRawBuffer},
      {"DllManager", zrb::script::OpenDllManager},
  };
  return registrations;
}

lua_CFunction GlobalLibraryLoader() { return zrb::script::LoadGlobalLibrary; }
