// The settings file: its name and place, the bounded profile reader, the
// writer that keeps what it does not own, and the window preferences read
// back with their validation.
#include "host/host_preferences.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/host/stand_in_layer.h"

namespace {

struct TempDir {
  std::string path;
  TempDir() {
    char pattern[] = "/tmp/velkor_prefs_XXXXXX";
    path = mkdtemp(pattern);
  }
  ~TempDir() { std::system(("rm -rf '" + path + "'").c_str()); }
  std::string File(const std::string& name) const { return path + "/" + name; }
};

void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

std::string ReadFile(const std::string& path) {
  std::stringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  return text.str();
}

std::string Read(const std::string& path, const char* section, const char* key,
                 const char* fallback) {
  char buffer[64];
  snprintf(buffer, sizeof buffer, "%s", fallback);
  ProfileReadString(path.c_str(), section, key, buffer, sizeof buffer);
  return buffer;
}

// XDG_CONFIG_HOME for one test, restored afterwards.
struct ScopedConfigHome {
  const char* old = getenv("XDG_CONFIG_HOME");
  std::string saved = old != nullptr ? old : "";
  explicit ScopedConfigHome(const std::string& value) {
    setenv("XDG_CONFIG_HOME", value.c_str(), 1);
  }
  ~ScopedConfigHome() {
    old != nullptr ? setenv("XDG_CONFIG_HOME", saved.c_str(), 1) : unsetenv("XDG_CONFIG_HOME");
  }
};

TEST(SettingsFileName, ReplacesOnlyTheExecutablesOwnExtension) {
  const struct {
    const char* executable;
    const char* settings;  // null: refused
  } cases[] = {
      {"/usr/bin/velkor", "/usr/bin/velkor.ini"},
      {"/opt/velkor/velkor.bin", "/opt/velkor/velkor.ini"},
      {"/home/u/.local/bin/velkor", "/home/u/.local/bin/velkor.ini"},  // a dot in a directory
      {"/home/u/my.tools/velkor.exe", "/home/u/my.tools/velkor.ini"},
      {"/a/velkor.tar.gz", "/a/velkor.tar.ini"},
      {"/a/.velkor", "/a/.velkor.ini"},  // a hidden file, no extension
      {"velkor", "velkor.ini"},
      {"/usr/bin/", nullptr},
      {"", nullptr},
      {"/usr/bin/a_name_longer_than_the_room_for_it", nullptr},  // refused rather than cut
  };
  for (const auto& c : cases) {
    char out[40] = "";
    EXPECT_EQ(c.settings != nullptr, PreferencesPathBesideExecutable(c.executable, out, sizeof out))
        << c.executable;
    EXPECT_EQ(std::string(c.settings != nullptr ? c.settings : ""), out);
  }
}

TEST(SettingsPlace, BesideAWritableExecutableElseTheXdgFallbackWhichIsReadToo) {
  TempDir dir;
  ScopedConfigHome config(dir.File("config"));
  EXPECT_EQ(1u, WritePreference(dir.File("velkor").c_str(), "Window", "State", "2"));
  EXPECT_EQ("[Window]\nState=2\n", ReadFile(dir.File("velkor.ini")));
  EXPECT_NE(0, access(dir.File("config").c_str(), F_OK));
  // A directory that does not exist cannot be written, even by root.
  const std::string exe = dir.File("missing/bin/velkor");
  char text[64] = "default";
  EXPECT_EQ(0u, ReadPreference(exe.c_str(), "Window", "Position", text, sizeof text));
  EXPECT_EQ(1u, WritePreference(exe.c_str(), "Window", "Position", "10x20x640x384"));
  EXPECT_EQ("[Window]\nPosition=10x20x640x384\n", ReadFile(dir.File("config/velkor/velkor.ini")));
  EXPECT_EQ(13u, ReadPreference(exe.c_str(), "Window", "Position", text, sizeof text));
  EXPECT_EQ(std::string("10x20x640x384"), text);
  // Without an executable there is nothing to name the file after.
  EXPECT_EQ(0u, WritePreference(nullptr, "Window", "State", "1"));
  {
    ScopedConfigHome relative("relative/dir");  // not absolute: ignored
    const char* home = getenv("HOME");
    if (home != nullptr && home[0] == '/') {
      ASSERT_TRUE(PreferencesFallbackPath(text, sizeof text));
      EXPECT_EQ(std::string(home) + "/.config/velkor/velkor.ini", text);
    }
  }
}

TEST(ProfileReading, FindsSectionsAndKeysInAnyCase) {
  TempDir dir;
  const std::string file = dir.File("a.ini");
  WriteFile(file,
            "; a comment\r\n[Other]\r\nState=9\r\n  [ window ]  \r\nposition = 1x2x3x4  "
            "\r\nSTATE=\"2\"\r\n"
            "Empty=\r\nnoequals\r\n[Later]\r\nPosition=7x7x7x7\r\n");
  const char* const cases[][3] = {
      {"Window", "Position", "1x2x3x4"},  // blanks around names and values ignored
      {"WINDOW", "state", "2"},           // quotes removed
      {"Window", "Empty", ""},            // present but empty: empty, not the default
      {"Window", "Missing", "default"},  {"Missing", "State", "default"},   {"Other", "State", "9"},
      {"Later", "Position", "7x7x7x7"},  {"Window", "noequals", "default"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(std::string(c[2]), Read(file, c[0], c[1], "default")) << c[0] << "/" << c[1];
  EXPECT_EQ("default", Read(dir.File("missing.ini"), "Window", "State", "default"));
  WriteFile(file, "[Window]\nState=" + std::string(100, '7') + "\n");
  char small[8] = "";
  EXPECT_EQ(7u, ProfileReadString(file.c_str(), "Window", "State", small,
                                  sizeof small));  // cut to the buffer
}

TEST(ProfileReading, BinaryOverlongAndHugeFilesAreReadSafely) {
  TempDir dir;
  const std::string file = dir.File("a.ini");
  std::string binary;
  for (int i = 0; i < 20000; ++i) binary += static_cast<char>((i * 37) % 256);
  WriteFile(file, binary + std::string(3, '\0') + "\n" + std::string(50000, '[') +
                      "\n[Window]\nState=3\n");
  EXPECT_EQ("3", Read(file, "Window", "State", "0"));
  std::string filler(kProfileMaxFileBytes + 4096, ';');
  for (size_t i = 80; i < filler.size(); i += 80) filler[i] = '\n';
  WriteFile(file, "[Window]\nState=1\n" + filler + "\n[Window]\nPosition=1x1x1x1\n");
  EXPECT_EQ("1", Read(file, "Window", "State", "0"));
  EXPECT_EQ("default", Read(file, "Window", "Position", "default"));  // beyond the scanned limit
}

TEST(ProfileWriting, KeepsOtherSectionsKeysCommentsAndLineEndings) {
  TempDir dir;
  const std::string file = dir.File("a.ini");
  WriteFile(file, "; settings\n[Window]\nposition = 1x2x3x4\nColour=blue\n\n[Other]\nState=9\n");
  ASSERT_TRUE(ProfileWriteString(file.c_str(), "WINDOW", "Position", "50x50x1280x768"));
  ASSERT_TRUE(ProfileWriteString(file.c_str(), "Window", "State", "0"));
  ASSERT_TRUE(ProfileWriteString(file.c_str(), "New", "Key", "v"));
  EXPECT_EQ(
      "; settings\n[Window]\nposition "
      "=50x50x1280x768\nColour=blue\nState=0\n\n[Other]\nState=9\n[New]\nKey=v\n",
      ReadFile(file));
  WriteFile(file, "[Window]\r\nState=1\r\n[Other]\r\nA=b");
  ASSERT_TRUE(ProfileWriteString(file.c_str(), "Window", "State", "3"));
  ASSERT_TRUE(ProfileWriteString(file.c_str(), "Other", "C", "d"));
  EXPECT_EQ("[Window]\r\nState=3\r\n[Other]\r\nA=b\r\nC=d\r\n", ReadFile(file));
  // Text that would read back differently is refused.
  EXPECT_FALSE(ProfileWriteString(file.c_str(), "Window", "State", "2\n[Evil]"));
  EXPECT_FALSE(ProfileWriteString(file.c_str(), "Win]dow", "State", "2"));
  EXPECT_FALSE(ProfileWriteString(file.c_str(), "Window", "Sta=te", "2"));
  EXPECT_FALSE(ProfileWriteString(file.c_str(), "Window", "", "2"));
  EXPECT_EQ("[Window]\r\nState=3\r\n[Other]\r\nA=b\r\nC=d\r\n", ReadFile(file));
  // Written through a temporary file, which does not stay behind.
  int entries = 0;
  DIR* listing = opendir(dir.path.c_str());
  while (readdir(listing) != nullptr) ++entries;
  closedir(listing);
  EXPECT_EQ(3, entries);  // ".", ".." and a.ini
}

TEST(ProfileWriting, NeverTruncatesAFileItCannotHoldWholeAndKeepsBinaryContent) {
  TempDir dir;
  const std::string file = dir.File("a.ini");
  const std::string huge = "[Window]\nState=1\n" + std::string(kProfileMaxFileBytes, 'x') + "\n";
  WriteFile(file, huge);
  EXPECT_FALSE(ProfileWriteString(file.c_str(), "Window", "State", "2"));
  EXPECT_TRUE(ReadFile(file) == huge);
  std::string binary;
  for (int i = 0; i < 3000; ++i) binary += static_cast<char>((i * 91 + 7) % 256);
  WriteFile(file, binary);
  ASSERT_TRUE(ProfileWriteString(file.c_str(), "Window", "State", "2"));
  EXPECT_EQ(0, ReadFile(file).compare(0, binary.size(), binary));
  EXPECT_EQ("2", Read(file, "Window", "State", "0"));
}

TEST(WindowPreferences, ReadBackOrTheDefaultsForWhatIsMissingOrInvalid) {
  const struct {
    const char* file;
    const char* rect;  // client x, y, width, height
    uint32_t state;
  } cases[] = {
      {"[Window]\nPosition=200x150x640x384\nState=2\n", "200,150,640,384", 2},
      {"", "50,50,1280,768", 0},
      {"[Window]\nPosition=0x0x4096x4096\nState= 3x\n", "0,0,4096,4096", 3},  // read as "%d" reads
      {"[Window]\nPosition=-1x50x1280x768\nState=7\n", "50,50,1280,768", 0},
      {"[Window]\nPosition=50x-1x1280x768\nState=-1\n", "50,50,1280,768", 0},
      {"[Window]\nPosition=50x50x4097x768\nState=\n", "50,50,1280,768", 0},
      {"[Window]\nPosition=50x50x1280x0\nState=x\n", "50,50,1280,768", 0},
      {"[Window]\nPosition=50x50x1280\nState=99999999999\n", "50,50,1280,768", 0},
      {"[Window]\nPosition=50,50,1280,768\n", "50,50,1280,768", 0},
      {"[Window]\nPosition=50x50x1280x99999999999\n", "50,50,1280,768", 0},
  };
  TempDir dir;
  host_test::StandIn stand_in;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    WriteFile(dir.File("velkor.ini"), c.file);
    Application* app = Application_Allocate(&stand_in.params, dir.File("velkor").c_str());
    ASSERT_NE(nullptr, app);
    Application_UseNativeGeometry(app);
    ReadWindowPref(app);
    const int32_t* r = app->client_rect;
    EXPECT_EQ(c.rect, std::to_string(r[0]) + "," + std::to_string(r[1]) + "," +
                          std::to_string(r[2]) + "," + std::to_string(r[3]));
    EXPECT_EQ(c.state, app->window_state.load());
    Application_Free(app);
  }
}

}  // namespace
