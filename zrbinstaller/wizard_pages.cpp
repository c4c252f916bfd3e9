#include "zrbinstaller/wizard_pages.h"

#include "common/utility/trace.h"
#include "zrbinstaller/layout_document.h"
#include "zrbinstaller/zrbscriptengine/zrbscriptengine.h"

WizardPages::WizardPages(HINSTANCE instance, const pugi::xml_document& layout)
    : instance_(instance), layout_(layout) {}

pugi::xml_node WizardPages::FindPage(const wchar_t* name) const {
  pugi::xml_node page = FindDialogElement(layout_, name);
  if (!page) zrb::Trace(L"node <Dlg name=\"%s\"> is empty!", name);
  return page;
}

// The page windows are not part of this build yet: a run that needs them
// ends after its page element was found, with exit code 0.
bool WizardPages::RunOptionsAndProgress(ZRBScriptEngine*) {
  if (!FindPage(L"InitDlg")) return false;
  zrb::Trace(L"the wizard pages are not available in this build\r\n");
  return false;
}

bool WizardPages::RunCompletion() {
  if (!FindPage(L"CompleteDlg")) return false;
  zrb::Trace(L"the wizard pages are not available in this build\r\n");
  return false;
}
