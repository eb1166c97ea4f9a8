// velkor-icon: the icon of the desktop entry cut from a snapshot of the
// panel (tools/icon.h). Build-time only.
//
//   velkor-icon --snapshot panel.png --crop X Y W H --size 48 --out velkor.png
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/icon.h"

namespace {

int usage() {
  fprintf(stderr,
          "usage: velkor-icon --snapshot FILE.png --crop X Y W H --size N --out FILE.png\n");
  return 2;
}

bool read_number(const char* text, int* out) {
  char* end = nullptr;
  const long value = strtol(text, &end, 10);
  if (end == text || *end != '\0' || value < 0 || value > 65536) return false;
  *out = static_cast<int>(value);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::string snapshot, out;
  int crop[4] = {-1, -1, -1, -1};
  int size = 0;
  for (int i = 1; i < argc; ++i) {
    const char* option = argv[i];
    if (strcmp(option, "--crop") == 0 && i + 4 < argc) {
      for (int k = 0; k < 4; ++k) {
        if (!read_number(argv[++i], &crop[k])) return usage();
      }
    } else if (strcmp(option, "--size") == 0 && i + 1 < argc) {
      if (!read_number(argv[++i], &size) || size == 0) return usage();
    } else if (strcmp(option, "--snapshot") == 0 && i + 1 < argc) {
      snapshot = argv[++i];
    } else if (strcmp(option, "--out") == 0 && i + 1 < argc) {
      out = argv[++i];
    } else {
      return usage();
    }
  }
  if (snapshot.empty() || out.empty() || crop[0] < 0 || size == 0) return usage();
  IconImage shot, cut;
  if (!IconReadPng(snapshot, &shot)) {
    fprintf(stderr, "velkor-icon: cannot read %s\n", snapshot.c_str());
    return 1;
  }
  if (!IconCrop(shot, crop[0], crop[1], crop[2], crop[3], &cut)) {
    fprintf(stderr, "velkor-icon: the rectangle lies outside the %d x %d snapshot\n", shot.width,
            shot.height);
    return 1;
  }
  IconClearBackground(&cut);
  if (!IconWritePng(out, IconResize(IconSquare(cut), size))) {
    fprintf(stderr, "velkor-icon: cannot write %s\n", out.c_str());
    return 1;
  }
  return 0;
}
