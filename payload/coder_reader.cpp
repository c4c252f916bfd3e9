#include "payload/coder_reader.h"

#include <algorithm>
#include <cstring>

namespace zrb::payload {

namespace {

constexpr UInt32 kLzma2MaxProp = 40;

UInt32 Lzma2DictionarySize(Byte prop) {
  if (prop >= kLzma2MaxProp) return 0xFFFFFFFF;
  return (static_cast<UInt32>(2) | (prop & 1)) << (prop / 2 + 11);
}

}  // namespace

bool IsPackedStreamMethod(UInt32 method) {
  return method == kMethodCopy || method == kMethodLzma || method == kMethodLzma2;
}

CoderReader::~CoderReader() { Close(); }

void CoderReader::Close() {
  if (lzmaReady_) {
    if (method_ == kMethodLzma) LzmaDec_FreeProbs(&lzma_, HeapAllocator());
    if (method_ == kMethodLzma2) Lzma2Dec_FreeProbs(&lzma2_, HeapAllocator());
  }
  lzmaReady_ = false;
  window_.Reset();
  windowSize_ = position_ = 0;
  inLeft_ = outLeft_ = 0;
}

SRes CoderReader::Open(const CoderInfo& coder, ILookInStreamPtr in, size_t pieceLimit,
                       bool wholeOutput) {
  Close();
  method_ = coder.method;
  in_ = in;
  inLeft_ = coder.packSize;
  outLeft_ = coder.unpackSize;
  pieceLimit_ = pieceLimit;

  // How much decoded output the coder needs to look back on.
  UInt64 history = 0;
  if (method_ == kMethodCopy) {
    if (coder.packSize != coder.unpackSize) return SZ_ERROR_DATA;
  } else if (method_ == kMethodLzma) {
    LzmaDec_CONSTRUCT(&lzma_);
    RINOK(LzmaDec_AllocateProbs(&lzma_, coder.props, coder.propsSize, HeapAllocator()));
    lzmaReady_ = true;
    history = lzma_.prop.dicSize;
  } else if (method_ == kMethodLzma2) {
    if (coder.propsSize != 1) return SZ_ERROR_UNSUPPORTED;
    Lzma2Dec_CONSTRUCT(&lzma2_);
    RINOK(Lzma2Dec_AllocateProbs(&lzma2_, coder.props[0], HeapAllocator()));
    lzmaReady_ = true;
    history = Lzma2DictionarySize(coder.props[0]);
  } else {
    return SZ_ERROR_UNSUPPORTED;
  }

  // The window holds the dictionary and at least one whole piece; never
  // more than the coder's whole output.
  UInt64 window = wholeOutput ? coder.unpackSize : std::max<UInt64>(history, pieceLimit);
  window = std::min(window, coder.unpackSize);
  if (window != static_cast<size_t>(window)) return SZ_ERROR_MEM;
  windowSize_ = static_cast<size_t>(window);
  if (!window_.Allocate(windowSize_)) return SZ_ERROR_MEM;

  if (method_ == kMethodLzma) {
    lzma_.dic = window_.data();
    lzma_.dicBufSize = windowSize_;
    LzmaDec_Init(&lzma_);
  } else if (method_ == kMethodLzma2) {
    lzma2_.decoder.dic = window_.data();
    lzma2_.decoder.dicBufSize = windowSize_;
    Lzma2Dec_Init(&lzma2_);
  }
  return LookInStream_SeekTo(in_, coder.packPosition);
}

SRes CoderReader::Next(const Byte** data, size_t* size) {
  *data = nullptr;
  *size = 0;
  if (outLeft_ == 0) return SZ_OK;
  if (position_ == windowSize_) position_ = 0;  // the window wraps
  size_t count = std::min(windowSize_ - position_, pieceLimit_);
  if (count > outLeft_) count = static_cast<size_t>(outLeft_);
  const bool last = count == outLeft_;
  RINOK(method_ == kMethodCopy ? ReadCopy(count) : Decode(count, last));
  *data = window_.data() + position_;
  *size = count;
  position_ += count;
  outLeft_ -= count;
  return SZ_OK;
}

SRes CoderReader::DecodeAll() {
  const Byte* data = nullptr;
  size_t size = 0;
  do {
    RINOK(Next(&data, &size));
  } while (size != 0);
  return SZ_OK;
}

SRes CoderReader::ReadCopy(size_t count) {
  Byte* out = window_.data() + position_;
  while (count != 0) {
    const void* look = nullptr;
    size_t available = count;
    RINOK(ILookInStream_Look(in_, &look, &available));
    if (available == 0) return SZ_ERROR_INPUT_EOF;
    std::memcpy(out, look, available);
    RINOK(ILookInStream_Skip(in_, available));
    out += available;
    count -= available;
    inLeft_ -= available;
  }
  return SZ_OK;
}

SRes CoderReader::Decode(size_t count, bool last) {
  const bool lzma2 = method_ == kMethodLzma2;
  CLzmaDec& state = lzma2 ? lzma2_.decoder : lzma_;
  state.dicPos = position_;
  const SizeT limit = position_ + count;
  const ELzmaFinishMode finish = last ? LZMA_FINISH_END : LZMA_FINISH_ANY;
  for (;;) {
    const void* look = nullptr;
    size_t available =
        inLeft_ < static_cast<UInt64>(SIZE_MAX) ? static_cast<size_t>(inLeft_) : SIZE_MAX;
    RINOK(ILookInStream_Look(in_, &look, &available));
    SizeT processed = available;
    const SizeT before = state.dicPos;
    ELzmaStatus status = LZMA_STATUS_NOT_SPECIFIED;
    const SRes res = lzma2 ? Lzma2Dec_DecodeToDic(&lzma2_, limit, static_cast<const Byte*>(look),
                                                  &processed, finish, &status)
                           : LzmaDec_DecodeToDic(&lzma_, limit, static_cast<const Byte*>(look),
                                                 &processed, finish, &status);
    inLeft_ -= processed;
    RINOK(ILookInStream_Skip(in_, processed));
    RINOK(res);

    if (state.dicPos == limit) {
      if (!last) return SZ_OK;
      // The whole output is there: the packed stream must end here too.
      const bool ended = status == LZMA_STATUS_FINISHED_WITH_MARK ||
                         (!lzma2 && status == LZMA_STATUS_MAYBE_FINISHED_WITHOUT_MARK);
      if (ended) return inLeft_ == 0 ? SZ_OK : SZ_ERROR_DATA;
    } else if (status == LZMA_STATUS_FINISHED_WITH_MARK) {
      return SZ_ERROR_DATA;  // the stream ended before its stated size
    }
    if (processed == 0 && state.dicPos == before) {
      return available == 0 && inLeft_ != 0 ? SZ_ERROR_INPUT_EOF : SZ_ERROR_DATA;
    }
  }
}

}  // namespace zrb::payload
