// Slot files (exact bytes, malformed files, saves cut at every step) and velkor-trace on them.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <vector>

#include "tests/core/core_test_util.h"
#include "tests/support/save_interruption.h"

using namespace coretest;

namespace {

// Slot files live in the current directory: each test runs in a fresh one of its own.
class SlotsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/velkor-core-XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(pattern));
    directory = pattern;
    ASSERT_NE(nullptr, getcwd(previous, sizeof previous));
    ASSERT_EQ(0, chdir(pattern));
  }
  void TearDown() override {
    ASSERT_EQ(0, chdir(previous));
    ASSERT_EQ(0, system(("rm -rf '" + directory + "'").c_str()));
  }
  static std::string ReadFile(const char* name) {
    std::stringstream s;
    s << std::ifstream(name, std::ios::binary).rdbuf();
    return s.str();
  }
  static void WriteFile(const char* name, const std::string& bytes) {
    std::ofstream(name, std::ios::binary) << bytes;
  }
  // velkor-trace run with `arguments`: its output lines; its status and error text kept.
  std::vector<std::string> Run(const std::string& arguments) {
    int raw = system(("'" VELKOR_TRACE_BINARY "' " + arguments + " >out.txt 2>err.txt").c_str());
    status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    err = ReadFile("err.txt");
    std::istringstream out(ReadFile("out.txt"));
    std::vector<std::string> lines;
    for (std::string line; std::getline(out, line);) lines.push_back(line);
    return lines;
  }
  int status = -1;
  std::string err;
  std::unique_ptr<Simulator> s = NewSimulator();
  MachineState* m = &s->machine;
  std::string directory;
  char previous[4096];
};
using TraceToolTest = SlotsTest;

TEST_F(SlotsTest, SavedFileHasTheExactBytes) {
  ROMSave(m->rom, 0);
  std::string bytes = ReadFile("slot1.csv");
  ASSERT_EQ(64u * 14u, bytes.size());
  EXPECT_EQ("FFFE;FF80;\"\"\r\n", bytes.substr(0, 14));
  EXPECT_EQ("FF80;4031;\"\"\r\n", bytes.substr(63 * 14));
  ROMSave(m->rom, 9);
  ROMSave(m->rom, 10);  // slots stop at nine
  EXPECT_EQ(0, access("slot10.csv", F_OK));
  EXPECT_EQ(0, system("test $(ls | wc -l) -eq 2"));
}

// Killed or failing at any step, a save leaves the old or the new file; the next one works.
TEST_F(SlotsTest, EveryCutSaveLeavesTheOldOrTheNewFile) {
  std::unique_ptr<Simulator> old_program = NewSimulator(), new_program = NewSimulator();
  for (unsigned a = 0xFF80; a <= 0xFFFE; a += 2) {
    SetWord(&old_program->machine, a, a * 31u);
    SetWord(&new_program->machine, a, a * 7919u);
  }
  ROMSave(new_program->machine.rom, 0);
  const std::string new_bytes = ReadFile("slot1.csv");
  ROMSave(old_program->machine.rom, 0);
  const std::string old_bytes = ReadFile("slot1.csv");
  for (SaveInterruption how : {kKillBefore, kKillPartway, kFailCall}) {
    SCOPED_TRACE(how);
    int points = 0;
    for (int n = 1; n < 1000; ++n) {
      SCOPED_TRACE("call " + std::to_string(n));
      ROMSave(old_program->machine.rom, 0);
      SaveRun run = RunInterruptedSave(how, n, [&] { ROMSave(new_program->machine.rom, 0); });
      const std::string after = ReadFile("slot1.csv");
      if (!run.reached) {
        EXPECT_EQ(new_bytes, after);  // uncut, the save completes
        break;
      }
      ++points;
      ASSERT_TRUE(after == old_bytes || after == new_bytes) << "a mix of " << after.size();
      if (how == kFailCall) {
        EXPECT_EQ(0, system("test \"$(ls)\" = slot1.csv")) << "a failed save cleans up";
      }
      // Whatever a killed save left behind, the next one goes through.
      ROMSave(new_program->machine.rom, 0);
      EXPECT_EQ(new_bytes, ReadFile("slot1.csv"));
      EXPECT_EQ(0, system("test \"$(ls)\" = slot1.csv"));
    }
    EXPECT_GE(points, 5);  // the write, the flush, the close, the rename and after it
  }
  // Only the order of the calls shows that the data is on the disk before the rename.
  EXPECT_EQ("write fsync close rename fsync close ",
            RecordSaveCalls([&] { ROMSave(new_program->machine.rom, 0); }));
  // The temporary cannot be created: the save must give up, not truncate.
  ASSERT_EQ(0, mkdir("slot1.csv.tmp", 0700));
  ROMSave(old_program->machine.rom, 0);
  EXPECT_EQ(new_bytes, ReadFile("slot1.csv"));
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
      {"the address field is not used", "FF80;4031;\"\"\r\n", "@FFFE=4031 @FFFC=FFD0"},
      // The line break after a lone semicolon is no blank: the next line is not this word.
      {"missing word", "FFFE;\nFFFC;5678\nFFFA;9999\n", "@FFFE=FF80 @FFFC=FFD0 @FFFA=FFFF"},
      // A blank line has no numbers either: skipping it would move every later word.
      {"blank line", "FFFE;1111\n\nFFFA;3333\n", "@FFFE=1111 @FFFC=FFD0 @FFFA=FFFF"},
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

TEST_F(TraceToolTest, ListsTheWordsInMemoryAndWhereTheSimulatorDiffers) {
  // Each line's words are stored at its address first.
  const std::vector<std::string> expected = {
      "FF80: 4031 0280  MOV  #0x0280,SP",
      "FF84: 4037 0008  MOV  #8,R7  ; the simulator takes #8 from the constant generator and "
      "fetches 0008 at FF86 as the next instruction",
      "FF88: 5595 0002 4303  RLA  0x0002(R5)  ; on hardware ADD  0x0002(R5),0x4303(R5); the "
      "simulator reads one extension word and fetches 4303 at FF8C as the next instruction",
      "FF8E: 6393 0006  RLC  0x0006(R3)  ; on hardware ADDC  #1,0x0006(R3)",
      "FF92: 23FE  JNE  -2",
      "FF94: 1124  ---  ; on hardware RRA  @R4; the simulator cannot decode it and answers with "
      "RESET",
  };
  for (const std::string& line : expected) {
    unsigned address = std::stoul(line, nullptr, 16);
    std::istringstream words(line.substr(6, line.find("  ") - 6));
    for (unsigned word; words >> std::hex >> word; address += 2) SetWord(m, address, word);
  }
  // An instruction whose extension word would lie beyond 0xFFFE lists the words there are.
  SetWord(m, 0xFFFE, 0x4031);
  ROMSave(m->rom, 2);  // the slot file as the slot pop-up writes it
  std::vector<std::string> lines = Run("slot3.csv --list");
  EXPECT_EQ(0, status);
  ASSERT_GE(lines.size(), expected.size());
  EXPECT_EQ("FFFE: 4031  MOV  #0,SP  ; its extension word would lie beyond FFFE", lines.back());
  lines.resize(expected.size());
  EXPECT_EQ(expected, lines);
}

TEST_F(TraceToolTest, RunsFromTheResetVectorAndStartsOverAfterAReset) {
  // ADD #-1,R4; MOV #8,R7 stored with an extension word, which then runs as a word that resets.
  WriteFile("student.csv", "FFFE;FFF4\nFFFC;FFD0\nFFFA;FFFF\nFFF8;0008\nFFF6;4037\nFFF4;5334\n");
  auto line = [](const std::string& instruction, const char* pc, const char* r7) {
    return instruction + " | R0=" + pc +
           " R1=0000 R2=0004 R3=0000 R4=FFFF R5=0000 R6=0000 R7=" + r7 +
           " R8=0000 R9=0000 R10=0000 R11=0000 R12=0000 R13=0000 R14=0000 R15=0000" +
           " | V=0 N=1 Z=0 C=0";
  };
  const std::string add = line("FFF4: 5334  ADD  #-1,R4", "FFF6", "0000");
  const std::vector<std::string> expected = {add, line("FFF6: 4037  MOV  #8,R7", "FFF8", "0008"),
                                             "RESET", add};
  EXPECT_EQ(expected, Run("student.csv --steps=4"));
  EXPECT_EQ(0, status);
}

TEST_F(TraceToolTest, CommandLines) {
  EXPECT_EQ(0u, Run("--help").at(0).find("Usage: velkor-trace"));
  EXPECT_EQ(20u, Run("").size());  // the default
  EXPECT_TRUE(Run("--steps 0").empty());
  // Mistakes give one line and a failure status.
  WriteFile("a.csv", "FFFE;FF80\n");
  mkdir("folder.csv", 0700);
  for (const char* arguments :
       {"missing.csv", "folder.csv", "--bogus", "--steps", "--steps -1", "--steps 12x",
        "a.csv a.csv", "--steps 99999999999999999999", "a.csv --list --steps 3"}) {
    SCOPED_TRACE(arguments);
    EXPECT_TRUE(Run(arguments).empty());
    EXPECT_NE(0, status);
    // Exactly one line.
    EXPECT_EQ(std::make_pair(size_t(0), err.size() - 1),
              std::make_pair(err.find("velkor-trace: "), err.find('\n')));
  }
}

}  // namespace
