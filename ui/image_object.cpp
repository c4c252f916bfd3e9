#include "ui/image_object.h"

#include <cstring>

#include "common/utility/com_ptr.h"
#include "common/utility/module_resource.h"
#include "common/utility/scope_guard.h"

namespace ZRBUE {
namespace {

// A stream over a copy of the resource's bytes in a fixed global block that
// the stream frees when it is released. Throws E_FAIL for a resource that
// cannot be found, loaded or locked.
zrb::ComPtr<IStream> OpenResourceStream(LPCWSTR type, UINT resId) {
  const zrb::ModuleResource resource =
      zrb::FindModuleResource(nullptr, type, MAKEINTRESOURCEW(resId & 0xFFFF));
  if (!resource.ok()) throw HRESULT(E_FAIL);

  zrb::ComPtr<IStream> stream;
  HGLOBAL block = ::GlobalAlloc(GMEM_FIXED, resource.size);
  if (!block) return stream;
  auto freeBlock = zrb::MakeScopeGuard([&] { ::GlobalFree(block); });
  std::memcpy(block, resource.data, resource.size);
  if (SUCCEEDED(::CreateStreamOnHGlobal(block, TRUE, stream.Receive()))) freeBlock.Dismiss();
  return stream;
}

}  // namespace

// The temporary stream lives until the base is constructed; GDI+ keeps its
// own reference for as long as it needs the bytes.
ImageObject::ImageObject(LPCWSTR type, UINT resId)
    : Gdiplus::Image(OpenResourceStream(type, resId).Get()) {}

std::unique_ptr<ImageObject> LoadRequiredImage(LPCWSTR type, UINT resId) {
  if (resId == 0) throw HRESULT(E_FAIL);
  return std::make_unique<ImageObject>(type, resId);
}

}  // namespace ZRBUE
