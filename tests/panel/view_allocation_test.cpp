// Nothing is allocated on the drawing path of the panel: in 100 frames of
// the whole layer after a first one - the main view with its register file,
// ports and address unit, the pop-ups, the pointer wandering over the
// switches, the registers and the step buttons and clicking there - no
// code of ours calls malloc, calloc, realloc or operator new. Everything of
// ours is linked into this executable, so an allocation counts when its
// caller lies in the executable's image; the OpenGL driver's bookkeeping
// lies in shared libraries and does not count.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include <dlfcn.h>

#include "graphics/sgl.h"
#include "panel/Velkor_color_table.h"
#include "panel/Velkor_font_table.h"
#include "panel/Velkor_line_stipple_table.h"
#include "panel/Velkor_line_width_table.h"
#include "panel/Velkor_symbology_layer.h"
#include "panel/Velkor_texture_table.h"
#include "tests/support/gl_fixture.h"
#include "widgets/Focus.h"
#include "widgets/interactivity_mapping.h"

extern "C" void* __libc_malloc(size_t size);
extern "C" void* __libc_calloc(size_t count, size_t size);
extern "C" void* __libc_realloc(void* pointer, size_t size);
extern "C" void __libc_free(void* pointer);

namespace {

std::atomic<bool> counting{false};
std::atomic<int> allocations{0};

void* own_image() {
  static void* base = [] {
    Dl_info info{};
    dladdr(reinterpret_cast<void*>(&own_image), &info);
    return info.dli_fbase;
  }();
  return base;
}

// `caller` is the return address into the code that asked for memory.
void note_allocation(void* caller) {
  if (!counting.load(std::memory_order_relaxed)) return;
  Dl_info info{};
  if (dladdr(caller, &info) != 0 && info.dli_fbase == own_image()) allocations.fetch_add(1);
}

}  // namespace

extern "C" void* malloc(size_t size) {
  note_allocation(__builtin_return_address(0));
  return __libc_malloc(size);
}
extern "C" void* calloc(size_t count, size_t size) {
  note_allocation(__builtin_return_address(0));
  return __libc_calloc(count, size);
}
extern "C" void* realloc(void* pointer, size_t size) {
  note_allocation(__builtin_return_address(0));
  return __libc_realloc(pointer, size);
}
extern "C" void free(void* pointer) {
  __libc_free(pointer);
}

void* operator new(size_t size) {
  note_allocation(__builtin_return_address(0));
  void* p = __libc_malloc(size == 0 ? 1 : size);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}
void* operator new[](size_t size) {
  note_allocation(__builtin_return_address(0));
  void* p = __libc_malloc(size == 0 ? 1 : size);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}
void operator delete(void* p) noexcept {
  __libc_free(p);
}
void operator delete[](void* p) noexcept {
  __libc_free(p);
}
void operator delete(void* p, size_t) noexcept {
  __libc_free(p);
}
void operator delete[](void* p, size_t) noexcept {
  __libc_free(p);
}

namespace {

using velkor_test::SglTest;

void* volatile probe_sink = nullptr;
int* volatile number_sink = nullptr;

// Where the pointer goes, frame after frame (display units, y up): a P2
// switch, R1's value box, FETCH/DECODE, EXECUTE, the ROM table, the empty
// ground. Every fourth frame presses and the next releases.
constexpr float kStops[][2] = {
    {1064.0f, 104.0f},       {466.0f, 154.0f}, {27.0f + 75.0f, 632.0f},
    {27.5f + 75.0f, 578.0f}, {900.0f, 600.0f}, {700.0f, 300.0f},
};
constexpr int kStopCount = sizeof kStops / sizeof kStops[0];

// One frame as the host draws it, with nothing of the test's own that
// could allocate.
void layer_frame(void* layer, int frame) {
  BHVR_SetAsynchronousACK();
  const KeyboardEvent key{0, 0, 0, 0, 0};
  BHVR_Keyboard(&key);
  const float* at = kStops[(frame / 4) % kStopCount];
  const uint8_t pressed = frame % 4 == 1 ? 1 : 0;
  const uint8_t released = frame % 4 == 2 ? 1 : 0;
  const PointerEvent pointer{0, at[0], at[1], pressed || released ? 1u : 0u, pressed, released, 0};
  BHVR_Pointer(&pointer);
  sglReset();
  sglViewport(0, 0, velkor_test::kDisplayWidth, velkor_test::kDisplayHeight);
  sglOrtho(0.0f, 1280.0f, 0.0f, 768.0f);
  Velkor_symbology_layer_predraw(layer);
  for (uint32_t pass = 0; pass < 3; ++pass) Velkor_symbology_layer_draw(layer, pass);
  BHVR_Step();
}

TEST_F(SglTest, HundredPanelFramesAllocateNothing) {
  sglColorPointerf(&Velkor_color_table.rgba[0][0], kVelkorColorCount);
  sglLineWidthPointerf(&Velkor_line_width_table[0][0], kVelkorLineWidthCount);
  sglLineStipplePointer(Velkor_line_stipple_table, kVelkorLineStippleCount);
  sgluLoadFonts(&Velkor_font_table);
  Velkor_texture_table();
  ClearFocus();
  BHVR_ForgetDevices();
  void* layer = Velkor_symbology_layer_alloc();
  ASSERT_NE(nullptr, layer);
  Velkor_symbology_layer_init(layer);
  layer_frame(layer, 0);  // the first frame registers the widgets' focus order
  own_image();            // settled before counting starts
  // The counters see themselves work: allocations of ours while counting
  // count (through volatile stores, so that they are not left out).
  counting = true;
  probe_sink = std::malloc(16);
  number_sink = new int(3);
  counting = false;
  std::free(probe_sink);
  delete number_sink;
  ASSERT_EQ(2, allocations.load());
  allocations = 0;

  counting = true;
  for (int frame = 1; frame <= 100; ++frame) layer_frame(layer, frame);
  counting = false;
  EXPECT_EQ(0, allocations.load());
  // The walk reached the step buttons: the program ran a little.
  const auto* c = static_cast<const Velkor_symbology_layer_context*>(layer);
  EXPECT_STRNE("FF80", c->registers[0]);
  Velkor_symbology_layer_free(layer);
}

}  // namespace
