// The gallery: nothing of a family is drawn beyond its plate (or cut by the
// image's edge), and nothing is allocated on the drawing path: in 100
// gallery frames after a first one, no code of ours calls malloc, calloc,
// realloc or operator new.
#include <gtest/gtest.h>

#include "tests/support/allocation_counter.h"

#include <cstdlib>

#include "graphics/sgl.h"
#include "panel/Velkor_font_table.h"
#include "panel/Velkor_texture_table.h"
#include "tests/support/gl_fixture.h"
#include "tools/gallery.h"
#include "widgets/Focus.h"
#include "widgets/interactivity_mapping.h"

namespace {

using velkor_test::SglTest;

void* volatile probe_sink = nullptr;
int* volatile number_sink = nullptr;

// One frame as the host draws it, with nothing of the test's own that could allocate.
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

void start_gallery() {
  Gallery_InstallTables();
  sgluLoadFonts(&Velkor_font_table);
  Velkor_texture_table();
  ClearFocus();
  BHVR_ForgetDevices();
  Gallery_Init();
}

TEST_F(SglTest, EveryFamilyStaysOnItsPlate) {
  start_gallery();
  gallery_frame();
  gallery_frame();
  // The ring of ground between a region's edge and its plate, 4 wide, shows
  // nothing but the ground: a label running off its plate, or off the image
  // at the region's outer edge, leaves pixels there.
  const float* ground = Gallery_ColorTable() + 4 * kGalleryBackground;
  const velkor_test::Rgba colour = {static_cast<uint8_t>(ground[0] * 255.0f + 0.5f),
                                    static_cast<uint8_t>(ground[1] * 255.0f + 0.5f),
                                    static_cast<uint8_t>(ground[2] * 255.0f + 0.5f), 255};
  for (uint32_t i = 0; i < kGalleryFamilyCount; ++i) {
    const GalleryRegion& r = kGalleryFamilies[i].region;
    SCOPED_TRACE(kGalleryFamilies[i].name);
    const int x = static_cast<int>(r.x);
    const int y = static_cast<int>(r.y);
    const int w = static_cast<int>(r.width);
    const int h = static_cast<int>(r.height);
    const int sides[4][4] = {
        {x, y, w, 4}, {x, y + h - 4, w, 4}, {x, y, 4, h}, {x + w - 4, y, 4, h}};
    for (const auto& b : sides) {
      const int area = b[2] * b[3];
      EXPECT_EQ(area, velkor_test::CountPixelsNear(b[0], b[1], b[2], b[3], colour, 2))
          << "ring at " << b[0] << "," << b[1] << " " << b[2] << "x" << b[3];
    }
  }
}

TEST_F(SglTest, HundredGalleryFramesAllocateNothing) {
  if (VELKOR_TEST_UNDER_ASAN) GTEST_SKIP() << "AddressSanitizer owns malloc and operator new";
  start_gallery();
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
