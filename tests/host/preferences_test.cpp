// The settings file: its name and place, the bounded profile reader, the
// writer that keeps what it does not own, and the validation of the window
// preferences.
#include "host/host_preferences.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

class TempDir {
 public:
  TempDir() {
    char pattern[] = "/tmp/velkor_prefs_XXXXXX";
    path_ = mkdtemp(pattern);
  }
  ~TempDir() { std::system(("rm -rf '" + path_ + "'").c_str()); }
  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary);
  out << content;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

bool Exists(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0;
}

std::string Read(const std::string& path, const char* section, const char* key, const char* fallback) {
  char buffer[64];
  snprintf(buffer, sizeof buffer, "%s", fallback);
  ProfileReadString(path.c_str(), section, key, buffer, sizeof buffer);
  return buffer;
}

// Sets XDG_CONFIG_HOME for one test and restores it afterwards.
class ScopedConfigHome {
 public:
  explicit ScopedConfigHome(const std::string& value) {
    const char* old = getenv("XDG_CONFIG_HOME");
    had_old_ = old != nullptr;
    if (had_old_) old_ = old;
    setenv("XDG_CONFIG_HOME", value.c_str(), 1);
  }
  ~ScopedConfigHome() {
    if (had_old_) {
      setenv("XDG_CONFIG_HOME", old_.c_str(), 1);
    } else {
      unsetenv("XDG_CONFIG_HOME");
    }
  }

 private:
  bool had_old_ = false;
  std::string old_;
};

// ---- The file's name ---------------------------------------------------------

TEST(SettingsFileName, ReplacesOnlyTheExecutablesOwnExtension) {
  struct Case {
    const char* executable;
    const char* settings;
  } cases[] = {
      {"/usr/bin/velkor", "/usr/bin/velkor.ini"},
      {"/opt/velkor/velkor.bin", "/opt/velkor/velkor.ini"},
      {"/home/u/.local/bin/velkor", "/home/u/.local/bin/velkor.ini"},
      {"/home/u/my.tools/velkor", "/home/u/my.tools/velkor.ini"},
      {"/home/u/my.tools/velkor.exe", "/home/u/my.tools/velkor.ini"},
      {"/a/velkor.tar.gz", "/a/velkor.tar.ini"},
      {"/a/.velkor", "/a/.velkor.ini"},
      {"velkor", "velkor.ini"},
      {"./velkor", "./velkor.ini"},
  };
  for (const Case& c : cases) {
    char out[256];
    ASSERT_TRUE(PreferencesPathBesideExecutable(c.executable, out, sizeof out)) << c.executable;
    EXPECT_EQ(std::string(c.settings), std::string(out)) << c.executable;
  }
}

TEST(SettingsFileName, RejectsWhatNamesNoFile) {
  char out[64];
  EXPECT_FALSE(PreferencesPathBesideExecutable(nullptr, out, sizeof out));
  EXPECT_FALSE(PreferencesPathBesideExecutable("", out, sizeof out));
  EXPECT_FALSE(PreferencesPathBesideExecutable("/usr/bin/", out, sizeof out));
  // A name that does not fit is refused rather than cut.
  EXPECT_FALSE(PreferencesPathBesideExecutable("/usr/bin/velkor", out, 16));
  EXPECT_TRUE(PreferencesPathBesideExecutable("/usr/bin/velkor", out, 20));
}

TEST(SettingsFileName, FallbackFollowsXdgConfigHome) {
  char out[256];
  {
    ScopedConfigHome config("/tmp/somewhere");
    ASSERT_TRUE(PreferencesFallbackPath(out, sizeof out));
    EXPECT_EQ(std::string("/tmp/somewhere/velkor/velkor.ini"), std::string(out));
  }
  {
    // A relative XDG_CONFIG_HOME is ignored, as the XDG rules say.
    ScopedConfigHome config("relative/dir");
    const char* home = getenv("HOME");
    if (home != nullptr && home[0] == '/') {
      ASSERT_TRUE(PreferencesFallbackPath(out, sizeof out));
      EXPECT_EQ(std::string(home) + "/.config/velkor/velkor.ini", std::string(out));
    }
  }
}

// ---- Where reading and writing go ------------------------------------------------

TEST(SettingsPlace, BesideAWritableExecutable) {
  TempDir dir;
  ScopedConfigHome config(dir.File("config"));
  const std::string exe = dir.File("velkor");
  char path[PROFILE_MAX_PATH];
  ASSERT_TRUE(PreferencesPathForWriting(exe.c_str(), path, sizeof path));
  EXPECT_EQ(dir.File("velkor.ini"), std::string(path));
  EXPECT_EQ(1u, WritePreference(exe.c_str(), "Window", "State", "2"));
  EXPECT_EQ("[Window]\nState=2\n", ReadFile(dir.File("velkor.ini")));
  EXPECT_FALSE(Exists(dir.File("config")));
}

TEST(SettingsPlace, FallsBackToXdgWhenTheExecutablesDirectoryCannotBeWritten) {
  TempDir dir;
  ScopedConfigHome config(dir.File("config"));
  // A directory that does not exist cannot be written, even by root.
  const std::string exe = dir.File("missing/bin/velkor");
  char path[PROFILE_MAX_PATH];
  EXPECT_FALSE(PreferencesPathForReading(exe.c_str(), path, sizeof path));
  EXPECT_EQ(1u, WritePreference(exe.c_str(), "Window", "Position", "10x20x640x384"));
  EXPECT_EQ("[Window]\nPosition=10x20x640x384\n", ReadFile(dir.File("config/velkor/velkor.ini")));
  // Reading looks there too.
  char text[64] = "default";
  EXPECT_EQ(13u, ReadPreference(exe.c_str(), "Window", "Position", text, sizeof text));
  EXPECT_EQ(std::string("10x20x640x384"), std::string(text));
}

TEST(SettingsPlace, NoExecutableNoFile) {
  TempDir dir;
  ScopedConfigHome config(dir.File("config"));
  char text[16] = "0";
  EXPECT_EQ(0u, WritePreference(nullptr, "Window", "State", "1"));
  EXPECT_EQ(0u, WritePreference("", "Window", "State", "1"));
  EXPECT_EQ(0u, ReadPreference(nullptr, "Window", "State", text, sizeof text));
  EXPECT_EQ(std::string("0"), std::string(text));
  EXPECT_FALSE(Exists(dir.File("config")));
}

TEST(SettingsPlace, NullArgumentsGiveTheirOwnResults) {
  char text[16] = "x";
  EXPECT_EQ(static_cast<uint64_t>(PREFERENCE_WRITE_NULL_ARGUMENT), WritePreference("/tmp/v", nullptr, "k", "v"));
  EXPECT_EQ(static_cast<uint64_t>(PREFERENCE_WRITE_NULL_ARGUMENT), WritePreference("/tmp/v", "s", nullptr, "v"));
  EXPECT_EQ(static_cast<uint64_t>(PREFERENCE_WRITE_NULL_ARGUMENT), WritePreference("/tmp/v", "s", "k", nullptr));
  EXPECT_EQ(static_cast<uint64_t>(PREFERENCE_READ_NULL_ARGUMENT), ReadPreference("/tmp/v", nullptr, "k", text, 16));
  EXPECT_EQ(static_cast<uint64_t>(PREFERENCE_READ_NULL_ARGUMENT), ReadPreference("/tmp/v", "s", nullptr, text, 16));
}

// ---- Reading ---------------------------------------------------------------------------

TEST(ProfileReading, FindsSectionsAndKeysAsThePlatformDoes) {
  TempDir dir;
  const std::string file = dir.File("a.ini");
  WriteFile(file,
            "; a comment\r\n"
            "[Other]\r\n"
            "State=9\r\n"
            "  [ window ]  \r\n"
            "position = 1x2x3x4  \r\n"
            "STATE=\"2\"\r\n"
            "Empty=\r\n"
            "noequals\r\n"
            "[Later]\r\n"
            "Position=7x7x7x7\r\n");
  struct Case {
    const char* section;
    const char* key;
    const char* expected;
  } cases[] = {
      {"Window", "Position", "1x2x3x4"},  // blanks around names and values ignored
      {"WINDOW", "state", "2"},           // any case; quotes removed
      {"Window", "Empty", ""},            // present but empty: empty, not the default
      {"Window", "Missing", "default"},
      {"Missing", "State", "default"},
      {"Other", "State", "9"},
      {"Later", "Position", "7x7x7x7"},
      {"Window", "noequals", "default"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(std::string(c.expected), Read(file, c.section, c.key, "default")) << c.section << "/" << c.key;
  }
}

TEST(ProfileReading, MissingFileLeavesTheDefault) {
  char buffer[16] = "50x50";
  EXPECT_EQ(0u, ProfileReadString("/nonexistent/velkor.ini", "Window", "Position", buffer, sizeof buffer));
  EXPECT_EQ(std::string("50x50"), std::string(buffer));
}

TEST(ProfileReading, LongValuesAreCutToTheBuffer) {
  TempDir dir;
  const std::string file = dir.File("a.ini");
  WriteFile(file, "[Window]\nState=" + std::string(100, '7') + "\n");
  char buffer[8] = "";
  EXPECT_EQ(7u, ProfileReadString(file.c_str(), "Window", "State", buffer, sizeof buffer));
  EXPECT_EQ(std::string(7, '7'), std::string(buffer));
}

TEST(ProfileReading, BinaryAndOverlongLinesAreReadSafely) {
  TempDir dir;
  const std::string file = dir.File("a.ini");
  std::string content;
  for (int i = 0; i < 20000; ++i) content += static_cast<char>((i * 37) % 256);  // no structure at all
  content += std::string(3, '\0') + "\n";
  content += std::string(50000, '[') + "\n";  // longer than any line buffer
  content += "[Window]\nState=3\n";
  WriteFile(file, content);
  EXPECT_EQ("3", Read(file, "Window", "State", "0"));
}

TEST(ProfileReading, AHugeFileIsScannedOnlyUpToTheLimit) {
  TempDir dir;
  const std::string file = dir.File("a.ini");
  std::string filler(PROFILE_MAX_FILE_BYTES + 4096, ';');
  for (size_t i = 80; i < filler.size(); i += 80) filler[i] = '\n';
  WriteFile(file, "[Window]\nState=1\n" + filler + "\n[Window]\nPosition=1x1x1x1\n");
  EXPECT_EQ("1", Read(file, "Window", "State", "0"));
  // The key beyond the limit is not looked at; the default stays.
  EXPECT_EQ("default", Read(file, "Window", "Position", "default"));
}

// ---- Writing ---------------------------------------------------------------------------

TEST(ProfileWriting, KeepsOtherSectionsKeysAndComments) {
  TempDir dir;
  const std::string file = dir.File("a.ini");
  WriteFile(file,
            "; settings\n"
            "[Window]\n"
            "position = 1x2x3x4\n"
            "Colour=blue\n"
            "\n"
            "[Other]\n"
            "State=9\n");
  ASSERT_TRUE(ProfileWriteString(file.c_str(), "WINDOW", "Position", "50x50x1280x768"));
  ASSERT_TRUE(ProfileWriteString(file.c_str(), "Window", "State", "0"));
  ASSERT_TRUE(ProfileWriteString(file.c_str(), "New", "Key", "v"));
  EXPECT_EQ(
      "; settings\n"
      "[Window]\n"
      "position =50x50x1280x768\n"
      "Colour=blue\n"
      "State=0\n"
      "\n"
      "[Other]\n"
      "State=9\n"
      "[New]\n"
      "Key=v\n",
      ReadFile(file));
  EXPECT_EQ("50x50x1280x768", Read(file, "window", "POSITION", ""));
}

TEST(ProfileWriting, KeepsWindowsLineEndingsAndAMissingFinalLineBreak) {
  TempDir dir;
  const std::string file = dir.File("a.ini");
  WriteFile(file, "[Window]\r\nState=1\r\n[Other]\r\nA=b");
  ASSERT_TRUE(ProfileWriteString(file.c_str(), "Window", "State", "3"));
  ASSERT_TRUE(ProfileWriteString(file.c_str(), "Other", "C", "d"));
  EXPECT_EQ("[Window]\r\nState=3\r\n[Other]\r\nA=b\r\nC=d\r\n", ReadFile(file));
}

TEST(ProfileWriting, CreatesTheFile) {
  TempDir dir;
  const std::string file = dir.File("new.ini");
  ASSERT_TRUE(ProfileWriteString(file.c_str(), "Window", "Position", "50x50x1280x768"));
  ASSERT_TRUE(ProfileWriteString(file.c_str(), "Window", "State", "0"));
  EXPECT_EQ("[Window]\nPosition=50x50x1280x768\nState=0\n", ReadFile(file));
}

TEST(ProfileWriting, NeverTruncatesAFileItCannotHoldWhole) {
  TempDir dir;
  const std::string file = dir.File("huge.ini");
  const std::string content = "[Window]\nState=1\n" + std::string(PROFILE_MAX_FILE_BYTES, 'x') + "\n";
  WriteFile(file, content);
  EXPECT_FALSE(ProfileWriteString(file.c_str(), "Window", "State", "2"));
  EXPECT_EQ(content.size(), ReadFile(file).size());
  EXPECT_TRUE(ReadFile(file) == content);
}

TEST(ProfileWriting, KeepsBinaryContentByteForByte) {
  TempDir dir;
  const std::string file = dir.File("bin.ini");
  std::string junk;
  for (int i = 0; i < 3000; ++i) junk += static_cast<char>((i * 91 + 7) % 256);
  WriteFile(file, junk);
  ASSERT_TRUE(ProfileWriteString(file.c_str(), "Window", "State", "2"));
  const std::string after = ReadFile(file);
  ASSERT_GE(after.size(), junk.size());
  EXPECT_TRUE(after.compare(0, junk.size(), junk) == 0);
  EXPECT_EQ("2", Read(file, "Window", "State", "0"));
}

TEST(ProfileWriting, RefusesTextThatWouldReadBackDifferently) {
  TempDir dir;
  const std::string file = dir.File("a.ini");
  WriteFile(file, "[Window]\nState=1\n");
  EXPECT_FALSE(ProfileWriteString(file.c_str(), "Window", "State", "2\n[Evil]"));
  EXPECT_FALSE(ProfileWriteString(file.c_str(), "Win]dow", "State", "2"));
  EXPECT_FALSE(ProfileWriteString(file.c_str(), "Window", "Sta=te", "2"));
  EXPECT_FALSE(ProfileWriteString(file.c_str(), "Window", "", "2"));
  EXPECT_EQ("[Window]\nState=1\n", ReadFile(file));
}

TEST(ProfileWriting, LeavesNoTemporaryFilesBehind) {
  TempDir dir;
  const std::string file = dir.File("a.ini");
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(ProfileWriteString(file.c_str(), "Window", "State", i % 2 ? "1" : "2"));
  const std::string listing = dir.File("listing");
  std::system(("ls -A '" + dir.path() + "' > '" + listing + "'").c_str());
  EXPECT_EQ("a.ini\nlisting\n", ReadFile(listing));
}

// ---- Window preferences ------------------------------------------------------------------

TEST(WindowPreferences, StateIsOneOfTheFourStates) {
  struct Case {
    const char* text;
    bool accepted;
    uint32_t state;
  } cases[] = {
      {"0", true, 0},   {"1", true, 1},    {"2", true, 2},    {"3", true, 3},  {" 2", true, 2},
      {"7", false, 0},  {"-1", false, 0},  {"", false, 0},    {"x", false, 0}, {"99999999999", false, 0},
      {"2x", true, 2},  // read as "%d" reads it: the number, then whatever
  };
  for (const Case& c : cases) {
    uint32_t state = 0xFFu;
    EXPECT_EQ(c.accepted, ParseWindowState(c.text, &state)) << "'" << c.text << "'";
    if (c.accepted) {
      EXPECT_EQ(c.state, state) << "'" << c.text << "'";
    }
  }
}

TEST(WindowPreferences, PositionIsChecked) {
  struct Case {
    const char* text;
    bool accepted;
  } cases[] = {
      {"0x0x800x600", true},          {"50x50x1280x768", true},     {"10x20x4096x4096", true},
      {"-1x50x1280x768", false},      {"50x-1x1280x768", false},    {"50x50x4097x768", false},
      {"50x50x0x768", false},         {"50x50x1280x0", false},      {"50x50x1280", false},
      {"50,50,1280,768", false},      {"", false},                  {"x", false},
      {"50x50x1280x99999999999", false},
  };
  for (const Case& c : cases) {
    int32_t x = -7, y = -7, w = -7, h = -7;
    EXPECT_EQ(c.accepted, ParseWindowPosition(c.text, &x, &y, &w, &h)) << c.text;
  }
  int32_t x = 0, y = 0, w = 0, h = 0;
  ASSERT_TRUE(ParseWindowPosition("12x34x567x890", &x, &y, &w, &h));
  EXPECT_EQ(12, x);
  EXPECT_EQ(34, y);
  EXPECT_EQ(567, w);
  EXPECT_EQ(890, h);
}

}  // namespace
