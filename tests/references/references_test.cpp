// What the student sees, compared with reviewed pictures: the widget gallery
// (velkor-gallery) and scenes of the real program off-screen, each played
// from its event script in tests/references/scenes and compared with
// tests/references/images/<scene>.png within kReferenceTolerance.
//
// A picture that does not match leaves <scene>.actual.png and
// <scene>.difference.png (the reference dimmed, differing pixels red) in
// VELKOR_REFERENCE_OUTPUT and names them. With VELKOR_UPDATE_REFERENCES=1
// (make update-references) every picture that changed is written over its
// reference instead; a changed reference is a reviewed change.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/app/run_velkor.h"
#include "tests/support/reference_images.h"

namespace velkor_test {
namespace {

const std::string kSceneDir = std::string(VELKOR_SOURCE_DIR) + "/tests/references/scenes";
const std::string kImageDir = std::string(VELKOR_SOURCE_DIR) + "/tests/references/images";
// The README's screenshots for students: each script beside its picture, so
// that a screenshot can never show a panel that is no longer drawn.
const std::string kDocsDir = std::string(VELKOR_SOURCE_DIR) + "/docs/using";

bool updating() {
  const char* update = std::getenv("VELKOR_UPDATE_REFERENCES");
  return update != nullptr && std::string(update) == "1";
}

// Compares `actual` with the reference of `name` in `image_dir`, or in
// update mode writes it over a reference that differs in any pixel.
void ExpectLikeReference(const std::string& name, const RgbImage& actual,
                         const std::string& image_dir = kImageDir) {
  const std::string reference_path = image_dir + "/" + name + ".png";
  RgbImage reference;
  std::string error;
  const bool have_reference = ReadPngImage(reference_path, &reference, &error);
  const ImageComparison cmp = CompareImages(reference, actual, kReferenceTolerance.channel);
  if (updating()) {
    if (have_reference && cmp.same_size && cmp.largest_step == 0) return;
    ASSERT_TRUE(WritePngImage(reference_path, actual, &error)) << error;
    if (have_reference && cmp.same_size) {
      std::printf("updated %s (%zu pixels outside the tolerance, largest step %d)\n",
                  reference_path.c_str(), cmp.differing, cmp.largest_step);
    } else {
      std::printf("wrote %s\n", reference_path.c_str());
    }
    return;
  }
  ASSERT_TRUE(have_reference) << error << "\n  make update-references writes it.";
  const std::string output = std::string(VELKOR_REFERENCE_OUTPUT) + "/" + name;
  const std::string actual_path = output + ".actual.png";
  const std::string difference_path = output + ".difference.png";
  if (cmp.Within(kReferenceTolerance)) {
    // Pictures of an earlier failure would stand for one that is gone.
    std::remove(actual_path.c_str());
    std::remove(difference_path.c_str());
    // Said aloud, so that a drift between machines shows before it fails.
    if (cmp.largest_step > 0) {
      std::printf(
          "%s: matches within the tolerance (%zu pixels outside the channel tolerance, "
          "largest step %d)\n",
          name.c_str(), cmp.differing, cmp.largest_step);
    }
    return;
  }
  mkdir(VELKOR_REFERENCE_OUTPUT, 0755);
  std::string written = "  actual: " + actual_path;
  if (!WritePngImage(actual_path, actual, &error)) written = "  " + error;
  if (cmp.same_size && !WritePngImage(difference_path, cmp.difference, &error)) {
    written += "\n  " + error;
  } else if (cmp.same_size) {
    written += "\n  difference (red: outside the tolerance): " + difference_path;
  }
  ADD_FAILURE() << name << " does not match " << reference_path << ":\n  "
                << (cmp.same_size ? "" : "sizes differ: ") << reference.width << " x "
                << reference.height << " against " << actual.width << " x " << actual.height << ", "
                << cmp.differing << " pixels differ by more than " << kReferenceTolerance.channel
                << " (at most " << kReferenceTolerance.pixels << " may), largest step "
                << cmp.largest_step << "\n"
                << written;
}

// The scene in `scene_dir` played by the real program off-screen, its
// snapshot cropped to what the scene is about, compared with its picture in
// `image_dir`.
void ExpectSceneLikeReference(const std::string& name, const std::string& scene_dir,
                              const std::string& image_dir) {
  Scene scene;
  std::string error;
  ASSERT_TRUE(ReadScene(scene_dir + "/" + name + ".events", &scene, &error)) << error;
  ScratchDir dir;
  WriteFile(dir / "scene.events", scene.script);
  const VelkorRun run = RunVelkor(dir,
                                  "--offscreen --events scene.events --snapshot shot.png "
                                  "--slot-dir slots --frames " +
                                      std::to_string(scene.frames));
  ASSERT_EQ(0, run.status) << run.output;
  RgbImage shot;
  ASSERT_TRUE(ReadPngImage(dir / "shot.png", &shot, &error)) << error;
  ExpectLikeReference(scene.name, CropImage(shot, scene.crop), image_dir);
}

std::string TestName(const ::testing::TestParamInfo<std::string>& info) {
  // A test name takes letters, digits and underscores only.
  std::string name = info.param;
  for (char& ch : name) {
    if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
  }
  return name;
}

class PanelScene : public ::testing::TestWithParam<std::string> {};

TEST_P(PanelScene, LooksLikeItsReference) {
  ExpectSceneLikeReference(GetParam(), kSceneDir, kImageDir);
}

INSTANTIATE_TEST_SUITE_P(Scenes, PanelScene, ::testing::ValuesIn(SceneNames(kSceneDir)), TestName);

class DocsScene : public ::testing::TestWithParam<std::string> {};

TEST_P(DocsScene, LooksLikeItsScreenshot) {
  ExpectSceneLikeReference(GetParam(), kDocsDir, kDocsDir);
}

INSTANTIATE_TEST_SUITE_P(Docs, DocsScene, ::testing::ValuesIn(SceneNames(kDocsDir)), TestName);

TEST(Gallery, LooksLikeItsReference) {
  ScratchDir dir;
  const std::string command = std::string("'") + VELKOR_GALLERY_BINARY + "' --out '" +
                              (dir / "gallery.png") + "' >'" + (dir / "output.txt") + "' 2>&1";
  ASSERT_EQ(0, std::system(command.c_str())) << ReadFile(dir / "output.txt");
  RgbImage shot;
  std::string error;
  ASSERT_TRUE(ReadPngImage(dir / "gallery.png", &shot, &error)) << error;
  ExpectLikeReference("gallery", shot);
}

// The instruction pop-up as a half-size thumbnail keeps every letter of its
// labels: the zoomed-in pop-up, halved by averaging 2 x 2 pixels, is what a
// faithful thumbnail shows. A column of a label that has ink there (a stem,
// the "i" of "Immediate") must have ink in the thumbnail too, at least 40%
// of it; glyphs sampled only at pixel centres lost such columns whole
// ("Qoelloperand").
TEST(Thumbnail, KeepsEveryColumnOfItsLabels) {
  // The thumbnail scene, and the same selection with the pop-up zoomed in.
  Scene thumbnail;
  std::string error;
  ASSERT_TRUE(ReadScene(kSceneDir + "/instruction_thumbnails.events", &thumbnail, &error)) << error;
  const std::string zoomed =
      "2 move @InstruktionenToggleButton\n3 click @InstruktionenToggleButton\n"
      "5 move @ShotCut1Button\n6 click @ShotCut1Button\n8 move 700 20\n";
  RgbImage shots[2];
  const std::pair<std::string, int> runs[2] = {{thumbnail.script, thumbnail.frames}, {zoomed, 10}};
  for (int k = 0; k < 2; ++k) {
    ScratchDir dir;
    WriteFile(dir / "scene.events", runs[k].first);
    const VelkorRun run = RunVelkor(dir,
                                    "--offscreen --events scene.events --snapshot shot.png "
                                    "--slot-dir slots --frames " +
                                        std::to_string(runs[k].second));
    ASSERT_EQ(0, run.status) << run.output;
    ASSERT_TRUE(ReadPngImage(dir / "shot.png", &shots[k], &error)) << error;
  }
  // Snapshot rows run from the top; the pop-up's lower-left pixel lies at (390, 283) in the
  // thumbnail and at (280, 516) zoomed in.
  auto brightness = [](const RgbImage& image, int x, int y) {
    const uint8_t* p = &image.rgb[(static_cast<size_t>(y) * image.width + x) * 3];
    return (p[0] + p[1] + p[2]) / 3.0;
  };
  auto thumb = [&](int i, int j) { return brightness(shots[0], 390 + i, 283 - j); };
  auto halved = [&](int i, int j) {
    return (brightness(shots[1], 280 + 2 * i, 516 - 2 * j) +
            brightness(shots[1], 281 + 2 * i, 516 - 2 * j) +
            brightness(shots[1], 280 + 2 * i, 515 - 2 * j) +
            brightness(shots[1], 281 + 2 * i, 515 - 2 * j)) /
           4;
  };
  // Labels in thumbnail pixels from the pop-up's lower-left corner: x1, y1, x2, y2.
  const struct {
    const char* label;
    int x1, y1, x2, y2;
  } labels[] = {
      {"3) Adressierungsart:", 4, 177, 82, 186},
      {"Quelloperand: (mode)", 16, 163, 58, 171},
      {"4) Quelloperand:", 4, 123, 58, 132},
      {"Schnellauswahl einiger wichtiger Befehle:", 5, 46, 155, 58},
  };
  for (const auto& l : labels) {
    SCOPED_TRACE(l.label);
    const double thumb_ground = thumb(l.x1, l.y1), halved_ground = halved(l.x1, l.y1);
    int inked = 0;
    for (int i = l.x1; i < l.x2; ++i) {
      double want = 0, got = 0;
      for (int j = l.y1; j < l.y2; ++j) {
        want = std::max(want, std::abs(halved(i, j) - halved_ground));
        got = std::max(got, std::abs(thumb(i, j) - thumb_ground));
      }
      if (want < 40) continue;
      ++inked;
      EXPECT_GE(got, 0.4 * want) << "column " << i << " lost";
    }
    EXPECT_LT(8, inked);  // the label is where it is looked for
  }
}

// Every scene in the folder is one the suite knows (a scene added without
// building again would otherwise be skipped silently), each has its picture
// and each picture its scene.
TEST(Scenes, AllAreRunAndEachHasAReference) {
  const std::vector<std::string> names = SceneNames(kSceneDir);
  EXPECT_EQ(VELKOR_REFERENCE_SCENE_COUNT, static_cast<int>(names.size()))
      << "scenes were added or removed since the last build: build again";
  for (const std::string& name : names) {
    Scene scene;
    std::string error;
    EXPECT_TRUE(ReadScene(kSceneDir + "/" + name + ".events", &scene, &error)) << error;
    EXPECT_TRUE(updating() || FileExists(kImageDir + "/" + name + ".png")) << name;
  }
  for (const std::string& image : FileStems(kImageDir, ".png")) {
    EXPECT_TRUE(image == "gallery" || FileExists(kSceneDir + "/" + image + ".events"))
        << image << ".png has no scene";
  }
  const std::vector<std::string> docs = SceneNames(kDocsDir);
  EXPECT_EQ(VELKOR_DOCS_SCENE_COUNT, static_cast<int>(docs.size()))
      << "screenshot scripts were added or removed since the last build: build again";
  for (const std::string& name : docs) {
    EXPECT_TRUE(updating() || FileExists(kDocsDir + "/" + name + ".png")) << name;
  }
  for (const std::string& image : FileStems(kDocsDir, ".png")) {
    EXPECT_TRUE(FileExists(kDocsDir + "/" + image + ".events")) << image << ".png has no script";
  }
}

// The comparison itself: a comparer that misses a difference would let
// every picture above pass. A 4 x 3 picture with one row of shades.
TEST(Comparison, CountsPixelsOutsideTheChannelTolerance) {
  RgbImage reference{4, 3, std::vector<uint8_t>(36, 100)};
  const int tolerance = kReferenceTolerance.channel;
  const struct {
    const char* change;
    int pixel, channel, step;  // the pixel's channel moved by step
    size_t differing;
    int largest;
    uint8_t shown_red, shown_green;  // in the difference image
  } rows[] = {
      {"unchanged", 0, 0, 0, 0, 0, 25, 25},
      {"blue up to the tolerance", 5, 2, tolerance, 0, tolerance, 255, 255},
      {"green one beyond it", 7, 1, tolerance + 1, 1, tolerance + 1, 255, 0},
      {"red far below", 11, 0, -100, 1, 100, 255, 0},
  };
  for (const auto& row : rows) {
    RgbImage actual = reference;
    actual.rgb[static_cast<size_t>(row.pixel * 3 + row.channel)] += row.step;
    const ImageComparison cmp = CompareImages(reference, actual, tolerance);
    EXPECT_TRUE(cmp.same_size) << row.change;
    EXPECT_EQ(row.differing, cmp.differing) << row.change;
    EXPECT_EQ(row.largest, cmp.largest_step) << row.change;
    EXPECT_EQ(row.shown_red, cmp.difference.rgb[static_cast<size_t>(row.pixel * 3)]) << row.change;
    EXPECT_EQ(row.shown_green, cmp.difference.rgb[static_cast<size_t>(row.pixel * 3 + 1)])
        << row.change;
  }
  // One pixel more than allowed outside the tolerance fails the picture.
  RgbImage actual{8, 8, std::vector<uint8_t>(192, 100)};
  reference = actual;
  static_assert(kReferenceTolerance.pixels < 64, "the bound fits the 8 x 8 picture");
  for (size_t p = 0; p < kReferenceTolerance.pixels; ++p) actual.rgb[p * 3] = 0;
  EXPECT_TRUE(CompareImages(reference, actual, tolerance).Within(kReferenceTolerance));
  actual.rgb[kReferenceTolerance.pixels * 3 + 1] = 0;
  EXPECT_FALSE(CompareImages(reference, actual, tolerance).Within(kReferenceTolerance));
  // Another size never matches, whatever the pixels.
  RgbImage wider{5, 3, std::vector<uint8_t>(45, 100)};
  EXPECT_FALSE(CompareImages(reference, wider, tolerance).Within({255, 1000}));
  EXPECT_FALSE(CompareImages(reference, RgbImage{}, tolerance).Within({255, 1000}));
}

// Crops clipped to the picture; PNG written and read back unchanged in both
// forms (palette and RGB); scene headers read or refused.
TEST(Comparison, CropsWritesAndReadsScenes) {
  RgbImage image{3, 2, {}};
  for (int i = 0; i < 18; ++i) image.rgb.push_back(static_cast<uint8_t>(i));
  const struct {
    PixelRect rect;
    int width, height;
    uint8_t first;
  } crops[] = {{{0, 0, 0, 0}, 3, 2, 0},
               {{1, 1, 0, 0}, 2, 1, 12},
               {{2, 0, 5, 5}, 1, 2, 6},
               {{4, 4, 1, 1}, 0, 0, 0}};
  for (const auto& c : crops) {
    const RgbImage part = CropImage(image, c.rect);
    EXPECT_EQ(c.width, part.width) << c.rect.x << "," << c.rect.y;
    EXPECT_EQ(c.height, part.height) << c.rect.x << "," << c.rect.y;
    EXPECT_EQ(static_cast<size_t>(c.width * c.height * 3), part.rgb.size());
    if (!part.rgb.empty()) {
      EXPECT_EQ(c.first, part.rgb[0]);
    }
  }

  ScratchDir dir;
  RgbImage many{300, 1, {}};  // 300 colours: no palette
  for (int i = 0; i < 300; ++i) many.rgb.insert(many.rgb.end(), {uint8_t(i), uint8_t(i >> 8), 7});
  for (const RgbImage& written : {image, many}) {
    RgbImage read;
    std::string error;
    ASSERT_TRUE(WritePngImage(dir / "p.png", written, &error)) << error;
    ASSERT_TRUE(ReadPngImage(dir / "p.png", &read, &error)) << error;
    EXPECT_EQ(written.width, read.width);
    EXPECT_EQ(written.rgb, read.rgb);
  }

  const struct {
    const char* header;
    bool read;
    int frames;
    PixelRect crop;
  } scenes[] = {
      {"# frames: 12\n# crop: 1 2 30 40\n2 move 1 1\n", true, 12, {1, 2, 30, 40}},
      {"# frames: 3\n", true, 3, {0, 0, 0, 0}},
      {"# crop: 1 2 3 4\n", false, 0, {}},
      {"# frames: 0\n", false, 0, {}},
      {"# frames: 9\n# crop: 1 2 0 4\n", false, 0, {}},
      {"# frames: 9\n# crop: 1 2 3\n", false, 0, {}},
  };
  for (const auto& s : scenes) {
    WriteFile(dir / "s.events", s.header);
    Scene scene;
    std::string error;
    EXPECT_EQ(s.read, ReadScene(dir / "s.events", &scene, &error)) << s.header << error;
    if (!s.read) continue;
    EXPECT_EQ("s", scene.name);
    EXPECT_EQ(s.frames, scene.frames) << s.header;
    const PixelRect& c = scene.crop;
    EXPECT_TRUE(c.x == s.crop.x && c.y == s.crop.y && c.width == s.crop.width &&
                c.height == s.crop.height)
        << s.header << c.x << " " << c.y << " " << c.width << " " << c.height;
  }
  Scene scene;
  std::string error;
  EXPECT_FALSE(ReadScene(dir / "missing.events", &scene, &error));
}

}  // namespace
}  // namespace velkor_test
