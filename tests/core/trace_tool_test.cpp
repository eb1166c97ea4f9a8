// velkor-trace, run as a teacher would: its trace of the demonstration
// program, its listing of a student's slot file, and its answers to bad
// command lines and bad files.
#include <sys/stat.h>
#include <sys/wait.h>

#include <vector>

#include "tests/core/core_test_util.h"

using namespace coretest;

namespace {

struct Outcome {
  int status;
  std::vector<std::string> lines;
  std::string err;
};

class TraceToolTest : public InFreshDirectory {
 protected:
  static Outcome Run(const std::string& arguments) {
    int raw = system(("'" VELKOR_TRACE_BINARY "' " + arguments + " >out.txt 2>err.txt").c_str());
    Outcome o;
    o.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    std::istringstream out(ReadFile("out.txt"));
    for (std::string line; std::getline(out, line);) o.lines.push_back(line);
    o.err = ReadFile("err.txt");
    return o;
  }
};

// The demonstration program through three passes of its outer loop: MOV
// #0x8000,R4 (at FF84), then RRC R4 (at FF8C) sixteen times, the last one
// dropping the bit into C for JC to reload it.
TEST_F(TraceToolTest, ASingleBitMovesThroughR4AndIsReloaded) {
  Outcome o = Run("--steps 600");
  EXPECT_EQ(0, o.status);
  EXPECT_EQ("", o.err);
  ASSERT_EQ(600u, o.lines.size());
  EXPECT_EQ(
      "FF80: 4031 0280  MOV  #0x0280,SP | R0=FF84 R1=0280 R2=0000 R3=0000 "
      "R4=0000 R5=0000 R6=0000 R7=0000 R8=0000 R9=0000 R10=0000 R11=0000 "
      "R12=0000 R13=0000 R14=0000 R15=0000 | V=0 N=0 Z=0 C=0",
      o.lines[0]);
  // R4 and the flags after each RRC R4 (at FF8C): the bit walks down and
  // falls into C, and JC goes back to reload 8000, so each pass starts at 4000.
  std::string expected;
  std::string seen;
  for (int i = 0; i < 3 * 16; ++i) {
    char line[32];
    snprintf(line, sizeof line, "%04X V=0 N=0 Z=%d C=%d\n", 0x4000u >> (i % 16), i % 16 == 15,
             i % 16 == 15);
    expected += line;
  }
  for (const std::string& line : o.lines) {
    if (line.compare(0, 6, "FF8C: ") != 0) continue;
    seen += line.substr(line.find(" R4=") + 4, 4) + line.substr(line.find(" V=")) + "\n";
  }
  EXPECT_EQ(expected, seen.substr(0, expected.size()));
}

// The listing shows the words as they lie in memory, each extension word on
// its instruction's line, and says where the simulator will run a stored
// encoding otherwise than the hardware would.
TEST_F(TraceToolTest, ListsTheWordsInMemoryAndWhereTheSimulatorDiffers) {
  const struct {
    std::vector<unsigned> words;
    const char* line;
  } program[] = {
      {{0x4031, 0x0280}, "FF80: 4031 0280  MOV  #0x0280,SP"},
      {{0x4037, 0x0008},
       "FF84: 4037 0008  MOV  #8,R7  ; the simulator takes #8 from the constant generator and "
       "fetches 0008 at FF86 as the next instruction"},
      {{0x40B2, 0x0004, 0x0200},
       "FF88: 40B2 0004 0200  MOV  #4,&0x0200  ; the simulator takes #4 from the constant "
       "generator and fetches 0200 at FF8C as the next instruction"},
      {{0x5595, 0x0002, 0x4303},
       "FF8E: 5595 0002 4303  RLA  0x0002(R5)  ; on hardware ADD  0x0002(R5),0x4303(R5); the "
       "simulator reads one extension word and fetches 4303 at FF92 as the next instruction"},
      {{0x6393, 0x0006}, "FF94: 6393 0006  RLC  0x0006(R3)  ; on hardware ADDC  #1,0x0006(R3)"},
      {{0x5292, 0x0200, 0x0202},
       "FF98: 5292 0200 0202  RLA  &0x0200  ; on hardware ADD  &0x0200,&0x0202; the simulator "
       "reads one extension word and fetches 0202 at FF9C as the next instruction"},
      {{0x5090, 0x0010, 0x0020},
       "FF9E: 5090 0010 0020  RLA  0xFFB0  ; on hardware ADD  0xFFB0,0xFFC2; the simulator reads "
       "one extension word and fetches 0020 at FFA2 as the next instruction"},
      {{0x5505}, "FFA4: 5505  RLA  R5"},
      {{0x12B0, 0xFF92}, "FFA6: 12B0 FF92  CALL  #0xFF92"},
      {{0x1004}, "FFAA: 1004  RRC  R4"},
      {{0x23FE}, "FFAC: 23FE  JNE  -2"},
      {{0x0000}, "FFAE: 0000  ---"},
      {{0x4303}, "FFB0: 4303  NOP"},
      {{0x1124},
       "FFB2: 1124  ---  ; on hardware RRA  @R4; the simulator cannot decode it and answers with "
       "RESET"},
      {{0x10E4}, "FFB4: 10E4  ---"},  // SWPB.B @R4 exists nowhere
  };
  std::unique_ptr<Simulator> s = NewSimulator();
  std::vector<std::string> expected;
  unsigned address = 0xFF80;
  for (const auto& instruction : program) {
    for (unsigned word : instruction.words) {
      SetWord(&s->machine, address, word);
      address += 2;
    }
    expected.push_back(instruction.line);
  }
  // An instruction whose extension word would lie beyond 0xFFFE lists the
  // words there are.
  SetWord(&s->machine, 0xFFFE, 0x4031);
  ROMSave(s->machine.rom, 2);  // the slot file as the slot pop-up writes it

  Outcome o = Run("slot3.csv --list");
  EXPECT_EQ(0, o.status);
  EXPECT_EQ("", o.err);
  ASSERT_GE(o.lines.size(), expected.size());
  EXPECT_EQ("FFFE: 4031  MOV  #0,SP  ; its extension word would lie beyond FFFE", o.lines.back());
  o.lines.resize(expected.size());
  EXPECT_EQ(expected, o.lines);
}

TEST_F(TraceToolTest, RunsASlotFileFromItsResetVector) {
  // The vector points at 0xFF84 (MOV #0x8000,R4 of the demonstration
  // program, kept); the words from 0xFFFC down to 0xFF88 are 0x0000, which
  // does not decode.
  std::string content = "FFFE;FF84\n";
  for (unsigned address = 0xFFFC; address >= 0xFF88; address -= 2) content += "0;0\n";
  WriteFile("student.csv", content);
  Outcome o = Run("student.csv --steps 3");
  EXPECT_EQ(0, o.status);
  ASSERT_EQ(3u, o.lines.size());
  EXPECT_EQ(0u, o.lines[0].find("FF84: 4034 8000  MOV  #0x8000,R4 | R0=FF88 "));
  EXPECT_EQ("RESET", o.lines[1]);  // the word at 0xFF88 is now 0x0000
  EXPECT_EQ(0u, o.lines[2].find("FF84: "));
  // ADD #-1,R4 at the vector; MOV #8,R7 stored with an extension word
  // shows the word the simulator read, and the one it did not read fails.
  WriteFile("student.csv", "FFFE;FFF4\nFFFC;FFD0\nFFFA;FFFF\nFFF8;0008\nFFF6;4037\nFFF4;5334\n");
  o = Run("student.csv --steps 3");
  ASSERT_EQ(3u, o.lines.size());
  EXPECT_EQ(0u, o.lines[0].find("FFF4: 5334  ADD  #-1,R4 | R0=FFF6 "));
  EXPECT_EQ(" | V=0 N=1 Z=0 C=0", o.lines[0].substr(o.lines[0].rfind(" | ")));
  EXPECT_EQ(0u, o.lines[1].find("FFF6: 4037  MOV  #8,R7 | R0=FFF8 "));
  EXPECT_EQ("RESET", o.lines[2]);
}

TEST_F(TraceToolTest, HelpAndTheNumberOfSteps) {
  Outcome help = Run("--help");
  EXPECT_EQ(0, help.status);
  ASSERT_FALSE(help.lines.empty());
  EXPECT_EQ(0u, help.lines[0].find("Usage: velkor-trace"));
  EXPECT_EQ(20u, Run("").lines.size());  // the default
  EXPECT_EQ(7u, Run("--steps=7").lines.size());
  EXPECT_TRUE(Run("--steps 0").lines.empty());
}

TEST_F(TraceToolTest, MistakesGiveOneLineAndAFailureStatus) {
  WriteFile("a.csv", "FFFE;FF80\n");
  mkdir("folder.csv", 0700);
  const char* cases[] = {
      "missing.csv",
      "folder.csv",
      "--bogus",
      "--steps",
      "--steps -1",
      "--steps 12x",
      "--steps ''",
      "a.csv a.csv",
      "--steps 99999999999999999999",
      "a.csv --list --steps 3",
  };
  for (const char* arguments : cases) {
    SCOPED_TRACE(arguments);
    Outcome o = Run(arguments);
    EXPECT_NE(0, o.status);
    EXPECT_TRUE(o.lines.empty());
    ASSERT_FALSE(o.err.empty());
    EXPECT_EQ(o.err.size() - 1, o.err.find('\n'));  // exactly one line
    EXPECT_EQ(0u, o.err.find("velkor-trace: "));
  }
}

TEST_F(TraceToolTest, NoFileContentCrashesIt) {
  std::string junk;
  for (unsigned i = 0, seed = 12345; i < 4096; ++i) {
    seed = seed * 1103515245u + 12345u;
    junk += static_cast<char>(seed >> 16);
  }
  for (const std::string& bytes : {junk, std::string(100000, 'F'), std::string(5000, ';')}) {
    WriteFile("file.csv", bytes);
    EXPECT_EQ(0, Run("file.csv --steps 50").status);
    EXPECT_EQ(0, Run("file.csv --list").status);
  }
}

}  // namespace
