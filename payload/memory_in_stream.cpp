#include "payload/memory_in_stream.h"

#include <windows.h>

#include <cstring>

#include "payload/sz_support.h"

namespace zrb::payload {

MemoryInStream::MemoryInStream(const Byte* bytes, size_t size, ArchiveForm form)
    : bytes_(bytes),
      size_(size),
      exchanged_(form == ArchiveForm::kSignatureExchanged && size >= 2) {
  vtable_.Read = &MemoryInStream::Read;
  vtable_.Seek = &MemoryInStream::Seek;
}

SRes MemoryInStream::Read(ISeekInStreamPtr p, void* buffer, size_t* size) {
  MemoryInStream* self = FromInterface<MemoryInStream>(p);
  const size_t left = self->position_ < self->size_ ? self->size_ - self->position_ : 0;
  const size_t count = *size < left ? *size : left;
  Byte* out = static_cast<Byte*>(buffer);
  if (count != 0) std::memcpy(out, self->bytes_ + self->position_, count);
  if (self->exchanged_) {
    // Bytes 0 and 1 come out in archive order.
    for (size_t at = self->position_; at < 2 && at < self->position_ + count; ++at) {
      out[at - self->position_] = self->bytes_[1 - at];
    }
  }
  self->position_ += count;
  *size = count;
  return SZ_OK;
}

SRes MemoryInStream::Seek(ISeekInStreamPtr p, Int64* offset, ESzSeek origin) {
  MemoryInStream* self = FromInterface<MemoryInStream>(p);
  Int64 base = 0;
  switch (origin) {
    case SZ_SEEK_SET:
      base = 0;
      break;
    case SZ_SEEK_CUR:
      base = static_cast<Int64>(self->position_);
      break;
    case SZ_SEEK_END:
      base = static_cast<Int64>(self->size_);
      break;
    default:
      return ERROR_INVALID_PARAMETER;
  }
  const Int64 target = base + *offset;
  if (target < 0 || static_cast<UInt64>(target) > static_cast<size_t>(-1)) {
    return ERROR_INVALID_PARAMETER;
  }
  self->position_ = static_cast<size_t>(target);
  *offset = target;
  return SZ_OK;
}

}  // namespace zrb::payload
