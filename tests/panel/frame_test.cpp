// The whole layer under real frames, off-screen, run as the host runs it:
// pointer records, predraw and three passes.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "panel/Velkor_symbology_layer.h"
#include "panel/Velkor_symbology_layer_cycle.h"
#include "tests/display/display_fixture.h"

namespace {

using velkor_test::DisplayTest;

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
  EXPECT_EQ(0, layer_->pointerHidden) << "the real pointer is given back each frame";
}

}  // namespace
