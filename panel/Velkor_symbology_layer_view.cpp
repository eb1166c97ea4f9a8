// The main view's drawing that is not a widget: the port blocks, the CPU
// block diagram with its buses and the version line, the address unit and
// the register file. Everything is placed in the centred panel frame
// (the register file in its content frame) and drawn with the panel's
// colour, line width, stipple and font indices.
//
// Drawing order matters: the layer draws the ports first, then the register
// file, then this diagram over both; so the diagram fills nothing where the
// port blocks or the register file lie, it only frames them.
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "display/Velkor_FrameShape.h"
#include "graphics/sgl.h"
#include "panel/Velkor_line_stipple_table.h"
#include "panel/Velkor_palette_internal.h"
#include "panel/Velkor_symbology_layer_internal.h"
#include "panel/Velkor_symbology_layer_parts_internal.h"
#include "panel/Velkor_symbology_layer_view_internal.h"
#include "widgets/Focus.h"

namespace {

using Context = Velkor_symbology_layer_context;

// ---- Attributes ---------------------------------------------------------------

constexpr uint32_t kOpaque = 255;
constexpr uint32_t kBusAlpha = 191;
constexpr uint32_t kPointAlpha = 191;
constexpr uint32_t kAddressBoxAlpha = 115;

// Room for a text: every text here is short; the limit only guards the
// drawing library against a cell that lost its terminator.
constexpr int32_t kShortText = 64;

struct Box {
  float x1, y1, x2, y2;
};

// ---- Layout (centred panel frame) -------------------------------------------

// The CPU and its parts.
constexpr Box kCpu = {-634.0f, -381.0f, 178.0f, -62.0f};
constexpr Box kControlUnit = {-560.0f, -104.0f, -330.0f, -70.0f};
constexpr Box kDataPath = {-628.0f, -377.0f, -94.0f, -110.0f};
constexpr Box kSourceOperand = {-606.0f, -188.0f, -486.0f, -160.0f};
constexpr Box kDestinationOperand = {-456.0f, -188.0f, -336.0f, -160.0f};
constexpr Box kAddressUnit = {-84.0f, -377.0f, 100.0f, -70.0f};
constexpr Box kBusInterface = {122.0f, -377.0f, 170.0f, -70.0f};

// The ALU: a V with a notch between its two inputs.
constexpr float kAluTop = -214.0f;
constexpr float kAluBottom = -290.0f;
constexpr float kAluPoints[][2] = {
    {-606.0f, kAluTop}, {-481.0f, kAluTop},    {-471.0f, -228.0f},    {-461.0f, kAluTop},
    {-336.0f, kAluTop}, {-396.0f, kAluBottom}, {-546.0f, kAluBottom},
};
constexpr int32_t kAluPointCount = sizeof kAluPoints / sizeof kAluPoints[0];

// The internal bus along the bottom of the data path, into the register file.
constexpr float kInternalBusY = -344.0f;
constexpr float kInternalBusLeft = -620.0f;
constexpr float kInternalBusRight = -297.0f;
constexpr float kInternalBusFeedLeft = -618.0f;
constexpr float kInternalBusFeedRight = -324.0f;

// The memory buses, from the bus interface to the right edge, and where
// the memories and ports hang on them (a dot marks a connection; a line
// that crosses a bus without a dot is not connected to it).
constexpr float kBusWidth = 16.0f;
constexpr float kAddressBusY = -80.0f;
constexpr float kDataBusY = -114.0f;
constexpr float kBusStart = 170.0f;
constexpr float kBusEnd = 637.0f;
constexpr float kRomStubX[2] = {210.0f, 226.0f};  // address, data
constexpr float kRamStubX[2] = {470.0f, 486.0f};
constexpr float kMemoryBottom = 91.0f;
constexpr float kPortTop = -150.0f;

// The ports.
constexpr Box kPort1 = {184.0f, -378.0f, 350.0f, -150.0f};
constexpr Box kPort2 = {360.0f, -306.0f, 636.0f, -150.0f};
constexpr float kPortTitleDrop = 20.0f;
constexpr float kPortRowY[3] = {-192.0f, -212.0f, -232.0f};
constexpr float kPortCellOffset = 96.0f;  // from the block's left edge
constexpr Box kPlate = {250.0f, -370.0f, 340.0f, -250.0f};

// The seven-segment display, bit 0 first: each bar from one end to the other.
struct Segment {
  float x1, y1, x2, y2;
};
constexpr Segment kSevenSegments[7] = {
    {280.0f, -266.0f, 310.0f, -266.0f},  // 0 top
    {317.0f, -273.0f, 317.0f, -303.0f},  // 1 upper right
    {317.0f, -317.0f, 317.0f, -347.0f},  // 2 lower right
    {280.0f, -354.0f, 310.0f, -354.0f},  // 3 bottom
    {273.0f, -317.0f, 273.0f, -347.0f},  // 4 lower left
    {273.0f, -273.0f, 273.0f, -303.0f},  // 5 upper left
    {280.0f, -310.0f, 310.0f, -310.0f},  // 6 middle
};
constexpr float kPointX = 328.0f;
constexpr float kPointY = -354.0f;
constexpr float kPointRadius = 4.0f;

// The version line, right-aligned in the area the info hover tests.
constexpr Box kVersionArea = {357.0f, -373.0f, 619.0f, -350.0f};
const char kVersionText[] = "Velkor 1.0 - Hinweise: Zeiger hierher";

// The address unit: the source group below the title, the destination
// group 120 lower; offsets inside a group from its top-left corner.
constexpr float kAddressGroupX = -78.0f;
constexpr float kAddressSourceTop = -104.0f;
constexpr float kAddressDestinationDrop = 120.0f;

// The register file (content frame).
constexpr float kRegisterLabelRight = 90.0f;
constexpr float kRegisterBoxLeft = 96.0f;
constexpr float kRegisterFirstBox = kRegisterContentHeight - 52.0f;
constexpr float kRegisterRowStep = 30.0f;
constexpr float kRegisterGroupGap = 52.0f;  // the second heading between R3 and R4
constexpr float kRegisterHeadingX = 8.0f;

constexpr const char* kRegisterLabels[kRegisterCount] = {
    "R0/PC:", "R1/SP:", "R2/SR/CG1:", "R3/CG2:", "R4:",  "R5:",  "R6:",  "R7:",
    "R8:",    "R9:",    "R10:",       "R11:",    "R12:", "R13:", "R14:", "R15:",
};
constexpr int32_t kSpecialRegisterCount = 4;

constexpr const char* kAddressRegisterNames[16] = {
    "(PC+2)", "(SP)", "(SR)",  "(R3)",  "(R4)",  "(R5)",  "(R6)",  "(R7)",
    "(R8)",   "(R9)", "(R10)", "(R11)", "(R12)", "(R13)", "(R14)", "(R15)",
};

// ---- Drawing helpers ------------------------------------------------------------

void set_line(int32_t color, int32_t width, int32_t stipple) {
  sglIndexColori(color);
  sglTransparency8(kOpaque);
  sglIndexLineWidthi(width);
  sglIndexLineStipplei(stipple);
}

void fill_box(const Box& b, int32_t color, uint32_t alpha) {
  sglIndexColori(color);
  sglTransparency8(alpha);
  sglBegin(SGL_PRIMITIVE_POLYGON);
  sglVertex2f(b.x1, b.y1);
  sglVertex2f(b.x2, b.y1);
  sglVertex2f(b.x2, b.y2);
  sglVertex2f(b.x1, b.y2);
  sglEnd();
  sglTransparency8(kOpaque);
}

void outline_box(const Box& b, int32_t color, int32_t width) {
  set_line(color, width, kVelkorStippleSolid);
  sglBegin(SGL_PRIMITIVE_LINE_LOOP);
  sglVertex2f(b.x1, b.y1);
  sglVertex2f(b.x2, b.y1);
  sglVertex2f(b.x2, b.y2);
  sglVertex2f(b.x1, b.y2);
  sglEnd();
}

void line(float x1, float y1, float x2, float y2) {
  sglBegin(SGL_PRIMITIVE_SEGMENTS);
  sglVertex2f(x1, y1);
  sglVertex2f(x2, y2);
  sglEnd();
}

void write(float x, float y, const char* text, int32_t font, int32_t color, uint32_t horizontal,
           uint32_t vertical) {
  sglIndexColori(color);
  sglTransparency8(kOpaque);
  sglIndexFonti(font);
  sglSetTextAlignment(horizontal, vertical);
  sgluWriteText(x, y, text, kShortText);
}

// A labelled block: filled, framed, its name centred.
void block(const Box& b, int32_t fill, int32_t edge, const char* name, int32_t font,
           int32_t text_color) {
  fill_box(b, fill, kOpaque);
  outline_box(b, edge, kLineThin);
  write((b.x1 + b.x2) / 2.0f, (b.y1 + b.y2) / 2.0f, name, font, text_color, kAlignCentre,
        kAlignCentre);
}

// A filled triangle pointing from (fx, fy) towards (tx, ty), its tip at the
// target: the head of an arrow along an axis.
void arrow_head(float fx, float fy, float tx, float ty, float size) {
  const float dx = tx > fx ? 1.0f : (tx < fx ? -1.0f : 0.0f);
  const float dy = ty > fy ? 1.0f : (ty < fy ? -1.0f : 0.0f);
  const float bx = tx - dx * size;
  const float by = ty - dy * size;
  sglBegin(SGL_PRIMITIVE_POLYGON);
  sglVertex2f(tx, ty);
  sglVertex2f(bx - dy * size * 0.6f, by + dx * size * 0.6f);
  sglVertex2f(bx + dy * size * 0.6f, by - dx * size * 0.6f);
  sglEnd();
}

// An axis-aligned arrow in the current colour.
void arrow(float x1, float y1, float x2, float y2) {
  line(x1, y1, x2, y2);
  arrow_head(x1, y1, x2, y2, 6.0f);
}

// A bus: a bar with an arrowhead at both ends (data flows both ways), filled
// half-transparent so that what runs under it stays visible, outlined solid
// or dotted. Along x or along y only.
void bus(float x1, float y1, float x2, float y2, float width, int32_t fill, int32_t edge,
         int32_t stipple) {
  const float dx = x2 > x1 ? 1.0f : (x2 < x1 ? -1.0f : 0.0f);
  const float dy = y2 > y1 ? 1.0f : (y2 < y1 ? -1.0f : 0.0f);
  const float nx = -dy;
  const float ny = dx;
  const float half = width / 2.0f;
  const float head = half + 5.0f;
  const float length = 10.0f;
  const float points[10][2] = {
      {x1, y1},
      {x1 + dx * length + nx * head, y1 + dy * length + ny * head},
      {x1 + dx * length + nx * half, y1 + dy * length + ny * half},
      {x2 - dx * length + nx * half, y2 - dy * length + ny * half},
      {x2 - dx * length + nx * head, y2 - dy * length + ny * head},
      {x2, y2},
      {x2 - dx * length - nx * head, y2 - dy * length - ny * head},
      {x2 - dx * length - nx * half, y2 - dy * length - ny * half},
      {x1 + dx * length - nx * half, y1 + dy * length - ny * half},
      {x1 + dx * length - nx * head, y1 + dy * length - ny * head},
  };
  // The outline is concave at the heads: ear clipping fills it exactly.
  sglEnable(SGL_TESSELLATION);
  sglIndexColori(fill);
  sglTransparency8(kBusAlpha);
  sglBegin(SGL_PRIMITIVE_POLYGON);
  for (const auto& p : points) sglVertex2f(p[0], p[1]);
  sglEnd();
  sglDisable(SGL_TESSELLATION);
  set_line(edge, kLineThin, stipple);
  sglBegin(SGL_PRIMITIVE_LINE_LOOP);
  for (const auto& p : points) sglVertex2f(p[0], p[1]);
  sglEnd();
  sglIndexLineStipplei(kVelkorStippleSolid);
}

// The width mark of a horizontal bus: a slash across it and its bit count.
void bus_width_mark(float x, float y) {
  set_line(kColorWhite, kLineThin, kVelkorStippleSolid);
  line(x - 5.0f, y - kBusWidth / 2.0f - 3.0f, x + 5.0f, y + kBusWidth / 2.0f + 3.0f);
  write(x + 6.0f, y + kBusWidth / 2.0f + 2.0f, "16", kFontSmall, kColorWhite, kAlignLeft,
        kAlignBottom);
}

// A device hung on a bus: a line from the bus's middle to the device with a
// dot where it joins the bus and a head at the device.
void bus_tap(float x, float bus_y, float device_y, int32_t color) {
  set_line(color, kLineFrame, kVelkorStippleSolid);
  arrow(x, bus_y, x, device_y);
  sgluArcSector2f(x, bus_y, 3.5f, 0.0f, 360.0f, 0, 1);
}

// ---- The CPU block diagram ---------------------------------------------------

void draw_cpu_frame() {
  outline_box(kCpu, kColorGrey, kLineFrame);
  write(kCpu.x1 + 8.0f, kControlUnit.y1 + 4.0f, "CPU", kFontLabel, kColorWhite, kAlignLeft,
        kAlignBottom);
  block(kControlUnit, kColorControl, kColorInternalBus, "Steuerwerk", kFontLabel, kColorWhite);
}

void draw_alu() {
  sglEnable(SGL_TESSELLATION);
  sglIndexColori(kColorAlu);
  sglTransparency8(kOpaque);
  sglBegin(SGL_PRIMITIVE_POLYGON);
  for (const auto& p : kAluPoints) sglVertex2f(p[0], p[1]);
  sglEnd();
  sglDisable(SGL_TESSELLATION);
  set_line(kColorAluEdge, kLineThin, kVelkorStippleSolid);
  sglBegin(SGL_PRIMITIVE_LINE_LOOP);
  for (int32_t i = 0; i < kAluPointCount; ++i) sglVertex2f(kAluPoints[i][0], kAluPoints[i][1]);
  sglEnd();
  write(-471.0f, (kAluTop + kAluBottom) / 2.0f - 6.0f, "ALU", kFontLabel, kColorWhite, kAlignCentre,
        kAlignCentre);
}

void draw_data_path() {
  // Only the outline: the register file lies inside and is drawn before.
  outline_box(kDataPath, kColorInternalBus, kLineThin);
  write(kDataPath.x1 + 8.0f, kDataPath.y2 - 20.0f, "Operationswerk", kFontLabel, kColorCream,
        kAlignLeft, kAlignBottom);
  write(kDataPath.x2 - 6.0f, kDataPath.y2 - 20.0f, "Register", kFontLabel, kColorCream, kAlignRight,
        kAlignBottom);

  block(kSourceOperand, kColorDataBus, kColorControl, "Quell-Operand", kFontSmall, kColorBlack);
  block(kDestinationOperand, kColorDataBus, kColorControl, "Ziel-Operand", kFontSmall, kColorBlack);
  draw_alu();

  // Operands into the ALU, its result down onto the internal bus.
  set_line(kColorWhite, kLineThin, kVelkorStippleSolid);
  const float source_x = -546.0f;
  const float destination_x = -396.0f;
  arrow(source_x, kSourceOperand.y1, source_x, kAluTop);
  arrow(destination_x, kDestinationOperand.y1, destination_x, kAluTop);
  arrow(-471.0f, kAluBottom, -471.0f, kInternalBusY + kBusWidth / 2.0f);

  // The internal bus, and its feeds up into both operand latches.
  bus(kInternalBusLeft, kInternalBusY, kInternalBusRight, kInternalBusY, kBusWidth,
      kColorInternalBus, kColorControl, kVelkorStippleSolid);
  write(-560.0f, kInternalBusY, "Interner Bus", kFontSmall, kColorBlack, kAlignCentre,
        kAlignCentre);
  bus_width_mark(-380.0f, kInternalBusY);
  set_line(kColorInternalBus, kLineFrame, kVelkorStippleSolid);
  const float feed_top = (kSourceOperand.y1 + kSourceOperand.y2) / 2.0f;
  const float feed_bottom = kInternalBusY + kBusWidth / 2.0f;
  sglBegin(SGL_PRIMITIVE_LINE_STRIP);
  sglVertex2f(kInternalBusFeedLeft, feed_bottom);
  sglVertex2f(kInternalBusFeedLeft, feed_top);
  sglVertex2f(kSourceOperand.x1 - 1.0f, feed_top);
  sglEnd();
  arrow_head(kInternalBusFeedLeft, feed_top, kSourceOperand.x1, feed_top, 6.0f);
  sglBegin(SGL_PRIMITIVE_LINE_STRIP);
  sglVertex2f(kInternalBusFeedRight, feed_bottom);
  sglVertex2f(kInternalBusFeedRight, feed_top);
  sglVertex2f(kDestinationOperand.x2 + 1.0f, feed_top);
  sglEnd();
  arrow_head(kInternalBusFeedRight, feed_top, kDestinationOperand.x2, feed_top, 6.0f);
}

void draw_address_unit_frame() {
  fill_box(kAddressUnit, kColorAddressUnit, kOpaque);
  outline_box(kAddressUnit, kColorGrey, kLineThin);
  write(-67.0f, kAddressUnit.y2 - 22.0f, "Adresswerk", kFontLabel, kColorWhite, kAlignLeft,
        kAlignBottom);
}

void draw_bus_interface() {
  fill_box(kBusInterface, kColorInterface, kOpaque);
  outline_box(kBusInterface, kColorGrey, kLineThin);
  // Written upwards along the tall strip, where it fits on one line.
  sglPushMatrix();
  sglTranslatef((kBusInterface.x1 + kBusInterface.x2) / 2.0f,
                (kBusInterface.y1 + kBusInterface.y2) / 2.0f);
  sglRotatef(90.0f);
  write(0.0f, 0.0f, "Busschnitt-stelle", kFontLabel, kColorWhite, kAlignCentre, kAlignCentre);
  sglPopMatrix();
  // Addresses leave through the interface.
  set_line(kColorWhite, kLineThin, kVelkorStippleSolid);
  arrow(kAddressUnit.x2, -150.0f, kBusInterface.x1, -150.0f);
}

void draw_memory_buses() {
  bus(kBusStart, kAddressBusY, kBusEnd, kAddressBusY, kBusWidth, kColorAddressBus, kColorAddressBus,
      kVelkorStippleDotted);
  bus(kBusStart, kDataBusY, kBusEnd, kDataBusY, kBusWidth, kColorDataBus, kColorControl,
      kVelkorStippleSolid);
  for (const float* xs : {kRomStubX, kRamStubX}) {
    bus_tap(xs[0], kAddressBusY, kMemoryBottom - 1.0f, kColorAddressBus);
    bus_tap(xs[1], kDataBusY, kMemoryBottom - 1.0f, kColorDataBus);
    bus_tap(xs[0], kAddressBusY, kPortTop + 1.0f, kColorAddressBus);
    bus_tap(xs[1], kDataBusY, kPortTop + 1.0f, kColorDataBus);
  }
  write(kRomStubX[1] + 12.0f, kAddressBusY + kBusWidth / 2.0f + 4.0f,
        "Adressbus (Memory Adress Bus, MAB)", kFontSmall, kColorCream, kAlignLeft, kAlignBottom);
  write(kRomStubX[1] + 12.0f, kDataBusY - kBusWidth / 2.0f - 16.0f,
        "Datenbus (Memory Data Bus, MDB)", kFontSmall, kColorCream, kAlignLeft, kAlignBottom);
  bus_width_mark(kRamStubX[1] + 40.0f, kAddressBusY);
  bus_width_mark(kRamStubX[1] + 40.0f, kDataBusY);
}

void draw_version_line(Context* c) {
  write(kVersionArea.x2 - 2.0f, kVersionArea.y1 + 6.0f, kVersionText, kFontSmall, kColorCream,
        kAlignRight, kAlignBottom);
  sglPushMatrixAndTranslate(kVersionArea.x1, kVersionArea.y1);
  Velkor_RecordDrawnRect(kVersionArea.x2 - kVersionArea.x1, kVersionArea.y2 - kVersionArea.y1,
                         &c->versionRect);
  sglPopMatrixAndTranslate();
}

// ---- The ports ----------------------------------------------------------------

void draw_port_block(const Box& b, const char* title, const char* const labels[3], const Context* c,
                     int32_t first_cell) {
  fill_box(b, kColorPopUpFill, kOpaque);
  outline_box(b, kColorGrey, kLineThin);
  write(b.x1 + 8.0f, b.y2 - kPortTitleDrop, title, kFontLabel, kColorWhite, kAlignLeft,
        kAlignBottom);
  for (int32_t i = 0; i < 3; ++i) {
    write(b.x1 + 8.0f, kPortRowY[i], labels[i], kFontSmall, kColorCream, kAlignLeft, kAlignBottom);
    write(b.x1 + kPortCellOffset, kPortRowY[i], c->ports[first_cell + i], kFontSmall,
          kColorPortText, kAlignLeft, kAlignBottom);
  }
}

void draw_seven_segments(const Context* c) {
  fill_box(kPlate, kColorPlate, kOpaque);
  outline_box(kPlate, kColorGrey, kLineThin);
  for (int32_t bit = 0; bit < 7; ++bit) {
    const Segment& s = kSevenSegments[bit];
    set_line(c->p1Output[bit] ? kColorLit : kColorGrey, kLineSegment, kVelkorStippleSolid);
    line(s.x1, s.y1, s.x2, s.y2);
  }
  sglIndexColori(c->p1Output[7] ? kColorLit : kColorGrey);
  sglTransparency8(kPointAlpha);
  sgluArcSector2f(kPointX, kPointY, kPointRadius, 0.0f, 360.0f, 0, 1);
  sglTransparency8(kOpaque);
  set_line(kColorWhite, kLineThin, kVelkorStippleSolid);
}

void draw_p2_switches(Context* c, uint32_t pass) {
  Velkor_ToggleButton* switches[8] = {
      &c->ToggleButton,   &c->ToggleButton_1, &c->ToggleButton_2, &c->ToggleButton_3,
      &c->ToggleButton_4, &c->ToggleButton_5, &c->ToggleButton_6, &c->ToggleButton_7,
  };
  static const char* const kBitNames[8] = {"0", "1", "2", "3", "4", "5", "6", "7"};
  write(kPort2.x1 + 8.0f, kP2SwitchBottom + 8.0f, "P2IN:", kFontSmall, kColorCream, kAlignLeft,
        kAlignBottom);
  for (int32_t bit = 7; bit >= 0; --bit) {
    float x = 0.0f;
    float y = 0.0f;
    Velkor_view_p2_switch_origin(bit, &x, &y);
    const float side = kP2SwitchSize * kP2SwitchScale;
    write(x + side / 2.0f, y + side + 4.0f, kBitNames[bit], kFontSmall, kColorGrey, kAlignCentre,
          kAlignBottom);
    Velkor_ToggleButton* t = switches[7 - bit];
    t->width = kP2SwitchSize;
    t->height = kP2SwitchSize;
    t->label = "1";
    t->label2 = "0";
    t->frameStyle = kVelkorCornerRoundEnds;
    t->pass = 0;
    sglPushMatrix();
    sglTranslatef(x, y);
    sglScalef(kP2SwitchScale, kP2SwitchScale);
    Velkor_ToggleButton_draw(t, pass);
    sglPopMatrix();
    c->p2Input[bit] = t->state ? 1 : 0;
  }
  write(kPort2.x1 + 8.0f, kP2SwitchBottom + kP2SwitchSize * kP2SwitchScale + 4.0f, "Bit",
        kFontSmall, kColorGrey, kAlignLeft, kAlignBottom);
}

// ---- The address unit ----------------------------------------------------------

// One operand's address: heading, base (register) + index, the rule, and
// the resulting address in a red box.
void draw_address_group(float top, const char* heading, uint32_t mode, const char* base,
                        const char* index, const char* address, const char* reg, bool with_index) {
  const float x = kAddressGroupX;
  write(x, top - 16.0f, heading, kFontSmall, kColorCream, kAlignLeft, kAlignBottom);
  const float base_y = top - 36.0f;
  const float index_y = top - 56.0f;
  const float box_bottom = top - 88.0f;
  const float box_top = top - 68.0f;
  if (with_index) {
    if (mode < kModeIndirect) {
      write(x + 20.0f, base_y, base, kFontSmall, kColorCream, kAlignLeft, kAlignBottom);
      write(x + 80.0f, base_y, reg, kFontSmall, kColorCream, kAlignLeft, kAlignBottom);
    }
    write(x + 4.0f, index_y, "+", kFontSmall, kColorCream, kAlignLeft, kAlignBottom);
    write(x + 20.0f, index_y, index, kFontSmall, kColorCream, kAlignLeft, kAlignBottom);
    write(x + 80.0f, index_y, "(Index)", kFontSmall, kColorCream, kAlignLeft, kAlignBottom);
    set_line(kColorCream, kLineThin, kVelkorStippleSolid);
    line(x + 16.0f, index_y - 5.0f, x + 74.0f, index_y - 5.0f);
  }
  fill_box({x + 14.0f, box_bottom, x + 76.0f, box_top}, kColorRed, kAddressBoxAlpha);
  write(x + 45.0f, (box_bottom + box_top) / 2.0f, address, kFontSmall, kColorWhite, kAlignCentre,
        kAlignCentre);
  write(x + 80.0f, box_bottom + 5.0f, "Adresse", kFontSmall, kColorCream, kAlignLeft, kAlignBottom);
  // Without a base line the register the address came from stands beside it.
  if (!with_index || mode >= kModeIndirect) {
    write(x + 128.0f, box_bottom + 5.0f, reg, kFontSmall, kColorCream, kAlignLeft, kAlignBottom);
  }
}

// ---- The register file ---------------------------------------------------------

void draw_register_row(Context* c, int32_t reg) {
  float x = 0.0f;
  float y = 0.0f;
  Velkor_view_register_box(reg, &x, &y);
  const Box box = {x, y, x + kRegisterBoxWidth, y + kRegisterBoxHeight};
  fill_box(box, reg < kSpecialRegisterCount ? kColorLit : kColorGeneralRegister, kOpaque);
  const int32_t frame = c->registerHighlight[reg];
  if (frame >= 0) outline_box(box, frame, kLineFrame);
  write(kRegisterLabelRight, y + kRegisterBoxHeight / 2.0f, kRegisterLabels[reg], kFontSmall,
        kColorCream, kAlignRight, kAlignCentre);
  write(x + kRegisterBoxWidth / 2.0f, y + kRegisterBoxHeight / 2.0f, c->registers[reg], kFontLabel,
        kColorBlack, kAlignCentre, kAlignCentre);
  // The hover test sees the box where it is drawn, cut to the scrolled view.
  if (c->continuousExecution || !Velkor_register_editable(reg)) {
    c->registerHover[reg] = 0;
    return;
  }
  sglPushMatrixAndTranslate(x, y);
  c->registerHover[reg] = Velkor_PointerHover(kRegisterBoxWidth, kRegisterBoxHeight);
  sglPopMatrixAndTranslate();
}

}  // namespace

// ---- Placement ------------------------------------------------------------------

bool Velkor_view_register_box(int32_t reg, float* x, float* y) {
  if (reg < 0 || reg >= kRegisterCount) return false;
  float top = kRegisterFirstBox - kRegisterRowStep * static_cast<float>(reg);
  if (reg >= kSpecialRegisterCount) top -= kRegisterGroupGap - kRegisterRowStep;
  if (x != nullptr) *x = kRegisterBoxLeft;
  if (y != nullptr) *y = top;
  return true;
}

const char* Velkor_view_address_register_name(uint32_t reg, uint8_t afterSourceWord) {
  if (reg == 0 && afterSourceWord) return "(PC+4)";
  return reg < 16 ? kAddressRegisterNames[reg] : kAddressRegisterNames[15];
}

bool Velkor_view_p2_switch_origin(int32_t bit, float* x, float* y) {
  if (bit < 0 || bit > 7) return false;
  if (x != nullptr) *x = kP2SwitchLeft + kP2SwitchStep * static_cast<float>(7 - bit);
  if (y != nullptr) *y = kP2SwitchBottom;
  return true;
}

// ---- The drawing units the layer calls ------------------------------------------

void Velkor_view_draw_ports(Velkor_symbology_layer_context* c, uint32_t pass) {
  if (c == nullptr) return;
  if (pass == 0) {
    // The focus holder's liveness, counted down once per frame before any
    // widget of the frame steps (the ports come first). A holder that is
    // drawn sets it back when it steps; one that is no longer drawn - a
    // value box whose pop-up a press closed while it was editing, and so
    // still asking for the focus - stops blocking the others after two
    // frames. Without it no other widget could take the focus again, and
    // the switches and buttons would stay deaf for the rest of the run.
    ManageGlobalFocus(0, 0, 0, 0, nullptr, nullptr);
  }
  const uint32_t masks = sglGetActiveMasks();
  static const char* const kP1Labels[3] = {"P1IN (0x20):", "P1OUT (0x21):", "P1DIR (0x22):"};
  static const char* const kP2Labels[3] = {"P2IN (0x28):", "P2OUT (0x29):", "P2DIR (0x2A):"};
  draw_port_block(kPort1, "Peripherie (Port P1)", kP1Labels, c, 0);
  draw_seven_segments(c);
  draw_port_block(kPort2, "Peripherie (Port P2)", kP2Labels, c, 4);
  draw_p2_switches(c, pass);
  sglSetActiveMasks(masks);
}

void Velkor_view_draw_block_diagram(Velkor_symbology_layer_context* c) {
  if (c == nullptr) return;
  draw_cpu_frame();
  draw_data_path();
  draw_address_unit_frame();
  draw_bus_interface();
  draw_memory_buses();
  draw_version_line(c);
  sglIndexLineStipplei(kVelkorStippleSolid);
}

void Velkor_view_draw_address_unit(Velkor_symbology_layer_context* c) {
  if (c == nullptr) return;
  if (c->showSourceAddress) {
    draw_address_group(kAddressSourceTop, "Quelloperand:", c->sourceMode, c->sourceBaseText,
                       c->sourceIndexText, c->sourceAddressText,
                       Velkor_view_address_register_name(c->sourceAddressRegister, 0),
                       c->sourceMode < kModeIndirect);
  }
  if (c->showDestinationAddress) {
    draw_address_group(kAddressSourceTop - kAddressDestinationDrop,
                       "Zieloperand:", c->destinationMode, c->destinationBaseText,
                       c->destinationIndexText, c->destinationAddressText,
                       Velkor_view_address_register_name(c->destinationAddressRegister,
                                                         c->destinationAfterSourceWord),
                       true);
  }
}

void Velkor_symbology_layer_drawChildren_RegisterScrollPanel(void* context, uint32_t pass,
                                                             int32_t child, uint32_t childPass) {
  if (context == nullptr || pass != childPass || child >= 1) return;
  Context* c = static_cast<Context*>(context);
  const uint32_t masks = sglGetActiveMasks();
  // A dark ground under the whole content, so that the cream labels read.
  fill_box({0.0f, 0.0f, kRegisterContentWidth, kRegisterContentHeight}, kColorPopUpFill, kOpaque);
  write(kRegisterHeadingX, kRegisterFirstBox + kRegisterBoxHeight + 8.0f,
        "Spezielle Register:", kFontLabel, kColorCream, kAlignLeft, kAlignBottom);
  float x = 0.0f;
  float y = 0.0f;
  Velkor_view_register_box(kSpecialRegisterCount, &x, &y);
  write(kRegisterHeadingX, y + kRegisterBoxHeight + 10.0f, "Allzweck-Register:", kFontLabel,
        kColorCream, kAlignLeft, kAlignBottom);
  for (int32_t reg = 0; reg < kRegisterCount; ++reg) {
    sglSetActiveMasks(masks);
    draw_register_row(c, reg);
  }
  sglSetActiveMasks(masks);
}
