// The off-screen mode of the velkor program.
#include "app/Velkor_offscreen.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "app/Velkor_excerpt.h"
#include "app/Velkor_state.h"

namespace {

constexpr uint32_t kDown = 1;
constexpr uint32_t kUp = 2;
constexpr uint32_t kLeftButton = 1;
constexpr uint32_t kRightButton = 2;
constexpr uint32_t kWheelForward = 4;
constexpr uint32_t kWheelBackward = 5;

// Where a pointer event lands, in display units.
bool event_position(const Velkor_symbology_layer_context* c, const VelkorScriptEvent& event,
                    float* x, float* y, std::string* problem) {
  if (event.widget.empty()) {
    Velkor_ScriptPixelToDisplay(event.pixel_x, event.pixel_y, x, y);
    return true;
  }
  Velkor_DrawnRect rect{};
  if (!Velkor_symbology_layer_find_widget(c, event.widget.c_str(), &rect)) {
    *problem = "@" + event.widget + " was not drawn in frame " + std::to_string(event.frame - 1);
    return false;
  }
  // Off-screen, window pixels are display units.
  if (event.from_corner) {
    *x = rect.x + static_cast<float>(event.offset_x);
    *y = rect.y + static_cast<float>(event.offset_y);
  } else {
    Velkor_DrawnRectCentre(&rect, x, y);
  }
  return true;
}

// The script reader refuses a script that would fill a queue; a post that is
// dropped all the same is a fault of ours and stops the run.
constexpr const char kQueueFull[] = "an input queue is full; the event would be lost";
static_assert(kVelkorScriptQueueEvents == kApplicationQueueSize,
              "the script reader replays the host's queues");

bool record_key(Application* app, uint32_t key, uint32_t modifiers) {
  const bool down = Application_PostKey(app, key, kDown, modifiers);
  return Application_PostKey(app, key, kUp, modifiers) && down;
}

// The off-screen frame comes top-down; the writers take rows bottom-up, as
// OpenGL reads them. One copy, once, after the last frame.
bool write_snapshot(Application* app, const uint8_t* frame, const VelkorOptions& options) {
  if (!options.snapshot_png) return Application_TakeSnapshot(app, options.snapshot.c_str()) == 1;
  const ApplicationParams* params = Application_GetParams(app);
  const int32_t width = static_cast<int32_t>(params->width);
  const int32_t height = static_cast<int32_t>(params->height);
  const size_t row = static_cast<size_t>(width) * 4;
  std::vector<uint8_t> bottom_up(row * static_cast<size_t>(height));
  for (int32_t y = 0; y < height; ++y) {
    memcpy(bottom_up.data() + static_cast<size_t>(height - 1 - y) * row,
           frame + static_cast<size_t>(y) * row, row);
  }
  return Application_WritePng(options.snapshot.c_str(), bottom_up.data(), width, height);
}

}  // namespace

bool Velkor_RecordScriptEvent(Application* app, const Velkor_symbology_layer_context* c,
                              const VelkorScriptEvent& event, std::string* problem) {
  bool queued = true;
  switch (event.kind) {
    case kScriptKey:
      queued = record_key(app, event.key, event.modifiers);
      break;
    case kScriptType:
      for (uint32_t character : event.text) queued = record_key(app, character, 0) && queued;
      break;
    default: {
      float x = 0.0f;
      float y = 0.0f;
      if (!event_position(c, event, &x, &y, problem)) return false;
      Application_PostMousePosition(app, x, y);
      switch (event.kind) {
        case kScriptPress:
          queued = Application_PostMouseButton(app, kLeftButton, kDown, 0);
          break;
        case kScriptRelease:
          queued = Application_PostMouseButton(app, kLeftButton, kUp, 0);
          break;
        case kScriptClick:
          queued = Application_PostMouseButton(app, kLeftButton, kDown, 0);
          queued = Application_PostMouseButton(app, kLeftButton, kUp, 0) && queued;
          break;
        case kScriptRightPress:
          queued = Application_PostMouseButton(app, kRightButton, kDown, 0);
          break;
        case kScriptRightRelease:
          queued = Application_PostMouseButton(app, kRightButton, kUp, 0);
          break;
        case kScriptRightClick:
          queued = Application_PostMouseButton(app, kRightButton, kDown, 0);
          queued = Application_PostMouseButton(app, kRightButton, kUp, 0) && queued;
          break;
        case kScriptWheelUp:  // a wheel notch has no release
          queued = Application_PostMouseButton(app, kWheelForward, kDown, 0);
          break;
        case kScriptWheelDown:
          queued = Application_PostMouseButton(app, kWheelBackward, kDown, 0);
          break;
        default:  // a move only sets the position
          break;
      }
    }
  }
  if (!queued) *problem = kQueueFull;
  return queued;
}

int Velkor_RunOffscreen(const ApplicationParams* params, const VelkorOptions& options,
                        const std::vector<VelkorScriptEvent>& events,
                        const std::string& script_name, const char* executable) {
  Application* app = Application_Allocate(params, executable);
  if (app == nullptr) {
    fprintf(stderr, "velkor: cannot allocate the application.\n");
    return 1;
  }
  Application_UseSystemEvents(app, 1);
  const uint8_t* frame = Application_CreateBuffer(app);
  if (frame == nullptr) {
    fprintf(stderr, "velkor: no off-screen OpenGL buffer (EGL, Mesa surfaceless).\n");
    Application_Free(app);
    return 1;
  }
  // What creating the window does first.
  Application_Reset(app);
  const auto* c =
      static_cast<const Velkor_symbology_layer_context*>(Application_GetLayerContext(app, 0));
  size_t next = 0;
  for (uint32_t frame = 0; frame < options.frames; ++frame) {
    for (; next < events.size() && events[next].frame == frame; ++next) {
      std::string problem;
      if (!Velkor_RecordScriptEvent(app, c, events[next], &problem)) {
        fprintf(stderr, "velkor: %s:%d: %s\n", Velkor_Excerpt(script_name, 200).c_str(),
                events[next].line, problem.c_str());
        Application_Free(app);
        return 1;
      }
    }
    Application_Draw(app);
  }
  int status = 0;
  if (!options.snapshot.empty() && !write_snapshot(app, frame, options)) {
    fprintf(stderr, "velkor: cannot write %s\n", Velkor_Excerpt(options.snapshot, 200).c_str());
    status = 1;
  }
  if (!options.state.empty() &&
      !Velkor_WriteTextFile(options.state, Velkor_StateJson(c, options.frames))) {
    fprintf(stderr, "velkor: cannot write %s\n", Velkor_Excerpt(options.state, 200).c_str());
    status = 1;
  }
  Application_Free(app);
  return status;
}
