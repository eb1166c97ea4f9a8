#include "panel/Velkor_breakpoints.h"

#include <cstdio>
#include <cstdlib>

#include "graphics/sgl.h"
#include "panel/Velkor_palette_internal.h"
#include "widgets/interactivity_mapping.h"

namespace {

constexpr float kRowHeight = 22.0f;  // the tables' row height
constexpr float kDotX = 9.0f;        // from the table's left edge
constexpr float kDotRadius = 4.5f;
// An octagon round the origin, radius 1 (no trigonometry per frame).
constexpr float kOctagon[8][2] = {{1.0f, 0.0f},        {0.7071f, 0.7071f}, {0.0f, 1.0f},
                                  {-0.7071f, 0.7071f}, {-1.0f, 0.0f},      {-0.7071f, -0.7071f},
                                  {0.0f, -1.0f},       {0.7071f, -0.7071f}};

void stop_run(Velkor_symbology_layer_context* c, int32_t row) {
  c->fetchHighlighted = 0;
  c->clickFlag = 0;
  // No tick: the phase does not advance and the animation is not restarted.
  c->animationTick = 0;
  c->continuousExecution = 0;
  c->EnableExecToggleButton.value = 0;
  c->EnableExecToggleButton.load = 1;
  snprintf(c->classroom.breakpointMessage, kBreakpointMessageSize, "Haltepunkt %04X erreicht",
           0xFFFE - 2 * row);
}

}  // namespace

int32_t Velkor_breakpoints_pc_row(const Velkor_symbology_layer_context* c) {
  char* end = nullptr;
  const unsigned long pc = strtoul(c->registers[0], &end, 16);
  if (end == c->registers[0] || pc < 0xFF80 || pc > 0xFFFE || (pc & 1) != 0) return -1;
  return static_cast<int32_t>((0xFFFE - pc) / 2);
}

void Velkor_breakpoints_toggle(Velkor_symbology_layer_context* c, int32_t row) {
  if (row < 0 || row >= kMemoryRowCount) return;
  c->classroom.breakpoints[row] = c->classroom.breakpoints[row] ? 0 : 1;
}

void Velkor_breakpoints_hold(Velkor_symbology_layer_context* c) {
  Velkor_classroom* k = &c->classroom;
  if (c->continuousStart) {
    k->resumeRow = Velkor_breakpoints_pc_row(c);
    k->breakpointMessage[0] = '\0';
  }
  if (c->clickFlag && (c->fetchHighlighted || c->executeHighlighted)) {
    k->breakpointMessage[0] = '\0';
  }
  if (!(c->continuousExecution && c->animationTick && c->phaseFlag == 0)) return;
  const int32_t row = Velkor_breakpoints_pc_row(c);
  const bool resumed = row == k->resumeRow;
  k->resumeRow = -1;
  if (row < 0 || !k->breakpoints[row] || resumed) return;
  stop_run(c, row);
}

void Velkor_breakpoints_right_click(Velkor_symbology_layer_context* c) {
  const Velkor_MultiColumn* t = &c->MemoryMultiColumn;
  uint8_t pressed = 0;
  uint32_t button = 0;
  Velkor_pointer(0, &pressed, nullptr, &button, nullptr, nullptr, nullptr);
  if (!pressed || button != BHVR_RIGHT_BUTTON) return;
  if (!t->hover || t->hoveredRow < 0 || t->hoveredColumn != 0) return;
  Velkor_breakpoints_toggle(c, t->hoveredRow);
  c->clickFlag = 0;
}

void Velkor_breakpoints_draw_marks(const Velkor_symbology_layer_context* c, float x, float y,
                                   float height) {
  const Velkor_MultiColumn* t = &c->MemoryMultiColumn;
  const float top = y + height - kRowHeight;  // below the header row
  sglIndexColori(kColorBreakpoint);
  for (int32_t r = 0; r < t->visibleRows; ++r) {
    const int32_t row = t->firstRow + r;
    if (row < 0 || row >= kMemoryRowCount || !c->classroom.breakpoints[row]) continue;
    const float cy = top - kRowHeight * (static_cast<float>(r) + 0.5f);
    const float cx = x + kDotX;
    sglBegin(SGL_PRIMITIVE_POLYGON);
    for (const auto& p : kOctagon) sglVertex2f(cx + kDotRadius * p[0], cy + kDotRadius * p[1]);
    sglEnd();
  }
}

void Velkor_breakpoints_after_run_toggle(Velkor_symbology_layer_context* c, uint8_t drawn) {
  if (drawn) c->EnableExecToggleButton.load = 0;
}
