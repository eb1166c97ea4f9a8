// The whole panel frame, off-screen at 1280 x 768, as the velkor program
// draws it: the host's frame (reset, clear, input, predraw, passes 0-2, the
// step entry, the read-back of the pixels), in three scenes:
//   BM_PanelIdle          the start screen, nothing happening;
//   BM_PanelFastZoomed    the instruction set zoomed while execution runs
//                         continuously at "Fast";
//   BM_PanelPopUpScrolled the ROM table scrolled and the slot pop-up open;
// and single frames, the scene played up to them each time:
//   BM_PanelFetchClick    the frame of a FETCH/DECODE click on the start screen;
//   BM_PanelPopUpOpening  the frame the zoomed instruction pop-up opens in.
// The program records its frames, so a frame equal to the last one is not
// drawn again, and a changed one is drawn only where it changed; the
// counters "sent" (share of frames drawn), "damaged" (share of the screen
// drawn per frame) and "stream_kB" (longest frame recorded) say how much of
// that each scene saw. The busy scenes are also timed with partial frames
// off (…Whole: every changed frame drawn whole, as before they existed), so
// that one run shows what partial frames save.
// Each iteration also draws a plain OpenGL frame of about the same size and
// pixel coverage on the same context and reports the ratio panel / plain,
// which stays meaningful on a loaded machine where absolute times wander.
// BM_RawGlScene is that plain frame alone; BM_StartToFirstFrame is a whole
// start: record, off-screen buffer, reset (the font table decoded), first
// frame, teardown.
// The same scenes and the start again with the OpenGL ES 2 renderer (the
// ...Es2 benchmarks, after the others: one off-screen context at a time);
// their plain frame would need OpenGL 1.x, so they have no ratio of their
// own and the table sets them against the OpenGL 1.x figures instead.
//
// BM_HistoryStepBack is one "Schritt zurück" with a full history (1,024
// actions): the panel taken in compact form, the ring stepped, the state
// before the action put back into the panel; BM_HistoryFrame is what the
// history costs every frame (the panel taken twice and compared).
//
// Run: build-bench/bench/panel_bench --benchmark_repetitions=9
//      (the median is the figure; make bench prints the table)
#include <GL/gl.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/Velkor_application.h"
#include "app/Velkor_event_script.h"
#include "app/Velkor_offscreen.h"
#include "host/host_application.h"
#include "panel/Velkor_history.h"
#include "panel/Velkor_symbology_layer.h"
#include "panel/Velkor_vocabulary.h"

namespace {

using Clock = std::chrono::steady_clock;

// The scenes as event scripts: frame numbers count from the reset.
const char kFastZoomedScript[] =
    "0 move 10 10\n"
    "1 click 530 392\n"  // the "Fast" item of the speed box
    "3 click @EnableExecToggleButton\n"
    "5 click @InstruktionenToggleButton\n";
constexpr uint32_t kFastZoomedFrames = 8;

std::string pop_up_scrolled_script() {
  std::string script = "0 move 900 200\n";
  for (int frame = 1; frame <= 20; ++frame) {
    script += std::to_string(frame) + " wheel down 900 200\n";
  }
  script += "22 click 922 65\n";  // a ROM byte: the slot pop-up opens
  return script;
}
constexpr uint32_t kPopUpScrolledFrames = 25;

bool any_name(const char*) {
  return true;  // the panel itself refuses a widget it did not draw
}

Application* g_app = nullptr;
bool g_app_partial = true;  // whether g_app draws partial frames
bool g_app_es2 = false;     // whether g_app draws through the ES 2 renderer
// A 32-sided disc of radius 1, made once so that the plain frame spends its
// time in OpenGL only.
float g_unit_circle[33][2];
bool g_unit_circle_made = false;

void make_unit_circle() {
  if (g_unit_circle_made) return;
  for (int j = 0; j <= 32; ++j) {
    const double a = 6.283185307179586 * j / 32.0;
    g_unit_circle[j][0] = static_cast<float>(std::cos(a));
    g_unit_circle[j][1] = static_cast<float>(std::sin(a));
  }
  g_unit_circle_made = true;
}
std::vector<unsigned char> g_raw_pixels(static_cast<size_t>(1280) * 768 * 4);

const Velkor_symbology_layer_context* panel(Application* app) {
  return static_cast<const Velkor_symbology_layer_context*>(Application_GetLayerContext(app, 0));
}

// What the panel shows after the last frame.
Velkor_PanelSnapshot shown_by(Application* app) {
  Velkor_PanelSnapshot shown{};
  Velkor_symbology_layer_snapshot(panel(app), &shown);
  return shown;
}

// The program's own path: with one the host keeps the texture scratch
// buffer the fonts are loaded through, so the text is drawn as in the
// program (nothing is written beside it off-screen).
std::string executable_path() {
  char path[4096];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  return length > 0 ? std::string(path, static_cast<size_t>(length)) : std::string("velkor");
}

// The shared application, drawn by the OpenGL 1.x or the ES 2 renderer,
// with partial frames or every changed frame whole; it is opened again when
// another kind is asked for.
Application* open_application(bool es2 = false, bool partial = true) {
  if (g_app != nullptr && g_app_partial == partial && g_app_es2 == es2) return g_app;
  if (g_app != nullptr) {
    Application_Free(g_app);
    g_app = nullptr;
  }
  // The application keeps a pointer to its parameters.
  static ApplicationParams params;
  params = g_application_data;
  params.partial_frames = partial ? 1 : 0;
  params.renderer = es2 ? kApplicationRendererEs2 : kApplicationRendererGl1;
  Application* app = Application_Allocate(&params, executable_path().c_str());
  if (app == nullptr) return nullptr;
  Application_UseSystemEvents(app, 1);
  if (Application_CreateBuffer(app) == nullptr) {
    Application_Free(app);
    return nullptr;
  }
  g_app = app;
  g_app_partial = partial;
  g_app_es2 = es2;
  return g_app;
}

// Resets the panel and plays a scene's script; false with the reason.
bool play(Application* app, const std::string& script, uint32_t frames, std::string* problem) {
  std::vector<VelkorScriptEvent> events;
  VelkorScriptError error;
  if (!Velkor_ParseEventScript(script, frames, any_name, &events, &error)) {
    *problem = "scene script line " + std::to_string(error.line) + ": " + error.message;
    return false;
  }
  Application_Reset(app);
  size_t next = 0;
  for (uint32_t frame = 0; frame < frames; ++frame) {
    for (; next < events.size() && events[next].frame == frame; ++next) {
      if (!Velkor_RecordScriptEvent(app, panel(app), events[next], problem)) return false;
    }
    Application_Draw(app);
  }
  return true;
}

// A plain fixed-function frame of the panel's size and coverage: the cleared
// screen, a full-screen face, 120 filled boxes with outlines, 300 two-pixel
// lines of about 100 pixels
// and 40 filled discs, then the same read-back as the host's frame.
void draw_raw_scene() {
  make_unit_circle();
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0.0, 1280.0, 0.0, 768.0, -1.0, 1.0);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_STENCIL_TEST);
  glDisable(GL_DEPTH_TEST);
  glViewport(0, 0, 1280, 768);
  glClearColor(0.1f, 0.1f, 0.1f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

  glColor4f(0.85f, 0.85f, 0.85f, 1.0f);
  glRectf(8.0f, 8.0f, 1272.0f, 760.0f);
  for (int i = 0; i < 120; ++i) {
    const float x = 20.0f + static_cast<float>(i % 12) * 104.0f;
    const float y = 20.0f + static_cast<float>(i / 12) * 74.0f;
    glColor4f(0.2f, 0.45f, 0.8f, 1.0f);
    glRectf(x, y, x + 96.0f, y + 66.0f);
    glColor4f(0.1f, 0.1f, 0.1f, 1.0f);
    glBegin(GL_LINE_LOOP);
    glVertex2f(x, y);
    glVertex2f(x + 96.0f, y);
    glVertex2f(x + 96.0f, y + 66.0f);
    glVertex2f(x, y + 66.0f);
    glEnd();
  }
  glEnable(GL_LINE_SMOOTH);
  glLineWidth(2.0f);
  glColor4f(0.95f, 0.6f, 0.1f, 1.0f);
  glBegin(GL_LINES);
  for (int i = 0; i < 300; ++i) {
    // Short strokes, as the panel's frames, ticks and arrows are.
    const float x = 30.0f + static_cast<float>(i % 10) * 122.0f;
    const float y = 10.0f + static_cast<float>(i / 10) * 25.0f;
    glVertex2f(x, y);
    glVertex2f(x + 100.0f, y + 12.0f);
  }
  glEnd();
  glDisable(GL_LINE_SMOOTH);
  glLineWidth(1.0f);
  glColor4f(0.3f, 0.7f, 0.3f, 0.8f);
  for (int i = 0; i < 40; ++i) {
    const float cx = 60.0f + static_cast<float>(i % 10) * 128.0f;
    const float cy = 90.0f + static_cast<float>(i / 10) * 180.0f;
    glBegin(GL_TRIANGLE_FAN);
    glVertex2f(cx, cy);
    for (int k = 0; k <= 32; ++k) {
      glVertex2f(cx + 24.0f * g_unit_circle[k][0], cy + 24.0f * g_unit_circle[k][1]);
    }
    glEnd();
  }
  glReadPixels(0, 0, 1280, 768, GL_BGRA, GL_UNSIGNED_BYTE, g_raw_pixels.data());

  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glPopAttrib();
}

double seconds_since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// What has been drawn so far, in pixels: the damage counted by the library,
// or with partial frames off the whole screen for every frame sent.
uint64_t pixels_drawn() {
  const sgl_type_statemachine* context = sglGetCurrentContext();
  if (context->damage.enabled) return context->damage.damaged_pixels;
  const uint64_t screen = static_cast<uint64_t>(g_application_data.width) *
                          static_cast<uint64_t>(g_application_data.height);
  return screen * context->stream.frames_sent;
}

// Pixels drawn since `before`, as a share of the screen per frame (a frame
// kept unchanged counts 0).
double damaged_share(uint64_t before, benchmark::IterationCount frames) {
  const uint64_t drawn = pixels_drawn() - before;
  const double screen = static_cast<double>(g_application_data.width) * g_application_data.height;
  return frames > 0 ? static_cast<double>(drawn) / screen / static_cast<double>(frames) : 0.0;
}

// Times the panel frames (the reported figure) and, interleaved, the plain
// frames (OpenGL 1.x only); the ratio of their sums goes out as a counter.
void measure_scene(benchmark::State& state, Application* app, bool with_raw = true) {
  double panel_total = 0.0;
  double raw_total = 0.0;
  const sgl_stream_state& stream = sglGetCurrentContext()->stream;
  const uint32_t sent_before = stream.frames_sent;
  const uint64_t damaged_before = pixels_drawn();
  for (auto _ : state) {
    const Clock::time_point start = Clock::now();
    Application_Draw(app);
    const double panel_seconds = seconds_since(start);
    state.SetIterationTime(panel_seconds);
    panel_total += panel_seconds;
    if (!with_raw) continue;
    const Clock::time_point raw_start = Clock::now();
    draw_raw_scene();
    raw_total += seconds_since(raw_start);
  }
  if (raw_total > 0.0) state.counters["ratio"] = panel_total / raw_total;
  // The share of frames that went to OpenGL (the others equalled the last
  // frame sent) and the longest frame recorded.
  state.counters["sent"] = benchmark::Counter(static_cast<double>(stream.frames_sent - sent_before),
                                              benchmark::Counter::kAvgIterations);
  state.counters["stream_kB"] = static_cast<double>(stream.peak_bytes) / 1024.0;
  state.counters["damaged"] = damaged_share(damaged_before, state.iterations());
  state.counters["raw_ms"] =
      benchmark::Counter(raw_total * 1e3, benchmark::Counter::kAvgIterations);
}

void panel_idle(benchmark::State& state, bool es2) {
  Application* app = open_application(es2);
  std::string problem;
  if (app == nullptr) {
    state.SkipWithError("no off-screen OpenGL buffer");
    return;
  }
  if (!play(app, "", 2, &problem)) {
    state.SkipWithError(problem.c_str());
    return;
  }
  measure_scene(state, app, !es2);
}

void fast_zoomed(benchmark::State& state, bool es2, bool partial) {
  Application* app = open_application(es2, partial);
  std::string problem;
  if (app == nullptr) {
    state.SkipWithError("no off-screen OpenGL buffer");
    return;
  }
  if (!play(app, kFastZoomedScript, kFastZoomedFrames, &problem)) {
    state.SkipWithError(problem.c_str());
    return;
  }
  const Velkor_PanelSnapshot shown = shown_by(app);
  if (!shown.continuous || !shown.instructionZoom ||
      shown.speed != Velkor_word(kVelkorSpeeds, kSpeedFast)) {
    state.SkipWithError("the scene did not come up: not running zoomed at Fast");
    return;
  }
  measure_scene(state, app, !es2);
}

void panel_pop_up_scrolled(benchmark::State& state, bool es2) {
  Application* app = open_application(es2);
  std::string problem;
  if (app == nullptr) {
    state.SkipWithError("no off-screen OpenGL buffer");
    return;
  }
  if (!play(app, pop_up_scrolled_script(), kPopUpScrolledFrames, &problem)) {
    state.SkipWithError(problem.c_str());
    return;
  }
  const Velkor_PanelSnapshot shown = shown_by(app);
  if (!shown.popups.slots || shown.romFirstRow == 0) {
    state.SkipWithError("the scene did not come up: no pop-up over a scrolled table");
    return;
  }
  measure_scene(state, app, !es2);
}

void BM_PanelIdle(benchmark::State& state) {
  panel_idle(state, false);
}
void BM_PanelFastZoomed(benchmark::State& state) {
  fast_zoomed(state, false, true);
}
void BM_PanelFastZoomedWhole(benchmark::State& state) {
  fast_zoomed(state, false, false);
}
void BM_PanelPopUpScrolled(benchmark::State& state) {
  panel_pop_up_scrolled(state, false);
}
void BM_PanelIdleEs2(benchmark::State& state) {
  panel_idle(state, true);
}
void BM_PanelFastZoomedEs2(benchmark::State& state) {
  fast_zoomed(state, true, true);
}
void BM_PanelPopUpScrolledEs2(benchmark::State& state) {
  panel_pop_up_scrolled(state, true);
}

// Times frame `frame` of a scene: each time the scene is played afresh up
// to it (not timed), then that frame is drawn; `done` says whether it did
// what the scene is about.
void measure_frame(benchmark::State& state, bool partial, const std::string& script, uint32_t frame,
                   bool (*done)(const Velkor_PanelSnapshot&)) {
  Application* app = open_application(false, partial);
  if (app == nullptr) {
    state.SkipWithError("no off-screen OpenGL buffer");
    return;
  }
  double panel_total = 0.0;
  double raw_total = 0.0;
  uint64_t damaged = 0;
  for (auto _ : state) {
    std::string problem;
    if (!play(app, script, frame, &problem)) {
      state.SkipWithError(problem.c_str());
      return;
    }
    if (done(shown_by(app))) {
      state.SkipWithError("the scene did its change before the timed frame");
      return;
    }
    const uint64_t damaged_before = pixels_drawn();
    const Clock::time_point start = Clock::now();
    Application_Draw(app);
    const double panel_seconds = seconds_since(start);
    damaged += pixels_drawn() - damaged_before;
    if (!done(shown_by(app))) {
      state.SkipWithError("the timed frame did not do the scene's change");
      return;
    }
    state.SetIterationTime(panel_seconds);
    panel_total += panel_seconds;
    const Clock::time_point raw_start = Clock::now();
    draw_raw_scene();
    raw_total += seconds_since(raw_start);
  }
  if (raw_total > 0.0) state.counters["ratio"] = panel_total / raw_total;
  const double screen = static_cast<double>(g_application_data.width) * g_application_data.height;
  state.counters["damaged"] =
      static_cast<double>(damaged) / screen / static_cast<double>(state.iterations());
  state.counters["raw_ms"] =
      benchmark::Counter(raw_total * 1e3, benchmark::Counter::kAvgIterations);
}

// The click is released in frame 10: FETCH/DECODE reads the next word (a
// MOV with an immediate word after it) and the machine code shows it.
void fetch_click(benchmark::State& state, bool partial) {
  measure_frame(state, partial, "8 move @DisasmButton\n9 click @DisasmButton\n", 10,
                [](const Velkor_PanelSnapshot& shown) { return shown.machineCode[1][0] != '\0'; });
}
void BM_PanelFetchClick(benchmark::State& state) {
  fetch_click(state, true);
}
void BM_PanelFetchClickWhole(benchmark::State& state) {
  fetch_click(state, false);
}

// The zoom button is released in frame 6: the instruction pop-up opens.
void pop_up_opening(benchmark::State& state, bool partial) {
  measure_frame(state, partial, "0 move 10 10\n5 click @InstruktionenToggleButton\n", 6,
                [](const Velkor_PanelSnapshot& shown) { return shown.instructionZoom != 0; });
}
void BM_PanelPopUpOpening(benchmark::State& state) {
  pop_up_opening(state, true);
}
void BM_PanelPopUpOpeningWhole(benchmark::State& state) {
  pop_up_opening(state, false);
}

void BM_RawGlScene(benchmark::State& state) {
  if (open_application() == nullptr) {
    state.SkipWithError("no off-screen OpenGL buffer");
    return;
  }
  for (auto _ : state) draw_raw_scene();
}

// The shared record is closed first so that each start is a whole one.
void start_to_first_frame(benchmark::State& state, bool es2) {
  if (g_app != nullptr) {
    Application_Free(g_app);
    g_app = nullptr;
  }
  static ApplicationParams params;
  params = g_application_data;
  params.renderer = es2 ? kApplicationRendererEs2 : kApplicationRendererGl1;
  for (auto _ : state) {
    Application* app = Application_Allocate(&params, nullptr);
    if (app == nullptr || Application_CreateBuffer(app) == nullptr) {
      Application_Free(app);
      state.SkipWithError("no off-screen OpenGL buffer");
      return;
    }
    Application_Reset(app);
    Application_Draw(app);
    glFinish();  // GLVND sends it to whichever context is current
    state.PauseTiming();
    Application_Free(app);
    state.ResumeTiming();
  }
}

void BM_StartToFirstFrame(benchmark::State& state) {
  start_to_first_frame(state, false);
}
void BM_StartToFirstFrameEs2(benchmark::State& state) {
  start_to_first_frame(state, true);
}

double min_of(const std::vector<double>& v) {
  double m = v.empty() ? 0.0 : v[0];
  for (double x : v) m = x < m ? x : m;
  return m;
}
double max_of(const std::vector<double>& v) {
  double m = v.empty() ? 0.0 : v[0];
  for (double x : v) m = x > m ? x : m;
  return m;
}

// ---- The history ----------------------------------------------------------------

struct HistoryBench {
  HistoryBench() {
    Velkor_symbology_layer_init(panel);
    Velkor_history_init(history.get());
    Velkor_history_capture(c(), &now);
    for (int32_t i = 0; i < kHistorySteps + 5; ++i) Velkor_history_record(history.get(), &now);
  }
  ~HistoryBench() { Velkor_symbology_layer_free(panel); }
  Velkor_symbology_layer_context* c() {
    return static_cast<Velkor_symbology_layer_context*>(panel);
  }
  void* panel = Velkor_symbology_layer_alloc();
  std::unique_ptr<Velkor_History> history{new Velkor_History};
  Velkor_HistoryState now;
  Velkor_HistoryState out;
};

void BM_HistoryStepBack(benchmark::State& state) {
  HistoryBench h;
  bool back = true;
  for (auto _ : state) {
    Velkor_history_capture(h.c(), &h.now);
    bool stepped = back ? Velkor_history_undo(h.history.get(), &h.now, &h.out)
                        : Velkor_history_redo(h.history.get(), &h.now, &h.out);
    if (!stepped) {  // at an end of the ring: the other way (the same work)
      back = !back;
      stepped = back ? Velkor_history_undo(h.history.get(), &h.now, &h.out)
                     : Velkor_history_redo(h.history.get(), &h.now, &h.out);
    }
    Velkor_history_restore(h.c(), &h.out);
    benchmark::DoNotOptimize(stepped);
  }
  state.counters["ring_bytes"] = static_cast<double>(kHistoryBytes);
}

void BM_HistoryFrame(benchmark::State& state) {
  HistoryBench h;
  for (auto _ : state) {
    Velkor_history_capture(h.c(), &h.now);
    Velkor_history_capture(h.c(), &h.out);
    benchmark::DoNotOptimize(Velkor_history_changed(&h.now, &h.out));
  }
}

void scene(benchmark::internal::Benchmark* b) {
  b->UseManualTime()
      ->Unit(benchmark::kMillisecond)
      ->MinTime(0.5)
      ->ComputeStatistics("min", min_of)
      ->ComputeStatistics("max", max_of);
}

// Each iteration plays its scene afresh: a fixed count keeps the run short.
void single_frame(benchmark::internal::Benchmark* b) {
  b->UseManualTime()
      ->Unit(benchmark::kMillisecond)
      ->Iterations(20)
      ->ComputeStatistics("min", min_of)
      ->ComputeStatistics("max", max_of);
}

BENCHMARK(BM_PanelIdle)->Apply(scene);
BENCHMARK(BM_PanelFastZoomed)->Apply(scene);
BENCHMARK(BM_PanelPopUpScrolled)->Apply(scene);
BENCHMARK(BM_PanelFetchClick)->Apply(single_frame);
BENCHMARK(BM_PanelPopUpOpening)->Apply(single_frame);
BENCHMARK(BM_PanelFastZoomedWhole)->Apply(scene);
BENCHMARK(BM_PanelFetchClickWhole)->Apply(single_frame);
BENCHMARK(BM_PanelPopUpOpeningWhole)->Apply(single_frame);
BENCHMARK(BM_RawGlScene)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.5)
    ->ComputeStatistics("min", min_of)
    ->ComputeStatistics("max", max_of);
BENCHMARK(BM_StartToFirstFrame)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->ComputeStatistics("min", min_of)
    ->ComputeStatistics("max", max_of);
BENCHMARK(BM_HistoryStepBack)
    ->Unit(benchmark::kMicrosecond)
    ->ComputeStatistics("min", min_of)
    ->ComputeStatistics("max", max_of);
BENCHMARK(BM_HistoryFrame)
    ->Unit(benchmark::kMicrosecond)
    ->ComputeStatistics("min", min_of)
    ->ComputeStatistics("max", max_of);
BENCHMARK(BM_PanelIdleEs2)->Apply(scene);
BENCHMARK(BM_PanelFastZoomedEs2)->Apply(scene);
BENCHMARK(BM_PanelPopUpScrolledEs2)->Apply(scene);
BENCHMARK(BM_StartToFirstFrameEs2)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->ComputeStatistics("min", min_of)
    ->ComputeStatistics("max", max_of);

}  // namespace

BENCHMARK_MAIN();
