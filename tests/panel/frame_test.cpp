// The whole layer under real frames, off-screen, run as the host runs it:
// pointer records, predraw and three passes.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "display/Velkor_FrameShape.h"
#include "panel/Velkor_symbology_layer_cycle_internal.h"
#include "panel/Velkor_symbology_layer_internal.h"
#include "tests/display/display_fixture.h"

namespace {

using velkor_test::DisplayTest;
using velkor_test::Rgba;

// Display units of a point given in the centred panel frame.
constexpr float kCx = 640.0f;
constexpr float kCy = 384.0f;

class LayerFrameTest : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    if (HasFatalFailure()) return;
    layer_ = static_cast<Velkor_layer*>(Velkor_symbology_layer_alloc());
    ASSERT_NE(nullptr, layer_);
    Velkor_symbology_layer_init(layer_);
  }
  void TearDown() override {
    Velkor_symbology_layer_free(layer_);
    DisplayTest::TearDown();
  }

  static std::string Word(const MemoryRow& row) {
    return std::string(row.cells[kRowHighCell]) + row.cells[kRowLowCell];
  }
  void Run() {
    Frame([this] {
      Velkor_symbology_layer_predraw(layer_);
      for (uint32_t pass = 0; pass < 3; ++pass) Velkor_symbology_layer_draw(layer_, pass);
    });
  }
  void RunUntilIdle() {
    while (InputPending()) Run();
    Run();
  }
  // Moves onto a display point, lets one frame see it, then clicks there.
  void ClickAt(float x, float y) {
    MoveTo(x, y);
    Run();
    Press();
    Release();
    RunUntilIdle();
  }
  void ClickWidget(const char* name) {
    Velkor_DrawnRect r{};
    ASSERT_TRUE(Velkor_symbology_layer_find_widget(layer_, name, &r)) << name;
    ClickAt(r.x + r.width / 2.0f, r.y + r.height / 2.0f);
  }
  Velkor_DrawnRect Drawn(const char* name) {
    Velkor_DrawnRect r{};
    EXPECT_TRUE(Velkor_symbology_layer_find_widget(layer_, name, &r)) << name;
    return r;
  }
  // `words` stored from FF80 on, PC set there and fetched with a click on
  // FETCH/DECODE: the selectors show the first instruction.
  void FetchWords(std::initializer_list<uint16_t> words) {
    int32_t row = 63;  // FF80
    for (uint16_t w : words) {
      snprintf(layer_->romRows[row].cells[kRowHighCell], kTextCellSize, "%02X", w >> 8);
      snprintf(layer_->romRows[row].cells[kRowLowCell], kTextCellSize, "%02X", w & 0xFF);
      --row;
    }
    snprintf(layer_->registers[0], kTextCellSize, "FF80");
    ClickWidget("DisasmButton");
  }
  // Focuses an edit box with a click, erases its text, types `text` and
  // confirms it with Enter.
  void Retype(const char* box, const char* text) {
    const Velkor_DrawnRect r = Drawn(box);
    ClickAt(r.x + r.width - 4.0f, r.y + r.height / 2.0f);
    Type(KEY_END);
    for (int i = 0; i < 7; ++i) Type(KEY_BACKSPACE);
    for (const char* k = text; *k != '\0'; ++k) Type(static_cast<uint8_t>(*k));
    Type(KEY_ENTER);
    RunUntilIdle();
  }

  Velkor_layer* layer_ = nullptr;
};

TEST_F(LayerFrameTest, TheLastTableRowCanBeShownAndChosen) {
  Run();
  Velkor_DrawnRect rom{};
  ASSERT_TRUE(Velkor_symbology_layer_find_widget(layer_, "MemoryMultiColumn", &rom));
  MoveTo(rom.x + 30, rom.y + rom.height / 2);
  for (int i = 0; i < 70; ++i) Wheel(5);
  RunUntilIdle();
  // The view reaches row 63 (FF80).
  EXPECT_EQ(64, layer_->MemoryMultiColumn.firstRow + layer_->MemoryMultiColumn.visibleRows);
}

TEST_F(LayerFrameTest, TheRamPopUpEditsTheRowPressedToOpenIt) {
  Run();
  Velkor_DrawnRect ram{};
  ASSERT_TRUE(Velkor_symbology_layer_find_widget(layer_, "MemoryMultiColumn_1", &ram));
  // The high byte of the third visible row (below the header row).
  MoveTo(ram.x + 60 + 34, ram.y + ram.height - 22 * 3.5f);
  Run();
  const int32_t row = layer_->MemoryMultiColumn_1.hoveredRow;
  ASSERT_GT(row, 0) << "a row other than the first, so that a stale selection shows";
  Press();
  Run();
  EXPECT_EQ(1, layer_->RAMPopUpPanel.isOpen);
  EXPECT_EQ(row, layer_->ramEditRow) << "in the very frame of the press";
  Release();
  RunUntilIdle();
  EXPECT_EQ(row, layer_->ramSelection[0]) << "the table's selection follows";
  EXPECT_EQ(row, layer_->ramEditRow);
}

TEST_F(LayerFrameTest, FetchSaveExecuteNmiAndResetThroughTheirButtons) {
  snprintf(layer_->registers[5], kTextCellSize, "1234");
  Run();
  Run();
  EXPECT_STREQ("1234", layer_->registers[5]) << "the RESET request of init is not read";
  EXPECT_EQ(0u, glob_pr_sglStatemachine->errors.count);
  Velkor_DrawnRect fetch{};
  ASSERT_TRUE(Velkor_symbology_layer_find_widget(layer_, "DisasmButton", &fetch));
  MoveTo(fetch.x + fetch.width / 2, fetch.y + fetch.height / 2);
  Run();
  Press();
  Run();
  // FF80 holds MOV #0x0280,SP: the selectors show it in the frame of the click.
  EXPECT_EQ(uint32_t{kOpMOV}, layer_->dualOperation);
  EXPECT_EQ(0, layer_->InstructionFormatComboBox.selectedIndex);
  EXPECT_EQ(kModeImmediate, layer_->SRegAdrComboBox.selectedIndex);
  EXPECT_EQ(1, layer_->DRegComboBox.selectedIndex);
  EXPECT_STREQ(layer_->decodedSourceText, layer_->IndexAdrImmediateTextEditBox.text);
  Release();
  RunUntilIdle();
  // Choose the ROM row FFA0 (row 47) directly, as the table would.
  layer_->MemoryMultiColumn.loadRow = 47;
  layer_->MemoryMultiColumn.loadColumn = 0;
  layer_->MemoryMultiColumn.load = 1;
  Run();
  layer_->MemoryMultiColumn.load = 0;
  ASSERT_EQ(47, layer_->romSelection[0]);
  // A press that arrives on SAVE without a frame over it first stores nothing.
  Velkor_DrawnRect save{};
  ASSERT_TRUE(Velkor_symbology_layer_find_widget(layer_, "SaveButton", &save));
  MoveTo(10, 10);
  Run();
  MoveTo(save.x + save.width / 2, save.y + save.height / 2);
  Press();
  Run();
  Release();
  RunUntilIdle();
  EXPECT_STREQ("FF", layer_->romRows[47].cells[kRowHighCell]);
  // Resting on it first, then clicking, stores MOV #0x0280,SP there.
  ClickWidget("SaveButton");
  EXPECT_STREQ("40", layer_->romRows[47].cells[kRowHighCell]);
  EXPECT_STREQ("31", layer_->romRows[47].cells[kRowLowCell]);
  EXPECT_STREQ("02", layer_->romRows[46].cells[kRowHighCell]);
  EXPECT_STREQ("80", layer_->romRows[46].cells[kRowLowCell]);
  ClickWidget("ExecButton");
  ASSERT_STREQ("0280", layer_->registers[1]);
  EXPECT_STREQ("FF84", layer_->registers[0]);
  ClickWidget("NMIButton");
  EXPECT_STREQ("FFD0", layer_->registers[0]);
  EXPECT_STREQ("027C", layer_->registers[1]);
  EXPECT_EQ(0, layer_->phaseFlag);
  ClickWidget("ResetButton");
  EXPECT_STREQ("FF80", layer_->registers[0]);
  EXPECT_STREQ("0000", layer_->registers[1]);
  // Later frames leave a register edit alone.
  snprintf(layer_->registers[9], kTextCellSize, "00AA");
  Run();
  Run();
  EXPECT_STREQ("00AA", layer_->registers[9]);
}

TEST_F(LayerFrameTest, ContinuousExecutionAtFastSpeedAlternatesPhases) {
  Run();
  // "Fast" in the speed box.
  Velkor_DrawnRect box{};
  ASSERT_TRUE(Velkor_symbology_layer_find_widget(layer_, "SpeedRadioBox", &box));
  float x = 0, y = 0, w = 0, h = 0;
  ASSERT_TRUE(Velkor_RadioBox_itemCell(&layer_->SpeedRadioBox, kSpeedFast, &x, &y, &w, &h));
  ClickAt(box.x + x + w / 2, box.y + y + h / 2);
  ASSERT_EQ(uint32_t{kSpeedFast}, layer_->speed);
  ClickWidget("EnableExecToggleButton");
  ASSERT_EQ(1, layer_->continuousExecution);
  MoveTo(10, 10);  // the pointer away from every area
  // Each tick runs the step of the phase it finds, FETCH/DECODE first.
  std::string steps;
  for (int f = 0; f < 12; ++f) {
    const uint8_t before = layer_->phaseFlag;
    Run();
    if (layer_->phaseFlag != before) steps += layer_->fetchHighlighted ? 'F' : 'E';
  }
  EXPECT_EQ("FEFE", steps.substr(0, 4));
  EXPECT_STREQ("0280", layer_->registers[1]) << "MOV #0x0280,SP ran";
}

// The destination of MOV src,0x0200 fetched at FF80: its PC-relative base
// counts a source extension word only when the source has one, and the
// register label beside the base says the same ("(PC+2)" or "(PC+4)").
TEST_F(LayerFrameTest, TheDestinationsPcLabelFollowsItsBase) {
  const struct {
    const char* name;
    std::initializer_list<uint16_t> words;
    const char* base;
    uint8_t pc_plus_four;
  } rows[] = {
      {"MOV R5,0x0200: no source address", {0x4580, 0x027E}, "0xFF82", 0},
      {"MOV @R4,0x0200: a source without a word", {0x44A0, 0x027E}, "0xFF82", 0},
      {"MOV #4,0x0200: a constant", {0x42A0, 0x027E}, "0xFF82", 0},
      {"MOV #0x1234,0x0200: a source word first", {0x40B0, 0x1234, 0x027C}, "0xFF84", 1},
  };
  // The label stands right of the destination's base line, (2, -260) in the
  // centred frame.
  const int label_x = static_cast<int>(kCx) + 0;
  const int label_y = static_cast<int>(kCy) - 262;
  std::vector<uint32_t> label_pc2;
  Run();
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    FetchWords(r.words);
    MoveTo(10, 10);
    Run();
    ASSERT_EQ(1, layer_->showDestinationAddress);
    EXPECT_STREQ("0x0200", layer_->destinationAddressText);
    EXPECT_STREQ(r.base, layer_->destinationBaseText);
    EXPECT_EQ(r.pc_plus_four, layer_->destinationAfterSourceWord);
    const std::vector<uint32_t> label = velkor_test::PixelBlock(label_x, label_y, 56, 16);
    if (label_pc2.empty()) {
      label_pc2 = label;
      ASSERT_GT(velkor_test::CountCoveredPixels(label_x, label_y, 56, 16, 150), 20);
    } else if (r.pc_plus_four) {
      EXPECT_TRUE(label != label_pc2) << "reads (PC+4)";
    } else {
      EXPECT_TRUE(label == label_pc2) << "reads (PC+2)";
    }
  }
}

// A wheel notch only scrolls: over FETCH/DECODE, a register's value or a
// table's byte columns it fetches nothing and opens no pop-up, where a click
// at the same point does (so each point is known to be the right one).
TEST_F(LayerFrameTest, AWheelNotchOnlyScrolls) {
  Run();
  const Velkor_DrawnRect rom = Drawn("MemoryMultiColumn");
  const Velkor_DrawnRect ram = Drawn("MemoryMultiColumn_1");
  const Velkor_DrawnRect fetch = Drawn("DisasmButton");
  const Velkor_layer* c = layer_;
  const struct {
    const char* name;
    float x, y;
    bool (*happened)(const Velkor_layer*);
  } cases[] = {
      {"FETCH/DECODE", fetch.x + fetch.width / 2.0f, fetch.y + fetch.height / 2.0f,
       [](const Velkor_layer* l) { return l->instructionFormat != kFormatNone; }},
      {"R4's value", 466.5f, 768.0f - 717.5f,
       [](const Velkor_layer* l) { return l->RegPopUpPanel.isOpen != 0; }},
      {"ROM high byte", rom.x + 94.0f, rom.y + rom.height - 40.0f,
       [](const Velkor_layer* l) { return l->PopUpPanel.isOpen != 0; }},
      {"RAM low byte", ram.x + 160.0f, ram.y + rom.height - 40.0f,
       [](const Velkor_layer* l) { return l->RAMPopUpPanel.isOpen != 0; }},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.name);
    MoveTo(k.x, k.y);
    Run();
    for (uint32_t notch : {5u, 4u}) {
      Wheel(notch);
      RunUntilIdle();
      EXPECT_FALSE(k.happened(c)) << "after wheel button " << notch;
    }
    ClickAt(k.x, k.y);
    EXPECT_TRUE(k.happened(c)) << "after a click";
  }
  // The zoomed instruction pop-up's shortcut "Operation PUSH" likewise.
  ClickWidget("InstruktionenToggleButton");
  const Velkor_DrawnRect push = Drawn("ShotCut2Button");
  MoveTo(push.x + push.width / 2.0f, push.y + push.height / 2.0f);
  Run();
  Wheel(5);
  RunUntilIdle();
  EXPECT_EQ(uint32_t{kFormatDoubleOperand}, layer_->instructionFormat) << "after a wheel notch";
  ClickAt(push.x + push.width / 2.0f, push.y + push.height / 2.0f);
  EXPECT_EQ(uint32_t{kFormatSingleOperand}, layer_->instructionFormat) << "after a click";
  EXPECT_EQ(uint32_t{kOpPUSH}, layer_->singleOperation);
}

// FETCH/DECODE of a jump loads the slider; then every way of moving it moves
// the PC offset, the assembler text and the machine word, one step per key
// press or wheel notch, and nothing moves it back in the frames after.
TEST_F(LayerFrameTest, EveryWayOfMovingThePcOffsetSliderMovesTheOffset) {
  Run();
  ClickWidget("InstruktionenToggleButton");
  FetchWords({0x3C05});  // JMP +5
  ASSERT_EQ(5.0f, layer_->pcOffset);
  ASSERT_EQ(5.0f, layer_->Slider.value);
  const Velkor_DrawnRect slider = Drawn("Slider");
  const float y = slider.y + slider.height - 12.0f;  // on the track
  // A click on the track drags the thumb there: a quarter of the way from
  // the left end gives about -256.
  ClickAt(slider.x + slider.width / 4.0f, y);
  const float dragged = layer_->pcOffset;
  EXPECT_NEAR(-256.0f, dragged, 16.0f);
  enum Kind { kKey, kWheel };
  const struct {
    const char* name;
    Kind kind;
    uint32_t code;
    float step;
  } steps[] = {
      {"Right", kKey, KEY_RIGHT, 1},    {"Right again", kKey, KEY_RIGHT, 1},
      {"Left", kKey, KEY_LEFT, -1},     {"Up", kKey, KEY_UP, 1},
      {"Down", kKey, KEY_DOWN, -1},     {"wheel away", kWheel, 4, 1},
      {"wheel towards", kWheel, 5, -1}, {"wheel towards again", kWheel, 5, -1},
  };
  float expected = dragged;
  for (const auto& s : steps) {
    SCOPED_TRACE(s.name);
    if (s.kind == kKey) {
      Type(s.code);
    } else {
      Wheel(s.code);
    }
    RunUntilIdle();
    Run();
    expected += s.step;
    EXPECT_EQ(expected, layer_->pcOffset);
    EXPECT_EQ(expected, layer_->Slider.value);
    char text[32];
    snprintf(text, sizeof text, "JMP  %.0f", static_cast<double>(expected));
    EXPECT_STREQ(text, layer_->assemblerText);
    const long word = strtol(layer_->machineWordText, nullptr, 16);
    EXPECT_EQ(static_cast<long>(static_cast<int32_t>(expected) & 0x3FF), word & 0x3FF);
  }
}

// Format II's unused operation 7 (0x1380 .. 0x13BF) decodes, but its selector
// shows no operation, its code cannot be stored, and EXECUTE runs it as an
// instruction that does nothing but move PC on: a run never sticks on it.
TEST_F(LayerFrameTest, TheUnusedSingleOperandOperationStepsOver) {
  Run();
  ClickWidget("InstruktionenToggleButton");
  FetchWords({0x1380, 0x1234});
  ASSERT_EQ(uint32_t{kFormatSingleOperand}, layer_->instructionFormat);
  ASSERT_EQ(7u, layer_->singleOperation);
  EXPECT_EQ(-1, layer_->Single_OperationComboBox.selectedIndex);
  // The box shows no item: only its face, no label text (dark on white).
  const Velkor_DrawnRect box = Drawn("Single_OperationComboBox");
  EXPECT_EQ(0, velkor_test::CountPixelsNear(
                   static_cast<int>(box.x) + 6, static_cast<int>(box.y) + 8, 70,
                   static_cast<int>(box.height) - 16, velkor_test::TableColor(1013), 60));
  EXPECT_FALSE(Velkor_cycle_save(layer_)) << "nothing to store";
  ClickWidget("SaveButton");
  EXPECT_STREQ("13", layer_->romRows[63].cells[kRowHighCell]);
  EXPECT_STREQ("80", layer_->romRows[63].cells[kRowLowCell]);
  ClickWidget("ExecButton");
  EXPECT_STREQ("FF82", layer_->registers[0]);
  // Chosen again by hand, the box shows the operation and keeps it.
  ClickWidget("Single_OperationComboBox");
  ASSERT_EQ(1, layer_->Single_OperationComboBox.open);
  const Velkor_DrawnRect open = Drawn("Single_OperationComboBox");
  ClickAt(open.x + 30.0f, open.y - 22.0f * 2.5f);  // the third row: RRA
  EXPECT_EQ(uint32_t{kOpRRA}, layer_->singleOperation);
  EXPECT_EQ(int32_t{kOpRRA}, layer_->Single_OperationComboBox.selectedIndex);
}

// A typed operand that is not a number, or out of range, is never shown as
// some number: the assembler text marks the operand, the machine code reads
// "????", the address it would form too, the message says which of the two
// it is, and neither EXECUTE nor SAVE takes it.
TEST_F(LayerFrameTest, AnInvalidOperandIsMarkedAndNeitherRunsNorIsStored) {
  Run();
  ClickWidget("InstruktionenToggleButton");
  const struct {
    const char* name;
    bool destination;  // MOV R5,&dst fetched, else "Init SP" (MOV #src,SP)
    const char* typed;
    const char* assembler;
    const char* word;
    const char* extension;
    int message;  // 0 none, 1 not a number, 2 out of range
  } rows[] = {
      {"source not a number", false, "abc", "MOV  #0x????,SP", "????", "????", 1},
      {"source with trailing junk", false, "12xyz", "MOV  #0x????,SP", "????", "????", 1},
      {"source out of range", false, "70000", "MOV  #0x????,SP", "????", "????", 2},
      {"source valid", false, "0x1234", "MOV  #0x1234,SP", "4031", "1234", 0},
      {"destination not a number", true, "xyz", "MOV  R5,&0x????", "????", "????", 1},
      {"destination valid", true, "0x0202", "MOV  R5,&0x0202", "4582", "0202", 0},
  };
  std::vector<uint32_t> messages[3];
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    snprintf(layer_->registers[1], kTextCellSize, "0000");
    snprintf(layer_->registers[5], kTextCellSize, "5555");
    snprintf(layer_->ramRows[62].cells[kRowHighCell], kTextCellSize, "00");  // 0x0202
    snprintf(layer_->ramRows[62].cells[kRowLowCell], kTextCellSize, "00");
    if (r.destination) {
      FetchWords({0x4582, 0x0200});  // MOV R5,&0x0200
      Retype("IndexAdrImmediateTextEditBox_1", r.typed);
    } else {
      ClickWidget("ShotCut1Button");  // MOV #0x280,SP
      Retype("IndexAdrImmediateTextEditBox", r.typed);
    }
    MoveTo(10, 10);
    Run();
    EXPECT_STREQ(r.assembler, layer_->assemblerText);
    EXPECT_STREQ(r.word, layer_->machineWordText);
    EXPECT_STREQ(r.extension, layer_->extension1Text);
    const bool valid = r.message == 0;
    EXPECT_STREQ(valid ? "0100" : "????", std::string(layer_->bitString).substr(0, 4).c_str());
    if (r.destination) {
      EXPECT_STREQ(valid ? "0x0202" : "0x????", layer_->destinationAddressText);
    }
    // The message below the box (source or destination column).
    const Velkor_DrawnRect box =
        Drawn(r.destination ? "IndexAdrImmediateTextEditBox_1" : "IndexAdrImmediateTextEditBox");
    const int mx = static_cast<int>(box.x);
    const int my = static_cast<int>(box.y) - 40;
    const std::vector<uint32_t> message = velkor_test::PixelBlock(mx, my, 240, 36);
    if (r.message == 0) {
      EXPECT_EQ(0, velkor_test::CountPixelsNear(mx, my, 240, 36, velkor_test::TableColor(11), 60));
    } else {
      EXPECT_GT(velkor_test::CountPixelsNear(mx, my, 240, 36, velkor_test::TableColor(11), 60), 50);
      if (messages[r.message].empty()) messages[r.message] = message;
      // One wording per kind of refusal.
      if (!r.destination) {
        EXPECT_TRUE(messages[r.message] == message) << "the same wording";
      }
    }
    ClickWidget("ExecButton");
    ClickWidget("SaveButton");  // onto FF80, the row selected at start
    const std::string ram_0202 = Word(layer_->ramRows[62]);
    if (valid) {
      EXPECT_EQ(r.destination ? "5555" : "0000", ram_0202);
      EXPECT_STREQ(r.destination ? "5555" : "1234", layer_->registers[r.destination ? 5 : 1]);
      EXPECT_EQ(r.word, Word(layer_->romRows[63])) << "stored at FF80";
    } else {
      EXPECT_STREQ("0000", layer_->registers[1]) << "EXECUTE refused";
      EXPECT_EQ("0000", ram_0202) << "EXECUTE refused";
      EXPECT_EQ(r.destination ? "4582" : "4031", Word(layer_->romRows[63])) << "SAVE refused";
    }
  }
  EXPECT_TRUE(messages[1] != messages[2]) << "not a number and out of range read differently";
}

// The heading over the three shortcuts stands in every format, also while
// no instruction is chosen.
TEST_F(LayerFrameTest, TheShortcutHeadingStandsInEveryFormat) {
  MoveTo(10, 10);
  Run();
  Run();
  ClickWidget("InstruktionenToggleButton");
  MoveTo(10, 10);
  Run();
  // "Schnellauswahl ..." at (10, 100) of the pop-up, zoomed in at (-360, -133).
  const int x = static_cast<int>(kCx - 360.0f + 8.0f);
  const int y = static_cast<int>(kCy - 133.0f + 98.0f);
  const std::vector<uint32_t> none = velkor_test::PixelBlock(x, y, 300, 20);
  ASSERT_EQ(uint32_t{kFormatNone}, layer_->instructionFormat);
  EXPECT_GT(velkor_test::CountCoveredPixels(x, y, 300, 20, 150), 200);
  for (uint16_t word : {0x4031, 0x3C05, 0x1205}) {  // MOV, JMP, PUSH
    SCOPED_TRACE(word);
    FetchWords({word, 0x0280});
    MoveTo(10, 10);
    Run();
    EXPECT_TRUE(none == velkor_test::PixelBlock(x, y, 300, 20))
        << "the heading as without an instruction";
  }
}

// Every list opened in a pop-up shows whole: its lowest row, frame and
// scroll arrow lie inside the pop-up, which clips what it holds.
TEST_F(LayerFrameTest, AListOpenedInAPopUpShowsWhole) {
  const struct {
    const char* name;
    float open_x, open_y;  // the click that opens the pop-up
    const char* popup;
    const char* combo;
  } rows[] = {
      {"slot list", 922, 768 - 65, "PopUpPanel", "SlotComboBox"},
      {"register list", 466, 768 - 605, "RegPopUpPanel", "RegComboBox"},
      {"destination register list", 0, 0, "InstruktionenPopUpPanel", "DRegComboBox"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    if (r.open_x > 0) {
      ClickAt(r.open_x, r.open_y);
    } else {
      ClickWidget("InstruktionenToggleButton");
      ClickWidget("ShotCut1Button");
    }
    const Velkor_DrawnRect popup = Drawn(r.popup);
    ClickWidget(r.combo);
    const Velkor_ComboBox* combo = nullptr;
    for (const Velkor_ComboBox* b :
         {&layer_->SlotComboBox, &layer_->RegComboBox, &layer_->DRegComboBox}) {
      if (b->open) combo = b;
    }
    ASSERT_NE(nullptr, combo) << "the list is open";
    const Velkor_DrawnRect box = Drawn(r.combo);
    const float bottom = box.y - Velkor_ComboBox_listHeight(combo);
    EXPECT_GE(bottom, popup.y + 1.0f);
    // Its frame, in the yellow of the box's focus, runs along its lowest edge.
    int yellow = 0;
    for (int x = static_cast<int>(box.x) + 4; x < static_cast<int>(box.x + box.width) - 4; ++x) {
      for (int y = static_cast<int>(bottom) - 1; y < static_cast<int>(bottom) + 2; ++y) {
        const Rgba p = velkor_test::ReadPixel(x, y);
        yellow += (p.g > 100 && p.r - p.b > 100) ? 1 : 0;
      }
    }
    EXPECT_GT(yellow, box.width / 2) << "the list's lowest edge is drawn";
    ClickAt(10, 10);  // a press outside closes the pop-up and the list
  }
}

// The panel's frame styles: push buttons with round corners, the P2 switches
// and the "Word Operation" box round all over; other buttons keep the cut
// corners of the default. Read as the ground showing in a corner square.
TEST_F(LayerFrameTest, ButtonsSwitchesAndTheCheckButtonHaveTheirFrameStyles) {
  Run();
  ClickWidget("InstruktionenToggleButton");
  ClickWidget("ShotCut1Button");  // the check button shows for MOV
  MoveTo(10, 10);
  Run();
  // Pixels of the dark ground in the square of `side` at (x, y).
  auto ground = [](int x, int y, int side) {
    int n = 0;
    for (int j = y; j < y + side; ++j) {
      for (int i = x; i < x + side; ++i) {
        const Rgba p = velkor_test::ReadPixel(i, j);
        n += (p.r < 80 && p.g < 80 && p.b < 80) ? 1 : 0;
      }
    }
    return n;
  };
  const struct {
    const char* name;
    int dx, dy, side;  // the square from the widget's lower-left corner
    int least, most;   // ground pixels in it
  } rows[] = {
      // Round corners of radius 8 leave about 7 of the 64 (with the edge's
      // shading), cut ones about 21.
      {"ExecButton", 0, 0, 8, 2, 14},
      {"ResetButton", 0, 0, 8, 2, 14},
      {"ShotCut1Button", 0, 0, 8, 2, 14},
      {"SaveButton", 0, 0, 8, 2, 14},
      {"InstruktionenToggleButton", 0, 0, 8, 16, 30},
      // The 27 x 27 box of the check button, round: about 21 of a 6 x 6
      // corner; cut corners 3.
      {"CheckButton", 4, 3, 6, 15, 36},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    const Velkor_DrawnRect d = Drawn(r.name);
    const int n =
        ground(static_cast<int>(d.x + 0.5f) + r.dx, static_cast<int>(d.y + 0.5f) + r.dy, r.side);
    EXPECT_GE(n, r.least);
    EXPECT_LE(n, r.most);
  }
  // At 24 units on screen round ends and cut corners differ by a pixel or
  // so; how style 3 draws is the frame shape's own test.
  for (const Velkor_ToggleButton* t : {&layer_->ToggleButton, &layer_->ToggleButton_7}) {
    EXPECT_EQ(kVelkorCornerRoundEnds, t->frameStyle);
  }
}

TEST_F(LayerFrameTest, APressOnAnOpenPopUpDoesNotReachThePanelUnderIt) {
  Run();
  // Zoom the instruction set in: its pop-up now covers the NMI button's place.
  ClickWidget("InstruktionenToggleButton");
  ASSERT_EQ(1, layer_->instructionSetZoom);
  ASSERT_TRUE(Velkor_cycle_point_on_open_popup(layer_, -50, 0));
  snprintf(layer_->registers[6], kTextCellSize, "0066");
  // A press in the middle of it: none of the main view's hover flags see it.
  ClickAt(kCx - 50, kCy);
  EXPECT_EQ(0, layer_->clickFlag);
  EXPECT_EQ(0, layer_->executeHighlighted + layer_->fetchHighlighted + layer_->saveHighlighted);
  EXPECT_STREQ("0066", layer_->registers[6]);
  // The press was kept from the main view without touching the host's record.
  float x = 0.0f;
  float y = 0.0f;
  Velkor_locate(BHVR_ANY_DEVICE, &x, &y);
  EXPECT_EQ(1, BHVR_PointerReach()) << "every part after the frame reads the pointer whole";
  EXPECT_EQ(kCx - 50, x);
  EXPECT_EQ(kCy, y);
}

}  // namespace
