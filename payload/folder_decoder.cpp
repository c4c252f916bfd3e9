#include "payload/folder_decoder.h"

#include <7zCrc.h>
#include <Bra.h>
#include <CpuArch.h>
#include <Delta.h>

#include <algorithm>
#include <cstring>

namespace zrb::payload {

namespace {

constexpr UInt32 kMethodBcj2 = 0x303011B;
constexpr UInt32 kMethodDelta = 3;
constexpr UInt32 kMethodX86 = 0x3030103;
constexpr UInt32 kMethodPpc = 0x3030205;
constexpr UInt32 kMethodIa64 = 0x3030401;
constexpr UInt32 kMethodArm = 0x3030501;
constexpr UInt32 kMethodArmThumb = 0x3030701;
constexpr UInt32 kMethodSparc = 0x3030805;
constexpr UInt32 kMethodArm64 = 0xA;
constexpr UInt32 kMethodRiscV = 0xB;

// Stands in for an empty input of the BCJ2 decoder.
const Byte kNoBytes[4] = {};

bool IsPackedStreamCoder(const CSzCoderInfo& coder) {
  return coder.NumStreams == 1 && IsPackedStreamMethod(coder.MethodID);
}

CoderInfo InfoOf(const CSzCoderInfo& coder, const Byte* coderData, const UInt64* packPositions,
                 unsigned packIndex, UInt64 dataPos, UInt64 unpackSize) {
  CoderInfo info;
  info.method = coder.MethodID;
  info.props = coderData + coder.PropsOffset;
  info.propsSize = coder.PropsSize;
  info.packPosition = dataPos + packPositions[packIndex];
  info.packSize = packPositions[packIndex + 1] - packPositions[packIndex];
  info.unpackSize = unpackSize;
  return info;
}

}  // namespace

// A converter that undoes a filter in place, as far as the data allows.
struct FolderDecoder::Filter {
  UInt32 method = 0;
  UInt32 pc = 0;
  UInt32 x86State = Z7_BRANCH_CONV_ST_X86_STATE_INIT_VAL;
  z7_Func_BranchConv convert = nullptr;
  unsigned deltaDistance = 0;
  Byte deltaState[DELTA_STATE_SIZE] = {};

  SRes Init(const CSzCoderInfo& coder, const Byte* coderData) {
    method = coder.MethodID;
    const Byte* props = coderData + coder.PropsOffset;
    const unsigned propsSize = coder.PropsSize;
    switch (method) {
      case kMethodDelta:
        if (propsSize != 1) return SZ_ERROR_UNSUPPORTED;
        deltaDistance = props[0] + 1u;
        Delta_Init(deltaState);
        return SZ_OK;
      case kMethodArm64:
      case kMethodRiscV:
        // An optional start address.
        if (propsSize == 4) {
          pc = GetUi32(props);
          if (pc & (method == kMethodArm64 ? 3 : 1)) return SZ_ERROR_UNSUPPORTED;
        } else if (propsSize != 0) {
          return SZ_ERROR_UNSUPPORTED;
        }
        convert = method == kMethodArm64 ? Z7_BRANCH_CONV_DEC(ARM64) : Z7_BRANCH_CONV_DEC(RISCV);
        return SZ_OK;
      default:
        break;
    }
    if (propsSize != 0) return SZ_ERROR_UNSUPPORTED;
    switch (method) {
      case kMethodX86:
        return SZ_OK;
      case kMethodPpc:
        convert = Z7_BRANCH_CONV_DEC_2(BranchConv_PPC);
        return SZ_OK;
      case kMethodIa64:
        convert = Z7_BRANCH_CONV_DEC(IA64);
        return SZ_OK;
      case kMethodArm:
        convert = Z7_BRANCH_CONV_DEC(ARM);
        return SZ_OK;
      case kMethodArmThumb:
        convert = Z7_BRANCH_CONV_DEC(ARMT);
        return SZ_OK;
      case kMethodSparc:
        convert = Z7_BRANCH_CONV_DEC(SPARC);
        return SZ_OK;
      default:
        return SZ_ERROR_UNSUPPORTED;
    }
  }

  // Converts what it can of data[0, size); returns the count of leading
  // bytes that are final. The rest must be offered again with more data.
  size_t Convert(Byte* data, size_t size) {
    if (method == kMethodDelta) {
      Delta_Decode(deltaState, deltaDistance, data, size);
      return size;
    }
    Byte* end = method == kMethodX86 ? z7_BranchConvSt_X86_Dec(data, size, pc, &x86State)
                                     : convert(data, size, pc);
    const size_t done = static_cast<size_t>(end - data);
    pc += static_cast<UInt32>(done);
    return done;
  }
};

FolderDecoder::FolderDecoder() = default;
FolderDecoder::~FolderDecoder() = default;

void FolderDecoder::Close() {
  open_ = false;
  filter_.reset();
  filterBuffer_.Reset();
  bcj2Output_.Reset();
  rangeCoderStream_.Reset();
  view_ = pending_ = nullptr;
  viewSize_ = pendingSize_ = filterHeld_ = 0;
  position_ = produced_ = size_ = 0;
  mainDone_ = false;
}

SRes FolderDecoder::Open(const CSzArEx& db, UInt32 folderIndex, ILookInStreamPtr in) {
  Close();
  const CSzAr& ar = db.db;
  if (folderIndex >= ar.NumFolders) return SZ_ERROR_ARCHIVE;
  const Byte* coderData = ar.CodersData + ar.FoCodersOffsets[folderIndex];
  CSzData sd;
  sd.Data = coderData;
  sd.Size = ar.FoCodersOffsets[folderIndex + 1] - ar.FoCodersOffsets[folderIndex];
  CSzFolder folder;
  RINOK(SzGetNextFolderItem(&folder, &sd));
  if (sd.Size != 0 || folder.UnpackStream != ar.FoToMainUnpackSizeIndex[folderIndex]) {
    return SZ_ERROR_ARCHIVE;
  }

  size_ = SzAr_GetFolderUnpackSize(&ar, folderIndex);
  checkCrc_ = SzBitWithVals_Check(&ar.FolderCRCs, folderIndex);
  expectedCrc_ = checkCrc_ ? ar.FolderCRCs.Vals[folderIndex] : 0;
  crc_ = CRC_INIT_VAL;
  const UInt64* unpackSizes = ar.CoderUnpackSizes + ar.FoToCoderUnpackSizes[folderIndex];
  const UInt64* packPositions = ar.PackPositions + ar.FoStartPackStreamIndex[folderIndex];

  if (folder.NumCoders == 0 || !IsPackedStreamCoder(folder.Coders[0])) {
    // BCJ2 leads with a packed-stream coder too; anything else is foreign.
    return SZ_ERROR_UNSUPPORTED;
  }
  const bool onePackStream = folder.NumPackStreams == 1 && folder.PackStreams[0] == 0;
  if (folder.NumCoders == 1) {
    if (!onePackStream || folder.NumBonds != 0) return SZ_ERROR_UNSUPPORTED;
    form_ = Form::kPlain;
    RINOK(main_.Open(InfoOf(folder.Coders[0], coderData, packPositions, 0, db.dataPos, size_), in,
                     kPieceLimit, false));
  } else if (folder.NumCoders == 2) {
    const CSzCoderInfo& coder = folder.Coders[1];
    if (!onePackStream || coder.NumStreams != 1 || folder.NumBonds != 1 ||
        folder.Bonds[0].InIndex != 1 || folder.Bonds[0].OutIndex != 0) {
      return SZ_ERROR_UNSUPPORTED;
    }
    form_ = Form::kFilter;
    filter_ = std::make_unique<Filter>();
    RINOK(filter_->Init(coder, coderData));
    // A filter keeps the length of its input.
    if (unpackSizes[0] != size_) return SZ_ERROR_DATA;
    if (!filterBuffer_.Allocate(static_cast<size_t>(std::min<UInt64>(size_, kPieceLimit)))) {
      return SZ_ERROR_MEM;
    }
    RINOK(main_.Open(InfoOf(folder.Coders[0], coderData, packPositions, 0, db.dataPos, size_), in,
                     kPieceLimit, false));
  } else if (folder.NumCoders == 4) {
    form_ = Form::kBcj2;
    RINOK(OpenBcj2(folder, coderData, unpackSizes, packPositions, db.dataPos, in));
  } else {
    return SZ_ERROR_UNSUPPORTED;
  }
  open_ = true;
  return SZ_OK;
}

SRes FolderDecoder::OpenBcj2(const CSzFolder& folder, const Byte* coderData,
                             const UInt64* unpackSizes, const UInt64* packPositions, UInt64 dataPos,
                             ILookInStreamPtr in) {
  // Coder 0 gives the JUMP stream, coder 1 the CALL stream, coder 2 the main
  // stream; coder 3 joins them with the range coder's stream (pack stream 1).
  const CSzCoderInfo& bcj2 = folder.Coders[3];
  if (!IsPackedStreamCoder(folder.Coders[1]) || !IsPackedStreamCoder(folder.Coders[2]) ||
      bcj2.MethodID != kMethodBcj2 || bcj2.NumStreams != 4) {
    return SZ_ERROR_UNSUPPORTED;
  }
  if (folder.NumPackStreams != 4 || folder.PackStreams[0] != 2 || folder.PackStreams[1] != 6 ||
      folder.PackStreams[2] != 1 || folder.PackStreams[3] != 0 || folder.NumBonds != 3 ||
      folder.Bonds[0].InIndex != 5 || folder.Bonds[0].OutIndex != 0 ||
      folder.Bonds[1].InIndex != 4 || folder.Bonds[1].OutIndex != 1 ||
      folder.Bonds[2].InIndex != 3 || folder.Bonds[2].OutIndex != 2) {
    return SZ_ERROR_UNSUPPORTED;
  }
  const UInt64 jumpSize = unpackSizes[0];
  const UInt64 callSize = unpackSizes[1];
  const UInt64 mainSize = unpackSizes[2];
  // The converter turns every 4 bytes of CALL and JUMP into 4 bytes of
  // output: the three streams add up to the folder.
  if ((jumpSize & 3) != 0 || (callSize & 3) != 0 || jumpSize > size_ ||
      callSize > size_ - jumpSize || mainSize != size_ - jumpSize - callSize) {
    return SZ_ERROR_DATA;
  }

  RINOK(jump_.Open(InfoOf(folder.Coders[0], coderData, packPositions, 3, dataPos, jumpSize), in,
                   kPieceLimit, true));
  RINOK(jump_.DecodeAll());
  RINOK(call_.Open(InfoOf(folder.Coders[1], coderData, packPositions, 2, dataPos, callSize), in,
                   kPieceLimit, true));
  RINOK(call_.DecodeAll());

  const UInt64 rangeCoderSize = packPositions[2] - packPositions[1];
  if (rangeCoderSize != static_cast<size_t>(rangeCoderSize)) return SZ_ERROR_MEM;
  if (!rangeCoderStream_.Allocate(static_cast<size_t>(rangeCoderSize))) return SZ_ERROR_MEM;
  RINOK(LookInStream_SeekTo(in, dataPos + packPositions[1]));
  RINOK(LookInStream_Read(in, rangeCoderStream_.data(), rangeCoderStream_.size()));

  if (!bcj2Output_.Allocate(static_cast<size_t>(std::min<UInt64>(size_, kPieceLimit)))) {
    return SZ_ERROR_MEM;
  }
  RINOK(main_.Open(InfoOf(folder.Coders[2], coderData, packPositions, 0, dataPos, mainSize), in,
                   kPieceLimit, false));

  Bcj2Dec_Init(&bcj2_);
  bcj2_.bufs[BCJ2_STREAM_MAIN] = bcj2_.lims[BCJ2_STREAM_MAIN] = kNoBytes;
  bcj2_.bufs[BCJ2_STREAM_CALL] = call_.output();
  bcj2_.lims[BCJ2_STREAM_CALL] = call_.output() + static_cast<size_t>(callSize);
  bcj2_.bufs[BCJ2_STREAM_JUMP] = jump_.output();
  bcj2_.lims[BCJ2_STREAM_JUMP] = jump_.output() + static_cast<size_t>(jumpSize);
  bcj2_.bufs[BCJ2_STREAM_RC] = rangeCoderStream_.data();
  bcj2_.lims[BCJ2_STREAM_RC] = rangeCoderStream_.data() + rangeCoderStream_.size();
  return SZ_OK;
}

SRes FolderDecoder::Peek(const Byte** data, size_t* size) {
  if (viewSize_ == 0 && produced_ < size_) {
    RINOK(Refill());
    if (viewSize_ == 0) return SZ_ERROR_DATA;
  }
  *data = view_;
  *size = viewSize_;
  return SZ_OK;
}

SRes FolderDecoder::Consume(size_t count) {
  if (count > viewSize_) return SZ_ERROR_FAIL;
  if (checkCrc_) crc_ = CrcUpdate(crc_, view_, count);
  view_ += count;
  viewSize_ -= count;
  position_ += count;
  if (position_ == size_ && checkCrc_ && CRC_GET_DIGEST(crc_) != expectedCrc_) {
    return SZ_ERROR_CRC;
  }
  return SZ_OK;
}

SRes FolderDecoder::Refill() {
  switch (form_) {
    case Form::kPlain: {
      RINOK(main_.Next(&view_, &viewSize_));
      produced_ += viewSize_;
      return SZ_OK;
    }
    case Form::kFilter:
      return RefillFiltered();
    case Form::kBcj2:
      return RefillBcj2();
  }
  return SZ_ERROR_FAIL;
}

SRes FolderDecoder::RefillFiltered() {
  Byte* buffer = filterBuffer_.data();
  const size_t capacity = filterBuffer_.size();
  // Bytes the converter held back last time (right after the consumed view)
  // move to the front.
  if (filterHeld_ != 0) std::memmove(buffer, view_, filterHeld_);
  size_t length = filterHeld_;
  while (length < capacity && !mainDone_) {
    if (pendingSize_ == 0) {
      RINOK(main_.Next(&pending_, &pendingSize_));
      if (pendingSize_ == 0) {
        mainDone_ = true;
        break;
      }
    }
    const size_t take = std::min(pendingSize_, capacity - length);
    std::memcpy(buffer + length, pending_, take);
    pending_ += take;
    pendingSize_ -= take;
    length += take;
  }
  size_t done = filter_->Convert(buffer, length);
  // At the end of the stream the unconverted tail is stored as it was.
  if (mainDone_) done = length;
  if (done == 0 && length != 0) return SZ_ERROR_FAIL;
  view_ = buffer;
  viewSize_ = done;
  filterHeld_ = length - done;
  produced_ += done;
  return SZ_OK;
}

SRes FolderDecoder::RefillBcj2() {
  Byte* out = bcj2Output_.data();
  const UInt64 left = size_ - produced_;
  bcj2_.dest = out;
  bcj2_.destLim =
      out + (left < bcj2Output_.size() ? static_cast<size_t>(left) : bcj2Output_.size());
  for (;;) {
    if (Bcj2Dec_Decode(&bcj2_) != SZ_OK) return SZ_ERROR_DATA;
    if (bcj2_.state != BCJ2_STREAM_MAIN || bcj2_.dest == bcj2_.destLim) break;
    // The main stream ran dry: give it the next piece.
    const Byte* piece = nullptr;
    size_t pieceSize = 0;
    RINOK(main_.Next(&piece, &pieceSize));
    if (pieceSize == 0) break;
    bcj2_.bufs[BCJ2_STREAM_MAIN] = piece;
    bcj2_.lims[BCJ2_STREAM_MAIN] = piece + pieceSize;
  }
  view_ = out;
  viewSize_ = static_cast<size_t>(bcj2_.dest - out);
  produced_ += viewSize_;
  if (produced_ == size_) {
    // Every input stream must be used up exactly.
    for (unsigned i = 0; i < BCJ2_NUM_STREAMS; ++i) {
      if (bcj2_.bufs[i] != bcj2_.lims[i]) return SZ_ERROR_DATA;
    }
    if (main_.remaining() != 0 || !Bcj2Dec_IsMaybeFinished_code(&bcj2_) ||
        (bcj2_.state != BCJ2_STREAM_MAIN && bcj2_.state != BCJ2_DEC_STATE_ORIG)) {
      return SZ_ERROR_DATA;
    }
  }
  return SZ_OK;
}

}  // namespace zrb::payload
