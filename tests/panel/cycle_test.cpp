// The frame's conditions without a window, over a real layer context; the
// machine's truth comes from the core and the program's own words.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "core/mycode.h"
#include "panel/Velkor_symbology_layer_cycle_internal.h"
#include "panel/Velkor_symbology_layer_internal.h"
#include "tests/panel/layer_fixture.h"

namespace {

// The word at `address` of a memory whose first row holds `top`.
uint16_t Word(const MemoryRow* rows, uint16_t top, uint16_t address) {
  const MemoryRow& r = rows[(top - address) / 2];
  return static_cast<uint16_t>(strtoul(r.cells[kRowHighCell], nullptr, 16) << 8 |
                               strtoul(r.cells[kRowLowCell], nullptr, 16));
}
uint16_t RomWord(const Velkor_layer* c, uint16_t a) {
  return Word(c->romRows, 0xFFFE, a);
}
uint16_t RamWord(const Velkor_layer* c, uint16_t a) {
  return Word(c->ramRows, 0x027E, a);
}

// What the instruction pop-up does with the typed operand texts each frame.
void Convert(Velkor_layer* c) {
  HexConv(c->sourceEditText, c->sourceOperandText, nullptr, &c->sourceValid);
  HexConv(c->destinationEditText, c->destinationOperandText, nullptr, &c->destinationValid);
}

// "Init SP": MOV #0x280,SP.
void SelectInitSp(Velkor_layer* c) {
  c->instructionFormat = kFormatDoubleOperand;
  c->dualOperation = kOpMOV;
  c->sourceMode = kModeImmediate;
  c->sourceRegister = 0;
  snprintf(c->sourceEditText, kTextCellSize, "0x280");
  c->destinationMode = kModeRegister;
  c->destinationRegister = 1;
  c->wordOperation = 1;
  Convert(c);
}

TEST(Continuous, OnlyThePhasesButtonIsHoveredAndOnlyOnATick) {
  Layer c = NewLayer();
  c->continuousExecution = 1;
  c->saveHighlighted = c->executeHighlighted = 1;
  c->romByteHover = c->romAddressHover = c->ramByteHover = c->ramAddressHover = 1;
  c->registerHover[5] = c->shortcutHover[0] = 1;
  Velkor_cycle_take_press(c.get(), 1);  // a real press while it runs
  Velkor_cycle_continuous(c.get());
  EXPECT_EQ(0, c->fetchHighlighted + c->executeHighlighted + c->saveHighlighted);
  EXPECT_EQ(0, c->romByteHover + c->romAddressHover + c->ramByteHover + c->ramAddressHover);
  EXPECT_EQ(0, c->registerHover[5] + c->shortcutHover[0]);
  EXPECT_FALSE(Velkor_cycle_save(c.get())) << "a press while it runs stores nothing";

  c->animationTick = 1;
  c->clickFlag = 0;
  c->phaseFlag = 1;
  Velkor_cycle_continuous(c.get());
  EXPECT_EQ(0, c->fetchHighlighted);
  EXPECT_EQ(1, c->executeHighlighted);
  EXPECT_EQ(1, c->clickFlag);
}

TEST(Press, PointsOnOpenPopUps) {
  Layer c = NewLayer();
  struct Case {
    const char* name;
    float x, y;
    int open;  // pop-up opened for the case, -1 none
    uint8_t zoom;
    bool on;
  } cases[] = {{"nothing open", 200, -100, -1, 0, false},
               {"slot pop-up", 200, -100, kPopUpSlots, 0, true},
               {"beside the slot pop-up", 437, -100, kPopUpSlots, 0, false},
               {"instruction thumbnail", -240, 110, kPopUpInstructions, 0, true},
               {"outside the thumbnail, inside the full size", -240, 500 * 0.5f + 110,
                kPopUpInstructions, 0, false},
               {"full size instruction set", 170, 370, kPopUpInstructions, 1, true},
               {"register pop-up", 0, -200, kPopUpRegister, 0, true}};
  Velkor_PopUpPanel* panels[kPopUpCount] = {&c->PopUpPanel,     &c->InstruktionenPopUpPanel,
                                            &c->RAMPopUpPanel,  &c->MaschinencodePopUpPanel,
                                            &c->InfoPopUpPanel, &c->RegPopUpPanel};
  for (const Case& k : cases) {
    for (Velkor_PopUpPanel* p : panels) p->isOpen = 0;
    if (k.open >= 0) panels[k.open]->isOpen = 1;
    c->instructionSetZoom = k.zoom;
    EXPECT_EQ(k.on, Velkor_cycle_point_on_open_popup(c.get(), k.x, k.y)) << k.name;
  }
  // The machine-code pop-up is not drawn (nor pressed on) without an instruction.
  c->MaschinencodePopUpPanel.isOpen = 1;
  EXPECT_FALSE(Velkor_cycle_point_on_open_popup(c.get(), -600, -50));
}

// Who owns the frame's pointer, settled once: the topmost open pop-up under
// it (the one drawn last), inside it an open list alone, and a key step or
// the help's closing press keeps it from the main view.
TEST(PointerOwner, TopmostPopUpOpenListAndClassroom) {
  Layer c = NewLayer();
  Velkor_PopUpPanel* panels[kPopUpCount] = {&c->PopUpPanel,     &c->InstruktionenPopUpPanel,
                                            &c->RAMPopUpPanel,  &c->MaschinencodePopUpPanel,
                                            &c->InfoPopUpPanel, &c->RegPopUpPanel};
  struct Case {
    const char* name;
    float x, y;                // centred frame
    std::vector<int> open;     // pop-ups open
    Velkor_ComboBox* list;     // a list open, or null
    int owner;                 // expected topmost pop-up, -1 the main view
    std::vector<int> reached;  // pop-ups whose plain children are reached
  };
  const Case cases[] = {
      {"nothing open", 400, 0, {}, nullptr, -1, {0, 1, 2, 3, 4, 5}},
      {"slot and RAM pop-ups overlap: RAM is on top",
       400,
       0,
       {kPopUpSlots, kPopUpRam},
       nullptr,
       kPopUpRam,
       {2, 3, 4, 5}},
      {"slot pop-up only",
       200,
       0,
       {kPopUpSlots, kPopUpRam},
       nullptr,
       kPopUpSlots,
       {0, 1, 2, 3, 4, 5}},
      {"register pop-up with its list open",
       0,
       -200,
       {kPopUpRegister},
       &c->RegComboBox,
       kPopUpRegister,
       {}},
      {"an instruction list open",
       0,
       200,
       {kPopUpInstructions},
       &c->DRegComboBox,
       kPopUpInstructions,
       {2, 3, 4, 5}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    for (Velkor_PopUpPanel* p : panels) p->isOpen = 0;
    for (int p : k.open) panels[p]->isOpen = 1;
    c->instructionSetZoom = 1;
    c->RegComboBox.open = 0;
    c->DRegComboBox.open = 0;
    if (k.list != nullptr) k.list->open = 1;
    const PointerEvent pointer{0, k.x + kPanelCentreX, k.y + kPanelCentreY, 1, 1, 0, 0};
    const Velkor_PointerOwner o = Velkor_cycle_pointer_owner(c.get(), pointer);
    EXPECT_EQ(k.owner, o.popup);
    EXPECT_EQ(k.owner < 0, Velkor_cycle_pointer_reaches(o, kPointerMainView, nullptr));
    for (int p = 0; p < kPopUpCount; ++p) {
      const bool reached = std::find(k.reached.begin(), k.reached.end(), p) != k.reached.end();
      EXPECT_EQ(reached, Velkor_cycle_pointer_reaches(o, p, nullptr)) << "pop-up " << p;
    }
    if (k.list != nullptr) {
      // The open list alone is reached in its pop-up; another list is not.
      EXPECT_TRUE(Velkor_cycle_pointer_reaches(o, k.owner, k.list));
      EXPECT_FALSE(Velkor_cycle_pointer_reaches(o, k.owner, &c->SRegComboBox));
    }
    // The press on a pop-up is no click of the main view.
    c->pointerOwner = o;
    Velkor_cycle_take_press(c.get(), 1);
    EXPECT_EQ(k.owner < 0 ? 1 : 0, c->clickFlag);
  }
  // The help pop-up's closing press (or a key step) takes the frame: no
  // click, and the main view sees no pointer.
  for (Velkor_PopUpPanel* p : panels) p->isOpen = 0;
  c->pointerOwner = Velkor_cycle_pointer_owner(c.get(), PointerEvent{0, 100, 100, 1, 1, 0, 0});
  Velkor_cycle_take_press(c.get(), 1);
  ASSERT_EQ(1, c->clickFlag);
  Velkor_cycle_classroom_takes_frame(c.get());
  EXPECT_EQ(0, c->clickFlag);
  EXPECT_FALSE(Velkor_cycle_pointer_reaches(c->pointerOwner, kPointerMainView, nullptr));
}

// R3 (the constant generator) is offered nowhere; nor is a number outside
// the register file.
TEST(Registers, EveryRegisterButR3IsEditable) {
  for (int64_t r = -1; r <= kRegisterCount; ++r) {
    EXPECT_EQ(r >= 0 && r < kRegisterCount && r != 3, Velkor_register_editable(r)) << "R" << r;
  }
}

TEST(Selection, WordFlagOfOperationsWithoutAByteForm) {
  struct Case {
    uint32_t format, operation;
    uint8_t box, word;
  } cases[] = {{kFormatSingleOperand, kOpSWPB, 0, 1}, {kFormatSingleOperand, kOpSXT, 0, 1},
               {kFormatSingleOperand, kOpCALL, 0, 1}, {kFormatJump, kJumpMP, 0, 1},
               {kFormatEmulated, kOpRET, 0, 1},       {kFormatSingleOperand, kOpPUSH, 0, 0},
               {kFormatDoubleOperand, kOpMOV, 0, 0},  {kFormatDoubleOperand, kOpMOV, 1, 1},
               {kFormatEmulated, kOpINC, 0, 0}};
  for (const Case& k : cases) {
    SCOPED_TRACE(testing::Message() << k.format << "/" << k.operation << " box " << int{k.box});
    Layer c = NewLayer();
    c->instructionFormat = k.format;
    c->dualOperation = c->singleOperation = c->jumpOperation = c->emulatedOperation = k.operation;
    c->wordOperation = k.box;
    EXPECT_EQ(k.word, Velkor_cycle_effective_word(c.get()));
  }
}

// A number out of range is still a number: it is refused for its range, not
// for being no number.
TEST(Selection, TypedTextsThatReadAsNumbers) {
  for (const char* t :
       {"", "  ", "0", "0x280", "0X1a", "-32768", " 12 ", "010", "65535", "99999999999999999999"}) {
    EXPECT_TRUE(Velkor_cycle_text_is_number(t)) << '"' << t << '"';
  }
  for (const char* t : {"abc", "12xyz", "0x", "08", "1 2", "--1", "0x1G"}) {
    EXPECT_FALSE(Velkor_cycle_text_is_number(t)) << '"' << t << '"';
  }
  EXPECT_FALSE(Velkor_cycle_text_is_number(nullptr));
}

// Each case starts from Init SP (MOV #0x280,SP) and changes one thing. A
// selection that may not run is not stored by SAVE either; Format II's
// operation 7 runs (it moves PC on) but has no code to store.
TEST(Selection, RunnableOnlyInsideTheVocabularyAndWithValidOperands) {
  struct Case {
    const char* name;
    int32_t format, operation;  // -1: as Init SP
    uint32_t source_mode;
    const char* source;
    uint32_t destination_mode;
    const char* destination;
    float pc_offset;
    bool runnable;
    bool storable = runnable;
  } cases[] = {
      {"Init SP", -1, -1, kModeImmediate, "0x280", kModeRegister, "", 0, true},
      {"no instruction", kFormatNone, 0, kModeImmediate, "0x280", kModeRegister, "", 0, false},
      {"immediate not a number", -1, -1, kModeImmediate, "abc", kModeRegister, "", 0, false},
      {"immediate out of range", -1, -1, kModeImmediate, "70000", kModeRegister, "", 0, false},
      {"empty immediate is 0", -1, -1, kModeImmediate, "", kModeRegister, "", 0, true},
      {"register source ignores the box", -1, -1, kModeRegister, "abc", kModeRegister, "", 0, true},
      {"indexed destination not valid", -1, -1, kModeImmediate, "1", kModeIndexed, "zz", 0, false},
      {"destination mode beyond Absolute", -1, -1, kModeImmediate, "1", kModeIndirect, "", 0,
       false},
      {"PUSH has no destination", kFormatSingleOperand, kOpPUSH, kModeRegister, "", kModeIndexed,
       "zz", 0, true},
      {"Format II operation 7", kFormatSingleOperand, kOpSingleUnused, kModeRegister, "",
       kModeRegister, "", 0, true, false},
      {"jump offset 512", kFormatJump, kJumpMP, 0, "", 0, "", 512.0f, false},
      {"jump offset -512", kFormatJump, kJumpMP, 0, "", 0, "", -512.0f, true}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    Layer c = NewLayer();
    SelectInitSp(c.get());
    if (k.format >= 0) {
      c->instructionFormat = static_cast<uint32_t>(k.format);
      c->singleOperation = c->jumpOperation = static_cast<uint32_t>(k.operation);
    }
    c->sourceMode = k.source_mode;
    c->destinationMode = k.destination_mode;
    c->pcOffset = k.pc_offset;
    snprintf(c->sourceEditText, kTextCellSize, "%s", k.source);
    snprintf(c->destinationEditText, kTextCellSize, "%s", k.destination);
    Convert(c.get());
    EXPECT_EQ(k.runnable, Velkor_cycle_selection_runnable(c.get()));
    EXPECT_EQ(k.storable, Velkor_cycle_selection_storable(c.get()));
    c->romSelection[0] = 40;  // FFAE
    Velkor_cycle_assemble(c.get());
    c->clickFlag = 1;
    c->saveHighlighted = 1;
    if (k.storable) continue;
    EXPECT_FALSE(Velkor_cycle_save(c.get()));
    EXPECT_EQ(0xFFFF, RomWord(c.get(), 0xFFAE));
    EXPECT_EQ(0xFFFF, RomWord(c.get(), 0xFFB0));
  }
}

TEST(Execute, OperandAddressesComeFromThisFramesRegisters) {
  Layer c = NewLayer();
  // MOV R4,2(R5): the destination address follows R5 as it is now.
  c->instructionFormat = kFormatDoubleOperand;
  c->dualOperation = kOpMOV;
  c->sourceMode = kModeRegister;
  c->sourceRegister = 4;
  c->destinationMode = kModeIndexed;
  c->destinationRegister = 5;
  snprintf(c->destinationEditText, kTextCellSize, "2");
  Convert(c.get());
  snprintf(c->registers[4], kTextCellSize, "BEEF");
  snprintf(c->registers[5], kTextCellSize, "0200");
  Velkor_cycle_address_unit(c.get());  // a frame with the old R5
  snprintf(c->registers[5], kTextCellSize, "0210");
  Velkor_cycle_assemble(c.get());
  c->executeHighlighted = 1;
  c->clickFlag = 1;
  ASSERT_TRUE(Velkor_cycle_execute(c.get()));
  EXPECT_EQ(0xBEEF, RamWord(c.get(), 0x0212));
  EXPECT_EQ(0x0000, RamWord(c.get(), 0x0202));
}

TEST(Save, ASymbolicOperandDecodesBackToItsTargetFromTheRowItIsStoredAt) {
  struct Case {
    const char* name;
    uint32_t source_mode;
    uint32_t destination_mode;
  } cases[] = {{"symbolic source", kModeSymbolic, kModeRegister},
               {"symbolic destination", kModeRegister, kModeSymbolic},
               {"both symbolic", kModeSymbolic, kModeSymbolic}};
  for (const Case& k : cases) {
    Layer c = NewLayer();
    c->instructionFormat = kFormatDoubleOperand;
    c->dualOperation = kOpMOV;
    c->sourceMode = k.source_mode;
    c->sourceRegister = 6;
    snprintf(c->sourceEditText, kTextCellSize, "0x0210");
    c->destinationMode = k.destination_mode;
    c->destinationRegister = 7;
    snprintf(c->destinationEditText, kTextCellSize, "0x0230");
    Convert(c.get());
    Velkor_cycle_assemble(c.get());  // PC is FF80 here
    c->romSelection[0] = 30;         // FFC2, far from PC
    c->clickFlag = 1;
    c->saveHighlighted = 1;
    ASSERT_TRUE(Velkor_cycle_save(c.get())) << k.name;
    // Decode it where it was stored.
    snprintf(c->registers[0], kTextCellSize, "FFC2");
    c->saveHighlighted = 0;
    c->fetchHighlighted = 1;
    ASSERT_TRUE(Velkor_cycle_fetch(c.get()));
    EXPECT_EQ(0, c->decoderResetRequest) << k.name;
    EXPECT_EQ(k.source_mode, c->decodedSourceMode) << k.name;
    EXPECT_EQ(k.destination_mode, c->decodedDestinationMode) << k.name;
    if (k.source_mode == kModeSymbolic) {
      EXPECT_STREQ("0x0210", c->decodedSourceText) << k.name;
    }
    if (k.destination_mode == kModeSymbolic) {
      EXPECT_STREQ("0x0230", c->decodedDestinationText) << k.name;
    }
  }
}

TEST(AddressUnit, DestinationBaseCountsARealSourceExtensionWordOnly) {
  // MOV <source>,2(PC): the destination's PC base is PC+2 when the source
  // needs no extension word, PC+4 when it does.
  struct Case {
    const char* name;
    uint32_t source_mode;
    const char* source_text;
    const char* base;
  } cases[] = {
      {"register source", kModeRegister, "", "0xFF82"},
      {"indirect source", kModeIndirect, "", "0xFF82"},
      {"constant #1", kModeImmediate, "1", "0xFF82"},
      {"immediate #0x1234", kModeImmediate, "0x1234", "0xFF84"},
      {"indexed source", kModeIndexed, "4", "0xFF84"},
      // A refused immediate is no constant: it will take a word.
      {"immediate not a number", kModeImmediate, "abc", "0xFF84"},
      {"immediate out of range", kModeImmediate, "70000", "0xFF84"},
  };
  for (const Case& k : cases) {
    Layer c = NewLayer();
    c->instructionFormat = kFormatDoubleOperand;
    c->dualOperation = kOpMOV;
    c->sourceMode = k.source_mode;
    c->sourceRegister = 5;
    snprintf(c->sourceEditText, kTextCellSize, "%s", k.source_text);
    c->destinationMode = kModeIndexed;
    c->destinationRegister = 0;
    snprintf(c->destinationEditText, kTextCellSize, "2");
    Convert(c.get());
    Velkor_cycle_address_unit(c.get());
    EXPECT_EQ(k.source_mode != kModeRegister, c->showSourceAddress) << k.name;
    EXPECT_EQ(1, c->showDestinationAddress) << k.name;
    EXPECT_STREQ(k.base, c->destinationBaseText) << k.name;
    EXPECT_EQ(strcmp(k.base, "0xFF84") == 0 ? 1 : 0, c->destinationAfterSourceWord) << k.name;
  }
}

// What the assembler line, the words and the address unit show while an
// operand value is refused: "????" where the value would stand, the words
// of the values that are valid as they are. MOV src,dst at FF80, R5 = 0100.
TEST(AddressUnit, RefusedValuesAreMarkedNotShownAsNumbers) {
  struct Case {
    const char* name;
    uint32_t source_mode;
    const char* source;
    uint32_t destination_mode;
    const char* destination;
    const char* text;
    const char* word;
    const char* extension1;
    const char* extension2;
    const char* source_address;
    const char* destination_address;
  } cases[] = {
      {"valid: #0x1234,&0x0202", kModeImmediate, "0x1234", kModeAbsolute, "0x0202",
       "MOV  #0x1234,&0x0202", "40B2", "1234", "0202", "0xFF82", "0x0202"},
      {"immediate refused", kModeImmediate, "abc", kModeAbsolute, "0x0202", "MOV  #0x????,&0x0202",
       "????", "????", "0202", "0xFF82", "0x0202"},
      {"index refused", kModeIndexed, "12xyz", kModeAbsolute, "0x0202",
       "MOV  0x????"
       "(R5),&0x0202",
       "????", "????", "0202", "0x????", "0x0202"},
      {"absolute destination refused", kModeIndexed, "2", kModeAbsolute, "zz",
       "MOV  0x0002(R5),&0x????", "????", "0002", "????", "0x0102", "0x????"},
      {"both refused, the same stand-in in each", kModeAbsolute, "-", kModeSymbolic, "70000",
       "MOV  &0x????,0x????", "????", "????", "????", "0x????", "0x????"},
      {"a valid value equal to the stand-in is kept", kModeAbsolute, "0x1111", kModeAbsolute, "q",
       "MOV  &0x1111,&0x????", "????", "1111", "????", "0x1111", "0x????"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    Layer c = NewLayer();
    c->instructionFormat = kFormatDoubleOperand;
    c->dualOperation = kOpMOV;
    c->sourceMode = k.source_mode;
    c->sourceRegister = 5;
    c->destinationMode = k.destination_mode;
    snprintf(c->registers[5], kTextCellSize, "0100");
    snprintf(c->sourceEditText, kTextCellSize, "%s", k.source);
    snprintf(c->destinationEditText, kTextCellSize, "%s", k.destination);
    Convert(c.get());
    Velkor_cycle_assemble(c.get());
    EXPECT_STREQ(k.text, c->assemblerText);
    EXPECT_STREQ(k.word, c->machineWordText);
    EXPECT_STREQ(strcmp(k.word, "????") == 0 ? "????????????????" : "0100000010110010",
                 c->bitString);
    EXPECT_STREQ(k.extension1, c->extension1Text);
    EXPECT_STREQ(k.extension2, c->extension2Text);
    EXPECT_STREQ(k.source_address, c->sourceAddressText);
    EXPECT_STREQ(k.destination_address, c->destinationAddressText);
  }
  // Format II's operation 7 has no line and no code at all.
  Layer c = NewLayer();
  c->instructionFormat = kFormatSingleOperand;
  c->singleOperation = kOpSingleUnused;
  Velkor_cycle_assemble(c.get());
  EXPECT_STREQ("????", c->assemblerText);
  EXPECT_STREQ("????", c->machineWordText);
  EXPECT_STREQ("", c->extension1Text);
}

TEST(Reset, ADecoderResetRequestIsAnsweredOnce) {
  Layer c = NewLayer();
  c->resetRequest = 0;
  // A word below 0x1000 does not decode.
  const int row = (0xFFFE - 0xFFA0) / 2;
  snprintf(c->romRows[row].cells[kRowHighCell], kTextCellSize, "00");
  snprintf(c->romRows[row].cells[kRowLowCell], kTextCellSize, "00");
  snprintf(c->registers[0], kTextCellSize, "FFA0");
  c->fetchHighlighted = 1;
  c->clickFlag = 1;
  ASSERT_TRUE(Velkor_cycle_fetch(c.get()));
  EXPECT_EQ(1, c->decoderResetRequest);
  c->clickFlag = 0;
  EXPECT_TRUE(Velkor_cycle_reset(c.get()));
  EXPECT_STREQ("FF80", c->registers[0]) << "PC from the reset vector";
  // The student edits a register afterwards; the next frames must keep it.
  snprintf(c->registers[7], kTextCellSize, "1234");
  for (int frame = 0; frame < 3; ++frame) {
    EXPECT_FALSE(Velkor_cycle_reset(c.get())) << frame;
  }
  EXPECT_STREQ("1234", c->registers[7]);
}

TEST(Nmi, RunsOnItsRequestAndAButtonNotDrawnCannotRequest) {
  Layer c = NewLayer();
  snprintf(c->registers[1], kTextCellSize, "0280");
  c->nmiRequest = 1;
  EXPECT_FALSE(Velkor_cycle_nmi(c.get(), 0)) << "the button is not drawn";
  EXPECT_EQ(0, c->nmiRequest);
  EXPECT_STREQ("FF80", c->registers[0]);
  c->nmiRequest = 1;
  EXPECT_TRUE(Velkor_cycle_nmi(c.get(), 1));
  EXPECT_STREQ("FFD0", c->registers[0]) << "PC from the NMI vector";
  EXPECT_STREQ("027C", c->registers[1]) << "PC and SR pushed";
  EXPECT_EQ(0xFF80, RamWord(c.get(), 0x027E));
}

}  // namespace
