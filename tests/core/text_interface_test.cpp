// The register writer, the hand edits (HexConv, ChangeReg, ChangeRAM) and the
// address unit.
#include <gtest/gtest.h>

#include "tests/core/core_test_util.h"

using namespace coretest;

namespace {

TEST(SetRegisterTest, MasksAndMarkers) {
  const struct {
    uint8_t reg;
    uint16_t value;
    const char* text;
    uint32_t romRow; // 99: not touched
    uint32_t ramRow;
  } cases[] = {
      {0, 0xFF81, "FF80", 63, 99}, {0, 0xFF7E, "FF7E", 64, 99}, {0, 0xFFFE, "FFFE", 0, 99},
      {0, 0x0000, "0000", 64, 99}, {1, 0x0280, "0280", 99, 64}, {1, 0x027F, "027E", 99, 0},
      {1, 0x0201, "0200", 99, 63}, {1, 0x01FE, "01FE", 99, 64}, {2, 0xFFFF, "0107", 99, 99},
      {7, 0xBEEF, "BEEF", 99, 99}, {15, 0x0001, "0001", 99, 99},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    auto m = NewMachine();
    m->romMarker = {99, 5};
    m->ramMarker = {99, 5};
    m->romMarkerOn = m->ramMarkerOn = 0;
    SetRegister(m->registers, c.reg, c.value, &m->ramMarker, &m->ramMarkerOn,
                &m->romMarker, &m->romMarkerOn);
    EXPECT_EQ(c.text, Reg(m.get(), c.reg));
    EXPECT_EQ(c.romRow, m->romMarker.row);
    EXPECT_EQ(c.ramRow, m->ramMarker.row);
    EXPECT_EQ(c.romRow != 99 ? 1 : 0, m->romMarkerOn);
    EXPECT_EQ(c.ramRow != 99 ? 1 : 0, m->ramMarkerOn);
    EXPECT_EQ(c.romRow != 99 ? 0u : 5u, m->romMarker.column);
  }
}

TEST(SetRegisterTest, R3NeverChanges) {
  auto m = NewMachine();
  snprintf(m->registers[3], kTextCellSize, "ABCD");
  SetRegister(m->registers, 3, 0x1234, nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ("ABCD", Reg(m.get(), 3));
}

TEST(HexConvTest, TypedValues) {
  const struct {
    const char* typed;
    const char* text;
    uint16_t number;
    uint8_t valid;
  } cases[] = {
      {"65535", "FFFF", 0xFFFF, 1}, {"65536", "0000", 0, 0},  {"-32768", "8000", 0x8000, 1},
      {"-32769", "0000", 0, 0},     {"0x1A", "001A", 0x1A, 1}, {"010", "0008", 8, 1},
      {"", "0000", 0, 1},           {"-1", "FFFF", 0xFFFF, 1}, {"abc", "0000", 0, 1},
      {"99999999999999999999", "0000", 0, 0},                  {"0x280", "0280", 0x280, 1},
      {"12xyz", "000C", 12, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    char text[kTextCellSize] = "old";
    uint16_t number = 0x5555;
    uint8_t valid = 7;
    HexConv(c.typed, text, &number, &valid);
    EXPECT_STREQ(c.text, text);
    EXPECT_EQ(c.number, number);
    EXPECT_EQ(c.valid, valid);
  }
}

TEST(HexConvTest, NullInputAndNullOutputs) {
  char text[kTextCellSize] = "old";
  uint16_t number = 9;
  uint8_t valid = 9;
  HexConv(nullptr, text, &number, &valid);
  EXPECT_STREQ("0000", text);
  EXPECT_EQ(0, number);
  EXPECT_EQ(0, valid);
  HexConv("0x12", text, nullptr, nullptr); // the panel passes no number
  EXPECT_STREQ("0012", text);
}

TEST(ChangeRegTest, MasksLikeTheRegisterWriterButLeavesMarkers) {
  const struct {
    int32_t reg;
    const char* typed;
    const char* text;
  } cases[] = {{1, "0201", "0200"}, {0, "FF81", "FF80"}, {2, "FFFF", "0107"},
               {5, "1234", "1234"}, {15, "0x00FF", "00FF"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    auto m = NewMachine();
    TableMarker rom = m->romMarker;
    ChangeReg(c.reg, c.typed, m->registers);
    EXPECT_EQ(c.text, Reg(m.get(), c.reg));
    EXPECT_EQ(rom.row, m->romMarker.row);
  }
  auto m = NewMachine();
  ChangeReg(3, "FFFF", m->registers);
  EXPECT_EQ("0000", Reg(m.get(), 3));
}

TEST(ChangeRamTest, WritesBothBytesOfTheSelectedRow) {
  auto m = NewMachine();
  ChangeRAM("12AB", 0, m->ram);
  EXPECT_EQ(0x12ABu, Word(m.get(), 0x027E));
  EXPECT_STREQ("AB", m->ram[0].cells[kRowLowCell]);
  EXPECT_STREQ("12", m->ram[0].cells[kRowHighCell]);
  EXPECT_STREQ("027E", m->ram[0].cells[kRowAddressCell]);
  ChangeRAM("BEEF", 63, m->ram);
  EXPECT_EQ(0xBEEFu, Word(m.get(), 0x0200));
}

TEST(ChangeRamTest, ThreeDigitDecimalByteBecomesTwoDigits) {
  auto m = NewMachine();
  snprintf(m->ram[0].cells[kRowLowCell], kTextCellSize, "255"); // left by a DADD.B
  ChangeRAM("0012", 0, m->ram);
  EXPECT_STREQ("12", m->ram[0].cells[kRowLowCell]);
}

TEST(ChangeRamTest, TextShorterThanFourDigitsChangesNothing) {
  auto m = NewMachine();
  char text[kTextCellSize];
  memset(text, 'Z', sizeof text);
  memcpy(text, "12", 3); // what lies behind the terminator must not be copied
  ChangeRAM(text, 0, m->ram);
  EXPECT_STREQ("00", m->ram[0].cells[kRowHighCell]);
  EXPECT_STREQ("00", m->ram[0].cells[kRowLowCell]);
}

struct AddressCase {
  const char* name;
  uint32_t mode;
  int32_t reg;
  const char* operand;
  unsigned pc;
  unsigned regValue; // for the register named
  uint8_t flag;
  uint32_t shown;
  const char* base;
  const char* index;
  const char* address;
};

const AddressCase kAddressCases[] = {
    {"symbolic", kModeSymbolic, 5, "0200", 0xFF80, 0, 0, 0, "0xFF82", "0x027E", "0x0200"},
    {"symbolic after a source word", kModeSymbolic, 5, "0200", 0xFF80, 0, 1, 0, "0xFF84", "0x027C", "0x0200"},
    {"indexed on PC after a source word", kModeIndexed, 0, "0010", 0xFF80, 0, 1, 0, "0xFF84", "0x0010", "0xFF94"},
    {"indexed on PC", kModeIndexed, 0, "0010", 0xFF80, 0, 0, 0, "0xFF82", "0x0010", "0xFF92"},
    {"indexed wraps", kModeIndexed, 5, "0002", 0xFF80, 0xFFFF, 0, 5, "0xFFFF", "0x0002", "0x0001"},
    {"immediate", kModeImmediate, 7, "1234", 0xFF80, 0, 0, 0, "0xFF82", "0x0000", "0xFF82"},
    {"absolute", kModeAbsolute, 9, "0021", 0xFF80, 0, 0, 2, "0x0000", "0x0021", "0x0021"},
    {"indirect", kModeIndirect, 6, "", 0xFF80, 0x0230, 0, 6, "0x0230", "0x0000", "0x0230"},
    {"autoincrement on PC", kModeAutoincrement, 0, "", 0xFF80, 0, 0, 0, "0xFF82", "0x0000", "0xFF82"},
};

TEST(AddressCalcTest, BaseOffsetAndAddressPerMode) {
  for (const AddressCase& c : kAddressCases) {
    SCOPED_TRACE(c.name);
    auto m = NewMachine();
    SetReg(m.get(), 0, c.pc);
    if (c.reg != 0) SetReg(m.get(), c.reg, c.regValue);
    uint32_t shown = 99;
    AddressText base = "", index = "", address = "";
    AddressCalc(c.mode, c.reg, c.operand, m->registers, c.flag, &shown, base, index, address);
    EXPECT_EQ(c.shown, shown);
    EXPECT_STREQ(c.base, base);
    EXPECT_STREQ(c.index, index);
    EXPECT_STREQ(c.address, address);
  }
}

TEST(AddressCalcTest, RegisterModeHasNoAddress) {
  auto m = NewMachine();
  uint32_t shown = 99;
  AddressText base = "b", index = "i", address = "a";
  AddressCalc(kModeRegister, 4, "0010", m->registers, 0, &shown, base, index, address);
  EXPECT_EQ(99u, shown);
  EXPECT_STREQ("a", address);
}

TEST(AddressUnitsTest, DestinationFollowsARealSourceWordOnly) {
  // MOV @R4,0x0200 (symbolic): the source shows an address unit but has no
  // extension word, so the destination's word directly follows the
  // instruction and is counted from PC + 2.
  auto m = NewMachine();
  Sel sel;
  sel.Dual(kOpMOV).Src(kModeIndirect, 4).Dst(kModeSymbolic, 0, "0200");
  AddressUnit src, dst;
  UpdateAddressUnits(&sel.s, m->registers, &src, &dst);
  EXPECT_EQ(1, src.shown);
  EXPECT_EQ(1, dst.shown);
  EXPECT_STREQ("0xFF82", dst.base);
  EXPECT_STREQ("0x027E", dst.index);

  sel.Src(kModeIndexed, 4, "0002");
  UpdateAddressUnits(&sel.s, m->registers, &src, &dst);
  EXPECT_STREQ("0xFF84", dst.base);

  sel.Src(kModeImmediate, 0, "0008"); // a constant: no word
  UpdateAddressUnits(&sel.s, m->registers, &src, &dst);
  EXPECT_STREQ("0xFF82", dst.base);

  sel.Src(kModeRegister, 4);
  UpdateAddressUnits(&sel.s, m->registers, &src, &dst);
  EXPECT_EQ(0, src.shown);
}

TEST(AddressUnitsTest, WhichOperandsAreShown) {
  const struct {
    Sel sel;
    uint8_t source;
    uint8_t destination;
  } cases[] = {
      {Sel().Dual(kOpADD).Src(kModeIndexed, 4).Dst(kModeIndexed, 5), 1, 1},
      {Sel().Single(kOpPUSH).Src(kModeAbsolute, 0).Dst(kModeIndexed, 5), 1, 0},
      {Sel().Single(kOpRRC).Src(kModeAbsolute, 0).Dst(kModeIndexed, 5), 0, 1},
      {Sel().Emulated(kOpINC).Src(kModeImmediate, 0).Dst(kModeAbsolute, 0), 0, 1},
      {Sel().Emulated(kOpRET).Src(kModeImmediate, 0).Dst(kModeAbsolute, 0), 0, 0},
      {Sel().Jump(kJumpMP, 3).Src(kModeIndexed, 4).Dst(kModeIndexed, 5), 0, 0},
  };
  auto m = NewMachine();
  for (const auto& c : cases) {
    AddressUnit src, dst;
    UpdateAddressUnits(&c.sel.s, m->registers, &src, &dst);
    EXPECT_EQ(c.source, src.shown);
    EXPECT_EQ(c.destination, dst.shown);
  }
}

} // namespace
