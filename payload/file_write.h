// Writing whole buffers to files.
#pragma once

#include <windows.h>

#include <cstddef>

namespace zrb::payload {

// Largest single write call.
constexpr DWORD kWritePieceLimit = 4 << 20;

// Writes all of data[0, size) in pieces of at most kWritePieceLimit bytes;
// false on an error or a short write.
bool WriteAll(HANDLE file, const void* data, size_t size);

}  // namespace zrb::payload
