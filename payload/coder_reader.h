// Decodes the output of one coder of a 7z folder (Copy, LZMA or LZMA2) from
// its packed stream, piece by piece, keeping only a window of the output.
#pragma once

#include <7zTypes.h>
#include <Lzma2Dec.h>
#include <LzmaDec.h>

#include "payload/sz_support.h"

namespace zrb::payload {

// Method ids of the coders that read a packed stream.
constexpr UInt32 kMethodCopy = 0;
constexpr UInt32 kMethodLzma = 0x30101;
constexpr UInt32 kMethodLzma2 = 0x21;

bool IsPackedStreamMethod(UInt32 method);

struct CoderInfo {
  UInt32 method = kMethodCopy;
  const Byte* props = nullptr;
  unsigned propsSize = 0;
  UInt64 packPosition = 0;  // of the packed stream, from the start of the archive
  UInt64 packSize = 0;
  UInt64 unpackSize = 0;
};

class CoderReader {
 public:
  CoderReader() = default;
  ~CoderReader();
  CoderReader(const CoderReader&) = delete;
  CoderReader& operator=(const CoderReader&) = delete;

  // Prepares decoding and positions `in` at the packed stream. Pieces are at
  // most `pieceLimit` bytes long. With `wholeOutput` the window holds the
  // entire output, which then stays readable through output() at the end.
  // Only one reader may read `in` at a time: Next() continues where the
  // stream was left.
  SRes Open(const CoderInfo& coder, ILookInStreamPtr in, size_t pieceLimit, bool wholeOutput);

  // Decodes the next piece of output: *size is 0 once everything was
  // delivered. The piece stays valid until the next call. Reaching the end
  // also checks that the packed stream ended there.
  SRes Next(const Byte** data, size_t* size);

  // Decodes everything that is left (for a reader opened with wholeOutput).
  SRes DecodeAll();

  UInt64 remaining() const { return outLeft_; }
  const Byte* output() const { return window_.data(); }
  size_t windowSize() const { return windowSize_; }

 private:
  void Close();
  SRes ReadCopy(size_t count);
  SRes Decode(size_t count, bool last);

  UInt32 method_ = kMethodCopy;
  ILookInStreamPtr in_ = nullptr;
  UInt64 inLeft_ = 0;
  UInt64 outLeft_ = 0;
  size_t pieceLimit_ = 0;
  HeapBlock window_;
  size_t windowSize_ = 0;
  size_t position_ = 0;  // where the next piece starts in the window
  bool lzmaReady_ = false;
  CLzmaDec lzma_ = {};
  CLzma2Dec lzma2_ = {};
};

}  // namespace zrb::payload
