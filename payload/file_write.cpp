#include "payload/file_write.h"

#include <algorithm>

namespace zrb::payload {

bool WriteAll(HANDLE file, const void* data, size_t size) {
  const BYTE* bytes = static_cast<const BYTE*>(data);
  while (size != 0) {
    const DWORD piece = static_cast<DWORD>(std::min<size_t>(size, kWritePieceLimit));
    DWORD written = 0;
    if (!::WriteFile(file, bytes, piece, &written, nullptr) || written != piece) return false;
    bytes += piece;
    size -= piece;
  }
  return true;
}

}  // namespace zrb::payload
