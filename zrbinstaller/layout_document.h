// The layout document: resource "LAYOUT.XML" of type "XML", UTF-16 text.
#pragma once

#include <pugixml.hpp>

#include "common/utility/module_resource.h"

// Finds and locks the layout resource. Traces and returns a failed or empty
// resource when it cannot be used.
bool LoadLayoutResource(zrb::ModuleResource* resource);

// Parses the resource's bytes as UTF-16LE XML into `document` (which keeps
// its own copy). Traces the parser's status on failure.
bool ParseLayoutDocument(const zrb::ModuleResource& resource, pugi::xml_document* document);

// The first `Dlg` child of the root element whose name attribute is `name`;
// an empty node when there is none.
pugi::xml_node FindDialogElement(const pugi::xml_document& document, const wchar_t* name);
