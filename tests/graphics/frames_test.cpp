// A frame recorded between sglBeginFrame and sglEndFrame has the pixels of
// the same drawing sent straight to OpenGL; an unchanged frame draws nothing.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "graphics/sgl.h"
#include "graphics/sgl_damage_internal.h"
#include "graphics/sgl_internal.h"
#include "graphics/sgl_stream_internal.h"
#include "tests/graphics/font_table_builder.h"
#include "tests/support/gl_fixture.h"

namespace {

using velkor_test::kDisplayHeight;
using velkor_test::kDisplayWidth;

constexpr uint32_t kTextureSlot = 3;
constexpr float kDarkBlue[4] = {0.0f, 0.0f, 0.3f, 0.0f};

struct Variant {            // what may vary between two frames of the scene
  float moved = 0.0f;       // added to the frame's last vertex
  int32_t fill_colour = 2;  // the concave polygon's colour
  const char* text = "aWi Wia aaW";
  int32_t scissored_colour = 3;  // the quad cut by the scissor (see-through)
  int32_t spot_colour = 1;       // a spot inside the scissor, drawn under that quad
  int32_t masked_colour = 2;     // the quad cut by the mask
  bool pop_up = false;           // a panel drawn last, over the lines and the text
  bool sequence = true;          // the static sequence called (a display list)
};

using Image = std::vector<uint8_t>;

Image read_display() {
  Image pixels(static_cast<size_t>(kDisplayWidth) * kDisplayHeight * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, kDisplayWidth, kDisplayHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}

// Paints the framebuffer behind the library's back, so that a frame that
// draws nothing can be told from one that draws the same image again.
void scribble() {
  glDisable(GL_SCISSOR_TEST);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
}

// The clear sglBeginFrame records, made directly.
void clear_like_the_frame(const float clear[4]) {
  scribble();
  glStencilMask(0xFFFFFFFFu);
  glClearStencil(0);
  glClearColor(clear[0], clear[1], clear[2], clear[3]);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
}

void shape(uint8_t mode, std::initializer_list<float> xy) {
  sglBegin(mode);
  for (const float* p = xy.begin(); p < xy.end(); p += 2) sglVertex2f(p[0], p[1]);
  sglEnd();
}

void filled_quad(float x0, float y0, float x1, float y1) {
  shape(SGL_PRIMITIVE_POLYGON, {x0, y0, x1, y0, x1, y1, x0, y1});
}

// A 4 x 4 checker whose light squares have the given level.
void upload_texture(uint8_t level) {
  uint8_t texels[4 * 4 * 3];
  for (int i = 0; i < 48; ++i) texels[i] = ((i / 12 + i / 3 % 4) % 2 == 0) ? level : 255 - level;
  sglTexImage2Dubv(kTextureSlot, SGL_FORMAT_RGB, 4, 4, texels, 0);
}

// A bit of everything the panel uses, and a few things it does not.
void draw_scene(const Variant& v, uint32_t sequence) {
  sglIndexColori(1);
  sglIndexLineWidthi(5);
  sglEnable(SGL_LINE_SMOOTH);
  shape(SGL_PRIMITIVE_LINE_STRIP, {40.0f, 40.0f, 300.0f, 120.0f, 200.0f, 300.0f});
  sglIndexLineStipplei(1);
  shape(SGL_PRIMITIVE_LINE_LOOP, {320.0f, 40.0f, 460.0f, 60.0f, 400.0f, 200.0f});
  sglIndexLineStipplei(0);
  sglDisable(SGL_LINE_SMOOTH);
  // A concave polygon, ear-clipped, with its smoothed outline.
  sglIndexColori(v.fill_colour);
  sglEnable(SGL_TESSELLATION);
  sglEnable(SGL_POLYGON_SMOOTH);
  shape(SGL_PRIMITIVE_POLYGON, {500, 40, 640, 40, 570, 100, 640, 200, 500, 200});
  sglDisable(SGL_POLYGON_SMOOTH);
  sglDisable(SGL_TESSELLATION);
  sglIndexColori(3);
  sgluArcSector2f(760.0f, 120.0f, 70.0f, 10.0f, 250.0f, 0, 1);
  sgluCrown2f(900.0f, 120.0f, 30.0f, 60.0f, 0.0f, 300.0f, 0, 1);
  sglIndexFonti(velkor_test::TestFontTable::kFontSlot);
  sgluWriteText(40.0f, 400.0f, v.text, static_cast<int32_t>(std::strlen(v.text)));
  // A texture repeated over a quad.
  const float xs[4] = {40.0f, 240.0f, 240.0f, 40.0f};
  const float ys[4] = {460.0f, 460.0f, 600.0f, 600.0f};
  sglBindTexture(SGL_TEXTURE_FILL, kTextureSlot);
  sglEnable(SGL_TEXTURE_FILL);
  sglFormatTexture(4, xs, ys, 3.0f, 2.0f, 0, 0);
  filled_quad(xs[0], ys[0], xs[1], ys[2]);
  sglDisable(SGL_TEXTURE_FILL);
  // A mask (a disc) and a scissor each cutting a quad.
  const uint32_t mask = sglBeginMaskDefinition(0);
  sgluArcSector2f(560.0f, 530.0f, 60.0f, 0.0f, 360.0f, 0, 1);
  sglEndMaskDefinition();
  sglSetActiveMasks(mask);
  sglIndexColori(v.masked_colour);
  filled_quad(480.0f, 450.0f, 640.0f, 610.0f);
  sglSetActiveMasks(0);
  sglPushMatrix();
  sglTranslatef(700.0f, 460.0f);
  sglBeginScissor(80.0f, 60.0f);
  sglIndexColori(v.spot_colour);
  filled_quad(10.0f, 10.0f, 20.0f, 20.0f);
  sglIndexColori(v.scissored_colour);
  filled_quad(-40.0f, -40.0f, 200.0f, 200.0f);
  sglEndScissor();
  sglTranslatef(200.0f, -10.0f);
  if (v.sequence) sglCallStaticSequence(sequence);
  sglPopMatrix();
  if (v.pop_up) {
    sglIndexColori(4);
    filled_quad(20.0f, 30.0f, 320.0f, 450.0f);
  }
  // A block that sets a colour of its own between two white draws (the
  // library's own calls): the white after it must be sent again.
  sglIndexColori(1);
  filled_quad(1100.0f, 620.0f, 1120.0f, 640.0f);
  sgliGlBegin(GL_TRIANGLES);
  sgliGlVertex2f(1130.0f, 620.0f);
  sgliColor4f(1.0f, 0.0f, 0.0f, 1.0f);
  sgliGlVertex2f(1150.0f, 620.0f);
  sgliGlVertex2f(1140.0f, 640.0f);
  sgliGlEnd();
  // The last word of the frame: a change there alone must still tell.
  sglIndexColori(1);
  shape(SGL_PRIMITIVE_POLYGON, {1000, 620, 1040, 620, 1040, 660, 1000, 660 + v.moved});
}

class FramesTest : public velkor_test::SglTest {
 protected:
  void SetUp() override {
    SglTest::SetUp();
    Prepare(8u << 20);
  }

  // A context recording into `stream_bytes` (0: none), with its colours,
  // texture, font and static sequence ready: all outside a frame.
  void Prepare(uint32_t stream_bytes, uint8_t partial_frames = 0) {
    stream_.assign(stream_bytes, 0);
    sgl_parameters parameters = HostParameters();
    parameters.stream_buffer = stream_bytes > 0 ? stream_.data() : nullptr;
    parameters.stream_bytes = stream_bytes;
    parameters.partial_frames = partial_frames;
    ASSERT_TRUE(sglInit(&Context(), &parameters));
    static const float colours[5][4] = {
        {0, 0, 0, 1}, {1, 1, 1, 1}, {1, 0.2f, 0.2f, 1}, {0.2f, 1, 0.2f, 0.7f}, {0.3f, 0.3f, 1, 1}};
    sglColorPointerf(&colours[0][0], 5);
    static const velkor_test::TestFontTable font = velkor_test::MakeTestFontTable();
    sgluLoadFonts(font.data());
    upload_texture(0x40);
    sequence_ = sglBeginStaticSequence(0.0f, 0.0f, 100.0f, 100.0f);
    sglIndexColori(2);
    filled_quad(0.0f, 0.0f, 60.0f, 40.0f);
    sglEndStaticSequence();
  }

  // The host's frame around the scene and `extra`, recorded.
  uint8_t RecordedFrame(const Variant& v, const float clear[4] = kDarkBlue,
                        void (*extra)() = nullptr) {
    sglBeginFrame(clear);
    Draw(v, extra);
    return sglEndFrame();
  }

  // The same drawing with no frame around it: every call straight to OpenGL.
  Image DirectImage(const Variant& v, const float clear[4] = kDarkBlue, void (*extra)() = nullptr) {
    clear_like_the_frame(clear);
    Draw(v, extra);
    return read_display();
  }

  void Draw(const Variant& v, void (*extra)()) {
    sglReset();
    sglViewport(0, 0, kDisplayWidth, kDisplayHeight);
    sglOrtho(0.0f, static_cast<float>(kDisplayWidth), 0.0f, static_cast<float>(kDisplayHeight));
    draw_scene(v, sequence_);
    if (extra != nullptr) extra();
  }

  std::vector<uint8_t> stream_;
  uint32_t sequence_ = 0;
};

TEST_F(FramesTest, RecordedFrameHasThePixelsOfDirectDrawing) {
  const Image direct = DirectImage(Variant{});
  EXPECT_EQ(1u, RecordedFrame(Variant{}));
  EXPECT_TRUE(direct == read_display());
  EXPECT_EQ(static_cast<uint32_t>(GL_NO_ERROR), velkor_test::TakeGlError());
  EXPECT_EQ(0u, Context().stream.overflows);
  EXPECT_EQ(0u, Context().errors.count) << "first error " << Context().errors.entries[0].code;
  // OpenGL's arrays point where the library believes: a direct draw after
  // the frame lands where it should.
  sglIndexColori(1);
  filled_quad(1200.0f, 700.0f, 1210.0f, 710.0f);
  EXPECT_EQ(100, velkor_test::CountPixelsNear(1200, 700, 10, 10, {255, 255, 255, 255}));
}

// An unchanged frame draws nothing; each change after it sends the next one,
// which then shows what the same drawing sent directly shows.
TEST_F(FramesTest, UnchangedFrameIsKeptAndAnyChangeIsSent) {
  struct Case {
    const char* name;
    void (*change)(Variant*, float* clear);
  };
  const Case cases[] = {
      {"one vertex moved by one unit", [](Variant* v, float*) { v->moved = 1.0f; }},
      {"another fill colour", [](Variant* v, float*) { v->fill_colour = 4; }},
      {"another clear colour", [](Variant*, float* clear) { clear[1] = 0.5f; }},
      {"texture uploaded again", [](Variant*, float*) { upload_texture(0xC0); }},
      {"invalidated", [](Variant*, float*) { sglInvalidateFrame(); }},
      {"drawn on directly between frames",
       [](Variant*, float*) { filled_quad(10.0f, 10.0f, 20.0f, 20.0f); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    upload_texture(0x40);
    ASSERT_EQ(1u, RecordedFrame(Variant{}));
    scribble();
    const Image scribbled = read_display();
    for (int again = 0; again < 2; ++again) EXPECT_EQ(0u, RecordedFrame(Variant{}));
    EXPECT_TRUE(scribbled == read_display());
    Variant v;
    float clear[4] = {kDarkBlue[0], kDarkBlue[1], kDarkBlue[2], kDarkBlue[3]};
    c.change(&v, clear);
    EXPECT_EQ(1u, RecordedFrame(v, clear));
    const Image after = read_display();
    EXPECT_TRUE(DirectImage(v, clear) == after);
  }
}

// Without a buffer, or with one too short for a draw, every frame is sent
// and drawn right.
TEST_F(FramesTest, FrameThatDoesNotFitIsDrawnRight) {
  for (const uint32_t bytes : {512u, 0u}) {
    SCOPED_TRACE(bytes);
    Prepare(bytes);
    const Image direct = DirectImage(Variant{});
    for (int frame = 0; frame < 2; ++frame) {
      scribble();
      EXPECT_EQ(1u, RecordedFrame(Variant{}));
      EXPECT_TRUE(direct == read_display());
    }
    EXPECT_EQ(bytes > 0 ? 2u : 0u, Context().stream.overflows);
  }
}

// Calls that need OpenGL at once inside a frame, then a draw: what was
// recorded goes first, the rest directly.
void upload_then_draw() {
  upload_texture(0x40);
  sglIndexColori(3);
  filled_quad(1100.0f, 20.0f, 1150.0f, 70.0f);
}

void compile_then_draw() {
  sglBeginStaticSequence(0.0f, 0.0f, 10.0f, 10.0f);
  filled_quad(0.0f, 0.0f, 5.0f, 5.0f);
  sglEndStaticSequence();
  upload_then_draw();
}

TEST_F(FramesTest, UploadOrSequenceInsideAFrameDrawsOnDirectly) {
  for (void (*extra)() : {&upload_then_draw, &compile_then_draw}) {
    const Image direct = DirectImage(Variant{}, kDarkBlue, extra);
    for (int frame = 0; frame < 2; ++frame) {
      scribble();
      EXPECT_EQ(1u, RecordedFrame(Variant{}, kDarkBlue, extra));
      EXPECT_TRUE(direct == read_display()) << "frame " << frame;
    }
  }
}

// A frame that ended inside a static sequence, a mask definition or a
// scissor must not spoil the next one's clear.
TEST_F(FramesTest, NextFrameIsRightAfterOneLeftUnfinished) {
  void (*const left_open[])() = {
      [] { sglBeginStaticSequence(0.0f, 0.0f, 10.0f, 10.0f); },
      [] { sglBeginMaskDefinition(0); },
      [] { sglBeginScissor(20.0f, 20.0f); },
  };
  for (void (*open)() : left_open) {
    const Image direct = DirectImage(Variant{});
    RecordedFrame(Variant{}, kDarkBlue, open);
    scribble();
    EXPECT_EQ(1u, RecordedFrame(Variant{}));
    EXPECT_TRUE(direct == read_display());
  }
}

// Partial frames: a change redraws only its own rectangle, with the pixels
// of the same drawing sent directly; a patch painted outside that rectangle
// behind the library's back shows that nothing else was drawn.
constexpr int32_t kPatch[4] = {1260, 0, 20, 12};  // nothing of the scene is there

void paint_patch() {
  glEnable(GL_SCISSOR_TEST);
  glScissor(kPatch[0], kPatch[1], kPatch[2], kPatch[3]);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  glDisable(GL_SCISSOR_TEST);
}

// The image with the patch painted on it.
Image with_patch(Image image) {
  for (int32_t y = kPatch[1]; y < kPatch[1] + kPatch[3]; ++y) {
    for (int32_t x = kPatch[0]; x < kPatch[0] + kPatch[2]; ++x) {
      uint8_t* p = &image[(static_cast<size_t>(y) * kDisplayWidth + x) * 4];
      p[0] = 255;
      p[1] = p[2] = 0;
      p[3] = 255;
    }
  }
  return image;
}

TEST_F(FramesTest, PartialFrameRedrawsOnlyWhatChangedWithTheDirectPixels) {
  Prepare(8u << 20, 1);
  struct Case {
    const char* name;
    void (*before)(Variant*);
    void (*after)(Variant*);
    sgl_box region;  // the damage lies inside it
  };
  const Case cases[] = {
      {"one vertex moved by one unit",
       nullptr,
       [](Variant* v) { v->moved = 1.0f; },
       {995, 615, 1045, 666}},
      {"the concave polygon's colour",
       nullptr,
       [](Variant* v) { v->fill_colour = 4; },
       {495, 35, 645, 205}},
      {"the text", nullptr, [](Variant* v) { v->text = "aWi Wib aaW"; }, {35, 390, 260, 440}},
      {"the quad cut by the scissor",
       nullptr,
       [](Variant* v) { v->scissored_colour = 1; },
       {700, 460, 780, 520}},
      // The see-through quad over the spot is drawn again only over the
      // spot: anywhere else it would be blended twice.
      {"a spot inside the scissor",
       nullptr,
       [](Variant* v) { v->spot_colour = 2; },
       {706, 466, 724, 484}},
      {"the quad cut by the mask",
       nullptr,
       [](Variant* v) { v->masked_colour = 1; },
       {476, 446, 644, 614}},
      {"a pop-up opens over lines and text",
       nullptr,
       [](Variant* v) { v->pop_up = true; },
       {18, 28, 323, 453}},
      {"the pop-up closes",
       [](Variant* v) { v->pop_up = true; },
       [](Variant* v) { v->pop_up = false; },
       {18, 28, 323, 453}},
      {"the text changes under the open pop-up",
       [](Variant* v) { v->pop_up = true; },
       [](Variant* v) {
         v->pop_up = true;
         v->text = "aWi Wib aaW";
       },
       {35, 390, 260, 440}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Variant base;
    base.sequence = false;
    if (c.before != nullptr) c.before(&base);
    Variant changed = base;
    if (c.after != nullptr) c.after(&changed);
    sglInvalidateFrame();
    ASSERT_EQ(1u, RecordedFrame(base));
    EXPECT_EQ(1u, sglGetFrameDamage()->whole);  // nothing to compare with
    paint_patch();
    ASSERT_EQ(1u, RecordedFrame(changed));
    const Image image = read_display();
    const sgl_frame_damage* damage = sglGetFrameDamage();
    ASSERT_EQ(0u, damage->whole);
    ASSERT_GT(damage->count, 0u);
    for (uint32_t i = 0; i < damage->count; ++i) {
      const sgl_pixel_rect& r = damage->rects[i];
      const sgl_box box = {r.x, r.y, r.x + r.width, r.y + r.height};
      EXPECT_TRUE(sgl_box_contains(c.region, box))
          << "rectangle " << r.x << ", " << r.y << ", " << r.width << " x " << r.height;
    }
    EXPECT_TRUE(with_patch(DirectImage(changed)) == image);
    EXPECT_EQ(static_cast<uint32_t>(GL_NO_ERROR), velkor_test::TakeGlError());
  }
  EXPECT_EQ(0u, Context().errors.count);
  EXPECT_EQ(static_cast<uint32_t>(sizeof cases / sizeof cases[0]), Context().damage.partial_frames);
}

// What cannot be bounded is drawn whole: a new clear colour, a display list
// called, an invalidation, OpenGL changed between frames (an upload, direct
// drawing), more drawing calls than the lists hold; and without partial
// frames every frame is whole.
TEST_F(FramesTest, UnboundedChangesAreDrawnWhole) {
  struct Case {
    const char* name;
    uint8_t partial_frames;
    void (*change)(Variant*, float* clear);
  };
  const Case cases[] = {
      {"another clear colour", 1, [](Variant*, float* clear) { clear[1] = 0.5f; }},
      {"a display list called", 1, [](Variant* v, float*) { v->sequence = true; }},
      {"invalidated", 1,
       [](Variant* v, float*) {
         v->fill_colour = 4;
         sglInvalidateFrame();
       }},
      {"a texture uploaded again", 1,
       [](Variant* v, float*) {
         v->fill_colour = 4;
         upload_texture(0xC0);
       }},
      {"drawn on directly between frames", 1,
       [](Variant* v, float*) {
         v->fill_colour = 4;
         filled_quad(10.0f, 10.0f, 20.0f, 20.0f);
       }},
      {"partial frames off", 0, [](Variant* v, float*) { v->fill_colour = 4; }},
      {"a list of drawing calls that does not fit", 1,
       [](Variant* v, float*) {
         v->fill_colour = 4;
         sglGetCurrentContext()->damage.item_capacity = 4;
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Prepare(8u << 20, c.partial_frames);
    upload_texture(0x40);
    Variant v;
    v.sequence = false;
    ASSERT_EQ(1u, RecordedFrame(v));
    float clear[4] = {kDarkBlue[0], kDarkBlue[1], kDarkBlue[2], kDarkBlue[3]};
    c.change(&v, clear);
    scribble();
    ASSERT_EQ(1u, RecordedFrame(v, clear));
    EXPECT_EQ(1u, sglGetFrameDamage()->whole);
    const Image after = read_display();
    EXPECT_TRUE(DirectImage(v, clear) == after);
  }
}

}  // namespace
