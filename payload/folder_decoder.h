// Streams the decoded contents of one 7z folder (a solid block) from first
// byte to last, so that the files in it are written as the data comes and
// only a window of the block is ever held in memory.
//
// Folder forms: one coder (Copy, LZMA, LZMA2); such a coder followed by a
// branch converter (x86 BCJ, ARM, ARMT, ARM64, PPC, SPARC, IA64, RISC-V) or
// Delta; and the four-coder BCJ2 form whose small CALL and JUMP streams are
// decoded whole while the main stream is streamed.
#pragma once

#include <7z.h>
#include <Bcj2.h>

#include <memory>

#include "payload/coder_reader.h"
#include "payload/sz_support.h"

namespace zrb::payload {

class FolderDecoder {
 public:
  // Longest piece handed out by Peek().
  static constexpr size_t kPieceLimit = 1 << 20;

  FolderDecoder();
  ~FolderDecoder();
  FolderDecoder(const FolderDecoder&) = delete;
  FolderDecoder& operator=(const FolderDecoder&) = delete;

  // Starts decoding folder `folderIndex` of `db` from `in`. Unsupported
  // coders give SZ_ERROR_UNSUPPORTED here, before any output.
  SRes Open(const CSzArEx& db, UInt32 folderIndex, ILookInStreamPtr in);
  void Close();

  bool IsOpen() const { return open_; }
  // Bytes consumed so far and the folder's whole size.
  UInt64 position() const { return position_; }
  UInt64 size() const { return size_; }

  // Makes the next decoded bytes available without consuming them: *size
  // is at least 1 unless the folder is exhausted. The view stays valid until
  // Consume() has taken all of it.
  SRes Peek(const Byte** data, size_t* size);
  // Takes `count` bytes (at most what Peek() showed). Taking the folder's
  // last byte checks the folder's checksum when the archive stores one.
  SRes Consume(size_t count);

 private:
  enum class Form { kPlain, kFilter, kBcj2 };
  struct Filter;

  SRes Refill();
  SRes RefillFiltered();
  SRes RefillBcj2();
  SRes OpenBcj2(const CSzFolder& folder, const Byte* coderData, const UInt64* unpackSizes,
                const UInt64* packPositions, UInt64 dataPos, ILookInStreamPtr in);

  bool open_ = false;
  Form form_ = Form::kPlain;
  UInt64 size_ = 0;
  UInt64 position_ = 0;
  UInt64 produced_ = 0;  // bytes made available so far
  bool checkCrc_ = false;
  UInt32 expectedCrc_ = 0;
  UInt32 crc_ = 0;

  // The current view: view_[0, viewSize_).
  const Byte* view_ = nullptr;
  size_t viewSize_ = 0;

  CoderReader main_;

  // Branch converter or Delta: converted bytes are copied out of the main
  // coder's window (whose history must stay as decoded).
  std::unique_ptr<Filter> filter_;
  HeapBlock filterBuffer_;
  size_t filterHeld_ = 0;          // bytes in the buffer after the current view
  const Byte* pending_ = nullptr;  // main output not yet copied into the buffer
  size_t pendingSize_ = 0;
  bool mainDone_ = false;

  // BCJ2.
  CoderReader call_;
  CoderReader jump_;
  HeapBlock rangeCoderStream_;
  HeapBlock bcj2Output_;
  CBcj2Dec bcj2_ = {};
};

}  // namespace zrb::payload
