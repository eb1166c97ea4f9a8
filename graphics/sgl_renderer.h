// sgl_renderer.h - who turns the drawing library's OpenGL calls into pixels.
//
// What it is
//   Every OpenGL call of the library, issued at once or replayed from a
//   recorded frame (sglBeginFrame in sgl.h), goes to one renderer through a
//   small table of operations (graphics/sgl_renderer_internal.h), as GLFW's
//   shared code reaches each window system. Two renderers exist:
//     - fixed-function OpenGL 1.x, the default: each operation is the OpenGL
//       call of the same name;
//     - OpenGL ES 2 (the level of WebGL 1): a shader program of the
//       library's own does what fixed function would - matrix stacks,
//       colours and blending, textures (modulate and replace), alpha test,
//       stencil, scissors, clip planes, antialiased wide lines, points,
//       display lists - from buffer objects, with GLSL ES 1.00 and no
//       extension.
//   The ES 2 renderer draws what OpenGL 1.x draws on Mesa's llvmpipe: the
//   same fills and text to the bit, antialiased lines within one level per
//   channel (llvmpipe's smooth line is a box filter across and along the
//   line, widths below one pixel drawn one pixel wide, and so is this one).
//
// How a program uses it
//   OpenGL 1.x: nothing to do (sgl_parameters.renderer stays null).
//   OpenGL ES 2, with an ES 2 context current on the drawing thread:
//       sgl_renderer* es2 = sglCreateRendererEs2(1280, 768);   // null: no ES 2
//       sgl_parameters parameters = {...};
//       parameters.renderer = es2;
//       sglInit(&context, &parameters);
//       ... frames; read back with sglReadPixels, then sglFlush / swap ...
//       sglDestroyRendererEs2(es2);   // the context still current
//   Whatever the renderer, the code around the library reads the frame with
//   sglReadPixels, shows a kept frame with sglDrawPixels and ends a frame
//   with sglFlush instead of calling OpenGL itself.
//
// Threads: the drawing thread, which holds the renderer's context current.
#pragma once

#include <cstdint>

struct sgl_renderer;

// An OpenGL ES 2 renderer for the ES 2 context current now; its buffers are
// made here, once (frames allocate nothing). max_width x max_height bounds
// what sglReadPixels and sglDrawPixels handle. Null, with one line on stderr,
// when the context cannot compile the shader program.
sgl_renderer* sglCreateRendererEs2(int32_t max_width, int32_t max_height);
// Frees the renderer's OpenGL objects (its context must be current) and its
// memory. Null is ignored. No library context may use it afterwards.
void sglDestroyRendererEs2(sgl_renderer* renderer);
// The name of the current context's renderer: "gl1" or "es2".
const char* sglRendererName();

// The pixels of (x, y, width, height) of the frame as blue, green, red,
// alpha bytes, rows bottom-up; row k starts at out_bgra + k * row_pixels * 4.
// Whatever the renderer has not drawn yet is drawn first.
void sglReadPixels(int32_t x, int32_t y, int32_t width, int32_t height, int32_t row_pixels,
                   uint8_t* out_bgra);
// Shows a width x height image (blue, green, red, alpha; rows bottom-up)
// stretched over (0, 0, to_width, to_height) of the window, as plain
// pixels: no blending, texturing or tests. The renderer's state is kept;
// the next frame is sent in full (sglInvalidateFrame).
void sglDrawPixels(int32_t width, int32_t height, const uint8_t* bgra, int32_t to_width,
                   int32_t to_height);
// Everything drawn so far goes to OpenGL (glFlush).
void sglFlush();
