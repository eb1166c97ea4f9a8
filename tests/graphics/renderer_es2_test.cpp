// The OpenGL ES 2 renderer against fixed-function OpenGL 1.x: every row draws
// one family of what the library asks of OpenGL through both renderers (two
// contexts of the same process, the same library calls) and compares the
// pictures pixel by pixel. Fills, text and textures must agree to the bit;
// antialiased lines within the row's allowance. Each row also says how many
// pixels its scene must colour, so that a scene both renderers leave empty
// does not pass.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "graphics/sgl.h"
#include "graphics/sgl_renderer.h"
#include "panel/Velkor_font_table.h"
#include "tests/support/offscreen_gl.h"

namespace {

using velkor_test::kDisplayHeight;
using velkor_test::kDisplayWidth;

// Colours: 0 black, 1 white, 2 red, 3 green, 4 blue, 5 yellow, 6 grey,
// 7 translucent orange.
const float kColours[8][4] = {{0.0f, 0.0f, 0.0f, 1.0f},    {1.0f, 1.0f, 1.0f, 1.0f},
                              {0.9f, 0.1f, 0.1f, 1.0f},    {0.1f, 0.8f, 0.2f, 1.0f},
                              {0.2f, 0.3f, 0.95f, 1.0f},   {0.95f, 0.9f, 0.1f, 1.0f},
                              {0.45f, 0.45f, 0.45f, 1.0f}, {1.0f, 0.55f, 0.1f, 0.6f}};
// Widths (plain, core, halo) from hairline to wide.
const float kWidths[6][3] = {{0.5f, 0.5f, 1.5f}, {1.0f, 1.0f, 2.5f}, {1.5f, 1.2f, 3.0f},
                             {2.0f, 2.0f, 4.0f}, {3.5f, 3.0f, 5.5f}, {7.0f, 6.0f, 9.0f}};
const sgl_line_stipple kStipples[3] = {
    {{4, 2, 0, 0, 0, 0}, {1, 0, 0, 0, 0, 0}, 0, 2},
    {{9, 3, 2, 3, 0, 0}, {1, 0, 1, 0, 0, 0}, 0, 4},
    {{0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0}, 1, 0},
};

constexpr uint32_t kSlots = 16;

// A width x height image of the format's bytes per pixel, in a pattern that
// shows any shift or swap of channels.
std::vector<uint8_t> pattern(uint32_t width, uint32_t height, uint32_t bytes) {
  std::vector<uint8_t> image(width * height * bytes);
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < width; ++x) {
      uint8_t* p = &image[(y * width + x) * bytes];
      const bool check = ((x / 4) + (y / 4)) % 2 == 0;
      for (uint32_t c = 0; c < bytes; ++c) {
        p[c] = static_cast<uint8_t>(c == 0   ? x * 255 / width
                                    : c == 1 ? y * 255 / height
                                    : c == 2 ? (check ? 220 : 40)
                                             : (check ? 255 : 90));
      }
      if (bytes == 1) p[0] = static_cast<uint8_t>(check ? 255 : 60 + x);
    }
  }
  return image;
}

void write(float x, float y, const char* text) {
  sgluWriteText(x, y, text, static_cast<int32_t>(std::strlen(text)));
}

void quad(float x0, float y0, float x1, float y1) {
  sglBegin(SGL_PRIMITIVE_POLYGON);
  sglVertex2f(x0, y0);
  sglVertex2f(x1, y0);
  sglVertex2f(x1, y1);
  sglVertex2f(x0, y1);
  sglEnd();
}

void star(float cx, float cy, float r) {
  sglBegin(SGL_PRIMITIVE_POLYGON);
  for (int k = 0; k < 10; ++k) {
    const float a = 0.6283185f * static_cast<float>(k);
    const float d = k % 2 == 0 ? r : r * 0.4f;
    sglVertex2f(cx + d * std::cos(a), cy + d * std::sin(a));
  }
  sglEnd();
}

// A fan of lines from (cx, cy) in every direction, the line mode and width
// given; what shows every angle of a wide or antialiased line.
void line_fan(float cx, float cy, float length, uint8_t mode) {
  for (int k = 0; k < 24; ++k) {
    const float a = 0.2617994f * static_cast<float>(k) + 0.05f;
    sglBegin(mode);
    sglVertex2f(cx + 6.0f * std::cos(a), cy + 6.0f * std::sin(a));
    sglVertex2f(cx + length * std::cos(a), cy + length * std::sin(a));
    if (mode == SGL_PRIMITIVE_LINE_STRIP) sglVertex2f(cx + length * std::cos(a), cy + length);
    sglEnd();
  }
}

void scene_fills() {
  sglIndexColori(4);
  quad(20.5f, 20.25f, 300.0f, 200.7f);
  sglIndexColori(7);
  sglTransparency8(170);
  star(200.0f, 150.0f, 120.0f);
  sglTransparency8(255);
  sglEnable(SGL_TESSELLATION);
  sglIndexColori(3);
  star(500.0f, 150.0f, 110.0f);
  sglDisable(SGL_TESSELLATION);
  sglBegin(SGL_PRIMITIVE_TRIANGLE_STRIP);
  for (int k = 0; k < 12; ++k) {
    sglVertex2f(900.0f + 30.0f * static_cast<float>(k), k % 2 == 0 ? 60.0f : 130.5f);
  }
  sglEnd();
  sglIndexColori(2);
  sgluArcSector2f(200.0f, 500.0f, 90.0f, 20.0f, 300.0f, 0, 1);
  sgluCrown2f(500.0f, 500.0f, 40.0f, 100.0f, 0.0f, 360.0f, 0, 1);
}

// Opaque fills smoothed by an antialiased outline in their colour.
void scene_smooth_outline() {
  sglEnable(SGL_POLYGON_SMOOTH);
  for (int k = 0; k < 5; ++k) {
    sglIndexColori(1 + k);
    star(150.0f + 240.0f * static_cast<float>(k), 300.0f + 17.3f * k, 100.0f - 9.0f * k);
  }
  sgluArcSector2f(640.0f, 600.0f, 120.0f, 10.0f, 250.0f, 0, 1);
  sglDisable(SGL_POLYGON_SMOOTH);
}

void scene_lines(uint8_t render_mode, bool smooth) {
  sglSetRenderMode(render_mode);
  if (smooth) sglEnable(SGL_LINE_SMOOTH);
  sglIndexHaloColori(0);
  for (int w = 0; w < 6; ++w) {
    sglIndexLineWidthi(w);
    sglIndexColori(1 + w % 5);
    const float x = 110.0f + 210.0f * static_cast<float>(w % 6);
    line_fan(x, 160.0f, 95.0f, SGL_PRIMITIVE_SEGMENTS);
    line_fan(x + 0.37f, 420.3f, 90.0f, SGL_PRIMITIVE_LINE_STRIP);
    sglBegin(SGL_PRIMITIVE_LINE_LOOP);
    sglVertex2f(x - 80.0f, 560.0f);
    sglVertex2f(x + 70.0f, 575.5f);
    sglVertex2f(x + 40.0f, 700.0f);
    sglVertex2f(x - 60.0f, 690.25f);
    sglEnd();
  }
}

void scene_lines_plain() {
  scene_lines(0, false);
}
void scene_lines_smooth() {
  scene_lines(0, true);
}
void scene_strands() {
  scene_lines(1, true);
}

void scene_stipples() {
  sglSetRenderMode(1);
  for (int s = 0; s < 2; ++s) {
    sglIndexLineStipplei(s);
    sglIndexLineWidthi(1 + 2 * s);
    sglIndexColori(2 + s);
    line_fan(300.0f + 500.0f * static_cast<float>(s), 380.0f, 300.0f, SGL_PRIMITIVE_SEGMENTS);
  }
}

void scene_points() {
  // Arcs smaller than a pixel come out as points of their size.
  for (int k = 0; k < 40; ++k) {
    sglIndexColori(1 + k % 5);
    const float r = 0.15f + 0.022f * static_cast<float>(k);
    sgluArcSector2f(40.0f + 30.5f * static_cast<float>(k), 300.0f + 0.3f * static_cast<float>(k), r,
                    0.0f, 360.0f, 0, 1);
    sgluCrown2f(40.0f + 30.25f * static_cast<float>(k), 400.7f, r * 0.3f, r, 0.0f, 360.0f, 0, 1);
  }
}

void setup_textures() {
  const std::vector<uint8_t> rgb = pattern(40, 30, 3);
  const std::vector<uint8_t> rgba = pattern(64, 64, 4);
  const std::vector<uint8_t> alpha = pattern(50, 20, 1);
  sglTexImage2Dubv(1, SGL_FORMAT_RGB, 40, 30, rgb.data(), 1);
  sglTexImage2Dubv(2, SGL_FORMAT_RGBA, 64, 64, rgba.data(), 0);
  sglTexImage2Dubv(3, SGL_FORMAT_ALPHA, 50, 20, alpha.data(), 1);
}

void scene_textures() {
  const float xs[2] = {40.0f, 440.0f};
  const float ys[2] = {40.0f, 340.0f};
  sglIndexColori(3);
  sglEnable(SGL_TEXTURE_FILL);
  for (int slot = 1; slot <= 3; ++slot) {
    for (int modulate = 0; modulate < 2; ++modulate) {
      if (modulate != 0) sglEnable(SGL_TEXTURE_MODULATE);
      sglBindTexture(SGL_TEXTURE_FILL, static_cast<uint32_t>(slot));
      sglFormatTexture(2, xs, ys, 2.5f, 0.0f, 1, 1);
      sglPushMatrixAndTranslate(400.0f * static_cast<float>(slot - 1), 360.0f * modulate);
      sglTransparency8(modulate != 0 ? 200 : 255);
      star(240.0f, 190.0f, 170.0f);
      sglPopMatrixAndTranslate();
      sglDisable(SGL_TEXTURE_MODULATE);
      sglTransparency8(255);
    }
  }
  sglDisable(SGL_TEXTURE_FILL);
  sgluDrawBitmap(2, 1150.0f, 20.0f);
  sgluDrawBitmap(1, 1150.0f, 700.0f);
}

void scene_text() {
  sgluLoadFonts(&Velkor_font_table);
  const char* const words = "Fetch Dekodierung \xe4\xf6\xfc 0x1234";
  for (int font = 20; font <= 25; ++font) {
    sglIndexFonti(font);
    sglIndexColori(1 + font % 5);
    write(20.0f, 40.0f + 110.0f * static_cast<float>(font - 20), words);
  }
  sglEnable(SGL_LINE_SMOOTH);  // outlined text: the alpha test at work
  sglIndexFontLineWidthi(1);
  sglIndexFonti(24);
  sglIndexColori(5);
  write(700.0f, 100.0f, "Umriss");
  sglDisable(SGL_LINE_SMOOTH);
  sglPushMatrixAndTranslate(900.0f, 300.0f);
  sglRotatef(33.0f);
  sglScalef(1.3f, 0.8f);
  sglIndexFonti(22);
  write(0.0f, 0.0f, "gedreht");
  sglPopMatrixAndTranslate();
}

void scene_masks() {
  const uint32_t box = sglAllocateMaskID(1);
  sglClipBox(box, 0, 100.0f, 100.0f, 500.0f, 400.0f);
  const uint32_t hole = sglAllocateMaskID(1);
  sglClipBox(hole, 1, 250.0f, 200.0f, 350.0f, 300.0f);
  const uint32_t shape = sglBeginMaskDefinition(0);
  star(900.0f, 400.0f, 250.0f);
  sglEndMaskDefinition();
  sglSetActiveMasks(box | hole);
  sglIndexColori(4);
  quad(0.0f, 0.0f, 700.0f, 700.0f);
  sglSetActiveMasks(shape);
  sglIndexColori(5);
  quad(600.0f, 100.0f, 1200.0f, 700.0f);
  sglSetRenderMode(1);
  sglEnable(SGL_LINE_SMOOTH);
  sglIndexLineWidthi(4);
  sglIndexColori(2);
  line_fan(900.0f, 400.0f, 300.0f, SGL_PRIMITIVE_SEGMENTS);
  sglSetActiveMasks(0);
}

void scene_scissors() {
  sglPushMatrixAndTranslate(100.5f, 80.25f);
  sglBeginScissor(600.0f, 400.0f);
  sglIndexColori(3);
  quad(-50.0f, -50.0f, 700.0f, 500.0f);
  sglPushMatrixAndTranslate(300.0f, 200.0f);
  sglBeginScissor(500.0f, 500.0f);
  sglIndexColori(2);
  star(100.0f, 100.0f, 200.0f);
  sglEndScissor();
  sglPopMatrixAndTranslate();
  sglEndScissor();
  sglPopMatrixAndTranslate();
}

void scene_clip_planes() {
  const uint32_t a = sglAllocateMaskID(0);
  const uint32_t b = sglAllocateMaskID(0);
  sglClipPlane(a, 640.0f, 384.0f, 20.0f, 1);
  sglClipPlane(b, 300.0f, 100.0f, 80.0f, 0);
  sglSetActiveMasks(a | b);
  sglIndexColori(4);
  star(640.0f, 384.0f, 350.0f);
  sglSetRenderMode(1);
  sglEnable(SGL_LINE_SMOOTH);
  sglIndexLineWidthi(3);
  sglIndexColori(5);
  line_fan(640.0f, 384.0f, 370.0f, SGL_PRIMITIVE_SEGMENTS);
  sglSetRenderMode(0);
  sglIndexLineWidthi(5);
  sglIndexColori(2);
  line_fan(300.0f, 384.0f, 200.0f, SGL_PRIMITIVE_SEGMENTS);
  sglSetActiveMasks(0);
}

void scene_transformations() {
  // As deep as the library's stack goes: the renderer's stack must hold it.
  for (int k = 0; k < 31; ++k) {
    sglPushMatrix();
    sglTranslatef(640.0f, 384.0f);
    sglRotatef(9.0f * static_cast<float>(k));
    sglScalef(1.0f - 0.02f * static_cast<float>(k), 1.0f);
    sglTranslatef(-640.0f, -384.0f);
    sglIndexColori(1 + k % 6);
    sglTransparency8(120);
    quad(640.0f, 384.0f, 940.0f, 404.0f);
  }
  for (int k = 0; k < 31; ++k) sglPopMatrix();
  sglTransparency8(255);
  sglIndexColori(1);
  quad(10.0f, 10.0f, 40.0f, 40.0f);  // back where it started
}

void scene_static_sequence() {
  sgluLoadFonts(&Velkor_font_table);
  const uint32_t list = sglBeginStaticSequence(0.0f, 0.0f, 300.0f, 200.0f);
  ASSERT_NE(0u, list);
  sglIndexColori(4);
  star(100.0f, 100.0f, 90.0f);
  sglSetRenderMode(1);
  sglEnable(SGL_LINE_SMOOTH);
  sglIndexLineWidthi(3);
  sglIndexColori(5);
  line_fan(100.0f, 100.0f, 95.0f, SGL_PRIMITIVE_SEGMENTS);
  sglIndexFonti(21);
  sglIndexColori(1);
  write(150.0f, 30.0f, "Liste");
  sglEndStaticSequence();
  for (int k = 0; k < 3; ++k) {
    // Whole pixels: an edge that falls on pixel centres may round either
    // way between the two renderers' vertex arithmetic.
    sglPushMatrixAndTranslate(100.0f + 380.0f * static_cast<float>(k), 200.0f + 61.0f * k);
    sglCallStaticSequence(list);
    sglPopMatrixAndTranslate();
  }
}

void scene_static_bitmap() {
  const std::vector<uint8_t> rgba = pattern(90, 70, 4);
  const uint32_t id = sglCreateStaticBitmap(100.0f, 100.0f, 90, 70,
                                            static_cast<uint32_t>(rgba.size()), rgba.data(), 0);
  sglDrawStaticBitmap(id);
  sglPushMatrixAndTranslate(300.0f, 200.0f);
  sglDrawStaticBitmap(id);
  sglPopMatrixAndTranslate();
}

void scene_gradient() {
  std::vector<uint8_t> ramp(64 * 4 * 4);
  for (int x = 0; x < 64; ++x) {
    for (int y = 0; y < 4; ++y) {
      uint8_t* p = &ramp[(y * 64 + x) * 4];
      p[0] = static_cast<uint8_t>(4 * x);
      p[1] = static_cast<uint8_t>(255 - 4 * x);
      p[2] = 128;
      p[3] = static_cast<uint8_t>(100 + 2 * x);
    }
  }
  sglGradientTexture(0, 64, 4, static_cast<uint32_t>(ramp.size()), ramp.data(), 0);
  sglIndexGradienti(0);
  const float xs[2] = {100.0f, 1100.0f};
  const float ys[2] = {100.0f, 600.0f};
  sglFormatGradient(2, xs, ys);
  sglEnable(SGL_GRADIENT_FILL);
  star(600.0f, 350.0f, 300.0f);
  sglDisable(SGL_GRADIENT_FILL);
}

void scene_depth() {
  sglEnable(SGL_DEPTH_TEST);
  sglSetRenderMode(0);
  sglEnable(SGL_LINE_SMOOTH);
  sglIndexHaloColori(6);
  sglIndexLineWidthi(4);
  for (int k = 0; k < 6; ++k) {
    sglIndexColori(1 + k % 5);
    line_fan(200.0f + 180.0f * static_cast<float>(k), 384.0f, 170.0f, SGL_PRIMITIVE_SEGMENTS);
  }
  sglDisable(SGL_DEPTH_TEST);
}

struct Scene {
  const char* name;
  void (*setup)();  // outside the frame: uploads
  void (*draw)();
  int allowance;       // largest difference of a channel
  int least_coloured;  // pixels the scene must colour
};

const Scene kScenes[] = {
    {"fills", nullptr, scene_fills, 0, 100000},
    {"smooth_outline", nullptr, scene_smooth_outline, 1, 80000},
    {"lines_plain", nullptr, scene_lines_plain, 1, 20000},
    {"lines_smooth_with_halo", nullptr, scene_lines_smooth, 2, 30000},
    {"strands", nullptr, scene_strands, 2, 30000},
    {"stipples", nullptr, scene_stipples, 1, 5000},
    {"points", nullptr, scene_points, 0, 60},
    {"textures", setup_textures, scene_textures, 0, 200000},
    {"text", nullptr, scene_text, 0, 10000},
    {"masks", nullptr, scene_masks, 2, 150000},
    {"scissors", nullptr, scene_scissors, 0, 150000},
    {"clip_planes", nullptr, scene_clip_planes, 1, 40000},
    {"transformations", nullptr, scene_transformations, 0, 40000},
    {"static_sequence", nullptr, scene_static_sequence, 2, 40000},
    {"static_bitmap", nullptr, scene_static_bitmap, 0, 12000},
    {"gradient", nullptr, scene_gradient, 0, 120000},
    {"depth", nullptr, scene_depth, 2, 30000},
};

sgl_renderer* es2_renderer() {
  static sgl_renderer* renderer = sglCreateRendererEs2(kDisplayWidth, kDisplayHeight);
  return renderer;
}

// The scene drawn by one renderer on its own context, the frame recorded
// (and so replayed) or drawn directly; the picture as BGRA, rows bottom-up.
std::vector<uint8_t> render(const Scene& scene, bool es2, bool recorded) {
  static sgl_type_statemachine context;
  static std::vector<uint8_t> scratch(64u * 1024u * 1024u);
  static std::vector<uint8_t> stream(8u * 1024u * 1024u);
  static sgl_texture_slot slots[2][kSlots];
  static sgl_texture_slot gradients[2][4];
  std::vector<uint8_t> pixels(static_cast<size_t>(kDisplayWidth) * kDisplayHeight * 4);
  if (es2 ? !velkor_test::MakeOffscreenEs2Current() : !velkor_test::MakeOffscreenGlCurrent()) {
    ADD_FAILURE() << "no off-screen context";
    return pixels;
  }
  sgl_parameters parameters = {kDisplayWidth, kDisplayHeight, scratch.data(), 1024, 1024,
                               slots[es2],    kSlots,         gradients[es2], 4};
  parameters.stream_buffer = recorded ? stream.data() : nullptr;
  parameters.stream_bytes = recorded ? static_cast<uint32_t>(stream.size()) : 0;
  parameters.renderer = es2 ? es2_renderer() : nullptr;
  if (es2 && parameters.renderer == nullptr) {
    ADD_FAILURE() << "no ES 2 renderer";
    return pixels;
  }
  for (sgl_texture_slot& slot : slots[es2]) slot = {};
  for (sgl_texture_slot& slot : gradients[es2]) slot = {};
  EXPECT_TRUE(sglInit(&context, &parameters));
  EXPECT_STREQ(es2 ? "es2" : "gl1", sglRendererName());
  sglColorPointerf(&kColours[0][0], 8);
  sglLineWidthPointerf(&kWidths[0][0], 6);
  sglLineStipplePointer(kStipples, 3);  // the last, selected by the reset, is solid
  if (scene.setup != nullptr) scene.setup();
  const float clear[4] = {0.1f, 0.12f, 0.15f, 0.0f};
  sglBeginFrame(clear);
  sglReset();
  sglViewport(0, 0, kDisplayWidth, kDisplayHeight);
  sglOrtho(0.0f, static_cast<float>(kDisplayWidth), 0.0f, static_cast<float>(kDisplayHeight));
  scene.draw();
  sglEndFrame();
  sglReadPixels(0, 0, kDisplayWidth, kDisplayHeight, kDisplayWidth, pixels.data());
  EXPECT_EQ(0u, context.errors.count)
      << scene.name << " logged error " << context.errors.entries[0].code;
  return pixels;
}

// Pixels whose largest channel difference exceeds `allowance`, and the
// largest difference seen.
struct Difference {
  int beyond = 0;
  int largest = 0;
  int first_x = -1, first_y = -1;
};

Difference compare(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, int allowance) {
  Difference d;
  for (size_t i = 0; i < a.size(); i += 4) {
    int largest = 0;
    for (int c = 0; c < 3; ++c) largest = std::max(largest, std::abs(a[i + c] - b[i + c]));
    d.largest = std::max(d.largest, largest);
    if (largest > allowance && d.beyond++ == 0) {
      d.first_x = static_cast<int>(i / 4) % kDisplayWidth;
      d.first_y = static_cast<int>(i / 4) / kDisplayWidth;
    }
  }
  return d;
}

int coloured(const std::vector<uint8_t>& picture) {
  int n = 0;
  for (size_t i = 0; i < picture.size(); i += 4) {
    // The clear colour is (38, 31, 26) in BGR.
    n += std::abs(picture[i] - 38) + std::abs(picture[i + 1] - 31) + std::abs(picture[i + 2] - 26) >
         12;
  }
  return n;
}

void write_ppm(const std::string& path, const std::vector<uint8_t>& bgra) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return;
  std::fprintf(file, "P6\n%d %d\n255\n", kDisplayWidth, kDisplayHeight);
  for (int y = kDisplayHeight - 1; y >= 0; --y) {
    for (int x = 0; x < kDisplayWidth; ++x) {
      const uint8_t* p = &bgra[(static_cast<size_t>(y) * kDisplayWidth + x) * 4];
      const uint8_t rgb[3] = {p[2], p[1], p[0]};
      std::fwrite(rgb, 1, 3, file);
    }
  }
  std::fclose(file);
}

class RendererEs2 : public ::testing::TestWithParam<Scene> {};

TEST_P(RendererEs2, DrawsWhatOpenGl1Draws) {
  const Scene& scene = GetParam();
  for (const bool recorded : {true, false}) {
    SCOPED_TRACE(recorded ? "frame recorded and replayed" : "frame drawn directly");
    const std::vector<uint8_t> gl1 = render(scene, false, recorded);
    const std::vector<uint8_t> es2 = render(scene, true, recorded);
    EXPECT_GE(coloured(gl1), scene.least_coloured) << "the scene draws too little to tell";
    const Difference d = compare(gl1, es2, scene.allowance);
    EXPECT_EQ(0, d.beyond) << d.beyond << " pixels differ by more than " << scene.allowance
                           << " (largest " << d.largest << "), the first at x " << d.first_x
                           << ", y " << d.first_y << " (from the bottom)";
    if (d.beyond > 0 && recorded) {
      const char* dir = std::getenv("TMPDIR");
      const std::string base = std::string(dir != nullptr ? dir : "/tmp") + "/es2_" + scene.name;
      write_ppm(base + "_gl1.ppm", gl1);
      write_ppm(base + "_es2.ppm", es2);
    }
  }
}

// What the code around the library does with a frame: read part of it into
// a wider buffer, and show a kept frame stretched over the window. Both
// renderers must give the bytes a plain copy gives: blue, green, red, alpha,
// rows bottom-up, nothing written beyond the part asked for.
TEST(RendererEs2Pixels, ReadBackAndShowKeptFrame) {
  const Scene fills = {"fills", nullptr, scene_fills, 0, 0};
  for (const bool es2 : {false, true}) {
    SCOPED_TRACE(es2 ? "es2" : "gl1");
    const std::vector<uint8_t> whole = render(fills, es2, true);
    // Part of it, into rows 400 pixels apart.
    constexpr int kX = 100, kY = 50, kWidth = 300, kHeight = 200, kRow = 400;
    std::vector<uint8_t> part(kRow * kHeight * 4, 0xEE);
    sglReadPixels(kX, kY, kWidth, kHeight, kRow, part.data());
    int wrong = 0, written_beyond = 0;
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kRow; ++x) {
        for (int c = 0; c < 4; ++c) {
          const uint8_t got = part[(y * kRow + x) * 4 + c];
          if (x >= kWidth) {
            written_beyond += got != 0xEE;
          } else {
            wrong += got != whole[((kY + y) * kDisplayWidth + kX + x) * 4 + c];
          }
        }
      }
    }
    EXPECT_EQ(0, wrong);
    EXPECT_EQ(0, written_beyond);

    // A 64 x 48 frame shown over the whole window: each of its pixels
    // becomes a block of 20 x 16, and the colours arrive unswapped.
    struct Row {
      int width, height;
    };
    for (const Row row : {Row{64, 48}, Row{kDisplayWidth, kDisplayHeight}}) {
      std::vector<uint8_t> kept(static_cast<size_t>(row.width) * row.height * 4);
      for (int y = 0; y < row.height; ++y) {
        for (int x = 0; x < row.width; ++x) {
          uint8_t* p = &kept[(static_cast<size_t>(y) * row.width + x) * 4];
          p[0] = static_cast<uint8_t>(x * 3);        // blue
          p[1] = static_cast<uint8_t>(y * 5);        // green
          p[2] = static_cast<uint8_t>(200 - x % 7);  // red
          p[3] = 255;
        }
      }
      sglDrawPixels(row.width, row.height, kept.data(), kDisplayWidth, kDisplayHeight);
      std::vector<uint8_t> shown(static_cast<size_t>(kDisplayWidth) * kDisplayHeight * 4);
      sglReadPixels(0, 0, kDisplayWidth, kDisplayHeight, kDisplayWidth, shown.data());
      int mismatched = 0;
      for (int y = 0; y < kDisplayHeight; ++y) {
        for (int x = 0; x < kDisplayWidth; ++x) {
          const int sx = x * row.width / kDisplayWidth;
          const int sy = y * row.height / kDisplayHeight;
          const uint8_t* want = &kept[(static_cast<size_t>(sy) * row.width + sx) * 4];
          const uint8_t* got = &shown[(static_cast<size_t>(y) * kDisplayWidth + x) * 4];
          mismatched += want[0] != got[0] || want[1] != got[1] || want[2] != got[2];
        }
      }
      EXPECT_EQ(0, mismatched) << row.width << " x " << row.height;
    }
    // The library's state survived the repaint: the same scene again is the
    // same picture.
    const float clear[4] = {0.1f, 0.12f, 0.15f, 0.0f};
    sglBeginFrame(clear);
    sglReset();
    sglViewport(0, 0, kDisplayWidth, kDisplayHeight);
    sglOrtho(0.0f, static_cast<float>(kDisplayWidth), 0.0f, static_cast<float>(kDisplayHeight));
    scene_fills();
    sglEndFrame();
    std::vector<uint8_t> again(whole.size());
    sglReadPixels(0, 0, kDisplayWidth, kDisplayHeight, kDisplayWidth, again.data());
    EXPECT_EQ(0, compare(whole, again, 0).beyond);
  }
}

INSTANTIATE_TEST_SUITE_P(Scenes, RendererEs2, ::testing::ValuesIn(kScenes),
                         [](const ::testing::TestParamInfo<Scene>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
