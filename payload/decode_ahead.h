// Decodes an archive's solid blocks on a worker thread, a few pieces ahead of
// the thread that writes the files, so that decoding and file system work
// overlap. Memory stays bounded: the decoder's window plus kDepth pieces.
//
// The worker reads the archive's input stream exclusively once it runs;
// callers use only the reading side below, from one thread.
#pragma once

#include <7z.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "payload/folder_decoder.h"
#include "payload/sz_support.h"

namespace zrb::payload {

class DecodeAhead {
 public:
  // Decoded pieces waiting for the reader, at most.
  static constexpr size_t kDepth = 4;

  DecodeAhead(const CSzArEx& db, ILookInStreamPtr in);
  // Stops the worker and waits for it.
  ~DecodeAhead();
  DecodeAhead(const DecodeAhead&) = delete;
  DecodeAhead& operator=(const DecodeAhead&) = delete;

  // Moves to byte `offset` of folder `folder`, dropping what comes before.
  // Folders are visited in increasing order, and within one folder forwards
  // only. Errors of opening or decoding the folder come back here or from
  // the calls below, at the position where they arose.
  SRes SeekTo(UInt32 folder, UInt64 offset);
  // The next decoded bytes of the current folder (at least one).
  SRes Peek(const Byte** data, size_t* size);
  // Takes `count` bytes of what Peek() showed. Taking a folder's last byte
  // reports a mismatch of the folder's stored checksum.
  SRes Consume(size_t count);

 private:
  struct Piece {
    UInt32 folder = 0;
    UInt64 start = 0;  // offset of data[0] in the folder
    Byte* data = nullptr;
    size_t size = 0;
    SRes errorAfter = SZ_OK;  // reported once the piece has been taken
  };

  SRes Start();
  void Work();
  SRes DecodeFolder(UInt32 folder, FolderDecoder& decoder);
  // Worker side: waits for a free buffer; null when stopping.
  Byte* TakeFreeBuffer();
  void Push(const Piece& piece);
  // Reader side: waits for the next piece; null when no more will come
  // (then *error tells why: the worker's failure, or SZ_ERROR_FAIL when
  // the reader asked for more than the archive holds).
  Piece* Front(SRes* error);
  void DropFront();

  const CSzArEx& db_;
  ILookInStreamPtr in_;
  std::vector<UInt32> folders_;  // folders holding file data, in order
  HeapBlock buffers_[kDepth];

  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Piece> ready_;
  std::vector<Byte*> free_;
  bool stopping_ = false;
  bool finished_ = false;  // the worker pushes nothing more
  SRes failure_ = SZ_OK;   // why the worker stopped early
  std::thread worker_;

  // Reader state.
  bool started_ = false;
  SRes startError_ = SZ_OK;
  UInt32 folder_ = 0;
  size_t taken_ = 0;  // bytes of the front piece already consumed
};

}  // namespace zrb::payload
