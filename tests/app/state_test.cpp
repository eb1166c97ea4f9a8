// The state file as JSON, from a layer context set up as init leaves it and
// then changed field by field: every field comes out where a reader looks
// for it, the selectors as their texts, panel texts as UTF-8.
#include "app/Velkor_state.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <nlohmann/json.hpp>

#include "tests/app/run_velkor.h"

namespace {

using nlohmann::json;

class StateFile : public ::testing::Test {
 protected:
  void SetUp() override {
    c_ = static_cast<Velkor_symbology_layer_context*>(Velkor_symbology_layer_alloc());
    ASSERT_NE(c_, nullptr);
    Velkor_symbology_layer_init(c_);
  }
  void TearDown() override { Velkor_symbology_layer_free(c_); }
  json State() { return json::parse(Velkor_StateJson(c_, 7)); }

  Velkor_symbology_layer_context* c_ = nullptr;
};

TEST_F(StateFile, AfterInit) {
  const json s = State();
  EXPECT_EQ(s["frame"], 7);
  ASSERT_EQ(s["registers"].size(), 16u);
  EXPECT_EQ(s["registers"][0], "FF80");
  EXPECT_EQ(s["registers"][15], "0000");
  ASSERT_EQ(s["register_frames"].size(), 16u);
  EXPECT_EQ(s["register_frames"][4], 6);
  EXPECT_EQ(s["flags"], json({{"V", 0}, {"N", 0}, {"Z", 0}, {"C", 0}}));
  EXPECT_EQ(s["state_text"], "FETCH/DECODE");
  EXPECT_EQ(s["continuous"], false);
  EXPECT_EQ(s["speed"], "Slow");
  ASSERT_EQ(s["rom"].size(), 64u);
  ASSERT_EQ(s["ram"].size(), 64u);
  EXPECT_EQ(s["rom"]["FF80"], "4031");
  EXPECT_EQ(s["rom"]["FF82"], "0280");
  EXPECT_EQ(s["rom"]["FFFE"], "FF80");
  EXPECT_EQ(s["rom"]["FFA0"], "FFFF");
  EXPECT_EQ(s["ram"]["0200"], "0000");
  EXPECT_EQ(s["ram"]["027E"], "0000");
  EXPECT_EQ(s["ports"], json({{"P1IN", "0x00"},
                              {"P1OUT", "0x00"},
                              {"P1DIR", "0x00"},
                              {"P2IN", "0x00"},
                              {"P2OUT", "0x00"},
                              {"P2DIR", "0x00"}}));
  EXPECT_EQ(s["segments"], json({0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(s["switches"], json({0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(s["rom_marker"], json({{"row", 63}, {"on", false}}));
  EXPECT_EQ(s["rom_selection"]["row"], 63);
  EXPECT_EQ(s["selection"]["format"], "---no instruction---");
  EXPECT_EQ(s["selection"]["operation"], "");
  EXPECT_EQ(s["selection"]["word"], true);
  EXPECT_EQ(s["machine_code"].size(), 3u);
  EXPECT_EQ(s["popups"].size(), 6u);
  EXPECT_EQ(s["zoom"], json({{"instructions", false}, {"machine_code", false}}));
  EXPECT_EQ(s["message"], "");
}

TEST_F(StateFile, SelectorsAsTheyShowThemselves) {
  const struct {
    uint32_t format, operation;
    const char* format_text;
    const char* operation_text;
  } cases[] = {
      {0, 0, "Double Operand", "MOV"},    {0, 11, "Double Operand", "AND"},
      {1, 4, "Single Operand", "PUSH"},   {1, 6, "Single Operand", "RETI"},
      {1, 7, "Single Operand", ""},  // outside the vocabulary: no text
      {2, 0, "Jump", "JNE / JNZ"},        {2, 7, "Jump", "JMP"},
      {3, 3, "Emulated", "POP"},          {3, 8, "Emulated", "TST"},
      {4, 0, "---no instruction---", ""}, {9, 0, "", ""},
  };
  for (const auto& k : cases) {
    c_->instructionFormat = k.format;
    c_->dualOperation = c_->singleOperation = c_->jumpOperation = c_->emulatedOperation =
        k.operation;
    const json s = State();
    EXPECT_EQ(s["selection"]["format"], k.format_text) << k.format << "/" << k.operation;
    EXPECT_EQ(s["selection"]["operation"], k.operation_text) << k.format << "/" << k.operation;
  }
  c_->sourceMode = 6;
  c_->sourceRegister = 1;
  c_->destinationMode = 3;
  c_->destinationRegister = 15;
  snprintf(c_->sourceEditText, kTextCellSize, "0x280");
  c_->pcOffset = -5.0f;
  c_->wordOperation = 0;
  const json s = State();
  EXPECT_EQ(s["selection"]["source_mode"], "Immediate");
  EXPECT_EQ(s["selection"]["source_register"], "R1 (SP)");
  EXPECT_EQ(s["selection"]["source_text"], "0x280");
  EXPECT_EQ(s["selection"]["destination_mode"], "Absolute");
  EXPECT_EQ(s["selection"]["destination_register"], "R15");
  EXPECT_EQ(s["selection"]["pc_offset"], -5.0);
  EXPECT_EQ(s["selection"]["word"], false);
}

TEST_F(StateFile, MachineFieldsFollowTheContext) {
  snprintf(c_->registers[2], kTextCellSize, "0107");
  c_->registerHighlight[2] = 11;
  c_->statusFlags[kFlagC] = 1;
  c_->statusFlags[kFlagV] = 1;
  c_->phaseFlag = 1;
  c_->continuousExecution = 1;
  c_->speed = 2;
  snprintf(c_->ramRows[63].cells[kRowHighCell], kTextCellSize, "AB");
  snprintf(c_->ramRows[63].cells[kRowLowCell], kTextCellSize, "CD");
  snprintf(c_->ports[1], kPortCellSize, "0x7F");
  snprintf(c_->ports[6], kPortCellSize, "0x0F");
  c_->p1Output[0] = 1;
  c_->p1Output[6] = 1;
  c_->p2Input[7] = 1;
  c_->ramMarker.row = 5;
  c_->ramMarkerOn = 1;
  snprintf(c_->assemblerText, kTextCellSize, "MOV  #0x0280,SP");
  snprintf(c_->machineWordText, kTextCellSize, "4031");
  snprintf(c_->extension1Text, kTextCellSize, "0280");
  c_->showSourceAddress = 1;
  snprintf(c_->sourceAddressText, kAddressTextSize, "0x0280");
  c_->sourceAddressRegister = 0;
  c_->RegPopUpPanel.isOpen = 1;
  c_->machineCodeZoom = 1;
  const json s = State();
  EXPECT_EQ(s["registers"][2], "0107");
  EXPECT_EQ(s["register_frames"][2], 11);
  EXPECT_EQ(s["flags"], json({{"V", 1}, {"N", 0}, {"Z", 0}, {"C", 1}}));
  EXPECT_EQ(s["state_text"], "EXECUTE");
  EXPECT_EQ(s["continuous"], true);
  EXPECT_EQ(s["speed"], "Fast");
  EXPECT_EQ(s["ram"]["0200"], "ABCD");
  EXPECT_EQ(s["ports"]["P1OUT"], "0x7F");
  EXPECT_EQ(s["ports"]["P2DIR"], "0x0F");
  EXPECT_EQ(s["segments"], json({1, 0, 0, 0, 0, 0, 1, 0}));
  EXPECT_EQ(s["switches"], json({0, 0, 0, 0, 0, 0, 0, 1}));
  EXPECT_EQ(s["ram_marker"], json({{"row", 5}, {"on", true}}));
  EXPECT_EQ(s["assembler_text"], "MOV  #0x0280,SP");
  EXPECT_EQ(s["machine_code"], json({"4031", "0280", ""}));
  EXPECT_EQ(s["address_unit"]["source"]["shown"], true);
  EXPECT_EQ(s["address_unit"]["source"]["address"], "0x0280");
  EXPECT_EQ(s["address_unit"]["source"]["register"], "R0 (PC)");
  EXPECT_EQ(s["address_unit"]["destination"]["shown"], false);
  EXPECT_EQ(s["popups"]["register"], true);
  EXPECT_EQ(s["popups"]["ram"], false);
  EXPECT_EQ(s["zoom"]["machine_code"], true);
}

// A cell that lost its terminator is cut at the cell's end instead of being
// read on into the next field.
TEST_F(StateFile, UnterminatedCellsStayInsideTheirCell) {
  memset(c_->ports[0], 'A', kPortCellSize);
  memset(c_->sourceAddressText, 'B', kAddressTextSize);
  c_->showSourceAddress = 1;
  const json s = State();
  EXPECT_EQ(s["ports"]["P1IN"], "AAAAA");
  EXPECT_EQ(s["address_unit"]["source"]["address"], "BBBBBBBBBB");
}

TEST(PanelText, ToUtf8) {
  const struct {
    const char* panel;
    const char* utf8;
  } cases[] = {
      {"plain", "plain"},
      {"Wert au\xdf"
       "erhalb",
       "Wert au\xc3\x9f"
       "erhalb"},
      {"\xe4\xf6\xfc\xc4", "\xc3\xa4\xc3\xb6\xc3\xbc\xc3\x84"},
      {"\x80 \x93", "\xe2\x82\xac \xe2\x80\x9c"},
      {"\x81", "\xef\xbf\xbd"},     // no character in the code page
      {"\\u20AC", "\xe2\x82\xac"},  // the six-byte escape
      {"a\\u00e4b",
       "a\xc3\xa4"
       "b"},
      {"\\u12", "\\u12"},      // too short: kept as typed
      {"\\uD800", "\\uD800"},  // a lone surrogate is no character
      {"\\x", "\\x"},
  };
  for (const auto& c : cases) EXPECT_EQ(Velkor_PanelTextToUtf8(c.panel), c.utf8) << c.panel;
}

TEST(PanelText, SlotMessageComesOutReadable) {
  auto* c = static_cast<Velkor_symbology_layer_context*>(Velkor_symbology_layer_alloc());
  ASSERT_NE(c, nullptr);
  Velkor_symbology_layer_init(c);
  snprintf(c->slotMessage, kSlotMessageSize, "Datei slot3.csv konnte nicht gelesen werden (\xe4)");
  const json s = json::parse(Velkor_StateJson(c, 1));
  EXPECT_EQ(s["message"], "Datei slot3.csv konnte nicht gelesen werden (\xc3\xa4)");
  Velkor_symbology_layer_free(c);
}

TEST(WriteTextFile, WholeOrNothing) {
  velkor_test::ScratchDir dir;
  EXPECT_TRUE(Velkor_WriteTextFile(dir / "a.json", "{}\n"));
  EXPECT_EQ(velkor_test::ReadFile(dir / "a.json"), "{}\n");
  EXPECT_TRUE(Velkor_WriteTextFile(dir / "a.json", "[1]\n"));
  EXPECT_EQ(velkor_test::ReadFile(dir / "a.json"), "[1]\n");
  EXPECT_FALSE(velkor_test::FileExists(dir / "a.json.tmp"));
  EXPECT_FALSE(Velkor_WriteTextFile(dir / "no/such/dir/a.json", "{}"));
}

}  // namespace
