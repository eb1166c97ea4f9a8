// The OpenGL ES 2 renderer's shader sources, GLSL ES 1.00 as WebGL 1 takes
// it; each variant is compiled with TEXTURE, COVERAGE and ALPHA_TEST defined
// 0 or 1 (sgl_renderer_es2_internal.h).
#include "graphics/sgl_renderer_es2_internal.h"

const char kSglEs2VertexShader[] = R"(
attribute vec4 a_position;
attribute vec4 a_color;
attribute vec2 a_texcoord;
attribute vec4 a_coverage;
varying vec4 v_color;
#if TEXTURE
varying vec2 v_texcoord;
#endif
#if COVERAGE
varying vec4 v_coverage;
#endif
void main() {
  gl_Position = a_position;
  v_color = a_color;
#if TEXTURE
  v_texcoord = a_texcoord;
#endif
#if COVERAGE
  v_coverage = a_coverage;
#endif
}
)";

// Full precision wherever there is one: llvmpipe's mediump is a 16-bit float,
// which turns a colour such as 0.1 into 25 instead of OpenGL 1.x's 26, and
// a texel read at the sampler's default lowp drags the colour down with it.
const char kSglEs2FragmentShader[] = R"(
#ifdef GL_FRAGMENT_PRECISION_HIGH
precision highp float;
precision highp sampler2D;
#else
precision mediump float;
#endif
varying vec4 v_color;
#if TEXTURE
uniform sampler2D u_texture;
uniform float u_modulate;
uniform vec4 u_texture_mask;
varying vec2 v_texcoord;
#endif
#if COVERAGE
varying vec4 v_coverage;
// How much of a line a pixel centred at distance u from its axis (or from
// its middle) covers, the line reaching h to either side: the overlap of a
// pixel with [-h, h] (h is at least a half).
float ramp(float u, float h) {
  return clamp(h + 0.5 - abs(u), 0.0, 1.0);
}
#endif
#if ALPHA_TEST
// x: 1 + the function's offset from GL_NEVER; y: the reference.
uniform vec2 u_alpha_test;
#endif
void main() {
  vec4 color = v_color;
#if TEXTURE
  vec4 texel = texture2D(u_texture, v_texcoord);
  if (u_modulate > 0.5) {
    color = v_color * mix(vec4(1.0), texel, u_texture_mask);
  } else {
    color = mix(v_color, texel, u_texture_mask);
  }
#endif
#if COVERAGE
  // Fills and points in a batch with lines cover their pixels whole (a
  // half width of 0 says so).
  if (v_coverage.z > 0.0) {
    // A line shorter than a pixel covers less: llvmpipe scales its ramp by
    // 2L / (L + 1), L its length.
    float half_length = v_coverage.w;
    float short_line = min(1.0, 4.0 * half_length / (2.0 * half_length + 1.0));
    float coverage =
        ramp(v_coverage.x, v_coverage.z) * ramp(v_coverage.y, half_length) * short_line;
    if (coverage <= 0.0) discard;
    color.a *= coverage;
  }
#endif
#if ALPHA_TEST
  float f = u_alpha_test.x;
  float a = color.a;
  float r = u_alpha_test.y;
  bool pass = f < 1.5 ? false : f < 2.5 ? a < r : f < 3.5 ? a == r : f < 4.5 ? a <= r
            : f < 5.5 ? a > r : f < 6.5 ? a != r : f < 7.5 ? a >= r : true;
  if (!pass) discard;
#endif
  gl_FragColor = color;
}
)";

// Shows a kept frame: blue, green, red, alpha bytes uploaded as they are.
const char kSglEs2BlitVertexShader[] = R"(
attribute vec2 a_corner;
varying vec2 v_st;
void main() {
  v_st = a_corner;
  gl_Position = vec4(a_corner * 2.0 - 1.0, 0.0, 1.0);
}
)";

const char kSglEs2BlitFragmentShader[] = R"(
precision mediump float;
uniform sampler2D u_image;
varying vec2 v_st;
void main() {
  gl_FragColor = texture2D(u_image, v_st).bgra;
}
)";
