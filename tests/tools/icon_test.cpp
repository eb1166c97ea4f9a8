// The icon's image steps on small images whose answers are known, then the
// icons of this build: the lit seven-segment display where each bar lies.
#include "tools/icon.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "panel/Velkor_color_table.h"

namespace {

using Rgba = std::vector<uint8_t>;

IconImage Filled(int width, int height, Rgba colour) {
  IconImage image;
  image.width = width;
  image.height = height;
  // Sized once and written in place: gcc 12's optimiser misreads a growing
  // insert here as an overflow (-Wstringop-overflow) in Release builds.
  image.rgba.resize(static_cast<size_t>(width) * height * 4);
  for (size_t i = 0; i < image.rgba.size(); ++i) image.rgba[i] = colour[i % 4];
  return image;
}

Rgba At(const IconImage& image, int x, int y) {
  const uint8_t* p = &image.rgba[(static_cast<size_t>(y) * image.width + x) * 4];
  return Rgba(p, p + 4);
}

void Set(IconImage* image, int x, int y, Rgba colour) {
  std::copy(colour.begin(), colour.end(),
            &image->rgba[(static_cast<size_t>(y) * image->width + x) * 4]);
}

const Rgba kClear = {0, 0, 0, 0};

// One colour stays that colour at every size, up or down, whole factor or not.
TEST(IconResize, AnEvenColourStaysExactlyThatColourAtEverySize) {
  const struct {
    int width, height, size;
  } rows[] = {{96, 128, 128}, {128, 128, 64}, {128, 128, 48}, {7, 5, 3}, {3, 3, 8}, {1, 1, 1}};
  for (const auto& row : rows) {
    const IconImage out = IconResize(Filled(row.width, row.height, {40, 200, 90, 255}), row.size);
    ASSERT_EQ(row.size, out.width);
    ASSERT_EQ(row.size, out.height);
    for (int i = 0; i < row.size * row.size; ++i) {
      ASSERT_EQ(Rgba({40, 200, 90, 255}), At(out, i % row.size, i / row.size))
          << row.width << "x" << row.height << " to " << row.size;
    }
  }
}

// Each new pixel is the mean of what it covers, by covered length: three old
// pixels 0, 90, 180 into two new ones give (0 + 90/2) / 1.5 and
// (90/2 + 180) / 1.5.
TEST(IconResize, PartlyCoveredPixelsCountByTheCoveredPart) {
  IconImage row = Filled(3, 3, {0, 0, 0, 255});
  for (int y = 0; y < 3; ++y)
    Set(&row, 1, y, {90, 90, 90, 255}), Set(&row, 2, y, {180, 180, 180, 255});
  const IconImage out = IconResize(row, 2);
  EXPECT_EQ(Rgba({30, 30, 30, 255}), At(out, 0, 0));
  EXPECT_EQ(Rgba({150, 150, 150, 255}), At(out, 1, 1));
}

// Transparent pixels lend no colour: red beside clear stays pure red, half
// covered; clear alone stays clear.
TEST(IconResize, TransparentPixelsLendNoColourOnlyTheirAlpha) {
  IconImage half = Filled(4, 4, kClear);
  for (int y = 0; y < 4; ++y)
    Set(&half, 0, y, {255, 0, 0, 255}), Set(&half, 1, y, {255, 0, 0, 255});
  const IconImage two = IconResize(half, 2);
  EXPECT_EQ(Rgba({255, 0, 0, 255}), At(two, 0, 1));
  EXPECT_EQ(kClear, At(two, 1, 1));
  EXPECT_EQ(Rgba({255, 0, 0, 128}), At(IconResize(half, 1), 0, 0));
}

TEST(IconSquare, CentredOnAClearSquareOfTheLongerSide) {
  IconImage tall = Filled(2, 4, {9, 9, 9, 255});
  const IconImage square = IconSquare(tall);
  ASSERT_EQ(4, square.width);
  ASSERT_EQ(4, square.height);
  for (int y = 0; y < 4; ++y) {
    EXPECT_EQ(kClear, At(square, 0, y));
    EXPECT_EQ(Rgba({9, 9, 9, 255}), At(square, 1, y));
    EXPECT_EQ(Rgba({9, 9, 9, 255}), At(square, 2, y));
    EXPECT_EQ(kClear, At(square, 3, y));
  }
  const IconImage wide = IconSquare(Filled(3, 1, {1, 2, 3, 255}));
  ASSERT_EQ(3, wide.height);
  EXPECT_EQ(kClear, At(wide, 1, 0));
  EXPECT_EQ(Rgba({1, 2, 3, 255}), At(wide, 1, 1));
  EXPECT_EQ(kClear, At(wide, 1, 2));
}

// A black frame around a grey ring around a black centre, and a black pixel
// that touches the frame only at a corner: the frame goes, the rest stays.
TEST(IconClearBackground, TheCornersColourReachedFromTheBorderGoesEnclosedStays) {
  const Rgba black = {0, 0, 0, 255}, grey = {128, 128, 128, 255};
  IconImage image = Filled(7, 7, black);
  for (int y = 1; y < 6; ++y) {
    for (int x = 1; x < 6; ++x) Set(&image, x, y, grey);
  }
  Set(&image, 3, 3, black);  // enclosed by grey
  Set(&image, 2, 2, black);  // enclosed too: (1, 1) between it and the frame is grey
  IconClearBackground(&image);
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(kClear, At(image, i, 0));
    EXPECT_EQ(kClear, At(image, 0, i));
    EXPECT_EQ(kClear, At(image, 6, i));
    EXPECT_EQ(kClear, At(image, i, 6));
  }
  EXPECT_EQ(black, At(image, 3, 3));
  EXPECT_EQ(black, At(image, 2, 2));
  EXPECT_EQ(grey, At(image, 1, 1));
}

TEST(IconCrop, CopiesTheRectangleAndRefusesOneReachingOutside) {
  IconImage image = Filled(10, 8, {0, 0, 0, 255});
  Set(&image, 3, 2, {7, 7, 7, 255});
  Set(&image, 9, 7, {8, 8, 8, 255});
  IconImage cut;
  ASSERT_TRUE(IconCrop(image, 3, 2, 7, 6, &cut));
  EXPECT_EQ(7, cut.width);
  EXPECT_EQ(6, cut.height);
  EXPECT_EQ(Rgba({7, 7, 7, 255}), At(cut, 0, 0));
  EXPECT_EQ(Rgba({8, 8, 8, 255}), At(cut, 6, 5));
  const struct {
    int x, y, w, h;
  } outside[] = {{4, 2, 7, 6}, {3, 3, 7, 6}, {-1, 0, 2, 2},      {0, -1, 2, 2},
                 {0, 0, 0, 2}, {0, 0, 2, 0}, {INT_MAX, 0, 2, 2}, {2, 2, INT_MAX, 1}};
  for (const auto& r : outside) {
    IconImage untouched;
    EXPECT_FALSE(IconCrop(image, r.x, r.y, r.w, r.h, &untouched)) << r.x << " " << r.y;
    EXPECT_EQ(0, untouched.width);
  }
}

TEST(IconPng, WrittenAndReadBackWithItsAlpha) {
  IconImage image = Filled(3, 2, {10, 20, 30, 255});
  Set(&image, 1, 1, {200, 100, 50, 77});
  Set(&image, 2, 0, kClear);
  const std::string path = std::string(::testing::TempDir()) + "icon_test.png";
  ASSERT_TRUE(IconWritePng(path, image));
  IconImage back;
  ASSERT_TRUE(IconReadPng(path, &back));
  EXPECT_EQ(image.width, back.width);
  EXPECT_EQ(image.height, back.height);
  EXPECT_EQ(image.rgba, back.rgba);
  EXPECT_FALSE(IconReadPng(path + ".missing", &back));
  EXPECT_FALSE(IconWritePng("/nonexistent-folder/icon.png", image));
}

// ---- The icons of this build ---------------------------------------------------------------

// The 128 icon is the panel 1:1 from snapshot pixel (887, 630), set 16 to
// the right on its square. In it, the middle of each lit bar of the
// seven-segment display (display units from the panel's centre: top bar at
// 295, -266) in the lit colour; the corners clear; the
// smaller sizes clear in the corners and opaque in the middle.
TEST(BuiltIcons, TheLitSevenSegmentDisplayOnAClearSquare) {
  IconImage icon;
  ASSERT_TRUE(IconReadPng(VELKOR_ICON_DIR "/hicolor/128x128/apps/velkor.png", &icon));
  ASSERT_EQ(128, icon.width);
  ASSERT_EQ(128, icon.height);
  const float* lit = Velkor_color_table.rgba[31];
  const Rgba lit_rgba = {static_cast<uint8_t>(lit[0] * 255), static_cast<uint8_t>(lit[1] * 255),
                         static_cast<uint8_t>(lit[2] * 255), 255};
  const struct {
    const char* what;
    int x, y;  // display units, origin at the panel's centre, y up
  } bars[] = {{"top", 295, -266},    {"upper right", 317, -288}, {"lower right", 317, -332},
              {"bottom", 295, -354}, {"lower left", 273, -332},  {"upper left", 273, -288},
              {"middle", 295, -310}};
  for (const auto& bar : bars) {
    const int x = 640 + bar.x - 887 + 16;
    const int y = 384 - bar.y - 630;
    EXPECT_EQ(lit_rgba, At(icon, x, y)) << bar.what << " at " << x << ", " << y;
  }
  for (const char* size : {"48", "64", "128"}) {
    IconImage image;
    ASSERT_TRUE(IconReadPng(
        std::string(VELKOR_ICON_DIR "/hicolor/") + size + "x" + size + "/apps/velkor.png", &image))
        << size;
    ASSERT_EQ(std::stoi(size), image.width);
    const int last = image.width - 1;
    for (const auto& corner :
         {At(image, 0, 0), At(image, last, 0), At(image, 0, last), At(image, last, last)}) {
      EXPECT_EQ(0, corner[3]) << size << ": a corner is not clear";
    }
    EXPECT_EQ(255, At(image, image.width / 2, image.height / 2)[3]) << size;
  }
}

}  // namespace
