// Velkor_symbology_layer_internal - the panel's context record: every
// panel state field and every widget instance in one block. For panel/ and
// its tests only; everyone else sees the panel through
// panel/Velkor_symbology_layer.h (its operations, its widgets by name and a
// read-only snapshot of what it shows).
//
// Layout of the context: the panel's state fields first, in their fixed
// order, then the widget instances in their fixed order, then the working
// fields this implementation adds (after everything else, so that the first
// two parts keep their layout: the state digest hashes the state fields).
// The core operations receive pointers into the block; nothing else owns
// memory.
//
// Threads: the drawing thread only.
#pragma once

#include <cstdint>

#include "core/mycode.h"
#include "display/Velkor_Animation.h"
#include "display/Velkor_CheckButton.h"
#include "display/Velkor_ComboBox.h"
#include "display/Velkor_Gauge.h"
#include "display/Velkor_MultiColumn.h"
#include "display/Velkor_PopUpPanel.h"
#include "display/Velkor_PushButton.h"
#include "display/Velkor_RadioBox.h"
#include "display/Velkor_ScrollPanel.h"
#include "display/Velkor_Slider.h"
#include "display/Velkor_TextEditBox.h"
#include "display/Velkor_ToggleButton.h"
#include "display/Velkor_display.h"
#include "panel/Velkor_classroom.h"
#include "panel/Velkor_symbology_layer.h"
#include "widgets/interactivity_mapping.h"

// R3 (CG2) is the constant generator: it holds no value of its own, so no
// click chooses it and no pop-up changes it. The one rule for every place
// that offers a register to the student.
constexpr int32_t kConstantGeneratorRegister = 3;
inline bool Velkor_register_editable(int64_t reg) {
  return reg >= 0 && reg < kRegisterCount && reg != kConstantGeneratorRegister;
}

// The panel's centre in display units: the origin of the centred frame in
// which the layer places everything.
constexpr float kPanelCentreX = 640.0f;
constexpr float kPanelCentreY = 384.0f;

// Who owns the pointer in a frame.
constexpr int32_t kPointerMainView =
    -1;  // no pop-up: the main view A part that does not own it reads the
// pointer nowhere and no press (BHVR_SetPointerReach).
struct Velkor_PointerOwner {
  PointerEvent pointer;  // the frame's record, as the host gave it
  // The topmost open pop-up under the pointer (kPopUp... of the cycle
  // header), from where the pop-ups were drawn in the last frame; -1: none,
  // the main view's. A pop-up's children are reached only while no pop-up
  // drawn after it lies under the pointer.
  int32_t popup;
  // A key step or the press that closes the help pop-up is the frame's only
  // action: the main view is reached by nothing.
  uint8_t classroom;
  // Per pop-up, the list that is open in it (it alone is reached inside
  // the pop-up), or null.
  const Velkor_ComboBox* openList[6];
};

// Animation periods of the three speeds, in 33-unit frames' milliseconds.
constexpr int32_t kPeriodSlow = 3000;
constexpr int32_t kPeriodMedium = 600;
constexpr int32_t kPeriodFast = 70;

struct Velkor_symbology_layer_context {
  // ---- State fields -------------------------------------------------------
  TextCell sourceEditText;
  int32_t registerHighlight[kRegisterCount];
  TextCell sourceOperandText;
  uint32_t sourceRegister;
  uint32_t instructionFormat;
  uint32_t singleOperation;
  uint32_t jumpOperation;
  uint32_t emulatedOperation;
  uint32_t destinationRegister;
  uint8_t clickFlag;
  uint32_t sourceMode;
  uint8_t sourceValid;
  uint8_t executeHighlighted;
  uint32_t dualOperation;
  MemoryRow ramRows[kMemoryRowCount];
  MemoryRow romRows[kMemoryRowCount];
  TextCell registers[kRegisterCount];
  int32_t romSelection[2];  // row, column
  TableMarker ramMarker;
  uint8_t shortcutHover[3];  // "Init SP", "Operation PUSH", "Operation POP"
  uint8_t statusFlags[4];    // V, N, Z, C
  uint8_t instructionSetZoom;
  TextCell assemblerText;
  TextCell bitString;
  TextCell machineWordText;
  uint8_t machineCodeZoom;
  float pcOffset;
  uint8_t fetchHighlighted;
  uint32_t decodedFormat;
  uint32_t decodedDualOperation;
  uint32_t decodedSingleOperation;
  uint32_t decodedSourceMode;
  uint32_t decodedSourceRegister;
  uint32_t decodedDestinationRegister;
  TextCell decodedSourceText;
  uint8_t saveHighlighted;
  uint32_t decodedJumpOperation;
  uint32_t decodedEmulatedOperation;
  float decodedPcOffset;
  TextCell extension1Text;
  uint8_t resetRequest;
  uint8_t continuousExecution;
  float animationProgress;
  uint8_t animationTick;
  uint8_t phaseFlag;  // 0: FETCH/DECODE is next, 1: EXECUTE is next
  uint8_t continuousStart;
  uint8_t ramMarkerOn;
  TableMarker romMarker;
  uint8_t romMarkerOn;
  uint8_t ramAddressHover;
  uint8_t decoderResetRequest;
  uint8_t nmiRequest;
  uint32_t speed;
  uint8_t infoHover;
  uint8_t registerHover[kRegisterCount];
  uint32_t registerIndex;
  uint8_t saveToRegister;
  uint8_t saveToSlot;
  uint8_t romAddressHover;
  uint8_t romByteHover;
  uint32_t slot;
  uint8_t loadFromSlot;
  uint32_t destinationMode;
  TextCell destinationEditText;
  TextCell destinationOperandText;
  uint8_t destinationValid;
  TextCell decodedDestinationText;
  TextCell extension2Text;
  uint32_t decodedDestinationMode;
  uint8_t wordOperation;
  uint8_t decodedWordFlag;
  uint32_t destinationAddressRegister;
  AddressText sourceBaseText;
  uint32_t sourceAddressRegister;
  AddressText sourceIndexText;
  AddressText sourceAddressText;
  AddressText destinationAddressText;
  AddressText destinationIndexText;
  AddressText destinationBaseText;
  uint8_t showSourceAddress;
  uint8_t showDestinationAddress;
  uint8_t p1Output[8];  // bit 0 first
  PortCell ports[kPortCellCount];
  uint8_t p2Input[8];  // bit 0 first
  TextCell registerEditText;
  TextCell registerValueText;
  uint8_t registerValid;
  uint8_t registerEnter;
  uint8_t ramByteHover;
  uint8_t saveToRam;
  TextCell ramEditText;
  TextCell ramValueText;
  uint8_t ramValid;
  int32_t ramSelection[2];  // row, column

  // ---- Widget instances ---------------------------------------------------
  Velkor_Animation ExecutionAnimation;
  Velkor_ToggleButton ToggleButton;  // P2IN bit 7 (leftmost)
  Velkor_ToggleButton ToggleButton_1;
  Velkor_ToggleButton ToggleButton_2;
  Velkor_ToggleButton ToggleButton_3;
  Velkor_ToggleButton ToggleButton_4;
  Velkor_ToggleButton ToggleButton_5;
  Velkor_ToggleButton ToggleButton_6;
  Velkor_ToggleButton ToggleButton_7;  // P2IN bit 0 (rightmost)
  Velkor_ScrollPanel RegisterScrollPanel;
  Velkor_PushButton ExecButton;
  Velkor_PushButton DisasmButton;
  Velkor_RadioBox SpeedRadioBox;
  Velkor_Gauge Gauge;
  Velkor_MultiColumn MemoryMultiColumn;
  Velkor_PopUpPanel PopUpPanel;
  Velkor_PushButton ROMSaveButton;
  Velkor_PushButton ROMLoadButton;
  Velkor_ComboBox SlotComboBox;
  Velkor_PopUpPanel InstruktionenPopUpPanel;
  Velkor_ComboBox InstructionFormatComboBox;
  Velkor_ComboBox DualOperationComboBox;
  Velkor_ComboBox Single_OperationComboBox;
  Velkor_ComboBox Jump_OperationComboBox;
  Velkor_Slider Slider;
  Velkor_ComboBox Emulated_OperationComboBox;
  Velkor_ComboBox SRegAdrComboBox;
  Velkor_ComboBox SRegComboBox;
  Velkor_TextEditBox IndexAdrImmediateTextEditBox;
  Velkor_ComboBox DRegAdrComboBox;
  Velkor_ComboBox DRegComboBox;
  Velkor_TextEditBox IndexAdrImmediateTextEditBox_1;
  Velkor_PushButton ShotCut1Button;
  Velkor_PushButton ShotCut2Button;
  Velkor_PushButton ShotCut3Button;
  Velkor_CheckButton CheckButton;
  Velkor_MultiColumn MemoryMultiColumn_1;
  Velkor_PopUpPanel RAMPopUpPanel;
  Velkor_PushButton RAMPushButton;
  Velkor_TextEditBox RAMTextEditBox;
  Velkor_PushButton SaveButton;
  Velkor_ToggleButton MaschinencodeToggleButton;
  Velkor_PopUpPanel MaschinencodePopUpPanel;
  Velkor_ToggleButton InstruktionenToggleButton;
  Velkor_ToggleButton EnableExecToggleButton;
  Velkor_PushButton ResetButton;
  Velkor_PushButton NMIButton;
  Velkor_PopUpPanel InfoPopUpPanel;
  Velkor_PopUpPanel RegPopUpPanel;
  Velkor_PushButton RegPushButton;
  Velkor_TextEditBox RegTextEditBox;
  Velkor_ComboBox RegComboBox;

  // ---- Working fields -----------------------------------------------------
  // The RAM row the RAM pop-up edits: the row clicked to open it, so that a
  // later selection under the pop-up cannot redirect the edit.
  int32_t ramEditRow;
  // Who owns the pointer in this frame, computed once at its start
  // (Velkor_cycle_pointer_owner) and read by every part as it is drawn.
  Velkor_PointerOwner pointerOwner;
  // Which pop-ups' children were drawn in this frame's pass 2 (in the order
  // kPopUpSlots ..): only those had a choice for the rules after the drawing.
  uint8_t popupChildrenDrawn[6];
  // The slot pop-up's message line ("" when there is nothing to say).
  char slotMessage[kSlotMessageSize];
  // Where the state text and the version line were drawn last (for scripts).
  Velkor_DrawnRect stateTextRect;
  Velkor_DrawnRect versionRect;
  // Scratch of the SAVE step: the registers with PC on the selected ROM row
  // and the operand index texts and words assembled for that place.
  TextCell saveRegisters[kRegisterCount];
  AddressText saveSourceIndexText;
  AddressText saveDestinationIndexText;
  AddressText saveScratchText;
  AssembledInstruction saveAssembled;
  // The destination's extension word follows one of the source (the source
  // is shown and really has one: not @Rn, @Rn+ or a constant). Computed once
  // per address-unit step; the destination's PC-relative base and its
  // "(PC+4)" label both read it.
  uint8_t destinationAfterSourceWord;
  // The frame counter since init (state files, scripts).
  uint32_t frame;
  // Keys, breakpoints, markers in view and the history (Velkor_classroom.h).
  Velkor_classroom classroom;
  // "Schritt zurück" and "Schritt vor" (Velkor_history_controls.h).
  Velkor_PushButton UndoButton;
  Velkor_PushButton RedoButton;
};
