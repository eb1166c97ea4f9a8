// Disassemble: words at PC decoded into selector indices and operand texts.
#include <gtest/gtest.h>

#include "tests/core/core_test_util.h"

using namespace coretest;

namespace {

// Unset fields keep this marker value, so "not written" is visible.
const uint32_t kKept = 77;

struct DecodeCase {
  const char* name;
  unsigned words[3];
  uint32_t format;
  uint32_t operation; // of the format (dual, single, jump or emulated)
  uint32_t sourceMode;
  uint32_t sourceRegister;
  const char* sourceText;
  uint32_t destinationMode;
  uint32_t destinationRegister;
  const char* destinationText;
  uint8_t word; // 9: not written
};

const DecodeCase kCases[] = {
    {"MOV #0x0280,SP", {0x4031, 0x0280}, kFormatDoubleOperand, kOpMOV, kModeImmediate, kKept, "0x0280", kModeRegister, 1, "-", 1},
    {"DEC R5", {0x8315}, kFormatEmulated, kOpDEC, kModeImmediate, kKept, "0x0001", kModeRegister, 5, "-", 1},
    {"NOP", {0x4303}, kFormatEmulated, kOpNOP, kKept, kKept, "-", kKept, kKept, "-", 1},
    {"RET", {0x4130}, kFormatEmulated, kOpRET, kKept, kKept, "-", kKept, kKept, "-", 1},
    {"POP 0x0210 (symbolic) is no RET", {0x41B0, 0x028E}, kFormatEmulated, kOpPOP, kModeAutoincrement, 1, "-", kModeSymbolic, kKept, "0x0210", 1},
    {"CLR 0x0002(R3) is no NOP", {0x4383, 0x0002}, kFormatEmulated, kOpCLR, kModeImmediate, kKept, "0x0000", kModeIndexed, 3, "0x0002", 1},
    {"POP R4", {0x4134}, kFormatEmulated, kOpPOP, kModeAutoincrement, 1, "-", kModeRegister, 4, "-", 1},
    {"CLR R4", {0x4304}, kFormatEmulated, kOpCLR, kModeImmediate, kKept, "0x0000", kModeRegister, 4, "-", 1},
    {"TST R4", {0x9304}, kFormatEmulated, kOpTST, kModeImmediate, kKept, "0x0000", kModeRegister, 4, "-", 1},
    {"RLA R5", {0x5505}, kFormatEmulated, kOpRLA, kModeRegister, 5, "-", kModeRegister, 5, "-", 1},
    {"RLC R5", {0x6505}, kFormatEmulated, kOpRLC, kModeRegister, 5, "-", kModeRegister, 5, "-", 1},
    {"RLA.B 0x0010(R5)", {0x55D5, 0x0010}, kFormatEmulated, kOpRLA, kModeIndexed, 5, "0x0010", kModeIndexed, 5, "0x0010", 0},
    {"CALL #0xFF92", {0x12B0, 0xFF92}, kFormatSingleOperand, kOpCALL, kModeImmediate, kKept, "0xFF92", kKept, kKept, "-", 1},
    {"RETI", {0x1300}, kFormatSingleOperand, kOpRETI, kModeRegister, 0, "-", kModeRegister, 0, "-", 1},
    {"RRC R4", {0x1004}, kFormatSingleOperand, kOpRRC, kModeRegister, 4, "-", kModeRegister, 4, "-", 1},
    {"RRA.B &0x0200", {0x1152, 0x0200}, kFormatSingleOperand, kOpRRA, kModeAbsolute, kKept, "0x0200", kModeAbsolute, kKept, "0x0200", 0},
    {"PUSH.B @R9+", {0x1279}, kFormatSingleOperand, kOpPUSH, kModeAutoincrement, 9, "-", kKept, kKept, "-", 0},
    {"INC &0x0010", {0x5392, 0x0010}, kFormatEmulated, kOpINC, kModeImmediate, kKept, "0x0001", kModeAbsolute, kKept, "0x0010", 1},
    {"MOV #1,Y(R5)", {0x4395, 0x1234}, kFormatDoubleOperand, kOpMOV, kModeImmediate, kKept, "0x0001", kModeIndexed, 5, "0x1234", 1},
    {"ADD X(R4),Y(R5)", {0x5495, 0x0002, 0x0004}, kFormatDoubleOperand, kOpADD, kModeIndexed, 4, "0x0002", kModeIndexed, 5, "0x0004", 1},
    {"MOV 0x0200,0x0210 (symbolic; offsets from each word)", {0x4090, 0x027E, 0x028C}, kFormatDoubleOperand, kOpMOV, kModeSymbolic, kKept, "0x0200", kModeSymbolic, kKept, "0x0210", 1},
    {"MOV @R4,0x0200 (symbolic)", {0x44A0, 0x027E}, kFormatDoubleOperand, kOpMOV, kModeIndirect, 4, "-", kModeSymbolic, kKept, "0x0200", 1},
    {"SUB #2,R6", {0x8326}, kFormatDoubleOperand, kOpSUB, kModeImmediate, kKept, "0x0002", kModeRegister, 6, "-", 1},
    {"AND #4,R6", {0xF226}, kFormatDoubleOperand, kOpAND, kModeImmediate, kKept, "0x0004", kModeRegister, 6, "-", 1},
    {"XOR #8,R6", {0xE236}, kFormatDoubleOperand, kOpXOR, kModeImmediate, kKept, "0x0008", kModeRegister, 6, "-", 1},
    {"BIS #-1,R6", {0xD336}, kFormatDoubleOperand, kOpBIS, kModeImmediate, kKept, "0xFFFF", kModeRegister, 6, "-", 1},
    {"erased memory is AND.B @R15+,Y(R15)", {0xFFFF, 0xFFFF}, kFormatDoubleOperand, kOpAND, kModeAutoincrement, 15, "-", kModeIndexed, 15, "0xFFFF", 0},
};

void Decode(const MachineState* m, DecodedInstruction* d) {
  d->format = d->dualOperation = d->singleOperation = d->jumpOperation = kKept;
  d->emulatedOperation = d->sourceMode = d->sourceRegister = kKept;
  d->destinationMode = d->destinationRegister = kKept;
  d->pcOffset = 99.0f;
  snprintf(d->sourceText, kTextCellSize, "-");
  snprintf(d->destinationText, kTextCellSize, "-");
  d->resetRequest = 5;
  d->wordFlag = 9;
  DisassembleAtPC(m, d);
}

TEST(DisassembleTest, Encodings) {
  for (const DecodeCase& c : kCases) {
    SCOPED_TRACE(c.name);
    auto m = NewMachine();
    for (int i = 0; i < 3; ++i) SetRomWord(m.get(), 0xFF80 + 2 * i, c.words[i]);
    DecodedInstruction d;
    Decode(m.get(), &d);
    EXPECT_EQ(c.format, d.format);
    uint32_t operation = c.format == kFormatDoubleOperand ? d.dualOperation
                         : c.format == kFormatSingleOperand ? d.singleOperation
                                                            : d.emulatedOperation;
    EXPECT_EQ(c.operation, operation);
    EXPECT_EQ(c.sourceMode, d.sourceMode);
    EXPECT_EQ(c.sourceRegister, d.sourceRegister);
    EXPECT_STREQ(c.sourceText, d.sourceText);
    EXPECT_EQ(c.destinationMode, d.destinationMode);
    EXPECT_EQ(c.destinationRegister, d.destinationRegister);
    EXPECT_STREQ(c.destinationText, d.destinationText);
    EXPECT_EQ(c.word, d.wordFlag);
    EXPECT_EQ(0, d.resetRequest);
    EXPECT_EQ("FF80", Reg(m.get(), 0)); // decoding never moves PC
  }
}

TEST(DisassembleTest, Jumps) {
  const struct {
    unsigned word;
    uint32_t condition;
    float offset;
  } cases[] = {{0x23FE, kJumpNE, -2.0f}, {0x3E00, kJumpMP, -512.0f},
               {0x3C00, kJumpMP, 0.0f},  {0x2FFA, kJumpC, -6.0f},
               {0x29FF, kJumpNC, 511.0f}, {0x3401, kJumpGE, 1.0f}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.word);
    auto m = NewMachine();
    SetRomWord(m.get(), 0xFF80, c.word);
    DecodedInstruction d;
    Decode(m.get(), &d);
    EXPECT_EQ(static_cast<uint32_t>(kFormatJump), d.format);
    EXPECT_EQ(c.condition, d.jumpOperation);
    EXPECT_EQ(c.offset, d.pcOffset);
    EXPECT_EQ(9, d.wordFlag); // a jump has no width
    EXPECT_EQ(kKept, d.sourceMode);
  }
}

TEST(DisassembleTest, UndecodableWordsRequestAReset) {
  const struct {
    const char* name;
    unsigned word;
  } cases[] = {
      {"0x0000", 0x0000},
      {"0x0FFF", 0x0FFF},
      {"0x1400", 0x1400},
      {"0x1FFF", 0x1FFF},
      {"RETI.B", 0x1340},
      {"SWPB.B", 0x10C4},
      {"SXT.B", 0x11C4},
      {"CALL.B", 0x12C4},
      {"RRC @R4", 0x1024},
      {"SWPB @R4+", 0x10B4},
      {"RRC with the constant generator as operand", 0x1003},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto m = NewMachine();
    SetRomWord(m.get(), 0xFF80, c.word);
    DecodedInstruction d;
    Decode(m.get(), &d);
    EXPECT_EQ(static_cast<uint32_t>(kFormatNone), d.format);
    EXPECT_EQ(1, d.resetRequest);
  }
}

TEST(DisassembleTest, WordsOutsideProgramMemoryReadAsZero) {
  auto m = NewMachine();
  SetReg(m.get(), 0, 0xFF7E);
  DecodedInstruction d;
  Decode(m.get(), &d);
  EXPECT_EQ(static_cast<uint32_t>(kFormatNone), d.format);
  EXPECT_EQ(1, d.resetRequest);

  // An immediate whose extension word would lie beyond 0xFFFE reads 0.
  SetReg(m.get(), 0, 0xFFFE);
  SetRomWord(m.get(), 0xFFFE, 0x4034); // MOV #...,R4
  Decode(m.get(), &d);
  EXPECT_EQ(static_cast<uint32_t>(kFormatDoubleOperand), d.format);
  EXPECT_STREQ("0x0000", d.sourceText);
}

TEST(DisassembleTest, UnusedSingleOperationDecodes) {
  auto m = NewMachine();
  SetRomWord(m.get(), 0xFF80, 0x1384); // 000100 111 0 00 0100
  DecodedInstruction d;
  Decode(m.get(), &d);
  EXPECT_EQ(static_cast<uint32_t>(kFormatSingleOperand), d.format);
  EXPECT_EQ(static_cast<uint32_t>(kOpSingleUnused), d.singleOperation);
  EXPECT_EQ(0, d.resetRequest);
}

TEST(DisassembleTest, DemonstrationProgramListing) {
  auto m = NewMachine();
  const struct {
    unsigned pc;
    uint32_t format;
  } cases[] = {{0xFF80, kFormatDoubleOperand}, {0xFF84, kFormatDoubleOperand},
               {0xFF88, kFormatSingleOperand}, {0xFF8C, kFormatSingleOperand},
               {0xFF8E, kFormatJump},          {0xFF90, kFormatJump},
               {0xFF92, kFormatDoubleOperand}, {0xFF96, kFormatEmulated},
               {0xFF98, kFormatJump},          {0xFF9A, kFormatEmulated},
               {0xFFD0, kFormatSingleOperand}};
  for (const auto& c : cases) {
    SetReg(m.get(), 0, c.pc);
    DecodedInstruction d;
    Decode(m.get(), &d);
    EXPECT_EQ(c.format, d.format) << std::hex << c.pc;
  }
}

} // namespace
