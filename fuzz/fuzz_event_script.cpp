// The event-script reader on arbitrary script files, as the off-screen mode
// reads them: the input (after its first byte, the number of frames) is
// written to a file, read back through the bounded file reader and parsed.
// Every event accepted must lie inside the run and the snapshot; no accepted
// line is longer than the limit; the events never fill a queue of the host
// past its size, replayed frame by frame here on their own; a refusal names a
// line of the script in one short line without control characters.
#include <unistd.h>

#include <algorithm>
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

#define FUZZ_EXPECT(condition)             \
  do {                                     \
    if (!(condition)) fuzz_fail(__LINE__); \
  } while (0)

namespace {

// Two widget names are known, as if drawn in the previous frame.
bool is_widget(const char* name) {
  return strcmp(name, "ExecButton") == 0 || strcmp(name, "RegTextEditBox") == 0;
}

std::string g_directory;

// The script file and its directory go when the run ends.
void remove_private_directory() {
  remove((g_directory + "/events.txt").c_str());
  rmdir(g_directory.c_str());
}

std::string script_path() {
  if (g_directory.empty()) {
    const char* base = getenv("TMPDIR");
    g_directory = std::string(base != nullptr && base[0] == '/' ? base : "/tmp") +
                  "/velkor-fuzz-script-XXXXXX";
    FUZZ_EXPECT(mkdtemp(&g_directory[0]) != nullptr);
    atexit(remove_private_directory);
  }
  return g_directory + "/events.txt";
}

size_t longest_line(const std::string& text) {
  size_t longest = 0;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    size_t length = end - start;
    if (length > 0 && text[end - 1] == '\r') --length;
    longest = std::max(longest, length);
    start = end + 1;
  }
  return longest;
}

// The queues as the host fills and empties them: the events of a frame go
// in before it is drawn, each frame takes one pointer and one key event.
bool queues_stay_within_their_size(const std::vector<VelkorScriptEvent>& events) {
  int64_t pointer = 0;
  int64_t keys = 0;
  uint32_t frame = 0;
  for (const VelkorScriptEvent& e : events) {
    for (; frame < e.frame; ++frame) {
      pointer -= pointer > 0;
      keys -= keys > 0;
    }
    if (e.kind == kScriptClick) pointer += 2;
    if (e.kind == kScriptPress || e.kind == kScriptRelease || e.kind == kScriptWheelUp ||
        e.kind == kScriptWheelDown)
      pointer += 1;
    if (e.kind == kScriptKey) keys += 2;
    if (e.kind == kScriptType) keys += 2 * static_cast<int64_t>(e.text.size());
    if (pointer > kVelkorScriptQueueEvents || keys > kVelkorScriptQueueEvents) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint32_t frames = data[0] * 8u + 1;
  FILE* file = fopen(script_path().c_str(), "wb");
  FUZZ_EXPECT(file != nullptr);
  FUZZ_EXPECT(fwrite(data + 1, 1, size - 1, file) == size - 1);
  FUZZ_EXPECT(fclose(file) == 0);

  std::string script;
  std::string problem;
  const bool read = Velkor_ReadEventScript(script_path(), &script, &problem);
  FUZZ_EXPECT(read == (size - 1 <= kVelkorScriptMaxBytes));
  FUZZ_EXPECT(!read || script == std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
  if (!read) return 0;

  std::vector<VelkorScriptEvent> events;
  VelkorScriptError error;
  if (Velkor_ParseEventScript(script, frames, is_widget, &events, &error)) {
    FUZZ_EXPECT(longest_line(script) <= kVelkorScriptMaxLineChars);
    FUZZ_EXPECT(queues_stay_within_their_size(events));
    uint32_t previous = 0;
    for (const VelkorScriptEvent& e : events) {
      FUZZ_EXPECT(e.frame < frames && e.frame >= previous);
      previous = e.frame;
      if (e.widget.empty() && e.kind <= kScriptWheelDown) {
        FUZZ_EXPECT(e.pixel_x >= 0 && e.pixel_x < kScriptWidth && e.pixel_y >= 0 &&
                    e.pixel_y < kScriptHeight);
      }
      float x, y;
      Velkor_ScriptPixelToDisplay(e.pixel_x, e.pixel_y, &x, &y);
    }
  } else {
    FUZZ_EXPECT(error.line >= 1 && !error.message.empty() && error.message.size() < 200);
    for (char c : error.message) FUZZ_EXPECT(c >= 0x20 && c < 0x7F);
  }
  (void)Velkor_ScriptKeyCode(script);
  return 0;
}
