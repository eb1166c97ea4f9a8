// The rule by which two renderings agree, on made-up pictures whose
// differences are known: noise within the tolerance, specks and a recoloured
// patch beyond it (counted, never "moved"), and a label or line drawn one or
// two pixels off (moved, with its shift), however few pixels it has.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/image_agreement.h"

namespace {

constexpr int32_t kWidth = 256;
constexpr int32_t kHeight = 128;

struct Picture {
  std::vector<uint8_t> rgba = std::vector<uint8_t>(kWidth * kHeight * 4, 0);
  uint8_t* at(int32_t x, int32_t y) { return &rgba[(y * kWidth + x) * 4]; }
  void set(int32_t x, int32_t y, int r, int g, int b) {
    uint8_t* p = at(x, y);
    p[0] = static_cast<uint8_t>(r), p[1] = static_cast<uint8_t>(g), p[2] = static_cast<uint8_t>(b);
    p[3] = 255;
  }
};

// A grey ground, a blue box, a one-pixel line and a text-like label of
// scattered dark strokes; dx, dy move the label and dy_line the line.
Picture panel(int dx = 0, int dy = 0, int dy_line = 0) {
  Picture p;
  for (int32_t y = 0; y < kHeight; ++y) {
    for (int32_t x = 0; x < kWidth; ++x) p.set(x, y, 120, 124, 128);
  }
  for (int32_t y = 70; y < 110; ++y) {
    for (int32_t x = 150; x < 230; ++x) p.set(x, y, 40, 90, 200);
  }
  for (int32_t x = 20; x < 130; ++x) p.set(x, 100 + dy_line, 250, 250, 250);
  std::srand(7);
  for (int32_t y = 20; y < 32; ++y) {
    for (int32_t x = 20; x < 110; ++x) {
      if (std::rand() % 3 == 0) p.set(x + dx, y + dy, 10, 10, 10);
    }
  }
  return p;
}

TEST(ImageAgreement, RuleOnKnownDifferences) {
  struct Row {
    const char* name;
    Picture second;
    bool agrees;
    int32_t moved_tiles_at_least;  // 0: none may move
    int32_t dx, dy;                // the first moved tile's shift
  };
  auto noisy = [](int amplitude, int every) {
    Picture p = panel();
    for (size_t i = 0; i < p.rgba.size(); i += 4) {
      if ((i / 4) % every != 0) continue;
      for (int c = 0; c < 3; ++c) {
        const int v = p.rgba[i + c] + ((i / 4 + c) % 2 == 0 ? amplitude : -amplitude);
        p.rgba[i + c] = static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
      }
    }
    return p;
  };
  auto patch = [](int size, int shade) {
    Picture p = panel();
    for (int32_t y = 75; y < 75 + size; ++y) {
      for (int32_t x = 160; x < 160 + size; ++x) p.set(x, y, 40 + shade, 90, 200);
    }
    return p;
  };
  const Row rows[] = {
      {"the same", panel(), true, 0, 0, 0},
      {"within the tolerance everywhere", noisy(8, 1), true, 0, 0, 0},
      {"specks beyond it on 0.4 %", noisy(40, 250), true, 0, 0, 0},
      {"specks beyond it on 0.6 %", noisy(40, 160), false, 0, 0, 0},
      {"a patch recoloured, 0.3 %", patch(10, 30), true, 0, 0, 0},
      {"a patch recoloured, 1.2 %", patch(20, 30), false, 0, 0, 0},
      {"the label a pixel to the right", panel(1, 0), false, 1, 1, 0},
      {"the label a pixel up", panel(0, -1), false, 1, 0, -1},
      {"the label two pixels to the left", panel(-2, 0), false, 1, -2, 0},
      {"the line one pixel down", panel(0, 0, 1), false, 1, 0, 1},
  };
  for (const Row& row : rows) {
    const Picture first = panel();
    const ImageAgreement a =
        CompareImages(first.rgba.data(), row.second.rgba.data(), kWidth, kHeight);
    EXPECT_EQ(row.agrees, a.agrees) << row.name << ": " << DescribeAgreement(a);
    if (row.moved_tiles_at_least == 0) {
      EXPECT_EQ(0, a.moved_tiles) << row.name << ": " << DescribeAgreement(a);
      continue;
    }
    EXPECT_GE(a.moved_tiles, row.moved_tiles_at_least) << row.name;
    EXPECT_EQ(row.dx, a.moved_dx) << row.name;
    EXPECT_EQ(row.dy, a.moved_dy) << row.name;
  }
}

TEST(ImageAgreement, FiguresOfTheLine) {
  const Picture first = panel();
  Picture second = panel();
  second.set(3, 4, 120, 124, 200);  // one pixel 72 off in blue
  const ImageAgreement a = CompareImages(first.rgba.data(), second.rgba.data(), kWidth, kHeight);
  EXPECT_EQ(int64_t{kWidth} * kHeight, a.pixels);
  EXPECT_EQ(1, a.differing);
  EXPECT_EQ(72, a.largest);
  EXPECT_TRUE(a.agrees);
  EXPECT_EQ(
      "99.997 % of the pixels within 8 (1 differ, 1 not identical), largest difference 72, "
      "nothing moved",
      DescribeAgreement(a));
}

}  // namespace
