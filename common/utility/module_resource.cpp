#include "common/utility/module_resource.h"

namespace zrb {

ModuleResource FindModuleResource(HMODULE module, const wchar_t* type, const wchar_t* name) {
  ModuleResource result;
  HRSRC info = ::FindResourceW(module, name, type);
  HGLOBAL loaded = info ? ::LoadResource(module, info) : nullptr;
  if (!loaded) return result;
  const void* bytes = ::LockResource(loaded);
  if (!bytes) {
    result.status = ModuleResource::Status::kNotLocked;
    return result;
  }
  result.status = ModuleResource::Status::kOk;
  result.data = static_cast<const BYTE*>(bytes);
  result.size = ::SizeofResource(module, info);
  return result;
}

}  // namespace zrb
