// Velkor_Main: the command line, then the window or the off-screen run.
#include <unistd.h>

#include <csignal>

#include <cstdio>
#include <cstdlib>

#include "app/Velkor_application.h"
#include "app/Velkor_command_line.h"
#include "app/Velkor_event_script.h"
#include "app/Velkor_excerpt.h"
#include "app/Velkor_offscreen.h"
#include "host/target_configuration.h"
#include "panel/Velkor_symbology_layer.h"

namespace {

bool is_widget_name(const char* name) {
  const int32_t count = Velkor_symbology_layer_widget_count();
  for (int32_t i = 0; i < count; ++i) {
    const char* known = Velkor_symbology_layer_widget_name(i);
    if (known != nullptr && std::string(known) == name) return true;
  }
  return false;
}

// Paths named on the command line keep meaning what they meant where the
// program was started, after it has moved to the slot directory.
std::string absolute(const std::string& path) {
  if (path.empty() || path[0] == '/') return path;
  char here[4096];
  if (getcwd(here, sizeof here) == nullptr) return path;
  return std::string(here) + "/" + path;
}

// File names in error lines: long enough to recognise, never a control sequence.
constexpr size_t kPathExcerptChars = 200;

bool enter_slot_dir(const std::string& dir) {
  if (dir.empty() || chdir(dir.c_str()) == 0) return true;
  fprintf(stderr, "velkor: cannot use the slot directory %s\n",
          Velkor_Excerpt(dir, kPathExcerptChars).c_str());
  return false;
}

// The program's description with the renderer the command line chose.
ApplicationParams with_renderer(const ApplicationParams* params, const VelkorOptions& options) {
  ApplicationParams chosen = *params;
  chosen.renderer =
      options.renderer == kVelkorRendererEs2 ? kApplicationRendererEs2 : kApplicationRendererGl1;
  return chosen;
}

int run_window(const ApplicationParams* params, const VelkorOptions& options) {
  const char* display = getenv("DISPLAY");
  if (display == nullptr || display[0] == '\0') {
    fprintf(stderr,
            "velkor: no display (DISPLAY is not set); run it under Xvfb (xvfb-run -a velkor) "
            "or off-screen (velkor --offscreen --frames 30 --snapshot velkor.png)\n");
    return 1;
  }
  if (!enter_slot_dir(options.slot_dir)) return 1;
  std::vector<const char*> arguments;
  for (const std::string& a : options.host_arguments) arguments.push_back(a.c_str());
  const ApplicationParams chosen = with_renderer(params, options);
  return RunApplication(&chosen, static_cast<int>(arguments.size()), arguments.data());
}

int run_offscreen(const ApplicationParams* params, VelkorOptions options) {
  std::vector<VelkorScriptEvent> events;
  if (!options.events.empty()) {
    const std::string name = Velkor_Excerpt(options.events, kPathExcerptChars);
    std::string script;
    std::string problem;
    if (!Velkor_ReadEventScript(options.events, &script, &problem)) {
      fprintf(stderr, "velkor: cannot read the event script %s: %s\n", name.c_str(),
              problem.c_str());
      return 2;
    }
    VelkorScriptError error;
    if (!Velkor_ParseEventScript(script, options.frames, is_widget_name, &events, &error)) {
      fprintf(stderr, "velkor: %s:%d: %s\n", name.c_str(), error.line, error.message.c_str());
      return 2;
    }
  }
  options.snapshot = absolute(options.snapshot);
  options.state = absolute(options.state);
  // A FIFO whose reader went away makes the write fail, which is reported,
  // instead of ending the program on the spot.
  signal(SIGPIPE, SIG_IGN);
  if (!enter_slot_dir(options.slot_dir)) return 1;
  char executable[4096];
  const ssize_t length = readlink("/proc/self/exe", executable, sizeof executable - 1);
  executable[length > 0 ? length : 0] = '\0';
  const ApplicationParams chosen = with_renderer(params, options);
  return Velkor_RunOffscreen(&chosen, options, events, options.events,
                             length > 0 ? executable : nullptr);
}

}  // namespace

int Velkor_Main(const ApplicationParams* params, int argc, const char* const* argv) {
  VelkorOptions options;
  std::string error;
  if (!Velkor_ParseCommandLine(argc, argv, &options, &error)) {
    fprintf(stderr, "velkor: %s (velkor --help)\n", error.c_str());
    return 2;
  }
  switch (options.mode) {
    case kVelkorRunHelp:
      fputs(Velkor_Usage(), stdout);
      return 0;
    case kVelkorRunOffscreen:
      return run_offscreen(params, options);
    default:
      return run_window(params, options);
  }
}
