// A slot save cut at every one of its steps (the process killed there, or the
// call failing) leaves the slot file with exactly the previous program or
// exactly the new one, and the next save still works.
#include <dirent.h>
#include <unistd.h>

#include <fstream>
#include <set>

#include "tests/core/core_test_util.h"
#include "tests/support/save_interruption.h"

using namespace coretest;

namespace {

std::string read_file(const char* name) {
  std::stringstream s;
  s << std::ifstream(name, std::ios::binary).rdbuf();
  return s.str();
}

std::set<std::string> directory_entries() {
  std::set<std::string> names;
  DIR* directory = opendir(".");
  if (directory == nullptr) return names;
  while (dirent* entry = readdir(directory)) {
    if (entry->d_name[0] != '.') names.insert(entry->d_name);
  }
  closedir(directory);
  return names;
}

class CrashSafeSavesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/velkor-crash-XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(pattern));
    directory = pattern;
    ASSERT_NE(nullptr, getcwd(previous, sizeof previous));
    ASSERT_EQ(0, chdir(pattern));
    for (unsigned a = 0xFF80; a <= 0xFFFE; a += 2) {
      SetWord(&old_program->machine, a, (a * 31u) & 0xFFFF);
      SetWord(&new_program->machine, a, (a * 7919u) & 0xFFFF);
      SetWord(&third_program->machine, a, (a * 101u) & 0xFFFF);
    }
    ROMSave(new_program->machine.rom, 0);
    new_bytes = read_file("slot1.csv");
    ROMSave(old_program->machine.rom, 0);
    old_bytes = read_file("slot1.csv");
    ASSERT_EQ(64u * 14u, old_bytes.size());
    ASSERT_EQ(old_bytes.size(), new_bytes.size());
    ASSERT_NE(old_bytes, new_bytes);
  }
  void TearDown() override {
    ASSERT_EQ(0, chdir(previous));
    ASSERT_EQ(0, system(("rm -rf '" + directory + "'").c_str()));
  }
  std::unique_ptr<Simulator> old_program = NewSimulator();
  std::unique_ptr<Simulator> new_program = NewSimulator();
  std::unique_ptr<Simulator> third_program = NewSimulator();
  std::string old_bytes, new_bytes;
  std::string directory;
  char previous[4096];
};

TEST_F(CrashSafeSavesTest, EveryCutLeavesTheOldOrTheNewProgram) {
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
      ROMSave(old_program->machine.rom, 0);
      ASSERT_EQ(old_bytes, read_file("slot1.csv"));
      SaveRun run = RunInterruptedSave(c.how, n, [&] { ROMSave(new_program->machine.rom, 0); });
      const std::string after = read_file("slot1.csv");
      if (!run.reached) {
        EXPECT_EQ(new_bytes, after);  // uncut, the save completes
        break;
      }
      ++points;
      EXPECT_EQ(c.how != kFailCall, run.killed);
      ASSERT_TRUE(after == old_bytes || after == new_bytes)
          << "a mix of " << after.size() << " bytes";
      saw_old |= after == old_bytes;
      saw_new |= after == new_bytes;
      if (c.how == kFailCall) {
        // A failed save cleans up after itself.
        EXPECT_EQ(std::set<std::string>{"slot1.csv"}, directory_entries());
      }
      // Whatever a killed save left behind, the next one goes through.
      ROMSave(third_program->machine.rom, 0);
      std::unique_ptr<Simulator> loaded = NewSimulator();
      ROMLoad(0, loaded->machine.rom);
      EXPECT_EQ(
          0, memcmp(third_program->machine.rom, loaded->machine.rom, sizeof loaded->machine.rom));
      EXPECT_EQ(std::set<std::string>{"slot1.csv"}, directory_entries());
    }
    // Cut at the write, the flush, the close, the rename and after it.
    EXPECT_GE(points, 5);
    EXPECT_TRUE(saw_old);
    if (c.how != kFailCall) {
      EXPECT_TRUE(saw_new);  // killed after the rename
    }
  }
}

// A kill cannot tell whether the data reached the disk before the rename (the
// page cache survives it, a power cut does not): the order of the calls can.
TEST_F(CrashSafeSavesTest, TheTemporaryFileIsOnTheDiskBeforeTheRenameAndTheRenameAfter) {
  EXPECT_EQ("write fsync close rename fsync close ",
            RecordSaveCalls([&] { ROMSave(new_program->machine.rom, 0); }));
  EXPECT_EQ(new_bytes, read_file("slot1.csv"));
}

TEST_F(CrashSafeSavesTest, ANewSlotFileAppearsWholeOrNotAtAll) {
  for (int n = 1; n < 1000; ++n) {
    SCOPED_TRACE("call " + std::to_string(n));
    unlink("slot2.csv");
    SaveRun run =
        RunInterruptedSave(kKillPartway, n, [&] { ROMSave(new_program->machine.rom, 1); });
    if (access("slot2.csv", F_OK) == 0) {
      EXPECT_EQ(new_bytes, read_file("slot2.csv"));
    } else {
      EXPECT_TRUE(run.reached);
    }
    if (!run.reached) break;
  }
}

}  // namespace
