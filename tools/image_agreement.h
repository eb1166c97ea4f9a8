// image_agreement.h - when two renderings of the same frame count as the
// same picture (the OpenGL 1.x and ES 2 renderers, or a browser's screenshot
// and the desktop's).
//
// The rule
//   1. Close colours: at least 99.5 % of the pixels have every channel
//      within 8 of the other picture's.
//   2. Nothing moved: the pixels that differ by more than that are looked at
//      in tiles of 32 x 32. A tile with 8 or more of them has "moved" when
//      one shift s of one or two pixels (left, right, up, down or diagonal)
//      explains at least three quarters of them: the second picture holds
//      the first's pixel at s further on, and the first held the second's
//      at s before (each within 8). A text or line drawn a pixel off is
//      caught so, however few pixels it has; a wrong colour, a missing line,
//      specks or antialiasing that differs are no shift and count under
//      rule 1 only.
//
//   std::vector<uint8_t> a, b; int32_t w, h, w2, h2;
//   if (!ReadPngRgba("a.png", &a, &w, &h) || !ReadPngRgba("b.png", &b, &w2, &h2)) ...
//   const ImageAgreement agreement = CompareImages(a.data(), b.data(), w, h);
//   if (!agreement.agrees) ... DescribeAgreement(agreement) ...
//
// Threads: any.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr int32_t kAgreementTolerance = 8;     // per channel
constexpr double kAgreementShare = 0.995;      // of the pixels, within the tolerance
constexpr int32_t kAgreementTile = 32;         // pixels a side
constexpr int32_t kAgreementTileMinimum = 8;   // differing pixels that make a tile count
constexpr double kAgreementMovedShare = 0.75;  // of them explained by one shift

struct ImageAgreement {
  int64_t pixels;
  int64_t unequal;             // pixels not the same to the bit
  int64_t differing;           // pixels with a channel beyond the tolerance
  double share;                // (pixels - differing) / pixels
  int32_t largest;             // largest difference of one channel
  int32_t moved_tiles;         // tiles whose differences one shift explains
  int32_t moved_x, moved_y;    // the first such tile's first pixel (column, row)
  int32_t moved_dx, moved_dy;  // and how far the second picture's content lies from the first's
  bool agrees;                 // share >= kAgreementShare and no tile moved
};

// Compares two width x height pictures of 4 bytes per pixel (the first three
// compared, the fourth ignored; the same channel order in both).
ImageAgreement CompareImages(const uint8_t* a, const uint8_t* b, int32_t width, int32_t height);

// One line: the share, the pixels that differ (and those not the same at
// all), the largest difference and the first moved tile, if any.
std::string DescribeAgreement(const ImageAgreement& agreement);

// A PNG file as red, green, blue, alpha bytes, rows top-down; false for a
// file that is missing or no PNG.
bool ReadPngRgba(const std::string& path, std::vector<uint8_t>* out_rgba, int32_t* out_width,
                 int32_t* out_height);
