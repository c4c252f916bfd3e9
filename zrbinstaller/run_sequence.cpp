#include "zrbinstaller/run_sequence.h"

#include <commctrl.h>

#include <pugixml.hpp>

#include "common/utility/com_ptr.h"
#include "common/utility/module_resource.h"
#include "common/utility/trace.h"
#include "common/utility/unique_handle.h"
#include "zrbinstaller/app_instance.h"
#include "zrbinstaller/app_module.h"
#include "zrbinstaller/gdiplus_session.h"
#include "zrbinstaller/layout_document.h"
#include "zrbinstaller/page_window_class.h"
#include "zrbinstaller/wizard_pages.h"
#include "zrbinstaller/zrbscriptengine/zrbscriptengine.h"

namespace {

struct RunMode {
  bool silent = false;
  bool showComplete = false;
};

bool RunScripts(ZRBScriptEngine* engine) {
  if (!engine->DoResLua(L"LUA", L"GLOBAL_VAR.LUAC")) {
    zrb::Trace(L"DoResLua failed, GLOBAL_VAR.LUAC");
    return false;
  }
  if (!engine->DoResLua(L"LUA", L"INSTSCRIPT.LUAC")) {
    zrb::Trace(L"DoResLua failed, INSTSCRIPT.LUAC");
    return false;
  }
  return true;
}

// True when another instance holds the guard (it has been brought forward).
bool AnotherInstanceRuns(ZRBScriptEngine* engine) {
  zrb::UniqueKernelHandle other(CreateAppInstance(
      engine->GetGlobalString("global_install_mutex_guid"),
      engine->GetGlobalInteger("global_app_id")));
  if (!other) return false;
  zrb::Trace(L"CreateAppInstance return true");
  return true;
}

void InitBarControls() {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
  ::InitCommonControlsEx(&controls);
}

RunMode ReadRunMode(ZRBScriptEngine* engine) {
  RunMode mode;
  if (engine->GetGlobalBoolean("global_enable_ss_install")) {
    mode.silent = engine->GetGlobalBoolean("global_ss_install");
    if (mode.silent) zrb::Trace(L"global_ss_install==true ~!\r\n");
  }
  mode.showComplete = engine->GetGlobalBoolean("global_show_completewindow");
  zrb::Trace(mode.showComplete ? L"Completewindow==true ~!\r\n" : L"Completewindow==false ~!\r\n");
  return mode;
}

bool LoadLayout(HINSTANCE instance, const RunMode& mode, pugi::xml_document* document) {
  if (mode.silent) zrb::Trace(L"SSInstall ~!\r\n");
  if (mode.showComplete) zrb::Trace(L"Completewindow ~!");
  zrb::ModuleResource resource;
  if (!LoadLayoutResource(&resource)) return false;
  RegisterPageWindowClass(instance);  // an existing registration serves as well
  return ParseLayoutDocument(resource, document);
}

void RunSilentInstall(ZRBScriptEngine* engine) {
  zrb::Trace(L"start ss install!");
  engine->SetGlobalString("InstallPath", engine->GetGlobalString("global_install_path"));
  engine->CallHook("ZRBSE_BeforeInstall");
  engine->CallHook("ZRBSE_OnInstall");
}

}  // namespace

int RunSetup(HINSTANCE instance) {
  ZRBScriptEngine* engine = ZRBScriptEngine::Instance();
  if (!RunScripts(engine)) return 0;
  if (AnotherInstanceRuns(engine)) return 0;

  zrb::ComInitScope com;
  zrb::EnsureGdiplusStarted();
  InitBarControls();
  AppModuleScope appModule(instance);

  engine->CallHook("ZRBSE_BeforeInit");
  const RunMode mode = ReadRunMode(engine);

  pugi::xml_document layout;
  const bool needsLayout = !mode.silent || mode.showComplete;
  if (needsLayout) {
    if (!LoadLayout(instance, mode, &layout)) return 0;
  }

  WizardPages pages(instance, layout);
  if (mode.silent) {
    RunSilentInstall(engine);
  } else if (!pages.RunOptionsAndProgress(engine)) {
    return 0;
  }

  engine->CallHook("ZRBSE_BeforeComplete");
  if (mode.silent || !mode.showComplete) {
    zrb::Trace(L"node <Dlg name=\"CompleteDlg\"> is hide!");
  } else if (!pages.RunCompletion()) {
    return 0;
  }
  engine->CallHook("ZRBSE_AfterComplete");
  return 1;
}
