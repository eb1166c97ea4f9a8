// reference_images.h - pictures compared with a reviewed reference, and the
// scenes that make them.
//
// A scene is an event script of the velkor program with two header lines
// that the program itself reads as comments:
//
//   # The register pop-up over R1.
//   # frames: 14
//   # crop: 400 430 300 240
//   2 move 466 605
//   3 click 466 605
//
// "frames" is the --frames of the off-screen run; "crop" (x y width height,
// snapshot pixels from the top left) the part of the snapshot that the scene
// is about (the whole snapshot without it). Any renderer that plays the same
// script must draw the same picture, so the scenes serve every renderer's
// tests alike:
//
//   for (const std::string& name : velkor_test::SceneNames(dir)) {
//     velkor_test::Scene scene;
//     velkor_test::ReadScene(dir + "/" + name + ".events", &scene, &error);
//     ... run velkor --offscreen --frames scene.frames --events ...
//     RgbImage shot = CropImage(snapshot, scene.crop);
//     ImageComparison cmp = CompareImages(reference, shot, kReferenceTolerance);
//     EXPECT_TRUE(cmp.Within(kReferenceTolerance));
//   }
//
// Threads: any; nothing here is shared.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace velkor_test {

// Rows top first, three bytes a pixel.
struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;
};

struct PixelRect {
  int x = 0;
  int y = 0;
  int width = 0;   // 0: to the right edge
  int height = 0;  // 0: to the bottom edge
};

// The rule a picture must keep to match its reference: no channel of a
// pixel further than `channel` steps (of 255) from the reference's, except
// in at most `pixels` pixels.
struct ImageTolerance {
  int channel;
  size_t pixels;
};

// The same software renderer (Mesa's llvmpipe) draws the same pixels in
// every build type of ours (gcc and clang, optimised or not, sanitized or
// not), so a reference is matched exactly on these machines. The room left
// is for another machine of the same kind: a blend rounded the other way
// (one step) and a few edge pixels of a line or arc that falls on a pixel
// boundary. It stays far below what a changed text, colour, position or
// order changes: a one-pixel shift of the smallest label or another colour
// index changes dozens of pixels by far more than one step.
constexpr ImageTolerance kReferenceTolerance = {2, 8};

struct ImageComparison {
  bool same_size = false;
  size_t differing = 0;  // pixels outside the channel tolerance
  int largest_step = 0;  // largest channel difference anywhere
  // The reference dimmed, pixels outside the tolerance red, pixels that
  // differ within it yellow. Empty when the sizes differ.
  RgbImage difference;

  bool Within(const ImageTolerance& tolerance) const {
    return same_size && differing <= tolerance.pixels;
  }
};

ImageComparison CompareImages(const RgbImage& reference, const RgbImage& actual,
                              int channel_tolerance);

// The part of `image` in `rect`, clipped to the image.
RgbImage CropImage(const RgbImage& image, const PixelRect& rect);

// PNG files. Reading accepts any PNG (palette, grey, alpha: converted to
// RGB); writing takes the smallest form, a palette when the picture has at
// most 256 colours. False with a one-line reason on failure.
bool ReadPngImage(const std::string& path, RgbImage* image, std::string* error);
bool WritePngImage(const std::string& path, const RgbImage& image, std::string* error);

struct Scene {
  std::string name;
  int frames = 0;
  PixelRect crop;
  std::string script;  // the whole file, headers included
};

// Reads a scene file. False with a reason when the file cannot be read or
// its frames line is missing or out of range, or its crop is malformed.
bool ReadScene(const std::string& path, Scene* scene, std::string* error);

// The names of the files in `directory` that end in `suffix`, sorted, without
// the suffix; SceneNames gives those of the *.events files.
std::vector<std::string> FileStems(const std::string& directory, const std::string& suffix);
inline std::vector<std::string> SceneNames(const std::string& directory) {
  return FileStems(directory, ".events");
}

}  // namespace velkor_test
