#include "zrbinstaller/zrbscriptengine/host_payload.h"

#include <windows.h>

#include <optional>
#include <string>

#include "common/utility/module_resource.h"
#include "common/utility/trace.h"
#include "payload/archive_extraction.h"
#include "payload/resource_writer.h"
#include "zrbinstaller/zrbscriptengine/host_arguments.h"
#include "zrbinstaller/zrbscriptengine/script_callback.h"

namespace {

using zrb::payload::ArchiveForm;
using zrb::payload::ExtractionCallbacks;

// A resource addressed by a script: a number or numeric text is an id (its
// low 16 bits), anything else a name.
class ResourceName {
 public:
  ResourceName(lua_State* L, int index)
      : id_(lua_isnumber(L, index) ? static_cast<WORD>(zrb::host::ArgInteger(L, index)) : 0),
        isId_(lua_isnumber(L, index) != 0),
        text_(isId_ ? std::wstring() : zrb::host::ArgText(L, index)) {}

  bool isId() const { return isId_; }
  const std::wstring& text() const { return text_; }
  const wchar_t* get() const { return isId_ ? MAKEINTRESOURCEW(id_) : text_.c_str(); }

 private:
  WORD id_;
  bool isId_;
  std::wstring text_;
};

bool Exists(const std::wstring& path) {
  return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The extraction's result; nothing when it could not start (traced here).
std::optional<int> UnCompress(lua_State* L, int argumentCount,
                              const ExtractionCallbacks& callbacks) {
  const std::wstring destination = zrb::host::ArgExpandedText(L, 2);
  if (!Exists(destination)) {
    zrb::Trace(L"Fun:%s, Description:%s it's not exists!\r\n", L"Lua_UnCompress7z",
               destination.c_str());
    return std::nullopt;
  }
  const bool fromFile =
      argumentCount >= 3 && lua_type(L, 3) == LUA_TBOOLEAN && zrb::host::ArgBoolean(L, 3);
  if (fromFile) {
    const std::wstring source = zrb::host::ArgExpandedText(L, 1);
    if (!Exists(source)) {
      zrb::Trace(L"Fun:%s, Description:%s it's not exists!\r\n", L"Lua_UnCompress7z",
                 source.c_str());
      return std::nullopt;
    }
    zrb::Trace(L"UnCompress %s to %s .\r\n", source.c_str(), destination.c_str());
    return zrb::payload::ExtractFromFile(source, destination, callbacks);
  }

  const ResourceName name(L, 1);
  const zrb::ModuleResource resource =
      zrb::FindModuleResource(nullptr, zrb::payload::kPayloadResourceType, name.get());
  if (!resource.ok()) {
    zrb::Trace(L"Fun:%s ,LoadResource failed!\r\n", L"Lua_UnCompress7z");
    return std::nullopt;
  }
  if (!name.isId()) {
    zrb::Trace(L"UnCompress %s to %s .\r\n", name.text().c_str(), destination.c_str());
  }
  // The resource stays as stored: the stream gives bytes 0 and 1 back in
  // archive order.
  return zrb::payload::ExtractFromMemory(resource.data, resource.size, destination, callbacks,
                                         ArchiveForm::kSignatureExchanged);
}

}  // namespace

int Lua_UnCompress7z(lua_State* L) {
  const int argumentCount = lua_gettop(L);
  if (argumentCount < 2 || argumentCount > 5) {
    lua_pushboolean(L, 0);  // +1
    return 1;
  }
  // Registry references to arguments 4 and 5 when they are functions (an
  // argument beyond the count is none), released when the call returns.
  ScriptCallback onFile(L, 4);
  ScriptCallback onCreateError(L, 5);

  ExtractionCallbacks callbacks;
  if (onFile.IsSet()) {
    callbacks.fileWritten = [&onFile](const std::wstring& path) { onFile.Call(path); };
  }
  if (onCreateError.IsSet()) {
    callbacks.createFailed = [&onCreateError](const std::wstring& path, DWORD error) {
      return onCreateError.CallWithProgress(path, error);
    };
  }

  const std::optional<int> result = UnCompress(L, argumentCount, callbacks);
  const bool extracted = result == zrb::payload::kExtractOk;
  if (extracted) {
    zrb::Trace(L"UnCompress successful.\r\n");
  } else if (result) {
    zrb::Trace(L"Fun:%s, Description: UnCompress failed.!\r\n", L"Lua_UnCompress7z");
  }
  lua_pushboolean(L, extracted);  // +1
  return 1;
}

int Lua_ExtractResource(lua_State* L) {
  const std::wstring path = zrb::host::ArgExpandedText(L, 3);
  const std::wstring type = zrb::host::ArgText(L, 1);
  const ResourceName name(L, 2);
  bool written = false;
  switch (zrb::payload::WriteResourceFile(type.c_str(), name.get(), path)) {
    case zrb::payload::ResourceWriteResult::kWritten:
      written = true;
      break;
    case zrb::payload::ResourceWriteResult::kNotFound:
      zrb::Trace(L"Fun:%s ,LoadResource failed!\r\n", L"Lua_ExtractResource");
      break;
    case zrb::payload::ResourceWriteResult::kCreateFailed:
      zrb::Trace(L"Fun:%s ,CreateFileW %s failed!\r\n", L"Lua_ExtractResource", path.c_str());
      break;
    case zrb::payload::ResourceWriteResult::kWriteFailed:
      zrb::Trace(L"Fun:%s ,WriteFile %s failed!\r\n", L"Lua_ExtractResource", path.c_str());
      break;
  }
  lua_pushboolean(L, written);  // +1
  return 1;
}
