// Text and fonts: loading the font table into glyph textures, selecting
// fonts and alignment, the font metrics widgets measure with, and writing
// text as textured glyph quads.
#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "graphics/sgl.h"
#include "graphics/sgl_font.h"
#include "graphics/sgl_internal.h"

namespace {

const uint8_t* loaded_table() {
  return glob_pr_sglStatemachine->font_table;
}

// Frees the glyph textures of the table loaded before, so that loading a
// table again does not leave its predecessor's textures behind in OpenGL.
void release_font_textures(sgl_type_statemachine* context) {
  for (uint32_t& name : context->font_texture_names) {
    if (name != 0) {
      const GLuint gl_name = name;
      sgliGlDeleteTextures(1, &gl_name);
      name = 0;
    }
  }
  // A deleted texture that was bound leaves texture 0 bound.
  context->gl_bound_texture = SGL_BOUND_TEXTURE_UNKNOWN;
}

// Decodes one glyph texture into the scratch buffer and uploads it as an
// alpha texture. 0 when it cannot: no scratch buffer, larger than OpenGL or
// the buffer allow, or data that does not decode to exactly its size.
uint32_t upload_font_texture(sgl_type_statemachine* context, const sgl_font_texture& texture) {
  GLint max_size = 0;
  sgliGlGetIntegerv(GL_MAX_TEXTURE_SIZE, &max_size);
  const uint64_t texels = static_cast<uint64_t>(texture.width) * texture.height;
  const uint64_t capacity =
      static_cast<uint64_t>(context->max_texture_width) * context->max_texture_height * 4;
  if (context->texture_buffer == nullptr || texture.data == nullptr || texels == 0 ||
      texels > capacity || texture.width > static_cast<uint32_t>(max_size) ||
      texture.height > static_cast<uint32_t>(max_size)) {
    return 0;
  }
  if (!sgl_decode_font_texture(texture.data, texture.length, texture.width, texture.height,
                               context->texture_buffer)) {
    return 0;
  }
  GLuint name = 0;
  sgliGlGenTextures(1, &name);
  sgliBindTexture(name);
  // Glyph quads sit on whole pixels and their coordinates on texel edges,
  // so at the fonts' own size linear filtering reproduces the texels
  // exactly. Text drawn smaller (a thumbnail, a window below the native
  // size) reads a box-filtered level of its own scale instead: sampled from
  // the full-size texels alone, a glyph would lose every column that falls
  // between two pixel centres ("Immed ate").
  sgliGlTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  sgliGlTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  sgliGlTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  sgliGlTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  sgliGlPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  uint32_t width = texture.width;
  uint32_t height = texture.height;
  for (GLint level = 0;; ++level) {
    sgliGlTexImage2D(GL_TEXTURE_2D, level, GL_ALPHA, static_cast<GLsizei>(width),
                     static_cast<GLsizei>(height), 0, GL_ALPHA, GL_UNSIGNED_BYTE,
                     context->texture_buffer);
    if (width == 1 && height == 1) break;
    sgl_halve_alpha_texels(context->texture_buffer, width, height);
    width = width > 1 ? width / 2 : 1;
    height = height > 1 ? height / 2 : 1;
  }
  return name;
}

}  // namespace

void sgluLoadFonts(const void* table_pointer) {
  sgl_type_statemachine* context = glob_pr_sglStatemachine;
  if (context == nullptr) return;
  const uint8_t* table = static_cast<const uint8_t*>(table_pointer);
  if (table != nullptr) {
    const uint32_t problem = sgl_font_table_check(table);
    if (problem != 0) {
      sgliSetError(SGL_ERROR_LOAD_FONTS, problem);
      return;
    }
  }
  context->text.font = SGL_FONT_NONE;
  release_font_textures(context);
  context->font_table = table;
  context->font_count = table != nullptr ? sgl_font_table_font_count(table) : 0;
  if (table == nullptr) return;
  const uint32_t textures = sgl_font_table_texture_count(table);
  for (uint32_t index = 0; index < textures; ++index) {
    sgl_font_texture texture;
    sgl_font_table_texture(table, index, &texture);
    context->font_texture_names[index] = upload_font_texture(context, texture);
    if (context->font_texture_names[index] == 0) {
      sgliSetError(SGL_ERROR_LOAD_FONTS, kSglFontTableBadTexture);
    }
  }
}

bool sgli_get_font(uint32_t slot, sgl_font* out_font) {
  const uint8_t* table = loaded_table();
  if (table == nullptr) return false;
  if (slot < glob_pr_sglStatemachine->font_count && sgl_font_table_font(table, slot, out_font))
    return true;
  return sgl_font_table_first_font(table, out_font);
}

void sglIndexFonti(int32_t index) {
  sgl_type_statemachine* context = glob_pr_sglStatemachine;
  if (index >= 0 && static_cast<uint32_t>(index) < context->font_count) {
    context->text.font = static_cast<uint32_t>(index);
    return;
  }
  context->text.font = SGL_FONT_NONE;
  sgliSetError(SGL_ERROR_INDEX_FONT, static_cast<uint32_t>(index));
}

void sglIndexFontLineWidthi(int32_t index) {
  sgl_type_statemachine* context = glob_pr_sglStatemachine;
  if (index < 0) {
    sgliSetError(SGL_ERROR_FONT_LINE_WIDTH, static_cast<uint32_t>(index));
    return;
  }
  if (index >= 8) {
    sgliSetError(SGL_ERROR_FONT_LINE_WIDTH, static_cast<uint32_t>(index));
    index = 7;
  }
  context->text.font_line_width = static_cast<uint32_t>(index);
  context->text.outline_width_step = index > 0 ? index - 1 : 0;
}

void sglSetTextAlignment(uint32_t horizontal, uint32_t vertical) {
  sgl_text_state* text = &glob_pr_sglStatemachine->text;
  if (horizontal <= 2) {
    text->align_h = horizontal;
    text->align_factor_h = 0.5f * static_cast<float>(horizontal);
  } else {
    sgliSetError(SGL_ERROR_TEXT_ALIGNMENT, horizontal);
  }
  if (vertical <= 2) {
    text->align_v = vertical;
    text->align_factor_v = 0.5f * static_cast<float>(vertical);
  } else {
    sgliSetError(SGL_ERROR_TEXT_ALIGNMENT, vertical);
  }
}

float sglGetFontValue(uint32_t font, uint32_t character, uint32_t kind) {
  sgl_type_statemachine* context = glob_pr_sglStatemachine;
  if (kind >= 10) {
    sgliSetError(SGL_ERROR_FONT_VALUE, kind);
    return 0.0f;
  }
  if (font >= context->font_count) {
    sgliSetError(SGL_ERROR_FONT_VALUE, font);
    return 0.0f;
  }
  sgl_font record;
  if (!sgli_get_font(font, &record)) return 0.0f;
  return kind < 4 ? sgl_font_glyph_value(record, character, kind) : sgl_font_value(record, kind);
}

uint32_t sgli_get_char_index(uint16_t* out_code, const char* text, uint32_t available) {
  return sgl_decode_char(glob_pr_sglStatemachine->text.encoding,
                         reinterpret_cast<const uint8_t*>(text), available, out_code);
}

float sgli_get_string_width(const uint16_t* codes, uint32_t count, bool ink_end) {
  sgl_type_statemachine* context = glob_pr_sglStatemachine;
  sgl_font font;
  if (!sgli_get_font(context->text.font, &font)) return 0.0f;
  return sgl_text_width(font, codes, count,
                        context->text.text_scale * context->transform.font_scale_x, ink_end);
}

// ---------------------------------------------------------------------------
// Writing text
// ---------------------------------------------------------------------------
namespace {

constexpr uint32_t kMaxTextCharacters = 1024;
constexpr uint32_t kMaxAreaCharacters = 4096;
constexpr uint32_t kMaxRichBytes = 4096;
// Four corners per glyph, two more to join it to the previous one.
constexpr uint32_t kVerticesPerGlyph = 6;
// Codes the fonts cannot map (beyond 16 bits, broken surrogates) are drawn
// as the replacement character, or the missing-character glyph without one.
constexpr uint16_t kReplacementCode = 0xFFFD;

// Extent of what a text covers, in the drawing units it is written in.
struct InkBox {
  bool empty;
  float x1, y1, x2, y2;
};

void add_to_box(InkBox* box, float x1, float y1, float x2, float y2) {
  if (box == nullptr) return;
  if (box->empty) {
    *box = {false, std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
    return;
  }
  box->x1 = std::min(box->x1, std::min(x1, x2));
  box->y1 = std::min(box->y1, std::min(y1, y2));
  box->x2 = std::max(box->x2, std::max(x1, x2));
  box->y2 = std::max(box->y2, std::max(y1, y2));
}

// One call of a writer: it draws, or only measures what it would cover
// (the bounds queries), or both (the WithBBox variants).
struct TextPass {
  sgl_type_statemachine* context;
  bool draw;
  InkBox* box;             // null: nothing measured
  float scale_x, scale_y;  // drawing units of one font pixel
};

TextPass make_pass(sgl_type_statemachine* context, bool draw, InkBox* box) {
  return {context, draw, box, context->text.text_scale * context->transform.font_scale_x,
          context->text.text_scale * context->transform.font_scale_y};
}

// Glyph quads collected as one triangle strip per glyph texture.
struct GlyphBatch {
  sgl_type_statemachine* context;
  uint32_t texture;  // OpenGL name of the glyphs collected so far
  uint32_t count;    // vertices collected
};

void flush_glyphs(GlyphBatch* batch) {
  if (batch->count == 0) return;
  sgliBindTexture(batch->texture);
  sgli_draw_arrays(GL_TRIANGLE_STRIP, &batch->context->vertices[0][0],
                   &batch->context->texcoords[0][0], batch->count);
  batch->count = 0;
}

void push_vertex(GlyphBatch* batch, float x, float y, float s, float t) {
  sgl_type_statemachine* context = batch->context;
  context->vertices[batch->count][0] = x;
  context->vertices[batch->count][1] = y;
  context->texcoords[batch->count][0] = s;
  context->texcoords[batch->count][1] = t;
  ++batch->count;
}

void add_glyph_quad(GlyphBatch* batch, uint32_t texture, const float* corners,
                    const sgl_glyph& glyph) {
  if (texture != batch->texture || batch->count + kVerticesPerGlyph > SGL_VERTEX_BUFFER_SIZE) {
    flush_glyphs(batch);
    batch->texture = texture;
  }
  if (batch->count > 0) {
    // Two degenerate triangles join this quad to the previous one.
    const uint32_t last = batch->count - 1;
    const float* v = batch->context->vertices[last];
    const float* st = batch->context->texcoords[last];
    push_vertex(batch, v[0], v[1], st[0], st[1]);
    push_vertex(batch, corners[0], corners[1], glyph.s0, glyph.t0);
  }
  push_vertex(batch, corners[0], corners[1], glyph.s0, glyph.t0);
  push_vertex(batch, corners[2], corners[1], glyph.s1, glyph.t0);
  push_vertex(batch, corners[0], corners[3], glyph.s0, glyph.t1);
  push_vertex(batch, corners[2], corners[3], glyph.s1, glyph.t1);
}

// The texture of a glyph that has a bitmap to draw, else 0.
uint32_t glyph_texture(const sgl_type_statemachine* context, const sgl_glyph& glyph) {
  if (glyph.width == 0 || glyph.height == 0 || glyph.texture >= SGL_FONT_TEXTURE_COUNT) return 0;
  return context->font_texture_names[glyph.texture];
}

// How far a glyph quad reaches beyond its bitmap when the text is drawn
// smaller than its font: the filtered ink of the outer texels spreads up to
// a pixel further, and a quad cut at the bitmap would drop it (a stem one
// texel wide at the edge of an "l" lost half its strength). The panel's
// font table keeps four empty texels around every glyph, as far as the
// margin and the filtered levels down to quarter size read, so the margin
// shows nothing but the glyph's own ink; a table packed tighter shows a
// trace of a neighbour, in reduced text only.
constexpr float kReducedGlyphMargin = 2.0f;

// True when one font pixel covers less than a screen pixel either way.
bool text_is_reduced(const TextPass& pass, float x, float y) {
  float px1 = 0.0f, py1 = 0.0f, px2 = 0.0f, py2 = 0.0f, px3 = 0.0f, py3 = 0.0f;
  sglConvertPointToPixel(x, y, &px1, &py1);
  sglConvertPointToPixel(x + pass.scale_x, y, &px2, &py2);
  sglConvertPointToPixel(x, y + pass.scale_y, &px3, &py3);
  const float across = std::hypot(px2 - px1, py2 - py1);
  const float up = std::hypot(px3 - px1, py3 - py1);
  return across < 0.999f || up < 0.999f;
}

// Draws one run's glyphs with the pen starting at (x, y) on the baseline;
// with a box, adds their bitmaps grown by `grow` font pixels on every side.
void sgli_draw_bitmap_string(const TextPass& pass, const sgl_font& font, const uint16_t* codes,
                             uint32_t count, float x, float y, bool draw, float grow) {
  sgl_type_statemachine* context = pass.context;
  GlyphBatch batch = {context, 0, 0};
  const float margin = draw && text_is_reduced(pass, x, y) ? kReducedGlyphMargin : 0.0f;
  float pen = x;
  for (uint32_t i = 0; i < count; ++i) {
    sgl_glyph glyph;
    sgl_font_glyph(font, codes[i], &glyph);
    const uint32_t texture = glyph_texture(context, glyph);
    if (texture != 0) {
      const float corners[4] = {pen + glyph.x_offset * pass.scale_x,
                                y + glyph.y_offset * pass.scale_y,
                                pen + (glyph.x_offset + glyph.width) * pass.scale_x,
                                y + (glyph.y_offset + glyph.height) * pass.scale_y};
      if (draw) {
        // The bitmap with `margin` texels more on every side.
        const float ds = margin * (glyph.s1 - glyph.s0) / glyph.width;
        const float dt = margin * (glyph.t1 - glyph.t0) / glyph.height;
        const float dx = margin * pass.scale_x, dy = margin * pass.scale_y;
        const float quad[4] = {corners[0] - dx, corners[1] - dy, corners[2] + dx, corners[3] + dy};
        sgl_glyph wide = glyph;
        wide.s0 -= ds, wide.t0 -= dt, wide.s1 += ds, wide.t1 += dt;
        add_glyph_quad(&batch, texture, quad, wide);
      } else {
        add_to_box(pass.box, corners[0] - grow * pass.scale_x, corners[1] - grow * pass.scale_y,
                   corners[2] + grow * pass.scale_x, corners[3] + grow * pass.scale_y);
      }
    }
    pen += glyph.advance * pass.scale_x;
  }
  flush_glyphs(&batch);
}

// Moves a pen start onto the nearest whole pixel, so that glyph texels meet
// pixels one to one; only while the drawing is not rotated.
void align_to_pixel(sgl_type_statemachine* context, float* x, float* y) {
  if (!context->pixel_aligned_text || context->transform.rotation != 0.0f) return;
  float px = 0.0f, py = 0.0f;
  sglConvertPointToPixel(*x, *y, &px, &py);
  sglConvertPixelToPoint(mth_f_round(px), mth_f_round(py), x, y);
}

// How the glyphs of a run are coloured.
struct GlyphPaint {
  uint32_t color;         // colour index
  bool complement;        // drawn in the complement of that colour (inverted text)
  bool outline;           // ringed in outline_color first
  int32_t outline_color;  // negative: black
};

GlyphPaint plain_paint(const sgl_type_statemachine* context) {
  return {context->text.color_index, false, false, -1};
}

void set_paint_color(sgl_type_statemachine* context, uint32_t color, bool complement) {
  uint8_t& inverse = context->appearance.inverse_video;
  if (complement) inverse = inverse ? 0 : 1;
  sgliUpdateColor(color);
  if (complement) inverse = inverse ? 0 : 1;
}

void set_ring_color(int32_t color) {
  if (color >= 0) {
    sgliUpdateColor(static_cast<uint32_t>(color));
  } else {
    sgliColor4f(0.0f, 0.0f, 0.0f, 1.0f);
  }
}

// A halo or outline: the run drawn one display pixel off in each of the
// four directions.
constexpr float kRingOffsets[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};

void draw_ring(const TextPass& pass, const sgl_font& font, const uint16_t* codes, uint32_t count,
               float x, float y) {
  for (const auto& offset : kRingOffsets) {
    sgli_draw_bitmap_string(pass, font, codes, count, x + offset[0] * pass.scale_x,
                            y + offset[1] * pass.scale_y, true, 0);
  }
}

// Writes one run of glyphs with its pen at (x, y): the halo first while
// smoothing is on, then the outline, then the glyphs themselves.
void sgli_fonts_draw_bitmap_text(const TextPass& pass, const sgl_font& font, const uint16_t* codes,
                                 uint32_t count, float x, float y, const GlyphPaint& paint) {
  if (count == 0) return;
  sgl_type_statemachine* context = pass.context;
  const bool halo = context->smoothing == 1 || context->smoothing == 2;
  const bool main = context->smoothing != 2;
  if (pass.box != nullptr) {
    sgli_draw_bitmap_string(pass, font, codes, count, x, y, false,
                            (halo || paint.outline) ? 1.0f : 0.0f);
  }
  if (!pass.draw) return;
  if (context->smoothing != 0) sgliGlEnable(GL_ALPHA_TEST);
  if (halo) {
    set_ring_color(context->halo_color_index);
    draw_ring(pass, font, codes, count, x, y);
  }
  if (paint.outline) {
    set_ring_color(paint.outline_color);
    draw_ring(pass, font, codes, count, x, y);
  }
  if (main) {
    set_paint_color(context, paint.color, paint.complement);
    sgli_draw_bitmap_string(pass, font, codes, count, x, y, true, 0);
  }
  if (context->smoothing != 0) sgliGlDisable(GL_ALPHA_TEST);
}

// The rectangle (x1, y1) - (x2, y2) as a strip of the context's vertices.
void draw_box(sgl_type_statemachine* context, float x1, float y1, float x2, float y2) {
  const float corners[4][2] = {{x1, y1}, {x2, y1}, {x1, y2}, {x2, y2}};
  std::memcpy(context->vertices, corners, sizeof corners);
  sgli_draw_arrays(GL_TRIANGLE_STRIP, &context->vertices[0][0], nullptr, 4);
}

// A plain filled box (backgrounds, inverted spans, underlines) between text
// runs: texturing is off for it and back on afterwards.
void fill_box(const TextPass& pass, float x1, float y1, float x2, float y2, uint32_t color,
              bool complement) {
  add_to_box(pass.box, x1, y1, x2, y2);
  if (!pass.draw) return;
  sgl_type_statemachine* context = pass.context;
  sgliDisable(GL_TEXTURE_2D);
  set_paint_color(context, color, complement);
  draw_box(context, x1, y1, x2, y2);
  sgliEnable(GL_TEXTURE_2D);
}

// What writing changes and gives back: texturing and blending on, the text
// at full opacity, alpha textures modulating the colour (the colour from the
// text, the coverage from the glyph).
struct TextSaved {
  uint8_t transparency;
  uint8_t texture_2d;
  uint8_t blend;
  uint32_t environment;
};

// Always gives the state as it was, so that a measuring pass (which changes
// nothing and restores nothing) still holds a fully written record.
TextSaved begin_text(const TextPass& pass) {
  sgl_type_statemachine* context = pass.context;
  const TextSaved saved = {context->transparency, context->gl_texture_2d, context->gl_blend,
                           context->gl_tex_env[2]};
  if (!pass.draw) return saved;
  context->transparency = 255;
  sgliEnable(GL_TEXTURE_2D);
  sgliEnable(GL_BLEND);
  sgliTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  return saved;
}

void end_text(const TextPass& pass, const TextSaved& saved) {
  if (!pass.draw) return;
  sgl_type_statemachine* context = pass.context;
  context->transparency = saved.transparency;
  sgliTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, saved.environment);
  if (!saved.texture_2d) sgliDisable(GL_TEXTURE_2D);
  if (!saved.blend) sgliDisable(GL_BLEND);
  sgliUpdateColor(context->color_index);
  context->color_validity = 0;
}

float font_ascent(const TextPass& pass, const sgl_font& font) {
  return pass.scale_y * sgl_font_value(font, 7);
}

float font_descent(const TextPass& pass, const sgl_font& font) {
  return pass.scale_y * sgl_font_value(font, 9);
}

bool is_line_break(uint16_t code) {
  return code == 10 || code == 13;
}

// Lines split at line breaks (10, 13; 13 10 and 10 13 are one break), the
// first placed on (x, y) by the alignment, each next one a line height lower.
void write_lines(const TextPass& pass, const sgl_font& font, const uint16_t* codes, uint32_t count,
                 float x, float y) {
  sgl_type_statemachine* context = pass.context;
  const float ascent = font_ascent(pass, font);
  const float pitch = ascent + font_descent(pass, font);
  uint32_t start = 0;
  uint32_t line = 0;
  while (start <= count) {
    uint32_t end = start;
    while (end < count && !is_line_break(codes[end])) ++end;
    const float width = sgl_text_width(font, codes + start, end - start, pass.scale_x, true);
    float pen_x = 0.0f, pen_y = 0.0f;
    sgl_text_line_origin(x, y - static_cast<float>(line) * pitch, context->text.align_factor_h,
                         context->text.align_factor_v, width, ascent, &pen_x, &pen_y);
    align_to_pixel(context, &pen_x, &pen_y);
    sgli_fonts_draw_bitmap_text(pass, font, codes + start, end - start, pen_x, pen_y,
                                plain_paint(context));
    if (end == count) break;
    start = end + 1;
    if (start < count && is_line_break(codes[start]) && codes[start] != codes[end]) ++start;
    ++line;
  }
}

// The text wrapped into the rectangle; false when it needed more lines than
// an area holds (the first ones are written).
bool write_area(const TextPass& pass, const sgl_font& font, const uint16_t* codes, uint32_t count,
                float x1, float y1, float x2, float y2) {
  sgl_type_statemachine* context = pass.context;
  sgl_text_state* text = &context->text;
  const sgl_text_separators separators = {text->word_separators, text->word_separator_count,
                                          text->line_separators, text->line_separator_count};
  bool overflow = false;
  text->line_count =
      sgl_text_break_lines(font, pass.scale_x, codes, count, std::fabs(x2 - x1), separators,
                           text->ts_lines, SGL_TEXT_LINE_COUNT, &overflow);
  const float ascent = font_ascent(pass, font);
  const float descent = font_descent(pass, font);
  for (uint32_t i = 0; i < text->line_count; ++i) {
    const sgl_text_line& line = text->ts_lines[i];
    float pen_x = 0.0f, pen_y = 0.0f;
    sgl_text_area_line_origin(text->align_h, text->align_v, x1, y1, x2, y2, i, text->line_count,
                              line.width, ascent, descent, &pen_x, &pen_y);
    align_to_pixel(context, &pen_x, &pen_y);
    sgli_fonts_draw_bitmap_text(pass, font, codes + line.start, line.length, pen_x, pen_y,
                                plain_paint(context));
  }
  return !overflow;
}

// Where the characters of a text come from.
enum class TextKind {
  kBytes,  // bytes in the context's encoding
  kUtf16,  // 16-bit code units
  kWide,   // wchar_t characters
};

// Decodes the text up to its 0, reading no element at or beyond `limit`
// (bytes, 16-bit units or wchar_t): a caller may hand over a buffer of
// exactly `limit` elements without a terminator. Every character takes at
// least one element, so there are at most `limit` codes.
uint32_t decode_text(TextKind kind, const void* text, uint32_t limit, uint16_t* out_codes) {
  uint32_t count = 0;
  if (kind == TextKind::kBytes) {
    const char* bytes = static_cast<const char*>(text);
    uint32_t at = 0;
    while (at < limit && bytes[at] != 0) {
      at += sgli_get_char_index(&out_codes[count++], bytes + at, limit - at);
    }
  } else if (kind == TextKind::kUtf16) {
    const uint16_t* units = static_cast<const uint16_t*>(text);
    uint32_t at = 0;
    while (at < limit && units[at] != 0) {
      uint16_t code = units[at++];
      if (code >= 0xD800 && code <= 0xDFFF) {
        // A pair stands for one character beyond the fonts' 16-bit codes.
        if (code <= 0xDBFF && at < limit && units[at] >= 0xDC00 && units[at] <= 0xDFFF) ++at;
        code = kReplacementCode;
      }
      out_codes[count++] = code;
    }
  } else {
    const wchar_t* characters = static_cast<const wchar_t*>(text);
    while (count < limit && characters[count] != 0) {
      const uint32_t code = static_cast<uint32_t>(characters[count]);
      out_codes[count] = code > 0xFFFF ? kReplacementCode : static_cast<uint16_t>(code);
      ++count;
    }
  }
  return count;
}

// The checks every writer makes: no text or a negative length records
// `error` and writes nothing; more than `most` records it and writes the
// first `most`.
bool take_length(const void* text, int32_t length, uint32_t most, uint32_t error,
                 uint32_t* out_limit) {
  if (text == nullptr || length < 0) {
    sgliSetError(error, static_cast<uint32_t>(text == nullptr ? 0 : length));
    return false;
  }
  *out_limit = static_cast<uint32_t>(length);
  if (*out_limit > most) {
    sgliSetError(error, *out_limit);
    *out_limit = most;
  }
  return true;
}

void write_text_of(TextKind kind, const void* text, int32_t length, uint32_t error, float x,
                   float y, bool draw, InkBox* box) {
  sgl_type_statemachine* context = glob_pr_sglStatemachine;
  uint32_t limit = 0;
  if (!take_length(text, length, kMaxTextCharacters, error, &limit)) return;
  sgl_font font;
  if (!sgli_get_font(context->text.font, &font)) return;
  uint16_t codes[kMaxTextCharacters];
  const uint32_t count = decode_text(kind, text, limit, codes);
  const TextPass pass = make_pass(context, draw, box);
  const TextSaved saved = begin_text(pass);
  write_lines(pass, font, codes, count, x, y);
  end_text(pass, saved);
}

void write_area_of(TextKind kind, const void* text, int32_t length, uint32_t error, float x1,
                   float y1, float x2, float y2, bool draw, InkBox* box) {
  sgl_type_statemachine* context = glob_pr_sglStatemachine;
  uint32_t limit = 0;
  if (!take_length(text, length, kMaxAreaCharacters, error, &limit)) return;
  sgl_font font;
  if (!sgli_get_font(context->text.font, &font)) return;
  uint16_t codes[kMaxAreaCharacters];
  const uint32_t count = decode_text(kind, text, limit, codes);
  const TextPass pass = make_pass(context, draw, box);
  const TextSaved saved = begin_text(pass);
  const bool fits = write_area(pass, font, codes, count, x1, y1, x2, y2);
  end_text(pass, saved);
  if (!fits) sgliSetError(error, SGL_TEXT_LINE_COUNT);
}

// What a WithBBox variant does with the box of the text it wrote: adds it
// to the text bounds being collected and, while a stencil mask is being
// defined, to that mask - the whole box, not only the glyphs' ink.
void add_text_bounds(const InkBox& box) {
  sgl_type_statemachine* context = glob_pr_sglStatemachine;
  if (box.empty) return;
  sgl_text_state* text = &context->text;
  if (text->bounds_collecting) {
    const float corners[4][2] = {
        {box.x1, box.y1}, {box.x2, box.y1}, {box.x1, box.y2}, {box.x2, box.y2}};
    for (const auto& corner : corners) {
      float px = 0.0f, py = 0.0f;
      sglConvertPointToPixel(corner[0], corner[1], &px, &py);
      if (text->bounds_empty) {
        text->bounds_x1 = text->bounds_x2 = px;
        text->bounds_y1 = text->bounds_y2 = py;
        text->bounds_empty = 0;
      }
      text->bounds_x1 = std::min(text->bounds_x1, px);
      text->bounds_y1 = std::min(text->bounds_y1, py);
      text->bounds_x2 = std::max(text->bounds_x2, px);
      text->bounds_y2 = std::max(text->bounds_y2, py);
    }
  }
  if (context->clipping.mask_under_definition != 0) {
    sgli_bounding_box_add_rect(box.x1, box.y1, box.x2, box.y2);  // the mask's own box
    draw_box(context, box.x1, box.y1, box.x2, box.y2);
  }
}

bool give_box(const InkBox& box, float* out_x1, float* out_y1, float* out_x2, float* out_y2) {
  if (box.empty) return false;
  if (out_x1 != nullptr) *out_x1 = box.x1;
  if (out_y1 != nullptr) *out_y1 = box.y1;
  if (out_x2 != nullptr) *out_x2 = box.x2;
  if (out_y2 != nullptr) *out_y2 = box.y2;
  return true;
}

}  // namespace

void sgluWriteText(float x, float y, const char* text, int32_t length) {
  write_text_of(TextKind::kBytes, text, length, SGL_ERROR_WRITE_TEXT, x, y, true, nullptr);
}

void sgluWriteUnicodeText(float x, float y, const uint16_t* text, int32_t length) {
  write_text_of(TextKind::kUtf16, text, length, SGL_ERROR_WRITE_UNICODE_TEXT, x, y, true, nullptr);
}

void sgluWriteWideText(float x, float y, const wchar_t* text, int32_t length) {
  write_text_of(TextKind::kWide, text, length, SGL_ERROR_WRITE_WIDE_TEXT, x, y, true, nullptr);
}

void sgluWriteTextArea(float x1, float y1, float x2, float y2, const char* text, int32_t length) {
  write_area_of(TextKind::kBytes, text, length, SGL_ERROR_WRITE_TEXT_AREA, x1, y1, x2, y2, true,
                nullptr);
}

void sgluWriteUnicodeTextArea(float x1, float y1, float x2, float y2, const uint16_t* text,
                              int32_t length) {
  write_area_of(TextKind::kUtf16, text, length, SGL_ERROR_WRITE_UNICODE_TEXT_AREA, x1, y1, x2, y2,
                true, nullptr);
}

void sgluWriteWideTextArea(float x1, float y1, float x2, float y2, const wchar_t* text,
                           int32_t length) {
  write_area_of(TextKind::kWide, text, length, SGL_ERROR_WRITE_WIDE_TEXT_AREA, x1, y1, x2, y2, true,
                nullptr);
}

void sgluWriteTextWithBBox(float x, float y, const char* text, int32_t length) {
  InkBox box = {true, 0, 0, 0, 0};
  write_text_of(TextKind::kBytes, text, length, SGL_ERROR_WRITE_TEXT, x, y, true, &box);
  add_text_bounds(box);
}

void sgluWriteTextUnicodeWithBBox(float x, float y, const uint16_t* text, int32_t length) {
  InkBox box = {true, 0, 0, 0, 0};
  write_text_of(TextKind::kUtf16, text, length, SGL_ERROR_WRITE_UNICODE_TEXT, x, y, true, &box);
  add_text_bounds(box);
}

void sgluWriteWideTextWithBBox(float x, float y, const wchar_t* text, int32_t length) {
  InkBox box = {true, 0, 0, 0, 0};
  write_text_of(TextKind::kWide, text, length, SGL_ERROR_WRITE_WIDE_TEXT, x, y, true, &box);
  add_text_bounds(box);
}

void sgluWriteTextAreaWithBBox(float x1, float y1, float x2, float y2, const char* text,
                               int32_t length) {
  InkBox box = {true, 0, 0, 0, 0};
  write_area_of(TextKind::kBytes, text, length, SGL_ERROR_WRITE_TEXT_AREA, x1, y1, x2, y2, true,
                &box);
  add_text_bounds(box);
}

void sgluWriteTextAreaUnicodeWithBBox(float x1, float y1, float x2, float y2, const uint16_t* text,
                                      int32_t length) {
  InkBox box = {true, 0, 0, 0, 0};
  write_area_of(TextKind::kUtf16, text, length, SGL_ERROR_WRITE_UNICODE_TEXT_AREA, x1, y1, x2, y2,
                true, &box);
  add_text_bounds(box);
}

void sgluWriteWideTextAreaWithBBox(float x1, float y1, float x2, float y2, const wchar_t* text,
                                   int32_t length) {
  InkBox box = {true, 0, 0, 0, 0};
  write_area_of(TextKind::kWide, text, length, SGL_ERROR_WRITE_WIDE_TEXT_AREA, x1, y1, x2, y2, true,
                &box);
  add_text_bounds(box);
}

bool sglGetTextMultilineBounds(float x, float y, const char* text, int32_t length, float* out_x1,
                               float* out_y1, float* out_x2, float* out_y2) {
  InkBox box = {true, 0, 0, 0, 0};
  write_text_of(TextKind::kBytes, text, length, SGL_ERROR_WRITE_TEXT, x, y, false, &box);
  return give_box(box, out_x1, out_y1, out_x2, out_y2);
}

bool sglGetTextAreaBounds(float x1, float y1, float x2, float y2, const char* text, int32_t length,
                          float* out_x1, float* out_y1, float* out_x2, float* out_y2) {
  InkBox box = {true, 0, 0, 0, 0};
  write_area_of(TextKind::kBytes, text, length, SGL_ERROR_WRITE_TEXT_AREA, x1, y1, x2, y2, false,
                &box);
  return give_box(box, out_x1, out_y1, out_x2, out_y2);
}

void sglBeginTextBounds() {
  sgl_text_state* text = &glob_pr_sglStatemachine->text;
  text->bounds_collecting = 1;
  text->bounds_empty = 1;
}

bool sglEndTextBounds(float* out_x1, float* out_y1, float* out_x2, float* out_y2) {
  sgl_text_state* text = &glob_pr_sglStatemachine->text;
  const bool collected = text->bounds_collecting && !text->bounds_empty;
  text->bounds_collecting = 0;
  if (!collected) return false;
  return give_box({false, text->bounds_x1, text->bounds_y1, text->bounds_x2, text->bounds_y2},
                  out_x1, out_y1, out_x2, out_y2);
}

// ---------------------------------------------------------------------------
// Rich text
// ---------------------------------------------------------------------------
namespace {

constexpr uint32_t kMaxRichStyles = 64;
// Repeated sections could otherwise run for a long time without writing a
// character: the bytes read, repeats included, are bounded.
constexpr uint32_t kMaxRichSteps = 65536;
constexpr uint8_t kEscape = 27;

// How the characters from one escape to the next are written.
struct RichStyle {
  sgl_font font;
  uint32_t color;
  uint32_t background;
  int32_t outline_color;  // negative: black
  bool has_background, inverted, underline, strike, outline, hidden;
  bool used;  // a character refers to it: a change needs a new style
};

// A rich text after its escapes are read: characters with their style, and
// where each line ends.
struct RichText {
  uint16_t codes[kMaxRichBytes];
  uint8_t style_of[kMaxRichBytes];
  uint32_t count;
  RichStyle styles[kMaxRichStyles];
  uint32_t style_count;
  uint32_t line_end[SGL_TEXT_LINE_COUNT];  // one past the last character of each line
  uint32_t line_count;
};

bool takes_argument(uint8_t letter) {
  return letter == 'A' || letter == 'B' || letter == 'C' || letter == '@' || letter == 'P';
}

bool changes_style(uint8_t letter) {
  switch (letter) {
    case 'A':
    case 'B':
    case 'C':
    case '@':
    case 'D':
    case 'E':
    case 'H':
    case 'I':
    case 'J':
    case 'K':
    case 'L':
    case 'M':
    case 'N':
    case 'O':
      return true;
    default:
      return false;
  }
}

// A colour argument beyond the table takes the last entry, as colour
// selection does.
uint32_t rich_color(const sgl_type_statemachine* context, uint16_t argument) {
  if (argument < context->color_count) return argument;
  sgliSetError(SGL_ERROR_RICH_TEXT, argument);
  return context->color_count - 1;
}

void apply_escape(sgl_type_statemachine* context, RichText* rich, uint32_t* current, uint8_t letter,
                  uint16_t argument) {
  if (!changes_style(letter)) return;
  if (rich->styles[*current].used) {
    if (rich->style_count == kMaxRichStyles) {
      sgliSetError(SGL_ERROR_RICH_TEXT, letter);
      return;
    }
    rich->styles[rich->style_count] = rich->styles[*current];
    rich->styles[rich->style_count].used = false;
    *current = rich->style_count++;
  }
  RichStyle* style = &rich->styles[*current];
  switch (letter) {
    case 'A':
      style->color = rich_color(context, argument);
      break;
    case 'B':
      style->background = rich_color(context, argument);
      style->has_background = true;
      break;
    case 'C':
      if (argument >= context->font_count) sgliSetError(SGL_ERROR_RICH_TEXT, argument);
      sgli_get_font(argument, &style->font);
      break;
    case '@':
      style->outline_color = static_cast<int32_t>(rich_color(context, argument));
      break;
    case 'D':
      style->inverted = true;
      break;
    case 'E':
      style->inverted = false;
      break;
    case 'H':
      style->underline = true;
      break;
    case 'I':
      style->underline = false;
      break;
    case 'L':
      style->strike = true;
      break;
    case 'M':
      style->strike = false;
      break;
    case 'N':
      style->outline = true;
      break;
    case 'O':
      style->underline = style->strike = style->outline = false;
      break;
    case 'J':
      style->hidden = true;
      break;
    case 'K':
      style->hidden = false;
      break;
    default:
      break;
  }
}

// Reads the bytes of a rich text into characters, styles and lines.
void parse_rich_text(sgl_type_statemachine* context, const char* text, uint32_t limit,
                     const sgl_font& font, RichText* rich) {
  const uint8_t* bytes = reinterpret_cast<const uint8_t*>(text);
  rich->count = 0;
  rich->line_count = 0;
  rich->style_count = 1;
  rich->styles[0] = {font,
                     context->text.color_index,
                     context->text.color_index,
                     context->halo_color_index,
                     false,
                     false,
                     false,
                     false,
                     false,
                     false,
                     false};
  uint32_t current = 0;
  uint32_t at = 0;
  uint32_t steps = 0;
  uint32_t repeat_from = 0;
  uint32_t repeats_left = 0;
  bool skipping = false;  // inside a section repeated 0 times
  while (at < limit && bytes[at] != 0) {
    if (++steps > kMaxRichSteps) {
      sgliSetError(SGL_ERROR_RICH_TEXT, kMaxRichSteps);
      break;
    }
    const uint8_t b = bytes[at];
    if (b == kEscape) {
      if (at + 1 >= limit || bytes[at + 1] == 0) break;
      const uint8_t letter = bytes[at + 1];
      at += 2;
      uint16_t argument = 0;
      if (takes_argument(letter)) {
        if (at >= limit || bytes[at] == 0) break;
        at += sgli_get_char_index(&argument, text + at, limit - at);
      }
      if (letter == 'Q') {
        if (skipping) {
          skipping = false;
        } else if (repeats_left > 1) {
          --repeats_left;
          at = repeat_from;
        } else {
          repeats_left = 0;
        }
      } else if (!skipping && letter == 'P') {
        repeat_from = at;
        repeats_left = argument;
        skipping = argument == 0;
      } else if (!skipping) {
        apply_escape(context, rich, &current, letter, argument);
      }
      continue;
    }
    if (b == 13 || b == 10) {
      ++at;
      if (b == 13 && at < limit && bytes[at] == 10) ++at;
      if (skipping) continue;
      if (rich->line_count == SGL_TEXT_LINE_COUNT - 1) {
        sgliSetError(SGL_ERROR_RICH_TEXT, SGL_TEXT_LINE_COUNT);
        break;
      }
      rich->line_end[rich->line_count++] = rich->count;
      continue;
    }
    uint16_t code = 0;
    at += sgli_get_char_index(&code, text + at, limit - at);
    if (skipping) continue;
    if (rich->count == kMaxRichBytes) {
      sgliSetError(SGL_ERROR_RICH_TEXT, kMaxRichBytes);
      break;
    }
    rich->codes[rich->count] = code;
    rich->style_of[rich->count] = static_cast<uint8_t>(current);
    rich->styles[current].used = true;
    ++rich->count;
  }
  rich->line_end[rich->line_count++] = rich->count;
}

GlyphPaint rich_paint(const RichStyle& style) {
  GlyphPaint paint = {style.color, false, style.outline, style.outline_color};
  if (style.inverted) {
    paint.color = style.has_background ? style.background : style.color;
    paint.complement = !style.has_background;
  }
  return paint;
}

// One past the last character of the run of equal style starting at i.
uint32_t run_end(const RichText& rich, uint32_t i, uint32_t end) {
  uint32_t j = i + 1;
  while (j < end && rich.style_of[j] == rich.style_of[i]) ++j;
  return j;
}

// How far the bitmaps of glyphs reach from the pen: up and down from the
// baseline, left of the first pen and right of the last one, in drawing units.
struct InkReach {
  float above, below, left, right;
};

// Widens `reach` to the bitmaps of codes[0..count) written from a pen at 0.
void extend_ink_reach(const TextPass& pass, const sgl_font& font, const uint16_t* codes,
                      uint32_t count, InkReach* reach) {
  float pen = 0.0f;
  for (uint32_t i = 0; i < count; ++i) {
    sgl_glyph glyph;
    sgl_font_glyph(font, codes[i], &glyph);
    if (glyph.width > 0 && glyph.height > 0) {
      reach->above = std::max(reach->above, (glyph.y_offset + glyph.height) * pass.scale_y);
      reach->below = std::max(reach->below, -glyph.y_offset * pass.scale_y);
      reach->left = std::max(reach->left, -(pen + glyph.x_offset * pass.scale_x));
      reach->right = std::max(reach->right, pen + (glyph.x_offset + glyph.width) * pass.scale_x);
    }
    pen += glyph.advance * pass.scale_x;
  }
}

// Writes characters [start, end) as one line with its pen at (x, y): the
// boxes behind the runs first (so that no box covers a neighbour's halo),
// then the glyphs, then underlines and strike-throughs. A box spans the
// line's descent and ascent and reaches further where ink does: accented
// capitals rise above the ascent, and an inverted glyph outside its box
// would be drawn in the background's colour and vanish.
void sgliWriteAttributedText(const TextPass& pass, const RichText& rich, uint32_t start,
                             uint32_t end, float x, float y, float ascent, float descent) {
  InkReach line_reach = {ascent, descent, 0.0f, 0.0f};
  for (uint32_t i = start; i < end; ++i) {
    extend_ink_reach(pass, rich.styles[rich.style_of[i]].font, rich.codes + i, 1, &line_reach);
  }
  for (uint32_t step = 0; step < 3; ++step) {
    float pen = x;
    for (uint32_t i = start; i < end;) {
      const uint32_t j = run_end(rich, i, end);
      const RichStyle& style = rich.styles[rich.style_of[i]];
      const float advance = sgl_text_width(style.font, rich.codes + i, j - i, pass.scale_x, false);
      const GlyphPaint paint = rich_paint(style);
      if (style.hidden) {
        // keeps its place only
      } else if (step == 0 && (style.inverted || style.has_background)) {
        InkReach run_reach = {0.0f, 0.0f, 0.0f, advance};
        extend_ink_reach(pass, style.font, rich.codes + i, j - i, &run_reach);
        fill_box(pass, pen - run_reach.left, y - line_reach.below, pen + run_reach.right,
                 y + line_reach.above, style.inverted ? style.color : style.background, false);
      } else if (step == 1) {
        sgli_fonts_draw_bitmap_text(pass, style.font, rich.codes + i, j - i, pen, y, paint);
      } else if (step == 2 && (style.underline || style.strike)) {
        // Bars one font pixel thick per 12 pixels of ascent.
        const float font_ascent = sgl_font_value(style.font, 7);
        const float thickness = std::max(1.0f, mth_f_round(font_ascent / 12.0f)) * pass.scale_y;
        if (style.underline) {
          fill_box(pass, pen, y - pass.scale_y - thickness, pen + advance, y - pass.scale_y,
                   paint.color, paint.complement);
        }
        if (style.strike) {
          const float middle = y + mth_f_round(font_ascent * 0.35f) * pass.scale_y;
          fill_box(pass, pen, middle, pen + advance, middle + thickness, paint.color,
                   paint.complement);
        }
      }
      pen += advance;
      i = j;
    }
  }
}

void write_rich(const TextPass& pass, const RichText& rich, float x, float y) {
  sgl_type_statemachine* context = pass.context;
  float baseline = y;
  float previous_descent = 0.0f;
  uint32_t start = 0;
  for (uint32_t line = 0; line < rich.line_count; ++line) {
    const uint32_t end = rich.line_end[line];
    // A line is as tall as its tallest font; an empty one takes the
    // font the text started with.
    float ascent = start == end ? font_ascent(pass, rich.styles[0].font) : 0.0f;
    float descent = start == end ? font_descent(pass, rich.styles[0].font) : 0.0f;
    float width = 0.0f;
    for (uint32_t i = start; i < end; ++i) {
      const sgl_font& font = rich.styles[rich.style_of[i]].font;
      ascent = std::max(ascent, font_ascent(pass, font));
      descent = std::max(descent, font_descent(pass, font));
      width += sgl_text_width(font, rich.codes + i, 1, pass.scale_x, i + 1 == end);
    }
    baseline = line == 0 ? y - context->text.align_factor_v * ascent
                         : baseline - previous_descent - ascent;
    float pen_x = x - context->text.align_factor_h * width;
    float pen_y = baseline;
    align_to_pixel(context, &pen_x, &pen_y);
    sgliWriteAttributedText(pass, rich, start, end, pen_x, pen_y, ascent, descent);
    previous_descent = descent;
    start = end;
  }
}

void write_rich_of(const char* text, int32_t length, float x, float y, bool draw, InkBox* box) {
  sgl_type_statemachine* context = glob_pr_sglStatemachine;
  uint32_t limit = 0;
  if (!take_length(text, length, kMaxRichBytes, SGL_ERROR_RICH_TEXT, &limit)) return;
  sgl_font font;
  if (!sgli_get_font(context->text.font, &font)) return;
  RichText rich;
  parse_rich_text(context, text, limit, font, &rich);
  const TextPass pass = make_pass(context, draw, box);
  const TextSaved saved = begin_text(pass);
  write_rich(pass, rich, x, y);
  end_text(pass, saved);
}

}  // namespace

void sgluWriteRichText(float x, float y, const char* text, int32_t length) {
  write_rich_of(text, length, x, y, true, nullptr);
}

void sgluWriteRichTextWithBBox(float x, float y, const char* text, int32_t length) {
  InkBox box = {true, 0, 0, 0, 0};
  write_rich_of(text, length, x, y, true, &box);
  add_text_bounds(box);
}

bool sglGetRichTextBounds(float x, float y, const char* text, int32_t length, float* out_x1,
                          float* out_y1, float* out_x2, float* out_y2) {
  InkBox box = {true, 0, 0, 0, 0};
  write_rich_of(text, length, x, y, false, &box);
  return give_box(box, out_x1, out_y1, out_x2, out_y2);
}

// ---------------------------------------------------------------------------
// Numbers
// ---------------------------------------------------------------------------
void sglSetSecondFontAttributes(int32_t font, int32_t line_width, int32_t color) {
  sgl_type_statemachine* context = glob_pr_sglStatemachine;
  sgl_text_state* text = &context->text;
  if (font >= 0 && static_cast<uint32_t>(font) < context->font_count) {
    text->second_font = static_cast<uint32_t>(font);
  } else {
    text->second_font = SGL_FONT_NONE;
    sgliSetError(SGL_ERROR_INDEX_FONT, static_cast<uint32_t>(font));
  }
  if (line_width < 0) {
    sgliSetError(SGL_ERROR_FONT_LINE_WIDTH, static_cast<uint32_t>(line_width));
  } else {
    if (line_width >= 8) sgliSetError(SGL_ERROR_FONT_LINE_WIDTH, static_cast<uint32_t>(line_width));
    text->second_font_line_width = static_cast<uint32_t>(std::min(line_width, 7));
  }
  if (color < 0) {
    text->second_color_given = 0;
    return;
  }
  text->second_color_given = 1;
  text->second_color_index = static_cast<uint32_t>(color);
  if (text->second_color_index >= context->color_count) {
    sgliSetError(SGL_ERROR_INDEX_COLOR, static_cast<uint32_t>(color));
    text->second_color_index = context->color_count - 1;
  }
}

namespace {

// The largest float below 2^31: every value up to it has an exact integral part.
constexpr float kLargestNumber = 2147483520.0f;

uint32_t number_codes(const char* text, uint16_t* out_codes) {
  uint32_t count = 0;
  while (text[count] != 0) {
    out_codes[count] = static_cast<uint8_t>(text[count]);
    ++count;
  }
  return count;
}

void write_float_of(float x, float y, float value, const sgl_float_format* format, bool draw,
                    InkBox* box) {
  sgl_type_statemachine* context = glob_pr_sglStatemachine;
  if (format == nullptr) {
    sgliSetError(SGL_ERROR_WRITE_FLOAT, 0);
    return;
  }
  sgl_float_format layout = *format;
  if (!sgl_float_format_valid(layout)) {
    sgliSetError(SGL_ERROR_WRITE_FLOAT, 0);
    layout = {9, 9, 0, 0, format->separator, 1};
  }
  uint32_t first_slot = context->text.font;
  uint32_t second_slot = context->text.second_font;
  if (!(std::fabs(value) <= kLargestNumber)) {
    sgliSetError(SGL_ERROR_WRITE_FLOAT, 0);
    value = 0.0f;
    first_slot = second_slot = SGL_FONT_NONE;
  }
  sgl_font first_font, second_font;
  if (!sgli_get_font(first_slot, &first_font) || !sgli_get_font(second_slot, &second_font)) return;
  sgl_number_text number;
  sgl_format_number(value, layout, &number);
  uint16_t first[kSglNumberTextSize], second[kSglNumberTextSize];
  const uint32_t first_count = number_codes(number.first, first);
  const uint32_t second_count = number_codes(number.second, second);

  // The second piece follows the first's last advance; the whole ends at
  // the ink of its last character.
  const TextPass pass = make_pass(context, draw, box);
  const float first_advance = sgl_text_width(first_font, first, first_count, pass.scale_x, false);
  const float width =
      second_count > 0
          ? first_advance + sgl_text_width(second_font, second, second_count, pass.scale_x, true)
          : sgl_text_width(first_font, first, first_count, pass.scale_x, true);
  float pen_x = 0.0f, pen_y = 0.0f;
  sgl_text_line_origin(x, y, context->text.align_factor_h, context->text.align_factor_v, width,
                       font_ascent(pass, first_font), &pen_x, &pen_y);
  align_to_pixel(context, &pen_x, &pen_y);
  GlyphPaint second_paint = plain_paint(context);
  if (context->text.second_color_given) second_paint.color = context->text.second_color_index;
  const TextSaved saved = begin_text(pass);
  sgli_fonts_draw_bitmap_text(pass, first_font, first, first_count, pen_x, pen_y,
                              plain_paint(context));
  sgli_fonts_draw_bitmap_text(pass, second_font, second, second_count, pen_x + first_advance, pen_y,
                              second_paint);
  end_text(pass, saved);
}

}  // namespace

void sgluWriteFloat(float x, float y, float value, const sgl_float_format* format) {
  write_float_of(x, y, value, format, true, nullptr);
}

void sgluWriteFloatWithBBox(float x, float y, float value, const sgl_float_format* format) {
  InkBox box = {true, 0, 0, 0, 0};
  write_float_of(x, y, value, format, true, &box);
  add_text_bounds(box);
}

bool sglGetFloatBounds(float x, float y, float value, const sgl_float_format* format, float* out_x1,
                       float* out_y1, float* out_x2, float* out_y2) {
  InkBox box = {true, 0, 0, 0, 0};
  write_float_of(x, y, value, format, false, &box);
  return give_box(box, out_x1, out_y1, out_x2, out_y2);
}
