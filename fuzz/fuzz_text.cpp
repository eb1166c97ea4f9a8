// Character decoding in the three encodings and the line breaking and
// measuring of rich text, on a small font built in memory whose glyph
// metrics come from the input. Nothing here needs an OpenGL context.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "graphics/sgl_font.h"

// A broken expectation: names the line of this file, then stops the run
// so that libFuzzer saves the input.
[[noreturn]] static void fuzz_fail(int line) {
  fprintf(stderr, "%s:%d: expectation failed\n", __FILE__, line);
  abort();
}

namespace {

constexpr uint32_t kMaxCodes = 1024;
constexpr uint32_t kMaxLines = 64;

// One font record (name, glyph size, glyph offset and count, index) with
// `glyphs` glyph records of 48 bytes after it, in one table-shaped block.
struct FontBlock {
  std::vector<uint8_t> bytes;
  sgl_font font;
};

void put32(uint8_t* p, uint32_t v) {
  memcpy(p, &v, 4);
}
void put16(uint8_t* p, uint16_t v) {
  memcpy(p, &v, 2);
}

FontBlock& font_block() {
  static FontBlock block;
  if (block.bytes.empty()) {
    const uint32_t glyphs = 8;
    block.bytes.assign(kSglFontRecordSize + glyphs * kSglGlyphRecordMinSize, 0);
    uint8_t* r = block.bytes.data();
    memcpy(r, "Fuzz", 5);
    put16(r + 64, kSglGlyphRecordMinSize);
    put16(r + 68, kSglFontTypeBitmap);
    put32(r + 128, kSglFontRecordSize);
    put32(r + 132, glyphs);
    // Characters map onto the glyphs by their low three bits.
    for (uint32_t code = 0; code < 65536; code++) put16(r + 136 + 2 * code, code % glyphs);
    block.font.record = r;
    block.font.glyphs = r + kSglFontRecordSize;
    block.font.glyph_count = glyphs;
  }
  return block;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 40) return 0;
  FontBlock& block = font_block();
  // Glyph metrics from the first 32 bytes: ink width, ink height, advance,
  // bearing of each glyph as small, possibly negative or odd numbers.
  for (uint32_t g = 0; g < block.font.glyph_count; g++) {
    uint8_t* glyph = block.bytes.data() + kSglFontRecordSize + g * kSglGlyphRecordMinSize;
    put32(glyph, g);
    for (uint32_t k = 0; k < 4; k++) {
      float v = static_cast<int8_t>(data[g * 4 + k]) * 0.5f;
      memcpy(glyph + 4 + 4 * k, &v, 4);
    }
  }
  uint8_t encoding = data[32] % 4;
  float width;
  memcpy(&width, data + 33, 4);
  float scale = (data[37] % 16) * 0.25f;
  uint32_t max_lines = data[38] % (kMaxLines + 1);
  const uint8_t* text = data + 39;
  uint32_t available = static_cast<uint32_t>(size - 39);

  uint16_t codes[kMaxCodes];
  uint32_t count = 0;
  uint32_t at = 0;
  while (at < available && count < kMaxCodes) {
    uint16_t code = 0xFFFF;
    uint32_t used = sgl_decode_char(encoding, text + at, available - at, &code);
    if (used == 0 || used > available - at) fuzz_fail(__LINE__);
    codes[count++] = code;
    at += used;
  }

  static const uint8_t word_separators[] = {' ', '-'};
  static const uint8_t line_separators[] = {10, 13};
  sgl_text_separators separators{word_separators, 2, line_separators, 2};
  sgl_text_line lines[kMaxLines];
  bool overflow = false;
  uint32_t n = sgl_text_break_lines(block.font, scale, codes, count, width, separators, lines,
                                    max_lines, &overflow);
  if (n > max_lines && !overflow) fuzz_fail(__LINE__);
  (void)sgl_text_width(block.font, codes, count, scale, data[38] & 0x80);

  // Glyph texture decoding on the remaining bytes, small images only.
  static uint8_t alpha[64 * 64];
  uint32_t w = data[0] % 65, h = data[1] % 65;
  (void)sgl_decode_font_texture(text, available, w, h, alpha);
  return 0;
}
