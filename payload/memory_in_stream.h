// A seekable input stream of the 7z decoder over bytes in memory.
#pragma once

#include <7zTypes.h>

#include <cstddef>

namespace zrb::payload {

// How the first two bytes of an archive are stored. The setup keeps its
// payload resource with bytes 0 and 1 exchanged.
enum class ArchiveForm { kPlain, kSignatureExchanged };

class MemoryInStream {
 public:
  // Reads `bytes` in place: they must stay unchanged while the stream is in
  // use. With kSignatureExchanged bytes 0 and 1 are delivered exchanged
  // back; the memory itself is never written.
  MemoryInStream(const Byte* bytes, size_t size, ArchiveForm form);
  MemoryInStream(const MemoryInStream&) = delete;
  MemoryInStream& operator=(const MemoryInStream&) = delete;

  ISeekInStreamPtr stream() const { return &vtable_; }

 private:
  static SRes Read(ISeekInStreamPtr p, void* buffer, size_t* size);
  static SRes Seek(ISeekInStreamPtr p, Int64* offset, ESzSeek origin);

  ISeekInStream vtable_;  // first member: the decoder hands it back to us
  const Byte* bytes_;
  size_t size_;
  size_t position_ = 0;
  bool exchanged_;
};

}  // namespace zrb::payload
