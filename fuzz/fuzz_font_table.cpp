// Font tables from the input through the drawing library's own loading path:
// sgluLoadFonts checks the table and either refuses it (error 9, nothing
// loaded) or decodes and uploads its glyph textures; an accepted table then
// writes a line, a text area and a rich text with the input's text, font and
// alignment, on an off-screen OpenGL context.
//
// Input (little-endian):
//   0   u32  size of the table buffer (at most kMaxTableSize; below 4 bytes
//            no table can even hold its size field, and the input is skipped)
//   4   u8   font slot to write with
//   5   u8   bits 0-1 encoding (3 counts as 0), 2-3 horizontal and 4-5
//            vertical alignment, 6 halo (capability 35), 7 pixel-aligned text
//   6   16 bytes of text (a 0 byte ends it)
//   22  patches to the end: u32 offset, u16 length and that many bytes,
//            copied into the zero-filled table at the offset (cut at its end)
// A font record is 131,208 bytes, mostly zero, so patches keep tables that
// hold real fonts small. The seeds were cut from the generated table: one,
// two or three font slots with a few of their glyphs, the glyph bitmaps
// packed into small textures.
//
// Two things the library cannot check and the program's own table
// guarantees are made true here before the table is handed over: the size
// field does not promise more bytes than the buffer holds (a larger one is
// replaced by the buffer's size), and a texture record's data address
// points at its length of readable bytes (the address field holds an offset
// into the table, turned into a pointer; the length is cut to the bytes
// left after it).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "graphics/sgl.h"
#include "graphics/sgl_font.h"
#include "tests/support/offscreen_gl.h"

// A broken expectation: names the line of this file, then stops the run
// so that libFuzzer saves the input.
[[noreturn]] static void fuzz_fail(int line) {
  fprintf(stderr, "%s:%d: expectation failed\n", __FILE__, line);
  abort();
}

namespace {

constexpr size_t kMaxTableSize = 2u << 20;
constexpr size_t kInputHeader = 22;
constexpr size_t kTextSize = 16;
// Small glyph textures keep each run fast: a larger one is refused by the
// library's own size check, which is part of what is fuzzed.
constexpr uint32_t kMaxTexture = 256;

uint32_t read_u32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

void write_u32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

bool context_ready() {
  static bool ready = [] {
    if (!velkor_test::MakeOffscreenGlCurrent()) return false;
    static sgl_type_statemachine context;
    static std::vector<uint8_t> scratch(kMaxTexture * kMaxTexture * 4);
    const sgl_parameters parameters{
        1280, 768, scratch.data(), kMaxTexture, kMaxTexture, nullptr, 0, nullptr, 0};
    return sglInit(&context, &parameters);
  }();
  return ready;
}

void apply_patches(const uint8_t* data, size_t size, std::vector<uint8_t>* table) {
  size_t at = kInputHeader;
  while (size - at >= 6) {
    const uint32_t offset = read_u32(data + at);
    const size_t length = static_cast<size_t>(data[at + 4] | (data[at + 5] << 8));
    at += 6;
    const size_t available = std::min(length, size - at);
    if (offset < table->size()) {
      memcpy(table->data() + offset, data + at, std::min(available, table->size() - offset));
    }
    at += available;
  }
}

// Keeps the two promises of the table's format that no check can test.
void keep_promises(std::vector<uint8_t>* bytes) {
  uint8_t* table = bytes->data();
  const uint64_t size = bytes->size();
  if (read_u32(table) > size) write_u32(table, static_cast<uint32_t>(size));
  if (size < kSglFontTableHeaderSize) return;
  const uint64_t records =
      kSglFontTableHeaderSize + static_cast<uint64_t>(read_u32(table + 8)) * kSglFontRecordSize;
  const uint64_t count = read_u32(table + 12);
  if (count > kSglFontMaxTextures || records + count * kSglFontTextureRecordSize > size) return;
  for (uint64_t i = 0; i < count; ++i) {
    uint8_t* record = table + records + i * kSglFontTextureRecordSize;
    uint64_t offset = 0;
    memcpy(&offset, record, sizeof offset);
    offset %= size;
    const uint8_t* data = table + offset;
    memcpy(record, &data, sizeof data);
    if (read_u32(record + 16) > size - offset) {
      write_u32(record + 16, static_cast<uint32_t>(size - offset));
    }
  }
}

bool load_refused(uint32_t errors_before) {
  const sgl_error_log& log = sglGetCurrentContext()->errors;
  for (uint32_t i = errors_before; i < log.count; ++i) {
    const sgl_error_entry& e = log.entries[i];
    if (e.code == SGL_ERROR_LOAD_FONTS && e.value != kSglFontTableBadTexture) return true;
  }
  return false;
}

void write_texts(uint8_t slot, uint8_t mode, const char* text, int32_t length) {
  sgl_type_statemachine* context = sglGetCurrentContext();
  sglReset();
  sglViewport(0, 0, 1280, 768);
  sglOrtho(0.0f, 1280.0f, 0.0f, 768.0f);
  context->text.encoding = static_cast<uint8_t>((mode & 3) == 3 ? 0 : mode & 3);
  sglSetTextAlignment((mode >> 2) & 3, (mode >> 4) & 3);
  if (mode & 0x40) sglEnable(SGL_LINE_SMOOTH);
  if (mode & 0x80) sglEnable(SGL_PIXEL_ALIGNED_TEXT);
  sglIndexColori(1);
  sglIndexFonti(slot);
  sgluWriteText(640.0f, 384.0f, text, length);
  sgluWriteTextArea(100.0f, 100.0f, 160.0f, 300.0f, text, length);
  sgluWriteRichText(20.0f, 700.0f, text, length);
  for (uint32_t kind = 0; kind < 10; ++kind) {
    (void)sglGetFontValue(slot, static_cast<uint8_t>(text[0]), kind);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < kInputHeader || !context_ready()) return 0;
  const size_t table_size = std::min<size_t>(read_u32(data), kMaxTableSize);
  if (table_size < 4) return 0;
  std::vector<uint8_t> table(table_size, 0);
  apply_patches(data, size, &table);
  keep_promises(&table);

  char text[kTextSize + 1] = {};
  memcpy(text, data + 6, kTextSize);
  const int32_t length = static_cast<int32_t>(strlen(text));

  sgl_error_log& log = sglGetCurrentContext()->errors;
  log.count = 0;
  log.overflow = 0;
  sgluLoadFonts(table.data());
  const bool refused = load_refused(0);
  const uint8_t* loaded = sglGetCurrentContext()->font_table;
  // A refused table is not kept: the context still has none (every run ends
  // with the fonts unloaded); an accepted one is the context's table.
  if (refused && loaded != nullptr) fuzz_fail(__LINE__);
  if (!refused && loaded != table.data()) fuzz_fail(__LINE__);
  if (!refused && sgl_font_table_check(table.data()) != 0) fuzz_fail(__LINE__);

  write_texts(data[4], data[5], text, length);
  sgluLoadFonts(nullptr);
  return 0;
}
