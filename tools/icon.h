// icon.h - the program's icon cut from a snapshot of its own panel: a
// rectangle of the 1280 x 768 snapshot (the seven-segment display, lit),
// its background made transparent, set on a square and resampled to the
// icon sizes of the desktop (tools/velkor_icon.cmake runs velkor-icon at
// build time).
//
// Use:
//   IconImage shot, cut;
//   IconReadPng("snapshot.png", &shot);
//   IconCrop(shot, 884, 626, 102, 136, &cut);    // pixels, origin top left
//   IconClearBackground(&cut);
//   IconWritePng("velkor-48.png", IconResize(IconSquare(cut), 48));
//
// Images are 8-bit RGBA with straight (not premultiplied) alpha, top row
// first.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct IconImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba;  // width * height * 4
};

// Reads any PNG as RGBA; false when it cannot be read.
bool IconReadPng(const std::string& path, IconImage* out);
// Writes RGBA with its alpha; false when it cannot be written.
bool IconWritePng(const std::string& path, const IconImage& image);

// The rectangle at x, y (top left) of width w and height h; false (and out
// untouched) unless it lies wholly inside the image and is not empty.
bool IconCrop(const IconImage& in, int x, int y, int w, int h, IconImage* out);

// Every pixel of the top-left corner's colour that the border reaches
// through pixels of that colour becomes transparent: the panel's background
// around the display goes, the same colour enclosed by the display stays.
void IconClearBackground(IconImage* image);

// The image centred on a transparent square as large as its longer side
// (the odd pixel of a difference goes to the right or bottom).
IconImage IconSquare(const IconImage& in);

// The image resampled to size x size by area: each new pixel is the mean of
// the old ones it covers, weighted by the covered part and by alpha, so
// that a transparent pixel lends no colour to its neighbours.
IconImage IconResize(const IconImage& in, int size);
