// Text and fonts: loading the font table into glyph textures, selecting
// fonts and alignment, the font metrics widgets measure with, and writing
// text as textured glyph quads.
#include <GL/gl.h>

#include <cstring>

#include "graphics/sgl.h"
#include "graphics/sgl_font.h"
#include "graphics/sgl_internal.h"

namespace {

const uint8_t* LoadedTable() {
    return glob_pr_sglStatemachine->font_table;
}

// Frees the glyph textures of the table loaded before, so that loading a
// table again does not leave its predecessor's textures behind in OpenGL.
void ReleaseFontTextures(sgl_type_statemachine* context) {
    for (uint32_t& name : context->font_texture_names) {
        if (name != 0) {
            const GLuint gl_name = name;
            glDeleteTextures(1, &gl_name);
            name = 0;
        }
    }
    // A deleted texture that was bound leaves texture 0 bound.
    context->gl_bound_texture = SGL_BOUND_TEXTURE_UNKNOWN;
}

// Decodes one glyph texture into the scratch buffer and uploads it as an
// alpha texture. 0 when it cannot: no scratch buffer, larger than OpenGL or
// the buffer allow, or data that does not decode to exactly its size.
uint32_t UploadFontTexture(sgl_type_statemachine* context, const sgl_font_texture& texture) {
    GLint max_size = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &max_size);
    const uint64_t texels = static_cast<uint64_t>(texture.width) * texture.height;
    const uint64_t capacity = static_cast<uint64_t>(context->max_texture_width) * context->max_texture_height * 4;
    if (context->texture_buffer == nullptr || texture.data == nullptr || texels == 0 || texels > capacity ||
        texture.width > static_cast<uint32_t>(max_size) || texture.height > static_cast<uint32_t>(max_size)) {
        return 0;
    }
    if (!sgl_decode_font_texture(texture.data, texture.length, texture.width, texture.height,
                                 context->texture_buffer)) {
        return 0;
    }
    GLuint name = 0;
    glGenTextures(1, &name);
    sgliBindTexture(name);
    // Glyph quads sit on whole pixels and their coordinates on texel edges,
    // so linear filtering reproduces the texels exactly and smooths scaled text.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA, static_cast<GLsizei>(texture.width),
                 static_cast<GLsizei>(texture.height), 0, GL_ALPHA, GL_UNSIGNED_BYTE, context->texture_buffer);
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
    ReleaseFontTextures(context);
    context->font_table = table;
    context->font_count = table != nullptr ? sgl_font_table_font_count(table) : 0;
    if (table == nullptr) return;
    const uint32_t textures = sgl_font_table_texture_count(table);
    for (uint32_t index = 0; index < textures; ++index) {
        sgl_font_texture texture;
        sgl_font_table_texture(table, index, &texture);
        context->font_texture_names[index] = UploadFontTexture(context, texture);
        if (context->font_texture_names[index] == 0) {
            sgliSetError(SGL_ERROR_LOAD_FONTS, SGL_FONT_TABLE_BAD_TEXTURE);
        }
    }
}

bool sgli_get_font(uint32_t slot, sgl_font* out_font) {
    const uint8_t* table = LoadedTable();
    if (table == nullptr) return false;
    if (slot < glob_pr_sglStatemachine->font_count && sgl_font_table_font(table, slot, out_font)) return true;
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
    return sgl_decode_char(glob_pr_sglStatemachine->text.encoding, reinterpret_cast<const uint8_t*>(text),
                           available, out_code);
}

float sgli_get_string_width(const uint16_t* codes, uint32_t count, bool ink_end) {
    sgl_type_statemachine* context = glob_pr_sglStatemachine;
    sgl_font font;
    if (!sgli_get_font(context->text.font, &font)) return 0.0f;
    return sgl_text_width(font, codes, count, context->text.text_scale * context->transform.font_scale_x, ink_end);
}

// ---------------------------------------------------------------------------
// Writing text
// ---------------------------------------------------------------------------
namespace {

constexpr uint32_t kMaxTextCharacters = 1024;
// Four corners per glyph, two more to join it to the previous one.
constexpr uint32_t kVerticesPerGlyph = 6;

// Glyph quads collected as one triangle strip per glyph texture.
struct GlyphBatch {
    sgl_type_statemachine* context;
    uint32_t texture;  // OpenGL name of the glyphs collected so far
    uint32_t count;    // vertices collected
};

void FlushGlyphs(GlyphBatch* batch) {
    if (batch->count == 0) return;
    sgliBindTexture(batch->texture);
    sgli_draw_arrays(GL_TRIANGLE_STRIP, &batch->context->vertices[0][0], &batch->context->texcoords[0][0],
                     batch->count);
    batch->count = 0;
}

void PushVertex(GlyphBatch* batch, float x, float y, float s, float t) {
    sgl_type_statemachine* context = batch->context;
    context->vertices[batch->count][0] = x;
    context->vertices[batch->count][1] = y;
    context->texcoords[batch->count][0] = s;
    context->texcoords[batch->count][1] = t;
    ++batch->count;
}

void AddGlyphQuad(GlyphBatch* batch, uint32_t texture, const float* corners, const sgl_glyph& glyph) {
    if (texture != batch->texture || batch->count + kVerticesPerGlyph > SGL_VERTEX_BUFFER_SIZE) {
        FlushGlyphs(batch);
        batch->texture = texture;
    }
    if (batch->count > 0) {
        // Two degenerate triangles join this quad to the previous one.
        const uint32_t last = batch->count - 1;
        const float* v = batch->context->vertices[last];
        const float* st = batch->context->texcoords[last];
        PushVertex(batch, v[0], v[1], st[0], st[1]);
        PushVertex(batch, corners[0], corners[1], glyph.s0, glyph.t0);
    }
    PushVertex(batch, corners[0], corners[1], glyph.s0, glyph.t0);
    PushVertex(batch, corners[2], corners[1], glyph.s1, glyph.t0);
    PushVertex(batch, corners[0], corners[3], glyph.s0, glyph.t1);
    PushVertex(batch, corners[2], corners[3], glyph.s1, glyph.t1);
}

// Draws one line's glyphs with the pen starting at (x, y) on the baseline.
void DrawGlyphs(sgl_type_statemachine* context, const sgl_font& font, const uint16_t* codes, uint32_t count,
                float x, float y, float scale_x, float scale_y) {
    GlyphBatch batch = {context, 0, 0};
    float pen = x;
    for (uint32_t i = 0; i < count; ++i) {
        sgl_glyph glyph;
        sgl_font_glyph(font, codes[i], &glyph);
        const uint32_t texture =
            glyph.texture < SGL_FONT_TEXTURE_COUNT ? context->font_texture_names[glyph.texture] : 0;
        if (glyph.width > 0 && glyph.height > 0 && texture != 0) {
            const float corners[4] = {pen + glyph.x_offset * scale_x, y + glyph.y_offset * scale_y,
                                      pen + (glyph.x_offset + glyph.width) * scale_x,
                                      y + (glyph.y_offset + glyph.height) * scale_y};
            AddGlyphQuad(&batch, texture, corners, glyph);
        }
        pen += glyph.advance * scale_x;
    }
    FlushGlyphs(&batch);
}

// Moves a pen start onto the nearest whole pixel, so that glyph texels meet
// pixels one to one; only while the drawing is not rotated.
void AlignToPixel(sgl_type_statemachine* context, float* x, float* y) {
    if (!context->pixel_aligned_text || context->transform.rotation != 0.0f) return;
    float px = 0.0f, py = 0.0f;
    sglConvertPointToPixel(*x, *y, &px, &py);
    sglConvertPixelToPoint(mth_f_round(px), mth_f_round(py), x, y);
}

// The halo around bitmap glyphs: the line drawn in the halo colour one
// display pixel off in each of the four directions.
constexpr float kHaloOffsets[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};

// Writes one line of text with its pen at (x, y): texturing and blending on,
// the halo first while smoothing is on, the text colour at full opacity, and
// the colour, transparency, texture environment and enables restored after.
void WriteLine(sgl_type_statemachine* context, const sgl_font& font, const uint16_t* codes, uint32_t count, float x,
               float y) {
    if (count == 0) return;
    const float scale_x = context->text.text_scale * context->transform.font_scale_x;
    const float scale_y = context->text.text_scale * context->transform.font_scale_y;
    AlignToPixel(context, &x, &y);

    const uint8_t transparency = context->transparency;
    const uint8_t texture_2d = context->gl_texture_2d;
    const uint8_t blend = context->gl_blend;
    const uint32_t environment = context->gl_tex_env[2];
    context->transparency = 255;
    sgliEnable(GL_TEXTURE_2D);
    sgliEnable(GL_BLEND);
    // Alpha textures: the colour comes from the text colour, the coverage
    // from the glyph (times the colour's own alpha).
    sgliTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    const bool halo = context->smoothing == 1 || context->smoothing == 2;
    const bool main = context->smoothing != 2;
    if (context->smoothing != 0) glEnable(GL_ALPHA_TEST);
    if (halo) {
        if (context->halo_color_index >= 0) {
            sgliUpdateColor(static_cast<uint32_t>(context->halo_color_index));
        } else {
            sgliColor4f(0.0f, 0.0f, 0.0f, 1.0f);
        }
        for (const auto& offset : kHaloOffsets) {
            DrawGlyphs(context, font, codes, count, x + offset[0] * scale_x, y + offset[1] * scale_y, scale_x,
                       scale_y);
        }
    }
    if (main) {
        sgliUpdateColor(context->text.color_index);
        DrawGlyphs(context, font, codes, count, x, y, scale_x, scale_y);
    }
    if (context->smoothing != 0) glDisable(GL_ALPHA_TEST);

    context->transparency = transparency;
    sgliTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, environment);
    if (!texture_2d) sgliDisable(GL_TEXTURE_2D);
    if (!blend) sgliDisable(GL_BLEND);
    sgliUpdateColor(context->color_index);
    context->color_validity = 0;
}

bool IsLineBreak(uint16_t code) {
    return code == 10 || code == 13;
}

}  // namespace

void sgluWriteText(float x, float y, const char* text, int32_t length) {
    sgl_type_statemachine* context = glob_pr_sglStatemachine;
    if (text == nullptr || length < 0) {
        sgliSetError(SGL_ERROR_WRITE_TEXT, static_cast<uint32_t>(text == nullptr ? 0 : length));
        return;
    }
    uint32_t limit = static_cast<uint32_t>(length);
    if (limit > kMaxTextCharacters) {
        sgliSetError(SGL_ERROR_WRITE_TEXT, limit);
        limit = kMaxTextCharacters;
    }
    sgl_font font;
    if (!sgli_get_font(context->text.font, &font)) return;

    // The decoder stops at the text's 0 byte on its own, so the text's
    // byte length need not be known.
    uint16_t codes[kMaxTextCharacters];
    uint32_t count = 0;
    uint32_t at = 0;
    while (count < limit && text[at] != 0) {
        at += sgli_get_char_index(&codes[count], text + at, 0xFFFFFFFFu - at);
        ++count;
    }

    const float ascent = context->text.text_scale * context->transform.font_scale_y * sgl_font_value(font, 7);
    const float pitch = context->text.text_scale * context->transform.font_scale_y *
                        (sgl_font_value(font, 7) + sgl_font_value(font, 9));
    uint32_t start = 0;
    uint32_t line = 0;
    while (start <= count) {
        uint32_t end = start;
        while (end < count && !IsLineBreak(codes[end])) ++end;
        const float width = sgli_get_string_width(codes + start, end - start, true);
        float pen_x = 0.0f, pen_y = 0.0f;
        sgl_text_line_origin(x, y - static_cast<float>(line) * pitch, context->text.align_factor_h,
                             context->text.align_factor_v, width, ascent, &pen_x, &pen_y);
        WriteLine(context, font, codes + start, end - start, pen_x, pen_y);
        if (end == count) break;
        // 13 10 and 10 13 are one break.
        start = end + 1;
        if (start < count && IsLineBreak(codes[start]) && codes[start] != codes[end]) ++start;
        ++line;
    }
}
