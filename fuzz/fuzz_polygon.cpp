// Ear clipping and the point-in-polygon test on polygons taken from the
// input: any vertex count up to the library's 4096, repeated and collinear
// vertices, self-crossing outlines, infinities and NaNs.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "graphics/sgl_geometry.h"

// A broken expectation: names the line of this file, then stops the run
// so that libFuzzer saves the input.
[[noreturn]] static void fuzz_fail(int line) {
  fprintf(stderr, "%s:%d: expectation failed\n", __FILE__, line);
  abort();
}

namespace {

constexpr uint32_t kMaxVertices = 4096;

float xy[2 * kMaxVertices];
float st[2 * kMaxVertices];
float triangles[6 * kMaxVertices];
float texture_triangles[6 * kMaxVertices];

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  uint8_t mode = data[0];
  const uint8_t* p = data + 1;
  size_t left = size - 1;
  uint32_t n = 0;
  // Mode bit 0: raw floats (any bit pattern); otherwise small integer grid
  // coordinates, which make coincident and collinear vertices common.
  if (mode & 1) {
    while (left >= 8 && n < kMaxVertices) {
      memcpy(&xy[2 * n], p, 4);
      memcpy(&xy[2 * n + 1], p + 4, 4);
      p += 8;
      left -= 8;
      n++;
    }
  } else {
    while (left >= 2 && n < kMaxVertices) {
      xy[2 * n] = static_cast<float>(static_cast<int8_t>(p[0]) % 16);
      xy[2 * n + 1] = static_cast<float>(static_cast<int8_t>(p[1]) % 16);
      p += 2;
      left -= 2;
      n++;
    }
  }
  for (uint32_t i = 0; i < 2 * n; i++) st[i] = static_cast<float>(i);

  // Point in polygon at every vertex and a few points between.
  for (uint32_t i = 0; i < n && i < 64; i++) {
    (void)mth_point_in_shape(xy[2 * i], xy[2 * i + 1], n, xy);
    (void)mth_point_in_shape(xy[2 * i] + 0.5f, xy[2 * i + 1] - 0.25f, n, xy);
  }
  if (n >= 3) {
    (void)sgl_is_ear(xy, n, mode % n);
    if (sgl_get_first_ear(xy, n) >= n) fuzz_fail(__LINE__);
  }

  uint32_t count = n;
  uint32_t triangle_count = 0;
  uint32_t capacity = (mode & 2) ? (mode >> 2) : kMaxVertices;
  bool textured = mode & 0x80;
  uint32_t made = sgl_ear_clip(xy, textured ? st : nullptr, &count, triangles,
                               textured ? texture_triangles : nullptr, &triangle_count, capacity);
  if (made != (n >= 3 ? n - 2 : 0)) fuzz_fail(__LINE__);
  if (count != 0) fuzz_fail(__LINE__);
  if (triangle_count > capacity || triangle_count > made) fuzz_fail(__LINE__);
  return 0;
}
