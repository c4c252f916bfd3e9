#include "zrbinstaller/layout_document.h"

#include "common/utility/trace.h"

bool LoadLayoutResource(zrb::ModuleResource* resource) {
  *resource = zrb::FindModuleResource(nullptr, L"XML", L"LAYOUT.XML");
  switch (resource->status) {
    case zrb::ModuleResource::Status::kNotLoaded:
      TraceWin32Error(L"LoadResource failed. type : XML, id : LAYOUT.XML");
      return false;
    case zrb::ModuleResource::Status::kNotLocked:
      TraceWin32Error(L"LockResource failed.");
      return false;
    case zrb::ModuleResource::Status::kOk:
      break;
  }
  if (resource->size == 0) {
    zrb::Trace(L"ResSize == 0\r\n");
    return false;
  }
  return true;
}

bool ParseLayoutDocument(const zrb::ModuleResource& resource, pugi::xml_document* document) {
  const pugi::xml_parse_result result = document->load_buffer(
      resource.data, resource.size, pugi::parse_default, pugi::encoding_utf16_le);
  if (!result) {
    zrb::Trace(L"Load_buffer failed, %S\r\n", result.description());
    return false;
  }
  return true;
}

pugi::xml_node FindDialogElement(const pugi::xml_document& document, const wchar_t* name) {
  return document.document_element().find_child_by_attribute(L"Dlg", L"name", name);
}
