// The BMP snapshot: header fields, bottom-up rows of blue, green, red, and
// the row padding for every width modulo 4.
#include "host/host_application.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/host/stand_in_layer.h"

namespace {

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

uint32_t Le(const std::vector<uint8_t>& b, size_t at, int bytes) {
  uint32_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | b[at + i];
  return value;
}

std::string TempPath(const char* name) { return "/tmp/velkor_snapshot_" + std::to_string(getpid()) + "_" + name; }

// Pixel (x, y) of a BGRA image gets a value that tells its place apart.
std::vector<uint8_t> Image(int32_t width, int32_t height) {
  std::vector<uint8_t> image(static_cast<size_t>(width) * height * 4);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      uint8_t* p = &image[(static_cast<size_t>(y) * width + x) * 4];
      p[0] = static_cast<uint8_t>(x);        // blue
      p[1] = static_cast<uint8_t>(x >> 8);   // green
      p[2] = static_cast<uint8_t>(y);        // red
      p[3] = 0xAA;                           // alpha, dropped
    }
  }
  return image;
}

TEST(Bmp, HeaderAndPaddingForEveryWidthModuloFour) {
  const int32_t height = 3;
  for (int32_t width = 1280; width <= 1283; ++width) {
    const std::string path = TempPath("pad.bmp");
    const std::vector<uint8_t> image = Image(width, height);
    ASSERT_TRUE(Application_WriteBmp(path.c_str(), image.data(), width, height));
    const std::vector<uint8_t> bmp = ReadBytes(path);
    unlink(path.c_str());
    const uint32_t pad = static_cast<uint32_t>(width % 4);  // 0, 1, 2, 3 bytes for 1280 ... 1283
    const uint32_t row = 3 * width + pad;
    const uint32_t image_size = row * height;
    EXPECT_EQ(0u, row % 4) << width;
    ASSERT_EQ(54u + image_size, bmp.size()) << width;
    EXPECT_EQ('B', bmp[0]);
    EXPECT_EQ('M', bmp[1]);
    EXPECT_EQ(image_size + 54, Le(bmp, 2, 4));
    EXPECT_EQ(0u, Le(bmp, 6, 4));
    EXPECT_EQ(54u, Le(bmp, 10, 4));
    EXPECT_EQ(40u, Le(bmp, 14, 4));
    EXPECT_EQ(static_cast<uint32_t>(width), Le(bmp, 18, 4));
    EXPECT_EQ(static_cast<uint32_t>(height), Le(bmp, 22, 4));
    EXPECT_EQ(1u, Le(bmp, 26, 2));
    EXPECT_EQ(24u, Le(bmp, 28, 2));
    EXPECT_EQ(0u, Le(bmp, 30, 4));
    EXPECT_EQ(image_size, Le(bmp, 34, 4));
    for (size_t at = 38; at < 54; ++at) EXPECT_EQ(0, bmp[at]) << width << " header byte " << at;
    for (int32_t y = 0; y < height; ++y) {
      const size_t row_start = 54 + static_cast<size_t>(y) * row;
      for (int32_t x : {0, 1, 300, width - 1}) {
        const size_t at = row_start + 3 * static_cast<size_t>(x);
        EXPECT_EQ(static_cast<uint8_t>(x), bmp[at]) << width << " pixel " << x << "," << y;
        EXPECT_EQ(static_cast<uint8_t>(x >> 8), bmp[at + 1]) << width << " pixel " << x << "," << y;
        EXPECT_EQ(static_cast<uint8_t>(y), bmp[at + 2]) << width << " pixel " << x << "," << y;
      }
      for (uint32_t p = 0; p < pad; ++p) EXPECT_EQ(0, bmp[row_start + 3 * width + p]) << width << " pad " << p;
    }
  }
}

TEST(Bmp, NothingToWriteOrNowhereToWrite) {
  const std::vector<uint8_t> image = Image(4, 4);
  EXPECT_FALSE(Application_WriteBmp("/nonexistent/dir/a.bmp", image.data(), 4, 4));
  EXPECT_FALSE(Application_WriteBmp(TempPath("x.bmp").c_str(), nullptr, 4, 4));
  EXPECT_FALSE(Application_WriteBmp(TempPath("x.bmp").c_str(), image.data(), 0, 4));
  EXPECT_FALSE(Application_WriteBmp(nullptr, image.data(), 4, 4));
}

TEST(Snapshot, NeedsAPixelCache) {
  host_test::StandIn stand_in;
  Application* app = Application_Allocate(&stand_in.params, nullptr);
  ASSERT_NE(nullptr, app);
  const std::string path = TempPath("none.bmp");
  // A window has no pixel cache in this program, and neither has a record
  // that was never drawn.
  EXPECT_EQ(0, Application_TakeSnapshot(app, path.c_str()));
  EXPECT_EQ(0, Application_TakeSnapshot(nullptr, path.c_str()));
  EXPECT_NE(0, access(path.c_str(), F_OK));
  Application_Free(app);
}

}  // namespace
