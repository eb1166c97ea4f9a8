// The fixed-function OpenGL 1.x renderer: every operation is the OpenGL call
// of its name, so a frame drawn through it is exactly the calls the library
// made. The wrappers, the one-time context lookup in sgli_renderer and the
// table's indirect call are all the cost.
#include <GL/gl.h>

#include "graphics/sgl_internal.h"
#include "graphics/sgl_renderer_internal.h"

namespace {

void gl1_enable(void*, uint32_t capability) {
  glEnable(capability);
}
void gl1_disable(void*, uint32_t capability) {
  glDisable(capability);
}
void gl1_enable_client_state(void*, uint32_t array) {
  glEnableClientState(array);
}
void gl1_disable_client_state(void*, uint32_t array) {
  glDisableClientState(array);
}
void gl1_alpha_func(void*, uint32_t function, float reference) {
  glAlphaFunc(function, reference);
}
void gl1_blend_func(void*, uint32_t source, uint32_t destination) {
  glBlendFunc(source, destination);
}
void gl1_depth_func(void*, uint32_t function) {
  glDepthFunc(function);
}
void gl1_bind_texture(void*, uint32_t target, uint32_t name) {
  glBindTexture(target, name);
}
void gl1_tex_env_i(void*, uint32_t target, uint32_t name, int32_t value) {
  glTexEnvi(target, name, value);
}
void gl1_color_4f(void*, float red, float green, float blue, float alpha) {
  glColor4f(red, green, blue, alpha);
}
void gl1_line_width(void*, float width) {
  glLineWidth(width);
}
void gl1_point_size(void*, float size) {
  glPointSize(size);
}
void gl1_matrix_mode(void*, uint32_t mode) {
  glMatrixMode(mode);
}
void gl1_load_identity(void*) {
  glLoadIdentity();
}
void gl1_load_matrix_f(void*, const float* matrix) {
  glLoadMatrixf(matrix);
}
void gl1_push_matrix(void*) {
  glPushMatrix();
}
void gl1_pop_matrix(void*) {
  glPopMatrix();
}
void gl1_translate_f(void*, float x, float y, float z) {
  glTranslatef(x, y, z);
}
void gl1_rotate_f(void*, float degrees, float x, float y, float z) {
  glRotatef(degrees, x, y, z);
}
void gl1_scale_f(void*, float x, float y, float z) {
  glScalef(x, y, z);
}
void gl1_viewport(void*, int32_t x, int32_t y, int32_t width, int32_t height) {
  glViewport(x, y, width, height);
}
void gl1_clear(void*, uint32_t mask) {
  glClear(mask);
}
void gl1_clear_color(void*, float red, float green, float blue, float alpha) {
  glClearColor(red, green, blue, alpha);
}
void gl1_clear_stencil(void*, int32_t value) {
  glClearStencil(value);
}
void gl1_stencil_mask(void*, uint32_t mask) {
  glStencilMask(mask);
}
void gl1_stencil_func(void*, uint32_t function, int32_t reference, uint32_t mask) {
  glStencilFunc(function, reference, mask);
}
void gl1_stencil_op(void*, uint32_t fail, uint32_t depth_fail, uint32_t pass) {
  glStencilOp(fail, depth_fail, pass);
}
void gl1_color_mask(void*, uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha) {
  glColorMask(red, green, blue, alpha);
}
void gl1_scissor(void*, int32_t x, int32_t y, int32_t width, int32_t height) {
  glScissor(x, y, width, height);
}
void gl1_clip_plane(void*, uint32_t plane, const double* equation) {
  glClipPlane(plane, equation);
}
void gl1_call_list(void*, uint32_t list) {
  glCallList(list);
}
void gl1_begin(void*, uint32_t mode) {
  glBegin(mode);
}
void gl1_end(void*) {
  glEnd();
}
void gl1_vertex_2f(void*, float x, float y) {
  glVertex2f(x, y);
}
void gl1_tex_coord_2f(void*, float s, float t) {
  glTexCoord2f(s, t);
}
void gl1_vertex_pointer(void*, const float* pointer) {
  glVertexPointer(2, GL_FLOAT, 0, pointer);
}
void gl1_tex_coord_pointer(void*, const float* pointer) {
  glTexCoordPointer(2, GL_FLOAT, 0, pointer);
}
void gl1_draw_arrays(void*, uint32_t mode, int32_t first, int32_t count) {
  glDrawArrays(mode, first, count);
}
void gl1_get_integer_v(void*, uint32_t name, int32_t* out_values) {
  glGetIntegerv(name, out_values);
}
void gl1_gen_textures(void*, int32_t count, uint32_t* out_names) {
  glGenTextures(count, out_names);
}
void gl1_delete_textures(void*, int32_t count, const uint32_t* names) {
  glDeleteTextures(count, names);
}
void gl1_tex_parameter_i(void*, uint32_t target, uint32_t name, int32_t value) {
  glTexParameteri(target, name, value);
}
void gl1_pixel_store_i(void*, uint32_t name, int32_t value) {
  glPixelStorei(name, value);
}
void gl1_tex_image_2d(void*, uint32_t target, int32_t level, int32_t internal_format, int32_t width,
                      int32_t height, int32_t border, uint32_t format, uint32_t type,
                      const void* pixels) {
  glTexImage2D(target, level, internal_format, width, height, border, format, type, pixels);
}
uint32_t gl1_gen_lists(void*, int32_t range) {
  return glGenLists(range);
}
void gl1_new_list(void*, uint32_t list, uint32_t mode) {
  glNewList(list, mode);
}
void gl1_end_list(void*) {
  glEndList();
}

void gl1_read_pixels(void*, int32_t x, int32_t y, int32_t width, int32_t height, int32_t row_pixels,
                     uint8_t* out_bgra) {
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glPixelStorei(GL_PACK_ROW_LENGTH, row_pixels == width ? 0 : row_pixels);
  glPixelStorei(GL_PACK_SKIP_ROWS, 0);
  glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
  glReadPixels(x, y, width, height, GL_BGRA, GL_UNSIGNED_BYTE, out_bgra);
  glPixelStorei(GL_PACK_ROW_LENGTH, 0);
}

void gl1_draw_pixels(void*, int32_t width, int32_t height, const uint8_t* bgra, int32_t to_width,
                     int32_t to_height) {
  // Plain pixels: no texturing, blending or tests on the way, and every
  // enable and matrix put back so the drawing library's state cache stays
  // true.
  glPushAttrib(GL_ENABLE_BIT | GL_VIEWPORT_BIT | GL_PIXEL_MODE_BIT);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_BLEND);
  glDisable(GL_ALPHA_TEST);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_STENCIL_TEST);
  glDisable(GL_SCISSOR_TEST);
  glViewport(0, 0, to_width, to_height);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glRasterPos2f(-1.0f, -1.0f);
  glPixelZoom(static_cast<float>(to_width) / static_cast<float>(width),
              static_cast<float>(to_height) / static_cast<float>(height));
  glDrawPixels(width, height, GL_BGRA, GL_UNSIGNED_BYTE, bgra);
  glPixelZoom(1.0f, 1.0f);
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopAttrib();
}

void gl1_flush(void*) {
  glFlush();
}

const sgl_renderer kGl1Renderer = {
    "gl1",
    nullptr,
    gl1_enable,
    gl1_disable,
    gl1_enable_client_state,
    gl1_disable_client_state,
    gl1_alpha_func,
    gl1_blend_func,
    gl1_depth_func,
    gl1_bind_texture,
    gl1_tex_env_i,
    gl1_color_4f,
    gl1_line_width,
    gl1_point_size,
    gl1_matrix_mode,
    gl1_load_identity,
    gl1_load_matrix_f,
    gl1_push_matrix,
    gl1_pop_matrix,
    gl1_translate_f,
    gl1_rotate_f,
    gl1_scale_f,
    gl1_viewport,
    gl1_clear,
    gl1_clear_color,
    gl1_clear_stencil,
    gl1_stencil_mask,
    gl1_stencil_func,
    gl1_stencil_op,
    gl1_color_mask,
    gl1_scissor,
    gl1_clip_plane,
    gl1_call_list,
    gl1_begin,
    gl1_end,
    gl1_vertex_2f,
    gl1_tex_coord_2f,
    gl1_vertex_pointer,
    gl1_tex_coord_pointer,
    gl1_draw_arrays,
    gl1_get_integer_v,
    gl1_gen_textures,
    gl1_delete_textures,
    gl1_tex_parameter_i,
    gl1_pixel_store_i,
    gl1_tex_image_2d,
    gl1_gen_lists,
    gl1_new_list,
    gl1_end_list,
    gl1_read_pixels,
    gl1_draw_pixels,
    gl1_flush,
};

}  // namespace

const sgl_renderer* sgli_renderer_gl1() {
  return &kGl1Renderer;
}
