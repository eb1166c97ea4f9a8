// The demonstration program, fetched, decoded, assembled and executed
// instruction by instruction the way velkor-trace (and the panel's two
// clicks) drive the core: a single bit walks right through R4 and is
// reloaded when it falls into C.
#include <gtest/gtest.h>

#include <vector>

#include "tests/core/core_test_util.h"

using namespace coretest;

namespace {

struct Driver {
  std::unique_ptr<MachineState> m = NewMachine();
  InstructionSelection sel;
  DecodedInstruction decoded;
  AddressUnit src;
  AddressUnit dst;
  AssembledInstruction assembled;
  int resets = 0;

  Driver() {
    InitSelection(&sel);
    InitDecoded(&decoded);
    memset(&src, 0, sizeof src);
    memset(&dst, 0, sizeof dst);
    memset(&assembled, 0, sizeof assembled);
    ResetMachine(m.get(), nullptr, &decoded);
  }

  // One FETCH/DECODE + EXECUTE; returns the address it ran at.
  unsigned Step() {
    unsigned pc = static_cast<unsigned>(strtoul(m->registers[0], nullptr, 16));
    DisassembleAtPC(m.get(), &decoded);
    if (decoded.resetRequest) {
      ++resets;
      ResetMachine(m.get(), nullptr, &decoded);
      return pc;
    }
    LoadDecodedSelection(&decoded, &sel);
    UpdateAddressUnits(&sel, m->registers, &src, &dst);
    AssembleSelection(&sel, &src, &dst, &assembled);
    ExecuteSelection(&sel, &src, &dst, m.get());
    return pc;
  }
};

TEST(DemonstrationProgramTest, FirstInstructionsAsTheTraceShowsThem) {
  Driver d;
  const struct {
    unsigned pc;
    const char* text;
    const char* word;
    const char* extension;
    const char* pcAfter;
  } expected[] = {
      {0xFF80, "MOV  #0x0280,SP", "4031", "0280", "FF84"},
      {0xFF84, "MOV  #0x8000,R4", "4034", "8000", "FF88"},
      {0xFF88, "CALL  #0xFF92", "12B0", "FF92", "FF92"},
      {0xFF92, "MOV  #0x0003,R5", "4035", "0003", "FF96"},
      {0xFF96, "DEC  R5", "8315", "", "FF98"},
      {0xFF98, "JNE  -2", "23FE", "", "FF96"},
  };
  for (const auto& e : expected) {
    SCOPED_TRACE(e.text);
    EXPECT_EQ(e.pc, d.Step());
    EXPECT_STREQ(e.text, d.assembled.text);
    EXPECT_STREQ(e.word, d.assembled.word);
    EXPECT_STREQ(e.extension, d.assembled.extension1);
    EXPECT_EQ(e.pcAfter, Reg(d.m.get(), 0));
  }
  EXPECT_EQ("027E", Reg(d.m.get(), 1)); // inside the call
  EXPECT_EQ(0xFF8Cu, Word(d.m.get(), 0x027E));
}

TEST(DemonstrationProgramTest, ASingleBitMovesThroughR4AndIsReloaded) {
  Driver d;
  std::vector<unsigned> afterRotate;
  std::vector<int> carryAfterRotate;
  bool reloaded = false;
  for (int i = 0; i < 600 && afterRotate.size() < 40; ++i) {
    unsigned pc = d.Step();
    if (pc == 0xFF8C) { // RRC R4
      afterRotate.push_back(static_cast<unsigned>(strtoul(d.m->registers[4], nullptr, 16)));
      carryAfterRotate.push_back(d.m->statusFlags[kFlagC]);
      // Each pass of the delay loop returned with R5 at 0 and the stack empty.
      EXPECT_EQ("0000", Reg(d.m.get(), 5));
      EXPECT_EQ("0280", Reg(d.m.get(), 1));
    }
    if (pc == 0xFF84 && afterRotate.size() == 16) {
      EXPECT_EQ("8000", Reg(d.m.get(), 4));
      reloaded = true;
    }
  }
  ASSERT_EQ(40u, afterRotate.size()); // forty passes of the outer loop
  EXPECT_TRUE(reloaded);
  EXPECT_EQ(0, d.resets);
  for (size_t k = 0; k < afterRotate.size(); ++k) {
    SCOPED_TRACE(k);
    size_t position = k % 16; // 0..14: bit 14..0; 15: the bit is in C
    unsigned expected = position < 15 ? 0x8000u >> (position + 1) : 0u;
    EXPECT_EQ(expected, afterRotate[k]);
    EXPECT_EQ(position == 15 ? 1 : 0, carryAfterRotate[k]);
  }
}

TEST(DemonstrationProgramTest, NmiDuringTheDelayLoopReturnsIntoIt) {
  Driver d;
  for (int i = 0; i < 5; ++i) d.Step(); // inside the delay loop, R5 = 2
  std::string pc = Reg(d.m.get(), 0);
  std::string r5 = Reg(d.m.get(), 5);
  NMI(d.m->rom, d.m->registers, d.m->registers, d.m->ram, &d.m->ramMarker,
      &d.m->ramMarkerOn, &d.m->romMarker, &d.m->romMarkerOn);
  EXPECT_EQ("FFD0", Reg(d.m.get(), 0));
  EXPECT_EQ(0xFFD0u, d.Step()); // RETI
  EXPECT_EQ(pc, Reg(d.m.get(), 0));
  EXPECT_EQ(r5, Reg(d.m.get(), 5));
  EXPECT_EQ("027E", Reg(d.m.get(), 1));
}

TEST(DemonstrationProgramTest, UndecodableWordResetsTheMachine) {
  Driver d;
  SetRomWord(d.m.get(), 0xFF80, 0x0000);
  EXPECT_EQ(0xFF80u, d.Step());
  EXPECT_EQ(1, d.resets);
  EXPECT_EQ("FF80", Reg(d.m.get(), 0));
}

} // namespace
