// velkor-gallery as a user runs it: the picture it writes, read back.
#include <gtest/gtest.h>
#include <png.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

class GalleryTool : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/velkor-gallery-test-XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(pattern));
    directory_ = pattern;
  }
  void TearDown() override { ASSERT_EQ(0, std::system(("rm -rf " + directory_).c_str())); }
  // Runs the tool with `arguments`; returns its exit status.
  int Run(const std::string& arguments) {
    const std::string command =
        std::string(VELKOR_GALLERY_BINARY) + " " + arguments + " > " + directory_ + "/out.txt 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string directory_;
};

TEST_F(GalleryTool, PngShowsTheWidgetsInTheirStates) {
  const std::string path = directory_ + "/gallery.png";
  ASSERT_EQ(0, Run("--out " + path));
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_file(&png, path.c_str()));
  ASSERT_EQ(1280u, png.width);
  ASSERT_EQ(768u, png.height);
  png.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(png));
  ASSERT_TRUE(png_image_finish_read(&png, nullptr, rgb.data(), 0, nullptr));
  // The pixel at display position (x, y), origin bottom left.
  auto at = [&rgb](int x, int y) { return &rgb[((767 - y) * 1280 + x) * 3]; };
  // The background behind the regions is colour 7 (51, 51, 51).
  EXPECT_EQ(51, at(1278, 1)[0]);
  // The buttons family: the hovered push button (second cell of the first
  // row) carries the focus frame colour (232, 222, 37), the released one
  // (first cell) does not.
  int focus_pixels[2] = {0, 0};
  for (int y = 650; y < 720; ++y) {
    for (int x = 14; x < 248; ++x) {
      const uint8_t* p = at(x, y);
      focus_pixels[x >= 138] += (p[0] > 220 && p[1] > 210 && p[2] < 60) ? 1 : 0;
    }
  }
  EXPECT_EQ(0, focus_pixels[0]);
  EXPECT_GT(focus_pixels[1], 100);
}

TEST_F(GalleryTool, RefusesWhatItCannotDo) {
  const struct {
    const char* arguments;
    int status;
  } cases[] = {{"--out picture.gif", 2},
               {"--bogus", 2},
               {"--out", 2},
               {"--out /nonexistent-directory/g.png", 1},
               {"--out /nonexistent-directory/g.bmp", 1}};
  for (const auto& c : cases) {
    EXPECT_EQ(c.status, Run(c.arguments)) << c.arguments;
  }
  EXPECT_NE(0, access("picture.gif", F_OK));
}

}  // namespace
