// The velkor program in a browser page (built with emscripten by make web).
//
// The page (app/web/index.html) mounts the browser's persistent storage at
// /slots before this runs, so slot1.csv .. slot10.csv live there and survive
// a reload. The cycle runs from the page's animation frames: a frame is drawn
// when the cycle period has come round (-period N in the page's arguments,
// or ?period=N in its address). With the argument --scripted no cycle runs:
// the page's own code plays event scripts (velkor_web_play), the way
// velkor --offscreen does, and reads the state back.
#include <emscripten.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/Velkor_application.h"
#include "app/Velkor_command_line.h"
#include "app/Velkor_event_script.h"
#include "app/Velkor_script_input.h"
#include "app/Velkor_state.h"
#include "host/target_configuration.h"
#include "host/web/host_web.h"

namespace {

constexpr char kSlotDir[] = "/slots";
// An animation frame that comes this much before the period is due counts
// as on time: frames come every 16.7 ms at 60 Hz, never exactly on the
// period.
constexpr double kEarlyMs = 4.0;
// After a pause (a hidden tab gets no animation frames) the cycle starts
// afresh instead of drawing the missed frames back to back.
constexpr double kMaxLagPeriods = 4.0;

Application* g_app = nullptr;
ApplicationParams g_params;
double g_period_ms = kVelkorDefaultPeriod;
double g_next_due_ms = 0.0;
// What the page shows as script time per frame.
double g_busy_ms = 0.0, g_idle_ms = 0.0;
uint32_t g_busy_frames = 0, g_idle_frames = 0;
// When a slot file last changed, to tell the page to store it.
long long g_slots_stamp = 0;
double g_next_slot_check_ms = 0.0;

bool is_widget_name(const char* name) {
  const int32_t count = Velkor_symbology_layer_widget_count();
  for (int32_t i = 0; i < count; ++i) {
    const char* known = Velkor_symbology_layer_widget_name(i);
    if (known != nullptr && std::strcmp(known, name) == 0) return true;
  }
  return false;
}

// One frame, its script time counted as busy when it changed the picture.
void draw_frame() {
  const uint32_t sent = Application_WebFramesSent(g_app);
  const double start = emscripten_get_now();
  Application_Draw(g_app);
  const double spent = emscripten_get_now() - start;
  if (Application_WebFramesSent(g_app) != sent) {
    g_busy_ms += spent;
    ++g_busy_frames;
  } else {
    g_idle_ms += spent;
    ++g_idle_frames;
  }
}

// The newest modification time and the number of the slot files: a save
// changes it.
long long slots_stamp() {
  long long stamp = 0;
  for (int slot = 1; slot <= 10; ++slot) {
    char path[64];
    snprintf(path, sizeof path, "%s/slot%d.csv", kSlotDir, slot);
    struct stat info;
    if (stat(path, &info) == 0) {
      stamp = stamp * 31 + static_cast<long long>(info.st_mtime) * 1000 + slot +
              static_cast<long long>(info.st_size);
    }
  }
  return stamp;
}

void check_slots(double now) {
  if (now < g_next_slot_check_ms) return;
  g_next_slot_check_ms = now + 500.0;
  const long long stamp = slots_stamp();
  if (stamp == g_slots_stamp) return;
  g_slots_stamp = stamp;
  EM_ASM({
    if (Module.velkorSlotsChanged) Module.velkorSlotsChanged();
  });
}

void cycle() {
  const double now = emscripten_get_now();
  if (now - g_next_due_ms > kMaxLagPeriods * g_period_ms) g_next_due_ms = now;
  if (now + kEarlyMs >= g_next_due_ms) {
    draw_frame();
    g_next_due_ms += g_period_ms;
    static bool first = true;
    if (first) {
      first = false;
      EM_ASM({
        if (Module.velkorFirstFrame) Module.velkorFirstFrame();
      });
    }
  }
  check_slots(now);
}

}  // namespace

// Plays an event script (the format of velkor --offscreen --events) for
// frames frames from the panel's present state, drawing each frame, and
// gives the state file's text (velkor --offscreen --state), or a line
// starting with "error: ".
extern "C" EMSCRIPTEN_KEEPALIVE const char* velkor_web_play(const char* script, int frames) {
  static std::string answer;
  if (g_app == nullptr) return "error: no panel (no WebGL)";
  if (script == nullptr || frames < 1 || static_cast<uint32_t>(frames) > kVelkorMaxFrames) {
    return "error: frames must be a whole number from 1 to the off-screen run's bound";
  }
  std::vector<VelkorScriptEvent> events;
  VelkorScriptError error;
  if (!Velkor_ParseEventScript(script, static_cast<uint32_t>(frames), is_widget_name, &events,
                               &error)) {
    answer = "error: line " + std::to_string(error.line) + ": " + error.message;
    return answer.c_str();
  }
  const auto* c =
      static_cast<const Velkor_symbology_layer_context*>(Application_GetLayerContext(g_app, 0));
  size_t next = 0;
  for (uint32_t frame = 0; frame < static_cast<uint32_t>(frames); ++frame) {
    for (; next < events.size() && events[next].frame == frame; ++next) {
      std::string problem;
      if (!Velkor_RecordScriptEvent(g_app, c, events[next], &problem)) {
        answer = "error: line " + std::to_string(events[next].line) + ": " + problem;
        return answer.c_str();
      }
    }
    draw_frame();
  }
  check_slots(emscripten_get_now() + 1e9);
  answer = Velkor_StateJson(c, static_cast<uint32_t>(frames));
  return answer.c_str();
}

// The centre of a widget as drawn in the last frame, in snapshot pixels
// from the top left ("x y"), or "" when it was not drawn. The page's tests
// aim real pointer events with it.
extern "C" EMSCRIPTEN_KEEPALIVE const char* velkor_web_widget(const char* name) {
  static char text[96];
  text[0] = '\0';
  if (g_app == nullptr || name == nullptr) return text;
  const auto* c =
      static_cast<const Velkor_symbology_layer_context*>(Application_GetLayerContext(g_app, 0));
  Velkor_DrawnRect rect{};
  if (!Velkor_symbology_layer_find_widget(c, name, &rect)) return text;
  float cx = 0.0f, cy = 0.0f;
  Velkor_DrawnRectCentre(&rect, &cx, &cy);
  // Display units are snapshot pixels with y turned over.
  snprintf(text, sizeof text, "%.1f %.1f", static_cast<double>(cx),
           static_cast<double>(g_params.height) - static_cast<double>(cy));
  return text;
}

// Script time per frame so far: "idle_ms busy_ms idle_frames busy_frames",
// the counts started afresh.
extern "C" EMSCRIPTEN_KEEPALIVE const char* velkor_web_frame_times() {
  static char text[128];
  snprintf(text, sizeof text, "%.4f %.4f %u %u",
           g_idle_frames > 0 ? g_idle_ms / g_idle_frames : 0.0,
           g_busy_frames > 0 ? g_busy_ms / g_busy_frames : 0.0, g_idle_frames, g_busy_frames);
  g_idle_ms = g_busy_ms = 0.0;
  g_idle_frames = g_busy_frames = 0;
  return text;
}

extern "C" EMSCRIPTEN_KEEPALIVE void velkor_web_full_screen(int on) {
  Application_WebFullScreenChanged(g_app, on);
}

int main(int argc, char** argv) {
  bool scripted = false;
  std::vector<const char*> host_arguments;
  for (int i = 0; i < argc; ++i) {
    if (std::strcmp(argv[i], "--scripted") == 0) {
      scripted = true;
    } else {
      host_arguments.push_back(argv[i]);
    }
  }
  if (chdir(kSlotDir) != 0) fprintf(stderr, "velkor: no slot folder %s\n", kSlotDir);
  g_params = g_application_data;
  g_params.renderer = kApplicationRendererEs2;
  g_period_ms = ParsePeriodArguments(static_cast<int>(host_arguments.size()), host_arguments.data(),
                                     g_params.period);
  // A module path asks for the texture scratch buffer, as on the desktop.
  g_app = Application_Allocate(&g_params, "/velkor");
  if (g_app == nullptr) {
    fprintf(stderr, "cannot allocate application.\n");
    return 1;
  }
  Application_UseSystemEvents(g_app, 1);
  if (!Application_CreateWindow(g_app, nullptr)) {
    Application_Free(g_app);
    g_app = nullptr;
    EM_ASM({
      if (Module.velkorNoWebGL) Module.velkorNoWebGL();
    });
    return 1;
  }
  g_slots_stamp = slots_stamp();
  EM_ASM({
    if (Module.velkorStarted) Module.velkorStarted();
  });
  if (!scripted) {
    g_next_due_ms = emscripten_get_now();
    emscripten_set_main_loop(cycle, 0, 0);
  }
  return 0;
}
