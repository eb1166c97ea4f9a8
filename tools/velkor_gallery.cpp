// velkor-gallery: every widget display class in its states, drawn off-screen
// and written as a picture.
//
//   velkor-gallery [--out FILE.png|FILE.bmp] [--renderer gl1|es2]
//                                  (default velkor-gallery.png, OpenGL 1.x)
//
// The gallery runs as a display layer of the host in off-screen mode, so
// each frame is the host's own: the acknowledge flag, the input hand-over,
// the layer's draw, the step. A few frames are drawn so that every state
// has settled, then the last one is read back and written: PNG through
// libpng and BMP, both through the host's writers.
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/Velkor_excerpt.h"
#include "graphics/sgl_renderer.h"
#include "host/host_application.h"
#include "panel/Velkor_font_table.h"
#include "panel/Velkor_texture_table.h"
#include "tools/gallery.h"
#include "widgets/interactivity_mapping.h"

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 768;
// Frames before the snapshot: loads, focus and hover settle in two.
constexpr int kSettleFrames = 5;

void* layer_alloc() {
  return std::calloc(1, 1);
}
void layer_free(void* context) {
  std::free(context);
}
void layer_init(void*) {
  Gallery_Init();
}
void layer_predraw(void*) {}
void layer_draw(void*, uint32_t pass) {
  if (pass == 0) Gallery_DrawFrame();
}

void install_tables() {
  Velkor_texture_table();
  // The host installed the colour, line width and stipple tables already;
  // the gallery's own ones are handed over again in case a host version
  // leaves a table out.
  Gallery_InstallTables();
}

bool ends_with(const char* text, const char* suffix) {
  const size_t n = std::strlen(text);
  const size_t m = std::strlen(suffix);
  return n >= m && std::strcmp(text + n - m, suffix) == 0;
}

constexpr const char kUsage[] =
    "usage: velkor-gallery [--out FILE.png|FILE.bmp] [--renderer gl1|es2]\n"
    "\n"
    "Draws every widget display class in its states off-screen and writes the\n"
    "picture (default velkor-gallery.png). An old file is replaced only by a\n"
    "whole new one. --renderer es2 draws with OpenGL ES 2 instead of OpenGL 1.x.\n"
    "Exit status: 0 written, 1 not written, 2 a bad command line.\n";

int refuse(const char* what) {
  std::fprintf(stderr, "velkor-gallery: %s (velkor-gallery --help)\n", what);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  const char* out = "velkor-gallery.png";
  uint8_t renderer = kApplicationRendererGl1;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (std::strcmp(argv[i], "--renderer") == 0) {
      if (i + 1 >= argc) return refuse("--renderer needs gl1 or es2");
      ++i;
      if (std::strcmp(argv[i], "es2") == 0) {
        renderer = kApplicationRendererEs2;
      } else if (std::strcmp(argv[i], "gl1") == 0) {
        renderer = kApplicationRendererGl1;
      } else {
        return refuse("--renderer needs gl1 or es2");
      }
      continue;
    }
    if (std::strcmp(argv[i], "--out") != 0) return refuse("unknown argument");
    if (i + 1 >= argc) return refuse("--out needs a file name");
    out = argv[++i];
  }
  const bool bmp = ends_with(out, ".bmp") || ends_with(out, ".BMP");
  if (!bmp && !ends_with(out, ".png") && !ends_with(out, ".PNG")) {
    return refuse("--out needs a file name ending in .png or .bmp");
  }

  static LayerDesc layer = {};
  std::snprintf(layer.name, sizeof layer.name, "gallery_layer");
  layer.x_scale = 1.0f;
  layer.y_scale = 1.0f;
  layer.alloc = layer_alloc;
  layer.free = layer_free;
  layer.init = layer_init;
  layer.predraw = layer_predraw;
  layer.draw = layer_draw;
  static PointerDesc pointer = {"_ptr0", 0};
  static KeyboardDesc keyboard = {"_kbd0", 0};
  static ApplicationParams params = {};
  std::snprintf(params.name, sizeof params.name, "Velkor widget gallery");
  params.render_mode = 1;
  params.pixel_aligned_text = 1;
  params.width = kWidth;
  params.height = kHeight;
  params.max_texture_width = 1024;
  params.max_texture_height = 1024;
  params.reset = BHVR_Reset;
  params.step = BHVR_Step;
  params.acknowledge = BHVR_SetAsynchronousACK;
  params.pointer = BHVR_Pointer;
  params.keyboard = BHVR_Keyboard;
  params.cursor_request = BHVR_CursorPosRequest;
  params.color_table = Gallery_ColorTable();
  params.color_count = Gallery_ColorCount();
  params.background_color_index = kGalleryBackground;
  params.line_width_table = Gallery_LineWidthTable();
  params.line_width_count = Gallery_LineWidthCount();
  params.line_stipple_table = Gallery_LineStippleTable();
  params.line_stipple_count = Gallery_LineStippleCount();
  params.font_table = &Velkor_font_table;
  params.texture_loader = install_tables;
  params.texture_slot_count = 254;
  params.layer_count = 1;
  params.layers = &layer;
  params.pointer_count = 1;
  params.pointers = &pointer;
  params.keyboard_count = 1;
  params.keyboards = &keyboard;
  params.draw_passes = 3;
  params.renderer = renderer;

  // The executable's path brings the scratch buffer the font glyphs are
  // decoded in.
  char self[PATH_MAX] = {};
  const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
  Application* app = Application_Allocate(&params, length > 0 ? self : argv[0]);
  if (app == nullptr) {
    std::fprintf(stderr, "velkor-gallery: cannot allocate the application.\n");
    return 1;
  }
  if (Application_CreateBuffer(app) == nullptr) {
    std::fprintf(stderr, "velkor-gallery: no off-screen OpenGL buffer.\n");
    Application_Free(app);
    return 1;
  }
  Application_Reset(app);  // the layer's init sets up every family
  for (int frame = 0; frame < kSettleFrames; ++frame) Application_Draw(app);

  std::vector<uint8_t> pixels(static_cast<size_t>(kWidth) * kHeight * 4);
  sglReadPixels(0, 0, kWidth, kHeight, kWidth, pixels.data());
  const bool written = bmp ? Application_WriteBmp(out, pixels.data(), kWidth, kHeight)
                           : Application_WritePng(out, pixels.data(), kWidth, kHeight);
  Application_Free(app);
  if (!written) {
    std::fprintf(stderr, "velkor-gallery: cannot write %s.\n",
                 Velkor_Excerpt(out, PATH_MAX).c_str());
    return 1;
  }
  std::printf("%s\n", out);
  return 0;
}
