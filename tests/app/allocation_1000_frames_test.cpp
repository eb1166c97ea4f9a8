// Nothing is allocated per frame by the whole program: after its first frame,
// 1,000 frames drawn by the host off-screen across three scenes (the idle
// start screen; the instruction pop-up zoomed with continuous execution at
// "Fast"; the ROM table scrolled and a pop-up open), with their input posted
// into the host's queues, allocate nothing from code of this executable;
// with either renderer.
#include <gtest/gtest.h>

#include "tests/support/allocation_counter.h"

#include "app/Velkor_application.h"
#include "host/host_application.h"
#include "panel/Velkor_symbology_layer.h"

namespace {

void* volatile probe_sink = nullptr;
int* volatile number_sink = nullptr;

constexpr uint32_t kDown = 1, kUp = 2, kLeftButton = 1, kWheelForward = 4;

struct Program {
  explicit Program(const ApplicationParams* params) : app(Application_Allocate(params, "velkor")) {}
  Application* app;
  Velkor_symbology_layer_context* c = nullptr;
  int frames = 0;
  bool placed = true;  // every widget pointed at had been drawn

  void Frame() { Application_Draw(app), ++frames; }
  void FramesUntil(int count) {
    while (frames < count) Frame();
  }
  // Onto a widget drawn in the last frame, at the height `up` (0 its bottom
  // edge, 1 its top edge), across the middle.
  void PointAt(const char* widget, float up = 0.5f) {
    Velkor_DrawnRect rect{};
    placed = Velkor_symbology_layer_find_widget(c, widget, &rect) && placed;
    Application_PostMousePosition(app, rect.x + rect.width / 2, rect.y + rect.height * up);
  }
  void Click(const char* widget, float up = 0.5f) {
    PointAt(widget, up);
    Application_PostMouseButton(app, kLeftButton, kDown, 0);
    Frame();
    Application_PostMouseButton(app, kLeftButton, kUp, 0);
    Frame();
  }
};

class WholeProgram : public ::testing::TestWithParam<uint8_t> {};

TEST_P(WholeProgram, ThousandFramesAcrossThreeScenesAllocateNothing) {
  if (VELKOR_TEST_UNDER_ASAN) GTEST_SKIP() << "AddressSanitizer owns malloc and operator new";
  static ApplicationParams params;
  params = g_application_data;
  params.renderer = GetParam();
  Program p(&params);
  ASSERT_NE(nullptr, p.app);
  Application_UseSystemEvents(p.app, 1);
  ASSERT_NE(nullptr, Application_CreateBuffer(p.app));
  Application_Reset(p.app);
  p.c = static_cast<Velkor_symbology_layer_context*>(Application_GetLayerContext(p.app, 0));
  ASSERT_NE(nullptr, p.c);
  Application_Draw(p.app);  // the first frame places the widgets
  own_image();              // settled before counting starts
  // The counter sees allocations of this executable.
  counting = true;
  probe_sink = std::malloc(16);
  number_sink = new int(3);
  counting = false;
  std::free(probe_sink);
  delete number_sink;
  ASSERT_EQ(2, allocations.exchange(0));

  counting = true;
  p.FramesUntil(333);
  p.Click("SpeedRadioBox", 1.0f / 6.0f);  // "Fast", the lowest of its three items
  p.Click("EnableExecToggleButton");
  p.Click("InstruktionenToggleButton");
  p.FramesUntil(666);
  const bool zoomed_and_running_fast = p.c->instructionSetZoom == 1 &&
                                       p.c->continuousExecution == 1 &&
                                       p.c->speed == static_cast<uint32_t>(kSpeedFast);
  p.Click("InstruktionenToggleButton");
  p.Click("EnableExecToggleButton");
  p.PointAt("MemoryMultiColumn");
  const int32_t first_row = p.c->MemoryMultiColumn.firstRow;
  for (int notch = 0; notch < 6; ++notch) {
    Application_PostMouseButton(p.app, kWheelForward, kDown, 0);
    p.Frame();
  }
  const bool scrolled = p.c->MemoryMultiColumn.firstRow != first_row;
  p.Click("MemoryMultiColumn_1");
  p.FramesUntil(1000);
  counting = false;

  EXPECT_EQ(0, allocations.load());
  EXPECT_EQ(1000, p.frames);
  EXPECT_TRUE(p.placed && zoomed_and_running_fast && scrolled);  // the scenes meant
  EXPECT_TRUE(p.c->RAMPopUpPanel.open || p.c->PopUpPanel.open || p.c->RegPopUpPanel.open ||
              p.c->InfoPopUpPanel.open || p.c->MaschinencodePopUpPanel.open);
  Application_Free(p.app);
}

INSTANTIATE_TEST_SUITE_P(Renderers, WholeProgram,
                         ::testing::Values(kApplicationRendererGl1, kApplicationRendererEs2),
                         [](const ::testing::TestParamInfo<uint8_t>& info) {
                           return std::string(info.param == kApplicationRendererEs2 ? "es2"
                                                                                    : "gl1");
                         });

}  // namespace
