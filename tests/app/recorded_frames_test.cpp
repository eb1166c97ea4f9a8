// Recording and partial frames on or off, every frame of the program's
// scenes (and of every reference scene) is the same image; an idle panel
// stops being drawn, a click is drawn, and a single change is drawn only
// inside its own widgets.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/Velkor_application.h"
#include "app/Velkor_event_script.h"
#include "app/Velkor_offscreen.h"
#include "graphics/sgl.h"
#include "host/host_application.h"
#include "panel/Velkor_symbology_layer.h"
#include "tests/app/run_velkor.h"
#include "tests/support/reference_images.h"

namespace {

struct Scene {
  const char* name;
  std::string script;
  uint32_t frames;
  // The widgets a single change may draw in, and the frame it comes in;
  // none: a scene without such a check.
  std::vector<const char*> widgets = {};
  uint32_t change_frame = 0;
};

struct Frame {
  uint64_t hash;            // FNV-1a of the off-screen image after the frame
  uint32_t sent;            // frames sent to OpenGL so far
  bool overflowed;          // some frame did not fit the stream buffer
  sgl_frame_damage damage;  // of the last frame sent
  float region[4];          // x0, y0, x1, y1: the scene's widgets where last drawn
};

// The widgets' rectangles as drawn in the last frame, as one.
void widgets_region(const Velkor_symbology_layer_context* c, const Scene& scene, float out[4]) {
  out[0] = out[1] = 1e9f;
  out[2] = out[3] = -1e9f;
  for (const char* name : scene.widgets) {
    Velkor_DrawnRect r{};
    if (!Velkor_symbology_layer_find_widget(c, name, &r)) continue;
    out[0] = std::min(out[0], r.x);
    out[1] = std::min(out[1], r.y);
    out[2] = std::max(out[2], r.x + r.width);
    out[3] = std::max(out[3], r.y + r.height);
  }
}

// FNV-1a over the image's 64-bit words: every bit counts, eight times
// faster than byte by byte.
uint64_t image_hash(const uint8_t* image, size_t bytes) {
  uint64_t hash = 1469598103934665603ull;
  for (size_t i = 0; i + 8 <= bytes; i += 8) {
    uint64_t word;
    std::memcpy(&word, image + i, sizeof word);
    hash = (hash ^ word) * 1099511628211ull;
  }
  return hash;
}

// Plays the scene off-screen, one Frame per frame to `fd`; 1 if it cannot.
int play_here(const Scene& scene, bool recorded, int fd) {
  std::vector<VelkorScriptEvent> events;
  VelkorScriptError error;
  const auto any_name = [](const char*) { return true; };  // the panel refuses unknown ones
  if (!Velkor_ParseEventScript(scene.script, scene.frames, any_name, &events, &error)) {
    std::fprintf(stderr, "script line %d: %s\n", error.line, error.message.c_str());
    return 1;
  }
  ApplicationParams params = g_application_data;
  if (!recorded) params.stream_bytes = 0;
  // With a path the host keeps the texture scratch buffer the fonts are
  // loaded through: without it no text would be drawn. Nothing is written
  // beside it off-screen.
  Application* app = Application_Allocate(&params, "/nonexistent/velkor");
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
    Frame out{image_hash(image, static_cast<size_t>(params.width) * params.height * 4),
              stream.frames_sent,
              stream.overflows != 0,
              *sglGetFrameDamage(),
              {}};
    widgets_region(c, scene, out.region);
    if (write(fd, &out, sizeof out) != sizeof out) return 1;
  }
  Application_Free(app);
  return 0;
}

// play_here in a child: the panel's focus and interactivity mapping are
// statics. The child works in `dir` when one is given: the program's slot
// files are read and written there.
std::vector<Frame> play(const Scene& scene, bool recorded, const std::string& dir) {
  int channel[2];
  if (pipe(channel) != 0) return {};
  const pid_t child = fork();
  if (child == 0) {
    close(channel[0]);
    if (!dir.empty() && chdir(dir.c_str()) != 0) _exit(1);
    _exit(play_here(scene, recorded, channel[1]));
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

// The program as it runs (recording, partial frames) against every call
// sent straight to OpenGL, frame by frame.
std::vector<Frame> play_both(const Scene& scene, const std::string& dir = "") {
  const std::vector<Frame> plain = play(scene, false, dir);
  const std::vector<Frame> recorded = play(scene, true, dir);
  EXPECT_EQ(scene.frames, plain.size());
  EXPECT_EQ(scene.frames, recorded.size());
  for (uint32_t f = 0; f < scene.frames && f < plain.size() && f < recorded.size(); ++f) {
    EXPECT_EQ(plain[f].hash, recorded[f].hash) << "frame " << f;
    EXPECT_EQ(f + 1, plain[f].sent) << "frame " << f << ": without recording all are sent";
  }
  if (!recorded.empty()) {
    EXPECT_FALSE(recorded.back().overflowed);  // the program's buffer is big enough
  }
  return recorded;
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
    recorded = play_both(scene);
  }
  ASSERT_EQ(16u, recorded.size());
  // The last scene: idle until the pointer comes, then the press is drawn
  // and the panel settles again.
  for (uint32_t f = 3; f < 8; ++f) EXPECT_EQ(recorded[2].sent, recorded[f].sent) << "frame " << f;
  EXPECT_GT(recorded[10].sent, recorded[8].sent);
  EXPECT_NE(recorded[7].hash, recorded[11].hash);
  EXPECT_EQ(recorded[13].sent, recorded[15].sent);
}

// A single change is drawn (and read back) only inside the widgets it
// changes: the damage of its frame lies in their rectangles, a few pixels
// around them for smoothed edges; and every frame is still the image of a
// whole redraw.
TEST(RecordedFrames, SingleChangeDamagesOnlyItsOwnWidgets) {
  const char* const kInstructionPopUp[] = {"InstruktionenPopUpPanel", "InstruktionenToggleButton"};
  const std::string run_slowly = "0 move 372 390\n1 click @EnableExecToggleButton\n";
  const Scene changes[] = {
      {"a register set through its pop-up",
       "0 move 466 717\n1 click 466 717\n3 click @RegTextEditBox\n4 key End\n"
       "5 key Backspace\n6 key Backspace\n7 key Backspace\n8 key Backspace\n9 key Backspace\n"
       "10 key Backspace\n11 type 1234\n20 key Enter\n26 click @RegPushButton\n",
       30,
       // The first action also lights "Schritt zurück".
       {"RegisterScrollPanel", "UndoButton"},
       28},
      {"the ROM marker moved to a chosen row",
       "0 move 858 131\n1 click 858 131\n",
       4,
       {"MemoryMultiColumn"},
       2},
      {"the gauge while running slowly", run_slowly, 14, {"Gauge"}, 12},
      {"the instruction pop-up opens over the running gauge",
       run_slowly + "6 click @InstruktionenToggleButton\n",
       9,
       {kInstructionPopUp[0], kInstructionPopUp[1]},
       7},
      {"and closes over it",
       run_slowly + "6 click @InstruktionenToggleButton\n10 click @InstruktionenToggleButton\n",
       13,
       {kInstructionPopUp[0], kInstructionPopUp[1]},
       11},
      {"a tool tip", "0 move 1150 700\n3 move 1150 746\n", 5, {"InfoPopUpPanel"}, 3},
  };
  for (const Scene& scene : changes) {
    SCOPED_TRACE(scene.name);
    const std::vector<Frame> recorded = play_both(scene);
    ASSERT_LT(scene.change_frame, recorded.size());
    const Frame& before = recorded[scene.change_frame - 1];
    const Frame& changed = recorded[scene.change_frame];
    ASSERT_GT(changed.sent, before.sent) << "the change was drawn";
    const sgl_frame_damage& damage = changed.damage;
    ASSERT_EQ(0u, damage.whole);
    ASSERT_GT(damage.count, 0u);
    // Where the widgets were drawn before the change or after it (a pop-up
    // that closes is not drawn after), and the width of their outlines.
    constexpr float kAround = 6.0f;
    const float region[4] = {std::min(before.region[0], changed.region[0]) - kAround,
                             std::min(before.region[1], changed.region[1]) - kAround,
                             std::max(before.region[2], changed.region[2]) + kAround,
                             std::max(before.region[3], changed.region[3]) + kAround};
    for (uint32_t i = 0; i < damage.count; ++i) {
      const sgl_pixel_rect& r = damage.rects[i];
      EXPECT_TRUE(r.x >= region[0] && r.y >= region[1] && r.x + r.width <= region[2] &&
                  r.y + r.height <= region[3])
          << "rectangle " << r.x << ", " << r.y << ", " << r.width << " x " << r.height
          << " outside " << region[0] << ", " << region[1] << " - " << region[2] << ", "
          << region[3];
    }
  }
}

// Every reference scene, frame by frame, as the program runs it against
// every call sent straight to OpenGL; each scene has changes drawn in part.
class ReferenceScene : public ::testing::TestWithParam<std::string> {};

const std::string kSceneDir = std::string(VELKOR_SOURCE_DIR) + "/tests/references/scenes";

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

// Every scene; under the sanitizers (a slow Debug build) every fourth, so
// that the memory checks see each kind of scene without the whole run.
std::vector<std::string> scenes_to_play() {
  std::vector<std::string> names = velkor_test::SceneNames(kSceneDir);
  if (!kSanitized) return names;
  std::vector<std::string> some;
  for (size_t i = 0; i < names.size(); i += 4) some.push_back(names[i]);
  return some;
}

TEST_P(ReferenceScene, EveryFrameMatchesAWholeRedraw) {
  velkor_test::Scene file;
  std::string error;
  ASSERT_TRUE(velkor_test::ReadScene(kSceneDir + "/" + GetParam() + ".events", &file, &error))
      << error;
  const Scene scene{file.name.c_str(), file.script, static_cast<uint32_t>(file.frames)};
  velkor_test::ScratchDir dir;  // the slot files a scene reads or writes
  const std::vector<Frame> recorded = play_both(scene, dir / "slots");
  uint32_t partial = 0;
  for (size_t f = 1; f < recorded.size(); ++f) {
    if (recorded[f].sent > recorded[f - 1].sent && recorded[f].damage.whole == 0) ++partial;
  }
  EXPECT_GT(partial, 0u) << "no frame of the scene was drawn in part";
}

INSTANTIATE_TEST_SUITE_P(Scenes, ReferenceScene, ::testing::ValuesIn(scenes_to_play()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           std::string name = info.param;
                           for (char& ch : name) {
                             if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           }
                           return name;
                         });

}  // namespace
