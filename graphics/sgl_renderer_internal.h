// sgl_renderer_internal.h - the table of operations between the frame
// recorder and a renderer.
//
// What it is
//   One entry per OpenGL call the library makes (graphics/
//   sgl_stream_internal.h lists them), with OpenGL 1.x's meaning and numbers
//   (GL_BLEND is 0x0BE2 for every renderer), plus the three calls the code
//   around the library needs (read back, show pixels, flush). The recorder
//   calls the current context's renderer for a call made at once and for
//   each record it replays; nothing else in the library reaches a renderer.
//   self is the renderer's own state, handed back to every operation.
//
//   Renderers: sgl_renderer_gl1.cpp (each operation is its OpenGL 1.x call)
//   and sgl_renderer_es2.cpp (OpenGL ES 2). Types are plain integers, so
//   that neither renderer's headers leak into the other.
//
// Threads: the drawing thread.
#pragma once

#include <cstdint>

#include "graphics/sgl_renderer.h"

struct sgl_renderer {
  const char* name;
  void* self;

  // State and drawing: recorded in a frame, replayed in order.
  void (*enable)(void* self, uint32_t capability);
  void (*disable)(void* self, uint32_t capability);
  void (*enable_client_state)(void* self, uint32_t array);
  void (*disable_client_state)(void* self, uint32_t array);
  void (*alpha_func)(void* self, uint32_t function, float reference);
  void (*blend_func)(void* self, uint32_t source, uint32_t destination);
  void (*depth_func)(void* self, uint32_t function);
  void (*bind_texture)(void* self, uint32_t target, uint32_t name);
  void (*tex_env_i)(void* self, uint32_t target, uint32_t name, int32_t value);
  void (*color_4f)(void* self, float red, float green, float blue, float alpha);
  void (*line_width)(void* self, float width);
  void (*point_size)(void* self, float size);
  void (*matrix_mode)(void* self, uint32_t mode);
  void (*load_identity)(void* self);
  void (*load_matrix_f)(void* self, const float* matrix);  // 16, column by column
  void (*push_matrix)(void* self);
  void (*pop_matrix)(void* self);
  void (*translate_f)(void* self, float x, float y, float z);
  void (*rotate_f)(void* self, float degrees, float x, float y, float z);
  void (*scale_f)(void* self, float x, float y, float z);
  void (*viewport)(void* self, int32_t x, int32_t y, int32_t width, int32_t height);
  void (*clear)(void* self, uint32_t mask);
  void (*clear_color)(void* self, float red, float green, float blue, float alpha);
  void (*clear_stencil)(void* self, int32_t value);
  void (*stencil_mask)(void* self, uint32_t mask);
  void (*stencil_func)(void* self, uint32_t function, int32_t reference, uint32_t mask);
  void (*stencil_op)(void* self, uint32_t fail, uint32_t depth_fail, uint32_t pass);
  void (*color_mask)(void* self, uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha);
  void (*scissor)(void* self, int32_t x, int32_t y, int32_t width, int32_t height);
  void (*clip_plane)(void* self, uint32_t plane, const double* equation);  // 4
  void (*call_list)(void* self, uint32_t list);
  void (*begin)(void* self, uint32_t mode);
  void (*end)(void* self);
  void (*vertex_2f)(void* self, float x, float y);
  void (*tex_coord_2f)(void* self, float s, float t);
  // Client arrays of two packed floats per point, the only layout the
  // library uses; a draw reads them at once.
  void (*vertex_pointer)(void* self, const float* pointer);
  void (*tex_coord_pointer)(void* self, const float* pointer);
  void (*draw_arrays)(void* self, uint32_t mode, int32_t first, int32_t count);

  // Calls that answer or change objects the renderer keeps.
  void (*get_integer_v)(void* self, uint32_t name, int32_t* out_values);
  void (*gen_textures)(void* self, int32_t count, uint32_t* out_names);
  void (*delete_textures)(void* self, int32_t count, const uint32_t* names);
  void (*tex_parameter_i)(void* self, uint32_t target, uint32_t name, int32_t value);
  void (*pixel_store_i)(void* self, uint32_t name, int32_t value);
  void (*tex_image_2d)(void* self, uint32_t target, int32_t level, int32_t internal_format,
                       int32_t width, int32_t height, int32_t border, uint32_t format,
                       uint32_t type, const void* pixels);
  uint32_t (*gen_lists)(void* self, int32_t range);
  void (*new_list)(void* self, uint32_t list, uint32_t mode);
  void (*end_list)(void* self);

  // The frame around the library (sgl_renderer.h).
  void (*read_pixels)(void* self, int32_t x, int32_t y, int32_t width, int32_t height,
                      int32_t row_pixels, uint8_t* out_bgra);
  void (*draw_pixels)(void* self, int32_t width, int32_t height, const uint8_t* bgra,
                      int32_t to_width, int32_t to_height);
  void (*flush)(void* self);
};

// The fixed-function OpenGL 1.x renderer, the one a context has unless
// sgl_parameters names another, and the one calls made without a context go to.
const sgl_renderer* sgli_renderer_gl1();
// The renderer of the current context (the OpenGL 1.x one without a context).
const sgl_renderer* sgli_renderer();
