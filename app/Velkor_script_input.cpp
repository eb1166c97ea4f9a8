// Script events into the host's queues: what the off-screen run and the
// browser page do before each frame.
#include "app/Velkor_script_input.h"

#include "widgets/interactivity_mapping.h"

namespace {

constexpr uint32_t kDown = 1;
constexpr uint32_t kUp = 2;

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
          queued = Application_PostMouseButton(app, BHVR_LEFT_BUTTON, kDown, 0);
          break;
        case kScriptRelease:
          queued = Application_PostMouseButton(app, BHVR_LEFT_BUTTON, kUp, 0);
          break;
        case kScriptClick:
          queued = Application_PostMouseButton(app, BHVR_LEFT_BUTTON, kDown, 0);
          queued = Application_PostMouseButton(app, BHVR_LEFT_BUTTON, kUp, 0) && queued;
          break;
        case kScriptRightPress:
          queued = Application_PostMouseButton(app, BHVR_RIGHT_BUTTON, kDown, 0);
          break;
        case kScriptRightRelease:
          queued = Application_PostMouseButton(app, BHVR_RIGHT_BUTTON, kUp, 0);
          break;
        case kScriptRightClick:
          queued = Application_PostMouseButton(app, BHVR_RIGHT_BUTTON, kDown, 0);
          queued = Application_PostMouseButton(app, BHVR_RIGHT_BUTTON, kUp, 0) && queued;
          break;
        case kScriptWheelUp:  // a wheel notch has no release
          queued = Application_PostMouseButton(app, BHVR_WHEEL_AWAY, kDown, 0);
          break;
        case kScriptWheelDown:
          queued = Application_PostMouseButton(app, BHVR_WHEEL_TOWARDS, kDown, 0);
          break;
        default:  // a move only sets the position
          break;
      }
    }
  }
  if (!queued) *problem = kQueueFull;
  return queued;
}
