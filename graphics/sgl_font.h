// sgl_font.h - reading the font table and laying out text, without OpenGL.
//
// What it is
//   Plain functions on the bytes of a font table (format tag 661) and on
//   numbers: checking a table before it is loaded, finding a font record and
//   a glyph, decoding the run-length coded glyph textures into alpha texels,
//   decoding one character of a text in the library's three encodings,
//   measuring a line, breaking a text into the lines of a text area and
//   placing lines by their alignment. sgl_text.cpp builds the drawing on
//   these; tests call them directly.
//
// The table (little-endian, byte offsets)
//   header   0 size u32, 4 format tag u32 (661), 8 font count u32,
//            12 texture count u32 (at most 1024)
//   fonts    from 16, font count x 131208 bytes
//   textures after the fonts, texture count x 24 bytes: data address
//            (8 bytes), width, height, data length, one unread u32
//   font     0 name (zero-terminated within 64 bytes), 64 glyph record size
//            u16, 68 type u16 (0 bitmap, 2 empty), 104 font values 4..9
//            (six f32), 128 offset from the record to its glyph records
//            u32, 132 glyph count u32, 136 glyph index (65536 u16: glyph
//            number per character code; 0 is the missing-character glyph)
//   glyph    0 code u32, 4 ink width, 8 ink height, 12 advance, 16 left
//            bearing of the ink (f32: font values 0, 1, 3, 2), 20 x and
//            22 y offset of the bitmap's lower-left corner from the pen
//            (i16, y up), 24 bitmap width, 26 height, 28 texture number
//            (u16), 32 texture coordinates s0, t0, s1, t1 (f32)
//   texture  bytes of two 4-bit alpha values (high nibble first), texel rows
//            bottom first; a byte written twice is followed by a big-endian
//            16-bit count of further repetitions.
//
// Threads
//   Pure functions: any thread.
#pragma once

#include <cstdint>

#include "graphics/sgl.h"

constexpr uint32_t kSglFontTableFormat = 661;
constexpr uint32_t kSglFontTableHeaderSize = 16;
constexpr uint32_t kSglFontRecordSize = 131208;
constexpr uint32_t kSglFontTextureRecordSize = 24;
constexpr uint32_t kSglFontNameSize = 64;
constexpr uint32_t kSglFontMaxTextures = 1024;
// Every glyph field the library reads lies in the first 48 bytes.
constexpr uint32_t kSglGlyphRecordMinSize = 48;
constexpr uint16_t kSglFontTypeBitmap = 0;
constexpr uint16_t kSglFontTypeEmpty = 2;

// Why a table was refused (the value of error 9).
constexpr uint32_t kSglFontTableBadHeader = 1;   // format tag, counts or size
constexpr uint32_t kSglFontTableBadTexture = 2;  // a glyph texture did not decode or upload
constexpr uint32_t kSglFontTableBadFont = 3;     // a font record points outside the table

// A font record of a loaded table, as read from its bytes.
struct sgl_font {
  const uint8_t* record;  // the 131208-byte font record
  const uint8_t* glyphs;  // its first glyph record
  uint32_t glyph_count;
  uint32_t glyph_record_size;
};

// One glyph record.
struct sgl_glyph {
  uint32_t code;
  float ink_width;   // font value 0
  float ink_height;  // font value 1
  float bearing;     // font value 2
  float advance;     // font value 3
  int16_t x_offset, y_offset;
  uint16_t width, height;
  uint16_t texture;
  float s0, t0, s1, t1;
};

// One glyph texture record.
struct sgl_font_texture {
  const uint8_t* data;
  uint32_t width, height;
  uint32_t length;  // bytes of run-length coded data
};

// Checks the header, every font record and every glyph index entry; returns
// 0 for a sound table, else one of kSglFontTableBad*. A table is trusted
// only as far as its own size field: everything it points at must lie inside.
uint32_t sgl_font_table_check(const uint8_t* table);

uint32_t sgl_font_table_font_count(const uint8_t* table);
uint32_t sgl_font_table_texture_count(const uint8_t* table);

// The bitmap font in a slot; false for an empty slot, another type, or a
// slot beyond the table. Only for tables that passed the check.
bool sgl_font_table_font(const uint8_t* table, uint32_t slot, sgl_font* out_font);
// The first bitmap font of the table, the stand-in for a missing font.
bool sgl_font_table_first_font(const uint8_t* table, sgl_font* out_font);
bool sgl_font_table_texture(const uint8_t* table, uint32_t index, sgl_font_texture* out_texture);

const char* sgl_font_name(const sgl_font& font);
// Font values 4..9; other kinds give 0.
float sgl_font_value(const sgl_font& font, uint32_t kind);
// The glyph of a character code (the missing-character glyph when the font
// does not map the code).
void sgl_font_glyph(const sgl_font& font, uint32_t code, sgl_glyph* out_glyph);
// Glyph values 0..3 of a character: ink width, ink height, bearing, advance.
float sgl_font_glyph_value(const sgl_font& font, uint32_t code, uint32_t kind);

// Decodes a glyph texture into width x height alpha texels (each 4-bit value
// n becomes n x 17). True only when the data yields exactly the texels of
// the image; out_alpha is never written beyond width x height bytes.
bool sgl_decode_font_texture(const uint8_t* data, uint32_t length, uint32_t width, uint32_t height,
                             uint8_t* out_alpha);

// The next smaller level of an alpha image, in place: each texel of the
// (width / 2) x (height / 2) result (at least 1 x 1) is the rounded mean of
// the 2 x 2 block it covers (of the texels there are, for an odd side).
// Reading runs ahead of writing, so the first texels of `texels` take the
// result. Integer arithmetic only: every compiler gives the same texels.
void sgl_halve_alpha_texels(uint8_t* texels, uint32_t width, uint32_t height);

// Decodes one character of text (at most `available` bytes, which must be at
// least 1) in the given encoding: 0 single byte with "\uXXXX" escapes, 1
// UTF-8, 2 double byte. Returns the bytes used. A sequence cut short by the
// end of the text or by a 0 byte is not taken: its first byte stands for
// itself, so a decoder never steps over the end of a text.
uint32_t sgl_decode_char(uint8_t encoding, const uint8_t* text, uint32_t available,
                         uint16_t* out_code);

// ---------------------------------------------------------------------------
// Layout. Widths are font pixels times `scale` (drawing units per pixel).
// ---------------------------------------------------------------------------
// The sum of the advances; with ink_end the last character counts only its
// ink width, so that a right-aligned text ends where its ink ends.
float sgl_text_width(const sgl_font& font, const uint16_t* codes, uint32_t count, float scale,
                     bool ink_end);

struct sgl_text_separators {
  const uint8_t* word;  // characters after which a line may break (the space)
  uint32_t word_count;
  const uint8_t* line;  // characters that end a line (10, 13)
  uint32_t line_count;
};

// Breaks codes[0..count) into lines no wider than `width` (measured to the
// ink end of their last character): a line that grows too wide ends after
// its last word separator (or at a separator that itself does not fit), or,
// without one, before the character that does not fit - but always holds
// at least one character, so that a glyph wider than the area cannot stall
// the text. A line separator ends a line and is
// dropped; two different ones in a row (13 10, 10 13) count as one break.
// Word separators where a line wraps belong to neither line (they would
// shift an aligned line and indent the next one).
// Returns the number of lines; *out_overflow is set when the text needed
// more than max_lines (the first max_lines are formed).
uint32_t sgl_text_break_lines(const sgl_font& font, float scale, const uint16_t* codes,
                              uint32_t count, float width, const sgl_text_separators& separators,
                              sgl_text_line* out_lines, uint32_t max_lines, bool* out_overflow);

// Pen start of one line written at (x, y): factors 0, 0.5, 1 move it left by
// that part of its width and down by that part of its ascent.
void sgl_text_line_origin(float x, float y, float factor_h, float factor_v, float width,
                          float ascent, float* out_x, float* out_y);

// Pen start of line `index` of `count` in the rectangle (x1, y1) - (x2, y2):
// horizontally 0 left, 1 centred, 2 right; vertically 2 from the top down,
// 0 from the bottom up, 1 the block centred. A line is ascent + descent high.
void sgl_text_area_line_origin(uint32_t align_h, uint32_t align_v, float x1, float y1, float x2,
                               float y2, uint32_t index, uint32_t count, float line_width,
                               float ascent, float descent, float* out_x, float* out_y);

// ---------------------------------------------------------------------------
// Numbers
// ---------------------------------------------------------------------------
constexpr uint32_t kSglNumberTextSize = 24;  // sign, 9 digits, separator, 9 digits, 0

// The two pieces of a written number, each 0-terminated: the first is written
// in the current font, the second in the second font.
struct sgl_number_text {
  char first[kSglNumberTextSize];
  char second[kSglNumberTextSize];
};

// True when every field lies in its range (see sgl_float_format).
bool sgl_float_format_valid(const sgl_float_format& format);
// Writes value under a valid format: rounded half away from zero to the
// fraction digits (where the float resolves that digit, a value within its
// own precision of a half counts as the half: 0.45f gives 0.5), the
// integral part cut to its last integer digits or padded with zeros, the
// sign before the first digit (none for a value that rounds to zero), the
// separator only when there are fraction digits (a 0 separator writes
// none), then cut at the split.
void sgl_format_number(float value, const sgl_float_format& format, sgl_number_text* out_text);
