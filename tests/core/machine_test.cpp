// The machine held as text: Execute, hand edits, NMI, the ports, calls outside the vocabularies.
#include <gtest/gtest.h>
#include <cmath>

#include "tests/core/core_test_util.h"

using namespace coretest;

namespace {

// One instruction: the values set first, the selection run as the panel runs it, then checked.
struct Step {
  const char* name;
  const char* set;
  Sel sel;
  const char* expected;
};

class MachineTest : public ::testing::Test {
 protected:
  void Check(const Step& step) {
    SCOPED_TRACE(step.name);
    Set(m, step.set);
    ExecuteClick(s.get(), step.sel);
    EXPECT_EQ(step.expected, Get(m, step.expected));
  }
  std::unique_ptr<Simulator> s = NewSimulator();
  MachineState* m = &s->machine;
};
class ExecuteTest : public MachineTest {
  void SetUp() override { ResetMachine(m, nullptr, nullptr); }  // PC = FF80
};

const auto Pair = [](uint32_t op) { return Sel().Dual(op).Src(R, 5).Dst(R, 4); };
const auto OnR4 = [](Sel sel) { return sel.Dst(R, 4); };
const auto Imm = [](uint32_t op, const char* value) { return Sel().Dual(op).Src(N, 0, value); };

// R4 := R4 op R5, SR 0000 unless set; the flags 1111 before, so that one left alone shows.
const Step kFlagSteps[] = {
    {"ADD 0xFFFF+1 wraps to zero with carry", "R4=FFFF R5=0001", Pair(kOpADD), "R4=0000 vnzc=0011"},
    {"ADD 0x7FFF+1 overflows into the sign", "R4=7FFF R5=0001", Pair(kOpADD), "R4=8000 vnzc=1100"},
    {"ADDC adds the carry of SR", "R4=FFFE R5=0001 R2=0001", Pair(kOpADDC), "R4=0000 vnzc=0011"},
    {"SUB 8000-1: no V", "R4=8000 R5=0001", Pair(kOpSUB), "R4=7FFF vnzc=0000"},
    {"CMP.B 3 with 5: unmasked, borrows", "R4=0003 R5=0005", Pair(kOpCMP).Byte(),
     "R4=0003 vnzc=1101"},
    {"BIT leaves the destination", "R4=8FFF R5=8F00", Pair(kOpBIT), "R4=8FFF vnzc=0101"},
    {"XOR of two negatives sets V", "R4=8000 R5=FFFF", Pair(kOpXOR), "R4=7FFF vnzc=1001"},
    {"XOR with one negative operand: no V", "R4=8000 R5=0001", Pair(kOpXOR), "R4=8001 vnzc=0101"},
    {"MOV leaves the flags", "R4=0000 R5=1234", Pair(kOpMOV), "R4=1234 vnzc=1111"},
    {"DADD 9999+1 carries to zero", "R4=9999 R5=0001", Pair(kOpDADD), "R4=0000 vnzc=0011"},
    {"DADD 0+0: Z only for a sum of 10000", "R4=0000 R5=0000", Pair(kOpDADD), "R4=0000 vnzc=0000"},
    {"DADD 9998+1 stays below the carry", "R4=9998 R5=0001", Pair(kOpDADD), "R4=9999 vnzc=0100"},
    {"RRC shifts C in", "R4=0002 R2=0001", OnR4(Sel().Single(kOpRRC)), "R4=8001 vnzc=0100"},
    {"RRC.B drops C in", "R4=0003 R2=0001", OnR4(Sel().Single(kOpRRC)).Byte(), "R4=0001 vnzc=0001"},
    {"RRA keeps the sign", "R4=8001", OnR4(Sel().Single(kOpRRA)), "R4=C000 vnzc=0101"},
    {"SXT of 0x80", "R4=0080", OnR4(Sel().Single(kOpSXT)), "R4=FF80 vnzc=0101"},
    {"DEC 0 borrows and overflows", "R4=0000", OnR4(Sel().Emulated(kOpDEC)), "R4=FFFF vnzc=1101"},
    // SR keeps its other low bits through the rebuild, masked with 0x1FF.
    {"SR rebuilt from the flags", "R2=00F8 R4=7FFF", Imm(kOpADD, "0001").Dst(R, 4), "R2=01FC"},
    {"a MOV into SR keeps V N Z C", "R5=FFFE", Pair(kOpMOV).Dst(R, 2), "R2=0106 vnzc=1110"},
};

// The other formats' fields hold 40, as an earlier decode may leave them; R4 or #srcText to R5.
void Exec(Simulator& w, uint32_t format, uint32_t operation, int32_t srcMode = 0, float offset = 0,
          const char* srcText = "1234", const char* at = "0x0200") {
  MachineState* m = &w.machine;
  uint32_t ops[4] = {40, 40, 40, 40};
  if (format < 4) ops[format] = operation;
  Execute(format, ops[0], ops[1], ops[2], ops[3], srcMode, 4, 0, 5, offset, srcText, m->registers,
          m->ram, m->rom, 1, at, "0x0202", m->ports, m->registers, m->highlight, m->ram,
          &m->ramMarker, &m->ramMarkerOn, &m->romMarker, &m->romMarkerOn, m->statusFlags, m->ports);
}

TEST_F(ExecuteTest, FlagRulesOnBoundaryOperands) {
  for (const Step& step : kFlagSteps) {
    Set(m, "R2=0000 vnzc=1111");
    Check(step);
  }
}

TEST_F(ExecuteTest, MemoryAndPorts) {
  const Step steps[] = {
      {"X(R6) to &a: PC steps over both words", "R0=FF80 @0200=1111 @0210=2222 R6=0200",
       Sel().Dual(kOpADD).Src(X, 6, "0010").Dst(A, 0, "0200"), "@0200=3333 R0=FF86"},
      {"RLA &a: one word", "R0=FF80", Sel().Emulated(kOpRLA).Src(A, 0, "0200").Dst(A, 0, "0200"),
       "R0=FF84"},
      {"Format II 111 runs as no operation", "R0=FF80", Sel().Single(kOpSingleUnused), "R0=FF82"},
      {"a byte store", "@0200=12FF", Imm(kOpADD, "0001").Dst(A, 0, "0200").Byte(),
       "@0200=1200 vnzc=0010"},
      {"027F: top byte", "", Imm(kOpMOV, "00CD").Dst(A, 0, "027F").Byte(), "@027E=CD00"},
      {"@R4+ by a byte", "R4=0200", Sel().Dual(kOpMOV).Src(P, 4).Dst(R, 6).Byte(),
       "R4=0201 R6=0000"},
      {"autoincrement by a word", "", Sel().Dual(kOpMOV).Src(P, 4).Dst(R, 6), "R4=0203 R6=1200"},
      {"SP stays even", "R1=0200", Sel().Dual(kOpMOV).Src(P, 1).Dst(R, 6).Byte(), "R1=0200"},
      {"an odd SP", "", Imm(kOpMOV, "027F").Dst(R, 1), "R1=027E ram=0"},
      {"an odd PC", "", Imm(kOpMOV, "FF89").Dst(R, 0), "R0=FF88 rom=59"},
      {"a port takes the low byte", "", Imm(kOpMOV, "12A5").Dst(A, 0, "0021"), "P1OUT=0xA5"},
      {"DADD.B to the odd byte", "R5=0012 @0200=0000", Pair(kOpDADD).Dst(A, 0, "0201").Byte(),
       "@0200=1200"},
      {"program memory takes no writes", "", Imm(kOpMOV, "1234").Dst(A, 0, "FF80"), "@FF80=4031"},
  };
  for (const Step& step : steps) Check(step);
  // The constant generator supplies 0, 1, 2, 4, 8 and -1 without a word.
  for (const char* constant : {"0000", "0001", "0002", "0004", "0008", "FFFF"}) {
    Check({constant, "R0=FF80", Imm(kOpMOV, constant).Dst(R, 5),
           (std::string("R0=FF82 R5=") + constant).c_str()});
  }
  // An address text shorter than its "0x" (the panel starts with an empty one) means 0.
  Set(m, "R5=5555");
  Exec(*s, kFormatDoubleOperand, kOpMOV, A, 0, "0200", "");
  EXPECT_EQ("R5=0000", Get(m, "R5"));
}

TEST_F(ExecuteTest, StackAndHighlightColours) {
  const Step steps[] = {
      {"PUSH", "R1=0280 R5=A1B2", Sel().Single(kOpPUSH).Src(R, 5), "R1=027E @027E=A1B2 ram=0"},
      {"PUSH.B", "", Sel().Single(kOpPUSH).Src(R, 5).Byte(), "R1=027C @027C=00B2"},
      {"CALL", "R0=FF88", Sel().Single(kOpCALL).Src(N, 0, "FF92"),
       "R0=FF92 R1=027A @027A=FF8C rom=54"},
      {"POP", "", Sel().Emulated(kOpPOP).Dst(R, 4), "R4=FF8C R1=027C"},
      {"POP.B", "", Sel().Emulated(kOpPOP).Dst(A, 0, "0200").Byte(), "@0200=00B2 R1=027E"},
      {"RET, SP outside", "R1=0280", Sel().Emulated(kOpRET), "R0=0000 R1=0282 ram=64 rom=64"},
      {"ADD of two registers", "R4=0001 R5=0002", Pair(kOpADD), "R4=0003"},
  };
  for (const Step& step : steps) Check(step);
  const int32_t colours[kRegisterCount] = {2, 6, 11, 6, 11, 61, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6};
  EXPECT_EQ(0, memcmp(colours, m->highlight, sizeof colours));
}

TEST_F(ExecuteTest, JumpConditionsAndOffsets) {
  // The flags "vnzc", then which of JNE..JMP are taken.
  for (const std::string c :
       {"0000 10100101", "0011 01010101", "1000 10100011", "1100 10101101", "0100 10101011"}) {
    for (uint32_t condition = 0; condition < 8; ++condition) {
      Set(m, "R0=FF98 vnzc=" + c.substr(0, 4));
      ExecuteClick(s.get(), Sel().Jump(condition, -2.0f));
      EXPECT_EQ(c[5 + condition] == '1' ? "R0=FF96" : "R0=FF9A", Get(m, "R0")) << c << condition;
    }
  }
  Check({"from the top of memory", "R0=FFFE", Sel().Jump(kJumpMP, 511.0f), "R0=03FE"});
  Check({"toward zero: -1", "R0=FF80", Sel().Jump(kJumpMP, -1.9f), "R0=FF80"});
}

TEST_F(MachineTest, HexConvOfTypedValues) {
  // Typed text -> "text number valid"; a text without digits converts to 0.
  const char* cases[][2] = {
      {"65535", "FFFF 65535 1"}, {"-32768", "8000 32768 1"},
      {"-32769", "0000 0 0"},    {"010", "0008 8 1"},
      {"", "0000 0 1"},          {"12xyz", "000C 12 1"},
      {nullptr, "0000 0 0"},     {"99999999999999999999", "0000 0 0"},
  };
  for (const auto& c : cases) {
    char text[kTextCellSize] = "old";
    uint16_t number = 0x5555;
    uint8_t valid = 7;
    HexConv(c[0], text, &number, &valid);
    EXPECT_EQ(c[1], std::string(text) + " " + std::to_string(number) + " " + std::to_string(valid));
  }
}

TEST_F(MachineTest, HandEditsMaskRegistersAndKeepTwoDigitsPerByte) {
  ChangeReg(1, "0201", m->registers);
  ChangeReg(3, "FFFF", m->registers);
  EXPECT_EQ("R1=0200 R3=0000 rom=63 ram=0 vnzc=0000", Get(m, "R1 R3 rom ram vnzc"));
  ChangeRAM("12AB", 0, m->ram);
  snprintf(m->ram[63].cells[kRowLowCell], kTextCellSize, "255");  // left by a DADD.B
  ChangeRAM("BE0F", 63, m->ram);
  EXPECT_STREQ("0F", m->ram[63].cells[kRowLowCell]);
  EXPECT_EQ("@027E=12AB @0200=BE0F", Get(m, "@027E @0200"));
}

TEST_F(MachineTest, NmiPushesPCAndSRAndRetiReturns) {
  auto nmi = [this] {
    NMI(m->rom, m->registers, m->registers, m->ram, &m->ramMarker, &m->ramMarkerOn, &m->romMarker,
        &m->romMarkerOn);
  };
  Set(m, "R0=FF8C R1=0280 R2=0003");
  nmi();
  const char* pushed = "R1=027C @027E=FF8C @027C=0003 R2=0000 R0=FFD0 ram=1";
  EXPECT_EQ(pushed, Get(m, pushed));
  ExecuteClick(s.get(), Sel().Single(kOpRETI));                // the handler: SR first, then PC
  const char* returned = "R0=FF8C R2=0003 R1=0280 vnzc=0000";  // flag bytes not reloaded
  EXPECT_EQ(returned, Get(m, returned));
  // With SP outside data memory the pushes are dropped; the jump is not.
  Set(m, "R1=0000");
  MemoryRow ram[kMemoryRowCount];
  memcpy(ram, m->ram, sizeof ram);
  nmi();
  EXPECT_EQ("R1=FFFC R0=FFD0 ram=64", Get(m, "R1 R0 ram"));
  EXPECT_EQ(0, memcmp(ram, m->ram, sizeof ram));
}

TEST_F(MachineTest, PortsDriveTheLampsAndReadTheSwitches) {
  memcpy(m->p1Output, "\0\0\0\0\1\0\1\1", 8);
  Set(m, "P1OUT=0xA5 P1DIR=0x0F P2DIR=0xF0");
  m->p2Input[0] = m->p2Input[4] = 1;
  Ports(m->ports, m->p2Input, m->ports, m->p1Output);
  EXPECT_EQ(0, memcmp("\1\0\1\0\1\0\1\1", m->p1Output, 8));  // 4..7 are inputs: kept
  EXPECT_EQ("P2IN=0x01", Get(m, "P2IN"));  // switch 4 drives an output pin: reads 0
  Set(m, "P2DIR=0x00");
  m->p2Input[7] = 1;
  Ports(m->ports, m->p2Input, m->ports, m->p1Output);
  EXPECT_EQ("P2IN=0x91", Get(m, "P2IN"));
}

// The whole record a core call can write; the decoder's filler bytes show a write of zeros too.
std::unique_ptr<Simulator> Filled() {
  std::unique_ptr<Simulator> s = NewSimulator();
  ResetMachine(&s->machine, nullptr, nullptr);
  memset(&s->decoded, 0x11, sizeof s->decoded);
  s->decoded.resetRequest = 0;
  return s;
}

char gUnterminated[kTextCellSize];
const int32_t kRow64 = 64;

using W = Simulator;
const struct {
  const char* name;
  void (*call)(W&);
} kOutOfBounds[] = {
    {"Execute format 7", [](W& w) { Exec(w, 7, 0); }},
    {"Execute offset NaN", [](W& w) { Exec(w, kFormatJump, 7, 0, NAN); }},
    {"Execute unterminated source text", [](W& w) { Exec(w, 0, 0, N, 0, gUnterminated); }},
    {"ChangeReg 16", [](W& w) { ChangeReg(16, "1234", w.machine.registers); }},
    // Two digits: copying four would take what lies behind the terminator.
    {"ChangeRAM short text", [](W& w) { ChangeRAM("12", 5, w.machine.ram); }},
    {"Save row 64", [](W& w) { Save("4031", "0280", "", &kRow64, w.machine.rom); }},
    {"HexConv unterminated input",
     [](W& w) { HexConv(gUnterminated, w.selection.sourceText, 0, &w.selection.sourceValid); }},
    {"ROMLoad slot 10", [](W& w) { ROMLoad(10, w.machine.rom); }},
};

TEST(BoundsTest, CallsOutsideTheVocabulariesChangeNothing) {
  memset(gUnterminated, '7', sizeof gUnterminated);
  for (const auto& c : kOutOfBounds) {
    std::unique_ptr<Simulator> before = Filled(), after = Filled();
    c.call(*after);
    EXPECT_EQ(0, memcmp(before.get(), after.get(), sizeof *after)) << c.name;
  }
  // In range, the same helper does write: the rows above are not vacuous.
  std::unique_ptr<Simulator> w = Filled();
  Exec(*w, kFormatEmulated, kOpINC);
  EXPECT_EQ("R5=0001", Get(&w->machine, "R5"));
}

}  // namespace
