// Velkor_font_table: the panel's fonts as constant data of the program.
//
// Six sizes of Liberation Sans ("Liberation Sans12" .. "Liberation Sans52" in
// slots 20 .. 25 of 30) rasterised at build time by tools/fontgen.cpp; the
// glyphs live in four 1024 x 1024 run-length coded alpha textures. Nothing is
// read from a font file at run time.
//
// Use: once, on the drawing thread, after sglInit:
//     sgluLoadFonts(&Velkor_font_table);
// The table is a block of bytes in the layout sgluLoadFonts reads (format
// tag 661); its fields are described in tools/fontgen.cpp and read through
// graphics/sgl_font.h. The type stays opaque here on purpose: callers hand
// the table over and never look inside.
#pragma once

struct VelkorFontTable;

extern const VelkorFontTable Velkor_font_table;

// The glyph textures the table's texture records point at.
extern const unsigned char Velkor_font_table_texture0[];
extern const unsigned char Velkor_font_table_texture1[];
extern const unsigned char Velkor_font_table_texture2[];
extern const unsigned char Velkor_font_table_texture3[];
