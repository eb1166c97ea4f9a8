// velkor_fontgen: rasterises Liberation Sans into the panel's font table.
//
//   velkor_fontgen <font.ttf> <out.cpp> [<bitmaps.bin>]
//
// Writes a C++ source that defines `Velkor_font_table` (the byte layout the
// drawing library's sgluLoadFonts reads) and its four run-length coded glyph
// textures `Velkor_font_table_texture0` .. `Velkor_font_table_texture3`. The
// optional third argument also writes every glyph's 4-bit bitmap as the
// generator saw it, so that a test can decode the table and compare.
//
// Table layout (little-endian, byte offsets):
//   0 size u32, 4 format tag u32 (661), 8 font count u32 (30),
//   12 texture count u32 (4), 16 font records (30 x 131208 bytes),
//   then texture records (4 x 24 bytes), then the glyph records of the six
//   fonts (656 x 76 bytes each).
//   Font record: 0 name (64 bytes, zero-terminated), 64 glyph record size u16,
//   68 font type u16 (0 bitmap, 2 empty), 104 font values 4..9 (six f32),
//   128 offset from the record to its glyph records u32, 132 glyph count u32,
//   136 glyph index: 65536 u16, the glyph number of each character code.
//   Glyph record: 0 code u32, 4 ink width f32, 8 ink height f32, 12 advance
//   f32, 16 left bearing of the ink f32, 20 x offset i16, 22 y offset i16
//   (bitmap's lower-left corner from the pen on the baseline, y up),
//   24 bitmap width u16, 26 bitmap height u16, 28 texture number u16,
//   32 texture coordinates s0, t0, s1, t1 (f32), 48..75 zero.
//   Glyph 0 of every font is the font's missing-character box; codes the
//   font does not map point at it.
//
// The output is a pure function of the font file and FreeType's version:
// the same bytes on every build.

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kSlotCount = 30;
constexpr int kTextureCount = 4;
constexpr int kTextureSide = 1024;
constexpr int kCodesPerFont = 655;
constexpr int kGlyphsPerFont = kCodesPerFont + 1;  // plus the missing-character box
constexpr int kFontRecordSize = 131208;
constexpr int kGlyphRecordSize = 76;
constexpr int kTextureRecordSize = 24;
constexpr int kHeaderSize = 16;
constexpr uint32_t kFormatTag = 661;

struct FontSpec {
  int slot;
  int pixels;
  int texture;      // every font lies in one texture, so a line of text is one batch
  float values[6];  // font values 4..9
};

// The panel's line metrics are fixed numbers of the display, not FreeType's
// ascender and descender: widgets size their boxes from them.
constexpr FontSpec kFonts[] = {
    {20, 12, 3, {0, 0, 19, 9, 18, 6}},   {21, 16, 3, {0, 0, 19, 12, 18, 8}},
    {22, 20, 2, {0, 0, 23, 14, 23, 9}},  {23, 26, 2, {0, 0, 29, 18, 29, 12}},
    {24, 34, 1, {0, 0, 38, 23, 38, 15}}, {25, 52, 0, {0, 0, 58, 36, 58, 24}},
};
constexpr int kFontCount = sizeof(kFonts) / sizeof(kFonts[0]);

// Windows-1252 gives the bytes 0x80..0x9F printable characters; German
// single-byte texts use them for quotes, dashes and the euro sign. The index
// table maps those codes to the glyphs of their Unicode characters.
constexpr uint16_t kWindows1252[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

struct Glyph {
  uint32_t code = 0;
  float ink_width = 0, ink_height = 0, advance = 0, bearing = 0;
  int left = 0, bottom = 0;       // bitmap's lower-left corner from the pen
  int width = 0, height = 0;      // bitmap size
  std::vector<uint8_t> alpha;     // 4-bit values, top row first
  int texture = 0, x = 0, y = 0;  // placement in the atlas (y from the bottom)
};

struct Font {
  const FontSpec* spec;
  std::vector<Glyph> glyphs;    // glyph 0 is the missing-character box
  std::vector<uint16_t> index;  // 65536 entries
};

int RoundPixels(FT_Pos value26_6) {
  return static_cast<int>((value26_6 + 32) >> 6);
}

// Reads glyph `glyph_index` at the face's current size. The ink width and
// height come from the hinted outline's extent: the antialiased bitmap can be
// a column wider than the ink ('0' at 12 px: outline 6, bitmap 7).
bool RasteriseGlyph(FT_Face face, FT_UInt glyph_index, uint32_t code, float ascent, Glyph* out) {
  if (FT_Load_Glyph(face, glyph_index, FT_LOAD_DEFAULT) != 0) return false;
  FT_GlyphSlot slot = face->glyph;
  out->code = code;
  out->advance = static_cast<float>(RoundPixels(slot->advance.x));
  if (slot->format == FT_GLYPH_FORMAT_OUTLINE && slot->outline.n_points > 0) {
    FT_BBox box;
    FT_Outline_Get_CBox(&slot->outline, &box);
    out->ink_width = static_cast<float>(RoundPixels(box.xMax - box.xMin));
    out->ink_height = static_cast<float>(RoundPixels(box.yMax - box.yMin));
    out->bearing = static_cast<float>(RoundPixels(box.xMin));
  } else {
    // A blank (the space) measures as its advance and the font's ascent,
    // so that a text ending in blanks keeps them in its width.
    out->ink_width = out->advance;
    out->ink_height = ascent;
    out->bearing = 0;
  }
  if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return false;
  const FT_Bitmap& bitmap = slot->bitmap;
  if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY && bitmap.rows > 0) return false;
  out->width = static_cast<int>(bitmap.width);
  out->height = static_cast<int>(bitmap.rows);
  out->left = slot->bitmap_left;
  out->bottom = slot->bitmap_top - out->height;
  out->alpha.assign(static_cast<size_t>(out->width) * out->height, 0);
  for (int row = 0; row < out->height; ++row) {
    const unsigned char* src = bitmap.buffer + static_cast<ptrdiff_t>(row) * bitmap.pitch;
    for (int col = 0; col < out->width; ++col) {
      // 4 bits of coverage, rounded to the nearest level.
      out->alpha[static_cast<size_t>(row) * out->width + col] =
          static_cast<uint8_t>((src[col] * 15 + 127) / 255);
    }
  }
  return true;
}

// The first 655 character codes from 32 upwards that the face maps: printable
// ASCII, Latin-1 (all the German letters), Latin Extended, Greek, Cyrillic and
// the typographic punctuation (dashes, quotes, ellipsis, euro).
bool CollectCodes(FT_Face face, std::vector<uint32_t>* out_codes) {
  FT_UInt glyph_index = 0;
  FT_ULong code = FT_Get_First_Char(face, &glyph_index);
  while (glyph_index != 0 && out_codes->size() < static_cast<size_t>(kCodesPerFont)) {
    if (code >= 32 && code <= 0xFFFF) out_codes->push_back(static_cast<uint32_t>(code));
    code = FT_Get_Next_Char(face, code, &glyph_index);
  }
  return out_codes->size() == static_cast<size_t>(kCodesPerFont);
}

bool BuildFont(FT_Face face, const FontSpec& spec, const std::vector<uint32_t>& codes, Font* out) {
  out->spec = &spec;
  if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(spec.pixels)) != 0) return false;
  const float ascent = spec.values[3];
  out->glyphs.resize(kGlyphsPerFont);
  out->index.assign(65536, 0);
  if (!RasteriseGlyph(face, 0, 0, ascent, &out->glyphs[0])) return false;
  for (size_t i = 0; i < codes.size(); ++i) {
    const FT_UInt glyph_index = FT_Get_Char_Index(face, codes[i]);
    if (!RasteriseGlyph(face, glyph_index, codes[i], ascent, &out->glyphs[i + 1])) return false;
    out->index[codes[i]] = static_cast<uint16_t>(i + 1);
  }
  for (int byte = 0; byte < 32; ++byte) {
    const uint16_t unicode = kWindows1252[byte];
    if (unicode != 0 && out->index[unicode] != 0) out->index[0x80 + byte] = out->index[unicode];
  }
  return true;
}

// Shelf packing, tallest glyphs first within each font. Every glyph starts
// on a texel divisible by kGlyphMargin and keeps at least that many empty
// texels to each neighbour: linear filtering never picks up a neighbour,
// the half- and quarter-size levels of the texture (text drawn at half size
// or smaller) never mix two glyphs in one texel, and reduced text may draw
// its quads a texel beyond the bitmap, where its filtered ink spreads,
// without reaching another glyph.
constexpr int kGlyphMargin = 4;

int MarginCeiling(int n) {
  return (n + kGlyphMargin - 1) / kGlyphMargin * kGlyphMargin;
}

struct Packer {
  int texture = -1, x = kGlyphMargin, y = kGlyphMargin, shelf = 0;
};

bool PackFont(Font* font, Packer* packer) {
  if (packer->texture != font->spec->texture) {
    packer->texture = font->spec->texture;
    packer->x = kGlyphMargin;
    packer->y = kGlyphMargin;
    packer->shelf = 0;
  }
  std::vector<int> order;
  for (int i = 0; i < kGlyphsPerFont; ++i) {
    if (font->glyphs[i].width > 0 && font->glyphs[i].height > 0) order.push_back(i);
  }
  std::stable_sort(order.begin(), order.end(), [font](int a, int b) {
    const Glyph& ga = font->glyphs[a];
    const Glyph& gb = font->glyphs[b];
    if (ga.height != gb.height) return ga.height > gb.height;
    return ga.width > gb.width;
  });
  for (int i : order) {
    Glyph& g = font->glyphs[i];
    const int cell_width = MarginCeiling(g.width) + kGlyphMargin;
    const int cell_height = MarginCeiling(g.height) + kGlyphMargin;
    if (packer->x + cell_width > kTextureSide) {
      packer->y += packer->shelf;
      packer->x = kGlyphMargin;
      packer->shelf = 0;
    }
    if (packer->y + cell_height > kTextureSide) return false;
    g.texture = packer->texture;
    g.x = packer->x;
    g.y = packer->y;
    packer->x += cell_width;
    packer->shelf = std::max(packer->shelf, cell_height);
  }
  return true;
}

// Texels of one texture, bottom row first, then packed two to a byte (high
// nibble first) and run-length coded: a byte that repeats is written twice
// followed by a 16-bit big-endian count of the further repetitions.
std::vector<uint8_t> EncodeTexture(const std::vector<Font>& fonts, int texture) {
  std::vector<uint8_t> texels(static_cast<size_t>(kTextureSide) * kTextureSide, 0);
  for (const Font& font : fonts) {
    for (const Glyph& g : font.glyphs) {
      if (g.width == 0 || g.height == 0 || g.texture != texture) continue;
      for (int row = 0; row < g.height; ++row) {
        // Bitmap rows run top first; the texture's rows bottom first.
        const int ty = g.y + g.height - 1 - row;
        for (int col = 0; col < g.width; ++col) {
          texels[static_cast<size_t>(ty) * kTextureSide + g.x + col] =
              g.alpha[static_cast<size_t>(row) * g.width + col];
        }
      }
    }
  }
  std::vector<uint8_t> packed(texels.size() / 2);
  for (size_t i = 0; i < packed.size(); ++i) {
    packed[i] = static_cast<uint8_t>((texels[2 * i] << 4) | texels[2 * i + 1]);
  }
  std::vector<uint8_t> coded;
  size_t i = 0;
  while (i < packed.size()) {
    size_t run = 1;
    while (i + run < packed.size() && packed[i + run] == packed[i] && run < 65537) ++run;
    coded.push_back(packed[i]);
    if (run >= 2) {
      const size_t extra = run - 2;
      coded.push_back(packed[i]);
      coded.push_back(static_cast<uint8_t>(extra >> 8));
      coded.push_back(static_cast<uint8_t>(extra & 0xFF));
    }
    i += run;
  }
  return coded;
}

std::string FloatLiteral(float value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.9gf", static_cast<double>(value));
  std::string s = text;
  if (s.find_first_of(".e") == std::string::npos) s.insert(s.size() - 1, ".0");
  return s;
}

bool WriteSource(const char* path, const std::vector<Font>& fonts,
                 const std::vector<std::vector<uint8_t>>& textures) {
  FILE* out = std::fopen(path, "w");
  if (!out) return false;
  std::fputs(
      "// Generated by velkor_fontgen from Liberation Sans: do not edit.\n"
      "#include \"panel/Velkor_font_table.h\"\n\n"
      "#include <cstddef>\n#include <cstdint>\n\n"
      "struct VelkorFontRecord {\n"
      "    char name[64];\n"
      "    std::uint16_t glyph_record_size;\n"
      "    std::uint16_t unused_66;\n"
      "    std::uint16_t font_type;\n"
      "    std::uint8_t unused_70[34];\n"
      "    float values[6];\n"
      "    std::uint32_t glyph_offset;\n"
      "    std::uint32_t glyph_count;\n"
      "    std::uint16_t glyph_index[65536];\n"
      "};\n"
      "struct VelkorGlyphRecord {\n"
      "    std::uint32_t code;\n"
      "    float ink_width, ink_height, advance, bearing;\n"
      "    std::int16_t x_offset, y_offset;\n"
      "    std::uint16_t width, height, texture, unused_30;\n"
      "    float s0, t0, s1, t1;\n"
      "    std::uint8_t unused_48[28];\n"
      "};\n"
      "struct VelkorTextureRecord {\n"
      "    // eight bytes for the address whatever a pointer's size (4 in a browser)\n"
      "    union { const unsigned char* data; std::uint64_t data_bytes; };\n"
      "    std::uint32_t width, height, length, unused_20;\n"
      "};\n",
      out);
  std::fprintf(out,
               "struct VelkorFontTable {\n"
               "    std::uint32_t size, format, font_count, texture_count;\n"
               "    VelkorFontRecord fonts[%d];\n"
               "    VelkorTextureRecord textures[%d];\n"
               "    VelkorGlyphRecord glyphs[%d][%d];\n"
               "};\n",
               kSlotCount, kTextureCount, kFontCount, kGlyphsPerFont);
  std::fprintf(out,
               "static_assert(sizeof(VelkorFontRecord) == %d, \"font record\");\n"
               "static_assert(offsetof(VelkorFontRecord, values) == 104, \"font values\");\n"
               "static_assert(offsetof(VelkorFontRecord, glyph_index) == 136, \"glyph index\");\n"
               "static_assert(sizeof(VelkorGlyphRecord) == %d, \"glyph record\");\n"
               "static_assert(offsetof(VelkorGlyphRecord, s0) == 32, \"texture coordinates\");\n"
               "static_assert(sizeof(VelkorTextureRecord) == %d, \"texture record\");\n"
               "static_assert(offsetof(VelkorFontTable, fonts) == %d, \"header\");\n\n",
               kFontRecordSize, kGlyphRecordSize, kTextureRecordSize, kHeaderSize);

  for (int t = 0; t < kTextureCount; ++t) {
    std::fprintf(out, "extern const unsigned char Velkor_font_table_texture%d[%zu] = {", t,
                 textures[t].size());
    for (size_t i = 0; i < textures[t].size(); ++i) {
      std::fprintf(out, "%s%u,", (i % 32 == 0) ? "\n" : "", textures[t][i]);
    }
    std::fputs("\n};\n\n", out);
  }

  const long textures_at = kHeaderSize + static_cast<long>(kSlotCount) * kFontRecordSize;
  const long glyphs_at = textures_at + static_cast<long>(kTextureCount) * kTextureRecordSize;
  const long table_size =
      glyphs_at + static_cast<long>(kFontCount) * kGlyphsPerFont * kGlyphRecordSize;
  std::fprintf(out, "extern const VelkorFontTable Velkor_font_table = {\n%ld, %u, %d, %d,\n{\n",
               table_size, kFormatTag, kSlotCount, kTextureCount);
  for (int slot = 0; slot < kSlotCount; ++slot) {
    int f = 0;
    while (f < kFontCount && fonts[f].spec->slot != slot) ++f;
    if (f == kFontCount) {
      std::fputs("{\"\", 0, 0, 2, {}, {}, 0, 0, {}},\n", out);
      continue;
    }
    const Font& font = fonts[f];
    const long offset = glyphs_at + static_cast<long>(f) * kGlyphsPerFont * kGlyphRecordSize -
                        (kHeaderSize + static_cast<long>(slot) * kFontRecordSize);
    std::fprintf(out, "{\"Liberation Sans%d\", %d, 0, 0, {}, {", font.spec->pixels,
                 kGlyphRecordSize);
    for (int v = 0; v < 6; ++v) {
      std::fprintf(out, "%s%s", v ? ", " : "", FloatLiteral(font.spec->values[v]).c_str());
    }
    std::fprintf(out, "}, %ld, %d, {", offset, kGlyphsPerFont);
    int last = 65535;
    while (last > 0 && font.index[last] == 0) --last;
    for (int code = 0; code <= last; ++code) {
      std::fprintf(out, "%s%u,", (code % 32 == 0) ? "\n" : "", font.index[code]);
    }
    std::fputs("}},\n", out);
  }
  std::fputs("},\n{\n", out);
  for (int t = 0; t < kTextureCount; ++t) {
    std::fprintf(out, "{{Velkor_font_table_texture%d}, %d, %d, %zu, 0},\n", t, kTextureSide,
                 kTextureSide, textures[t].size());
  }
  std::fputs("},\n{\n", out);
  const float texel = 1.0f / kTextureSide;
  for (const Font& font : fonts) {
    std::fputs("{\n", out);
    for (const Glyph& g : font.glyphs) {
      std::fprintf(out, "{%u, %s, %s, %s, %s, %d, %d, %d, %d, %d, 0, %s, %s, %s, %s, {}},\n",
                   g.code, FloatLiteral(g.ink_width).c_str(), FloatLiteral(g.ink_height).c_str(),
                   FloatLiteral(g.advance).c_str(), FloatLiteral(g.bearing).c_str(), g.left,
                   g.bottom, g.width, g.height, g.texture, FloatLiteral(g.x * texel).c_str(),
                   FloatLiteral(g.y * texel).c_str(), FloatLiteral((g.x + g.width) * texel).c_str(),
                   FloatLiteral((g.y + g.height) * texel).c_str());
    }
    std::fputs("},\n", out);
  }
  std::fputs("},\n};\n", out);
  std::fprintf(out, "static_assert(sizeof(VelkorFontTable) == %ld, \"table size\");\n", table_size);
  return std::fclose(out) == 0;
}

void PutU32(FILE* out, uint32_t value) {
  const unsigned char bytes[4] = {
      static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
      static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
  std::fwrite(bytes, 1, 4, out);
}

// The generator's own view of every glyph, for the round-trip test:
// "VFB1", font count; per font its slot and glyph count; per glyph its code,
// bitmap width and height and the 4-bit alpha values, top row first.
bool WriteBitmaps(const char* path, const std::vector<Font>& fonts) {
  FILE* out = std::fopen(path, "wb");
  if (!out) return false;
  std::fwrite("VFB1", 1, 4, out);
  PutU32(out, static_cast<uint32_t>(fonts.size()));
  for (const Font& font : fonts) {
    PutU32(out, static_cast<uint32_t>(font.spec->slot));
    PutU32(out, static_cast<uint32_t>(font.glyphs.size()));
    for (const Glyph& g : font.glyphs) {
      PutU32(out, g.code);
      PutU32(out, static_cast<uint32_t>(g.width));
      PutU32(out, static_cast<uint32_t>(g.height));
      if (!g.alpha.empty()) std::fwrite(g.alpha.data(), 1, g.alpha.size(), out);
    }
  }
  return std::fclose(out) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "usage: velkor_fontgen <font.ttf> <out.cpp> [<bitmaps.bin>]\n");
    return 2;
  }
  FT_Library library;
  if (FT_Init_FreeType(&library) != 0) {
    std::fprintf(stderr, "velkor_fontgen: cannot start FreeType\n");
    return 1;
  }
  FT_Face face;
  if (FT_New_Face(library, argv[1], 0, &face) != 0) {
    std::fprintf(stderr, "velkor_fontgen: cannot open %s\n", argv[1]);
    FT_Done_FreeType(library);
    return 1;
  }
  int status = 0;
  std::vector<uint32_t> codes;
  std::vector<Font> fonts(kFontCount);
  Packer packer;
  if (!CollectCodes(face, &codes)) {
    std::fprintf(stderr, "velkor_fontgen: %s maps fewer than %d characters\n", argv[1],
                 kCodesPerFont);
    status = 1;
  }
  for (int f = 0; f < kFontCount && status == 0; ++f) {
    if (!BuildFont(face, kFonts[f], codes, &fonts[f])) {
      std::fprintf(stderr, "velkor_fontgen: cannot rasterise at %d px\n", kFonts[f].pixels);
      status = 1;
    } else if (!PackFont(&fonts[f], &packer)) {
      std::fprintf(stderr, "velkor_fontgen: the %d px glyphs overflow texture %d\n",
                   kFonts[f].pixels, kFonts[f].texture);
      status = 1;
    }
  }
  FT_Done_Face(face);
  FT_Done_FreeType(library);
  if (status != 0) return status;

  std::vector<std::vector<uint8_t>> textures;
  for (int t = 0; t < kTextureCount; ++t) textures.push_back(EncodeTexture(fonts, t));
  if (!WriteSource(argv[2], fonts, textures)) {
    std::fprintf(stderr, "velkor_fontgen: cannot write %s\n", argv[2]);
    return 1;
  }
  if (argc == 4 && !WriteBitmaps(argv[3], fonts)) {
    std::fprintf(stderr, "velkor_fontgen: cannot write %s\n", argv[3]);
    return 1;
  }
  return 0;
}
