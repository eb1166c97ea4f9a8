// The pop-up panels: their rules without a window (what the instruction
// pop-up shows, the selectors' loads, HexConv's validity, the RAM, register
// and slot edits), then stories through the real children, pointer and keys
// off-screen. Outside truth: the demonstration program's own words (Init SP
// is its first instruction), the core's Disassemble, byte-exact slot files.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "core/mycode.h"
#include "panel/Velkor_symbology_layer.h"
#include "panel/Velkor_symbology_layer_cycle.h"
#include "panel/Velkor_symbology_layer_parts.h"
#include "panel/Velkor_symbology_layer_popups.h"
#include "tests/display/display_fixture.h"

namespace {

struct LayerDeleter {
  void operator()(Velkor_layer* c) const { Velkor_symbology_layer_free(c); }
};
using Layer = std::unique_ptr<Velkor_layer, LayerDeleter>;

Layer NewLayer() {
  Layer c(static_cast<Velkor_layer*>(Velkor_symbology_layer_alloc()));
  Velkor_symbology_layer_init(c.get());
  return c;
}

uint16_t Word(const MemoryRow& row) {
  return static_cast<uint16_t>(strtoul(row.cells[kRowHighCell], nullptr, 16) << 8 |
                               strtoul(row.cells[kRowLowCell], nullptr, 16));
}

// ---- What the instruction pop-up shows ------------------------------------------------

TEST(InstructionView, ShowsTheGroupsOfEachInstruction) {
  struct Row {
    const char* name;
    uint32_t format, single, emulated, source_mode, destination_mode;
    int32_t selector;
    uint8_t source, source_register, source_text, destination, destination_register,
        destination_text, destination_left, word, step_three, addressing;
  };
  const Row rows[] = {
      {"MOV #n,Rm", 0, 0, 0, kModeImmediate, kModeRegister, 0, 1, 0, 1, 1, 1, 0, 0, 1, 1, 1},
      {"MOV x(Rn),y(Rm)", 0, 0, 0, kModeIndexed, kModeIndexed, 0, 1, 1, 1, 1, 1, 1, 0, 1, 1, 1},
      {"ADD @Rn+,&a", 0, 0, 0, kModeAutoincrement, kModeAbsolute, 0, 1, 1, 0, 1, 0, 1, 0, 1, 1, 1},
      {"RRC Rn", 1, kOpRRC, 0, 0, kModeRegister, 1, 0, 0, 0, 1, 1, 0, 1, 1, 1, 1},
      {"SWPB has no byte form", 1, kOpSWPB, 0, 0, kModeSymbolic, 1, 0, 0, 0, 1, 0, 1, 1, 0, 1, 1},
      {"PUSH &a", 1, kOpPUSH, 0, kModeAbsolute, 0, 1, 1, 0, 1, 0, 0, 0, 0, 1, 1, 1},
      {"CALL @Rn", 1, kOpCALL, 0, kModeIndirect, 0, 1, 1, 1, 0, 0, 0, 0, 0, 0, 1, 1},
      {"RETI has no operand", 1, kOpRETI, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
      {"JMP", 2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0},
      {"POP Rm", 3, 0, kOpPOP, 0, kModeRegister, 3, 0, 0, 0, 1, 1, 0, 1, 1, 1, 1},
      {"NOP", 3, 0, kOpNOP, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
      {"RET", 3, 0, kOpRET, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
      {"no instruction", 4, 0, 0, 0, 0, -1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
  };
  Layer c = NewLayer();
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    c->instructionFormat = r.format;
    c->singleOperation = r.single;
    c->emulatedOperation = r.emulated;
    c->sourceMode = r.source_mode;
    c->destinationMode = r.destination_mode;
    const Velkor_InstructionView v = Velkor_popups_instruction_view(c.get());
    EXPECT_EQ(r.selector, v.operationSelector);
    EXPECT_EQ(r.source, v.source);
    EXPECT_EQ(r.source_register, v.sourceRegister);
    EXPECT_EQ(r.source_text, v.sourceText);
    EXPECT_EQ(r.destination, v.destination);
    EXPECT_EQ(r.destination_register, v.destinationRegister);
    EXPECT_EQ(r.destination_text, v.destinationText);
    EXPECT_EQ(r.destination_left, v.destinationLeft);
    EXPECT_EQ(r.word, v.word);
    EXPECT_EQ(r.step_three, v.stepThree);
    EXPECT_EQ(r.addressing, v.addressing);
    EXPECT_EQ(r.format == kFormatJump ? 1 : 0, v.pcOffset);
  }
}

// ---- The selectors' loads ---------------------------------------------------------------

// A shortcut's instruction assembled as the panel does it; the outside truth
// is the machine code of the same instruction.
TEST(SelectorLoad, EachShortcutLoadsItsInstruction) {
  struct Row {
    int32_t shortcut;
    const char* assembler_word;
    const char* extension;
  };
  // MOV #0x280,SP is the demonstration program's first instruction (FF80:
  // 4031 0280); PUSH R0 is 1200; POP R4 is MOV @SP+,R4, 4134.
  const Row rows[] = {
      {kShortcutInitSp, "4031", "0280"}, {kShortcutPush, "1200", ""}, {kShortcutPop, "4134", ""}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.shortcut);
    Layer c = NewLayer();
    // Leftovers of an earlier selection that the shortcut must replace.
    c->sourceMode = kModeIndexed;
    c->destinationMode = kModeAbsolute;
    c->wordOperation = 0;
    c->shortcutHover[r.shortcut] = 1;
    Velkor_SelectorLoad load;
    Velkor_popups_selector_load(c.get(), 1, &load);
    EXPECT_EQ(1, load.format);
    EXPECT_EQ(1, load.selectors);
    EXPECT_EQ(1, load.word);
    EXPECT_EQ(0, load.destinationText);
    EXPECT_EQ(0, load.pcOffset);
    Velkor_popups_apply_load(c.get(), &load);
    Velkor_popups_convert_operands(c.get());
    Velkor_cycle_assemble(c.get());
    EXPECT_STREQ(r.assembler_word, c->machineWordText);
    EXPECT_STREQ(r.extension, c->extension1Text);
    EXPECT_EQ(1, c->wordOperation);
    EXPECT_TRUE(Velkor_cycle_selection_runnable(c.get()));
  }
}

TEST(SelectorLoad, OnlyAClickLoadsAndOnlyTheNamedSelectors) {
  struct Row {
    const char* name;
    uint8_t fetch, click, press, hover_init_sp, reset;
    uint8_t format, selectors, pc_offset, source_text, destination_text, word;
  };
  const Row rows[] = {
      {"nothing", 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
      {"FETCH hovered, no click", 1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0},
      {"FETCH/DECODE click", 1, 1, 0, 0, 0, 1, 1, 1, 1, 1, 1},
      {"Init SP hovered, no press", 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0},
      {"Init SP clicked", 0, 0, 1, 1, 0, 1, 1, 0, 1, 0, 1},
      {"a press elsewhere", 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0},
      {"RESET", 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 1},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    Layer c = NewLayer();
    c->fetchHighlighted = r.fetch;
    c->clickFlag = r.click;
    c->shortcutHover[kShortcutInitSp] = r.hover_init_sp;
    c->resetRequest = r.reset;
    Velkor_SelectorLoad load;
    Velkor_popups_selector_load(c.get(), r.press, &load);
    EXPECT_EQ(r.format, load.format);
    EXPECT_EQ(r.selectors, load.selectors);
    EXPECT_EQ(r.pc_offset, load.pcOffset);
    EXPECT_EQ(r.source_text, load.sourceText);
    EXPECT_EQ(r.destination_text, load.destinationText);
    EXPECT_EQ(r.word, load.word);
  }
}

// FETCH/DECODE through the core, then the loads: every selector takes the
// decoded instruction, whatever it held, and RESET checks "Word Operation".
TEST(SelectorLoad, FetchLoadsTheDecodedInstructionAndResetChecksWord) {
  Layer c = NewLayer();
  c->instructionFormat = kFormatJump;
  c->wordOperation = 0;
  c->fetchHighlighted = 1;
  c->clickFlag = 1;
  ASSERT_TRUE(Velkor_cycle_fetch(c.get()));  // FF80: MOV #0x0280,SP
  Velkor_SelectorLoad load;
  Velkor_popups_selector_load(c.get(), 0, &load);
  Velkor_popups_apply_load(c.get(), &load);
  EXPECT_EQ(static_cast<uint32_t>(kFormatDoubleOperand), c->instructionFormat);
  EXPECT_EQ(static_cast<uint32_t>(kOpMOV), c->dualOperation);
  EXPECT_EQ(static_cast<uint32_t>(kModeImmediate), c->sourceMode);
  EXPECT_EQ(static_cast<uint32_t>(kModeRegister), c->destinationMode);
  EXPECT_EQ(1u, c->destinationRegister);
  EXPECT_STREQ(c->decodedSourceText, c->sourceEditText);
  EXPECT_EQ(1, c->wordOperation);

  c->fetchHighlighted = 0;
  c->clickFlag = 0;
  c->wordOperation = 0;
  c->resetRequest = 1;
  ASSERT_TRUE(Velkor_cycle_reset(c.get()));
  Velkor_popups_selector_load(c.get(), 0, &load);
  Velkor_popups_apply_load(c.get(), &load);
  EXPECT_EQ(static_cast<uint32_t>(kFormatNone), c->instructionFormat);
  EXPECT_EQ(1, c->wordOperation);
}

// ---- Typed values -------------------------------------------------------------------------

TEST(Convert, TextThatIsNotANumberIsNotValid) {
  struct Row {
    const char* typed;
    const char* text;
    uint8_t valid;
  };
  const Row rows[] = {{"0x280", "0280", 1},   {"640", "0280", 1},   {"", "0000", 1},
                      {"-1", "FFFF", 1},      {"65535", "FFFF", 1}, {"65536", nullptr, 0},
                      {"-32769", nullptr, 0}, {"abc", nullptr, 0},  {"12xyz", nullptr, 0},
                      {"0x", nullptr, 0}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.typed);
    char text[kTextCellSize] = "old";
    uint8_t valid = 7;
    Velkor_popups_convert(r.typed, text, &valid);
    EXPECT_EQ(r.valid, valid);
    if (r.text != nullptr) {
      EXPECT_STREQ(r.text, text);
    }
  }
}

// ---- RAM and register edits ---------------------------------------------------------------

TEST(Edits, RamIsWrittenOnSaveWithAValidValueIntoTheRowThePopUpOpenedOn) {
  struct Row {
    const char* name;
    const char* typed;
    uint8_t save;
    bool written;
  };
  const Row rows[] = {{"valid and saved", "0xBEEF", 1, true},
                      {"not saved", "0xBEEF", 0, false},
                      {"out of range", "70000", 1, false},
                      {"not a number", "12xyz", 1, false}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    Layer c = NewLayer();
    c->ramEditRow = 63;       // 0x0200, clicked to open the pop-up
    c->ramSelection[0] = 10;  // moved since under the pop-up
    snprintf(c->ramEditText, kTextCellSize, "%s", r.typed);
    Velkor_popups_convert(c->ramEditText, c->ramValueText, &c->ramValid);
    c->saveToRam = r.save;
    EXPECT_EQ(r.written, Velkor_popups_change_ram(c.get()));
    EXPECT_EQ(r.written ? 0xBEEF : 0x0000, Word(c->ramRows[63]));
    EXPECT_EQ(0x0000, Word(c->ramRows[10]));
  }
}

TEST(Edits, RegisterIsWrittenOnSaveWithAValidValueNeverR3) {
  struct Row {
    const char* name;
    uint32_t reg;
    const char* typed;
    uint8_t save;
    const char* expected;
  };
  const Row rows[] = {{"R5 saved", 5, "0x1234", 1, "1234"},
                      {"SP kept even", 1, "0x0281", 1, "0280"},
                      {"not saved", 5, "0x1234", 0, "0000"},
                      {"not a number", 5, "abc", 1, "0000"},
                      {"R3 is the constant generator", 3, "0x1234", 1, "0000"}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    Layer c = NewLayer();
    c->registerIndex = r.reg;
    snprintf(c->registerEditText, kTextCellSize, "%s", r.typed);
    Velkor_popups_convert(c->registerEditText, c->registerValueText, &c->registerValid);
    c->saveToRegister = r.save;
    Velkor_popups_change_register(c.get());
    EXPECT_STREQ(r.expected, c->registers[r.reg]);
  }
}

TEST(Edits, AClickOnARegisterChoosesItNeverR3) {
  struct Row {
    const char* name;
    int hovered;  // -1 none
    uint8_t click;
    uint8_t load;
    uint32_t index;
  };
  const Row rows[] = {{"R5 clicked", 5, 1, 1, 5},
                      {"R5 hovered only", 5, 0, 0, 5},
                      {"PC clicked", 0, 1, 1, 0},
                      {"R3 clicked", 3, 1, 0, 0},
                      {"nothing", -1, 1, 0, 0}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    Layer c = NewLayer();
    if (r.hovered >= 0) c->registerHover[r.hovered] = 1;
    c->clickFlag = r.click;
    uint32_t index = 99;
    EXPECT_EQ(r.load, Velkor_popups_register_load(c.get(), &index));
    EXPECT_EQ(r.index, index);
  }
}

// ---- Slot files ------------------------------------------------------------------------------

class SlotTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(nullptr, getcwd(old_, sizeof old_));
    snprintf(dir_, sizeof dir_, "/tmp/velkor_popups_slots_XXXXXX");
    ASSERT_NE(nullptr, mkdtemp(dir_));
    ASSERT_EQ(0, chdir(dir_));
  }
  void TearDown() override {
    ASSERT_EQ(0, chdir(old_));
    const std::string rm = std::string("rm -rf ") + dir_;
    ASSERT_EQ(0, system(rm.c_str()));
  }
  static std::string ReadFile(const char* name) {
    std::string s;
    FILE* f = fopen(name, "rb");
    if (f == nullptr) return s;
    char buffer[4096];
    size_t n = 0;
    while ((n = fread(buffer, 1, sizeof buffer, f)) > 0) s.append(buffer, n);
    fclose(f);
    return s;
  }
  char old_[4096];
  char dir_[64];
};

TEST_F(SlotTest, SlotThreeSavedAndLoadedBack) {
  Layer c = NewLayer();
  c->slot = 2;
  ASSERT_TRUE(Velkor_popups_slot_save(c.get()));
  EXPECT_STREQ("ROM gespeichert in slot3.csv.", c->slotMessage);
  const std::string file = ReadFile("slot3.csv");
  EXPECT_EQ(64u * strlen("FFFE;FF80;\"\"\r\n"), file.size());
  EXPECT_EQ(0u, file.find("FFFE;FF80;\"\"\r\n"));
  EXPECT_NE(std::string::npos, file.find("FF80;4031;\"\"\r\n"));

  snprintf(c->romRows[63].cells[kRowHighCell], kTextCellSize, "12");
  snprintf(c->romRows[0].cells[kRowLowCell], kTextCellSize, "00");
  ASSERT_TRUE(Velkor_popups_slot_load(c.get()));
  EXPECT_STREQ("ROM geladen aus slot3.csv.", c->slotMessage);
  EXPECT_EQ(0x4031, Word(c->romRows[63]));
  EXPECT_EQ(0xFF80, Word(c->romRows[0]));
}

TEST_F(SlotTest, FailuresAreSaidAndLeaveTheRomAlone) {
  struct Row {
    const char* name;
    uint32_t slot;
    bool save;
    const char* message;
  };
  // slot5.csv is a directory: it can be neither written nor read.
  ASSERT_EQ(0, mkdir("slot5.csv", 0755));
  FILE* garbage = fopen("slot6.csv", "wb");
  ASSERT_NE(nullptr, garbage);
  fputs("XYZ\r\n", garbage);
  fclose(garbage);
  const Row rows[] = {
      {"missing file", 0, false, "slot1.csv konnte nicht gelesen werden, ROM unver\xe4ndert."},
      {"directory", 4, false, "slot5.csv konnte nicht gelesen werden, ROM unver\xe4ndert."},
      {"no word in it", 5, false, "slot6.csv konnte nicht gelesen werden, ROM unver\xe4ndert."},
      {"slot outside", 10, false, "Slot konnte nicht gelesen werden, ROM unver\xe4ndert."},
      {"save over a directory", 4, true, "slot5.csv konnte nicht geschrieben werden."},
      {"save outside", 10, true, "Slot konnte nicht geschrieben werden."},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    Layer c = NewLayer();
    Layer before = NewLayer();
    c->slot = r.slot;
    EXPECT_FALSE(r.save ? Velkor_popups_slot_save(c.get()) : Velkor_popups_slot_load(c.get()));
    EXPECT_STREQ(r.message, c->slotMessage);
    EXPECT_EQ(0, memcmp(before->romRows, c->romRows, sizeof c->romRows));
  }
}

TEST(SlotNames, FileNameOfEachSlot) {
  const struct {
    uint32_t slot;
    const char* name;
  } rows[] = {{0, "slot1.csv"}, {2, "slot3.csv"}, {9, "slot10.csv"}, {10, ""}};
  for (const auto& r : rows) {
    char name[16] = "x";
    Velkor_popups_slot_file_name(r.slot, name, sizeof name);
    EXPECT_STREQ(r.name, name);
  }
}

// ---- Pop-ups over pop-ups ---------------------------------------------------------------------

TEST(Covered, OnlyAnOpenPopUpDrawnLaterCovers) {
  Layer c = NewLayer();
  c->instructionSetZoom = 1;  // instructions at (-360, -133), 540 x 510
  c->instructionFormat = kFormatDoubleOperand;
  c->InstruktionenPopUpPanel.isOpen = 1;
  c->RegPopUpPanel.isOpen = 1;  // at (-56.25, -327.25), 280.25 x 225.25
  // A point where both lie: the register pop-up is drawn later, on top.
  EXPECT_TRUE(Velkor_popups_covered(c.get(), kPopUpInstructions, 0.0f, -120.0f));
  EXPECT_FALSE(Velkor_popups_covered(c.get(), kPopUpRegister, 0.0f, -120.0f));
  // Only on the instruction pop-up.
  EXPECT_FALSE(Velkor_popups_covered(c.get(), kPopUpInstructions, 0.0f, 100.0f));
  c->RegPopUpPanel.isOpen = 0;
  EXPECT_FALSE(Velkor_popups_covered(c.get(), kPopUpInstructions, 0.0f, -120.0f));
}

// ---- Machine code fields --------------------------------------------------------------------

TEST(CodeLayout, FieldsCoverTheWordOnceFromBit15Down) {
  for (uint32_t format = 0; format <= kFormatNone; ++format) {
    SCOPED_TRACE(format);
    const Velkor_CodeLayout* layout = Velkor_popups_code_layout(format);
    if (format == kFormatNone) {
      EXPECT_EQ(nullptr, layout);
      continue;
    }
    ASSERT_NE(nullptr, layout);
    int32_t next = 15;
    for (int32_t f = 0; f < layout->count; ++f) {
      EXPECT_EQ(next, layout->fields[f].highBit);
      EXPECT_LE(layout->fields[f].lowBit, layout->fields[f].highBit);
      next = layout->fields[f].lowBit - 1;
    }
    EXPECT_EQ(-1, next);
  }
  EXPECT_STREQ("Jump Instructions", Velkor_popups_code_layout(kFormatJump)->title);
  EXPECT_EQ(Velkor_popups_code_layout(kFormatDoubleOperand),
            Velkor_popups_code_layout(kFormatEmulated));
}

// ---- Stories through the real children ------------------------------------------------------

using velkor_test::DisplayTest;

class PopUpStory : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    c_ = NewLayer();
    // Pass 0 puts ResetButton's output here before pass 2 reads it.
    c_->resetRequest = 0;
  }
  // One frame of a pop-up's children at its full-size place, as pass 2 does.
  void Draw(Velkor_ChildrenCallback children, float x, float y) {
    Frame([&] {
      Velkor_symbology_layer_predraw(c_.get());
      sglPushMatrixAndTranslate(x, y);
      children(c_.get(), 2, -1, 2);
      sglPopMatrixAndTranslate();
    });
  }
  void Click(Velkor_ChildrenCallback children, float px, float py, float x, float y) {
    MoveTo(px, py);
    Draw(children, x, y);
    Press();
    Draw(children, x, y);
    Release();
    Draw(children, x, y);
  }
  void TypeText(Velkor_ChildrenCallback children, const char* keys, float x, float y) {
    for (const char* k = keys; *k != '\0'; ++k) {
      Type(static_cast<uint8_t>(*k));
      Draw(children, x, y);
      Draw(children, x, y);
    }
  }
  // Into the value box of the RAM or register pop-up (at (90, 104), 76.25 x
  // 30.25): a click at its right end, the old text erased, the value typed
  // and confirmed with Enter.
  void TypeValue(Velkor_ChildrenCallback children, float x, float y, const char* value) {
    Click(children, x + 163.0f, y + 119.0f, x, y);
    TypeText(children, "\b\b\b\b\b\b\b\b", x, y);
    TypeText(children, value, x, y);
    TypeText(children, "\r", x, y);
  }
  Layer c_;
};

// The instruction pop-up at full size: its origin at (280, 251) on the display.
constexpr float kInstrX = 280.0f;
constexpr float kInstrY = 251.0f;
const Velkor_ChildrenCallback kInstructions =
    Velkor_symbology_layer_drawChildren_InstruktionenPopUpPanel;

TEST_F(PopUpStory, InitSpClickedLoadsTheSelectorsInItsFrame) {
  Draw(kInstructions, kInstrX, kInstrY);
  // Nothing chosen yet: the format box shows "---no instruction---".
  EXPECT_EQ(static_cast<uint32_t>(kFormatNone), c_->instructionFormat);
  EXPECT_EQ(kFormatNone, c_->InstructionFormatComboBox.selectedIndex);
  // "Init SP" at (34, 56) in the pop-up, 120 x 34.
  MoveTo(kInstrX + 94.0f, kInstrY + 73.0f);
  Press();
  Draw(kInstructions, kInstrX, kInstrY);
  EXPECT_EQ(1, c_->shortcutHover[kShortcutInitSp]);
  EXPECT_EQ(static_cast<uint32_t>(kFormatDoubleOperand), c_->instructionFormat);
  EXPECT_EQ(static_cast<uint32_t>(kModeImmediate), c_->sourceMode);
  EXPECT_EQ(1u, c_->destinationRegister);
  EXPECT_STREQ("0x280", c_->sourceEditText);
  EXPECT_STREQ("0280", c_->sourceOperandText);
  Release();
  Draw(kInstructions, kInstrX, kInstrY);
  // The widgets show the fields.
  EXPECT_EQ(0, c_->InstructionFormatComboBox.selectedIndex);
  EXPECT_EQ(0, c_->DualOperationComboBox.selectedIndex);
  EXPECT_EQ(kModeImmediate, c_->SRegAdrComboBox.selectedIndex);
  EXPECT_EQ(1, c_->DRegComboBox.selectedIndex);
  EXPECT_STREQ("0x280", c_->IndexAdrImmediateTextEditBox.text);
  EXPECT_EQ(1, c_->CheckButton.checked);
  // Its tool tip is written while the pointer rests on it (cream text over
  // the black background of the test).
  EXPECT_GT(velkor_test::CountCoveredPixels(static_cast<int>(kInstrX) + 10,
                                            static_cast<int>(kInstrY) + 4, 520, 46),
            100);
}

TEST_F(PopUpStory, AFormatChosenFromTheListIsWrittenBack) {
  c_->instructionFormat = kFormatDoubleOperand;
  Draw(kInstructions, kInstrX, kInstrY);
  // The format box at (220, 464), 180 x 34; its rows are 22 high below it.
  Click(kInstructions, kInstrX + 310.0f, kInstrY + 481.0f, kInstrX, kInstrY);
  ASSERT_EQ(1, c_->InstructionFormatComboBox.open);
  Click(kInstructions, kInstrX + 310.0f, kInstrY + 464.0f - 22.0f * 2 - 11.0f, kInstrX, kInstrY);
  EXPECT_EQ(0, c_->InstructionFormatComboBox.open);
  EXPECT_EQ(static_cast<uint32_t>(kFormatJump), c_->instructionFormat);
  // The jump selector and the slider replace the operand groups.
  Draw(kInstructions, kInstrX, kInstrY);
  EXPECT_GT(c_->Jump_OperationComboBox.drawnRect.width, 0.0f);
  EXPECT_GT(c_->Slider.drawnRect.width, 0.0f);
  EXPECT_EQ(0.0f, c_->SRegAdrComboBox.drawnRect.width);
}

TEST_F(PopUpStory, WhileAListIsOpenAShortcutDoesNotLoad) {
  c_->instructionFormat = kFormatJump;
  Draw(kInstructions, kInstrX, kInstrY);
  Click(kInstructions, kInstrX + 310.0f, kInstrY + 481.0f, kInstrX, kInstrY);
  ASSERT_EQ(1, c_->InstructionFormatComboBox.open);
  MoveTo(kInstrX + 94.0f, kInstrY + 73.0f);  // "Init SP"
  Draw(kInstructions, kInstrX, kInstrY);
  Press();
  Draw(kInstructions, kInstrX, kInstrY);
  EXPECT_EQ(0, c_->shortcutHover[kShortcutInitSp]);
  EXPECT_EQ(static_cast<uint32_t>(kFormatJump), c_->instructionFormat);
}

TEST_F(PopUpStory, AnOperationOutsideTheVocabularyIsNotShownAsAnother) {
  c_->instructionFormat = kFormatSingleOperand;
  c_->singleOperation = kOpSingleUnused;
  Draw(kInstructions, kInstrX, kInstrY);
  Draw(kInstructions, kInstrX, kInstrY);
  EXPECT_EQ(static_cast<uint32_t>(kOpSingleUnused), c_->singleOperation);
  EXPECT_FALSE(Velkor_cycle_selection_runnable(c_.get()));
}

// The register pop-up at (-56.25, -327.25): its origin at (583.75, 56.75).
constexpr float kRegX = 583.75f;
constexpr float kRegY = 56.75f;
const Velkor_ChildrenCallback kRegister = Velkor_symbology_layer_drawChildren_RegPopUpPanel;

TEST_F(PopUpStory, ARegisterEditedWithTypedKeysEnterAndSave) {
  // The click on R5's value box that opens the pop-up chooses R5.
  c_->registerHover[5] = 1;
  c_->clickFlag = 1;
  Draw(kRegister, kRegX, kRegY);
  c_->registerHover[5] = 0;
  c_->clickFlag = 0;
  EXPECT_EQ(5u, c_->registerIndex);
  EXPECT_EQ(5, c_->RegComboBox.selectedIndex);
  TypeValue(kRegister, kRegX, kRegY, "0x1234");
  EXPECT_STREQ("0x1234", c_->RegTextEditBox.text);
  EXPECT_STREQ("1234", c_->registerValueText);
  EXPECT_STREQ("0000", c_->registers[5]);  // Enter alone does not save
  // "SAVE to Register:" at (8, 62), 138 x 34.
  Click(kRegister, kRegX + 77.0f, kRegY + 79.0f, kRegX, kRegY);
  EXPECT_STREQ("1234", c_->registers[5]);
  EXPECT_STREQ("0000", c_->registers[4]);
}

// The RAM pop-up at (352.75, -146.25): its origin at (992.75, 237.75).
constexpr float kRamX = 992.75f;
constexpr float kRamY = 237.75f;
const Velkor_ChildrenCallback kRam = Velkor_symbology_layer_drawChildren_RAMPopUpPanel;

TEST_F(PopUpStory, TheOutOfRangeMessageShowsAndSaveWritesOnlyAValidValue) {
  const velkor_test::Rgba red = velkor_test::TableColor(velkor_test::kRed);
  const struct {
    const char* typed;
    bool valid;
  } rows[] = {{"abc", false}, {"70000", false}, {"0x12", true}};
  c_->ramEditRow = 63;  // 0x0200
  for (const auto& r : rows) {
    SCOPED_TRACE(r.typed);
    TypeValue(kRam, kRamX, kRamY, r.typed);
    EXPECT_EQ(r.valid ? 1 : 0, c_->ramValid);
    // The message area at (8, 4), 264 x 54.
    const int reds = velkor_test::CountPixelsNear(1001, 242, 262, 52, red, 8);
    if (r.valid) {
      EXPECT_EQ(0, reds);
    } else {
      EXPECT_GT(reds, 50);
    }
    // "SAVE to RAM" at (8, 62), 138 x 34.
    Click(kRam, kRamX + 77.0f, kRamY + 79.0f, kRamX, kRamY);
    EXPECT_EQ(r.valid ? 0x0012 : 0x0000, Word(c_->ramRows[63]));
  }
}

// ---- The whole frame: pass 0, then the pop-ups in pass 2 ------------------------------

class FrameStory : public PopUpStory {
 protected:
  void DrawFrame() {
    Frame([&] {
      Velkor_symbology_layer_predraw(c_.get());
      for (uint32_t pass = 0; pass < 3; ++pass) Velkor_symbology_layer_draw(c_.get(), pass);
    });
  }
  void ClickAt(float x, float y) {
    MoveTo(x, y);
    DrawFrame();
    Press();
    DrawFrame();
    Release();
    DrawFrame();
  }
};

// Centres on the display of the buttons the stories click.
constexpr float kFetchX = 102.0f, kFetchY = 632.0f;
constexpr float kExecX = 102.5f, kExecY = 578.0f;
constexpr float kResetX = 233.0f, kResetY = 700.0f;

TEST_F(FrameStory, FetchLoadsTheSelectorsInItsFrameAndExecuteRunsThem) {
  DrawFrame();
  MoveTo(kFetchX, kFetchY);
  DrawFrame();
  Press();
  DrawFrame();
  // FF80 holds MOV #0x0280,SP: the selectors hold it in the frame of the click.
  EXPECT_EQ(static_cast<uint32_t>(kFormatDoubleOperand), c_->instructionFormat);
  EXPECT_EQ(static_cast<uint32_t>(kOpMOV), c_->dualOperation);
  EXPECT_EQ(static_cast<uint32_t>(kModeImmediate), c_->sourceMode);
  EXPECT_EQ(1u, c_->destinationRegister);
  EXPECT_EQ(0, c_->InstructionFormatComboBox.selectedIndex);
  EXPECT_EQ(kModeImmediate, c_->SRegAdrComboBox.selectedIndex);
  EXPECT_STREQ(c_->decodedSourceText, c_->IndexAdrImmediateTextEditBox.text);
  EXPECT_EQ(1, c_->sourceValid);
  Release();
  DrawFrame();
  ClickAt(kExecX, kExecY);
  EXPECT_STREQ("0280", c_->registers[1]);
  EXPECT_STREQ("FF84", c_->registers[0]);
}

TEST_F(FrameStory, ResetShowsNoInstructionAndChecksWordOperation) {
  DrawFrame();
  ClickAt(kFetchX, kFetchY);
  c_->wordOperation = 0;  // as a click on the box would leave it
  DrawFrame();
  ASSERT_EQ(0, c_->CheckButton.checked);
  ClickAt(kResetX, kResetY);
  EXPECT_EQ(static_cast<uint32_t>(kFormatNone), c_->instructionFormat);
  EXPECT_EQ(kFormatNone, c_->InstructionFormatComboBox.selectedIndex);
  EXPECT_EQ(1, c_->wordOperation);
  DrawFrame();
  EXPECT_EQ(1, c_->wordOperation);
}

}  // namespace
