// The PNG snapshot: a BGRA image with rows bottom-up (the pixel cache's
// layout) written as 8-bit RGB through libpng.
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include "host/host_application.h"
#include "host/host_files.h"

namespace {

// libpng reports errors by longjmp; everything that must be released lives
// in this record, outside the frame that setjmp saves.
struct PngWrite {
  FILE* file = nullptr;
  png_structp png = nullptr;
  png_infop info = nullptr;
  uint8_t* row = nullptr;
};

// libpng's own handler prints a line of its own; the caller says what failed.
void quiet_error(png_structp png, png_const_charp) {
  png_longjmp(png, 1);
}
void quiet_warning(png_structp, png_const_charp) {}

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
  ApplicationOutput output;
  if (!Application_BeginFileOutput(path, &output)) return false;
  PngWrite w;
  w.file = output.file;
  w.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, quiet_error, quiet_warning);
  if (w.png != nullptr) w.info = png_create_info_struct(w.png);
  w.row = static_cast<uint8_t*>(malloc(static_cast<size_t>(width) * 3));
  const bool ok = w.png != nullptr && w.info != nullptr && w.row != nullptr &&
                  write_rows(&w, bgra, width, height);
  png_destroy_write_struct(&w.png, &w.info);
  free(w.row);
  return Application_EndFileOutput(&output, ok);
}
