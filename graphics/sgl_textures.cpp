// Textures and bitmaps: images uploaded into numbered texture slots, raw or
// run-length coded, converted in the context's scratch buffer; the mapping of
// fills onto the current texture or gradient and the per-vertex coordinates
// it gives; bitmaps drawn at their pixel size; static bitmaps; display lists
// recorded as static sequences.
#include <GL/gl.h>

#include <cmath>
#include <cstring>

#include "graphics/sgl.h"
#include "graphics/sgl_internal.h"

namespace {

uint32_t bytes_per_pixel(uint8_t format) {
  switch (format) {
    case SGL_FORMAT_RGB:
      return 3;
    case SGL_FORMAT_RGBA:
      return 4;
    default:
      return 1;
  }
}

// The checks both uploads share: a sound format, size, slot and buffer, and
// never the texture a texture fill is using right now.
bool upload_allowed(const sgl_type_statemachine* context, uint32_t slot, uint8_t format,
                    uint32_t width, uint32_t height, const void* data, uint8_t scaled) {
  return format >= SGL_FORMAT_RGB && format <= SGL_FORMAT_ALPHA && height >= 1 &&
         height <= context->max_texture_height && width >= 1 &&
         width <= context->max_texture_width && context->texture_table != nullptr &&
         slot < context->texture_count && scaled < 2 && context->texture_buffer != nullptr &&
         data != nullptr && !(slot == context->texture.current_texture && context->texture_fill);
}

// Texture parameters and the upload of the scratch buffer, already at the
// texture size, into the texture bound now.
void upload_buffer(const sgl_type_statemachine* context, uint8_t format, uint32_t texture_width,
                   uint32_t texture_height, bool smooth_repeat) {
  const GLint filter = smooth_repeat ? GL_LINEAR : GL_NEAREST;
  const GLint wrap = smooth_repeat ? GL_REPEAT : GL_CLAMP_TO_EDGE;
  sgliGlTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
  sgliGlTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
  sgliGlTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
  sgliGlTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
  GLint internal = GL_ALPHA;
  GLenum layout = GL_ALPHA;
  if (format == SGL_FORMAT_RGB) {
    internal = static_cast<GLint>(context->texture_format_rgb);
    layout = GL_RGB;
  } else if (format == SGL_FORMAT_RGBA) {
    internal = static_cast<GLint>(context->texture_format_rgba);
    layout = GL_RGBA;
  }
  sgliGlPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  sgliGlTexImage2D(GL_TEXTURE_2D, 0, internal, static_cast<GLsizei>(texture_width),
                   static_cast<GLsizei>(texture_height), 0, layout, GL_UNSIGNED_BYTE,
                   context->texture_buffer);
}

// Enlarges the width x height image at the start of the scratch buffer to
// its texture size and uploads it into the slot.
void upload_slot(sgl_type_statemachine* context, uint32_t slot, uint8_t format, uint32_t width,
                 uint32_t height, uint8_t scaled) {
  uint32_t texture_width, texture_height;
  sgl_texture_size(width, height, context->max_texture_width, context->max_texture_height,
                   &texture_width, &texture_height);
  sgl_enlarge_image(context->texture_buffer, width, height, texture_width, texture_height,
                    bytes_per_pixel(format), scaled != 0);
  sgl_texture_slot* entry = &context->texture_table[slot];
  if (entry->name == 0) {
    GLuint name = 0;
    sgliGlGenTextures(1, &name);
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
  upload_buffer(context, format, texture_width, texture_height, scaled != 0);
  sgliTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  entry->loaded = 1;
  entry->format = format;
  // Textures are bound here behind the drawing code's back.
  context->gl_bound_texture = SGL_BOUND_TEXTURE_UNKNOWN;
}

}  // namespace

void sgl_texture_size(uint32_t width, uint32_t height, uint32_t max_width, uint32_t max_height,
                      uint32_t* out_width, uint32_t* out_height) {
  uint32_t w2 = static_cast<uint32_t>(
      mth_next_higher_power2(static_cast<int32_t>(width), 64, static_cast<int32_t>(max_width)));
  uint32_t h2 = static_cast<uint32_t>(
      mth_next_higher_power2(static_cast<int32_t>(height), 64, static_cast<int32_t>(max_height)));
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

bool sgl_decode_texture_words(const uint32_t* words, uint32_t count, uint32_t bytes_per_pixel,
                              uint8_t* out, uint32_t size) {
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

void sglTexImage2Dubv(int32_t slot, uint8_t format, uint32_t width, uint32_t height,
                      const uint8_t* data, uint8_t scaled) {
  sgl_type_statemachine* context = glob_pr_sglStatemachine;
  if (slot < 0 ||
      !upload_allowed(context, static_cast<uint32_t>(slot), format, width, height, data, scaled)) {
    sgliSetError(SGL_ERROR_TEX_IMAGE, static_cast<uint32_t>(slot));
    return;
  }
  std::memmove(context->texture_buffer, data,
               static_cast<size_t>(width) * height * bytes_per_pixel(format));
  upload_slot(context, static_cast<uint32_t>(slot), format, width, height, scaled);
}

void sglCompressedTexImage2D(uint32_t slot, uint8_t format, uint32_t width, uint32_t height,
                             uint32_t count, const uint32_t* words, uint8_t scaled) {
  sgl_type_statemachine* context = glob_pr_sglStatemachine;
  if (!upload_allowed(context, slot, format, width, height, words, scaled)) {
    sgliSetError(SGL_ERROR_COMPRESSED_TEX_IMAGE, slot);
    return;
  }
  const uint32_t bpp = bytes_per_pixel(format);
  if (!sgl_decode_texture_words(words, count, bpp, context->texture_buffer, width * height * bpp)) {
    sgliSetError(SGL_ERROR_COMPRESSED_TEX_IMAGE, slot);
    return;
  }
  upload_slot(context, slot, format, width, height, scaled);
}

const sgl_texture_slot* sgli_loaded_slot(const sgl_texture_slot* table, uint32_t count,
                                         int64_t index) {
  if (table == nullptr || index < 0 || index >= count || !table[index].loaded) {
    return nullptr;
  }
  return &table[index];
}

void sglBindTexture(uint8_t target, uint32_t slot) {
  sgl_type_statemachine* context = glob_pr_sglStatemachine;
  if (target != SGL_TEXTURE_FILL) {
    sgliSetError(SGL_ERROR_BIND_TEXTURE, target);
    return;
  }
  if (sgli_loaded_slot(context->texture_table, context->texture_count, slot) == nullptr) {
    sgliSetError(SGL_ERROR_BIND_TEXTURE, slot);
    return;
  }
  context->texture.current_texture = slot;
}

// ---------------------------------------------------------------------------
// Mapping fills onto the current texture or gradient
// ---------------------------------------------------------------------------
namespace {

// The axis-aligned box of the shape's points becomes the mapped box.
void set_mapped_box(sgl_texture_state* texture, uint32_t n, const float* xs, const float* ys) {
  float min_x = xs[0], max_x = xs[0], min_y = ys[0], max_y = ys[0];
  for (uint32_t i = 1; i < n; ++i) {
    if (xs[i] < min_x) min_x = xs[i];
    if (xs[i] > max_x) max_x = xs[i];
    if (ys[i] < min_y) min_y = ys[i];
    if (ys[i] > max_y) max_y = ys[i];
  }
  texture->origin_x = min_x;
  texture->origin_y = min_y;
  texture->width = max_x - min_x;
  texture->height = max_y - min_y;
}

// Where the image starts inside the box: at its left (0), centred (1), or so
// that the last repetition ends at the box's right (2).
float alignment_offset(uint32_t alignment, float repeat) {
  switch (alignment) {
    case 1:
      return (1.0f - repeat) / 2.0f;
    case 2:
      return std::ceil(repeat) - repeat;
    default:
      return 0.0f;
  }
}

// The image's share of its power-of-two texture: a stretched image fills it.
void set_image_factors(sgl_texture_state* texture, const sgl_texture_slot* slot,
                       bool stretched_fills) {
  if (slot == nullptr || (stretched_fills && slot->scaled)) {
    texture->factor_x = 1.0f;
    texture->factor_y = 1.0f;
    return;
  }
  texture->factor_x = static_cast<float>(slot->width) / static_cast<float>(slot->texture_width);
  texture->factor_y = static_cast<float>(slot->height) / static_cast<float>(slot->texture_height);
}

// One (s, t) for the vertex (x, y) from the fill mapping, or the coordinate
// sglTexCoord2f left for it. Coordinates beyond the buffer are dropped, so
// that the fill is then drawn without them.
void append_mapped_coordinate(sgl_type_statemachine* context, float x, float y) {
  sgl_texture_state* texture = &context->texture;
  if (context->texcoord_count >= SGL_VERTEX_BUFFER_SIZE) {
    return;
  }
  float s, t;
  if (texture->explicit_pending) {
    texture->explicit_pending = 0;
    s = (texture->repeat_x + texture->offset_x) * texture->explicit_s;
    t = (texture->repeat_y + texture->offset_y) * texture->explicit_t;
  } else {
    // A box without width (height) has no place along that axis: every
    // vertex takes the image's far edge there.
    s = texture->factor_x;
    t = texture->factor_y;
    if (texture->width != 0.0f) {
      s *= (x - texture->origin_x) / texture->width * texture->repeat_x + texture->offset_x;
    }
    if (texture->height != 0.0f) {
      t *= (y - texture->origin_y) / texture->height * texture->repeat_y + texture->offset_y;
    }
  }
  context->texcoords[context->texcoord_count][0] = s;
  context->texcoords[context->texcoord_count][1] = t;
  context->texcoord_count += 1;
}

}  // namespace

void sgliSetTextureCoordinates(float x, float y) {
  append_mapped_coordinate(glob_pr_sglStatemachine, x, y);
}

void sgliSetGradientCoordinates(float x, float y) {
  append_mapped_coordinate(glob_pr_sglStatemachine, x, y);
}

void sglFormatTexture(uint32_t n, const float* xs, const float* ys, float nx, float ny,
                      uint32_t align_x, uint32_t align_y) {
  sgl_type_statemachine* context = glob_pr_sglStatemachine;
  if (context->texture_table == nullptr || align_x >= 3 || align_y >= 3 || xs == nullptr ||
      ys == nullptr || n < 2 || n >= SGL_VERTEX_BUFFER_SIZE) {
    sgliSetError(SGL_ERROR_FORMAT_TEXTURE, n);
    return;
  }
  sgl_texture_state* texture = &context->texture;
  set_mapped_box(texture, n, xs, ys);
  const sgl_texture_slot* slot = sgli_loaded_slot(context->texture_table, context->texture_count,
                                                  context->texture.current_texture);
  set_image_factors(texture, slot, true);
  if (slot == nullptr) {
    texture->repeat_x = texture->repeat_y = 0.0f;
    texture->offset_x = texture->offset_y = 0.0f;
    return;
  }
  const float w = static_cast<float>(slot->width);
  const float h = static_cast<float>(slot->height);
  const float width = texture->width;
  const float height = texture->height;
  // "Not above zero" also takes NaN as "choose for me".
  const bool auto_x = !(nx > 0.0f);
  const bool auto_y = !(ny > 0.0f);
  if (auto_x && auto_y) {
    // The image at its own pixel size under the current scale.
    nx = width / (w * context->transform.units_x);
    ny = height / (h * context->transform.units_y);
  } else if (auto_x) {
    // Keep the image's aspect: as many across as the given count upwards allows.
    if (height == 0.0f) {
      nx = ny = 0.0f;
    } else {
      nx = (width / height) * (h / w) * ny;
    }
  } else if (auto_y) {
    if (width == 0.0f) {
      nx = ny = 0.0f;
    } else {
      ny = (height / width) * (w / h) * nx;
    }
  }
  texture->repeat_x = nx;
  texture->repeat_y = ny;
  texture->offset_x = alignment_offset(align_x, nx);
  texture->offset_y = alignment_offset(align_y, ny);
}

void sglTexCoord2f(float s, float t) {
  sgl_texture_state* texture = &glob_pr_sglStatemachine->texture;
  texture->explicit_s = s;
  texture->explicit_t = t;
  texture->explicit_pending = 1;
}

void sglTexVertex4f(float x, float y, float s, float t) {
  sgl_type_statemachine* context = glob_pr_sglStatemachine;
  if ((!context->texture_fill && !context->gradient_fill) ||
      context->vertex_count >= SGL_VERTEX_BUFFER_SIZE) {
    sgliSetError(SGL_ERROR_TEX_VERTEX, 0);
    return;
  }
  const sgl_texture_state* texture = &context->texture;
  const uint32_t k = context->vertex_count;
  // The coordinate sits beside its vertex, whatever the vertices before it got.
  context->texcoords[k][0] = (texture->repeat_x + texture->offset_x) * s;
  context->texcoords[k][1] = (texture->repeat_y + texture->offset_y) * t;
  context->texcoord_count = k + 1;
  context->vertices[k][0] = x;
  context->vertices[k][1] = y;
  context->vertex_count = k + 1;
  sgl_line_state* lines = &context->lines;
  if (!lines->has_last) {
    lines->first_x = x;
    lines->first_y = y;
  }
  lines->has_last = 1;
  lines->last_x = x;
  lines->last_y = y;
}

// ---------------------------------------------------------------------------
// Bitmaps at their pixel size
// ---------------------------------------------------------------------------
namespace {

// Replace or modulate, as capability 57 says.
void restore_texture_environment(const sgl_type_statemachine* context) {
  sgliTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE,
              context->texture_modulate ? GL_MODULATE : GL_REPLACE);
}

}  // namespace

void sgluDrawBitmap(int32_t slot, float x, float y) {
  sgl_type_statemachine* context = glob_pr_sglStatemachine;
  const sgl_texture_slot* entry =
      sgli_loaded_slot(context->texture_table, context->texture_count, slot);
  if (entry == nullptr) {
    sgliSetError(SGL_ERROR_DRAW_BITMAP, static_cast<uint32_t>(slot));
    return;
  }
  // One image pixel covers one pixel of the native display, whatever the
  // viewport and the scales in force.
  const float x2 = x + static_cast<float>(entry->width) * context->transform.font_scale_x;
  const float y2 = y + static_cast<float>(entry->height) * context->transform.font_scale_y;

  // The caller's texture selection, mapping and modes come back afterwards.
  const sgl_texture_state saved_texture = context->texture;
  const uint8_t saved_fill = context->texture_fill;
  const uint8_t saved_modulate = context->texture_modulate;
  context->texture_modulate = 0;
  sgliTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  context->texture.current_texture = static_cast<uint32_t>(slot);
  context->texture.explicit_pending = 0;
  context->texture_fill = 1;
  context->color_validity = 0;

  if (entry->scaled) {
    const float xs[4] = {x, x2, x2, x};
    const float ys[4] = {y, y, y2, y2};
    sglFormatTexture(4, xs, ys, 1.0f, 1.0f, 0, 0);
    sglBegin(5);
    for (uint32_t k = 0; k < 4; ++k) sglVertex2f(xs[k], ys[k]);
    sglEnd();
  } else {
    // The image sits in the texture's corner: its own coordinates, taken
    // once (no repetition, no offset).
    context->texture.repeat_x = context->texture.repeat_y = 1.0f;
    context->texture.offset_x = context->texture.offset_y = 0.0f;
    const float s = static_cast<float>(entry->width) / static_cast<float>(entry->texture_width);
    const float t = static_cast<float>(entry->height) / static_cast<float>(entry->texture_height);
    sglBegin(5);
    sglTexVertex4f(x, y, 0.0f, 0.0f);
    sglTexVertex4f(x2, y, s, 0.0f);
    sglTexVertex4f(x2, y2, s, t);
    sglTexVertex4f(x, y2, 0.0f, t);
    sglEnd();
  }

  context->texture = saved_texture;
  context->texture_fill = saved_fill;
  context->texture_modulate = saved_modulate;
  context->color_validity = 0;
  restore_texture_environment(context);
}

// ---------------------------------------------------------------------------
// Gradients and static bitmaps: new RGBA textures with the image in the corner
// ---------------------------------------------------------------------------
namespace {

// Puts a width x height RGBA image into the scratch buffer: run-length words
// (size bytes of them) or raw bytes, of which at least the whole image must
// be given. False when there is no buffer, the image does not fit it or the
// data do not make the image.
bool load_rgba_image(sgl_type_statemachine* context, int64_t width, int64_t height, uint32_t size,
                     const void* data, uint8_t compressed) {
  if (context->texture_buffer == nullptr || data == nullptr || width < 1 || height < 1 ||
      width > context->max_texture_width || height > context->max_texture_height) {
    return false;
  }
  const uint32_t image_size = static_cast<uint32_t>(width) * static_cast<uint32_t>(height) * 4;
  if (compressed) {
    return sgl_decode_texture_words(static_cast<const uint32_t*>(data), size / 4, 4,
                                    context->texture_buffer, image_size);
  }
  if (size < image_size) {
    return false;
  }
  std::memmove(context->texture_buffer, data, image_size);
  return true;
}

// Enlarges the image in the scratch buffer and uploads it as a new texture
// (smooth, repeating); returns its name.
uint32_t upload_new_rgba_texture(sgl_type_statemachine* context, uint32_t width, uint32_t height,
                                 uint32_t* out_texture_width, uint32_t* out_texture_height) {
  sgl_texture_size(width, height, context->max_texture_width, context->max_texture_height,
                   out_texture_width, out_texture_height);
  sgl_enlarge_image(context->texture_buffer, width, height, *out_texture_width, *out_texture_height,
                    4, false);
  GLuint name = 0;
  sgliGlGenTextures(1, &name);
  sgliBindTexture(name);
  upload_buffer(context, SGL_FORMAT_RGBA, *out_texture_width, *out_texture_height, true);
  return name;
}

}  // namespace

void sglGradientTexture(int32_t slot, int32_t width, uint32_t height, uint32_t size,
                        const void* data, uint8_t compressed) {
  sgl_type_statemachine* context = glob_pr_sglStatemachine;
  // The image is converted in the scratch buffer: it must fit there.
  if (context->gradient_table == nullptr || slot < 0 ||
      static_cast<uint32_t>(slot) >= context->gradient_count ||
      !load_rgba_image(context, width, height, size, data, compressed)) {
    sgliSetError(SGL_ERROR_GRADIENT_TEXTURE, static_cast<uint32_t>(slot));
    return;
  }
  sgl_texture_slot* entry = &context->gradient_table[slot];
  uint32_t texture_width, texture_height;
  entry->name = upload_new_rgba_texture(context, static_cast<uint32_t>(width), height,
                                        &texture_width, &texture_height);
  entry->width = static_cast<uint32_t>(width);
  entry->height = height;
  entry->texture_width = texture_width;
  entry->texture_height = texture_height;
  entry->format = SGL_FORMAT_RGBA;
  entry->scaled = 0;
  entry->loaded = 1;
}

void sglFormatGradient(uint32_t n, const float* xs, const float* ys) {
  sgl_type_statemachine* context = glob_pr_sglStatemachine;
  if (context->gradient_table == nullptr || xs == nullptr || ys == nullptr || n < 2 ||
      n >= SGL_VERTEX_BUFFER_SIZE) {
    sgliSetError(SGL_ERROR_FORMAT_GRADIENT, n);
    return;
  }
  // A texture fill takes precedence over a gradient: its mapping stays.
  if (context->texture_fill) {
    return;
  }
  sgl_texture_state* texture = &context->texture;
  set_mapped_box(texture, n, xs, ys);
  set_image_factors(
      texture,
      sgli_loaded_slot(context->gradient_table, context->gradient_count, texture->current_gradient),
      false);
  texture->repeat_x = texture->repeat_y = 1.0f;
  texture->offset_x = texture->offset_y = 0.0f;
}

uint32_t sglCreateStaticBitmap(float x, float y, int32_t width, int32_t height, uint32_t size,
                               const void* data, uint8_t compressed) {
  sgl_type_statemachine* context = glob_pr_sglStatemachine;
  sgl_static_state* statics = &context->statics;
  const uint32_t count = statics->bitmap_count;
  if (count >= SGL_STATIC_BITMAP_COUNT ||
      !load_rgba_image(context, width, height, size, data, compressed)) {
    sgliSetError(SGL_ERROR_CREATE_STATIC_BITMAP, count);
    return count;
  }
  sgl_static_bitmap* bitmap = &statics->bitmaps[count];
  uint32_t texture_width, texture_height;
  bitmap->name =
      upload_new_rgba_texture(context, static_cast<uint32_t>(width), static_cast<uint32_t>(height),
                              &texture_width, &texture_height);
  bitmap->width = static_cast<uint32_t>(width);
  bitmap->height = static_cast<uint32_t>(height);
  bitmap->x = x;
  bitmap->y = y;
  bitmap->used = 1;
  statics->bitmap_count = count + 1;
  return count;
}

void sglDrawStaticBitmap(uint32_t id) {
  sgl_type_statemachine* context = glob_pr_sglStatemachine;
  if (id >= SGL_STATIC_BITMAP_COUNT || !context->statics.bitmaps[id].used) {
    sgliSetError(SGL_ERROR_DRAW_STATIC_BITMAP, id);
    return;
  }
  const sgl_static_bitmap* bitmap = &context->statics.bitmaps[id];
  uint32_t texture_width, texture_height;
  sgl_texture_size(bitmap->width, bitmap->height, context->max_texture_width,
                   context->max_texture_height, &texture_width, &texture_height);
  const float x2 = bitmap->x + static_cast<float>(bitmap->width) * context->transform.font_scale_x;
  const float y2 = bitmap->y + static_cast<float>(bitmap->height) * context->transform.font_scale_y;
  const float s = static_cast<float>(bitmap->width) / static_cast<float>(texture_width);
  const float t = static_cast<float>(bitmap->height) / static_cast<float>(texture_height);
  const float corners[8] = {bitmap->x, bitmap->y, x2, bitmap->y, x2, y2, bitmap->x, y2};
  const float coordinates[8] = {0.0f, 0.0f, s, 0.0f, s, t, 0.0f, t};
  sgliBindTexture(bitmap->name);
  sgliEnable(GL_TEXTURE_2D);
  sgliEnable(GL_BLEND);
  sgliTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  sgli_draw_arrays(GL_TRIANGLE_FAN, corners, coordinates, 4);
  // The arrays live on this stack frame: the next draw must set its own.
  sgliVertexPointer(&context->vertices[0][0]);
  sgliTexCoordPointer(&context->texcoords[0][0]);
  restore_texture_environment(context);
}

// ---------------------------------------------------------------------------
// Static sequences: display lists
// ---------------------------------------------------------------------------
namespace {

// After a list was compiled (its state calls did not run) or called (they
// did, behind the cache's back), OpenGL is brought back to what the cache and
// the library's matrix say.
void reissue_library_state(const sgl_type_statemachine* context) {
  sglRestoreStates();
  sgliGlLoadMatrixf(context->transform.matrix);
}

}  // namespace

uint32_t sglBeginStaticSequence(float x0, float y0, float x1, float y1) {
  sgl_type_statemachine* context = glob_pr_sglStatemachine;
  // "Not below" also refuses NaN corners.
  if (!(x1 >= x0) || !(y1 >= y0) || context->statics.sequence_list != 0) {
    return 0;
  }
  const GLuint list = sgliGlGenLists(1);
  if (list == 0) {
    return 0;
  }
  sgliGlNewList(list, GL_COMPILE);
  context->statics.sequence_list = list;
  // Every state call of the drawing must land in the list, even the ones
  // the cache holds to be in force already.
  context->cache_bypass = 1;
  return list;
}

void sglEndStaticSequence() {
  sgl_type_statemachine* context = glob_pr_sglStatemachine;
  if (context->statics.sequence_list == 0) {
    return;
  }
  sgliGlEndList();
  context->statics.sequence_list = 0;
  context->texture_modulate = 0;
  context->gl_tex_env[0] = GL_TEXTURE_ENV;
  context->gl_tex_env[1] = GL_TEXTURE_ENV_MODE;
  context->gl_tex_env[2] = GL_REPLACE;
  context->cache_bypass = 0;
  reissue_library_state(context);
}

void sglCallStaticSequence(uint32_t id) {
  sgliGlCallList(id);
  reissue_library_state(glob_pr_sglStatemachine);
}
