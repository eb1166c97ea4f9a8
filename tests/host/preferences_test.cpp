// The settings file: name and place, the bounded reader, the writer that
// keeps what it does not own and refuses what would not read back, and the
// window preferences read back with their validation.
#include "host/host_preferences.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "host/host_internal.h"
#include "tests/host/stand_in_layer.h"

namespace {

void write_file(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

std::string read_key(const std::string& path, const char* section, const char* key,
                     const char* fallback) {
  std::vector<char> buffer(8192);
  snprintf(buffer.data(), buffer.size(), "%s", fallback);
  ProfileReadString(path.c_str(), section, key, buffer.data(), buffer.size());
  return buffer.data();
}

TEST(SettingsFileName, ReplacesOnlyTheExecutablesOwnExtension) {
  const struct {
    const char* executable;
    const char* settings;  // null: refused
  } cases[] = {
      {"/usr/bin/velkor", "/usr/bin/velkor.ini"},
      {"/opt/velkor/velkor.bin", "/opt/velkor/velkor.ini"},
      {"/a/.velkor", "/a/.velkor.ini"},  // a hidden file, no extension
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
  host_test::TempDir dir;
  setenv("XDG_CONFIG_HOME", dir.file("config").c_str(), 1);
  EXPECT_EQ(1u, WritePreference(dir.file("velkor").c_str(), "Window", "State", "2"));
  EXPECT_EQ("[Window]\nState=2\n", host_test::ReadFile(dir.file("velkor.ini")));
  EXPECT_NE(0, access(dir.file("config").c_str(), F_OK));
  // A directory that does not exist cannot be written, even by root.
  const std::string exe = dir.file("missing/bin/velkor");
  char text[64] = "default";
  EXPECT_EQ(0u, ReadPreference(exe.c_str(), "Window", "Position", text, sizeof text));
  EXPECT_EQ(1u, WritePreference(exe.c_str(), "Window", "Position", "10x20x640x384"));
  EXPECT_EQ("[Window]\nPosition=10x20x640x384\n",
            host_test::ReadFile(dir.file("config/velkor/velkor.ini")));
  EXPECT_EQ(13u, ReadPreference(exe.c_str(), "Window", "Position", text, sizeof text));
  EXPECT_EQ(std::string("10x20x640x384"), text);
  // Without an executable there is nothing to name the file after.
  EXPECT_EQ(0u, WritePreference(nullptr, "Window", "State", "1"));
  unsetenv("XDG_CONFIG_HOME");
}

TEST(ProfileReading, BinaryOverlongAndHugeFilesAreReadSafely) {
  host_test::TempDir dir;
  const std::string file = dir.file("a.ini");
  std::string binary;
  for (int i = 0; i < 20000; ++i) binary += static_cast<char>((i * 37) % 256);
  write_file(file, binary + std::string(3, '\0') + "\n" + std::string(50000, '[') +
                       "\n[Window]\nState=3\n");
  EXPECT_EQ("3", read_key(file, "Window", "State", "0"));
  std::string filler(kProfileMaxFileBytes + 4096, ';');
  for (size_t i = 80; i < filler.size(); i += 80) filler[i] = '\n';
  write_file(file, "[Window]\nState=1\n" + filler + "\n[Window]\nPosition=1x1x1x1\n");
  EXPECT_EQ("1", read_key(file, "Window", "State", "0"));
  EXPECT_EQ("default", read_key(file, "Window", "Position", "default"));  // beyond the limit
}

TEST(ProfileWriting, KeepsOtherSectionsKeysCommentsAndLineEndings) {
  host_test::TempDir dir;
  const std::string file = dir.file("a.ini");
  write_file(file, "; settings\n[Window]\nposition = 1x2x3x4\nColour=blue\n\n[Other]\nState=9\n");
  ASSERT_TRUE(ProfileWriteString(file.c_str(), "WINDOW", "Position", "50x50x1280x768"));
  ASSERT_TRUE(ProfileWriteString(file.c_str(), "Window", "State", "0"));
  ASSERT_TRUE(ProfileWriteString(file.c_str(), "New", "Key", "v"));
  EXPECT_EQ(
      "; settings\n[Window]\nposition =50x50x1280x768\nColour=blue\nState=0\n\n[Other]\nState=9\n"
      "[New]\nKey=v\n",
      host_test::ReadFile(file));
  write_file(file, "[Window]\r\nState=1\r\n[Other]\r\nA=b");
  ASSERT_TRUE(ProfileWriteString(file.c_str(), "Window", "State", "3"));
  ASSERT_TRUE(ProfileWriteString(file.c_str(), "Other", "C", "d"));
  EXPECT_EQ("[Window]\r\nState=3\r\n[Other]\r\nA=b\r\nC=d\r\n", host_test::ReadFile(file));
  // Written through a temporary file, which does not stay behind.
  int entries = 0;
  DIR* listing = opendir(dir.path.c_str());
  while (readdir(listing) != nullptr) ++entries;
  closedir(listing);
  EXPECT_EQ(3, entries);  // ".", ".." and a.ini
}

TEST(ProfileWriting, RefusesWhatWouldNotReadBackAndLeavesTheFileAlone) {
  host_test::TempDir dir;
  const std::string file = dir.file("a.ini");
  const std::string before = "[Window]\nState=1\n";
  // "Key=" and the value make the line; the reader takes lines of 4096 bytes.
  const std::string longest(4096 - 4, 'v');
  const struct {
    const char* section;
    const char* key;
    std::string value;
    bool stored;
  } cases[] = {
      {"Window", "Key", longest, true},        {"Window", "Key", longest + "v", false},
      {"Window", "State", "2\n[Evil]", false}, {"Win]dow", "State", "2", false},
      {"Window", "Sta=te", "2", false},        {"Window", "", "2", false},
      {"Window", "State", " 2", false},  // blanks and quotes would be read away
      {"Window", "State", "\"2\"", false},     {" Window", "State", "2", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.section) + "/" + c.key + "=" + c.value.substr(0, 10));
    write_file(file, before);
    EXPECT_EQ(c.stored, ProfileWriteString(file.c_str(), c.section, c.key, c.value.c_str()));
    if (c.stored) {
      EXPECT_EQ(c.value, read_key(file, c.section, c.key, "missing"));
    } else {
      EXPECT_EQ(before, host_test::ReadFile(file));
    }
  }
  // A file the writer cannot hold whole, or that would outgrow what the
  // reader scans, is never cut or grown past it.
  const std::string huge = "[Window]\nState=1\n" + std::string(kProfileMaxFileBytes, 'x') + "\n";
  write_file(file, huge);
  EXPECT_FALSE(ProfileWriteString(file.c_str(), "Window", "State", "2"));
  const std::string full = "[Window]\n" + std::string(kProfileMaxFileBytes - 20, ';') + "\n";
  write_file(file, full);
  EXPECT_FALSE(ProfileWriteString(file.c_str(), "Window", "Position", "50x50x1280x768"));
  EXPECT_TRUE(host_test::ReadFile(file) == full);
  std::string binary;
  for (int i = 0; i < 3000; ++i) binary += static_cast<char>((i * 91 + 7) % 256);
  write_file(file, binary);
  ASSERT_TRUE(ProfileWriteString(file.c_str(), "Window", "State", "2"));
  EXPECT_EQ(0, host_test::ReadFile(file).compare(0, binary.size(), binary));
  EXPECT_EQ("2", read_key(file, "Window", "State", "0"));
}

TEST(ProfileWriting, TouchesOnlyRegularFilesItMayWriteAndFollowsLinks) {
  host_test::TempDir dir;
  const struct {
    const char* make;  // shell commands in the directory; F is the settings file
    bool stored;
    const char* read_back;
  } cases[] = {
      {"printf '[Window]\\nState=1\\n' > F && chmod 444 F", false, "1"},  // read-only
      {"mkfifo F", false, "default"},
      {"mkdir F", false, "default"},
      {"ln -s T F", false, "default"},  // a dangling link
      {"printf '[Window]\\nState=1\\n' > T && ln -s T F", true, "2"},
  };
  const std::string file = dir.file("F");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.make);
    ASSERT_EQ(0, std::system(("cd " + dir.path + " && rm -rf F T && " + c.make).c_str()));
    struct stat before;
    lstat(file.c_str(), &before);
    // A FIFO used to block the writer and the reader for ever; the alarm
    // only ends such a run.
    alarm(30);
    EXPECT_EQ(c.stored, ProfileWriteString(file.c_str(), "Window", "State", "2"));
    EXPECT_EQ(c.read_back, read_key(file, "Window", "State", "default"));
    alarm(0);
    struct stat after;
    lstat(file.c_str(), &after);
    EXPECT_EQ(before.st_mode, after.st_mode);  // still a link, a FIFO, read-only
  }
  EXPECT_EQ("[Window]\nState=2\n",
            host_test::ReadFile(dir.file("T")));  // the last case: the link's file
}

TEST(ProfileWriting, WritersTakingTurnsLoseNoUpdate) {
  host_test::TempDir dir;
  const std::string file = dir.file("velkor.ini");
  std::vector<std::thread> writers;
  int failures[3] = {};
  for (int w = 0; w < 3; ++w) {
    writers.emplace_back([&, w] {
      const std::string key = "Key" + std::to_string(w);
      for (int i = 1; i <= 300; ++i) {
        if (!ProfileWriteString(file.c_str(), "Window", key.c_str(), std::to_string(i).c_str()))
          ++failures[w];
      }
    });
  }
  for (std::thread& writer : writers) writer.join();
  for (int w = 0; w < 3; ++w) {
    EXPECT_EQ(0, failures[w]);
    EXPECT_EQ("300", read_key(file, "Window", ("Key" + std::to_string(w)).c_str(), "missing"));
  }
}

TEST(WindowPreferences, ReadBackCorrectedOrTheDefaultsForWhatIsMissingOrInvalid) {
  const struct {
    const char* file;
    const char* rect;  // client x, y, width, height
    uint32_t state;
  } cases[] = {
      {"[Window]\nPosition=200x150x640x384\nState=2\n", "200,150,640,384", 2},
      {"", "50,50,1280,768", 0},
      {"[Window]\nPosition=0x0x1280x768\nState= 3x\n", "0,0,1280,768", 3},  // read as "%d" reads
      // Sizes the aspect and the native bound correct, as a resize would.
      {"[Window]\nPosition=10x10x800x800\n", "10,10,800,481", 0},
      {"[Window]\nPosition=10x10x3000x400\n", "10,10,1280,768", 0},
      {"[Window]\nPosition=10x10x4096x4096\n", "10,10,1280,768", 0},
      // A rejected position falls back to the default place as a whole.
      {"[Window]\nPosition=-1x50x1280x768\nState=7\n", "50,50,1280,768", 0},
      {"[Window]\nPosition=50x-1x1280x768\nState=-1\n", "50,50,1280,768", 0},
      {"[Window]\nPosition=10x20x4097x768\nState=\n", "50,50,1280,768", 0},  // beyond the bound
      {"[Window]\nPosition=10x20x1280x0\nState=x\n", "50,50,1280,768", 0},
      {"[Window]\nPosition=10x20x1280\nState=99999999999\n", "50,50,1280,768", 0},
      {"[Window]\nPosition=10,20,1280,768\n", "50,50,1280,768", 0},
      {"[Window]\nPosition=10x20x1280x99999999999\n", "50,50,1280,768", 0},
  };
  host_test::TempDir dir;
  host_test::StandIn stand_in;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    write_file(dir.file("velkor.ini"), c.file);
    Application* app = Application_Allocate(&stand_in.params, dir.file("velkor").c_str());
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
