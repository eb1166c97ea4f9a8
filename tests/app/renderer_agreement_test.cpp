// The OpenGL ES 2 renderer against OpenGL 1.x on whole frames of the real
// program: every scene of the list (one event script and its frames per
// line; tests/app/renderer_scenes.txt unless the build names another with
// -DVELKOR_RENDERER_SCENES=FILE) runs off-screen with each renderer, and the
// widget gallery is drawn with each. The two pictures must agree by the rule
// of tools/image_agreement.h (99.5 % of the pixels within 8 per channel,
// nothing moved) and the two state files must be the same. Each scene prints
// its figures.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/app/run_velkor.h"
#include "tools/image_agreement.h"

namespace velkor_test {
namespace {

struct RendererScene {
  std::string name;    // the script's file name without its extension
  std::string script;  // absolute
  int frames;
};

std::string absolute_in_source(const std::string& path) {
  return !path.empty() && path[0] == '/' ? path : std::string(VELKOR_SOURCE_DIR) + "/" + path;
}

// The list: "path frames" per line, '#' comments and blank lines skipped. A
// list that cannot be read or holds a bad line gives one scene named so,
// which fails.
std::vector<RendererScene> read_scenes() {
  std::vector<RendererScene> scenes;
  std::ifstream list(VELKOR_RENDERER_SCENES);
  if (!list) return {{"unreadable_scene_list", VELKOR_RENDERER_SCENES, 0}};
  std::string line;
  while (std::getline(list, line)) {
    const size_t hash = line.find('#');
    std::istringstream words(line.substr(0, hash));
    std::string path;
    int frames = 0;
    if (!(words >> path)) continue;
    if (!(words >> frames) || frames < 1) return {{"bad_line_in_scene_list", line, 0}};
    std::string name = path.substr(path.rfind('/') + 1);
    name = name.substr(0, name.find('.'));
    for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    scenes.push_back({name, absolute_in_source(path), frames});
  }
  return scenes;
}

struct Rendering {
  std::vector<uint8_t> rgba;
  int32_t width = 0, height = 0;
  std::string state;
};

// One run of the scene with one renderer, in its own slot directory (a scene
// may save into a slot).
Rendering run(const ScratchDir& dir, const RendererScene& scene, const char* renderer) {
  const std::string slots = std::string("slots_") + renderer;
  mkdir((dir / slots).c_str(), 0755);
  const std::string picture = std::string(renderer) + ".png";
  const std::string state = std::string(renderer) + ".json";
  const VelkorRun result =
      RunVelkor(dir, "--offscreen --frames " + std::to_string(scene.frames) + " --events '" +
                         scene.script + "' --snapshot " + picture + " --state " + state +
                         " --slot-dir " + slots + " --renderer " + renderer);
  Rendering out;
  EXPECT_EQ(0, result.status) << renderer << ": " << result.output;
  EXPECT_TRUE(ReadPngRgba(dir / picture, &out.rgba, &out.width, &out.height)) << renderer;
  out.state = ReadFile(dir / state);
  return out;
}

void expect_agreement(const std::string& name, const Rendering& gl1, const Rendering& es2) {
  ASSERT_EQ(gl1.width, es2.width);
  ASSERT_EQ(gl1.height, es2.height);
  ASSERT_GT(gl1.width, 0);
  const ImageAgreement agreement =
      CompareImages(gl1.rgba.data(), es2.rgba.data(), gl1.width, gl1.height);
  std::printf("renderer agreement, %s: %s\n", name.c_str(), DescribeAgreement(agreement).c_str());
  EXPECT_TRUE(agreement.agrees) << DescribeAgreement(agreement);
}

class RendererAgreement : public ::testing::TestWithParam<RendererScene> {};

TEST_P(RendererAgreement, SameStateAndAgreeingPictures) {
  const RendererScene& scene = GetParam();
  ASSERT_GT(scene.frames, 0) << scene.name << ": " << scene.script;
  ScratchDir dir;
  const Rendering gl1 = run(dir, scene, "gl1");
  const Rendering es2 = run(dir, scene, "es2");
  EXPECT_FALSE(gl1.state.empty());
  EXPECT_EQ(gl1.state, es2.state) << "the renderer changed what the panel did";
  expect_agreement(scene.name, gl1, es2);
}

INSTANTIATE_TEST_SUITE_P(Scenes, RendererAgreement, ::testing::ValuesIn(read_scenes()),
                         [](const ::testing::TestParamInfo<RendererScene>& info) {
                           return info.param.name;
                         });

TEST(RendererAgreementGallery, EveryWidgetClassInItsStates) {
  ScratchDir dir;
  Rendering pictures[2];
  const char* const renderers[2] = {"gl1", "es2"};
  for (int k = 0; k < 2; ++k) {
    const std::string out = dir / (std::string(renderers[k]) + ".png");
    const int status = system(("'" VELKOR_GALLERY_BINARY "' --out '" + out + "' --renderer " +
                               renderers[k] + " >/dev/null 2>&1")
                                  .c_str());
    ASSERT_EQ(0, status) << renderers[k];
    ASSERT_TRUE(ReadPngRgba(out, &pictures[k].rgba, &pictures[k].width, &pictures[k].height));
  }
  expect_agreement("gallery", pictures[0], pictures[1]);
}

}  // namespace
}  // namespace velkor_test
