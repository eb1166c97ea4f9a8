// Reading the font table and decoding text, on bytes and numbers only.
#include "graphics/sgl_font.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

uint16_t read_u16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t read_u32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

int16_t read_i16(const uint8_t* p) {
  return static_cast<int16_t>(read_u16(p));
}

float read_f32(const uint8_t* p) {
  const uint32_t bits = read_u32(p);
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

constexpr uint32_t kFontNameAt = 0;
constexpr uint32_t kGlyphRecordSizeAt = 64;
constexpr uint32_t kFontTypeAt = 68;
constexpr uint32_t kFontValuesAt = 104;
constexpr uint32_t kGlyphOffsetAt = 128;
constexpr uint32_t kGlyphCountAt = 132;
constexpr uint32_t kGlyphIndexAt = 136;
constexpr uint32_t kCodeCount = 65536;

const uint8_t* font_record(const uint8_t* table, uint32_t slot) {
  return table + kSglFontTableHeaderSize + static_cast<uint64_t>(slot) * kSglFontRecordSize;
}

uint64_t textures_at(const uint8_t* table) {
  return kSglFontTableHeaderSize + static_cast<uint64_t>(read_u32(table + 8)) * kSglFontRecordSize;
}

// A bitmap font's glyph records must lie inside the table, every index entry
// must name one of them, and every glyph with a bitmap must name a texture of
// the table: those are the reads drawing a text makes.
bool font_record_sound(const uint8_t* table, uint32_t slot) {
  const uint8_t* record = font_record(table, slot);
  if (read_u16(record + kFontTypeAt) != kSglFontTypeBitmap) return true;
  if (std::memchr(record + kFontNameAt, 0, kSglFontNameSize) == nullptr) return false;
  const uint32_t size = read_u16(record + kGlyphRecordSizeAt);
  const uint32_t count = read_u32(record + kGlyphCountAt);
  if (size < kSglGlyphRecordMinSize || count == 0) return false;
  const uint64_t first = static_cast<uint64_t>(record - table) + read_u32(record + kGlyphOffsetAt);
  if (first + static_cast<uint64_t>(count) * size > read_u32(table)) return false;
  for (uint32_t code = 0; code < kCodeCount; ++code) {
    if (read_u16(record + kGlyphIndexAt + 2 * code) >= count) return false;
  }
  const uint32_t textures = read_u32(table + 12);
  const uint8_t* glyph = table + first;
  for (uint32_t i = 0; i < count; ++i, glyph += size) {
    const bool has_bitmap = read_u16(glyph + 24) > 0 && read_u16(glyph + 26) > 0;
    if (has_bitmap && read_u16(glyph + 28) >= textures) return false;
  }
  return true;
}

}  // namespace

uint32_t sgl_font_table_check(const uint8_t* table) {
  // The size field is all that may be read before the size is known: a
  // table too short for its own header is refused before the rest is read.
  if (table == nullptr || read_u32(table) < kSglFontTableHeaderSize) return kSglFontTableBadHeader;
  if (read_u32(table + 4) != kSglFontTableFormat) return kSglFontTableBadHeader;
  const uint32_t fonts = read_u32(table + 8);
  const uint32_t textures = read_u32(table + 12);
  if (textures > kSglFontMaxTextures) return kSglFontTableBadHeader;
  const uint64_t records_end =
      textures_at(table) + static_cast<uint64_t>(textures) * kSglFontTextureRecordSize;
  if (records_end > read_u32(table)) return kSglFontTableBadHeader;
  for (uint32_t slot = 0; slot < fonts; ++slot) {
    if (!font_record_sound(table, slot)) return kSglFontTableBadFont;
  }
  return 0;
}

uint32_t sgl_font_table_font_count(const uint8_t* table) {
  return read_u32(table + 8);
}

uint32_t sgl_font_table_texture_count(const uint8_t* table) {
  return read_u32(table + 12);
}

bool sgl_font_table_font(const uint8_t* table, uint32_t slot, sgl_font* out_font) {
  if (table == nullptr || slot >= sgl_font_table_font_count(table)) return false;
  const uint8_t* record = font_record(table, slot);
  if (read_u16(record + kFontTypeAt) != kSglFontTypeBitmap) return false;
  out_font->record = record;
  out_font->glyphs = record + read_u32(record + kGlyphOffsetAt);
  out_font->glyph_count = read_u32(record + kGlyphCountAt);
  out_font->glyph_record_size = read_u16(record + kGlyphRecordSizeAt);
  return true;
}

bool sgl_font_table_first_font(const uint8_t* table, sgl_font* out_font) {
  if (table == nullptr) return false;
  const uint32_t fonts = sgl_font_table_font_count(table);
  for (uint32_t slot = 0; slot < fonts; ++slot) {
    if (sgl_font_table_font(table, slot, out_font)) return true;
  }
  return false;
}

bool sgl_font_table_texture(const uint8_t* table, uint32_t index, sgl_font_texture* out_texture) {
  if (table == nullptr || index >= sgl_font_table_texture_count(table)) return false;
  const uint8_t* record =
      table + textures_at(table) + static_cast<uint64_t>(index) * kSglFontTextureRecordSize;
  std::memcpy(&out_texture->data, record, sizeof out_texture->data);
  out_texture->width = read_u32(record + 8);
  out_texture->height = read_u32(record + 12);
  out_texture->length = read_u32(record + 16);
  return true;
}

const char* sgl_font_name(const sgl_font& font) {
  return reinterpret_cast<const char*>(font.record + kFontNameAt);
}

float sgl_font_value(const sgl_font& font, uint32_t kind) {
  if (kind < 4 || kind > 9) return 0.0f;
  return read_f32(font.record + kFontValuesAt + 4 * (kind - 4));
}

void sgl_font_glyph(const sgl_font& font, uint32_t code, sgl_glyph* out_glyph) {
  uint32_t number = code < kCodeCount ? read_u16(font.record + kGlyphIndexAt + 2 * code) : 0;
  // The table check makes this impossible for a loaded table; a font read
  // from an unchecked table still never reads past its glyph records.
  if (number >= font.glyph_count) number = 0;
  const uint8_t* g = font.glyphs + static_cast<uint64_t>(number) * font.glyph_record_size;
  out_glyph->code = read_u32(g);
  out_glyph->ink_width = read_f32(g + 4);
  out_glyph->ink_height = read_f32(g + 8);
  out_glyph->advance = read_f32(g + 12);
  out_glyph->bearing = read_f32(g + 16);
  out_glyph->x_offset = read_i16(g + 20);
  out_glyph->y_offset = read_i16(g + 22);
  out_glyph->width = read_u16(g + 24);
  out_glyph->height = read_u16(g + 26);
  out_glyph->texture = read_u16(g + 28);
  out_glyph->s0 = read_f32(g + 32);
  out_glyph->t0 = read_f32(g + 36);
  out_glyph->s1 = read_f32(g + 40);
  out_glyph->t1 = read_f32(g + 44);
}

float sgl_font_glyph_value(const sgl_font& font, uint32_t code, uint32_t kind) {
  sgl_glyph glyph;
  sgl_font_glyph(font, code, &glyph);
  switch (kind) {
    case 0:
      return glyph.ink_width;
    case 1:
      return glyph.ink_height;
    case 2:
      return glyph.bearing;
    case 3:
      return glyph.advance;
    default:
      return 0.0f;
  }
}

bool sgl_decode_font_texture(const uint8_t* data, uint32_t length, uint32_t width, uint32_t height,
                             uint8_t* out_alpha) {
  const uint64_t texels = static_cast<uint64_t>(width) * height;
  uint64_t written = 0;
  uint32_t at = 0;
  while (at < length) {
    const uint8_t b = data[at++];
    uint64_t repeat = 1;
    if (at < length && data[at] == b) {
      ++at;
      if (length - at >= 2) {
        repeat = (static_cast<uint64_t>(data[at]) << 8) + data[at + 1] + 2;
        at += 2;
      } else {
        repeat = 2;
      }
    }
    // Each byte holds two texels; a stream that runs past the image is
    // refused rather than written past the buffer.
    if (written + 2 * repeat > texels + (texels & 1)) return false;
    const uint8_t high = static_cast<uint8_t>((b >> 4) * 17);
    const uint8_t low = static_cast<uint8_t>((b & 15) * 17);
    for (uint64_t i = 0; i < repeat; ++i) {
      out_alpha[written++] = high;
      if (written < texels) out_alpha[written] = low;
      ++written;
    }
  }
  return written >= texels && written <= texels + 1;
}

namespace {

int hex_digit(uint8_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// True when the `count` bytes after the first all exist and none ends the text.
bool continues(const uint8_t* text, uint32_t available, uint32_t count) {
  if (available < count + 1) return false;
  for (uint32_t i = 1; i <= count; ++i) {
    if (text[i] == 0) return false;
  }
  return true;
}

}  // namespace

uint32_t sgl_decode_char(uint8_t encoding, const uint8_t* text, uint32_t available,
                         uint16_t* out_code) {
  const uint8_t b0 = text[0];
  *out_code = b0;
  if (encoding == 1) {
    if (b0 >= 0xF0) {
      // Beyond the 16-bit codes the fonts map: taken as the end of text.
      if (!continues(text, available, 3)) return 1;
      *out_code = 0;
      return 4;
    }
    if (b0 >= 0xE0) {
      if (!continues(text, available, 2)) return 1;
      const uint32_t code = ((b0 * 64u + (text[1] & 127u)) * 64u) + (text[2] & 127u);
      *out_code = static_cast<uint16_t>(code);  // the lead byte's marker bits fall out
      return 3;
    }
    if (b0 >= 0xC0) {
      if (!continues(text, available, 1)) return 1;
      *out_code = static_cast<uint16_t>((b0 & 63u) * 64u + (text[1] & 127u));
      return 2;
    }
    return 1;
  }
  if (encoding == 2) {
    if (b0 < 0x80 || !continues(text, available, 1)) return 1;
    *out_code = static_cast<uint16_t>((b0 << 8) | text[1]);
    return 2;
  }
  if (b0 == '\\' && available >= 6 && text[1] == 'u') {
    uint32_t code = 0;
    for (uint32_t i = 2; i < 6; ++i) {
      const int digit = hex_digit(text[i]);
      if (digit < 0) return 1;
      code = code * 16 + static_cast<uint32_t>(digit);
    }
    *out_code = static_cast<uint16_t>(code);
    return 6;
  }
  return 1;
}

float sgl_text_width(const sgl_font& font, const uint16_t* codes, uint32_t count, float scale,
                     bool ink_end) {
  float width = 0.0f;
  for (uint32_t i = 0; i < count; ++i) {
    sgl_glyph glyph;
    sgl_font_glyph(font, codes[i], &glyph);
    width += (ink_end && i + 1 == count) ? glyph.ink_width : glyph.advance;
  }
  return width * scale;
}

namespace {

bool is_one_of(uint16_t code, const uint8_t* set, uint32_t size) {
  for (uint32_t i = 0; i < size; ++i) {
    if (code == set[i]) return true;
  }
  return false;
}

}  // namespace

uint32_t sgl_text_break_lines(const sgl_font& font, float scale, const uint16_t* codes,
                              uint32_t count, float width, const sgl_text_separators& separators,
                              sgl_text_line* out_lines, uint32_t max_lines, bool* out_overflow) {
  uint32_t lines = 0;
  uint32_t at = 0;
  *out_overflow = false;
  bool ended_by_separator = false;
  while (at < count || ended_by_separator) {
    if (lines == max_lines) {
      *out_overflow = true;
      break;
    }
    ended_by_separator = false;
    const uint32_t start = at;
    float advance = 0.0f;     // advances of the characters taken so far
    uint32_t end = start;     // one past the last character taken
    uint32_t after_word = 0;  // one past the last word separator taken, 0 for none
    bool too_wide = false;
    while (end < count) {
      const uint16_t code = codes[end];
      if (is_one_of(code, separators.line, separators.line_count)) break;
      sgl_glyph glyph;
      sgl_font_glyph(font, code, &glyph);
      if (end > start && (advance + glyph.ink_width) * scale > width) {
        too_wide = true;
        break;
      }
      advance += glyph.advance;
      ++end;
      if (is_one_of(code, separators.word, separators.word_count)) after_word = end;
    }
    uint32_t next = end;
    // A separator that does not fit is itself the break: the words
    // before it all fit and stay on the line.
    if (too_wide && is_one_of(codes[end], separators.word, separators.word_count)) after_word = end;
    if (too_wide && after_word > start) {
      end = after_word;
      next = after_word;
    }
    if (too_wide) {
      // The break stands for the spaces at it: the next line starts at its word.
      while (next < count && is_one_of(codes[next], separators.word, separators.word_count)) ++next;
    }
    if (!too_wide && end < count) {
      // A line separator: dropped, and its partner of a 13 10 or 10 13 pair with it.
      const uint16_t first = codes[end];
      next = end + 1;
      if (next < count && codes[next] != first &&
          is_one_of(codes[next], separators.line, separators.line_count)) {
        ++next;
      }
      // A break at the very end still opens an (empty) last line.
      ended_by_separator = next == count;
    }
    uint32_t shown = end;
    if (too_wide) {
      while (shown > start && is_one_of(codes[shown - 1], separators.word, separators.word_count))
        --shown;
    }
    out_lines[lines].start = start;
    out_lines[lines].length = shown - start;
    out_lines[lines].width = sgl_text_width(font, codes + start, shown - start, scale, true);
    ++lines;
    at = next;
  }
  return lines;
}

void sgl_text_line_origin(float x, float y, float factor_h, float factor_v, float width,
                          float ascent, float* out_x, float* out_y) {
  *out_x = x - factor_h * width;
  *out_y = y - factor_v * ascent;
}

void sgl_text_area_line_origin(uint32_t align_h, uint32_t align_v, float x1, float y1, float x2,
                               float y2, uint32_t index, uint32_t count, float line_width,
                               float ascent, float descent, float* out_x, float* out_y) {
  const float left = std::min(x1, x2), right = std::max(x1, x2);
  const float bottom = std::min(y1, y2), top = std::max(y1, y2);
  const float pitch = ascent + descent;
  switch (align_h) {
    case 1:
      *out_x = (left + right - line_width) / 2.0f;
      break;
    case 2:
      *out_x = right - line_width;
      break;
    default:
      *out_x = left;
      break;
  }
  float first_top = top;  // top of the first line's ascent
  if (align_v == 0) first_top = bottom + static_cast<float>(count) * pitch;
  if (align_v == 1) first_top = (bottom + top + static_cast<float>(count) * pitch) / 2.0f;
  *out_y = first_top - ascent - static_cast<float>(index) * pitch;
}

// ---------------------------------------------------------------------------
// Numbers
// ---------------------------------------------------------------------------
bool sgl_float_format_valid(const sgl_float_format& format) {
  if (format.integer_digits >= 10 || format.fraction_digits < 0 || format.fraction_digits > 9)
    return false;
  if (format.split < -static_cast<int32_t>(format.integer_digits) ||
      format.split > format.fraction_digits + 1) {
    return false;
  }
  return format.sign_mode <= 2;
}

namespace {

// Appends count bytes of from to the 0-terminated text at out.
void append(char* out, const char* from, uint32_t count) {
  const size_t at = std::strlen(out);
  std::memcpy(out + at, from, count);
  out[at + count] = 0;
}

}  // namespace

void sgl_format_number(float value, const sgl_float_format& format, sgl_number_text* out_text) {
  const uint32_t fraction_digits = static_cast<uint32_t>(format.fraction_digits);
  uint64_t power = 1;
  for (uint32_t i = 0; i < fraction_digits; ++i) power *= 10;
  // In double, |value| below 2^31 times 10^9 stays below 2^63. A float
  // holds 24 significant bits: a value that lies within half its last
  // place below a half (0.45f is 0.449999988) was written as that half.
  // Where the float's places are too coarse for the digit being rounded,
  // its exact value is rounded instead.
  const double magnitude = std::fabs(static_cast<double>(value)) * static_cast<double>(power);
  const double half_place = magnitude * 0x1p-24;
  const double tolerance = half_place <= 1.0 / 64.0 ? half_place : 0.0;
  const uint64_t rounded = static_cast<uint64_t>(std::floor(magnitude + 0.5 + tolerance));
  const uint64_t integral = rounded / power;
  const uint64_t fraction = rounded % power;

  // Integral digits: the last integer_digits of them, padded or not.
  char integral_text[12] = {};
  uint32_t integral_length = 0;
  if (format.integer_digits > 0) {
    char reversed[12];
    uint64_t rest = integral;
    uint32_t count = 0;
    while (count < format.integer_digits) {
      reversed[count++] = static_cast<char>('0' + rest % 10);
      rest /= 10;
    }
    if (!format.leading_zeros) {
      while (count > 1 && reversed[count - 1] == '0') --count;
    }
    for (uint32_t i = 0; i < count; ++i) integral_text[i] = reversed[count - 1 - i];
    integral_length = count;
  }
  char fraction_text[12] = {};
  for (uint32_t i = 0; i < fraction_digits; ++i) {
    uint64_t place = 1;
    for (uint32_t k = i + 1; k < fraction_digits; ++k) place *= 10;
    fraction_text[i] = static_cast<char>('0' + (fraction / place) % 10);
  }

  char sign[2] = {};
  const bool negative = value < 0.0f && rounded != 0;
  if (format.sign_mode == 0) sign[0] = negative ? '-' : '+';
  if (format.sign_mode == 2 && negative) sign[0] = '-';
  char separator[2] = {};
  if (fraction_digits > 0) separator[0] = static_cast<char>(format.separator);

  out_text->first[0] = 0;
  out_text->second[0] = 0;
  append(out_text->first, sign, static_cast<uint32_t>(std::strlen(sign)));
  const uint32_t separator_length = static_cast<uint32_t>(std::strlen(separator));
  if (format.split >= 0) {
    // split k > 0 keeps the separator and k - 1 fraction digits in front.
    const uint32_t front = format.split > 0 ? static_cast<uint32_t>(format.split) - 1 : 0;
    const uint32_t kept = std::min(front, fraction_digits);
    append(out_text->first, integral_text, integral_length);
    char* fraction_piece = format.split > 0 ? out_text->first : out_text->second;
    append(fraction_piece, separator, separator_length);
    append(out_text->first, fraction_text, kept);
    append(out_text->second, fraction_text + kept, fraction_digits - kept);
  } else {
    const uint32_t moved = std::min(static_cast<uint32_t>(-format.split), integral_length);
    append(out_text->first, integral_text, integral_length - moved);
    append(out_text->second, integral_text + integral_length - moved, moved);
    append(out_text->second, separator, separator_length);
    append(out_text->second, fraction_text, fraction_digits);
  }
}

void sgl_halve_alpha_texels(uint8_t* texels, uint32_t width, uint32_t height) {
  const uint32_t half_width = width > 1 ? width / 2 : 1;
  const uint32_t half_height = height > 1 ? height / 2 : 1;
  for (uint32_t row = 0; row < half_height; ++row) {
    const uint32_t y0 = 2 * row;
    const uint32_t y1 = std::min(y0 + 1, height - 1);
    for (uint32_t column = 0; column < half_width; ++column) {
      const uint32_t x0 = 2 * column;
      const uint32_t x1 = std::min(x0 + 1, width - 1);
      const uint32_t sum = texels[y0 * width + x0] + texels[y0 * width + x1] +
                           texels[y1 * width + x0] + texels[y1 * width + x1];
      texels[row * half_width + column] = static_cast<uint8_t>((sum + 2) / 4);
    }
  }
}
