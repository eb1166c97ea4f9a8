// Whether two renderings agree: close colours, nothing moved.
#include "tools/image_agreement.h"

#include <png.h>

#include <cstdio>
#include <cstdlib>

namespace {

// The eight neighbours and the four two pixels away: how far a text or line
// drawn off its place would have gone.
constexpr int32_t kShifts[12][2] = {{1, 0},  {-1, 0},  {0, 1}, {0, -1}, {1, 1}, {1, -1},
                                    {-1, 1}, {-1, -1}, {2, 0}, {-2, 0}, {0, 2}, {0, -2}};

int32_t difference(const uint8_t* p, const uint8_t* q) {
  int32_t largest = 0;
  for (int c = 0; c < 3; ++c) {
    const int32_t d = p[c] > q[c] ? p[c] - q[c] : q[c] - p[c];
    if (d > largest) largest = d;
  }
  return largest;
}

}  // namespace

ImageAgreement CompareImages(const uint8_t* a, const uint8_t* b, int32_t width, int32_t height) {
  ImageAgreement result{};
  result.pixels = static_cast<int64_t>(width) * height;
  const auto at = [width](const uint8_t* image, int32_t x, int32_t y) {
    return image + (static_cast<size_t>(y) * static_cast<size_t>(width) + x) * 4;
  };
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      const int32_t d = difference(at(a, x, y), at(b, x, y));
      if (d > result.largest) result.largest = d;
      if (d > 0) ++result.unequal;
      if (d > kAgreementTolerance) ++result.differing;
    }
  }
  result.share = result.pixels > 0 ? static_cast<double>(result.pixels - result.differing) /
                                         static_cast<double>(result.pixels)
                                   : 1.0;

  for (int32_t ty = 0; result.differing > 0 && ty < height; ty += kAgreementTile) {
    for (int32_t tx = 0; tx < width; tx += kAgreementTile) {
      const int32_t x_end = tx + kAgreementTile < width ? tx + kAgreementTile : width;
      const int32_t y_end = ty + kAgreementTile < height ? ty + kAgreementTile : height;
      int32_t differing = 0;
      int32_t explained[12] = {};
      for (int32_t y = ty; y < y_end; ++y) {
        for (int32_t x = tx; x < x_end; ++x) {
          if (difference(at(a, x, y), at(b, x, y)) <= kAgreementTolerance) continue;
          ++differing;
          // Moved by s: b holds a's pixel s further on, and a held b's pixel
          // s before. Both, so that a lone speck on a plain ground (whose
          // neighbours match the other picture either way) is no move.
          for (int s = 0; s < 12; ++s) {
            const int32_t fx = x + kShifts[s][0];
            const int32_t fy = y + kShifts[s][1];
            const int32_t bx = x - kShifts[s][0];
            const int32_t by = y - kShifts[s][1];
            if (fx < 0 || fy < 0 || fx >= width || fy >= height || bx < 0 || by < 0 ||
                bx >= width || by >= height) {
              continue;
            }
            if (difference(at(a, x, y), at(b, fx, fy)) <= kAgreementTolerance &&
                difference(at(b, x, y), at(a, bx, by)) <= kAgreementTolerance) {
              ++explained[s];
            }
          }
        }
      }
      if (differing < kAgreementTileMinimum) continue;
      int best = 0;
      for (int s = 1; s < 12; ++s) {
        if (explained[s] > explained[best]) best = s;
      }
      if (explained[best] < kAgreementMovedShare * differing) continue;
      if (result.moved_tiles++ == 0) {
        result.moved_x = tx;
        result.moved_y = ty;
        // b(p + s) matches a(p): b's content lies s away from a's.
        result.moved_dx = kShifts[best][0];
        result.moved_dy = kShifts[best][1];
      }
    }
  }
  result.agrees = result.share >= kAgreementShare && result.moved_tiles == 0;
  return result;
}

std::string DescribeAgreement(const ImageAgreement& agreement) {
  char line[256];
  std::snprintf(line, sizeof line,
                "%.3f %% of the pixels within %d (%lld differ, %lld not identical), largest "
                "difference %d, ",
                100.0 * agreement.share, kAgreementTolerance,
                static_cast<long long>(agreement.differing),
                static_cast<long long>(agreement.unequal), agreement.largest);
  std::string text = line;
  if (agreement.moved_tiles == 0) return text + "nothing moved";
  std::snprintf(line, sizeof line, "%d tile(s) moved, the first at x %d, y %d by (%d, %d)",
                agreement.moved_tiles, agreement.moved_x, agreement.moved_y, agreement.moved_dx,
                agreement.moved_dy);
  return text + line;
}

bool ReadPngRgba(const std::string& path, std::vector<uint8_t>* out_rgba, int32_t* out_width,
                 int32_t* out_height) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_file(&image, path.c_str()) == 0) return false;
  image.format = PNG_FORMAT_RGBA;
  out_rgba->assign(PNG_IMAGE_SIZE(image), 0);
  if (png_image_finish_read(&image, nullptr, out_rgba->data(), 0, nullptr) == 0) {
    png_image_free(&image);
    return false;
  }
  *out_width = static_cast<int32_t>(image.width);
  *out_height = static_cast<int32_t>(image.height);
  return true;
}
