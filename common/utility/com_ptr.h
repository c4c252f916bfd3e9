// A small owner for COM interface pointers, and owners for COM and OLE
// initialisation that remember whether they succeeded.
#pragma once

#include <objbase.h>
#include <ole2.h>

#include <utility>

namespace zrb {

template <typename Interface>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(const ComPtr& other) : ptr_(other.ptr_) {
    if (ptr_) ptr_->AddRef();
  }
  ComPtr(ComPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(ptr_, other.ptr_);
    return *this;
  }
  ~ComPtr() { Reset(); }

  // Takes over a reference the caller already holds.
  static ComPtr Attach(Interface* ptr) {
    ComPtr result;
    result.ptr_ = ptr;
    return result;
  }

  Interface* Get() const { return ptr_; }
  Interface* operator->() const { return ptr_; }
  explicit operator bool() const { return ptr_ != nullptr; }

  void Reset() {
    if (ptr_) std::exchange(ptr_, nullptr)->Release();
  }

  // For out-parameters of CoCreateInstance and QueryInterface.
  Interface** Receive() {
    Reset();
    return &ptr_;
  }
  void** ReceiveVoid() { return reinterpret_cast<void**>(Receive()); }

  template <typename Other>
  HRESULT As(const IID& iid, ComPtr<Other>* other) const {
    return ptr_ ? ptr_->QueryInterface(iid, other->ReceiveVoid()) : E_POINTER;
  }

 private:
  Interface* ptr_ = nullptr;
};

// CoInitialize for this thread, undone on scope exit when it succeeded
// (S_FALSE, already initialised, must be balanced too).
class ComInitScope {
 public:
  ComInitScope() : result_(::CoInitialize(nullptr)) {}
  ~ComInitScope() {
    if (SUCCEEDED(result_)) ::CoUninitialize();
  }
  ComInitScope(const ComInitScope&) = delete;
  ComInitScope& operator=(const ComInitScope&) = delete;
  HRESULT Result() const { return result_; }

 private:
  HRESULT result_;
};

class OleInitScope {
 public:
  OleInitScope() : result_(::OleInitialize(nullptr)) {}
  ~OleInitScope() {
    if (SUCCEEDED(result_)) ::OleUninitialize();
  }
  OleInitScope(const OleInitScope&) = delete;
  OleInitScope& operator=(const OleInitScope&) = delete;
  HRESULT Result() const { return result_; }

 private:
  HRESULT result_;
};

}  // namespace zrb
