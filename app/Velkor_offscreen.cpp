// The off-screen mode of the velkor program.
#include "app/Velkor_offscreen.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "app/Velkor_excerpt.h"
#include "app/Velkor_state.h"

namespace {

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
