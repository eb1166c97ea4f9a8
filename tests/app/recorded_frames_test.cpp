// Recording on or off, every frame of the program's benchmark scenes is the
// same image; an idle panel stops being drawn and a click is drawn.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "app/Velkor_application.h"
#include "app/Velkor_event_script.h"
#include "app/Velkor_offscreen.h"
#include "graphics/sgl.h"
#include "host/host_application.h"
#include "panel/Velkor_symbology_layer.h"

namespace {

struct Scene {
  const char* name;
  std::string script;
  uint32_t frames;
};

struct Frame {
  uint64_t hash;    // FNV-1a of the off-screen image after the frame
  uint32_t sent;    // frames sent to OpenGL so far
  bool overflowed;  // some frame did not fit the stream buffer
};

// Plays the scene off-screen, one Frame per frame to `fd`; 1 if it cannot.
int play_here(const Scene& scene, uint32_t stream_bytes, int fd) {
  std::vector<VelkorScriptEvent> events;
  VelkorScriptError error;
  const auto any_name = [](const char*) { return true; };  // the panel refuses unknown ones
  if (!Velkor_ParseEventScript(scene.script, scene.frames, any_name, &events, &error)) {
    std::fprintf(stderr, "script line %d: %s\n", error.line, error.message.c_str());
    return 1;
  }
  ApplicationParams params = g_application_data;
  params.stream_bytes = stream_bytes;
  Application* app = Application_Allocate(&params, nullptr);
  Application_UseSystemEvents(app, 1);
  const uint8_t* image = Application_CreateBuffer(app);
  if (image == nullptr) return 1;
  Application_Reset(app);
  const auto* c =
      static_cast<const Velkor_symbology_layer_context*>(Application_GetLayerContext(app, 0));
  std::string problem;
  size_t next = 0;
  for (uint32_t frame = 0; frame < scene.frames; ++frame) {
    for (; next < events.size() && events[next].frame == frame; ++next) {
      if (!Velkor_RecordScriptEvent(app, c, events[next], &problem)) {
        std::fprintf(stderr, "%s\n", problem.c_str());
        return 1;
      }
    }
    Application_Draw(app);
    const sgl_stream_state& stream = sglGetCurrentContext()->stream;
    Frame out{1469598103934665603ull, stream.frames_sent, stream.overflows != 0};
    for (size_t i = 0; i < static_cast<size_t>(params.width) * params.height * 4; ++i) {
      out.hash = (out.hash ^ image[i]) * 1099511628211ull;
    }
    if (write(fd, &out, sizeof out) != sizeof out) return 1;
  }
  Application_Free(app);
  return 0;
}

// play_here in a child: the panel's focus and interactivity mapping are statics.
std::vector<Frame> play(const Scene& scene, uint32_t stream_bytes) {
  int channel[2];
  if (pipe(channel) != 0) return {};
  const pid_t child = fork();
  if (child == 0) {
    close(channel[0]);
    _exit(play_here(scene, stream_bytes, channel[1]));
  }
  close(channel[1]);
  std::vector<Frame> out;
  FILE* from_child = fdopen(channel[0], "rb");
  for (Frame frame; fread(&frame, sizeof frame, 1, from_child) == 1;) out.push_back(frame);
  fclose(from_child);
  int status = 0;
  waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) out.clear();
  return out;
}

TEST(RecordedFrames, EveryFrameMatchesTheProgramWithoutRecording) {
  std::string wheel;
  for (int f = 1; f <= 20; ++f) wheel += std::to_string(f) + " wheel down 900 200\n";
  const Scene scenes[] = {
      {"idle start screen", "", 12},
      {"instruction set zoomed, running at Fast",
       "0 move 10 10\n1 click 530 392\n3 click @EnableExecToggleButton\n"
       "5 click @InstruktionenToggleButton\n",
       24},
      // The click is on a ROM byte: the slot pop-up opens.
      {"pop-up open over a scrolled table", "0 move 900 200\n" + wheel + "22 click 922 65\n", 30},
      {"FETCH recorded on the idle start screen", "8 move @DisasmButton\n9 click @DisasmButton\n",
       16},
  };
  std::vector<Frame> recorded;
  for (const Scene& scene : scenes) {
    SCOPED_TRACE(scene.name);
    const std::vector<Frame> plain = play(scene, 0);
    recorded = play(scene, g_application_data.stream_bytes);
    ASSERT_EQ(scene.frames, plain.size());
    ASSERT_EQ(scene.frames, recorded.size());
    for (uint32_t f = 0; f < scene.frames; ++f) {
      EXPECT_EQ(plain[f].hash, recorded[f].hash) << "frame " << f;
      EXPECT_EQ(f + 1, plain[f].sent) << "frame " << f << ": without recording all are sent";
    }
    EXPECT_FALSE(recorded.back().overflowed);  // the program's buffer is big enough
  }
  // The last scene: idle until the pointer comes, then the press is drawn
  // and the panel settles again.
  for (uint32_t f = 3; f < 8; ++f) EXPECT_EQ(recorded[2].sent, recorded[f].sent) << "frame " << f;
  EXPECT_GT(recorded[10].sent, recorded[8].sent);
  EXPECT_NE(recorded[7].hash, recorded[11].hash);
  EXPECT_EQ(recorded[13].sent, recorded[15].sent);
}

}  // namespace
