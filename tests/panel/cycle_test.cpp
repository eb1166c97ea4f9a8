// The frame's conditions without a window: which core call runs when, from
// which flags, over a real layer context. The machine's truth comes from the
// core (InitMachine, Disassemble) and from the program's own words.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/mycode.h"
#include "panel/Velkor_symbology_layer.h"
#include "panel/Velkor_symbology_layer_cycle.h"
#include "widgets/interactivity_mapping.h"

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

uint16_t RomWord(const Velkor_layer* c, uint16_t address) {
  const int row = (0xFFFE - address) / 2;
  unsigned high = 0;
  unsigned low = 0;
  sscanf(c->romRows[row].cells[kRowHighCell], "%x", &high);
  sscanf(c->romRows[row].cells[kRowLowCell], "%x", &low);
  return static_cast<uint16_t>(high << 8 | low);
}

uint16_t RamWord(const Velkor_layer* c, uint16_t address) {
  const int row = (0x027E - address) / 2;
  unsigned high = 0;
  unsigned low = 0;
  sscanf(c->ramRows[row].cells[kRowHighCell], "%x", &high);
  sscanf(c->ramRows[row].cells[kRowLowCell], "%x", &low);
  return static_cast<uint16_t>(high << 8 | low);
}

// What the instruction pop-up does with the typed operand texts each frame.
void Convert(Velkor_layer* c) {
  HexConv(c->sourceEditText, c->sourceOperandText, nullptr, &c->sourceValid);
  HexConv(c->destinationEditText, c->destinationOperandText, nullptr, &c->destinationValid);
}

// What a FETCH/DECODE click makes the selectors take (the forced values).
void LoadDecoded(Velkor_layer* c) {
  c->instructionFormat = c->decodedFormat;
  c->dualOperation = c->decodedDualOperation;
  c->singleOperation = c->decodedSingleOperation;
  c->jumpOperation = c->decodedJumpOperation;
  c->emulatedOperation = c->decodedEmulatedOperation;
  c->sourceMode = c->decodedSourceMode;
  c->sourceRegister = c->decodedSourceRegister;
  c->destinationMode = c->decodedDestinationMode;
  c->destinationRegister = c->decodedDestinationRegister;
  c->pcOffset = c->decodedPcOffset;
  c->wordOperation = c->decodedWordFlag;
  snprintf(c->sourceEditText, kTextCellSize, "%s", c->decodedSourceText);
  snprintf(c->destinationEditText, kTextCellSize, "%s", c->decodedDestinationText);
  Convert(c);
}

// One click on FETCH/DECODE, then one on EXECUTE, through the conditions.
void FetchAndExecute(Velkor_layer* c) {
  c->clickFlag = 1;
  c->fetchHighlighted = 1;
  ASSERT_TRUE(Velkor_cycle_fetch(c));
  c->fetchHighlighted = 0;
  LoadDecoded(c);
  c->executeHighlighted = 1;
  Velkor_cycle_assemble(c);
  ASSERT_TRUE(Velkor_cycle_execute(c));
  c->executeHighlighted = 0;
  c->clickFlag = 0;
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

// ---- Initial state ---------------------------------------------------------------

TEST(LayerInit, StateFieldsStartAsTheyShould) {
  Layer c = NewLayer();
  EXPECT_STREQ("FF80", c->registers[0]);
  for (int r = 1; r < kRegisterCount; ++r) EXPECT_STREQ("0000", c->registers[r]) << r;
  for (int r = 0; r < kRegisterCount; ++r) EXPECT_EQ(6, c->registerHighlight[r]) << r;
  EXPECT_EQ(uint32_t{kFormatNone}, c->instructionFormat);
  EXPECT_EQ(63, c->romSelection[0]);
  EXPECT_EQ(0, c->romSelection[1]);
  EXPECT_EQ(63u, c->romMarker.row);
  EXPECT_EQ(0, c->romMarkerOn);
  EXPECT_EQ(0u, c->ramMarker.row);
  EXPECT_EQ(3u, c->ramMarker.column);
  EXPECT_EQ(1, c->resetRequest);
  EXPECT_EQ(1, c->wordOperation);
  EXPECT_EQ(0, c->phaseFlag);
  EXPECT_STREQ("0xDDDD", c->destinationAddressText);
  EXPECT_STREQ("0xDDDD", c->destinationIndexText);
  EXPECT_STREQ("0xDDDD", c->destinationBaseText);
  EXPECT_STREQ("", c->sourceAddressText);
  for (int p = 0; p < kPortCellCount; ++p) EXPECT_STREQ("0x00", c->ports[p]) << p;
}

TEST(LayerInit, MemoryRowsMatchTheCoresStartingMachine) {
  Layer c = NewLayer();
  std::unique_ptr<MachineState> m(new MachineState);
  InitMachine(m.get());
  for (int r = 0; r < kMemoryRowCount; ++r) {
    for (int k = 0; k < 3; ++k) {
      EXPECT_STREQ(m->rom[r].cells[k], c->romRows[r].cells[k]) << "ROM row " << r << " cell " << k;
      EXPECT_STREQ(m->ram[r].cells[k], c->ramRows[r].cells[k]) << "RAM row " << r << " cell " << k;
    }
    for (int k = 3; k < kMemoryRowCells; ++k) EXPECT_STREQ("Cell", c->romRows[r].cells[k]);
  }
  EXPECT_EQ(0x4031, RomWord(c.get(), 0xFF80));
  EXPECT_EQ(0xFF80, RomWord(c.get(), 0xFFFE));
  EXPECT_EQ(0xFFD0, RomWord(c.get(), 0xFFFC));
  EXPECT_EQ(0xFFFF, RomWord(c.get(), 0xFFA0));
}

TEST(LayerInit, PredrawClearsOnlyTheRegisterEditText) {
  Layer c = NewLayer();
  snprintf(c->registerEditText, kTextCellSize, "0x12");
  snprintf(c->ramEditText, kTextCellSize, "0x34");
  Velkor_symbology_layer_predraw(c.get());
  EXPECT_STREQ("", c->registerEditText);
  EXPECT_STREQ("0x34", c->ramEditText);
}

// ---- Widget instances and their lookup -------------------------------------------

TEST(LayerWidgets, InstancesStandInTheirOrderAfterTheStateFields) {
  const std::vector<std::string> expected = {"ExecutionAnimation",
                                             "ToggleButton",
                                             "ToggleButton_1",
                                             "ToggleButton_2",
                                             "ToggleButton_3",
                                             "ToggleButton_4",
                                             "ToggleButton_5",
                                             "ToggleButton_6",
                                             "ToggleButton_7",
                                             "RegisterScrollPanel",
                                             "ExecButton",
                                             "DisasmButton",
                                             "SpeedRadioBox",
                                             "Gauge",
                                             "MemoryMultiColumn",
                                             "PopUpPanel",
                                             "ROMSaveButton",
                                             "ROMLoadButton",
                                             "SlotComboBox",
                                             "InstruktionenPopUpPanel",
                                             "InstructionFormatComboBox",
                                             "DualOperationComboBox",
                                             "Single_OperationComboBox",
                                             "Jump_OperationComboBox",
                                             "Slider",
                                             "Emulated_OperationComboBox",
                                             "SRegAdrComboBox",
                                             "SRegComboBox",
                                             "IndexAdrImmediateTextEditBox",
                                             "DRegAdrComboBox",
                                             "DRegComboBox",
                                             "IndexAdrImmediateTextEditBox_1",
                                             "ShotCut1Button",
                                             "ShotCut2Button",
                                             "ShotCut3Button",
                                             "CheckButton",
                                             "MemoryMultiColumn_1",
                                             "RAMPopUpPanel",
                                             "RAMPushButton",
                                             "RAMTextEditBox",
                                             "SaveButton",
                                             "MaschinencodeToggleButton",
                                             "MaschinencodePopUpPanel",
                                             "InstruktionenToggleButton",
                                             "EnableExecToggleButton",
                                             "ResetButton",
                                             "NMIButton",
                                             "InfoPopUpPanel",
                                             "RegPopUpPanel",
                                             "RegPushButton",
                                             "RegTextEditBox",
                                             "RegComboBox"};
  ASSERT_EQ(static_cast<int32_t>(expected.size()), Velkor_symbology_layer_widget_count());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(expected[i], Velkor_symbology_layer_widget_name(static_cast<int32_t>(i)));
  }
  EXPECT_EQ(nullptr, Velkor_symbology_layer_widget_name(-1));
  EXPECT_EQ(nullptr, Velkor_symbology_layer_widget_name(52));
  // The last state field comes before the first instance, the last instance
  // before the working fields.
  EXPECT_LT(offsetof(Velkor_layer, ramSelection), offsetof(Velkor_layer, ExecutionAnimation));
  EXPECT_LT(offsetof(Velkor_layer, RegComboBox), offsetof(Velkor_layer, ramEditRow));
}

TEST(LayerWidgets, LookupGivesTheDrawnRectOfTheNamedInstanceOnly) {
  Layer c = NewLayer();
  Velkor_DrawnRect r = {1, 2, 3, 4};
  EXPECT_FALSE(Velkor_symbology_layer_find_widget(c.get(), "ExecButton", &r)) << "not drawn yet";
  EXPECT_EQ(1.0f, r.x) << "left untouched";
  c->ExecButton.drawnRect = {27.5f, 551.0f, 150.0f, 46.0f};
  c->RegTextEditBox.drawnRect = {400.0f, 100.0f, 80.0f, 30.0f};
  ASSERT_TRUE(Velkor_symbology_layer_find_widget(c.get(), "ExecButton", &r));
  EXPECT_EQ(27.5f, r.x);
  EXPECT_EQ(551.0f, r.y);
  ASSERT_TRUE(Velkor_symbology_layer_find_widget(c.get(), "RegTextEditBox", &r));
  EXPECT_EQ(400.0f, r.x);
  EXPECT_FALSE(Velkor_symbology_layer_find_widget(c.get(), "ExecButto", &r));
  EXPECT_FALSE(Velkor_symbology_layer_find_widget(c.get(), "ExecutionAnimation", &r));
  EXPECT_FALSE(Velkor_symbology_layer_find_widget(c.get(), nullptr, &r));
  Velkor_symbology_layer_predraw(c.get());
  EXPECT_FALSE(Velkor_symbology_layer_find_widget(c.get(), "ExecButton", &r))
      << "predraw forgets where it was drawn";
}

// ---- Continuous execution -----------------------------------------------------------

TEST(Continuous, PeriodOfEachSpeed) {
  struct Case {
    uint32_t speed;
    int32_t period;
  } cases[] = {{0, 3000}, {1, 600}, {2, 70}, {3, 70}, {0xFFFFFFFF, 70}};
  for (const Case& k : cases) {
    EXPECT_EQ(k.period, Velkor_cycle_animation_period(k.speed)) << k.speed;
  }
}

// Runs the frame's steps 1, 2, 8 and 10 with no pointer for `frames` frames
// and records in which frames a step was forced, and which.
std::string RunContinuous(Velkor_layer* c, int frames, bool switch_on_first) {
  std::string trace;
  for (int f = 0; f < frames; ++f) {
    BHVR_SetAsynchronousACK();  // as the host opens a frame
    Velkor_cycle_take_press(c, 0);
    Velkor_Animation* a = &c->ExecutionAnimation;
    a->duration = Velkor_cycle_animation_period(c->speed);
    a->mode = 1;
    a->profile = ANIMATION_LINEAR;
    a->play = Velkor_cycle_animation_play(c);
    Velkor_Animation_predraw(a);
    Velkor_Animation_draw(a, 0);
    Velkor_cycle_take_animation(c, a->done, a->value);
    Velkor_cycle_continuous(c);
    char step = '.';
    if (c->clickFlag && c->fetchHighlighted) step = 'F';
    if (c->clickFlag && c->executeHighlighted) step = 'E';
    if (c->clickFlag && !c->fetchHighlighted && !c->executeHighlighted) step = '?';
    trace += step;
    Velkor_cycle_advance_phase(c);
    // Step 19 of the frame: the toggle's outputs (switched on in frame 0).
    c->continuousExecution = 1;
    c->continuousStart = (switch_on_first && f == 0) ? 1 : 0;
    BHVR_Step();
  }
  return trace;
}

TEST(Continuous, EachSpeedStepsOncePerPeriodAndAlternatesPhases) {
  struct Case {
    uint32_t speed;
    int frames_per_step;  // the restart frame, then period / 33 whole frames
  } cases[] = {{0, 91}, {1, 19}, {2, 3}};
  for (const Case& k : cases) {
    Layer c = NewLayer();
    c->speed = k.speed;
    const int steps = 4;
    const std::string trace = RunContinuous(c.get(), 1 + k.frames_per_step * steps, true);
    // Frame 0 switches it on; nothing steps at once, the first FETCH comes
    // one whole period later, then EXECUTE, FETCH, EXECUTE.
    std::string expected(1, '.');
    const char order[] = {'F', 'E', 'F', 'E'};
    for (int s = 0; s < steps; ++s) {
      expected += std::string(k.frames_per_step - 1, '.') + order[s];
    }
    EXPECT_EQ(expected, trace) << "speed " << k.speed;
  }
}

TEST(Continuous, OnlyThePhasesButtonIsHoveredAndOnlyOnATick) {
  Layer c = NewLayer();
  c->continuousExecution = 1;
  c->saveHighlighted = 1;
  c->romByteHover = 1;
  c->romAddressHover = 1;
  c->ramByteHover = 1;
  c->ramAddressHover = 1;
  c->registerHover[5] = 1;
  c->shortcutHover[0] = 1;
  c->executeHighlighted = 1;
  c->phaseFlag = 0;
  c->animationTick = 0;
  Velkor_cycle_take_press(c.get(), 1);  // a real press while it runs
  Velkor_cycle_continuous(c.get());
  EXPECT_EQ(0, c->fetchHighlighted);
  EXPECT_EQ(0, c->executeHighlighted);
  EXPECT_EQ(0, c->saveHighlighted);
  EXPECT_EQ(0, c->romByteHover + c->romAddressHover + c->ramByteHover + c->ramAddressHover);
  EXPECT_EQ(0, c->registerHover[5]);
  EXPECT_EQ(0, c->shortcutHover[0]);
  // Nothing that a press could do: no pop-up is applied, no SAVE.
  Velkor_PopUpRequest r[kPopUpCount];
  Velkor_cycle_popup_requests(c.get(), r);
  EXPECT_EQ(0, r[kPopUpSlots].apply);
  EXPECT_EQ(0, r[kPopUpRam].apply);
  EXPECT_EQ(0, r[kPopUpRegister].apply);
  EXPECT_FALSE(Velkor_cycle_save(c.get()));

  c->animationTick = 1;
  c->clickFlag = 0;
  c->phaseFlag = 1;
  Velkor_cycle_continuous(c.get());
  EXPECT_EQ(0, c->fetchHighlighted);
  EXPECT_EQ(1, c->executeHighlighted);
  EXPECT_EQ(1, c->clickFlag);
}

TEST(Continuous, SwitchedOffItKeepsTheHoverFlagsOfThePointer) {
  Layer c = NewLayer();
  c->continuousExecution = 0;
  c->animationTick = 1;
  c->saveHighlighted = 1;
  c->fetchHighlighted = 1;
  Velkor_cycle_take_press(c.get(), 0);
  Velkor_cycle_continuous(c.get());
  EXPECT_EQ(1, c->saveHighlighted);
  EXPECT_EQ(1, c->fetchHighlighted);
  EXPECT_EQ(0, c->clickFlag);
}

TEST(Continuous, TheToggleStartsAndStopsOnlyWhileItIsDrawn) {
  Layer c = NewLayer();
  Velkor_cycle_run_controls(c.get(), 1, 1, 1);
  EXPECT_EQ(1, c->continuousExecution);
  EXPECT_EQ(1, c->continuousStart);
  EXPECT_EQ(1, Velkor_cycle_animation_play(c.get()));
  // Zoomed in the next frame: still running, but the start event is gone,
  // so the animation is not restarted in every frame.
  Velkor_cycle_run_controls(c.get(), 0, 1, 1);
  EXPECT_EQ(1, c->continuousExecution);
  EXPECT_EQ(0, c->continuousStart);
  EXPECT_EQ(0, Velkor_cycle_animation_play(c.get()));
  Velkor_cycle_run_controls(c.get(), 0, 0, 0);
  EXPECT_EQ(1, c->continuousExecution) << "a toggle not drawn cannot stop it";
  Velkor_cycle_run_controls(c.get(), 1, 0, 1);
  EXPECT_EQ(0, c->continuousExecution);
  EXPECT_EQ(0, Velkor_cycle_animation_play(c.get()));
}

TEST(Phase, StateTextNamesTheNextStep) {
  Layer c = NewLayer();
  EXPECT_STREQ("FETCH/DECODE", Velkor_symbology_layer_state_text(c.get()));
  c->phaseFlag = 1;
  EXPECT_STREQ("EXECUTE", Velkor_symbology_layer_state_text(c.get()));
}

TEST(Phase, AdvanceRules) {
  struct Case {
    const char* name;
    uint8_t continuous, tick, nmi, phase_before, phase_after;
  } cases[] = {
      {"single step keeps the phase", 0, 0, 0, 1, 1},
      {"a tick without continuous execution", 0, 1, 0, 0, 0},
      {"tick flips FETCH to EXECUTE", 1, 1, 0, 0, 1},
      {"tick flips EXECUTE to FETCH", 1, 1, 0, 1, 0},
      {"running without a tick", 1, 0, 0, 1, 1},
      {"NMI sets FETCH", 0, 0, 1, 1, 0},
      {"NMI on a tick sets FETCH instead of flipping", 1, 1, 1, 0, 0},
  };
  for (const Case& k : cases) {
    Layer c = NewLayer();
    c->continuousExecution = k.continuous;
    c->animationTick = k.tick;
    c->nmiRequest = k.nmi;
    c->phaseFlag = k.phase_before;
    Velkor_cycle_advance_phase(c.get());
    EXPECT_EQ(k.phase_after, c->phaseFlag) << k.name;
  }
}

// ---- Pointer and press --------------------------------------------------------

TEST(Press, APressOnAnOpenPopUpDoesNotReachThePanel) {
  Layer c = NewLayer();
  c->pressOnPopUp = 1;
  Velkor_cycle_take_press(c.get(), 1);
  EXPECT_EQ(0, c->clickFlag);
  c->pressOnPopUp = 0;
  Velkor_cycle_take_press(c.get(), 1);
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
  } cases[] = {
      {"nothing open", 200, -100, -1, 0, false},
      {"slot pop-up", 200, -100, kPopUpSlots, 0, true},
      {"beside the slot pop-up", 437, -100, kPopUpSlots, 0, false},
      {"instruction thumbnail", -240, 110, kPopUpInstructions, 0, true},
      {"outside the thumbnail, inside the full size", -240, 500 * 0.5f + 110, kPopUpInstructions, 0,
       false},
      {"full size instruction set", 170, 370, kPopUpInstructions, 1, true},
      {"register pop-up", 0, -200, kPopUpRegister, 0, true},
  };
  Velkor_PopUpPanel* panels[kPopUpCount] = {&c->PopUpPanel,     &c->InstruktionenPopUpPanel,
                                            &c->RAMPopUpPanel,  &c->MaschinencodePopUpPanel,
                                            &c->InfoPopUpPanel, &c->RegPopUpPanel};
  for (const Case& k : cases) {
    for (Velkor_PopUpPanel* p : panels) p->isOpen = 0;
    if (k.open >= 0) panels[k.open]->isOpen = 1;
    c->instructionSetZoom = k.zoom;
    EXPECT_EQ(k.on, Velkor_cycle_point_on_open_popup(c.get(), k.x, k.y)) << k.name;
  }
  // The machine-code pop-up is not drawn without an instruction.
  for (Velkor_PopUpPanel* p : panels) p->isOpen = 0;
  c->MaschinencodePopUpPanel.isOpen = 1;
  c->instructionSetZoom = 0;
  c->instructionFormat = kFormatNone;
  EXPECT_FALSE(Velkor_cycle_point_on_open_popup(c.get(), -600, -50));
  c->instructionFormat = kFormatJump;
  EXPECT_TRUE(Velkor_cycle_point_on_open_popup(c.get(), -600, -50));
}

// ---- Pop-up requests ----------------------------------------------------------

TEST(PopUps, OpenAndApplyOfEachPopUp) {
  Layer c = NewLayer();
  Velkor_PopUpRequest r[kPopUpCount];
  Velkor_cycle_popup_requests(c.get(), r);
  EXPECT_EQ(0, r[kPopUpSlots].apply);
  EXPECT_EQ(1, r[kPopUpInstructions].open);
  EXPECT_EQ(1, r[kPopUpInstructions].apply);
  EXPECT_EQ(0, r[kPopUpMachineCode].drawn) << "no instruction selected";
  EXPECT_EQ(0, r[kPopUpInfo].open);
  EXPECT_EQ(1, r[kPopUpInfo].apply);
  EXPECT_EQ(1, r[kPopUpRegister].open);
  EXPECT_EQ(0, r[kPopUpRegister].apply);

  struct Case {
    const char* name;
    void (*set)(Velkor_layer*);
    int popup;
    uint8_t open, apply;
  } cases[] = {
      {"click on the ROM bytes", [](Velkor_layer* l) { l->romByteHover = 1; }, kPopUpSlots, 1, 1},
      {"click on the RAM bytes", [](Velkor_layer* l) { l->ramByteHover = 1; }, kPopUpRam, 1, 1},
      {"click on R5", [](Velkor_layer* l) { l->registerHover[5] = 1; }, kPopUpRegister, 1, 1},
      {"click on R3 opens nothing", [](Velkor_layer* l) { l->registerHover[3] = 1; },
       kPopUpRegister, 1, 0},
      {"SAVE to Register asks to close",
       [](Velkor_layer* l) {
         l->saveToRegister = 1;
         l->registerHover[0] = 1;
       },
       kPopUpRegister, 0, 1},
      {"pointer on the version line", [](Velkor_layer* l) { l->infoHover = 1; }, kPopUpInfo, 1, 1},
  };
  for (const Case& k : cases) {
    Layer l = NewLayer();
    k.set(l.get());
    l->clickFlag = 1;
    Velkor_cycle_popup_requests(l.get(), r);
    EXPECT_EQ(k.open, r[k.popup].open) << k.name;
    EXPECT_EQ(k.apply, r[k.popup].apply) << k.name;
    l->clickFlag = 0;
    Velkor_cycle_popup_requests(l.get(), r);
    if (k.popup != kPopUpInfo) {
      EXPECT_EQ(0, r[k.popup].apply) << k.name << " without a click";
    }
  }
}

TEST(PopUps, PlacesFollowTheZoomToggles) {
  Layer c = NewLayer();
  Velkor_PopUpPlace p = Velkor_cycle_popup_place(c.get(), kPopUpInstructions);
  EXPECT_EQ(-250.0f, p.x);
  EXPECT_EQ(0.5f, p.scale);
  c->instructionSetZoom = 1;
  p = Velkor_cycle_popup_place(c.get(), kPopUpInstructions);
  EXPECT_EQ(-360.0f, p.x);
  EXPECT_EQ(1.0f, p.scale);
  p = Velkor_cycle_popup_place(c.get(), kPopUpMachineCode);
  EXPECT_EQ(0.45f, p.scale);
  c->machineCodeZoom = 1;
  p = Velkor_cycle_popup_place(c.get(), kPopUpMachineCode);
  EXPECT_EQ(-375.0f, p.y);
  EXPECT_EQ(1.0f, p.scale);
}

// ---- Which instruction may run ----------------------------------------------------

TEST(Selection, WordFlagOfOperationsWithoutAByteForm) {
  struct Case {
    const char* name;
    uint32_t format, operation;
    uint8_t box, word;
  } cases[] = {
      {"SWPB", kFormatSingleOperand, kOpSWPB, 0, 1},
      {"SXT", kFormatSingleOperand, kOpSXT, 0, 1},
      {"CALL", kFormatSingleOperand, kOpCALL, 0, 1},
      {"RETI", kFormatSingleOperand, kOpRETI, 0, 1},
      {"JMP", kFormatJump, kJumpMP, 0, 1},
      {"NOP", kFormatEmulated, kOpNOP, 0, 1},
      {"RET", kFormatEmulated, kOpRET, 0, 1},
      {"RRC.B", kFormatSingleOperand, kOpRRC, 0, 0},
      {"PUSH.B", kFormatSingleOperand, kOpPUSH, 0, 0},
      {"MOV.B", kFormatDoubleOperand, kOpMOV, 0, 0},
      {"MOV", kFormatDoubleOperand, kOpMOV, 1, 1},
      {"INC.B", kFormatEmulated, kOpINC, 0, 0},
  };
  for (const Case& k : cases) {
    Layer c = NewLayer();
    c->instructionFormat = k.format;
    c->dualOperation = c->singleOperation = c->jumpOperation = c->emulatedOperation = k.operation;
    c->wordOperation = k.box;
    EXPECT_EQ(k.word, Velkor_cycle_effective_word(c.get())) << k.name;
  }
}

TEST(Selection, TypedTextsThatReadAsNumbers) {
  struct Case {
    const char* text;
    bool number;
  } cases[] = {
      {"", true},
      {"  ", true},
      {"0", true},
      {"0x280", true},
      {"0X1a", true},
      {"-32768", true},
      {" 12 ", true},
      {"010", true},
      {"65535", true},
      {"abc", false},
      {"12xyz", false},
      {"0x", false},
      {"08", false},
      {"1 2", false},
      {"--1", false},
      {"0x1G", false},
      {"99999999999999999999", false},
  };
  for (const Case& k : cases) {
    EXPECT_EQ(k.number, Velkor_cycle_text_is_number(k.text)) << '"' << k.text << '"';
  }
  EXPECT_FALSE(Velkor_cycle_text_is_number(nullptr));
}

TEST(Selection, RunnableOnlyInsideTheVocabularyAndWithValidOperands) {
  struct Case {
    const char* name;
    void (*set)(Velkor_layer*);
    bool runnable;
  } cases[] = {
      {"no instruction", [](Velkor_layer*) {}, false},
      {"Init SP", [](Velkor_layer* c) { SelectInitSp(c); }, true},
      {"immediate that is not a number",
       [](Velkor_layer* c) {
         SelectInitSp(c);
         snprintf(c->sourceEditText, kTextCellSize, "abc");
         Convert(c);
       },
       false},
      {"immediate with trailing letters",
       [](Velkor_layer* c) {
         SelectInitSp(c);
         snprintf(c->sourceEditText, kTextCellSize, "12xyz");
         Convert(c);
       },
       false},
      {"immediate out of range",
       [](Velkor_layer* c) {
         SelectInitSp(c);
         snprintf(c->sourceEditText, kTextCellSize, "70000");
         Convert(c);
       },
       false},
      {"empty immediate is 0",
       [](Velkor_layer* c) {
         SelectInitSp(c);
         c->sourceEditText[0] = '\0';
         Convert(c);
       },
       true},
      {"register source ignores the edit box",
       [](Velkor_layer* c) {
         SelectInitSp(c);
         c->sourceMode = kModeRegister;
         snprintf(c->sourceEditText, kTextCellSize, "abc");
         Convert(c);
       },
       true},
      {"indexed destination not valid",
       [](Velkor_layer* c) {
         SelectInitSp(c);
         c->destinationMode = kModeIndexed;
         snprintf(c->destinationEditText, kTextCellSize, "zz");
         Convert(c);
       },
       false},
      {"PUSH has no destination",
       [](Velkor_layer* c) {
         c->instructionFormat = kFormatSingleOperand;
         c->singleOperation = kOpPUSH;
         c->sourceMode = kModeRegister;
         c->destinationMode = kModeIndexed;
         snprintf(c->destinationEditText, kTextCellSize, "zz");
         Convert(c);
       },
       true},
      {"Format II operation 7 is no instruction",
       [](Velkor_layer* c) {
         c->instructionFormat = kFormatSingleOperand;
         c->singleOperation = kOpSingleUnused;
       },
       false},
      {"jump offset beyond 511",
       [](Velkor_layer* c) {
         c->instructionFormat = kFormatJump;
         c->jumpOperation = kJumpMP;
         c->pcOffset = 512.0f;
       },
       false},
      {"jump offset -512",
       [](Velkor_layer* c) {
         c->instructionFormat = kFormatJump;
         c->jumpOperation = kJumpMP;
         c->pcOffset = -512.0f;
       },
       true},
      {"destination mode beyond Absolute",
       [](Velkor_layer* c) {
         SelectInitSp(c);
         c->destinationMode = kModeIndirect;
       },
       false},
  };
  for (const Case& k : cases) {
    Layer c = NewLayer();
    k.set(c.get());
    EXPECT_EQ(k.runnable, Velkor_cycle_selection_runnable(c.get())) << k.name;
  }
}

// ---- Core calls -------------------------------------------------------------------

TEST(Execute, TheDemonstrationProgramStepByStep) {
  Layer c = NewLayer();
  // MOV #0x0280,SP
  FetchAndExecute(c.get());
  EXPECT_STREQ("0280", c->registers[1]);
  EXPECT_STREQ("FF84", c->registers[0]);
  EXPECT_STREQ("MOV  #0x0280,SP", std::string(c->assemblerText).c_str());
  // MOV #0x8000,R4
  FetchAndExecute(c.get());
  EXPECT_STREQ("8000", c->registers[4]);
  EXPECT_STREQ("FF88", c->registers[0]);
  EXPECT_EQ(11, c->registerHighlight[4]) << "written register framed in red";
  // CALL #0xFF92: return address pushed, PC at the subroutine
  FetchAndExecute(c.get());
  EXPECT_STREQ("FF92", c->registers[0]);
  EXPECT_STREQ("027E", c->registers[1]);
  EXPECT_EQ(0xFF8C, RamWord(c.get(), 0x027E));
  EXPECT_EQ(1, c->ramMarkerOn);
  EXPECT_EQ(0u, c->ramMarker.row);
}

TEST(Execute, NeedsTheHighlightTheClickAndARunnableSelection) {
  struct Case {
    const char* name;
    uint8_t highlighted, click;
    const char* source;
    bool runs;
  } cases[] = {
      {"click on EXECUTE", 1, 1, "0x280", true},
      {"hover without click", 1, 0, "0x280", false},
      {"click elsewhere", 0, 1, "0x280", false},
      {"operand not valid", 1, 1, "0x1x", false},
  };
  for (const Case& k : cases) {
    Layer c = NewLayer();
    SelectInitSp(c.get());
    snprintf(c->sourceEditText, kTextCellSize, "%s", k.source);
    Convert(c.get());
    Velkor_cycle_assemble(c.get());
    c->executeHighlighted = k.highlighted;
    c->clickFlag = k.click;
    EXPECT_EQ(k.runs, Velkor_cycle_execute(c.get())) << k.name;
    EXPECT_STREQ(k.runs ? "0280" : "0000", c->registers[1]) << k.name;
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

TEST(Save, InitSpIsStoredAtTheSelectedRow) {
  Layer c = NewLayer();
  SelectInitSp(c.get());
  c->romSelection[0] = 40;  // FFAE
  Velkor_cycle_assemble(c.get());
  c->clickFlag = 1;
  c->saveHighlighted = 1;
  ASSERT_TRUE(Velkor_cycle_save(c.get()));
  EXPECT_EQ(0x4031, RomWord(c.get(), 0xFFAE));
  EXPECT_EQ(0x0280, RomWord(c.get(), 0xFFB0));
}

TEST(Save, WritesNothingForNoInstructionOrAnInvalidOperand) {
  struct Case {
    const char* name;
    void (*set)(Velkor_layer*);
  } cases[] = {
      {"---no instruction---", [](Velkor_layer*) {}},
      {"immediate not a number",
       [](Velkor_layer* c) {
         SelectInitSp(c);
         snprintf(c->sourceEditText, kTextCellSize, "abc");
         Convert(c);
       }},
      {"Format II operation 7",
       [](Velkor_layer* c) {
         c->instructionFormat = kFormatSingleOperand;
         c->singleOperation = kOpSingleUnused;
       }},
  };
  for (const Case& k : cases) {
    Layer c = NewLayer();
    k.set(c.get());
    c->romSelection[0] = 40;
    Velkor_cycle_assemble(c.get());
    c->clickFlag = 1;
    c->saveHighlighted = 1;
    EXPECT_FALSE(Velkor_cycle_save(c.get())) << k.name;
    EXPECT_EQ(0xFFFF, RomWord(c.get(), 0xFFAE)) << k.name;
    EXPECT_EQ(0xFFFF, RomWord(c.get(), 0xFFB0)) << k.name;
  }
}

TEST(Save, ASymbolicOperandDecodesBackToItsTargetFromTheRowItIsStoredAt) {
  struct Case {
    const char* name;
    uint32_t source_mode;
    uint32_t destination_mode;
  } cases[] = {
      {"symbolic source", kModeSymbolic, kModeRegister},
      {"symbolic destination", kModeRegister, kModeSymbolic},
      {"both symbolic", kModeSymbolic, kModeSymbolic},
  };
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
      {"autoincrement source", kModeAutoincrement, "", "0xFF82"},
      {"constant #1", kModeImmediate, "1", "0xFF82"},
      {"immediate #0x1234", kModeImmediate, "0x1234", "0xFF84"},
      {"indexed source", kModeIndexed, "4", "0xFF84"},
      {"absolute source", kModeAbsolute, "0x0200", "0xFF84"},
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
  }
}

TEST(AddressUnit, WhichOperandsItShows) {
  struct Case {
    const char* name;
    uint32_t format, operation, source_mode, destination_mode;
    uint8_t source, destination;
  } cases[] = {
      {"MOV register to register", kFormatDoubleOperand, kOpMOV, 0, 0, 0, 0},
      {"MOV indexed to absolute", kFormatDoubleOperand, kOpMOV, 1, 3, 1, 1},
      {"PUSH indexed", kFormatSingleOperand, kOpPUSH, 1, 1, 1, 0},
      {"CALL absolute", kFormatSingleOperand, kOpCALL, 3, 1, 1, 0},
      {"RRC indexed", kFormatSingleOperand, kOpRRC, 1, 1, 0, 1},
      {"RETI", kFormatSingleOperand, kOpRETI, 1, 1, 0, 0},
      {"INC absolute", kFormatEmulated, kOpINC, 1, 3, 0, 1},
      {"NOP", kFormatEmulated, kOpNOP, 1, 3, 0, 0},
      {"RET", kFormatEmulated, kOpRET, 1, 3, 0, 0},
      {"jump", kFormatJump, kJumpMP, 1, 1, 0, 0},
      {"nothing", kFormatNone, 0, 1, 1, 0, 0},
  };
  for (const Case& k : cases) {
    Layer c = NewLayer();
    c->instructionFormat = k.format;
    c->dualOperation = c->singleOperation = c->jumpOperation = c->emulatedOperation = k.operation;
    c->sourceMode = k.source_mode;
    c->destinationMode = k.destination_mode;
    Velkor_cycle_address_unit(c.get());
    EXPECT_EQ(k.source, c->showSourceAddress) << k.name;
    EXPECT_EQ(k.destination, c->showDestinationAddress) << k.name;
  }
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

TEST(Reset, TheButtonResetsTheMachineAndChecksWordOperation) {
  Layer c = NewLayer();
  FetchAndExecute(c.get());
  c->wordOperation = 0;
  c->phaseFlag = 1;
  c->resetRequest = 1;
  EXPECT_TRUE(Velkor_cycle_reset(c.get()));
  EXPECT_STREQ("FF80", c->registers[0]);
  EXPECT_STREQ("0000", c->registers[1]);
  EXPECT_EQ(0, c->phaseFlag);
  EXPECT_EQ(uint32_t{kFormatNone}, c->decodedFormat);
  EXPECT_EQ(1, c->wordOperation);
  c->resetRequest = 0;
  EXPECT_FALSE(Velkor_cycle_reset(c.get()));
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

TEST(Markers, AClickOnTheAddressColumnHidesTheMarker) {
  Layer c = NewLayer();
  c->romMarkerOn = 1;
  c->ramMarkerOn = 1;
  c->romAddressHover = 1;
  c->ramAddressHover = 1;
  Velkor_cycle_rom_marker(c.get());
  Velkor_cycle_ram_marker(c.get());
  EXPECT_EQ(1, c->romMarkerOn + c->ramMarkerOn - 1) << "no click, both stay";
  c->clickFlag = 1;
  c->ramAddressHover = 0;
  Velkor_cycle_rom_marker(c.get());
  Velkor_cycle_ram_marker(c.get());
  EXPECT_EQ(0, c->romMarkerOn);
  EXPECT_EQ(1, c->ramMarkerOn);
}

TEST(Ports, ASwitchReachesP2InOnlyForInputBits) {
  Layer c = NewLayer();
  snprintf(c->ports[6], kPortCellSize, "0x0F");  // P2DIR: bits 0..3 outputs
  c->p2Input[0] = 1;
  c->p2Input[7] = 1;
  Velkor_cycle_ports(c.get());
  EXPECT_STREQ("0x80", c->ports[4]);
  snprintf(c->ports[1], kPortCellSize, "0x06");  // P1OUT
  snprintf(c->ports[2], kPortCellSize, "0xFF");  // P1DIR all outputs
  Velkor_cycle_ports(c.get());
  const uint8_t lit[8] = {0, 1, 1, 0, 0, 0, 0, 0};
  for (int b = 0; b < 8; ++b) EXPECT_EQ(lit[b], c->p1Output[b]) << b;
}

}  // namespace
