// Textures: images uploaded into numbered texture slots, raw or run-length
// coded, converted in the context's scratch buffer.
#include <GL/gl.h>

#include <cstring>

#include "graphics/sgl.h"
#include "graphics/sgl_internal.h"

namespace {

uint32_t BytesPerPixel(uint8_t format) {
    switch (format) {
        case SGL_FORMAT_RGB: return 3;
        case SGL_FORMAT_RGBA: return 4;
        default: return 1;
    }
}

// The checks both uploads share: a sound format, size, slot and buffer, and
// never the texture a texture fill is using right now.
bool UploadAllowed(const sgl_type_statemachine* context, uint32_t slot, uint8_t format, uint32_t width,
                   uint32_t height, const void* data, uint8_t scaled) {
    return format >= SGL_FORMAT_RGB && format <= SGL_FORMAT_ALPHA && height >= 1 &&
           height <= context->max_texture_height && width >= 1 && width <= context->max_texture_width &&
           context->texture_table != nullptr && slot < context->texture_count && scaled < 2 &&
           context->texture_buffer != nullptr && data != nullptr &&
           !(slot == context->texture.current_texture && context->texture_fill);
}

// Uploads the scratch buffer, already at the texture size, into the slot.
void UploadSlot(sgl_type_statemachine* context, uint32_t slot, uint8_t format, uint32_t width, uint32_t height,
                uint32_t texture_width, uint32_t texture_height, uint8_t scaled) {
    sgl_texture_slot* entry = &context->texture_table[slot];
    if (entry->name == 0) {
        GLuint name = 0;
        glGenTextures(1, &name);
        entry->name = name;
    }
    sgliBindTexture(entry->name);
    entry->width = width;
    entry->height = height;
    entry->texture_width = texture_width;
    entry->texture_height = texture_height;
    entry->scaled = scaled;
    // A stretched image is a pattern (repeat, smooth); an image in the corner
    // must not repeat or bleed into the zeros around it.
    const GLint filter = scaled ? GL_LINEAR : GL_NEAREST;
    const GLint wrap = scaled ? GL_REPEAT : GL_CLAMP_TO_EDGE;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    sgliTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    GLint internal = GL_ALPHA;
    GLenum layout = GL_ALPHA;
    if (format == SGL_FORMAT_RGB) {
        internal = static_cast<GLint>(context->texture_format_rgb);
        layout = GL_RGB;
    } else if (format == SGL_FORMAT_RGBA) {
        internal = static_cast<GLint>(context->texture_format_rgba);
        layout = GL_RGBA;
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, internal, static_cast<GLsizei>(texture_width),
                 static_cast<GLsizei>(texture_height), 0, layout, GL_UNSIGNED_BYTE, context->texture_buffer);
    entry->loaded = 1;
    entry->format = format;
    // Textures are bound here behind the drawing code's back.
    context->gl_bound_texture = SGL_BOUND_TEXTURE_UNKNOWN;
}

}  // namespace

void sgl_texture_size(uint32_t width, uint32_t height, uint32_t max_width, uint32_t max_height,
                      uint32_t* out_width, uint32_t* out_height) {
    uint32_t w2 = static_cast<uint32_t>(mth_next_higher_power2(static_cast<int32_t>(width), 64,
                                                               static_cast<int32_t>(max_width)));
    uint32_t h2 = static_cast<uint32_t>(mth_next_higher_power2(static_cast<int32_t>(height), 64,
                                                               static_cast<int32_t>(max_height)));
    // Square textures where the maxima allow. Only ever grow a side: with
    // unequal maxima, shrinking the wider side to the other would cut the
    // image (and write it past the texture).
    if (w2 > h2 && w2 <= max_height) {
        h2 = w2;
    } else if (h2 > w2 && h2 <= max_width) {
        w2 = h2;
    }
    *out_width = w2;
    *out_height = h2;
}

bool sgl_decode_texture_words(const uint32_t* words, uint32_t count, uint32_t bytes_per_pixel, uint8_t* out,
                              uint32_t size) {
    uint32_t written = 0;
    uint32_t at = 0;
    while (at < count) {
        const uint32_t word = words[at++];
        uint32_t repeat = 1;
        if (at < count && words[at] == word) {
            ++at;
            if (at < count) {
                repeat = words[at++] + 2;  // a count of 0xFFFFFFFE wraps to no pixels
            } else {
                repeat = 2;
            }
        }
        const uint8_t bytes[4] = {static_cast<uint8_t>(word >> 16), static_cast<uint8_t>(word >> 8),
                                  static_cast<uint8_t>(word), static_cast<uint8_t>(word >> 24)};
        const uint8_t* pixel = bytes_per_pixel == 1 ? &bytes[2] : bytes;
        if (static_cast<uint64_t>(repeat) * bytes_per_pixel > size - written) return false;
        for (uint32_t i = 0; i < repeat; ++i) {
            std::memcpy(out + written, pixel, bytes_per_pixel);
            written += bytes_per_pixel;
        }
    }
    return written == size;
}

void sgl_enlarge_image(uint8_t* buffer, uint32_t width, uint32_t height, uint32_t texture_width,
                       uint32_t texture_height, uint32_t bytes_per_pixel, bool scaled) {
    // Every texel's source pixel lies at or before the texel itself, so going
    // backwards from the last texel never overwrites a pixel still to be read.
    for (uint32_t j = texture_height; j-- > 0;) {
        for (uint32_t i = texture_width; i-- > 0;) {
            uint8_t* texel = buffer + (static_cast<uint64_t>(j) * texture_width + i) * bytes_per_pixel;
            if (scaled) {
                const uint64_t si = static_cast<uint64_t>(i) * width / texture_width;
                const uint64_t sj = static_cast<uint64_t>(j) * height / texture_height;
                std::memmove(texel, buffer + (sj * width + si) * bytes_per_pixel, bytes_per_pixel);
            } else if (i < width && j < height) {
                std::memmove(texel, buffer + (static_cast<uint64_t>(j) * width + i) * bytes_per_pixel,
                             bytes_per_pixel);
            } else {
                std::memset(texel, 0, bytes_per_pixel);
            }
        }
    }
}

void sglTexImage2Dubv(int32_t slot, uint8_t format, uint32_t width, uint32_t height, const uint8_t* data,
                      uint8_t scaled) {
    sgl_type_statemachine* context = glob_pr_sglStatemachine;
    if (slot < 0 || !UploadAllowed(context, static_cast<uint32_t>(slot), format, width, height, data, scaled)) {
        sgliSetError(SGL_ERROR_TEX_IMAGE, static_cast<uint32_t>(slot));
        return;
    }
    const uint32_t bpp = BytesPerPixel(format);
    uint32_t texture_width, texture_height;
    sgl_texture_size(width, height, context->max_texture_width, context->max_texture_height, &texture_width,
                     &texture_height);
    std::memmove(context->texture_buffer, data, static_cast<size_t>(width) * height * bpp);
    sgl_enlarge_image(context->texture_buffer, width, height, texture_width, texture_height, bpp, scaled != 0);
    UploadSlot(context, static_cast<uint32_t>(slot), format, width, height, texture_width, texture_height, scaled);
}

void sglCompressedTexImage2D(uint32_t slot, uint8_t format, uint32_t width, uint32_t height, uint32_t count,
                             const uint32_t* words, uint8_t scaled) {
    sgl_type_statemachine* context = glob_pr_sglStatemachine;
    if (!UploadAllowed(context, slot, format, width, height, words, scaled)) {
        sgliSetError(SGL_ERROR_COMPRESSED_TEX_IMAGE, slot);
        return;
    }
    const uint32_t bpp = BytesPerPixel(format);
    if (!sgl_decode_texture_words(words, count, bpp, context->texture_buffer, width * height * bpp)) {
        sgliSetError(SGL_ERROR_COMPRESSED_TEX_IMAGE, slot);
        return;
    }
    uint32_t texture_width, texture_height;
    sgl_texture_size(width, height, context->max_texture_width, context->max_texture_height, &texture_width,
                     &texture_height);
    sgl_enlarge_image(context->texture_buffer, width, height, texture_width, texture_height, bpp, scaled != 0);
    UploadSlot(context, slot, format, width, height, texture_width, texture_height, scaled);
}

void sglBindTexture(uint8_t target, uint32_t slot) {
    sgl_type_statemachine* context = glob_pr_sglStatemachine;
    if (target != SGL_TEXTURE_FILL) {
        sgliSetError(SGL_ERROR_BIND_TEXTURE, target);
        return;
    }
    if (context->texture_table == nullptr || slot >= context->texture_count || !context->texture_table[slot].loaded) {
        sgliSetError(SGL_ERROR_BIND_TEXTURE, slot);
        return;
    }
    context->texture.current_texture = slot;
}
