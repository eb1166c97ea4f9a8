// The velkor command line.
#include "app/Velkor_command_line.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "app/Velkor_event_script.h"
#include "app/Velkor_excerpt.h"

namespace {

bool ends_with_ignoring_case(const std::string& text, const char* suffix) {
  const size_t n = strlen(suffix);
  return text.size() >= n && strcasecmp(text.c_str() + text.size() - n, suffix) == 0;
}

// A whole decimal number in 1 .. kVelkorMaxFrames.
bool read_frames(const char* text, uint32_t* frames) {
  if (text == nullptr || *text < '0' || *text > '9') return false;
  errno = 0;
  char* end = nullptr;
  const unsigned long long value = strtoull(text, &end, 10);
  if (errno != 0 || *end != '\0' || value == 0 || value > kVelkorMaxFrames) return false;
  *frames = static_cast<uint32_t>(value);
  return true;
}

// A whole decimal number of milliseconds in 0 .. kVelkorMaxPeriod: no sign,
// no blanks, nothing after it.
bool valid_period(const char* text) {
  if (*text == '\0') return false;
  unsigned long value = 0;
  for (const char* c = text; *c != '\0'; ++c) {
    if (*c < '0' || *c > '9') return false;
    value = value * 10 + static_cast<unsigned long>(*c - '0');
    if (value > kVelkorMaxPeriod) return false;
  }
  return true;
}

std::string quoted(const char* text) {
  return "\"" + Velkor_Excerpt(text) + "\"";
}

// The words window mode hands to the host: "-period N" and a period standing
// last, each N a valid period. The host would read anything else as 0 or
// skip it; a typo must not silently run at full speed.
bool check_host_arguments(const std::vector<std::string>& words, std::string* error) {
  for (size_t i = 1; i < words.size(); ++i) {
    const bool last = i + 1 == words.size();
    const char* word = words[i].c_str();
    if (words[i] == "-period" && last) {
      *error = "-period needs a value";
      return false;
    }
    const char* period = words[i] == "-period" ? words[++i].c_str() : last ? word : nullptr;
    if (period == nullptr) {
      *error = "unknown argument " + quoted(word);
      return false;
    }
    if (!valid_period(period)) {
      *error = "-period needs a whole number from 0 to " + std::to_string(kVelkorMaxPeriod) +
               ", not " + quoted(period);
      return false;
    }
  }
  return true;
}

bool is_offscreen_option(const char* arg) {
  return strcmp(arg, "--frames") == 0 || strcmp(arg, "--events") == 0 ||
         strcmp(arg, "--snapshot") == 0 || strcmp(arg, "--state") == 0;
}

}  // namespace

// The usage text names these numbers.
static_assert(kVelkorMaxPeriod == 60000, "usage text");
static_assert(kVelkorScriptMaxBytes == 4u << 20 && kVelkorScriptMaxLineChars == 4096, "usage text");
static_assert(kVelkorScriptQueueEvents == 1024, "usage text");

const char* Velkor_Usage() {
  return "usage: velkor [-period N | N] [--slot-dir DIR] [--renderer gl1|es2]\n"
         "       velkor --offscreen --frames N [--events FILE] [--snapshot FILE.png|FILE.bmp]\n"
         "              [--state FILE.json] [--slot-dir DIR] [--renderer gl1|es2]\n"
         "\n"
         "The simulator of a 16-bit microcontroller in a window of 1280 x 768.\n"
         "  -period N, N      cycle period in milliseconds, 0 to 60000 (default 33)\n"
         "  --slot-dir DIR    where slot1.csv .. slot10.csv live (default: here)\n"
         "  --renderer gl1    draw with OpenGL 1.x (the default); es2: with OpenGL ES 2,\n"
         "                    as the browser will\n"
         "\n"
         "Off-screen (no window, no display needed, no clock: the same script\n"
         "always gives the same state and pixels):\n"
         "  --frames N        draw N frames, numbered 0 .. N-1\n"
         "  --events FILE     event script, one event per line, # comments:\n"
         "                      FRAME move|press|release|click X Y\n"
         "                      FRAME rpress|rrelease|rclick X Y   (the right button)\n"
         "                      FRAME wheel up|down X Y\n"
         "                      FRAME key [Shift+][Ctrl+]NAME   (Enter Escape Tab Backspace\n"
         "                        Delete Insert Left Right Up Down Home End PageUp PageDown\n"
         "                        Space F1..F12, a letter A..Z; Undo and Redo are\n"
         "                        Ctrl+Z and Ctrl+Y, the panel's step back and forward)\n"
         "                      FRAME type TEXT\n"
         "                    X Y: pixels of the snapshot, origin top left; or @Widget\n"
         "                    (centre where it was drawn in the previous frame) or\n"
         "                    @Widget+DX,DY (right and up from its lower-left corner).\n"
         "                    Events of a frame are handed over before it is drawn, one\n"
         "                    pointer and one key event per frame, the rest queued.\n"
         "                    A script has at most 4 MiB and lines of at most 4096\n"
         "                    characters; at most 1024 pointer and 1024 key events\n"
         "                    wait at once (a click, a key and a typed character are\n"
         "                    two each). A script beyond these is refused with its line.\n"
         "  --snapshot FILE   the last frame as PNG or BMP\n"
         "  --state FILE      the panel's state after the last frame as JSON\n"
         "                    (both replace a file only by a whole new one, follow a\n"
         "                    link to its file, and write into a FIFO or /dev/stdout)\n"
         "  --help            this text\n";
}

bool Velkor_ParseCommandLine(int argc, const char* const* argv, VelkorOptions* options,
                             std::string* error) {
  *options = VelkorOptions();
  options->host_arguments.push_back(argc > 0 && argv[0] != nullptr ? argv[0] : "velkor");
  bool offscreen = false;
  bool frames_given = false;
  const char* offscreen_only = nullptr;
  const char* host_argument = nullptr;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (arg == nullptr) continue;
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    if (strcmp(arg, "--help") == 0 || strcmp(arg, "-h") == 0) {
      options->mode = kVelkorRunHelp;
      return true;
    }
    if (strcmp(arg, "--offscreen") == 0) {
      offscreen = true;
      continue;
    }
    if (strcmp(arg, "--renderer") == 0) {
      if (value != nullptr && strcmp(value, "gl1") == 0) {
        options->renderer = kVelkorRendererGl1;
      } else if (value != nullptr && strcmp(value, "es2") == 0) {
        options->renderer = kVelkorRendererEs2;
      } else {
        *error = "--renderer needs gl1 or es2, not " + quoted(value != nullptr ? value : "");
        return false;
      }
      ++i;
      continue;
    }
    if (strcmp(arg, "--slot-dir") == 0 || is_offscreen_option(arg)) {
      if (value == nullptr || value[0] == '\0') {
        *error = std::string(arg) + " needs a value";
        return false;
      }
      ++i;
      if (strcmp(arg, "--slot-dir") == 0) {
        options->slot_dir = value;
        continue;
      }
      offscreen_only = arg;
      if (strcmp(arg, "--frames") == 0) {
        if (!read_frames(value, &options->frames)) {
          *error = "--frames needs a whole number from 1 to " + std::to_string(kVelkorMaxFrames) +
                   ", not " + quoted(value);
          return false;
        }
        frames_given = true;
      } else if (strcmp(arg, "--events") == 0) {
        options->events = value;
      } else if (strcmp(arg, "--state") == 0) {
        options->state = value;
      } else {
        options->snapshot = value;
        options->snapshot_png = ends_with_ignoring_case(options->snapshot, ".png");
        if (!options->snapshot_png && !ends_with_ignoring_case(options->snapshot, ".bmp")) {
          *error = "--snapshot needs a file name ending in .png or .bmp";
          return false;
        }
      }
      continue;
    }
    if (strncmp(arg, "--", 2) == 0) {
      *error = "unknown option " + Velkor_Excerpt(arg);
      return false;
    }
    // The host's own arguments: -period N, a period standing last, or words
    // it skips.
    if (host_argument == nullptr) host_argument = arg;
    options->host_arguments.push_back(arg);
  }
  if (!offscreen) {
    if (offscreen_only != nullptr) {
      *error = std::string(offscreen_only) + " works only with --offscreen";
      return false;
    }
    return check_host_arguments(options->host_arguments, error);
  }
  options->mode = kVelkorRunOffscreen;
  if (host_argument != nullptr) {
    *error = "--offscreen runs without a clock and takes no " + quoted(host_argument);
    return false;
  }
  if (!frames_given) {
    *error = "--offscreen needs --frames N";
    return false;
  }
  return true;
}
