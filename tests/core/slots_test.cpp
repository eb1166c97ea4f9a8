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
  // The words at 0xFFFE, 0xFFFC and 0xFF80 after loading over the initial state.
  const struct {
    const char* name;
    bool present;
    std::string content;
    unsigned fffe, fffc, ff80;
  } cases[] = {
      {"two lines without the third field", true, "FFFE;1234\nFFFC;5678\n", 0x1234, 0x5678, 0x4031},
      {"the address field is not used", true, "FF80;4031;\"\"\r\n", 0x4031, 0xFFD0, 0x4031},
      {"garbage line", true, "FFFE;1111\nXYZ\nFFFA;3333\n", 0x1111, 0xFFD0, 0x4031},
      {"missing word", true, "FFFE;\n", 0xFF80, 0xFFD0, 0x4031},
      {"empty file", true, "", 0xFF80, 0xFFD0, 0x4031},
      {"five-digit word keeps its first four", true, "FFFE;12345\nFFFC;2222\n", 0x1234, 0x2222,
       0x4031},
      {"binary junk", true, std::string("\x01\xff\x00\x7f", 4), 0xFF80, 0xFFD0, 0x4031},
      {"lower case and short", true, "fffe;ab\nfffc;1\n", 0x00AB, 0x0001, 0x4031},
      {"lines beyond the 64th", true, seventy, 0x1111, 0x1111, 0x1111},
      {"no file", false, "", 0xFF80, 0xFFD0, 0x4031},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    remove("slot2.csv");
    if (c.present) WriteFile("slot2.csv", c.content);
    std::unique_ptr<Simulator> fresh = NewSimulator();
    ROMLoad(1, fresh->machine.rom);
    EXPECT_EQ(c.fffe, Word(&fresh->machine, 0xFFFE));
    EXPECT_EQ(c.fffc, Word(&fresh->machine, 0xFFFC));
    EXPECT_EQ(c.ff80, Word(&fresh->machine, 0xFF80));
  }
}

TEST_F(SlotsTest, FailedSaveKeepsThePreviousFile) {
  WriteFile("slot1.csv", "FFFE;1234;\"\"\r\n");
  // The temporary cannot be created: the save must give up, not truncate.
  ASSERT_EQ(0, mkdir("slot1.csv.tmp", 0700));
  ROMSave(m->rom, 0);
  EXPECT_EQ("FFFE;1234;\"\"\r\n", ReadFile("slot1.csv"));
}

}  // namespace
