// A settings write cut at every one of its steps (the process killed there,
// or the call failing) leaves the settings file with exactly its previous
// content or exactly the new one, and the next write still works.
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "host/host_preferences.h"
#include "tests/support/save_interruption.h"

namespace {

const char kOldSettings[] =
    "; kept as written\r\n"
    "[Window]\r\n"
    "State=1\r\n"
    "Position=10x20x640x480\r\n"
    "\r\n"
    "[Other]\r\n"
    "Key=value\r\n";

class CrashSafeSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/velkor-settings-XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(pattern));
    directory = pattern;
    path = directory + "/velkor.ini";
  }
  void TearDown() override { ASSERT_EQ(0, system(("rm -rf '" + directory + "'").c_str())); }

  std::string Read() const {
    std::stringstream s;
    s << std::ifstream(path, std::ios::binary).rdbuf();
    return s.str();
  }
  void Write(const std::string& bytes) const {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
  }
  std::set<std::string> Entries() const {
    std::set<std::string> names;
    DIR* d = opendir(directory.c_str());
    if (d == nullptr) return names;
    while (dirent* entry = readdir(d)) {
      if (entry->d_name[0] != '.') names.insert(entry->d_name);
    }
    closedir(d);
    return names;
  }
  std::string ReadKey(const char* section, const char* key) const {
    char value[256] = "";
    ProfileReadString(path.c_str(), section, key, value, sizeof value);
    return value;
  }

  std::string directory;
  std::string path;
};

TEST_F(CrashSafeSettingsTest, EveryCutLeavesTheOldOrTheNewFile) {
  Write(kOldSettings);
  ASSERT_TRUE(ProfileWriteString(path.c_str(), "Window", "State", "2"));
  const std::string new_bytes = Read();
  ASSERT_NE(std::string(kOldSettings), new_bytes);
  ASSERT_EQ("2", ReadKey("Window", "State"));

  const struct {
    SaveInterruption how;
    const char* name;
  } kCases[] = {
      {kKillBefore, "killed before the call"},
      {kKillPartway, "killed half-way through a write"},
      {kFailCall, "the call fails"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    int points = 0;
    bool saw_old = false, saw_new = false;
    for (int n = 1; n < 1000; ++n) {
      SCOPED_TRACE("call " + std::to_string(n));
      ASSERT_EQ(0, system(("rm -f '" + directory + "'/*").c_str()));
      Write(kOldSettings);
      ASSERT_EQ(0, chmod(path.c_str(), 0640));
      SaveRun run = RunInterruptedSave(
          c.how, n, [&] { ProfileWriteString(path.c_str(), "Window", "State", "2"); });
      const std::string after = Read();
      if (!run.reached) {
        EXPECT_EQ(new_bytes, after);  // uncut, the write completes
        break;
      }
      ++points;
      EXPECT_EQ(c.how != kFailCall, run.killed);
      ASSERT_TRUE(after == kOldSettings || after == new_bytes) << "a mix:\n" << after;
      saw_old |= after == kOldSettings;
      saw_new |= after == new_bytes;
      struct stat info;
      ASSERT_EQ(0, stat(path.c_str(), &info));
      EXPECT_EQ(0640u, info.st_mode & 07777u);  // the file keeps its permission either way
      if (c.how == kFailCall) {
        // A failed write cleans up after itself.
        EXPECT_EQ(std::set<std::string>{"velkor.ini"}, Entries());
      }
      // Whatever a killed writer left behind (its lock included), the next write goes
      // through and keeps everything else.
      EXPECT_TRUE(ProfileWriteString(path.c_str(), "Window", "Position", "1x2x300x200"));
      EXPECT_EQ("1x2x300x200", ReadKey("Window", "Position"));
      EXPECT_EQ(after == kOldSettings ? "1" : "2", ReadKey("Window", "State"));
      EXPECT_EQ("value", ReadKey("Other", "Key"));
    }
    // Cut at the read, the write, the close, the rename and after it.
    EXPECT_GE(points, 4);
    EXPECT_TRUE(saw_old);
    if (c.how != kFailCall) {
      EXPECT_TRUE(saw_new);  // killed after the rename
    }
  }
}

TEST_F(CrashSafeSettingsTest, ANewSettingsFileAppearsWholeOrNotAtAll) {
  ASSERT_TRUE(ProfileWriteString(path.c_str(), "Window", "State", "3"));
  const std::string new_bytes = Read();
  for (int n = 1; n < 1000; ++n) {
    SCOPED_TRACE("call " + std::to_string(n));
    ASSERT_EQ(0, system(("rm -f '" + directory + "'/*").c_str()));
    SaveRun run = RunInterruptedSave(
        kKillPartway, n, [&] { ProfileWriteString(path.c_str(), "Window", "State", "3"); });
    if (access(path.c_str(), F_OK) == 0) {
      EXPECT_EQ(new_bytes, Read());
    } else {
      EXPECT_TRUE(run.reached);
    }
    if (!run.reached) break;
  }
}

}  // namespace
