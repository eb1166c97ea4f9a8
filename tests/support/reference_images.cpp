// Pictures compared with their references; PNG through libpng's simplified
// interface, which reports errors in its image record instead of jumping.
#include "tests/support/reference_images.h"

#include <dirent.h>
#include <png.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>

namespace velkor_test {
namespace {

uint32_t pixel_key(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[2];
}

// A whole number in [low, high] at the start of `text`, or false.
bool read_number(const char** text, int low, int high, int* value) {
  char* end = nullptr;
  const long number = std::strtol(*text, &end, 10);
  if (end == *text || number < low || number > high) return false;
  *value = static_cast<int>(number);
  *text = end;
  return true;
}

// The value after "# key:" on a line of `script`, or null.
const char* header_value(const std::string& script, const char* key, std::string* line) {
  std::istringstream lines(script);
  const std::string prefix = std::string("# ") + key + ":";
  while (std::getline(lines, *line)) {
    if (line->compare(0, prefix.size(), prefix) == 0) return line->c_str() + prefix.size();
  }
  return nullptr;
}

}  // namespace

ImageComparison CompareImages(const RgbImage& reference, const RgbImage& actual,
                              int channel_tolerance) {
  ImageComparison result;
  result.same_size = reference.width == actual.width && reference.height == actual.height &&
                     reference.rgb.size() == actual.rgb.size();
  if (!result.same_size) {
    result.differing = static_cast<size_t>(std::max(reference.width, actual.width)) *
                       static_cast<size_t>(std::max(reference.height, actual.height));
    return result;
  }
  result.difference = reference;
  for (size_t i = 0; i < reference.rgb.size(); i += 3) {
    const uint8_t* want = &reference.rgb[i];
    const uint8_t* got = &actual.rgb[i];
    int step = 0;
    for (int k = 0; k < 3; ++k) step = std::max(step, std::abs(want[k] - got[k]));
    result.largest_step = std::max(result.largest_step, step);
    uint8_t* shown = &result.difference.rgb[i];
    if (step > channel_tolerance) {
      ++result.differing;
      shown[0] = 255, shown[1] = 0, shown[2] = 0;
    } else if (step > 0) {
      shown[0] = 255, shown[1] = 255, shown[2] = 0;
    } else {
      // A quarter of the reference's brightness keeps it readable behind the marks.
      for (int k = 0; k < 3; ++k) shown[k] = static_cast<uint8_t>(want[k] / 4);
    }
  }
  return result;
}

RgbImage CropImage(const RgbImage& image, const PixelRect& rect) {
  const int x0 = std::clamp(rect.x, 0, image.width);
  const int y0 = std::clamp(rect.y, 0, image.height);
  const int x1 = rect.width > 0 ? std::clamp(rect.x + rect.width, x0, image.width) : image.width;
  const int y1 =
      rect.height > 0 ? std::clamp(rect.y + rect.height, y0, image.height) : image.height;
  RgbImage part;
  part.width = x1 - x0;
  part.height = y1 - y0;
  part.rgb.reserve(static_cast<size_t>(part.width) * part.height * 3);
  for (int y = y0; y < y1; ++y) {
    const auto row = image.rgb.begin() + (static_cast<ptrdiff_t>(y) * image.width + x0) * 3;
    part.rgb.insert(part.rgb.end(), row, row + static_cast<ptrdiff_t>(part.width) * 3);
  }
  return part;
}

bool ReadPngImage(const std::string& path, RgbImage* image, std::string* error) {
  png_image png;
  std::memset(&png, 0, sizeof png);
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&png, path.c_str())) {
    *error = path + ": " + png.message;
    return false;
  }
  png.format = PNG_FORMAT_RGB;
  image->width = static_cast<int>(png.width);
  image->height = static_cast<int>(png.height);
  image->rgb.assign(PNG_IMAGE_SIZE(png), 0);
  if (!png_image_finish_read(&png, nullptr, image->rgb.data(), 0, nullptr)) {
    *error = path + ": " + png.message;
    png_image_free(&png);
    return false;
  }
  return true;
}

bool WritePngImage(const std::string& path, const RgbImage& image, std::string* error) {
  png_image png;
  std::memset(&png, 0, sizeof png);
  png.version = PNG_IMAGE_VERSION;
  png.width = static_cast<png_uint_32>(image.width);
  png.height = static_cast<png_uint_32>(image.height);
  // The panel's flat colours and few text shades usually fit a palette,
  // which makes the file a third of its RGB size.
  std::map<uint32_t, uint8_t> colours;
  for (size_t i = 0; i < image.rgb.size() && colours.size() <= 256; i += 3) {
    colours.emplace(pixel_key(&image.rgb[i]), 0);
  }
  int written = 0;
  if (colours.size() <= 256) {
    std::vector<uint8_t> map;
    for (auto& colour : colours) {
      colour.second = static_cast<uint8_t>(map.size() / 3);
      map.push_back(static_cast<uint8_t>(colour.first >> 16));
      map.push_back(static_cast<uint8_t>(colour.first >> 8));
      map.push_back(static_cast<uint8_t>(colour.first));
    }
    std::vector<uint8_t> indices(image.rgb.size() / 3);
    for (size_t i = 0; i < indices.size(); ++i) indices[i] = colours[pixel_key(&image.rgb[i * 3])];
    png.format = PNG_FORMAT_RGB_COLORMAP;
    png.colormap_entries = static_cast<png_uint_32>(colours.size());
    written = png_image_write_to_file(&png, path.c_str(), 0, indices.data(), 0, map.data());
  } else {
    png.format = PNG_FORMAT_RGB;
    written = png_image_write_to_file(&png, path.c_str(), 0, image.rgb.data(), 0, nullptr);
  }
  if (!written) *error = path + ": " + png.message;
  png_image_free(&png);
  return written != 0;
}

bool ReadScene(const std::string& path, Scene* scene, std::string* error) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  if (!file) {
    *error = path + ": cannot be read";
    return false;
  }
  *scene = Scene();
  scene->script = text.str();
  const size_t slash = path.find_last_of('/');
  scene->name = path.substr(slash == std::string::npos ? 0 : slash + 1);
  scene->name = scene->name.substr(0, scene->name.rfind(".events"));
  std::string line;
  const char* frames = header_value(scene->script, "frames", &line);
  // The program draws at most this many frames in one run.
  if (frames == nullptr || !read_number(&frames, 1, 100000, &scene->frames)) {
    *error = path + ": needs a line \"# frames: N\" with N from 1 to 100000";
    return false;
  }
  const char* crop = header_value(scene->script, "crop", &line);
  if (crop != nullptr) {
    PixelRect& r = scene->crop;
    if (!read_number(&crop, 0, 4095, &r.x) || !read_number(&crop, 0, 4095, &r.y) ||
        !read_number(&crop, 1, 4096, &r.width) || !read_number(&crop, 1, 4096, &r.height)) {
      *error = path + ": \"# crop: X Y WIDTH HEIGHT\" needs four whole numbers, the size above 0";
      return false;
    }
  }
  return true;
}

std::vector<std::string> FileStems(const std::string& directory, const std::string& suffix) {
  std::vector<std::string> names;
  DIR* dir = opendir(directory.c_str());
  if (dir == nullptr) return names;
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name.size() > suffix.size() &&
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
      names.push_back(name.substr(0, name.size() - suffix.size()));
    }
  }
  closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace velkor_test
