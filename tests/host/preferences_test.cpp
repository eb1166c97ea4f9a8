// The settings file: name and place, the bounded reader, the writer, and the
// window preferences read back with their validation.
#include "host/host_preferences.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <atomic>
#include <filesystem>
#include <thread>

#include "tests/host/stand_in_layer.h"

namespace {

void write_file(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

std::string read_key(const std::string& path, const char* section, const char* key,
                     const char* fallback = "default") {
  char buffer[8192];
  snprintf(buffer, sizeof buffer, "%s", fallback);
  ProfileReadString(path.c_str(), section, key, buffer, sizeof buffer);
  return buffer;
}

TEST(SettingsPlace, BesideAWritableExecutableElseTheXdgFallbackWhichIsReadToo) {
  host_test::TempDir dir;
  setenv("XDG_CONFIG_HOME", dir.file("config").c_str(), 1);
  EXPECT_EQ(1u, WritePreference(dir.file("velkor").c_str(), "Window", "State", "2"));
  EXPECT_EQ("[Window]\nState=2\n", host_test::ReadFile(dir.file("velkor.ini")));
  EXPECT_NE(0, access(dir.file("config").c_str(), F_OK));
  // A directory that does not exist cannot be written, even by root.
  const std::string exe = dir.file("missing/bin/velkor");
  char text[64] = "";
  EXPECT_EQ(0u, ReadPreference(exe.c_str(), "Window", "Position", text, sizeof text));
  EXPECT_EQ(1u, WritePreference(exe.c_str(), "Window", "Position", "10x20x640x384"));
  EXPECT_EQ("[Window]\nPosition=10x20x640x384\n",
            host_test::ReadFile(dir.file("config/velkor/velkor.ini")));
  EXPECT_EQ(13u, ReadPreference(exe.c_str(), "Window", "Position", text, sizeof text));
  EXPECT_EQ(std::string("10x20x640x384"), text);
  EXPECT_EQ(0u, WritePreference(nullptr, "Window", "State", "1"));  // nothing to name it after
  // An installed program never writes beside itself, even run by root, who
  // could: /usr and /opt belong to the package manager, and a settings file
  // there would outlive the package. Nor does one in any bin folder, such
  // as ~/.local/bin, which holds programs, not settings.
  mkdir(dir.file("local").c_str(), 0700);
  mkdir(dir.file("local/bin").c_str(), 0700);
  const std::string user_installed = dir.file("local/bin/velkor");
  for (const char* installed : {"/usr/bin/velkor", "/usr/games/velkor", "/usr/local/bin/velkor",
                                "/opt/velkor/velkor", user_installed.c_str()}) {
    char place[kProfileMaxPath] = "";
    EXPECT_TRUE(PreferencesPathForWriting(installed, place, sizeof place)) << installed;
    EXPECT_EQ(dir.file("config/velkor/velkor.ini"), place) << installed;
  }
  unsetenv("XDG_CONFIG_HOME");
  // The executable's own extension is replaced; a name without room is refused, not cut.
  char name[32] = "";
  EXPECT_TRUE(PreferencesPathBesideExecutable("/opt/velkor/velkor.bin", name, sizeof name));
  EXPECT_EQ(std::string("/opt/velkor/velkor.ini"), name);
  EXPECT_FALSE(PreferencesPathBesideExecutable("/usr/bin/a_name_longer_than_its_room", name, 32));
}

// Binary, overlong and huge files are read safely; a write keeps every other
// section, key, comment and line ending as it was.
TEST(ProfileFile, ReadSafelyAndWrittenKeepingWhatItDoesNotOwn) {
  host_test::TempDir dir;
  const std::string file = dir.file("a.ini");
  std::string binary;
  for (int i = 0; i < 20000; ++i) binary += static_cast<char>((i * 37) % 256);
  write_file(file, binary + std::string(3, '\0') + "\n" + std::string(50000, '[') +
                       "\n[Window]\nState=3\n");
  EXPECT_EQ("3", read_key(file, "Window", "State"));
  std::string filler(kProfileMaxFileBytes + 4096, ';');
  for (size_t i = 80; i < filler.size(); i += 80) filler[i] = '\n';
  write_file(file, "[Window]\nState=1\n" + filler + "\n[Window]\nPosition=1x1x1x1\n");
  EXPECT_EQ("1", read_key(file, "Window", "State"));
  EXPECT_EQ("default", read_key(file, "Window", "Position"));  // beyond the limit
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
  using std::filesystem::directory_iterator;
  EXPECT_EQ(1, std::distance(directory_iterator(dir.path), directory_iterator()));
}

// Refused, the file left alone: what would not read back as written, and all
// but a regular file it may write (a FIFO used to block for ever); links followed.
TEST(ProfileWriting, RefusesWhatWouldNotReadBackAndLeavesTheFileAlone) {
  host_test::TempDir dir;
  const std::string file = dir.file("F");
  const std::string longest(4096 - 4, 'v');  // with "Key=", the longest line the reader takes
  const std::string state = "printf '[Window]\\nState=1\\n' > ";
  const struct {
    std::string make;  // shell commands in the directory; F is the settings file
    const char* section;
    const char* key;
    std::string value;
    bool stored;
  } cases[] = {
      {state + "F", "Window", "Key", longest, true},
      {state + "F", "Window", "Key", longest + "v", false},
      {state + "F", "Window", "State", "2\n[Evil]", false},
      {state + "F", "Win]dow", "State", "2", false},
      {state + "F", "Window", "Sta=te", "2", false},
      {state + "F", "Window", "", "2", false},
      {state + "F", "Window", "State", " 2", false},
      {state + "F", "Window", "State", "\"2\"", false},
      {state + "F", " Window", "State", "2", false},
      {state + "F && chmod 444 F", "Window", "State", "2", false},
      {"mkfifo F", "Window", "State", "2", false},
      {"mkdir F", "Window", "State", "2", false},
      {"ln -s T F", "Window", "State", "2", false},
      {state + "T && ln -s T F", "Window", "State", "2", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.make + ": " + c.section + "/" + c.key + "=" + c.value.substr(0, 10));
    ASSERT_EQ(0, std::system(("cd " + dir.path + " && rm -rf F T && " + c.make).c_str()));
    struct stat before, after;
    lstat(file.c_str(), &before);
    const std::string content = S_ISREG(before.st_mode) ? host_test::ReadFile(file) : "";
    alarm(30);  // ends a run that would block for ever
    EXPECT_EQ(c.stored, ProfileWriteString(file.c_str(), c.section, c.key, c.value.c_str()));
    const std::string read_back = read_key(file, c.section, c.key);
    alarm(0);
    // Stored: read back as written; refused: a regular file unchanged.
    const std::string now = S_ISREG(before.st_mode) ? host_test::ReadFile(file) : "";
    EXPECT_EQ(c.stored ? c.value : content, c.stored ? read_back : now);
    lstat(file.c_str(), &after);
    EXPECT_EQ(before.st_mode, after.st_mode);  // still a link, a FIFO, read-only
  }
  EXPECT_EQ("[Window]\nState=2\n", host_test::ReadFile(dir.file("T")));  // the link's file
  // Never cut or grown past what the reader scans; a binary file is kept.
  for (const std::string& big :
       {"[Window]\nState=1\n" + std::string(kProfileMaxFileBytes, 'x') + "\n",
        "[Window]\n" + std::string(kProfileMaxFileBytes - 20, ';') + "\n"}) {
    write_file(file, big);
    EXPECT_FALSE(ProfileWriteString(file.c_str(), "Window", "Position", "50x50x1280x768"));
    EXPECT_TRUE(host_test::ReadFile(file) == big);
  }
  std::string binary;
  for (int i = 0; i < 3000; ++i) binary += static_cast<char>((i * 91 + 7) % 256);
  write_file(file, binary);
  ASSERT_TRUE(ProfileWriteString(file.c_str(), "Window", "State", "2"));
  EXPECT_EQ(0, host_test::ReadFile(file).compare(0, binary.size(), binary));
  EXPECT_EQ("2", read_key(file, "Window", "State"));
}

TEST(ProfileWriting, WritersTakingTurnsLoseNoUpdate) {
  host_test::TempDir dir;
  const std::string file = dir.file("velkor.ini");
  std::atomic<int> failures{0};
  std::vector<std::thread> writers;
  for (const char* key : {"Key0", "Key1", "Key2"}) {
    writers.emplace_back([&, key] {
      for (int i = 1; i <= 300; ++i) {
        failures += !ProfileWriteString(file.c_str(), "Window", key, std::to_string(i).c_str());
      }
    });
  }
  for (std::thread& writer : writers) writer.join();
  EXPECT_EQ(0, failures.load());
  for (const char* key : {"Key0", "Key1", "Key2"}) EXPECT_EQ("300", read_key(file, "Window", key));
}

TEST(WindowPreferences, ReadBackCorrectedOrTheDefaultsForWhatIsMissingOrInvalid) {
  const char* const cases[][3] = {
      // The file's [Window] lines; client x, y, width, height; the state.
      {"Position=200x150x640x384\nState=2", "200,150,640,384", "2"},
      {"", "50,50,1280,768", "0"},
      {"Position=0x0x1280x768\nState= 3x", "0,0,1280,768", "3"},  // read as "%d" reads
      // Sizes the aspect and the native bound correct, as a resize would.
      {"Position=10x10x800x800", "10,10,800,481", "0"},
      {"Position=10x10x4096x4096", "10,10,1280,768", "0"},
      // A rejected position falls back to the default place as a whole.
      {"Position=-1x50x1280x768\nState=7", "50,50,1280,768", "0"},
      {"Position=50x-1x1280x768\nState=-1", "50,50,1280,768", "0"},
      {"Position=10x20x4097x768\nState=", "50,50,1280,768", "0"},  // beyond the bound
      {"Position=10x20x1280x0\nState=x", "50,50,1280,768", "0"},
      {"Position=10x20x1280\nState=99999999999", "50,50,1280,768", "0"},
      {"Position=10x20x1280x99999999999", "50,50,1280,768", "0"},
  };
  host_test::TempDir dir;
  host_test::StandIn stand_in;
  for (const auto& c : cases) {
    SCOPED_TRACE(c[0]);
    write_file(dir.file("velkor.ini"), std::string("[Window]\n") + c[0] + "\n");
    Application* app = Application_Allocate(&stand_in.params, dir.file("velkor").c_str());
    ASSERT_NE(nullptr, app);
    Application_UseNativeGeometry(app);
    ReadWindowPref(app);
    const int32_t* r = app->client_rect;
    EXPECT_EQ(c[1], std::to_string(r[0]) + "," + std::to_string(r[1]) + "," + std::to_string(r[2]) +
                        "," + std::to_string(r[3]));
    EXPECT_EQ(c[2], std::to_string(app->window_state.load()));
    Application_Free(app);
  }
}

}  // namespace
