// A stand-in display layer and interactivity mapping for the host's tests.
// Not part of the product: it records every call the host makes, in order, so
// a test can read one frame as a list of lines, and it draws two rectangles
// with plain OpenGL so that frames have pixels to check.
//
//   host_test::StandIn stand_in;                 // clears the log
//   Application* app = Application_Allocate(&stand_in.params, nullptr);
//   ... Application_Draw(app) ...
//   EXPECT_EQ("ack", host_test::Log()[0]);
//
// Pass 0 fills (100, 100)-(300, 200) red and pass 2 fills (900, 500)-(1000,
// 600) green, in the layer's drawing units (origin bottom-left).
#pragma once

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

#include "graphics/sgl.h"
#include "host/host_application.h"

namespace host_test {

// The log is written on the drawing thread; a test running a real window
// reads it through LogCopy() while frames go on.
inline std::mutex& LogLock() {
  static std::mutex lock;
  return lock;
}

inline std::vector<std::string>& Log() {
  static std::vector<std::string> log;
  return log;
}

inline void Note(const std::string& line) {
  std::lock_guard<std::mutex> lock(LogLock());
  Log().push_back(line);
}

inline std::vector<std::string> LogCopy() {
  std::lock_guard<std::mutex> lock(LogLock());
  return Log();
}

// Forwarded to the real mapping when set, so widgets' readers see the events.
inline bool& ForwardToMapping() {
  static bool forward = false;
  return forward;
}

inline std::string Describe(const KeyboardEvent* e) {
  char text[128];
  snprintf(text, sizeof text, "keyboard id=%u key=%u pressed=%u released=%u mods=%u", e->id, e->key, e->pressed,
           e->released, e->modifiers);
  return text;
}

inline std::string Describe(const PointerEvent* e) {
  char text[160];
  snprintf(text, sizeof text, "pointer id=%u x=%g y=%g button=%u pressed=%u released=%u mods=%u", e->id, e->x, e->y,
           e->button, e->pressed, e->released, e->modifiers);
  return text;
}

struct LayerContext {
  int init_calls;
  int frames;
};

inline void* Alloc() {
  Note("alloc");
  return calloc(1, sizeof(LayerContext));
}
inline void Free(void* context) {
  Note("free");
  free(context);
}
inline void Init(void* context) {
  Note("init");
  ++static_cast<LayerContext*>(context)->init_calls;
}
inline void Predraw(void* context) {
  ++static_cast<LayerContext*>(context)->frames;
  // The projection in force when the layer starts its frame.
  const sgl_orthographic& ortho = glob_pr_sglStatemachine->ortho;
  char text[96];
  snprintf(text, sizeof text, "predraw ortho=%g,%g,%g,%g", ortho.left, ortho.right, ortho.bottom, ortho.top);
  Note(text);
}
inline void Draw(void* /*context*/, uint32_t pass) {
  Note("draw " + std::to_string(pass));
  if (pass == 0) {
    glColor4f(1.0f, 0.0f, 0.0f, 1.0f);
    glRectf(100.0f, 100.0f, 300.0f, 200.0f);
  } else if (pass == 2) {
    glColor4f(0.0f, 1.0f, 0.0f, 1.0f);
    glRectf(900.0f, 500.0f, 1000.0f, 600.0f);
  }
}

inline void Reset() { Note("reset"); }
inline void Step() {
  Note("step");
  if (ForwardToMapping()) BHVR_Step();
}
inline void Acknowledge() {
  Note("ack");
  if (ForwardToMapping()) BHVR_SetAsynchronousACK();
}
inline void Pointer(const PointerEvent* event) {
  Note(Describe(event));
  if (ForwardToMapping()) BHVR_Pointer(event);
}
inline void Keyboard(const KeyboardEvent* event) {
  Note(Describe(event));
  if (ForwardToMapping()) BHVR_Keyboard(event);
}
inline void CursorRequest(BHVR_CursorPosCallback callback, void* context) {
  Note(callback != nullptr && context != nullptr ? "cursor" : "cursor without callback");
  if (ForwardToMapping()) BHVR_CursorPosRequest(callback, context);
}

// Colours: 0 black, 1 dark blue (the background), 2 white.
inline const float* Colors() {
  static const float colors[] = {0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.5f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f};
  return colors;
}

// The description of an application with the stand-in layer, one pointer and
// one keyboard, shaped like the program's own.
struct StandIn {
  LayerDesc layer;
  PointerDesc pointer;
  KeyboardDesc keyboard;
  ApplicationParams params;

  StandIn() : layer(), pointer(), keyboard(), params() {
    Log().clear();
    ForwardToMapping() = false;
    snprintf(layer.name, sizeof layer.name, "%s", "symbology_layer");
    layer.x_scale = 1.0f;
    layer.y_scale = 1.0f;
    layer.alloc = Alloc;
    layer.free = Free;
    layer.init = Init;
    layer.predraw = Predraw;
    layer.draw = Draw;
    snprintf(pointer.name, sizeof pointer.name, "%s", "_ptr0");
    snprintf(keyboard.name, sizeof keyboard.name, "%s", "_kbd0");
    snprintf(params.name, sizeof params.name, "%s", "Velkor");
    params.touch_disabled = 1;
    params.render_mode = 1;
    params.pixel_aligned_text = 1;
    params.width = 1280;
    params.height = 768;
    params.max_texture_width = 1024;
    params.max_texture_height = 1024;
    params.period = 1;
    params.reset = Reset;
    params.step = Step;
    params.acknowledge = Acknowledge;
    params.pointer = Pointer;
    params.keyboard = Keyboard;
    params.cursor_request = CursorRequest;
    params.color_table = Colors();
    params.color_count = 3;
    params.background_color_index = 1;
    params.texture_slot_count = 4;
    params.layer_count = 1;
    params.layers = &layer;
    params.pointer_count = 1;
    params.pointers = &pointer;
    params.keyboard_count = 1;
    params.keyboards = &keyboard;
    params.draw_passes = 3;
  }
  StandIn(const StandIn&) = delete;
  StandIn& operator=(const StandIn&) = delete;
};

}  // namespace host_test
