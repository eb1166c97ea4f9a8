// The velkor program's frames recorded and compared: every frame of the
// benchmark scenes and of a click on the start screen shows, byte for byte,
// what the program shows with recording off; an idle panel stops drawing
// after its first frames and a click that changes it is drawn.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
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
#include "tests/app/run_velkor.h"

namespace {

bool any_name(const char*) {
  return true;  // the panel itself refuses a widget it did not draw
}

// FNV-1a over the frame: enough to tell two images apart, small to keep per
// frame.
uint64_t image_hash(const uint8_t* pixels, size_t bytes) {
  uint64_t hash = 1469598103934665603ull;
  for (size_t i = 0; i < bytes; ++i) {
    hash ^= pixels[i];
    hash *= 1099511628211ull;
  }
  return hash;
}

struct Frame {
  uint64_t hash;        // of the off-screen image after the frame
  uint32_t sent;        // frames sent to OpenGL so far
  uint32_t kept;        // frames not sent so far
  bool overflowed;      // some frame did not fit the stream buffer
  uint32_t peak_bytes;  // the longest stream so far
  uint32_t room_bytes;  // of each of the two halves of the buffer
};

// Plays a script through the host's off-screen mode with stream_bytes of
// recording; one Frame per frame, or empty with the reason in *problem.
std::vector<Frame> play_here(const std::string& script, uint32_t frames, uint32_t stream_bytes,
                             std::string* problem) {
  std::vector<Frame> out;
  std::vector<VelkorScriptEvent> events;
  VelkorScriptError error;
  if (!Velkor_ParseEventScript(script, frames, any_name, &events, &error)) {
    *problem = "script line " + std::to_string(error.line) + ": " + error.message;
    return out;
  }
  ApplicationParams params = g_application_data;
  params.stream_bytes = stream_bytes;
  Application* app = Application_Allocate(&params, nullptr);
  if (app == nullptr) {
    *problem = "no application";
    return out;
  }
  Application_UseSystemEvents(app, 1);
  const uint8_t* image = Application_CreateBuffer(app);
  if (image == nullptr) {
    *problem = "no off-screen OpenGL buffer";
    Application_Free(app);
    return out;
  }
  Application_Reset(app);
  const auto* c =
      static_cast<const Velkor_symbology_layer_context*>(Application_GetLayerContext(app, 0));
  const size_t bytes = static_cast<size_t>(params.width) * params.height * 4;
  size_t next = 0;
  for (uint32_t frame = 0; frame < frames; ++frame) {
    for (; next < events.size() && events[next].frame == frame; ++next) {
      if (!Velkor_RecordScriptEvent(app, c, events[next], problem)) {
        Application_Free(app);
        return {};
      }
    }
    Application_Draw(app);
    const sgl_stream_state& stream = sglGetCurrentContext()->stream;
    out.push_back({image_hash(image, bytes), stream.frames_sent, stream.frames_kept,
                   stream.overflows != 0, stream.peak_bytes, stream.capacity_words * 4});
  }
  Application_Free(app);
  return out;
}

// play_here in a child process: the panel's focus and the interactivity
// mapping live in statics that outlive an application record, so a run in
// this process would start where the last one ended.
std::vector<Frame> play(const std::string& script, uint32_t frames, uint32_t stream_bytes,
                        std::string* problem) {
  int channel[2];
  if (pipe(channel) != 0) {
    *problem = "no pipe";
    return {};
  }
  const pid_t child = fork();
  if (child == 0) {
    close(channel[0]);
    std::string reason;
    const std::vector<Frame> out = play_here(script, frames, stream_bytes, &reason);
    reason.resize(std::min<size_t>(reason.size(), 200));
    const uint32_t sizes[2] = {static_cast<uint32_t>(out.size()),
                               static_cast<uint32_t>(reason.size())};
    bool written =
        write(channel[1], sizes, sizeof sizes) == sizeof sizes &&
        write(channel[1], reason.data(), reason.size()) == static_cast<ssize_t>(reason.size());
    for (const Frame& frame : out) {
      written = written && write(channel[1], &frame, sizeof frame) == sizeof frame;
    }
    _exit(written ? 0 : 1);
  }
  close(channel[1]);
  std::vector<Frame> out;
  uint32_t sizes[2] = {0, 0};
  FILE* from_child = fdopen(channel[0], "rb");
  if (from_child != nullptr && fread(sizes, sizeof sizes, 1, from_child) == 1) {
    std::string reason(sizes[1], ' ');
    if (fread(&reason[0], 1, sizes[1], from_child) == sizes[1]) *problem = reason;
    out.resize(sizes[0]);
    if (sizes[0] > 0 && fread(out.data(), sizeof(Frame), sizes[0], from_child) != sizes[0]) {
      out.clear();
      *problem = "the run's frames did not arrive";
    }
  }
  if (from_child != nullptr) fclose(from_child);
  int status = 0;
  waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    *problem += " (the run ended abnormally)";
    out.clear();
  }
  return out;
}

std::string pop_up_scrolled_script() {
  std::string script = "0 move 900 200\n";
  for (int frame = 1; frame <= 20; ++frame) {
    script += std::to_string(frame) + " wheel down 900 200\n";
  }
  return script + "22 click 922 65\n";  // a ROM byte: the slot pop-up opens
}

struct Scene {
  const char* name;
  std::string script;
  uint32_t frames;
};

// The benchmark scenes and a click on the idle start screen.
const std::vector<Scene>& scenes() {
  static const std::vector<Scene> all = {
      {"idle start screen", "", 12},
      {"instruction set zoomed, running at Fast",
       "0 move 10 10\n1 click 530 392\n3 click @EnableExecToggleButton\n"
       "5 click @InstruktionenToggleButton\n",
       24},
      {"pop-up open over a scrolled table", pop_up_scrolled_script(), 30},
      {"FETCH clicked on the idle start screen", "8 move @DisasmButton\n9 click @DisasmButton\n",
       16},
  };
  return all;
}

TEST(RecordedFrames, EveryFrameMatchesTheProgramWithoutRecording) {
  for (const Scene& scene : scenes()) {
    SCOPED_TRACE(scene.name);
    std::string problem;
    const std::vector<Frame> plain = play(scene.script, scene.frames, 0, &problem);
    ASSERT_EQ(scene.frames, plain.size()) << problem;
    const std::vector<Frame> recorded =
        play(scene.script, scene.frames, g_application_data.stream_bytes, &problem);
    ASSERT_EQ(scene.frames, recorded.size()) << problem;
    for (uint32_t f = 0; f < scene.frames; ++f) {
      EXPECT_EQ(plain[f].hash, recorded[f].hash) << "frame " << f;
      EXPECT_EQ(f + 1, plain[f].sent) << "frame " << f << ": without recording all are sent";
    }
    // The program's buffer holds the longest of these streams twice over.
    const Frame& last = recorded.back();
    EXPECT_FALSE(last.overflowed);
    EXPECT_LE(2 * last.peak_bytes, last.room_bytes);
    std::printf("%s: longest stream %u bytes of %u\n", scene.name, last.peak_bytes,
                last.room_bytes);
  }
}

TEST(RecordedFrames, IdlePanelIsNotDrawnAgainAndAClickIs) {
  std::string problem;
  const Scene& click = scenes()[3];
  const std::vector<Frame> frames =
      play(click.script, click.frames, g_application_data.stream_bytes, &problem);
  ASSERT_EQ(click.frames, frames.size()) << problem;
  EXPECT_EQ(1u, frames[0].sent);
  // Before the pointer comes: after the first frames nothing is drawn.
  for (uint32_t f = 3; f < 8; ++f) {
    EXPECT_EQ(frames[2].sent, frames[f].sent) << "frame " << f;
    EXPECT_EQ(frames[2].hash, frames[f].hash) << "frame " << f;
  }
  // The press and what it changes are drawn, and the panel differs.
  EXPECT_GT(frames[10].sent, frames[8].sent);
  EXPECT_NE(frames[7].hash, frames[11].hash);
  // And it settles again.
  EXPECT_EQ(frames[13].sent, frames[15].sent);
}

// The velkor binary records (its description sets stream_bytes) and its
// snapshot after many idle frames is the one of a single frame.
TEST(RecordedFrames, BinarySnapshotOfAnIdlePanelIsTheFirstFramesImage) {
  ASSERT_GT(g_application_data.stream_bytes, 0u);
  velkor_test::ScratchDir dir;
  const std::string common = "--offscreen --slot-dir slots --frames ";
  ASSERT_EQ(0, velkor_test::RunVelkor(dir, common + "3 --snapshot three.bmp").status);
  ASSERT_EQ(0, velkor_test::RunVelkor(dir, common + "40 --snapshot forty.bmp").status);
  const std::string three = velkor_test::ReadFile(dir / "three.bmp");
  ASSERT_GT(three.size(), 54u);
  EXPECT_TRUE(three == velkor_test::ReadFile(dir / "forty.bmp"));
}

}  // namespace
