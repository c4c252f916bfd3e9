#include "payload/sz_support.h"

#include <cstdlib>

namespace zrb::payload {

namespace {

void* HeapAlloc(ISzAllocPtr, size_t size) { return size == 0 ? nullptr : std::malloc(size); }
void HeapFree(ISzAllocPtr, void* address) { std::free(address); }

const ISzAlloc kHeapAllocator = {HeapAlloc, HeapFree};

}  // namespace

ISzAllocPtr HeapAllocator() { return &kHeapAllocator; }

bool HeapBlock::Allocate(size_t size) {
  Reset();
  if (size == static_cast<size_t>(-1)) return false;
  // One spare byte so that an empty block still has an address.
  data_ = static_cast<Byte*>(std::malloc(size + 1));
  if (!data_) return false;
  size_ = size;
  return true;
}

void HeapBlock::Reset() {
  std::free(data_);
  data_ = nullptr;
  size_ = 0;
}

}  // namespace zrb::payload
