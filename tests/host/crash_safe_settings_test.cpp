// A settings write cut at any of its calls (killed there, or the call failing)
// leaves exactly the previous file (or none) or the new one; the next works.
#include <glob.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "host/host_preferences.h"
#include "tests/host/stand_in_layer.h"
#include "tests/support/save_interruption.h"

namespace {

const char kOldSettings[] =
    "; kept as "
    "written\r\n[Window]\r\nState=1\r\nPosition=10x20x640x480\r\n\r\n[Other]\r\nKey=value\r\n";

std::string read_key(const std::string& path, const char* section, const char* key) {
  char value[256] = "";
  ProfileReadString(path.c_str(), section, key, value, sizeof value);
  return value;
}

TEST(CrashSafeSettings, EveryCutLeavesTheOldOrTheNewFile) {
  host_test::TempDir dir;
  const std::string path = dir.file("velkor.ini");
  const auto write_state = [&] { return ProfileWriteString(path.c_str(), "Window", "State", "2"); };
  // The file as it stands, "none" when there is none.
  const auto contents = [&] {
    return access(path.c_str(), F_OK) == 0 ? host_test::ReadFile(path) : "none";
  };
  const struct {
    SaveInterruption how;
    bool existing;  // a file to replace, or a new one
  } cases[] = {{kKillBefore, true}, {kKillPartway, true}, {kFailCall, true}, {kKillPartway, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.how) + (c.existing ? " replacing" : " new"));
    const auto start = [&] {
      std::system(("rm -f '" + dir.path + "'/*").c_str());
      if (c.existing) std::ofstream(path, std::ios::binary) << kOldSettings;
      if (c.existing) chmod(path.c_str(), 0640);
    };
    start();
    const std::string old_bytes = contents();
    ASSERT_TRUE(write_state());
    const std::string new_bytes = contents();
    int points = 0;
    bool saw_old = false, saw_new = false;
    for (int n = 1; n < 1000; ++n) {
      SCOPED_TRACE("call " + std::to_string(n));
      start();
      const SaveRun run = RunInterruptedSave(c.how, n, write_state);
      const std::string after = contents();
      if (!run.reached) {
        EXPECT_EQ(new_bytes, after);  // uncut, the write completes
        break;
      }
      ++points;
      EXPECT_EQ(c.how != kFailCall, run.killed);
      ASSERT_TRUE(after == old_bytes || after == new_bytes) << "a mix:\n" << after;
      saw_old |= after == old_bytes;
      saw_new |= after == new_bytes;
      if (!c.existing) continue;
      struct stat info;
      ASSERT_EQ(0, stat(path.c_str(), &info));
      EXPECT_EQ(0640u, info.st_mode & 07777u);  // the file keeps its permission either way
      if (c.how == kFailCall) {                 // a failed write cleans up after itself
        glob_t found;
        glob((dir.path + "/*").c_str(), 0, nullptr, &found);
        EXPECT_EQ(1u, found.gl_pathc);
        globfree(&found);
      }
      // Whatever a killed writer left (its lock too), the next write goes through.
      EXPECT_TRUE(ProfileWriteString(path.c_str(), "Window", "Position", "1x2x300x200"));
      EXPECT_EQ("1x2x300x200", read_key(path, "Window", "Position"));
      EXPECT_EQ(after == old_bytes ? "1" : "2", read_key(path, "Window", "State"));
      EXPECT_EQ("value", read_key(path, "Other", "Key"));
    }
    EXPECT_GE(points, 4);  // cut at the write, the close, the rename and after it
    EXPECT_TRUE(saw_old);
    EXPECT_TRUE(saw_new || c.how == kFailCall);  // killed after the rename
  }
}

}  // namespace
