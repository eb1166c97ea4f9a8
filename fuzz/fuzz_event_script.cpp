// The event-script reader on arbitrary script text, as the off-screen mode
// reads a script file. Every event it accepts must lie inside the run and
// the snapshot, and a refusal must name a line of the script.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/Velkor_event_script.h"

// A broken expectation: names the line of this file, then stops the run
// so that libFuzzer saves the input.
[[noreturn]] static void fuzz_fail(int line) {
  fprintf(stderr, "%s:%d: expectation failed\n", __FILE__, line);
  abort();
}

namespace {

// Two widget names are known, as if drawn in the previous frame.
bool is_widget(const char* name) {
  return strcmp(name, "ExecButton") == 0 || strcmp(name, "RegTextEditBox") == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  uint32_t frames = data[0];
  std::string script(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::vector<VelkorScriptEvent> events;
  VelkorScriptError error;
  if (Velkor_ParseEventScript(script, frames, is_widget, &events, &error)) {
    uint32_t previous = 0;
    for (const VelkorScriptEvent& e : events) {
      if (e.frame >= frames || e.frame < previous) fuzz_fail(__LINE__);
      previous = e.frame;
      if (e.widget.empty() && e.kind <= kScriptWheelDown &&
          (e.pixel_x < 0 || e.pixel_x >= kScriptWidth || e.pixel_y < 0 ||
           e.pixel_y >= kScriptHeight))
        fuzz_fail(__LINE__);
      float x, y;
      Velkor_ScriptPixelToDisplay(e.pixel_x, e.pixel_y, &x, &y);
    }
  } else {
    if (error.line < 1 || error.message.empty()) fuzz_fail(__LINE__);
  }
  (void)Velkor_ScriptKeyCode(script);
  return 0;
}
