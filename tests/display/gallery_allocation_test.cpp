// Nothing is allocated on the drawing path: in 100 gallery frames after a
// first one, no code of ours (all linked into this executable) calls malloc,
// calloc, realloc or operator new. The OpenGL driver's own bookkeeping lies
// in shared libraries and does not count.
#include <gtest/gtest.h>

#include "tests/support/sanitizers.h"

#include <atomic>
#include <cstdlib>
#include <new>

#include <dlfcn.h>

#include "graphics/sgl.h"
#include "panel/Velkor_font_table.h"
#include "panel/Velkor_texture_table.h"
#include "tests/support/gl_fixture.h"
#include "tools/gallery.h"
#include "widgets/Focus.h"
#include "widgets/interactivity_mapping.h"

extern "C" void* __libc_malloc(size_t size);
extern "C" void* __libc_calloc(size_t count, size_t size);
extern "C" void* __libc_realloc(void* pointer, size_t size);
extern "C" void __libc_free(void* pointer);

namespace {

std::atomic<bool> counting{false};
std::atomic<int> allocations{0};

// The load address of this executable's image.
void* own_image() {
  static void* base = [] {
    Dl_info info{};
    dladdr(reinterpret_cast<void*>(&own_image), &info);
    return info.dli_fbase;
  }();
  return base;
}

// `caller` is the return address into the code that asked for memory.
[[maybe_unused]] void note_allocation(void* caller) {
  if (!counting.load(std::memory_order_relaxed)) return;
  Dl_info info{};
  if (dladdr(caller, &info) != 0 && info.dli_fbase == own_image()) allocations.fetch_add(1);
}

}  // namespace

// Every allocation of the process passes through these while the test runs,
// the drawing library's and OpenGL's included.
#if !VELKOR_TEST_UNDER_ASAN
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

#endif  // !VELKOR_TEST_UNDER_ASAN

namespace {

using velkor_test::SglTest;

void* volatile probe_sink = nullptr;
int* volatile number_sink = nullptr;

// One frame as the host draws it, without anything of the test's own that
// could allocate.
void gallery_frame() {
  BHVR_SetAsynchronousACK();
  const KeyboardEvent key{0, 0, 0, 0, 0};
  BHVR_Keyboard(&key);
  const PointerEvent pointer{0, 640, 384, 0, 0, 0, 0};
  BHVR_Pointer(&pointer);
  sglReset();
  sglViewport(0, 0, velkor_test::kDisplayWidth, velkor_test::kDisplayHeight);
  sglOrtho(0.0f, 1280.0f, 0.0f, 768.0f);
  Gallery_DrawFrame();
  BHVR_Step();
}

TEST_F(SglTest, HundredGalleryFramesAllocateNothing) {
  if (VELKOR_TEST_UNDER_ASAN) GTEST_SKIP() << "AddressSanitizer owns malloc and operator new";
  Gallery_InstallTables();
  sgluLoadFonts(&Velkor_font_table);
  Velkor_texture_table();
  ClearFocus();
  BHVR_ForgetDevices();
  Gallery_Init();
  gallery_frame();  // the first frame registers the widgets' focus order
  own_image();      // settled before counting starts
  // The counters see themselves work: allocations of ours while counting
  // count. The results go through volatile stores, so that the compiler
  // cannot leave the allocations out.
  counting = true;
  probe_sink = std::malloc(16);
  number_sink = new int(3);
  counting = false;
  std::free(probe_sink);
  delete number_sink;
  ASSERT_EQ(2, allocations.load());
  allocations = 0;

  counting = true;
  for (int frame = 0; frame < 100; ++frame) gallery_frame();
  counting = false;
  EXPECT_EQ(0, allocations.load());
  EXPECT_EQ(0u, Context().errors.count);
}

}  // namespace
