// Nothing is allocated per frame by the whole program: after its first
// frame, 1,000 frames of the velkor program drawn by the host off-screen -
// the idle start screen; the instruction pop-up zoomed with continuous
// execution at "Fast"; a pop-up open with a table scrolled - and the input
// posted into the host's queues for them, call malloc, calloc, realloc or
// operator new from no code of ours. Everything of ours (host, panel, core,
// display classes, behaviours, drawing library) is linked into this
// executable, so an allocation counts when its caller lies in the
// executable's image; the OpenGL driver's bookkeeping lives in shared
// libraries and does not count.
#include <gtest/gtest.h>

#include "tests/support/allocation_counter.h"

#include <atomic>
#include <cstdlib>
#include <new>

#include <dlfcn.h>

#include "app/Velkor_application.h"
#include "host/host_application.h"
#include "panel/Velkor_symbology_layer.h"

namespace {

void* volatile probe_sink = nullptr;
int* volatile number_sink = nullptr;

constexpr uint32_t kDown = 1;
constexpr uint32_t kUp = 2;
constexpr uint32_t kLeftButton = 1;
constexpr uint32_t kWheelBackward = 5;

struct Program {
  Application* app;
  Velkor_symbology_layer_context* c;
  int frames;
};

void frame(Program* p) {
  Application_Draw(p->app);
  ++p->frames;
}

// Moves onto a widget drawn in the last frame, at the height `up` (0 its
// bottom edge, 1 its top edge), across the middle.
bool point_at(Program* p, const char* widget, float up = 0.5f) {
  Velkor_DrawnRect rect{};
  if (!Velkor_symbology_layer_find_widget(p->c, widget, &rect)) return false;
  Application_PostMousePosition(p->app, rect.x + rect.width / 2, rect.y + rect.height * up);
  return true;
}

bool click(Program* p, const char* widget, float up = 0.5f) {
  if (!point_at(p, widget, up)) return false;
  Application_PostMouseButton(p->app, kLeftButton, kDown, 0);
  frame(p);
  Application_PostMouseButton(p->app, kLeftButton, kUp, 0);
  frame(p);
  return true;
}

void frames_until(Program* p, int count) {
  while (p->frames < count) frame(p);
}

TEST(WholeProgram, ThousandFramesAcrossThreeScenesAllocateNothing) {
  if (VELKOR_TEST_UNDER_ASAN) GTEST_SKIP() << "AddressSanitizer owns malloc and operator new";
  Program p{Application_Allocate(&g_application_data, "velkor"), nullptr, 0};
  ASSERT_NE(nullptr, p.app);
  Application_UseSystemEvents(p.app, 1);
  ASSERT_NE(nullptr, Application_CreateBuffer(p.app));
  Application_Reset(p.app);
  p.c = static_cast<Velkor_symbology_layer_context*>(Application_GetLayerContext(p.app, 0));
  ASSERT_NE(nullptr, p.c);
  Application_Draw(p.app);  // the first frame places the widgets
  own_image();              // settled before counting starts
  counting = true;
  probe_sink = std::malloc(16);
  number_sink = new int(3);
  counting = false;
  std::free(probe_sink);
  delete number_sink;
  ASSERT_EQ(2, allocations.load());
  allocations = 0;

  counting = true;
  // Idle start screen.
  frames_until(&p, 333);
  // Continuous execution at "Fast", then the instruction pop-up zoomed.
  // The speed box lists its three items top-down; "Fast" is the lowest.
  const bool fast_clicked = click(&p, "SpeedRadioBox", 1.0f / 6.0f);
  const bool run_clicked = click(&p, "EnableExecToggleButton");
  const bool zoom_clicked = click(&p, "InstruktionenToggleButton");
  frames_until(&p, 666);
  const uint8_t zoomed = p.c->instructionSetZoom;
  const uint8_t running = p.c->continuousExecution;
  const uint32_t speed = p.c->speed;
  // Back to the main view, stopped; the ROM table scrolled by the wheel and
  // the RAM pop-up opened from a RAM byte.
  const bool unzoom_clicked = click(&p, "InstruktionenToggleButton");
  const bool stop_clicked = click(&p, "EnableExecToggleButton");
  const bool over_rom = point_at(&p, "MemoryMultiColumn");
  for (int notch = 0; notch < 6; ++notch) {
    Application_PostMouseButton(p.app, kWheelBackward, kDown, 0);
    frame(&p);
  }
  const int32_t rom_first_row = p.c->MemoryMultiColumn.firstRow;
  const bool ram_clicked = click(&p, "MemoryMultiColumn_1");
  frames_until(&p, 1000);
  counting = false;

  EXPECT_EQ(0, allocations.load());
  EXPECT_EQ(1000, p.frames);
  // The scenes were the ones meant.
  EXPECT_TRUE(fast_clicked && run_clicked && zoom_clicked && unzoom_clicked && stop_clicked &&
              over_rom && ram_clicked);
  EXPECT_EQ(1, zoomed);
  EXPECT_EQ(1, running);
  EXPECT_EQ(static_cast<uint32_t>(kSpeedFast), speed);
  EXPECT_NE(0, rom_first_row + (p.c->MemoryMultiColumn.firstRow != rom_first_row));
  EXPECT_TRUE(p.c->RAMPopUpPanel.open || p.c->PopUpPanel.open || p.c->RegPopUpPanel.open ||
              p.c->InfoPopUpPanel.open || p.c->MaschinencodePopUpPanel.open);
  Application_Free(p.app);
}

}  // namespace
