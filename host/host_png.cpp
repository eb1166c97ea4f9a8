// The PNG snapshot: a BGRA image with rows bottom-up (the pixel cache's
// layout) written as 8-bit RGB through libpng.
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include "host/host_application.h"

namespace {

// libpng reports errors by longjmp; everything that must be released lives
// in this record, outside the frame that setjmp saves.
struct PngWrite {
  FILE* file = nullptr;
  png_structp png = nullptr;
  png_infop info = nullptr;
  uint8_t* row = nullptr;
};

bool write_rows(PngWrite* w, const uint8_t* bgra, int32_t width, int32_t height) {
  if (setjmp(png_jmpbuf(w->png))) return false;
  png_init_io(w->png, w->file);
  png_set_IHDR(w->png, w->info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height),
               8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(w->png, w->info);
  for (int32_t y = height - 1; y >= 0; --y) {
    const uint8_t* source = bgra + static_cast<size_t>(y) * static_cast<size_t>(width) * 4;
    for (int32_t x = 0; x < width; ++x) {
      w->row[3 * x + 0] = source[4 * x + 2];
      w->row[3 * x + 1] = source[4 * x + 1];
      w->row[3 * x + 2] = source[4 * x + 0];
    }
    png_write_row(w->png, w->row);
  }
  png_write_end(w->png, w->info);
  return true;
}

}  // namespace

bool Application_WritePng(const char* path, const uint8_t* bgra, int32_t width, int32_t height) {
  if (path == nullptr || bgra == nullptr || width <= 0 || height <= 0) return false;
  PngWrite w;
  w.file = fopen(path, "wb");
  if (w.file == nullptr) return false;
  w.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (w.png != nullptr) w.info = png_create_info_struct(w.png);
  w.row = static_cast<uint8_t*>(malloc(static_cast<size_t>(width) * 3));
  bool ok = w.png != nullptr && w.info != nullptr && w.row != nullptr &&
            write_rows(&w, bgra, width, height);
  png_destroy_write_struct(&w.png, &w.info);
  free(w.row);
  ok = fclose(w.file) == 0 && ok;
  if (!ok) remove(path);
  return ok;
}
