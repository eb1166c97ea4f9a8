// The icon's image steps: crop, background, square, area resampling, PNG.
#include "tools/icon.h"

#include <png.h>

#include <cmath>
#include <cstring>

namespace {

uint8_t* pixel(IconImage* image, int x, int y) {
  return &image->rgba[(static_cast<size_t>(y) * image->width + x) * 4];
}

// The old pixels a new one covers along one axis, each with the covered
// length; the lengths of one new pixel add up to old / new.
struct Cover {
  int first;
  std::vector<double> weights;
};

std::vector<Cover> covers(int old_size, int new_size) {
  std::vector<Cover> result(new_size);
  const double step = static_cast<double>(old_size) / new_size;
  for (int i = 0; i < new_size; ++i) {
    const double begin = i * step;
    const double end = (i + 1) * step;
    result[i].first = static_cast<int>(std::floor(begin));
    for (int k = result[i].first; k < old_size && k < end; ++k) {
      const double part = std::fmin(end, k + 1.0) - std::fmax(begin, static_cast<double>(k));
      result[i].weights.push_back(part);
    }
  }
  return result;
}

uint8_t to_byte(double value) {
  return static_cast<uint8_t>(std::lround(std::fmin(255.0, std::fmax(0.0, value))));
}

}  // namespace

bool IconReadPng(const std::string& path, IconImage* out) {
  png_image png;
  memset(&png, 0, sizeof png);
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&png, path.c_str())) return false;
  png.format = PNG_FORMAT_RGBA;
  std::vector<uint8_t> rgba(PNG_IMAGE_SIZE(png));
  if (!png_image_finish_read(&png, nullptr, rgba.data(), 0, nullptr)) {
    png_image_free(&png);
    return false;
  }
  out->width = static_cast<int>(png.width);
  out->height = static_cast<int>(png.height);
  out->rgba.swap(rgba);
  return true;
}

bool IconWritePng(const std::string& path, const IconImage& image) {
  png_image png;
  memset(&png, 0, sizeof png);
  png.version = PNG_IMAGE_VERSION;
  png.width = static_cast<png_uint_32>(image.width);
  png.height = static_cast<png_uint_32>(image.height);
  png.format = PNG_FORMAT_RGBA;
  return png_image_write_to_file(&png, path.c_str(), 0, image.rgba.data(), 0, nullptr) != 0;
}

bool IconCrop(const IconImage& in, int x, int y, int w, int h, IconImage* out) {
  if (x < 0 || y < 0 || w <= 0 || h <= 0 || x > in.width - w || y > in.height - h) return false;
  out->width = w;
  out->height = h;
  out->rgba.resize(static_cast<size_t>(w) * h * 4);
  for (int row = 0; row < h; ++row) {
    const uint8_t* from = &in.rgba[(static_cast<size_t>(y + row) * in.width + x) * 4];
    memcpy(&out->rgba[static_cast<size_t>(row) * w * 4], from, static_cast<size_t>(w) * 4);
  }
  return true;
}

void IconClearBackground(IconImage* image) {
  if (image->width <= 0 || image->height <= 0) return;
  uint8_t background[4];
  memcpy(background, pixel(image, 0, 0), 4);
  const auto is_background = [&](int x, int y) {
    return memcmp(pixel(image, x, y), background, 4) == 0;
  };
  // A flood from every border pixel of the background's colour; a pixel is
  // cleared when it is reached, so it is never queued twice.
  std::vector<std::pair<int, int>> queue;
  const auto reach = [&](int x, int y) {
    if (x < 0 || y < 0 || x >= image->width || y >= image->height) return;
    if (!is_background(x, y)) return;
    memset(pixel(image, x, y), 0, 4);
    queue.emplace_back(x, y);
  };
  for (int x = 0; x < image->width; ++x) reach(x, 0), reach(x, image->height - 1);
  for (int y = 0; y < image->height; ++y) reach(0, y), reach(image->width - 1, y);
  while (!queue.empty()) {
    const auto [x, y] = queue.back();
    queue.pop_back();
    reach(x + 1, y), reach(x - 1, y), reach(x, y + 1), reach(x, y - 1);
  }
}

IconImage IconSquare(const IconImage& in) {
  IconImage out;
  out.width = out.height = in.width > in.height ? in.width : in.height;
  out.rgba.assign(static_cast<size_t>(out.width) * out.height * 4, 0);
  const int left = (out.width - in.width) / 2;
  const int top = (out.height - in.height) / 2;
  for (int row = 0; row < in.height; ++row) {
    memcpy(pixel(&out, left, top + row), &in.rgba[static_cast<size_t>(row) * in.width * 4],
           static_cast<size_t>(in.width) * 4);
  }
  return out;
}

IconImage IconResize(const IconImage& in, int size) {
  IconImage out;
  if (size <= 0 || in.width <= 0 || in.height <= 0) return out;
  out.width = out.height = size;
  out.rgba.assign(static_cast<size_t>(size) * size * 4, 0);
  const std::vector<Cover> across = covers(in.width, size);
  const std::vector<Cover> down = covers(in.height, size);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      double area = 0, alpha = 0, colour[3] = {0, 0, 0};
      for (size_t j = 0; j < down[y].weights.size(); ++j) {
        for (size_t i = 0; i < across[x].weights.size(); ++i) {
          const double w = down[y].weights[j] * across[x].weights[i];
          const uint8_t* p =
              &in.rgba[(static_cast<size_t>(down[y].first + j) * in.width + across[x].first + i) *
                       4];
          area += w;
          alpha += w * p[3];
          for (int c = 0; c < 3; ++c) colour[c] += w * p[3] * p[c];
        }
      }
      uint8_t* target = pixel(&out, x, y);
      for (int c = 0; c < 3 && alpha > 0; ++c) target[c] = to_byte(colour[c] / alpha);
      target[3] = to_byte(alpha / area);
    }
  }
  return out;
}
