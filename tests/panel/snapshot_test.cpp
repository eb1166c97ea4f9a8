// The panel read from outside: the snapshot names what the record holds with
// the selectors' own words, the digest covers the state fields and nothing
// else, and the panel's check names the first broken rule of its state.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/mycode.h"
#include "panel/Velkor_symbology_layer.h"
#include "panel/Velkor_symbology_layer_internal.h"
#include "panel/Velkor_vocabulary.h"
#include "tests/panel/layer_fixture.h"

namespace {

Velkor_PanelSnapshot Shown(const Velkor_symbology_layer_context* c) {
  Velkor_PanelSnapshot s{};
  Velkor_symbology_layer_snapshot(c, &s);
  return s;
}

// The last word of each format's operation list, and values outside the
// lists as no text (a decoded word the selectors cannot show).
TEST(Snapshot, SelectionIsNamedWithTheSelectorsWords) {
  Layer c = NewLayer();
  const struct {
    uint32_t format, operation;
    const char* shown;
  } cases[] = {
      {0, 11, "Double Operand AND"}, {0, 8, "Double Operand BIC"},    {0, 9, "Double Operand BIS"},
      {1, 7, "Single Operand "},     {1, 6, "Single Operand RETI"},   {2, 7, "Jump JMP"},
      {3, 8, "Emulated TST"},        {4, 0, "---no instruction--- "}, {9, 0, " "}};
  for (const auto& k : cases) {
    c->instructionFormat = k.format;
    c->dualOperation = c->singleOperation = c->jumpOperation = c->emulatedOperation = k.operation;
    const Velkor_PanelSelection s = Shown(c.get()).selection;
    EXPECT_EQ(std::string(s.format) + " " + s.operation, k.shown);
  }
  c->sourceMode = 4;
  c->destinationMode = 3;
  c->sourceRegister = 1;
  c->destinationRegister = 16;
  c->speed = kSpeedMedium;
  c->sourceAddressRegister = 2;
  const Velkor_PanelSnapshot s = Shown(c.get());
  EXPECT_STREQ("Indirect register", s.selection.sourceMode);
  EXPECT_STREQ("Absolute", s.selection.destinationMode);
  EXPECT_STREQ("R1 (SP)", s.selection.sourceRegister);
  EXPECT_STREQ("", s.selection.destinationRegister);
  EXPECT_STREQ("Medium", s.speed);
  EXPECT_STREQ("R2 (SR)", s.sourceAddress.registerName);
}

// Each field of the snapshot follows its own field of the record: values
// set apart from their neighbours, so that two swapped show.
TEST(Snapshot, FieldsFollowTheRecord) {
  Layer c = NewLayer();
  c->statusFlags[kFlagN] = 1;
  c->p1Output[2] = 1;
  c->p2Input[6] = 1;
  c->romMarker.row = 5;
  c->ramMarkerOn = 1;
  c->romSelection[0] = 7;
  c->romSelection[1] = 2;
  c->ramSelection[0] = 9;
  c->RAMPopUpPanel.isOpen = 1;
  c->RegPopUpPanel.isOpen = 1;
  c->machineCodeZoom = 1;
  c->continuousExecution = 1;
  c->phaseFlag = 1;
  c->saveToSlot = 1;
  c->slot = 4;
  snprintf(c->slotMessage, sizeof c->slotMessage, "ROM gespeichert in slot5.csv.");
  snprintf(c->extension2Text, sizeof c->extension2Text, "1234");
  const Velkor_PanelSnapshot s = Shown(c.get());
  EXPECT_EQ((std::vector<int>{0, 1, 0, 0}),
            (std::vector<int>{s.flags[0], s.flags[1], s.flags[2], s.flags[3]}));
  EXPECT_EQ(1, s.segments[2] + s.segments[3] * 10 + s.segments[1] * 100);
  EXPECT_EQ(1, s.switches[6] + s.switches[7] * 10 + s.switches[5] * 100);
  EXPECT_EQ(5, s.romMarker.row);
  EXPECT_EQ(0, s.romMarker.on);
  EXPECT_EQ(1, s.ramMarker.on);
  EXPECT_EQ(7, s.romSelection.row);
  EXPECT_EQ(2, s.romSelection.column);
  EXPECT_EQ(9, s.ramSelection.row);
  EXPECT_EQ((std::vector<int>{0, 0, 1, 0, 0, 1}),
            (std::vector<int>{s.popups.slots, s.popups.instructions, s.popups.ram,
                              s.popups.machineCode, s.popups.info, s.popups.registers}));
  EXPECT_EQ(1, s.machineCodeZoom);
  EXPECT_EQ(0, s.instructionZoom);
  EXPECT_EQ(1, s.continuous);
  EXPECT_STREQ("EXECUTE", s.stateText);
  EXPECT_EQ(1, s.slotSaved);
  EXPECT_EQ(0, s.slotLoaded);
  EXPECT_EQ(4u, s.slot);
  EXPECT_STREQ("ROM gespeichert in slot5.csv.", s.message);
  EXPECT_STREQ("1234", s.machineCode[2]);
  EXPECT_STREQ("", s.machineCode[1]);
  // The demonstration program: FF80 on the last row, its first word 4031.
  EXPECT_STREQ("FF80", s.rom[63].address);
  EXPECT_EQ("4031", std::string(s.rom[63].high) + s.rom[63].low);
  EXPECT_STREQ("027E", s.ram[0].address);
  EXPECT_STREQ("FF80", s.registers[0]);
}

// The digest reads the state fields only: a widget's working field leaves
// it alone, any state field moves it.
TEST(Snapshot, DigestCoversTheStateFields) {
  Layer a = NewLayer();
  Layer b = NewLayer();
  EXPECT_EQ(Velkor_symbology_layer_state_digest(a.get()),
            Velkor_symbology_layer_state_digest(b.get()));
  b->ExecButton.hover = 1;
  b->frame = 99;
  EXPECT_EQ(Velkor_symbology_layer_state_digest(a.get()),
            Velkor_symbology_layer_state_digest(b.get()));
  b->ramSelection[1] = 2;  // the last state field
  EXPECT_NE(Velkor_symbology_layer_state_digest(a.get()),
            Velkor_symbology_layer_state_digest(b.get()));
}

// One broken rule per row, on a panel fresh from init (which keeps them all).
TEST(Snapshot, CheckNamesTheFirstBrokenRule) {
  const struct {
    const char* name;
    void (*breaks)(Velkor_symbology_layer_context*);
    const char* problem;
  } cases[] = {
      {"fresh", [](Velkor_symbology_layer_context*) {}, ""},
      {"text without end",
       [](Velkor_symbology_layer_context* c) {
         memset(c->assemblerText, 'x', sizeof c->assemblerText);
       },
       "text not terminated: \"\""},
      {"register of three digits",
       [](Velkor_symbology_layer_context* c) { snprintf(c->registers[5], 8, "FFF"); },
       "register not 4 hex: \"FFF\""},
      {"register in lower case",
       [](Velkor_symbology_layer_context* c) { snprintf(c->registers[15], 8, "ff80"); },
       "register not 4 hex: \"ff80\""},
      {"address of the last RAM row",
       [](Velkor_symbology_layer_context* c) { snprintf(c->ramRows[63].cells[0], 8, "20"); },
       "address not 4 hex: \"20\""},
      {"low byte",
       [](Velkor_symbology_layer_context* c) { snprintf(c->romRows[0].cells[2], 8, "F"); },
       "table cell not 2 hex: \"F\""},
      {"port", [](Velkor_symbology_layer_context* c) { snprintf(c->ports[4], 5, "0x0G"); },
       "port not 0x%02X: \"0x0G\""},
      {"slot 11", [](Velkor_symbology_layer_context* c) { c->slot = 10; },
       "slot = 10 out of range"},
      {"destination mode Indirect",
       [](Velkor_symbology_layer_context* c) { c->destinationMode = kDestinationModeCount; },
       "destinationMode = 4 out of range"},
      {"unused single operation decoded",
       [](Velkor_symbology_layer_context* c) { c->decodedSingleOperation = kOpSingleUnused; }, ""},
      {"RAM selection below the table",
       [](Velkor_symbology_layer_context* c) { c->ramSelection[0] = kTableLineCount + 1; },
       "ramSelection row = 66 out of range"},
  };
  for (const auto& k : cases) {
    Layer c = NewLayer();
    k.breaks(c.get());
    char problem[128] = "";
    const bool fine = Velkor_symbology_layer_check(c.get(), problem, sizeof problem);
    EXPECT_EQ(k.problem[0] == '\0', fine) << k.name;
    EXPECT_STREQ(k.problem, problem) << k.name;
  }
}

}  // namespace
