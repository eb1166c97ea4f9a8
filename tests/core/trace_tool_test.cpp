// velkor-trace, run as a teacher would: its trace of the demonstration
// program, its listing of a slot file holding every instruction form, and
// its answers to bad command lines and bad files.
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
  std::vector<std::string> expected;
  for (int pass = 0; pass < 3; ++pass) {
    expected.push_back("8000");
    for (int i = 1; i <= 16; ++i) {
      char line[16];
      snprintf(line, sizeof line, "%04X C=%d", 0x8000u >> i, i == 16);
      expected.push_back(line);
    }
  }
  expected.push_back("8000");
  std::vector<std::string> seen;
  for (const std::string& line : o.lines) {
    std::string r4 = line.substr(line.find(" R4=") + 4, 4);
    if (line.compare(0, 6, "FF84: ") == 0) seen.push_back(r4);
    if (line.compare(0, 6, "FF8C: ") == 0) seen.push_back(r4 + " C=" + line.back());
  }
  ASSERT_GE(seen.size(), expected.size());
  seen.resize(expected.size());
  EXPECT_EQ(expected, seen);
}

TEST_F(TraceToolTest, ListsEveryInstructionFormOfASlotFile) {
  // One instance of every operation, the source and destination modes
  // spread over them, assembled and stored from 0xFF80 up, then a word that
  // does not decode.
  std::vector<Sel> program = {
      Sel().Dual(kOpMOV).Src(kModeImmediate, 0, "0280").Dst(kModeRegister, 1),
      Sel().Dual(kOpADD).Src(kModeIndexed, 4, "0002").Dst(kModeIndexed, 5, "0004"),
      Sel().Dual(kOpADDC).Src(kModeSymbolic, 0, "0200").Dst(kModeIndexed, 9, "0010").Byte(),
      Sel().Dual(kOpSUBC).Src(kModeAbsolute, 0, "0202").Dst(kModeSymbolic, 0, "0206"),
      Sel().Dual(kOpSUB).Src(kModeIndirect, 6).Dst(kModeSymbolic, 0, "0220"),
      Sel().Dual(kOpCMP).Src(kModeAutoincrement, 7).Dst(kModeRegister, 8).Byte(),
      Sel().Dual(kOpDADD).Src(kModeRegister, 9).Dst(kModeRegister, 10),
      Sel().Dual(kOpBIT).Src(kModeImmediate, 0, "0008").Dst(kModeAbsolute, 0, "0021").Byte(),
      Sel().Dual(kOpBIC).Src(kModeImmediate, 0, "FFFF").Dst(kModeRegister, 11),
      Sel().Dual(kOpBIS).Src(kModeImmediate, 0, "0002").Dst(kModeIndexed, 12, "0006"),
      Sel().Dual(kOpXOR).Src(kModeImmediate, 0, "0004").Dst(kModeRegister, 13),
      Sel().Dual(kOpAND).Src(kModeImmediate, 0, "00F0").Dst(kModeRegister, 14),
      Sel().Single(kOpRRC).Dst(kModeIndexed, 4, "0010").Byte(),
      Sel().Single(kOpSWPB).Dst(kModeRegister, 5),
      Sel().Single(kOpRRA).Dst(kModeAbsolute, 0, "0200"),
      Sel().Single(kOpSXT).Dst(kModeSymbolic, 0, "0204"),
      Sel().Single(kOpPUSH).Src(kModeIndirect, 6).Byte(),
      Sel().Single(kOpCALL).Src(kModeImmediate, 0, "FF92"),
      Sel().Single(kOpRETI),
      Sel().Jump(kJumpNE, -2),
      Sel().Jump(kJumpEQ, 5),
      Sel().Jump(kJumpNC, -512),
      Sel().Jump(kJumpC, 511),
      Sel().Jump(kJumpN, 0),
      Sel().Jump(kJumpGE, 1),
      Sel().Jump(kJumpL, -1),
      Sel().Jump(kJumpMP, -5),
      Sel().Emulated(kOpDEC).Dst(kModeRegister, 5),
      Sel().Emulated(kOpINC).Dst(kModeAbsolute, 0, "0200").Byte(),
      Sel().Emulated(kOpNOP),
      Sel().Emulated(kOpPOP).Dst(kModeIndexed, 4, "0002"),
      Sel().Emulated(kOpRET),
      Sel().Emulated(kOpRLC).Src(kModeRegister, 6).Dst(kModeRegister, 6),
      Sel().Emulated(kOpRLA).Src(kModeSymbolic, 0, "0208").Dst(kModeSymbolic, 0, "0208"),
      Sel().Emulated(kOpCLR).Dst(kModeRegister, 7),
      Sel().Emulated(kOpTST).Dst(kModeRegister, 8).Byte(),
  };
  std::unique_ptr<Simulator> s = NewSimulator();
  MachineState* m = &s->machine;
  std::vector<std::string> expected;
  unsigned address = 0xFF80;
  for (const Sel& sel : program) {
    SetReg(m, 0, address);
    s->selection = sel.s;
    AssembleSelected(s.get());
    const AssembledInstruction& a = s->assembled;
    int32_t row = static_cast<int32_t>((0xFFFE - address) / 2);
    Save(a.word, a.extension1, a.extension2, &row, m->rom);
    char line[5 * kTextCellSize];
    snprintf(line, sizeof line, "%04X: %s%s%s%s%s  %s", address, a.word, *a.extension1 ? " " : "",
             a.extension1, *a.extension2 ? " " : "", a.extension2, a.text);
    expected.push_back(line);
    address += 2 * (1 + (*a.extension1 != 0) + (*a.extension2 != 0));
  }
  ASSERT_LE(address, 0xFFFCu);
  SetWord(m, address, 0x0000);
  char undecodable[32];
  snprintf(undecodable, sizeof undecodable, "%04X: 0000  ---", address);
  expected.push_back(undecodable);
  ROMSave(m->rom, 2);  // the slot file as the slot pop-up writes it

  Outcome o = Run("slot3.csv --list");
  EXPECT_EQ(0, o.status);
  EXPECT_EQ("", o.err);
  ASSERT_GE(o.lines.size(), expected.size());
  o.lines.resize(expected.size());
  EXPECT_EQ(expected, o.lines);
  EXPECT_EQ("FF80: 4031 0280  MOV  #0x0280,SP", o.lines[0]);
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
}

TEST_F(TraceToolTest, HelpAndTheNumberOfSteps) {
  Outcome help = Run("--help");
  EXPECT_EQ(0, help.status);
  ASSERT_FALSE(help.lines.empty());
  EXPECT_EQ(0u, help.lines[0].find("Usage: velkor-trace"));
  EXPECT_EQ(20u, Run("").lines.size());  // the default
  EXPECT_EQ(7u, Run("--steps=7").lines.size());
  Outcome none = Run("--steps 0");
  EXPECT_EQ(0, none.status);
  EXPECT_TRUE(none.lines.empty());
}

TEST_F(TraceToolTest, MistakesGiveOneLineAndAFailureStatus) {
  WriteFile("a.csv", "FFFE;FF80\n");
  mkdir("folder.csv", 0700);
  const char* cases[] = {
      "missing.csv",
      "folder.csv",
      "--bogus",
      "--steps",
      "--steps abc",
      "--steps -1",
      "--steps 12x",
      "--steps ''",
      "--steps 99999999999999999999",
      "a.csv a.csv",
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
  unsigned seed = 12345;
  for (int i = 0; i < 4096; ++i) {
    seed = seed * 1103515245u + 12345u;
    junk += static_cast<char>(seed >> 16);
  }
  const struct {
    const char* name;
    std::string bytes;
  } files[] = {
      {"junk.csv", junk},
      {"long.csv", std::string(100000, 'F')},
      {"semicolons.csv", std::string(5000, ';')},
      {"halfline.csv", "FFFE;"},
  };
  for (const auto& f : files) {
    SCOPED_TRACE(f.name);
    WriteFile(f.name, f.bytes);
    EXPECT_EQ(0, Run(std::string(f.name) + " --steps 50").status);
    EXPECT_EQ(0, Run(std::string(f.name) + " --list").status);
  }
}

}  // namespace
