// Nothing is allocated on the drawing path: in 200 frames of the whole panel
// layer, with the pointer clicking over it, no code of ours calls malloc,
// calloc, realloc or operator new.
#include <gtest/gtest.h>

#include "tests/support/allocation_counter.h"

#include <cstdlib>

#include "graphics/sgl.h"
#include "panel/Velkor_color_table.h"
#include "panel/Velkor_font_table.h"
#include "panel/Velkor_line_stipple_table.h"
#include "panel/Velkor_line_width_table.h"
#include "panel/Velkor_symbology_layer_internal.h"
#include "panel/Velkor_texture_table.h"
#include "tests/support/gl_fixture.h"
#include "widgets/Focus.h"
#include "widgets/interactivity_mapping.h"

namespace {

using velkor_test::SglTest;

void* volatile probe_sink = nullptr;
int* volatile number_sink = nullptr;

// Run controls, tables, a register, the version line, the instruction
// thumbnail: each point is visited, then pressed and released.
constexpr float kWalk[][2] = {{103, 578},  {103, 632},  {103, 528},  {1000, 600},
                              {1050, 600}, {1100, 600}, {1150, 600}, {440, 190},
                              {1200, 30},  {500, 620},  {300, 380},  {700, 100}};
constexpr int kWalkLength = sizeof kWalk / sizeof kWalk[0];

// One frame as the host draws it; frame f of the walk moves (f % 4 == 0),
// presses (1), releases (2) or rests (3).
void layer_frame(Velkor_symbology_layer_context* layer, int frame) {
  BHVR_SetAsynchronousACK();
  const KeyboardEvent key{0, 0, 0, 0, 0};
  BHVR_Keyboard(&key);
  const int point = (frame / 4) % kWalkLength;
  const int phase = frame % 4;
  const PointerEvent pointer{0,
                             kWalk[point][0],
                             kWalk[point][1],
                             phase == 1 || phase == 2 ? 1u : 0u,
                             static_cast<uint8_t>(phase == 1),
                             static_cast<uint8_t>(phase == 2),
                             0};
  BHVR_Pointer(&pointer);
  sglReset();
  sglViewport(0, 0, velkor_test::kDisplayWidth, velkor_test::kDisplayHeight);
  sglOrtho(0.0f, 1280.0f, 0.0f, 768.0f);
  Velkor_symbology_layer_predraw(layer);
  for (uint32_t pass = 0; pass < 3; ++pass) Velkor_symbology_layer_draw(layer, pass);
  BHVR_Step();
}

TEST_F(SglTest, TwoHundredLayerFramesAllocateNothing) {
  if (VELKOR_TEST_UNDER_ASAN) GTEST_SKIP() << "AddressSanitizer owns malloc and operator new";
  sglColorPointerf(&Velkor_color_table.rgba[0][0], kVelkorColorCount);
  sglLineWidthPointerf(&Velkor_line_width_table[0][0], kVelkorLineWidthCount);
  sglLineStipplePointer(Velkor_line_stipple_table, kVelkorLineStippleCount);
  sgluLoadFonts(&Velkor_font_table);
  Velkor_texture_table();
  ClearFocus();
  BHVR_ForgetDevices();
  auto* layer = static_cast<Velkor_symbology_layer_context*>(Velkor_symbology_layer_alloc());
  ASSERT_NE(nullptr, layer);
  Velkor_symbology_layer_init(layer);
  layer_frame(layer, 3);  // the first frame registers the widgets' focus order
  own_image();            // settled before counting starts
  counting = true;
  probe_sink = std::malloc(16);
  number_sink = new int(3);
  counting = false;
  std::free(probe_sink);
  delete number_sink;
  ASSERT_EQ(2, allocations.load());
  allocations = 0;

  counting = true;
  for (int frame = 0; frame < 200; ++frame) layer_frame(layer, frame);
  counting = false;
  EXPECT_EQ(0, allocations.load());
  // The walk did reach the machine: FETCH/DECODE and EXECUTE ran.
  EXPECT_STRNE("FF80", layer->registers[0]);
  Velkor_symbology_layer_free(layer);
}

}  // namespace
