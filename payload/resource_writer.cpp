#include "payload/resource_writer.h"

#include <windows.h>

#include <cwchar>

#include "common/utility/module_resource.h"
#include "common/utility/unique_handle.h"
#include "payload/file_write.h"

namespace zrb::payload {

const wchar_t kPayloadResourceType[] = L"_7Z";

ResourceWriteResult WriteResourceFile(const wchar_t* type, const wchar_t* name,
                                      const std::wstring& path) {
  const ModuleResource resource = FindModuleResource(nullptr, type, name);
  if (!resource.ok()) return ResourceWriteResult::kNotFound;
  UniqueFileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return ResourceWriteResult::kCreateFailed;

  const bool payload = !IS_INTRESOURCE(type) && std::wcscmp(type, kPayloadResourceType) == 0;
  bool written = false;
  if (payload && resource.size >= 2) {
    const BYTE signature[2] = {resource.data[1], resource.data[0]};
    written = WriteAll(file.Get(), signature, 2) &&
              WriteAll(file.Get(), resource.data + 2, resource.size - 2);
  } else {
    written = WriteAll(file.Get(), resource.data, resource.size);
  }
  return written ? ResourceWriteResult::kWritten : ResourceWriteResult::kWriteFailed;
}

}  // namespace zrb::payload
