// A stand-in display layer and interactivity mapping for the host's tests: it
// logs the calls the host makes, in order, and draws pass 0 red over
// (100, 100)-(300, 200), pass 2 green over (900, 500)-(1000, 600).
//   host_test::StandIn stand_in;                 // clears the log
//   Application* app = Application_Allocate(&stand_in.params, nullptr);
#pragma once

#include <GL/gl.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "host/host_internal.h"

namespace host_test {

// A directory of its own for one test, removed with everything in it.
struct TempDir {
  std::string path;
  TempDir() {
    char pattern[] = "/tmp/velkor_host_XXXXXX";
    path = mkdtemp(pattern);
  }
  ~TempDir() { std::system(("rm -rf '" + path + "'").c_str()); }
  std::string file(const std::string& name) const { return path + "/" + name; }
};

inline std::string ReadFile(const std::string& path) {
  std::stringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  return text.str();
}

// Written on the drawing thread while a real window's test reads it.
inline std::mutex log_lock;
inline std::vector<std::string> call_log;

inline void Note(const std::string& line) {
  std::lock_guard<std::mutex> lock(log_lock);
  call_log.push_back(line);
}

inline std::vector<std::string> LogCopy() {
  std::lock_guard<std::mutex> lock(log_lock);
  return call_log;
}

inline std::string Describe(const KeyboardEvent* e) {
  char text[128];
  snprintf(text, sizeof text, "keyboard id=%u key=%u pressed=%u released=%u mods=%u", e->id, e->key,
           e->pressed, e->released, e->modifiers);
  return text;
}

inline std::string Describe(const PointerEvent* e) {
  char text[160];
  snprintf(text, sizeof text, "pointer id=%u x=%g y=%g button=%u pressed=%u released=%u mods=%u",
           e->id, e->x, e->y, e->button, e->pressed, e->released, e->modifiers);
  return text;
}

inline void Draw(void* /*context*/, uint32_t pass) {
  Note("draw " + std::to_string(pass));
  glColor4f(pass == 0 ? 1.0f : 0.0f, pass == 2 ? 1.0f : 0.0f, 0.0f, 1.0f);
  if (pass == 0) glRectf(100.0f, 100.0f, 300.0f, 200.0f);
  if (pass == 2) glRectf(900.0f, 500.0f, 1000.0f, 600.0f);
}

// Shaped like the program: one 1280 x 768 layer, one pointer, one keyboard,
// three passes; colours 0 black, 1 dark blue (the background), 2 white.
struct StandIn {
  LayerDesc layer = {};
  PointerDesc pointer = {"_ptr0", 0};
  KeyboardDesc keyboard = {"_kbd0", 0};
  ApplicationParams params = {};

  StandIn() {
    call_log.clear();
    layer.x_scale = layer.y_scale = 1.0f;
    layer.alloc = [] {
      Note("alloc");
      return calloc(1, 16);
    };
    layer.free = [](void* context) {
      Note("free");
      free(context);
    };
    layer.init = [](void*) { Note("init"); };
    layer.draw = Draw;
    snprintf(params.name, sizeof params.name, "Velkor");
    params.render_mode = params.pixel_aligned_text = 1;
    params.width = 1280;
    params.height = 768;
    params.max_texture_width = params.max_texture_height = 1024;
    params.reset = [] { Note("reset"); };
    params.step = [] { Note("step"); };
    params.acknowledge = [] { Note("ack"); };
    params.pointer = [](const PointerEvent* e) { Note(Describe(e)); };
    params.keyboard = [](const KeyboardEvent* e) { Note(Describe(e)); };
    static const float colors[] = {0, 0, 0, 1, 0, 0, 0.5f, 1, 1, 1, 1, 1};
    params.color_table = colors;
    params.color_count = 3;
    params.background_color_index = 1;
    params.texture_slot_count = 4;
    params.layer_count = params.pointer_count = params.keyboard_count = 1;
    params.layers = &layer;
    params.pointers = &pointer;
    params.keyboards = &keyboard;
    params.draw_passes = 3;
  }
};

}  // namespace host_test
