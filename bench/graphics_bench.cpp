// A panel-like frame through the drawing library, off-screen: 300 smoothed
// 2-pixel lines, 100 filled rounded rectangles with their outlines and 50
// arcs, finished with glFinish so that the time includes the rasterising;
// and ear clipping's worst case on plain numbers.
// Run: build/bench/graphics_bench (the median of the repetitions is the
// figure to quote).
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "graphics/sgl.h"
#include "graphics/sgl_geometry.h"
#include "tests/support/offscreen_gl.h"

namespace {

const float kColours[4][4] = {
    {0.85f, 0.85f, 0.85f, 1.0f},
    {0.20f, 0.45f, 0.80f, 1.0f},
    {0.95f, 0.60f, 0.10f, 1.0f},
    {0.10f, 0.10f, 0.10f, 1.0f},
};

// Entry 0: a smoothed line of 2 pixels (core 2, halo 4); entry 1: thin.
const float kWidths[2][3] = {{2.0f, 2.0f, 4.0f}, {1.0f, 1.0f, 2.0f}};

sgl_type_statemachine g_context;
sgl_texture_slot g_slots[velkor_test::kTextureSlotCount];

bool InitialiseLibrary() {
  if (!velkor_test::MakeOffscreenGlCurrent()) {
    return false;
  }
  sgl_parameters parameters{static_cast<uint32_t>(velkor_test::kDisplayWidth),
                            static_cast<uint32_t>(velkor_test::kDisplayHeight),
                            nullptr,
                            0,
                            0,
                            g_slots,
                            velkor_test::kTextureSlotCount,
                            nullptr,
                            0};
  if (!sglInit(&g_context, &parameters)) {
    return false;
  }
  sglColorPointerf(&kColours[0][0], 4);
  sglLineWidthPointerf(&kWidths[0][0], 2);
  return true;
}

void RoundedRectangle(float x, float y, float w, float h, float r) {
  sglMoveTo(x + r, y);
  sglLineTo(x + w - r, y);
  sgluArcSegment(0, 90.0f);
  sglLineTo(x + w, y + r);
  sglLineTo(x + w, y + h - r);
  sgluArcSegment(0, 90.0f);
  sglLineTo(x + w - r, y + h);
  sglLineTo(x + r, y + h);
  sgluArcSegment(0, 90.0f);
  sglLineTo(x, y + h - r);
  sglLineTo(x, y + r);
  sgluArcSegment(0, 90.0f);
  sglClosePath();
}

void DrawFrame() {
  sglReset();
  sglViewport(0, 0, velkor_test::kDisplayWidth, velkor_test::kDisplayHeight);
  sglOrtho(0.0f, 1280.0f, 0.0f, 768.0f);
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  sglIndexLineStipplei(0);
  sglEnable(33);

  // Filled rounded rectangles with outlines: ten rows of ten buttons.
  for (int k = 0; k < 100; ++k) {
    const float x = 20.0f + static_cast<float>(k % 10) * 124.0f;
    const float y = 20.0f + static_cast<float>(k / 10) * 40.0f;
    sglIndexColori(1);
    sglBeginPath(2);
    RoundedRectangle(x, y, 110.0f, 30.0f, 6.0f);
    sglEndPath();
    sglIndexColori(0);
    sglIndexLineWidthi(1);
    sglBeginPath(1);
    RoundedRectangle(x, y, 110.0f, 30.0f, 6.0f);
    sglEndPath();
  }

  // Smoothed 2-pixel lines: grid lines and diagonals.
  sglEnable(35);
  sglIndexLineWidthi(0);
  sglIndexColori(0);
  for (int k = 0; k < 300; ++k) {
    const float t = static_cast<float>(k);
    sglBegin(11);
    sglVertex2f(10.0f + t * 4.0f, 430.0f);
    sglVertex2f(30.0f + t * 4.0f, 560.0f + static_cast<float>(k % 7) * 20.0f);
    sglEnd();
  }
  sglDisable(35);

  // Arcs: gauge sectors and rings of several sizes.
  for (int k = 0; k < 50; ++k) {
    const float cx = 60.0f + static_cast<float>(k % 10) * 120.0f;
    const float cy = 640.0f + static_cast<float>(k / 10 % 2) * 60.0f;
    const float radius = 8.0f + static_cast<float>(k % 5) * 10.0f;
    sglIndexColori(2);
    sgluArcSector2f(cx, cy, radius, 30.0f, 300.0f, 0, k % 2 == 0 ? 1 : 3);
  }
  glFinish();
}

void BM_PanelFrame(benchmark::State& state) {
  if (!InitialiseLibrary()) {
    state.SkipWithError("no off-screen OpenGL context");
    return;
  }
  for (auto _ : state) {
    DrawFrame();
  }
  if (g_context.errors.count != 0) {
    state.SkipWithError("the frame recorded drawing errors");
  }
  // VELKOR_BENCH_FRAME=<file.ppm> keeps the last frame for a look.
  if (const char* path = std::getenv("VELKOR_BENCH_FRAME")) {
    if (!velkor_test::DumpFramebuffer(path)) {
      std::fprintf(stderr, "cannot write %s\n", path);
    }
  }
}

BENCHMARK(BM_PanelFrame)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

// Ear clipping's worst case: a star that visits the points of a circle
// n / 2 - 1 apart crosses itself everywhere and has no ear at any step.
void BM_EarClipStarWithoutEars(benchmark::State& state) {
  const uint32_t n = static_cast<uint32_t>(state.range(0));
  std::vector<float> star(2 * n), xy(2 * n), triangles(6 * n);
  for (uint32_t k = 0; k < n; ++k) {
    const double a = 2.0 * M_PI * static_cast<double>((k * (n / 2 - 1)) % n) / n;
    star[2 * k] = static_cast<float>(640.0 + 300.0 * std::cos(a));
    star[2 * k + 1] = static_cast<float>(384.0 + 300.0 * std::sin(a));
  }
  for (auto _ : state) {
    xy = star;
    uint32_t count = 0, left = n;
    sgl_ear_clip(xy.data(), nullptr, &left, triangles.data(), nullptr, &count, n);
    benchmark::DoNotOptimize(triangles.data());
  }
}

BENCHMARK(BM_EarClipStarWithoutEars)->Arg(1024)->Arg(4096)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
