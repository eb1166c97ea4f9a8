// offscreen_gl.h - an off-screen OpenGL context without a display or a window.
//
// What it is
//   One desktop OpenGL compatibility context per process, made with EGL on
//   Mesa's surfaceless platform: a 1280 x 768 pbuffer with 8-bit RGBA, a
//   depth buffer and 8 stencil bits. It is created on first use and stays
//   current for the life of the process. Nothing here needs GoogleTest, so
//   the benchmarks draw on the same context as the suites (whose fixture,
//   gl_fixture.h, builds on this one).
//
// How a program uses it
//   if (!velkor_test::MakeOffscreenGlCurrent()) return 1;   // says why on stderr
//   ... draw ...
//   velkor_test::DumpFramebuffer("frame.ppm");
//
// Threads: the thread that first made it current, for the life of the process.
#pragma once

#include <cstdint>

namespace velkor_test {

constexpr int kDisplayWidth = 1280;
constexpr int kDisplayHeight = 768;
// Texture slots of the host's initialisation record.
constexpr uint32_t kTextureSlotCount = 254;

// Creates the shared off-screen context on the first call and makes it
// current. False (with a message on stderr) when EGL or OpenGL is unusable.
bool MakeOffscreenGlCurrent();

// Writes the whole framebuffer as a binary PPM (top row first). False when
// the file cannot be written.
bool DumpFramebuffer(const char* path);

}  // namespace velkor_test
