// The three wizard pages in their order, each run in a message loop of the
// main thread.
#pragma once

#include <windows.h>

#include <pugixml.hpp>

class ZRBScriptEngine;

class WizardPages {
 public:
  WizardPages(HINSTANCE instance, const pugi::xml_document& layout);

  // The options page, ZRBSE_BeforeInstall and the progress page. True when
  // both pages ended with result 1.
  bool RunOptionsAndProgress(ZRBScriptEngine* engine);

  // The completion page; true when it ended with result 1.
  bool RunCompletion();

 private:
  pugi::xml_node FindPage(const wchar_t* name) const;

  HINSTANCE instance_;
  const pugi::xml_document& layout_;
};
