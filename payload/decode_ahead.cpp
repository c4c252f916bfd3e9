#include "payload/decode_ahead.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <system_error>

namespace zrb::payload {

namespace {

constexpr UInt32 kNoFolder = static_cast<UInt32>(-1);
// DecodeFolder() ends early because the reader went away.
constexpr SRes kStopped = -1;

}  // namespace

DecodeAhead::DecodeAhead(const CSzArEx& db, ILookInStreamPtr in) : db_(db), in_(in) {
  for (UInt32 index = 0; index < db.NumFiles; ++index) {
    const UInt32 folder = db.FileToFolder[index];
    if (folder == kNoFolder || SzArEx_GetFileSize(&db, index) == 0) continue;
    if (folders_.empty() || folders_.back() < folder) folders_.push_back(folder);
  }
}

DecodeAhead::~DecodeAhead() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  if (worker_.joinable()) worker_.join();
}

SRes DecodeAhead::Start() {
  for (HeapBlock& buffer : buffers_) {
    if (!buffer.Allocate(FolderDecoder::kPieceLimit)) return SZ_ERROR_MEM;
    free_.push_back(buffer.data());
  }
  try {
    worker_ = std::thread(&DecodeAhead::Work, this);
  } catch (const std::system_error&) {
    return SZ_ERROR_THREAD;
  }
  return SZ_OK;
}

void DecodeAhead::Work() {
  SRes failure = SZ_OK;
  try {
    FolderDecoder decoder;
    for (const UInt32 folder : folders_) {
      const SRes result = DecodeFolder(folder, decoder);
      if (result == kStopped) break;
      if (result != SZ_OK) {
        failure = result;
        break;
      }
    }
  } catch (const std::bad_alloc&) {
    failure = SZ_ERROR_MEM;
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    failure_ = failure;
    finished_ = true;
  }
  changed_.notify_all();
}

SRes DecodeAhead::DecodeFolder(UInt32 folder, FolderDecoder& decoder) {
  RINOK(decoder.Open(db_, folder, in_));
  while (decoder.position() < decoder.size()) {
    const Byte* data = nullptr;
    size_t size = 0;
    RINOK(decoder.Peek(&data, &size));
    Byte* buffer = TakeFreeBuffer();
    if (!buffer) return kStopped;
    size = std::min(size, FolderDecoder::kPieceLimit);
    std::memcpy(buffer, data, size);
    Piece piece;
    piece.folder = folder;
    piece.start = decoder.position();
    piece.data = buffer;
    piece.size = size;
    piece.errorAfter = decoder.Consume(size);
    Push(piece);
    if (piece.errorAfter != SZ_OK) return kStopped;  // the reader learns it with the piece
  }
  return SZ_OK;
}

Byte* DecodeAhead::TakeFreeBuffer() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return stopping_ || !free_.empty(); });
  if (stopping_) return nullptr;
  Byte* buffer = free_.back();
  free_.pop_back();
  return buffer;
}

void DecodeAhead::Push(const Piece& piece) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ready_.push_back(piece);
  }
  changed_.notify_all();
}

DecodeAhead::Piece* DecodeAhead::Front(SRes* error) {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return !ready_.empty() || finished_; });
  if (ready_.empty()) {
    *error = failure_ != SZ_OK ? failure_ : SZ_ERROR_FAIL;
    return nullptr;
  }
  // The worker only appends: the front element stays put while we use it.
  return &ready_.front();
}

void DecodeAhead::DropFront() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (ready_.front().data) free_.push_back(ready_.front().data);
    ready_.pop_front();
  }
  taken_ = 0;
  changed_.notify_all();
}

SRes DecodeAhead::SeekTo(UInt32 folder, UInt64 offset) {
  if (!started_) {
    started_ = true;
    startError_ = Start();
  }
  RINOK(startError_);
  for (;;) {
    SRes error = SZ_OK;
    Piece* piece = Front(&error);
    if (!piece) return error;
    if (piece->folder > folder) return SZ_ERROR_FAIL;
    if (piece->folder == folder && offset < piece->start + piece->size) {
      if (offset < piece->start + taken_) return SZ_ERROR_FAIL;  // backwards
      taken_ = static_cast<size_t>(offset - piece->start);
      folder_ = folder;
      return SZ_OK;
    }
    // Skipped data still reports a bad folder checksum.
    if (piece->errorAfter != SZ_OK) return piece->errorAfter;
    DropFront();
  }
}

SRes DecodeAhead::Peek(const Byte** data, size_t* size) {
  SRes error = SZ_OK;
  Piece* piece = Front(&error);
  if (!piece) return error;
  if (piece->folder != folder_) return SZ_ERROR_FAIL;
  *data = piece->data + taken_;
  *size = piece->size - taken_;
  return SZ_OK;
}

SRes DecodeAhead::Consume(size_t count) {
  SRes error = SZ_OK;
  Piece* piece = Front(&error);
  if (!piece) return error;
  if (piece->size - taken_ < count) return SZ_ERROR_FAIL;
  taken_ += count;
  if (taken_ < piece->size) return SZ_OK;
  const SRes result = piece->errorAfter;
  DropFront();
  return result;
}

}  // namespace zrb::payload
