#include "zrbinstaller/zrbscriptengine/script_error_report.h"

#include "zrbinstaller/zrbscriptengine/lua_api.h"

#include <string>

#include "common/utility/string_conversion.h"

const wchar_t kScriptErrorCaption[] = L":-( 杯具，脚本执行时发生错误";

namespace {

const wchar_t kFeedbackRequest[] = L"请向我们反馈以上错误信息，以便我们改善产品质量！";

void AppendFormatted(std::string* text, const char* format, ...) {
  char line[1024];
  va_list args;
  va_start(args, format);
  const int length = vsnprintf(line, sizeof line, format, args);
  va_end(args);
  if (length > 0) text->append(line, static_cast<size_t>(length) < sizeof line ? length : sizeof line - 1);
}

void AppendCallStack(lua_State* L, std::string* text) {
  lua_Debug frame;
  for (int level = 0; lua_getstack(L, level, &frame); ++level) {
    lua_getinfo(L, "nSlu", &frame);  // pushes nothing: no 'f' or 'L'
    if (level == 0) text->append("      <call stack>\n");
    const char* prefix = level == 0 ? "-> | " : "--  | ";
    if (frame.name) {
      AppendFormatted(text, "%s%s() : line %d [%s : line %d]\n", prefix, frame.name,
                      frame.currentline, frame.source, frame.linedefined);
    } else {
      AppendFormatted(text, "%sunknown : line %d [%s : line %d]\n", prefix, frame.currentline,
                      frame.source, frame.linedefined);
    }
  }
}

}  // namespace

std::wstring BuildScriptErrorText(lua_State* L) {
  std::string text;
  // The error value's text form; lua_tolstring converts a number in place,
  // which is harmless for the value the handler was given.
  const char* message = lua_tolstring(L, -1, nullptr);
  text.append(message ? message : "(null)").append("\n");
  AppendCallStack(L, &text);
  // Script messages are UTF-8; chunk names are in the ANSI code page. Reading
  // valid UTF-8 as such keeps Chinese error messages legible.
  return zrb::Utf8OrThreadAnsiToWide(text) + kFeedbackRequest;
}

int ScriptErrorReport(lua_State* L) {
  const std::wstring text = BuildScriptErrorText(L);
  ::MessageBoxW(nullptr, text.c_str(), kScriptErrorCaption, MB_ICONERROR);
  ::ExitProcess(0);
}
