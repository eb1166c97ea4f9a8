// Recorded frames: a frame drawn between sglBeginFrame and sglEndFrame gives
// the pixels of the same drawing sent straight to OpenGL; an unchanged frame
// draws nothing; any change, an upload, an invalidation or a frame too long
// for its buffer is drawn in full.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

#include "graphics/sgl.h"
#include "graphics/sgl_internal.h"
#include "tests/graphics/font_table_builder.h"
#include "tests/support/gl_fixture.h"

namespace {

using velkor_test::kDisplayHeight;
using velkor_test::kDisplayWidth;

constexpr uint32_t kTextureSlot = 3;
constexpr uint32_t kRoomyStream = 8u << 20;
constexpr float kDarkBlue[4] = {0.0f, 0.0f, 0.3f, 0.0f};

// What may vary between two frames of the scene.
struct Variant {
  float moved = 0.0f;       // added to one vertex of the wide line
  int32_t fill_colour = 2;  // the concave polygon's colour
};

using Image = std::vector<uint8_t>;

Image read_display() {
  Image pixels(static_cast<size_t>(kDisplayWidth) * kDisplayHeight * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, kDisplayWidth, kDisplayHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}

int differing_pixels(const Image& a, const Image& b) {
  int count = 0;
  for (size_t i = 0; i < a.size(); i += 4) {
    if (std::memcmp(&a[i], &b[i], 4) != 0) ++count;
  }
  return count;
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
  glDisable(GL_SCISSOR_TEST);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glStencilMask(0xFFFFFFFFu);
  glClearStencil(0);
  glClearColor(clear[0], clear[1], clear[2], clear[3]);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
}

void filled_quad(float x0, float y0, float x1, float y1) {
  sglBegin(SGL_PRIMITIVE_POLYGON);
  sglVertex2f(x0, y0);
  sglVertex2f(x1, y0);
  sglVertex2f(x1, y1);
  sglVertex2f(x0, y1);
  sglEnd();
}

// A bit of everything the panel uses, and a few things it does not.
void draw_scene(const Variant& v, uint32_t sequence) {
  // Wide smoothed strands, then a stippled loop.
  sglIndexColori(1);
  sglIndexLineWidthi(5);
  sglEnable(SGL_LINE_SMOOTH);
  sglBegin(SGL_PRIMITIVE_LINE_STRIP);
  sglVertex2f(40.0f, 40.0f);
  sglVertex2f(300.0f + v.moved, 120.0f);
  sglVertex2f(200.0f, 300.0f);
  sglEnd();
  sglDisable(SGL_LINE_SMOOTH);
  sglIndexLineStipplei(1);
  sglIndexLineWidthi(2);
  sglBegin(SGL_PRIMITIVE_LINE_LOOP);
  sglVertex2f(320.0f, 40.0f);
  sglVertex2f(460.0f, 60.0f);
  sglVertex2f(400.0f, 200.0f);
  sglEnd();
  sglIndexLineStipplei(0);
  // A concave polygon, ear-clipped, with its smoothed outline.
  sglIndexColori(v.fill_colour);
  sglEnable(SGL_TESSELLATION);
  sglEnable(SGL_POLYGON_SMOOTH);
  sglBegin(SGL_PRIMITIVE_POLYGON);
  sglVertex2f(500.0f, 40.0f);
  sglVertex2f(640.0f, 40.0f);
  sglVertex2f(570.0f, 100.0f);
  sglVertex2f(640.0f, 200.0f);
  sglVertex2f(500.0f, 200.0f);
  sglEnd();
  sglDisable(SGL_POLYGON_SMOOTH);
  sglDisable(SGL_TESSELLATION);
  // Arcs.
  sglIndexColori(3);
  sgluArcSector2f(760.0f, 120.0f, 70.0f, 10.0f, 250.0f, 0, 1);
  sglIndexColori(4);
  sgluCrown2f(900.0f, 120.0f, 30.0f, 60.0f, 0.0f, 300.0f, 0, 1);
  sgluArcSector2f(1040.0f, 120.0f, 50.0f, 0.0f, 360.0f, 0, 3);
  // Text.
  sglIndexColori(1);
  sglIndexFonti(velkor_test::TestFontTable::kFontSlot);
  sgluWriteText(40.0f, 400.0f, "aWi Wia aaW", 11);
  // A texture repeated over a quad, and a gradient.
  const float xs[4] = {40.0f, 240.0f, 240.0f, 40.0f};
  const float ys[4] = {460.0f, 460.0f, 600.0f, 600.0f};
  sglBindTexture(SGL_TEXTURE_FILL, kTextureSlot);
  sglEnable(SGL_TEXTURE_FILL);
  sglFormatTexture(4, xs, ys, 3.0f, 2.0f, 0, 0);
  filled_quad(xs[0], ys[0], xs[1], ys[2]);
  sglDisable(SGL_TEXTURE_FILL);
  const float gx[4] = {260.0f, 460.0f, 460.0f, 260.0f};
  sglIndexGradienti(0);
  sglEnable(SGL_GRADIENT_FILL);
  sglFormatGradient(4, gx, ys);
  filled_quad(gx[0], ys[0], gx[1], ys[2]);
  sglDisable(SGL_GRADIENT_FILL);
  // A stencil mask (a disc) cutting a quad, and a scissor cutting another.
  const uint32_t mask = sglBeginMaskDefinition(0);
  sgluArcSector2f(560.0f, 530.0f, 60.0f, 0.0f, 360.0f, 0, 1);
  sglEndMaskDefinition();
  sglSetActiveMasks(mask);
  sglIndexColori(2);
  filled_quad(480.0f, 450.0f, 640.0f, 610.0f);
  sglSetActiveMasks(0);
  sglPushMatrix();
  sglTranslatef(700.0f, 460.0f);
  sglBeginScissor(80.0f, 60.0f);
  sglIndexColori(3);
  filled_quad(-40.0f, -40.0f, 200.0f, 200.0f);
  sglEndScissor();
  sglPopMatrix();
  // A static sequence compiled before the frame.
  sglPushMatrix();
  sglTranslatef(900.0f, 450.0f);
  sglCallStaticSequence(sequence);
  sglPopMatrix();
  // As many pushes as the library takes: OpenGL's own stack (32 with the
  // current matrix) runs out one before.
  for (uint32_t i = 0; i < SGL_MATRIX_STACK_SIZE; ++i) {
    sglPushMatrix();
    sglTranslatef(4.0f, 2.0f);
  }
  sglIndexColori(4);
  filled_quad(900.0f, 620.0f, 960.0f, 680.0f);
  for (uint32_t i = 0; i < SGL_MATRIX_STACK_SIZE; ++i) sglPopMatrix();
  filled_quad(1000.0f, 620.0f, 1040.0f, 660.0f);
}

class FramesTest : public velkor_test::SglTest {
 protected:
  void SetUp() override {
    SglTest::SetUp();
    Prepare(kRoomyStream);
  }

  // A context recording into `stream_bytes` (0: none), with its tables,
  // texture, gradient, font and static sequence ready: all outside a frame.
  void Prepare(uint32_t stream_bytes) {
    stream_.assign(stream_bytes, 0);
    sgl_parameters parameters = HostParameters();
    parameters.gradient_table = gradients_;
    parameters.gradient_count = 1;
    parameters.stream_buffer = stream_bytes > 0 ? stream_.data() : nullptr;
    parameters.stream_bytes = stream_bytes;
    ASSERT_TRUE(sglInit(&Context(), &parameters));
    static const float colours[5][4] = {
        {0, 0, 0, 1}, {1, 1, 1, 1}, {1, 0.2f, 0.2f, 1}, {0.2f, 1, 0.2f, 0.7f}, {0.3f, 0.3f, 1, 1}};
    sglColorPointerf(&colours[0][0], 5);
    static const velkor_test::TestFontTable font = velkor_test::MakeTestFontTable();
    sgluLoadFonts(font.data());
    UploadTexture(0x40);
    const uint8_t ramp[4 * 4] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 0, 128};
    sglGradientTexture(0, 2, 2, sizeof ramp, ramp, 0);
    sequence_ = sglBeginStaticSequence(0.0f, 0.0f, 100.0f, 100.0f);
    sglIndexColori(2);
    filled_quad(0.0f, 0.0f, 60.0f, 40.0f);
    sglIndexColori(1);
    sglIndexLineWidthi(3);
    sglBegin(SGL_PRIMITIVE_LINE_STRIP);
    sglVertex2f(0.0f, 60.0f);
    sglVertex2f(90.0f, 90.0f);
    sglEnd();
    sglEndStaticSequence();
    ASSERT_NE(0u, sequence_);
  }

  // A 4 x 4 checker whose light squares have the given level.
  static void UploadTexture(uint8_t level) {
    uint8_t texels[4 * 4 * 3];
    for (int i = 0; i < 16; ++i) {
      const uint8_t value = ((i / 4 + i % 4) % 2 == 0) ? level : 0;
      texels[3 * i] = value;
      texels[3 * i + 1] = 255 - value;
      texels[3 * i + 2] = value / 2;
    }
    sglTexImage2Dubv(kTextureSlot, SGL_FORMAT_RGB, 4, 4, texels, 0);
  }

  static void StartDrawing() {
    sglReset();
    sglViewport(0, 0, kDisplayWidth, kDisplayHeight);
    sglOrtho(0.0f, static_cast<float>(kDisplayWidth), 0.0f, static_cast<float>(kDisplayHeight));
  }

  // The host's frame, recorded; the result of sglEndFrame.
  uint8_t RecordedFrame(const Variant& v, const float clear[4] = kDarkBlue) {
    sglBeginFrame(clear);
    StartDrawing();
    draw_scene(v, sequence_);
    return sglEndFrame();
  }

  // The same drawing with no frame around it: every call straight to OpenGL.
  Image DirectImage(const Variant& v, const float clear[4] = kDarkBlue) {
    clear_like_the_frame(clear);
    StartDrawing();
    draw_scene(v, sequence_);
    return read_display();
  }

  std::vector<uint8_t> stream_;
  sgl_texture_slot gradients_[1] = {};
  uint32_t sequence_ = 0;
};

TEST_F(FramesTest, RecordedFrameHasThePixelsOfDirectDrawing) {
  const Image direct = DirectImage(Variant{});
  EXPECT_EQ(1u, RecordedFrame(Variant{}));
  EXPECT_EQ(0, differing_pixels(direct, read_display()));
  EXPECT_EQ(static_cast<uint32_t>(GL_NO_ERROR), velkor_test::TakeGlError());
  const sgl_type_statemachine& c = Context();
  EXPECT_EQ(0u, c.stream.overflows);
  EXPECT_EQ(0u, c.errors.count) << "first error " << c.errors.entries[0].code;
  // The pushes were counted, not asked of OpenGL, and all came back.
  GLint depth = 0;
  glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
  EXPECT_EQ(1, depth);
  EXPECT_EQ(1u, c.ortho.gl_depth);
  // OpenGL's arrays point where the library believes, so direct drawing
  // after the frame lands where it should.
  void* pointer = nullptr;
  glGetPointerv(GL_VERTEX_ARRAY_POINTER, &pointer);
  EXPECT_EQ(static_cast<const void*>(c.gl_vertex_pointer), pointer);
  glGetPointerv(GL_TEXTURE_COORD_ARRAY_POINTER, &pointer);
  EXPECT_EQ(static_cast<const void*>(c.gl_texcoord_pointer), pointer);
  sglIndexColori(1);
  filled_quad(1200.0f, 700.0f, 1210.0f, 710.0f);
  EXPECT_EQ(100, velkor_test::CountPixelsNear(1200, 700, 10, 10, {255, 255, 255, 255}));
}

TEST_F(FramesTest, UnchangedFrameDrawsNothingUntilInvalidated) {
  ASSERT_EQ(1u, RecordedFrame(Variant{}));
  const Image first = read_display();
  scribble();
  const Image scribbled = read_display();
  for (int again = 0; again < 3; ++again) {
    EXPECT_EQ(0u, RecordedFrame(Variant{})) << "frame " << again;
    EXPECT_EQ(0, differing_pixels(scribbled, read_display())) << "frame " << again;
  }
  EXPECT_EQ(3u, Context().stream.frames_kept);
  sglInvalidateFrame();
  EXPECT_EQ(1u, RecordedFrame(Variant{}));
  EXPECT_EQ(0, differing_pixels(first, read_display()));
  EXPECT_EQ(0u, RecordedFrame(Variant{}));
}

// Each change between two frames sends the second one, which then shows
// what the same drawing sent directly shows.
TEST_F(FramesTest, AnyChangeSendsTheFrame) {
  struct Case {
    const char* name;
    std::function<void(Variant*, float* clear)> change;
    bool image_changes;
  };
  const Case cases[] = {
      {"one vertex moved by one unit", [](Variant* v, float*) { v->moved = 1.0f; }, true},
      {"another fill colour", [](Variant* v, float*) { v->fill_colour = 4; }, true},
      {"another clear colour", [](Variant*, float* clear) { clear[1] = 0.5f; }, true},
      {"texture uploaded again with new texels", [](Variant*, float*) { UploadTexture(0xC0); },
       true},
      {"texture uploaded again, same texels", [](Variant*, float*) { UploadTexture(0x40); }, false},
      {"invalidated", [](Variant*, float*) { sglInvalidateFrame(); }, false},
      {"drawn on directly between frames",
       [](Variant*, float*) { filled_quad(10.0f, 10.0f, 20.0f, 20.0f); }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UploadTexture(0x40);
    ASSERT_EQ(1u, RecordedFrame(Variant{}));
    ASSERT_EQ(0u, RecordedFrame(Variant{}));
    const Image before = read_display();
    Variant v;
    float clear[4] = {kDarkBlue[0], kDarkBlue[1], kDarkBlue[2], kDarkBlue[3]};
    c.change(&v, clear);
    scribble();  // an unsent frame would leave this
    EXPECT_EQ(1u, RecordedFrame(v, clear));
    const Image after = read_display();
    EXPECT_EQ(c.image_changes, differing_pixels(before, after) > 0);
    EXPECT_EQ(0, differing_pixels(DirectImage(v, clear), after));
  }
}

TEST_F(FramesTest, FrameLongerThanItsBufferIsDrawnRight) {
  // Room for the clear and a few state calls, not for a draw.
  Prepare(512);
  const Image direct = DirectImage(Variant{});
  for (int frame = 0; frame < 2; ++frame) {
    SCOPED_TRACE(frame);
    scribble();
    EXPECT_EQ(1u, RecordedFrame(Variant{}));
    EXPECT_EQ(0, differing_pixels(direct, read_display()));
  }
  EXPECT_EQ(2u, Context().stream.overflows);
  EXPECT_EQ(static_cast<uint32_t>(GL_NO_ERROR), velkor_test::TakeGlError());
}

// Calls that need OpenGL's answer at once (an upload, a static sequence
// compiled) inside a frame: what was recorded goes first, the rest directly.
TEST_F(FramesTest, UploadOrSequenceInsideAFrameDrawsOnDirectly) {
  struct Case {
    const char* name;
    std::function<void()> call;
  };
  const Case cases[] = {
      {"texture upload", [] { UploadTexture(0x40); }},
      {"static sequence compiled",
       [] {
         sglBeginStaticSequence(0.0f, 0.0f, 10.0f, 10.0f);
         filled_quad(0.0f, 0.0f, 5.0f, 5.0f);
         sglEndStaticSequence();
       }},
  };
  // A quad recorded before the call, then the call, then the scene.
  const auto draw = [this](const Case& c) {
    StartDrawing();
    sglIndexColori(3);
    filled_quad(1100.0f, 20.0f, 1150.0f, 70.0f);
    c.call();
    draw_scene(Variant{}, sequence_);
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    clear_like_the_frame(kDarkBlue);
    draw(c);
    const Image direct = read_display();
    for (int frame = 0; frame < 2; ++frame) {
      scribble();
      sglBeginFrame(kDarkBlue);
      draw(c);
      EXPECT_EQ(1u, sglEndFrame()) << "frame " << frame;
      EXPECT_EQ(0, differing_pixels(direct, read_display())) << "frame " << frame;
    }
  }
}

// A frame that ended inside a static sequence or a mask definition must not
// spoil the next one's clear: compiled into the list, or kept out of the
// colour buffer.
TEST_F(FramesTest, NextFrameIsRightAfterOneLeftUnfinished) {
  struct Case {
    const char* name;
    std::function<void()> left_open;
  };
  const Case cases[] = {
      {"static sequence", [] { sglBeginStaticSequence(0.0f, 0.0f, 10.0f, 10.0f); }},
      {"mask definition", [] { sglBeginMaskDefinition(0); }},
      {"scissor", [] { sglBeginScissor(20.0f, 20.0f); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Image direct = DirectImage(Variant{});
    sglBeginFrame(kDarkBlue);
    StartDrawing();
    draw_scene(Variant{}, sequence_);
    c.left_open();
    sglEndFrame();
    scribble();
    EXPECT_EQ(1u, RecordedFrame(Variant{}));
    EXPECT_EQ(0, differing_pixels(direct, read_display()));
  }
}

TEST_F(FramesTest, WithoutABufferEveryFrameIsSent) {
  Prepare(0);
  const Image direct = DirectImage(Variant{});
  for (int frame = 0; frame < 2; ++frame) {
    scribble();
    EXPECT_EQ(1u, RecordedFrame(Variant{}));
    EXPECT_EQ(0, differing_pixels(direct, read_display()));
  }
}

}  // namespace
