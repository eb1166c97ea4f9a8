// The layer context's life: allocation, initial values, the per-frame
// predraw, and the lookup of widget instances by name.
#include "panel/Velkor_classroom_draw.h"
#include "panel/Velkor_symbology_layer_internal.h"

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

using Context = Velkor_symbology_layer_context;

// The demonstration program, its NMI handler at FFD0 and the two vectors;
// every other ROM word starts erased (FFFF).
struct RomWord {
  uint16_t address;
  uint16_t word;
};
constexpr RomWord kDemoProgram[] = {
    {0xFF80, 0x4031}, {0xFF82, 0x0280}, {0xFF84, 0x4034}, {0xFF86, 0x8000}, {0xFF88, 0x12B0},
    {0xFF8A, 0xFF92}, {0xFF8C, 0x1004}, {0xFF8E, 0x2FFA}, {0xFF90, 0x3FFB}, {0xFF92, 0x4035},
    {0xFF94, 0x0003}, {0xFF96, 0x8315}, {0xFF98, 0x23FE}, {0xFF9A, 0x4130}, {0xFFD0, 0x1300},
    {0xFFFC, 0xFFD0}, {0xFFFE, 0xFF80},
};

constexpr uint16_t kRomTop = 0xFFFE;
constexpr uint16_t kRamTop = 0x027E;
constexpr int32_t kFirstInstructionRow = 63;  // FF80
constexpr int32_t kInitialHighlight = kHighlightIdle;
constexpr uint32_t kInitialRamMarkerColumn = 3;

void set_text(char* cell, size_t size, const char* text) {
  snprintf(cell, size, "%s", text);
}

void fill_row(MemoryRow* row, uint16_t address, uint16_t word) {
  snprintf(row->cells[kRowAddressCell], kTextCellSize, "%04X", address);
  snprintf(row->cells[kRowHighCell], kTextCellSize, "%02X", (word >> 8) & 0xFF);
  snprintf(row->cells[kRowLowCell], kTextCellSize, "%02X", word & 0xFF);
  // The cells beyond the three shown columns are never displayed.
  for (int k = kRowLowCell + 1; k < kMemoryRowCells; ++k) {
    set_text(row->cells[k], kTextCellSize, "Cell");
  }
}

void init_memory(Context* c) {
  for (int r = 0; r < kMemoryRowCount; ++r) {
    fill_row(&c->ramRows[r], static_cast<uint16_t>(kRamTop - 2 * r), 0x0000);
    fill_row(&c->romRows[r], static_cast<uint16_t>(kRomTop - 2 * r), 0xFFFF);
  }
  for (const RomWord& w : kDemoProgram) {
    fill_row(&c->romRows[(kRomTop - w.address) / 2], w.address, w.word);
  }
}

void init_state(Context* c) {
  for (int i = 0; i < kRegisterCount; ++i) {
    c->registerHighlight[i] = kInitialHighlight;
    set_text(c->registers[i], kTextCellSize, i == 0 ? "FF80" : "0000");
  }
  c->instructionFormat = kFormatNone;
  init_memory(c);
  c->romSelection[0] = kFirstInstructionRow;
  c->romSelection[1] = 0;
  c->ramMarker.row = 0;
  c->ramMarker.column = kInitialRamMarkerColumn;
  // Overwritten by ResetButton's output before it is first read, so the
  // first frame does not reset.
  c->resetRequest = 1;
  c->romMarker.row = kFirstInstructionRow;
  c->romMarker.column = 0;
  c->wordOperation = 1;
  set_text(c->destinationAddressText, kAddressTextSize, "0xDDDD");
  set_text(c->destinationIndexText, kAddressTextSize, "0xDDDD");
  set_text(c->destinationBaseText, kAddressTextSize, "0xDDDD");
  for (int i = 0; i < kPortCellCount; ++i) set_text(c->ports[i], kPortCellSize, "0x00");
  c->ramEditRow = 0;
  c->pointerOwner.popup = kPointerMainView;
}

// Every widget instance of the context, in the context's order, with the
// operations of its class. One table serves init, predraw and the lookup.
enum class Kind {
  kAnimation,
  kToggle,
  kScrollPanel,
  kPush,
  kRadio,
  kGauge,
  kTable,
  kPopUp,
  kCombo,
  kSlider,
  kEdit,
  kCheck,
};

struct Instance {
  const char* name;
  Kind kind;
  size_t offset;  // of the instance in the context
};

#define VELKOR_INSTANCE(name, kind) \
  { #name, Kind::kind, offsetof(Context, name) }
constexpr Instance kInstances[] = {
    VELKOR_INSTANCE(ExecutionAnimation, kAnimation),
    VELKOR_INSTANCE(ToggleButton, kToggle),
    VELKOR_INSTANCE(ToggleButton_1, kToggle),
    VELKOR_INSTANCE(ToggleButton_2, kToggle),
    VELKOR_INSTANCE(ToggleButton_3, kToggle),
    VELKOR_INSTANCE(ToggleButton_4, kToggle),
    VELKOR_INSTANCE(ToggleButton_5, kToggle),
    VELKOR_INSTANCE(ToggleButton_6, kToggle),
    VELKOR_INSTANCE(ToggleButton_7, kToggle),
    VELKOR_INSTANCE(RegisterScrollPanel, kScrollPanel),
    VELKOR_INSTANCE(ExecButton, kPush),
    VELKOR_INSTANCE(DisasmButton, kPush),
    VELKOR_INSTANCE(SpeedRadioBox, kRadio),
    VELKOR_INSTANCE(Gauge, kGauge),
    VELKOR_INSTANCE(MemoryMultiColumn, kTable),
    VELKOR_INSTANCE(PopUpPanel, kPopUp),
    VELKOR_INSTANCE(ROMSaveButton, kPush),
    VELKOR_INSTANCE(ROMLoadButton, kPush),
    VELKOR_INSTANCE(SlotComboBox, kCombo),
    VELKOR_INSTANCE(InstruktionenPopUpPanel, kPopUp),
    VELKOR_INSTANCE(InstructionFormatComboBox, kCombo),
    VELKOR_INSTANCE(DualOperationComboBox, kCombo),
    VELKOR_INSTANCE(Single_OperationComboBox, kCombo),
    VELKOR_INSTANCE(Jump_OperationComboBox, kCombo),
    VELKOR_INSTANCE(Slider, kSlider),
    VELKOR_INSTANCE(Emulated_OperationComboBox, kCombo),
    VELKOR_INSTANCE(SRegAdrComboBox, kCombo),
    VELKOR_INSTANCE(SRegComboBox, kCombo),
    VELKOR_INSTANCE(IndexAdrImmediateTextEditBox, kEdit),
    VELKOR_INSTANCE(DRegAdrComboBox, kCombo),
    VELKOR_INSTANCE(DRegComboBox, kCombo),
    VELKOR_INSTANCE(IndexAdrImmediateTextEditBox_1, kEdit),
    VELKOR_INSTANCE(ShotCut1Button, kPush),
    VELKOR_INSTANCE(ShotCut2Button, kPush),
    VELKOR_INSTANCE(ShotCut3Button, kPush),
    VELKOR_INSTANCE(CheckButton, kCheck),
    VELKOR_INSTANCE(MemoryMultiColumn_1, kTable),
    VELKOR_INSTANCE(RAMPopUpPanel, kPopUp),
    VELKOR_INSTANCE(RAMPushButton, kPush),
    VELKOR_INSTANCE(RAMTextEditBox, kEdit),
    VELKOR_INSTANCE(SaveButton, kPush),
    VELKOR_INSTANCE(MaschinencodeToggleButton, kToggle),
    VELKOR_INSTANCE(MaschinencodePopUpPanel, kPopUp),
    VELKOR_INSTANCE(InstruktionenToggleButton, kToggle),
    VELKOR_INSTANCE(EnableExecToggleButton, kToggle),
    VELKOR_INSTANCE(ResetButton, kPush),
    VELKOR_INSTANCE(NMIButton, kPush),
    VELKOR_INSTANCE(InfoPopUpPanel, kPopUp),
    VELKOR_INSTANCE(RegPopUpPanel, kPopUp),
    VELKOR_INSTANCE(RegPushButton, kPush),
    VELKOR_INSTANCE(RegTextEditBox, kEdit),
    VELKOR_INSTANCE(RegComboBox, kCombo),
    VELKOR_INSTANCE(UndoButton, kPush),
    VELKOR_INSTANCE(RedoButton, kPush),
};
#undef VELKOR_INSTANCE
constexpr int32_t kInstanceCount = sizeof kInstances / sizeof kInstances[0];

template <typename T>
T* at(Context* c, const Instance& i) {
  return reinterpret_cast<T*>(reinterpret_cast<char*>(c) + i.offset);
}
template <typename T>
const T* at(const Context* c, const Instance& i) {
  return reinterpret_cast<const T*>(reinterpret_cast<const char*>(c) + i.offset);
}

void init_instance(Context* c, const Instance& i) {
  switch (i.kind) {
    case Kind::kAnimation:
      Velkor_Animation_init(at<Velkor_Animation>(c, i));
      break;
    case Kind::kToggle:
      Velkor_ToggleButton_init(at<Velkor_ToggleButton>(c, i));
      break;
    case Kind::kScrollPanel:
      Velkor_ScrollPanel_init(at<Velkor_ScrollPanel>(c, i));
      break;
    case Kind::kPush:
      Velkor_PushButton_init(at<Velkor_PushButton>(c, i));
      break;
    case Kind::kRadio:
      Velkor_RadioBox_init(at<Velkor_RadioBox>(c, i));
      break;
    case Kind::kGauge:
      Velkor_Gauge_init(at<Velkor_Gauge>(c, i));
      break;
    case Kind::kTable:
      Velkor_MultiColumn_init(at<Velkor_MultiColumn>(c, i));
      break;
    case Kind::kPopUp:
      Velkor_PopUpPanel_init(at<Velkor_PopUpPanel>(c, i));
      break;
    case Kind::kCombo:
      Velkor_ComboBox_init(at<Velkor_ComboBox>(c, i));
      break;
    case Kind::kSlider:
      Velkor_Slider_init(at<Velkor_Slider>(c, i));
      break;
    case Kind::kEdit:
      Velkor_TextEditBox_init(at<Velkor_TextEditBox>(c, i));
      break;
    case Kind::kCheck:
      Velkor_CheckButton_init(at<Velkor_CheckButton>(c, i));
      break;
  }
}

void predraw_instance(Context* c, const Instance& i) {
  switch (i.kind) {
    case Kind::kAnimation:
      Velkor_Animation_predraw(at<Velkor_Animation>(c, i));
      break;
    case Kind::kToggle:
      Velkor_ToggleButton_predraw(at<Velkor_ToggleButton>(c, i));
      break;
    case Kind::kScrollPanel:
      Velkor_ScrollPanel_predraw(at<Velkor_ScrollPanel>(c, i));
      break;
    case Kind::kPush:
      Velkor_PushButton_predraw(at<Velkor_PushButton>(c, i));
      break;
    case Kind::kRadio:
      Velkor_RadioBox_predraw(at<Velkor_RadioBox>(c, i));
      break;
    case Kind::kGauge:
      Velkor_Gauge_predraw(at<Velkor_Gauge>(c, i));
      break;
    case Kind::kTable:
      Velkor_MultiColumn_predraw(at<Velkor_MultiColumn>(c, i));
      break;
    case Kind::kPopUp:
      Velkor_PopUpPanel_predraw(at<Velkor_PopUpPanel>(c, i));
      break;
    case Kind::kCombo:
      Velkor_ComboBox_predraw(at<Velkor_ComboBox>(c, i));
      break;
    case Kind::kSlider:
      Velkor_Slider_predraw(at<Velkor_Slider>(c, i));
      break;
    case Kind::kEdit:
      Velkor_TextEditBox_predraw(at<Velkor_TextEditBox>(c, i));
      break;
    case Kind::kCheck:
      Velkor_CheckButton_predraw(at<Velkor_CheckButton>(c, i));
      break;
  }
}

// The drawn rectangle of an instance; null for a class that draws nothing.
const Velkor_DrawnRect* drawn_rect(const Context* c, const Instance& i) {
  switch (i.kind) {
    case Kind::kAnimation:
      return nullptr;
    case Kind::kToggle:
      return &at<Velkor_ToggleButton>(c, i)->drawnRect;
    case Kind::kScrollPanel:
      return &at<Velkor_ScrollPanel>(c, i)->drawnRect;
    case Kind::kPush:
      return &at<Velkor_PushButton>(c, i)->drawnRect;
    case Kind::kRadio:
      return &at<Velkor_RadioBox>(c, i)->drawnRect;
    case Kind::kGauge:
      return &at<Velkor_Gauge>(c, i)->drawnRect;
    case Kind::kTable:
      return &at<Velkor_MultiColumn>(c, i)->drawnRect;
    case Kind::kPopUp:
      return &at<Velkor_PopUpPanel>(c, i)->drawnRect;
    case Kind::kCombo:
      return &at<Velkor_ComboBox>(c, i)->drawnRect;
    case Kind::kSlider:
      return &at<Velkor_Slider>(c, i)->drawnRect;
    case Kind::kEdit:
      return &at<Velkor_TextEditBox>(c, i)->drawnRect;
    case Kind::kCheck:
      return &at<Velkor_CheckButton>(c, i)->drawnRect;
  }
  return nullptr;
}

void load_table_selection(Velkor_MultiColumn* table, const int32_t* selection) {
  table->loadRow = selection[0];
  table->loadColumn = selection[1];
  table->load = 1;
}

}  // namespace

void* Velkor_symbology_layer_alloc() {
  return calloc(1, sizeof(Context));
}

void Velkor_symbology_layer_free(void* context) {
  free(context);
}

void Velkor_symbology_layer_init(void* context) {
  if (context == nullptr) return;
  Context* c = static_cast<Context*>(context);
  init_state(c);
  for (const Instance& i : kInstances) init_instance(c, i);
  // The tables start with the selection the state fields hold (FF80 in the
  // ROM, where the program starts); the first draw takes it.
  load_table_selection(&c->MemoryMultiColumn, c->romSelection);
  load_table_selection(&c->MemoryMultiColumn_1, c->ramSelection);
  Velkor_classroom_init(&c->classroom);
}

void Velkor_symbology_layer_predraw(void* context) {
  if (context == nullptr) return;
  Context* c = static_cast<Context*>(context);
  c->registerEditText[0] = '\0';
  for (const Instance& i : kInstances) predraw_instance(c, i);
}

bool Velkor_symbology_layer_find_widget(const Velkor_symbology_layer_context* context,
                                        const char* name, Velkor_DrawnRect* rect) {
  if (context == nullptr || name == nullptr) return false;
  for (const Instance& i : kInstances) {
    if (strcmp(i.name, name) != 0) continue;
    const Velkor_DrawnRect* r = drawn_rect(context, i);
    if (r == nullptr || (r->width <= 0.0f && r->height <= 0.0f)) return false;
    if (rect != nullptr) *rect = *r;
    return true;
  }
  return false;
}

int32_t Velkor_symbology_layer_widget_count() {
  return kInstanceCount;
}

const char* Velkor_symbology_layer_widget_name(int32_t index) {
  if (index < 0 || index >= kInstanceCount) return nullptr;
  return kInstances[index].name;
}

const char* Velkor_symbology_layer_state_text(const Velkor_symbology_layer_context* context) {
  return (context != nullptr && context->phaseFlag == 1) ? "EXECUTE" : "FETCH/DECODE";
}
