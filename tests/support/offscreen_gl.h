// offscreen_gl.h - one desktop OpenGL compatibility context per process, made
// with EGL on Mesa's surfaceless platform (no display, no window): a 1280 x 768
// pbuffer, RGBA8, depth and 8 stencil bits, created on first use and current
// from then on; and, for the ES 2 renderer's tests, one OpenGL ES 2 context
// alike. Without GoogleTest, so the benchmarks draw on the same context
// as the suites (whose fixture, gl_fixture.h, builds on it).
//
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

// False (with a message on stderr) when EGL or OpenGL is unusable.
bool MakeOffscreenGlCurrent();
// An OpenGL ES 2 context on a pbuffer of its own, of the same size and
// buffers, for the ES 2 renderer; the two may be made current in turn.
bool MakeOffscreenEs2Current();

// The whole framebuffer as a binary PPM (top row first); false when unwritten.
bool DumpFramebuffer(const char* path);

}  // namespace velkor_test
