// The panel's texture slots: seven alpha ramps given byte for byte and four
// pictures drawn by code, run-length coded the way sglCompressedTexImage2D
// reads them.
#include "panel/Velkor_texture_table.h"

#include <cmath>
#include <cstdint>

#include "graphics/sgl.h"

namespace {

constexpr uint8_t kScaled = 1;

// --- ramps, one byte per texel ----------------------------------------------

// 240 (1 x 32, rising upwards) and 245 (32 x 1, rising to the right): 8 k + 7
const uint8_t kRampRising[32] = {
    7,   15,  23,  31,  39,  47,  55,  63,  71,  79,  87,  95,  103, 111, 119, 127,
    135, 143, 151, 159, 167, 175, 183, 191, 199, 207, 215, 223, 231, 239, 247, 255,
};
// 241: 1 x 32, 4 k + 3
const uint8_t kRamp241[32] = {
    3,  7,  11, 15, 19, 23, 27, 31, 35, 39,  43,  47,  51,  55,  59,  63,
    67, 71, 75, 79, 83, 87, 91, 95, 99, 103, 107, 111, 115, 119, 123, 127,
};
// 242: 1 x 32, 2 k + 1
const uint8_t kRamp242[32] = {
    1,  3,  5,  7,  9,  11, 13, 15, 17, 19, 21, 23, 25, 27, 29, 31,
    33, 35, 37, 39, 41, 43, 45, 47, 49, 51, 53, 55, 57, 59, 61, 63,
};
// 243 (32 x 1, falling to the right) and 247 (1 x 32, falling upwards): 255 - 8 k
const uint8_t kRampFalling[32] = {
    255, 247, 239, 231, 223, 215, 207, 199, 191, 183, 175, 167, 159, 151, 143, 135,
    127, 119, 111, 103, 95,  87,  79,  71,  63,  55,  47,  39,  31,  23,  15,  7,
};
// 249: 1 x 32, 63 - 2 k
const uint8_t kRamp249[32] = {
    63, 61, 59, 57, 55, 53, 51, 49, 47, 45, 43, 41, 39, 37, 35, 33,
    31, 29, 27, 25, 23, 21, 19, 17, 15, 13, 11, 9,  7,  5,  3,  1,
};

// --- pictures ---------------------------------------------------------------

// An alpha pixel as a word: the decoder keeps the lowest byte.
uint32_t AlphaWord(uint32_t alpha) {
  return alpha * 0x01010101u;
}

uint32_t RgbaWord(uint32_t red, uint32_t green, uint32_t blue) {
  return 0xFF000000u | (red << 16) | (green << 8) | blue;
}

uint32_t Clamp255(float value) {
  if (!(value > 0.0f)) return 0;
  if (value >= 255.0f) return 255;
  return static_cast<uint32_t>(std::lround(value));
}

// 250, 32 x 64: the lower half holds two full blocks of 16 x 16 in a checker
// (lower left and upper right), the upper half a band four pixels either side
// of its diagonal.
uint32_t BandAndChecker(uint32_t x, uint32_t y) {
  if (y < 32) {
    return AlphaWord((x < 16) == (y < 16) ? 255 : 0);
  }
  const int32_t off = static_cast<int32_t>(x) - static_cast<int32_t>(y - 32);
  return AlphaWord(off >= -4 && off <= 4 ? 255 : 0);
}

// 251, 32 x 32: full at the lower-left corner, fading linearly to nothing at
// a radius of 32 pixels.
uint32_t QuarterCircle(uint32_t x, uint32_t y) {
  const float dx = static_cast<float>(x) + 0.5f;
  const float dy = static_cast<float>(y) + 0.5f;
  return AlphaWord(Clamp255(255.0f * (1.0f - std::sqrt(dx * dx + dy * dy) / 32.0f)));
}

// 252, 200 x 172: a sky darkening upwards in bands of four rows, a sun, and a
// green hill in front.
uint32_t Landscape(uint32_t x, uint32_t y) {
  const float fx = static_cast<float>(x);
  const float fy = static_cast<float>(y);
  const float hill = 40.0f + fx * (200.0f - fx) / 400.0f;  // 40 at the sides, 65 in the middle
  if (fy < hill) {
    return fy < 12.0f ? RgbaWord(70, 110, 40) : RgbaWord(90, 160, 60);
  }
  const float sx = fx - 150.0f;
  const float sy = fy - 130.0f;
  if (sx * sx + sy * sy <= 18.0f * 18.0f) {
    return RgbaWord(255, 220, 60);
  }
  const uint32_t band = y / 4;
  return RgbaWord(150 - band, 200 - band, 255);
}

// 253, 128 x 128: a glow round the centre, falling off with the square of
// the distance to nothing at 60 pixels.
uint32_t Glow(uint32_t x, uint32_t y) {
  const float dx = static_cast<float>(x) - 63.5f;
  const float dy = static_cast<float>(y) - 63.5f;
  const float fade = 1.0f - std::sqrt(dx * dx + dy * dy) / 60.0f;
  return AlphaWord(fade > 0.0f ? Clamp255(255.0f * fade * fade) : 0);
}

// Words needed at most for n pixels: runs of two take three words.
constexpr uint32_t WorstCaseWords(uint32_t width, uint32_t height) {
  return width * height * 3 / 2 + 1;
}

uint32_t g_words_250[WorstCaseWords(32, 64)];
uint32_t g_words_251[WorstCaseWords(32, 32)];
uint32_t g_words_252[WorstCaseWords(200, 172)];
uint32_t g_words_253[WorstCaseWords(128, 128)];

// Run-length codes the picture, rows bottom first: a run of n >= 2 equal
// pixels is the pixel twice and n - 2; a lone pixel is itself. Returns the
// word count.
uint32_t Encode(uint32_t (*pixel)(uint32_t, uint32_t), uint32_t width, uint32_t height,
                uint32_t* out) {
  const uint32_t total = width * height;
  uint32_t count = 0;
  uint32_t at = 0;
  while (at < total) {
    const uint32_t word = pixel(at % width, at / width);
    uint32_t run = 1;
    while (at + run < total && pixel((at + run) % width, (at + run) / width) == word) {
      ++run;
    }
    out[count++] = word;
    if (run >= 2) {
      out[count++] = word;
      out[count++] = run - 2;
    }
    at += run;
  }
  return count;
}

void UploadPicture(uint32_t slot, uint8_t format, uint32_t width, uint32_t height,
                   uint32_t (*pixel)(uint32_t, uint32_t), uint32_t* words) {
  const uint32_t count = Encode(pixel, width, height, words);
  sglCompressedTexImage2D(slot, format, width, height, count, words, kScaled);
}

}  // namespace

void Velkor_texture_table() {
  sglTexImage2Dubv(240, SGL_FORMAT_ALPHA, 1, 32, kRampRising, kScaled);
  sglTexImage2Dubv(241, SGL_FORMAT_ALPHA, 1, 32, kRamp241, kScaled);
  sglTexImage2Dubv(242, SGL_FORMAT_ALPHA, 1, 32, kRamp242, kScaled);
  sglTexImage2Dubv(243, SGL_FORMAT_ALPHA, 32, 1, kRampFalling, kScaled);
  sglTexImage2Dubv(245, SGL_FORMAT_ALPHA, 32, 1, kRampRising, kScaled);
  sglTexImage2Dubv(247, SGL_FORMAT_ALPHA, 1, 32, kRampFalling, kScaled);
  sglTexImage2Dubv(249, SGL_FORMAT_ALPHA, 1, 32, kRamp249, kScaled);
  UploadPicture(250, SGL_FORMAT_ALPHA, 32, 64, BandAndChecker, g_words_250);
  UploadPicture(251, SGL_FORMAT_ALPHA, 32, 32, QuarterCircle, g_words_251);
  UploadPicture(252, SGL_FORMAT_RGBA, 200, 172, Landscape, g_words_252);
  UploadPicture(253, SGL_FORMAT_ALPHA, 128, 128, Glow, g_words_253);
}
