#include "zrbinstaller/zrbscriptengine/script_types.h"

#include "zrbinstaller/zrbscriptengine/astring.h"
#include "zrbinstaller/zrbscriptengine/raw_buffer.h"
#include "zrbinstaller/zrbscriptengine/wstring.h"

const std::vector<ScriptTypeRegistration>& ScriptTypeRegistrations() {
  // The order is part of the script interface.
  static const std::vector<ScriptTypeRegistration> registrations = {
      {"AString", zrb::script::OpenAString},
      {"WString", zrb::script::OpenWString},
      {"RawBuffer", zrb::script::OpenRawBuffer},
  };
  return registrations;
}

lua_CFunction GlobalLibraryLoader() { return nullptr; }
