// Owners for system handles. Each kind has traits naming its empty value and
// how it is closed; copying is deleted, moving transfers ownership, and
// closing keeps the caller's last-error code.
#pragma once

#include <windows.h>

#include "common/utility/last_error_keeper.h"

namespace zrb {

template <typename Traits>
class UniqueHandle {
 public:
  using Type = typename Traits::Type;

  UniqueHandle() = default;
  explicit UniqueHandle(Type value) : value_(value) {}
  UniqueHandle(UniqueHandle&& other) noexcept : value_(other.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { Reset(); }

  Type Get() const { return value_; }
  bool IsValid() const { return value_ != Traits::Empty(); }
  explicit operator bool() const { return IsValid(); }

  // Gives up ownership without closing.
  Type Release() {
    Type value = value_;
    value_ = Traits::Empty();
    return value;
  }

  void Reset(Type value = Traits::Empty()) {
    if (IsValid()) {
      LastErrorKeeper keep;
      Traits::Close(value_);
    }
    value_ = value;
  }

  // For out-parameters of creating calls: closes what is held first.
  Type* Receive() {
    Reset();
    return &value_;
  }

 private:
  Type value_ = Traits::Empty();
};

struct KernelHandleTraits {
  using Type = HANDLE;
  static Type Empty() { return nullptr; }
  static void Close(Type value) { ::CloseHandle(value); }
};

// CreateFile and a few others report failure with INVALID_HANDLE_VALUE.
struct FileHandleTraits {
  using Type = HANDLE;
  static Type Empty() { return INVALID_HANDLE_VALUE; }
  static void Close(Type value) { ::CloseHandle(value); }
};

struct FindHandleTraits {
  using Type = HANDLE;
  static Type Empty() { return INVALID_HANDLE_VALUE; }
  static void Close(Type value) { ::FindClose(value); }
};

struct RegistryKeyTraits {
  using Type = HKEY;
  static Type Empty() { return nullptr; }
  static void Close(Type value) { ::RegCloseKey(value); }
};

struct LibraryTraits {
  using Type = HMODULE;
  static Type Empty() { return nullptr; }
  static void Close(Type value) { ::FreeLibrary(value); }
};

struct ServiceHandleTraits {
  using Type = SC_HANDLE;
  static Type Empty() { return nullptr; }
  static void Close(Type value) { ::CloseServiceHandle(value); }
};

struct GdiObjectTraits {
  using Type = HGDIOBJ;
  static Type Empty() { return nullptr; }
  static void Close(Type value) { ::DeleteObject(value); }
};

struct MemoryDcTraits {
  using Type = HDC;
  static Type Empty() { return nullptr; }
  static void Close(Type value) { ::DeleteDC(value); }
};

struct LocalMemoryTraits {
  using Type = HLOCAL;
  static Type Empty() { return nullptr; }
  static void Close(Type value) { ::LocalFree(value); }
};

using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueFileHandle = UniqueHandle<FileHandleTraits>;
using UniqueFindHandle = UniqueHandle<FindHandleTraits>;
using UniqueRegistryKey = UniqueHandle<RegistryKeyTraits>;
using UniqueLibrary = UniqueHandle<LibraryTraits>;
using UniqueServiceHandle = UniqueHandle<ServiceHandleTraits>;
using UniqueGdiObject = UniqueHandle<GdiObjectTraits>;
using UniqueMemoryDc = UniqueHandle<MemoryDcTraits>;
using UniqueLocalMemory = UniqueHandle<LocalMemoryTraits>;

}  // namespace zrb
