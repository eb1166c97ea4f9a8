// velkor-gallery as a user runs it: its exit status, and the picture written.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

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
  std::string ReadOutput() const {
    std::ifstream in(directory_ + "/out.txt");
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  std::string directory_;
};

TEST_F(GalleryTool, WritesAPictureAndRefusesWhatItCannotDo) {
  const struct {
    const char* arguments;
    int status;
  } cases[] = {{"--help", 0},
               {"--out picture.gif", 2},
               {"--bogus", 2},
               {"--out", 2},
               {"--out /nonexistent-directory/g.png", 1},
               {"--out /nonexistent-directory/g.bmp", 1}};
  for (const auto& c : cases) {
    EXPECT_EQ(c.status, Run(c.arguments)) << c.arguments;
    // One line saying what is wrong, or the usage on --help.
    const std::string out = ReadOutput();
    EXPECT_EQ(0u, out.find(c.status == 0 ? "usage: velkor-gallery" : "velkor-gallery: ")) << out;
  }
  EXPECT_NE(0, access("picture.gif", F_OK));
  const std::string picture = directory_ + "/gallery.png";
  EXPECT_EQ(0, Run("--out " + picture));
  EXPECT_EQ(0, access(picture.c_str(), F_OK));
}

// A file name is the user's text: the refusal quotes it with its control
// characters spelled out, so that no escape sequence reaches the terminal.
TEST_F(GalleryTool, AnUnwritableNameIsQuotedWithoutItsControlCharacters) {
  EXPECT_EQ(1, Run("--out \"/nonexistent-directory/$(printf '\\033[2J')x.png\""));
  const std::string out = ReadOutput();
  EXPECT_EQ(std::string::npos, out.find('\033')) << out;
  EXPECT_NE(std::string::npos, out.find("/nonexistent-directory/\\x1b[2Jx.png")) << out;
  EXPECT_EQ(out.size() - 1, out.find('\n')) << "one line: " << out;
}

}  // namespace
