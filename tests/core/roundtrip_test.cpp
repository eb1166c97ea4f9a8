// Assemble -> Save -> Disassemble over every operation, every addressing
// mode each operand allows, byte and word: the decoded selection assembles
// to the same text and words as the selection that was stored.
#include <gtest/gtest.h>

#include <vector>

#include "tests/core/core_test_util.h"

using namespace coretest;

namespace {

const unsigned kPC = 0xFF90;

struct Operand {
  uint32_t mode;
  uint32_t reg;
  const char* text;
};

// Source forms: every mode, the immediate both as constants and as a word.
const Operand kSources[] = {
    {kModeRegister, 4, ""},     {kModeIndexed, 4, "0012"},   {kModeSymbolic, 0, "0200"},
    {kModeAbsolute, 0, "0204"}, {kModeIndirect, 4, ""},      {kModeAutoincrement, 4, ""},
    {kModeImmediate, 0, "1234"}, {kModeImmediate, 0, "0000"}, {kModeImmediate, 0, "0001"},
    {kModeImmediate, 0, "0002"}, {kModeImmediate, 0, "0004"}, {kModeImmediate, 0, "0008"},
    {kModeImmediate, 0, "FFFF"},
};

const Operand kDestinations[] = {
    {kModeRegister, 5, ""},
    {kModeIndexed, 5, "0034"},
    {kModeSymbolic, 0, "0210"},
    {kModeAbsolute, 0, "0214"},
};

struct Result {
  std::string text, word, extension1, extension2;
  InstructionSelection decoded;
};

Result RoundTrip(const Sel& sel, AssembledInstruction* stored) {
  auto m = NewMachine();
  SetReg(m.get(), 0, kPC);
  Assembled(sel, m.get(), stored);
  int32_t row = static_cast<int32_t>((0xFFFE - kPC) / 2);
  Save(stored->word, stored->extension1, stored->extension2, &row, m->rom);

  DecodedInstruction d;
  InitDecoded(&d);
  DisassembleAtPC(m.get(), &d);
  EXPECT_EQ(0, d.resetRequest);
  Result r;
  InitSelection(&r.decoded);
  LoadDecodedSelection(&d, &r.decoded);
  AssembledInstruction again;
  memset(&again, 0, sizeof again);
  Sel decoded;
  decoded.s = r.decoded;
  Assembled(decoded, m.get(), &again);
  r.text = again.text;
  r.word = again.word;
  r.extension1 = again.extension1;
  r.extension2 = again.extension2;
  return r;
}

void ExpectSame(const Sel& sel, const char* what) {
  SCOPED_TRACE(what);
  AssembledInstruction stored;
  memset(&stored, 0, sizeof stored);
  Result r = RoundTrip(sel, &stored);
  SCOPED_TRACE(stored.text);
  EXPECT_EQ(stored.text, r.text);
  EXPECT_EQ(stored.word, r.word);
  EXPECT_EQ(stored.extension1, r.extension1);
  EXPECT_EQ(stored.extension2, r.extension2);
  EXPECT_EQ(sel.s.format, r.decoded.format);
}

TEST(RoundTripTest, DoubleOperand) {
  int checked = 0;
  for (uint32_t op = 0; op < kDualOperationCount; ++op) {
    for (const Operand& s : kSources) {
      for (const Operand& t : kDestinations) {
        for (int byte = 0; byte < 2; ++byte) {
          Sel sel;
          sel.Dual(op).Src(s.mode, s.reg, s.text).Dst(t.mode, t.reg, t.text);
          if (byte) sel.Byte();
          // These encodings are also emulated instructions (SUB #1,dst is
          // DEC dst, MOV #0,dst is CLR dst, ...): the decoder names them by
          // their emulated form, which must encode to the very same words.
          bool constant = s.mode == kModeImmediate;
          bool alias = constant && ((op == kOpSUB && !strcmp(s.text, "0001")) ||
                                    (op == kOpADD && !strcmp(s.text, "0001")) ||
                                    (op == kOpMOV && !strcmp(s.text, "0000")) ||
                                    (op == kOpCMP && !strcmp(s.text, "0000")));
          // ADD and ADDC of one PC-relative or absolute operand to another
          // share RLA/RLC's encoding; the emulated form names one operand
          // and one word, so that pair cannot round-trip.
          bool rotateLike = (op == kOpADD || op == kOpADDC) &&
                            (s.mode == kModeSymbolic || s.mode == kModeAbsolute) &&
                            t.mode == s.mode;
          if (rotateLike) continue;
          std::string what = std::to_string(op) + "/" + std::to_string(s.mode) + "/" +
                             std::to_string(t.mode) + (byte ? ".B" : "");
          if (alias) {
            AssembledInstruction stored;
            Result r = RoundTrip(sel, &stored);
            SCOPED_TRACE(what);
            EXPECT_EQ(static_cast<uint32_t>(kFormatEmulated), r.decoded.format);
            EXPECT_EQ(stored.word, r.word);
            EXPECT_EQ(stored.extension1, r.extension1);
            EXPECT_EQ(stored.extension2, r.extension2);
          } else {
            ExpectSame(sel, what.c_str());
          }
          ++checked;
        }
      }
    }
  }
  EXPECT_EQ(12 * 13 * 4 * 2 - 2 * 2 * 2, checked);
}

TEST(RoundTripTest, SingleOperand) {
  for (uint32_t op = kOpRRC; op <= kOpSXT; ++op) {
    for (const Operand& t : kDestinations) {
      for (int byte = 0; byte < 2; ++byte) {
        Sel sel;
        sel.Single(op).Dst(t.mode, t.reg, t.text);
        // SWPB and SXT have no byte form: the selection's flag is withheld.
        if (byte && (op == kOpRRC || op == kOpRRA)) sel.Byte();
        ExpectSame(sel, "rotate");
      }
    }
  }
  for (uint32_t op : {kOpPUSH, kOpCALL}) {
    for (const Operand& s : kSources) {
      for (int byte = 0; byte < 2; ++byte) {
        Sel sel;
        sel.Single(op).Src(s.mode, s.reg, s.text);
        if (byte && op == kOpPUSH) sel.Byte();
        ExpectSame(sel, op == kOpPUSH ? "PUSH" : "CALL");
      }
    }
  }
  ExpectSame(Sel().Single(kOpRETI), "RETI");
}

TEST(RoundTripTest, Jumps) {
  for (uint32_t condition = 0; condition < kJumpOperationCount; ++condition) {
    for (float offset : {-512.0f, -100.0f, -1.0f, 0.0f, 1.0f, 77.0f, 511.0f}) {
      ExpectSame(Sel().Jump(condition, offset), "jump");
    }
  }
}

TEST(RoundTripTest, Emulated) {
  for (uint32_t op = 0; op < kEmulatedOperationCount; ++op) {
    if (op == kOpNOP || op == kOpRET) {
      ExpectSame(Sel().Emulated(op), "fixed");
      continue;
    }
    for (const Operand& t : kDestinations) {
      for (int byte = 0; byte < 2; ++byte) {
        Sel sel;
        sel.Emulated(op).Dst(t.mode, t.reg, t.text);
        // RLC and RLA take their register from both fields.
        if (op == kOpRLC || op == kOpRLA) sel.Src(t.mode, t.reg, t.text);
        if (byte) sel.Byte();
        ExpectSame(sel, "emulated");
      }
    }
  }
}

} // namespace
