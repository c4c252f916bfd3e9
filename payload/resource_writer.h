// Writing a resource of the program's own module out to a file.
#pragma once

#include <string>

namespace zrb::payload {

// Resources of this type are 7z archives stored with bytes 0 and 1
// exchanged.
extern const wchar_t kPayloadResourceType[];

enum class ResourceWriteResult { kWritten, kNotFound, kCreateFailed, kWriteFailed };

// Writes resource `name` of `type` (the name may be a MAKEINTRESOURCE id) to
// the file `path`, which is created or truncated and not shared while it is
// written; its folder must exist. A payload archive (type exactly
// kPayloadResourceType) is written as a plain 7z archive.
ResourceWriteResult WriteResourceFile(const wchar_t* type, const wchar_t* name,
                                      const std::wstring& path);

}  // namespace zrb::payload
