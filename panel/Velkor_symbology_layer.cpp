// The layer context's life: allocation, initial values, the per-frame
// predraw, and the lookup of widget instances by name.
#include "panel/Velkor_classroom_draw.h"
#include "panel/Velkor_symbology_layer_internal.h"

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <type_traits>

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

// The operations of one display class, on an instance given by its address.
struct ClassOperations {
  void (*init)(void* instance);
  void (*predraw)(void* instance);
  // Where the instance was drawn; null for a class that draws nothing.
  const Velkor_DrawnRect* (*drawnRect)(const void* instance);
};

template <typename T>
const Velkor_DrawnRect* drawn_rect_of(const T* instance) {
  return &instance->drawnRect;
}
// The animation only steps a value: it has no rectangle to find.
const Velkor_DrawnRect* drawn_rect_of(const Velkor_Animation*) {
  return nullptr;
}

// One display class: its record type and its operations, reached through an
// untyped instance address.
template <typename T, void (*Init)(T*), void (*Predraw)(T*)>
struct DisplayClass {
  using Record = T;
  static void init(void* instance) { Init(static_cast<T*>(instance)); }
  static void predraw(void* instance) { Predraw(static_cast<T*>(instance)); }
  static const Velkor_DrawnRect* drawn_rect(const void* instance) {
    return drawn_rect_of(static_cast<const T*>(instance));
  }
  static constexpr ClassOperations operations = {init, predraw, drawn_rect};
};

// The classes the context holds, by the short names its rows use.
namespace display_class {
using Animation = DisplayClass<Velkor_Animation, Velkor_Animation_init, Velkor_Animation_predraw>;
using Toggle =
    DisplayClass<Velkor_ToggleButton, Velkor_ToggleButton_init, Velkor_ToggleButton_predraw>;
using ScrollPanel =
    DisplayClass<Velkor_ScrollPanel, Velkor_ScrollPanel_init, Velkor_ScrollPanel_predraw>;
using Push = DisplayClass<Velkor_PushButton, Velkor_PushButton_init, Velkor_PushButton_predraw>;
using Radio = DisplayClass<Velkor_RadioBox, Velkor_RadioBox_init, Velkor_RadioBox_predraw>;
using Gauge = DisplayClass<Velkor_Gauge, Velkor_Gauge_init, Velkor_Gauge_predraw>;
using Table = DisplayClass<Velkor_MultiColumn, Velkor_MultiColumn_init, Velkor_MultiColumn_predraw>;
using PopUp = DisplayClass<Velkor_PopUpPanel, Velkor_PopUpPanel_init, Velkor_PopUpPanel_predraw>;
using Combo = DisplayClass<Velkor_ComboBox, Velkor_ComboBox_init, Velkor_ComboBox_predraw>;
using Slider = DisplayClass<Velkor_Slider, Velkor_Slider_init, Velkor_Slider_predraw>;
using Edit = DisplayClass<Velkor_TextEditBox, Velkor_TextEditBox_init, Velkor_TextEditBox_predraw>;
using Check = DisplayClass<Velkor_CheckButton, Velkor_CheckButton_init, Velkor_CheckButton_predraw>;
}  // namespace display_class

// Every widget instance of the context, in the context's order, with the
// operations of its class. One table serves init, predraw and the lookup.
struct Instance {
  const char* name;
  const ClassOperations* operations;
  size_t offset;  // of the instance in the context
};

// A row names the class of its field; a class that does not match the
// field's type does not compile, so no instance is ever handed to the
// operations of another class.
template <typename Class, typename Field>
constexpr Instance instance(const char* name, size_t offset) {
  static_assert(std::is_same<typename Class::Record, Field>::value,
                "an instance row must name the display class of its field");
  return {name, &Class::operations, offset};
}

#define VELKOR_INSTANCE(name, Class) \
  instance<display_class::Class, decltype(Context::name)>(#name, offsetof(Context, name))
constexpr Instance kInstances[] = {
    VELKOR_INSTANCE(ExecutionAnimation, Animation),
    VELKOR_INSTANCE(ToggleButton, Toggle),
    VELKOR_INSTANCE(ToggleButton_1, Toggle),
    VELKOR_INSTANCE(ToggleButton_2, Toggle),
    VELKOR_INSTANCE(ToggleButton_3, Toggle),
    VELKOR_INSTANCE(ToggleButton_4, Toggle),
    VELKOR_INSTANCE(ToggleButton_5, Toggle),
    VELKOR_INSTANCE(ToggleButton_6, Toggle),
    VELKOR_INSTANCE(ToggleButton_7, Toggle),
    VELKOR_INSTANCE(RegisterScrollPanel, ScrollPanel),
    VELKOR_INSTANCE(ExecButton, Push),
    VELKOR_INSTANCE(DisasmButton, Push),
    VELKOR_INSTANCE(SpeedRadioBox, Radio),
    VELKOR_INSTANCE(Gauge, Gauge),
    VELKOR_INSTANCE(MemoryMultiColumn, Table),
    VELKOR_INSTANCE(PopUpPanel, PopUp),
    VELKOR_INSTANCE(ROMSaveButton, Push),
    VELKOR_INSTANCE(ROMLoadButton, Push),
    VELKOR_INSTANCE(SlotComboBox, Combo),
    VELKOR_INSTANCE(InstruktionenPopUpPanel, PopUp),
    VELKOR_INSTANCE(InstructionFormatComboBox, Combo),
    VELKOR_INSTANCE(DualOperationComboBox, Combo),
    VELKOR_INSTANCE(Single_OperationComboBox, Combo),
    VELKOR_INSTANCE(Jump_OperationComboBox, Combo),
    VELKOR_INSTANCE(Slider, Slider),
    VELKOR_INSTANCE(Emulated_OperationComboBox, Combo),
    VELKOR_INSTANCE(SRegAdrComboBox, Combo),
    VELKOR_INSTANCE(SRegComboBox, Combo),
    VELKOR_INSTANCE(IndexAdrImmediateTextEditBox, Edit),
    VELKOR_INSTANCE(DRegAdrComboBox, Combo),
    VELKOR_INSTANCE(DRegComboBox, Combo),
    VELKOR_INSTANCE(IndexAdrImmediateTextEditBox_1, Edit),
    VELKOR_INSTANCE(ShotCut1Button, Push),
    VELKOR_INSTANCE(ShotCut2Button, Push),
    VELKOR_INSTANCE(ShotCut3Button, Push),
    VELKOR_INSTANCE(CheckButton, Check),
    VELKOR_INSTANCE(MemoryMultiColumn_1, Table),
    VELKOR_INSTANCE(RAMPopUpPanel, PopUp),
    VELKOR_INSTANCE(RAMPushButton, Push),
    VELKOR_INSTANCE(RAMTextEditBox, Edit),
    VELKOR_INSTANCE(SaveButton, Push),
    VELKOR_INSTANCE(MaschinencodeToggleButton, Toggle),
    VELKOR_INSTANCE(MaschinencodePopUpPanel, PopUp),
    VELKOR_INSTANCE(InstruktionenToggleButton, Toggle),
    VELKOR_INSTANCE(EnableExecToggleButton, Toggle),
    VELKOR_INSTANCE(ResetButton, Push),
    VELKOR_INSTANCE(NMIButton, Push),
    VELKOR_INSTANCE(InfoPopUpPanel, PopUp),
    VELKOR_INSTANCE(RegPopUpPanel, PopUp),
    VELKOR_INSTANCE(RegPushButton, Push),
    VELKOR_INSTANCE(RegTextEditBox, Edit),
    VELKOR_INSTANCE(RegComboBox, Combo),
    VELKOR_INSTANCE(UndoButton, Push),
    VELKOR_INSTANCE(RedoButton, Push),
};
#undef VELKOR_INSTANCE
constexpr int32_t kInstanceCount = sizeof kInstances / sizeof kInstances[0];

void* at(Context* c, const Instance& i) {
  return reinterpret_cast<char*>(c) + i.offset;
}
const void* at(const Context* c, const Instance& i) {
  return reinterpret_cast<const char*>(c) + i.offset;
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
  for (const Instance& i : kInstances) i.operations->init(at(c, i));
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
  for (const Instance& i : kInstances) i.operations->predraw(at(c, i));
}

bool Velkor_symbology_layer_find_widget(const Velkor_symbology_layer_context* context,
                                        const char* name, Velkor_DrawnRect* rect) {
  if (context == nullptr || name == nullptr) return false;
  for (const Instance& i : kInstances) {
    if (strcmp(i.name, name) != 0) continue;
    const Velkor_DrawnRect* r = i.operations->drawnRect(at(context, i));
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
