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
