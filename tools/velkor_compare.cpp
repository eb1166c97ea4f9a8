// velkor-compare: whether two pictures of the same frame agree by the rule of
// tools/image_agreement.h (close colours, nothing moved), as the renderer
// tests decide it.
//
//   velkor-compare A.png B.png
//
// Prints one line with the figures; exit status 0 when they agree, 1 when
// not, 2 for pictures that cannot be read or differ in size.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/image_agreement.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: velkor-compare A.png B.png\n");
    return 2;
  }
  std::vector<uint8_t> pictures[2];
  int32_t width[2] = {};
  int32_t height[2] = {};
  for (int k = 0; k < 2; ++k) {
    if (!ReadPngRgba(argv[1 + k], &pictures[k], &width[k], &height[k])) {
      std::fprintf(stderr, "velkor-compare: cannot read %s as PNG\n", argv[1 + k]);
      return 2;
    }
  }
  if (width[0] != width[1] || height[0] != height[1]) {
    std::fprintf(stderr, "velkor-compare: %d x %d and %d x %d differ in size\n", width[0],
                 height[0], width[1], height[1]);
    return 2;
  }
  const ImageAgreement agreement =
      CompareImages(pictures[0].data(), pictures[1].data(), width[0], height[0]);
  std::printf("%s: %s\n", agreement.agrees ? "agree" : "DIFFER",
              DescribeAgreement(agreement).c_str());
  return agreement.agrees ? 0 : 1;
}
