// display_fixture.h - the display classes under a real frame, off-screen.
//
//   SglTest with the panel's colour, line, font and texture tables. A test
//   queues pointer and key events; Frame(draw) runs one frame as the host
//   does (at most one key and one pointer record handed over, the drawing,
//   the step). Positions are pixels of the 1280 x 768 off-screen
//   framebuffer, origin bottom left:
//     MoveTo(150, 120); Press(); Frame([&] { DrawAt(100, 100, 1, 0, draw); });
//
// Threads: the test's main thread only.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

#include "display/Velkor_ColorBase.h"
#include "graphics/sgl.h"
#include "panel/Velkor_color_table.h"
#include "panel/Velkor_font_table.h"
#include "panel/Velkor_line_stipple_table.h"
#include "panel/Velkor_line_width_table.h"
#include "panel/Velkor_texture_table.h"
#include "tests/support/gl_fixture.h"
#include "widgets/Focus.h"
#include "widgets/interactivity_mapping.h"

namespace velkor_test {

// Plain colours of the panel's table.
constexpr int32_t kBlack = 1;
constexpr int32_t kWhite = 2;
constexpr int32_t kGrey = 5;
constexpr int32_t kRed = 11;

// The pixels of a rectangle of the framebuffer as 0xRRGGBB, row by row: two
// pictures of the same place compare equal exactly when they look the same.
inline std::vector<uint32_t> PixelBlock(int x, int y, int width, int height) {
  std::vector<uint32_t> out;
  out.reserve(static_cast<size_t>(width > 0 && height > 0 ? width * height : 0));
  for (int j = y; j < y + height; ++j) {
    for (int i = x; i < x + width; ++i) {
      const Rgba p = ReadPixel(i, j);
      out.push_back(static_cast<uint32_t>(p.r) << 16 | static_cast<uint32_t>(p.g) << 8 | p.b);
    }
  }
  return out;
}

// The colour of a table entry as bytes, for pixel comparisons.
inline Rgba TableColor(int32_t index) {
  const float* c = Velkor_color_table.rgba[index];
  auto byte = [](float v) { return static_cast<uint8_t>(v * 255.0f + 0.5f); };
  return Rgba{byte(c[0]), byte(c[1]), byte(c[2]), byte(c[3])};
}

class DisplayTest : public SglTest {
 protected:
  void SetUp() override {
    SglTest::SetUp();
    if (HasFatalFailure()) return;
    sglColorPointerf(&Velkor_color_table.rgba[0][0], kVelkorColorCount);
    sglLineWidthPointerf(&Velkor_line_width_table[0][0], kVelkorLineWidthCount);
    sglLineStipplePointer(Velkor_line_stipple_table, kVelkorLineStippleCount);
    sgluLoadFonts(&Velkor_font_table);
    Velkor_texture_table();
    ClearFocus();
    BHVR_ForgetDevices();
    pointers_.clear();
    keys_.clear();
  }

  void TearDown() override {
    ClearFocus();
    BHVR_ForgetDevices();
    SglTest::TearDown();
  }

  // ---- The story's input; each frame takes at most one queued event per device.
  void MoveTo(float x, float y) {
    x_ = x;
    y_ = y;
  }
  void Press(uint32_t button = 1) { pointers_.push_back({0, x_, y_, button, 1, 0, 0}); }
  void Release(uint32_t button = 1) { pointers_.push_back({0, x_, y_, button, 0, 1, 0}); }
  // A wheel notch: button 4 away from the user, 5 towards.
  void Wheel(uint32_t button) { pointers_.push_back({0, x_, y_, button, 1, 0, 0}); }
  void KeyDown(uint32_t key) { keys_.push_back({0, key, 1, 0, 0}); }
  // A typed key: its down and its up, in two frames.
  void Type(uint32_t key) {
    KeyDown(key);
    keys_.push_back({0, key, 0, 1, 0});
  }
  // A click at (x, y) over three frames drawn by `draw`: moved there, pressed, released.
  void ClickAt(float x, float y, const std::function<void()>& draw) {
    MoveTo(x, y);
    draw();
    Press();
    draw();
    Release();
    draw();
  }
  // A typed key over two frames drawn by `draw`.
  void TypeKey(uint32_t key, const std::function<void()>& draw) {
    Type(key);
    draw();
    draw();
  }

  // Events queued but not yet handed to a frame (one pointer and one key per frame).
  bool InputPending() const { return !pointers_.empty() || !keys_.empty(); }

  // One frame as the host draws it.
  void Frame(const std::function<void()>& draw) {
    BHVR_SetAsynchronousACK();
    const KeyboardEvent key = Take(&keys_, KeyboardEvent{0, 0, 0, 0, 0});
    BHVR_Keyboard(&key);
    const PointerEvent pointer = Take(&pointers_, PointerEvent{0, x_, y_, 0, 0, 0, 0});
    BHVR_Pointer(&pointer);
    sglReset();
    sglViewport(0, 0, kDisplayWidth, kDisplayHeight);
    sglOrtho(0.0f, static_cast<float>(kDisplayWidth), 0.0f, static_cast<float>(kDisplayHeight));
    ClearDisplay();
    draw();
    BHVR_Step();
  }

  // One frame of one instance at (x, y), scaled: its predraw, its draw in pass 0.
  template <typename T>
  void FrameOf(T* w, void (*predraw)(T*), void (*draw)(T*, uint32_t), float x, float y,
               float scale = 1) {
    Frame([&] {
      predraw(w);
      DrawAt(x, y, scale, 0, [&] { draw(w, 0); });
    });
  }

  // Runs `draw` with the origin moved to (x, y), then scaled and turned by
  // `degrees` counter-clockwise about that origin.
  static void DrawAt(float x, float y, float scale, float degrees,
                     const std::function<void()>& draw) {
    sglPushMatrix();
    sglTranslatef(x, y);
    if (degrees != 0.0f) sglRotatef(degrees);
    if (scale != 1.0f) sglScalef(scale, scale);
    draw();
    sglPopMatrix();
  }

 private:
  // The first queued event, or `idle` when none is queued.
  template <typename E>
  static E Take(std::deque<E>* queue, E idle) {
    if (queue->empty()) return idle;
    idle = queue->front();
    queue->pop_front();
    return idle;
  }
  float x_ = 0.0f;
  float y_ = 0.0f;
  std::deque<PointerEvent> pointers_;
  std::deque<KeyboardEvent> keys_;
};

}  // namespace velkor_test
