// Slot files: the exact bytes ROMSave writes, ROMLoad reading them back,
// malformed files, and a failed save that must keep the previous file.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "tests/core/core_test_util.h"

using namespace coretest;

namespace {

// Every test runs in a fresh directory of its own, since slot files live in
// the current directory.
class SlotsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/velkor-slots-XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(pattern));
    directory = pattern;
    ASSERT_NE(nullptr, getcwd(previous, sizeof previous));
    ASSERT_EQ(0, chdir(directory.c_str()));
    m = NewMachine();
  }
  void TearDown() override {
    ASSERT_EQ(0, chdir(previous));
    std::string command = "rm -rf '" + directory + "'";
    ASSERT_EQ(0, system(command.c_str()));
  }
  static std::string ReadFile(const char* name) {
    std::ifstream in(name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  static void WriteFile(const char* name, const std::string& bytes) {
    std::ofstream out(name, std::ios::binary);
    out << bytes;
  }
  std::string directory;
  char previous[4096];
  std::unique_ptr<MachineState> m;
};

TEST_F(SlotsTest, SavedFileHasTheExactBytes) {
  ROMSave(m->rom, 0);
  std::string bytes = ReadFile("slot1.csv");
  std::string expected;
  for (unsigned address = 0xFFFE; address >= 0xFF80; address -= 2) {
    char line[32];
    snprintf(line, sizeof line, "%04X;%04X;\"\"\r\n", address, Word(m.get(), address));
    expected += line;
  }
  EXPECT_EQ(expected, bytes);
  EXPECT_EQ(64u * 14u, bytes.size()); // 14 bytes a line
  EXPECT_EQ("FFFE;FF80;\"\"\r\n", bytes.substr(0, 14));
  EXPECT_EQ("FF80;4031;\"\"\r\n", bytes.substr(63 * 14));
  EXPECT_NE(0, access("slot1.csv.tmp", F_OK)); // no temporary left behind
}

TEST_F(SlotsTest, SlotNumbersNameTheFiles) {
  ROMSave(m->rom, 9);
  EXPECT_EQ(0, access("slot10.csv", F_OK));
  ROMSave(m->rom, 10); // there is no eleventh slot
  EXPECT_NE(0, access("slot11.csv", F_OK));
}

TEST_F(SlotsTest, SaveThenLoadRestoresEveryByte) {
  for (unsigned a = 0xFF80; a <= 0xFFFE; a += 2) SetRomWord(m.get(), a, (a * 7919u) & 0xFFFF);
  ROMSave(m->rom, 3);
  auto loaded = NewMachine();
  ROMLoad(3, loaded->rom);
  for (int r = 0; r < kMemoryRowCount; ++r) {
    EXPECT_STREQ(m->rom[r].cells[kRowHighCell], loaded->rom[r].cells[kRowHighCell]) << r;
    EXPECT_STREQ(m->rom[r].cells[kRowLowCell], loaded->rom[r].cells[kRowLowCell]) << r;
  }
}

TEST_F(SlotsTest, LinesFillRowsByPosition) {
  WriteFile("slot2.csv", "FFFE;1234\nFFFC;5678\n");
  ROMLoad(1, m->rom);
  EXPECT_EQ(0x1234u, Word(m.get(), 0xFFFE));
  EXPECT_EQ(0x5678u, Word(m.get(), 0xFFFC));
  EXPECT_EQ(0x4031u, Word(m.get(), 0xFF80)); // rows without a line keep their words

  WriteFile("slot2.csv", "FF80;4031;\"\"\r\n");
  ROMLoad(1, m->rom);
  EXPECT_EQ(0x4031u, Word(m.get(), 0xFFFE)); // the address field is not used
}

TEST_F(SlotsTest, MalformedLineEndsTheLoad) {
  const struct {
    const char* name;
    std::string content;
    unsigned fffe;
    unsigned fffc;
  } cases[] = {
      {"garbage line", "FFFE;1111\nXYZ\nFFFA;3333\n", 0x1111, 0xFFD0},
      {"missing word", "FFFE;\n", 0xFF80, 0xFFD0},
      {"empty file", "", 0xFF80, 0xFFD0},
      {"five-digit word keeps its first four", "FFFE;12345\nFFFC;2222\n", 0x1234, 0x2222},
      {"binary junk", std::string("\x01\xff\x00\x7f", 4), 0xFF80, 0xFFD0},
      {"lowercase and short", "fffe;ab\nfffc;1\n", 0x00AB, 0x0001},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto fresh = NewMachine();
    WriteFile("slot5.csv", c.content);
    ROMLoad(4, fresh->rom);
    EXPECT_EQ(c.fffe, Word(fresh.get(), 0xFFFE));
    EXPECT_EQ(c.fffc, Word(fresh.get(), 0xFFFC));
  }
}

TEST_F(SlotsTest, MoreThanSixtyFourLinesAreIgnored) {
  std::string content;
  for (int i = 0; i < 70; ++i) content += "0000;1111;\"\"\n";
  WriteFile("slot1.csv", content);
  ROMLoad(0, m->rom);
  EXPECT_EQ(0x1111u, Word(m.get(), 0xFF80));
  EXPECT_EQ(0x1111u, Word(m.get(), 0xFFFE));
}

TEST_F(SlotsTest, MissingFileLoadsNothing) {
  auto before = NewMachine();
  ROMLoad(7, m->rom);
  EXPECT_EQ(0, memcmp(before->rom, m->rom, sizeof m->rom));
}

TEST_F(SlotsTest, FailedSaveKeepsThePreviousFile) {
  WriteFile("slot1.csv", "FFFE;1234;\"\"\r\n");
  // The temporary cannot be created: the save must give up, not truncate.
  ASSERT_EQ(0, mkdir("slot1.csv.tmp", 0700));
  ROMSave(m->rom, 0);
  EXPECT_EQ("FFFE;1234;\"\"\r\n", ReadFile("slot1.csv"));
}

} // namespace
