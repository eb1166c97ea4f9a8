// Slot files: the exact bytes ROMSave writes, ROMLoad reading them back,
// malformed files, and a failed save that must keep the previous file.
#include <sys/stat.h>

#include "tests/core/core_test_util.h"

using namespace coretest;

namespace {

class SlotsTest : public InFreshDirectory {
 protected:
  std::unique_ptr<Simulator> s = NewSimulator();
  MachineState* m = &s->machine;
};

TEST_F(SlotsTest, SavedFileHasTheExactBytes) {
  ROMSave(m->rom, 0);
  std::string bytes = ReadFile("slot1.csv");
  ASSERT_EQ(64u * 14u, bytes.size());
  EXPECT_EQ("FFFE;FF80;\"\"\r\n", bytes.substr(0, 14));
  EXPECT_EQ("FFD0;1300;\"\"\r\nFFCE;FFFF;\"\"\r\n", bytes.substr(23 * 14, 28));
  EXPECT_EQ("FF80;4031;\"\"\r\n", bytes.substr(63 * 14));
  EXPECT_NE(0, access("slot1.csv.tmp", F_OK));  // no temporary left behind
}

TEST_F(SlotsTest, SlotIndexNamesTheFileAndStopsAtNine) {
  ROMSave(m->rom, 9);
  ROMSave(m->rom, 10);
  ROMSave(m->rom, 0xFFFFFFFFu);
  EXPECT_EQ(0, access("slot10.csv", F_OK));
  EXPECT_EQ(0, system("test $(ls | wc -l) -eq 1"));
}

TEST_F(SlotsTest, SaveThenLoadRestoresEveryByte) {
  for (unsigned a = 0xFF80; a <= 0xFFFE; a += 2) SetWord(m, a, (a * 7919u) & 0xFFFF);
  ROMSave(m->rom, 3);
  std::unique_ptr<Simulator> loaded = NewSimulator();
  ROMLoad(3, loaded->machine.rom);
  EXPECT_EQ(0, memcmp(m->rom, loaded->machine.rom, sizeof m->rom));
}

TEST_F(SlotsTest, LinesFillRowsByPositionUntilTheFirstMalformedOne) {
  std::string seventy;
  for (int i = 0; i < 70; ++i) seventy += "0000;1111;\"\"\n";
  // Loaded over the initial state (FFFE=FF80, FFFC=FFD0, FFFA=FFFF, FF80=4031).
  const struct {
    const char* name;
    std::string content;
    const char* expected;
  } cases[] = {
      {"two lines without the third field", "FFFE;1234\nFFFC;5678\n", "@FFFE=1234 @FFFC=5678"},
      {"the address field is not used", "FF80;4031;\"\"\r\n", "@FFFE=4031 @FFFC=FFD0"},
      {"garbage line", "FFFE;1111\nXYZ\nFFFA;3333\n", "@FFFE=1111 @FFFC=FFD0 @FFFA=FFFF"},
      // The line break after a lone semicolon is no blank before a number:
      // the next line is not read as this line's word.
      {"missing word", "FFFE;\nFFFC;5678\nFFFA;9999\n", "@FFFE=FF80 @FFFC=FFD0 @FFFA=FFFF"},
      {"missing word after CR", "FFFE;1111\r\nFFFC;\r\nFFFA;9999\r\n",
       "@FFFE=1111 @FFFC=FFD0 @FFFA=FFFF"},
      // A blank line is a line without numbers too: skipping it would move
      // every later word to another address.
      {"blank line", "FFFE;1111\n\nFFFA;3333\n", "@FFFE=1111 @FFFC=FFD0 @FFFA=FFFF"},
      {"five-digit word keeps its first four", "FFFE;12345\nFFFC;2222\n", "@FFFE=1234 @FFFC=2222"},
      {"a long line is skipped to its end", "FFFE;1111;" + std::string(500, 'x') + "\nFFFC;2222\n",
       "@FFFE=1111 @FFFC=2222"},
      {"lower case and short", "fffe;ab\nfffc;1\n", "@FFFE=00AB @FFFC=0001"},
      {"lines beyond the 64th", seventy, "@FFFE=1111 @FF80=1111"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WriteFile("slot2.csv", c.content);
    std::unique_ptr<Simulator> fresh = NewSimulator();
    ROMLoad(1, fresh->machine.rom);
    EXPECT_EQ(c.expected, Get(&fresh->machine, c.expected));
  }
  // Lines beyond the 64th are not read: the row behind the table stays.
  MemoryRow rows[kMemoryRowCount + 1] = {};
  ROMLoad(1, rows);
  EXPECT_STREQ("", rows[kMemoryRowCount].cells[kRowHighCell]);
  remove("slot2.csv");
  ROMLoad(1, m->rom);  // no file: nothing changes
  EXPECT_EQ("@FFFE=FF80", Get(m, "@FFFE"));
}

TEST_F(SlotsTest, FailedSaveKeepsThePreviousFile) {
  WriteFile("slot1.csv", "FFFE;1234;\"\"\r\n");
  // The temporary cannot be created: the save must give up, not truncate.
  ASSERT_EQ(0, mkdir("slot1.csv.tmp", 0700));
  ROMSave(m->rom, 0);
  EXPECT_EQ("FFFE;1234;\"\"\r\n", ReadFile("slot1.csv"));
}

}  // namespace
