// The settings file reader and writer on arbitrary file bytes, sections,
// keys and values: the input is split at 0 bytes into the file contents, a
// section, a key and a value. The file lives in a private temporary
// directory.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "host/host_preferences.h"

// A broken expectation: names the line of this file, then stops the run
// so that libFuzzer saves the input.
[[noreturn]] static void fuzz_fail(int line) {
  fprintf(stderr, "%s:%d: expectation failed\n", __FILE__, line);
  abort();
}

namespace {

// The settings file in a folder of its own, removed again when the fuzzer
// exits, so that runs do not leave folders behind in /tmp.
struct FuzzFolder {
  FuzzFolder() {
    char pattern[] = "/tmp/velkor-fuzz-preferences-XXXXXX";
    if (mkdtemp(pattern) == nullptr) fuzz_fail(__LINE__);
    dir = pattern;
    file = dir + "/velkor.ini";
  }
  ~FuzzFolder() {
    unlink(file.c_str());
    rmdir(dir.c_str());
  }
  std::string dir;
  std::string file;
};

const std::string& fuzz_file() {
  static FuzzFolder folder;
  return folder.file;
}

// The next 0-terminated piece of the input (the rest when none ends it).
std::string next_piece(const uint8_t* data, size_t size, size_t* at) {
  size_t start = *at;
  while (*at < size && data[*at] != 0) (*at)++;
  std::string piece(reinterpret_cast<const char*>(data) + start, *at - start);
  if (*at < size) (*at)++;
  return piece;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  size_t at = 0;
  std::string contents = next_piece(data, size, &at);
  std::string section = next_piece(data, size, &at);
  std::string key = next_piece(data, size, &at);
  std::string value = next_piece(data, size, &at);
  const std::string& path = fuzz_file();

  FILE* file = fopen(path.c_str(), "wb");
  if (file == nullptr) fuzz_fail(__LINE__);
  if (!contents.empty() && fwrite(contents.data(), 1, contents.size(), file) != contents.size())
    fuzz_fail(__LINE__);
  fclose(file);

  char buffer[64];
  size_t buffer_size = 1 + (section.size() % sizeof buffer);
  memset(buffer, 0x5A, sizeof buffer);
  buffer[0] = 0;  // the caller's default: empty
  size_t n = ProfileReadString(path.c_str(), section.c_str(), key.c_str(), buffer, buffer_size);
  if (n >= buffer_size || memchr(buffer, 0, buffer_size) == nullptr) fuzz_fail(__LINE__);

  // What the writer accepts, the reader must give back unchanged.
  if (ProfileWriteString(path.c_str(), section.c_str(), key.c_str(), value.c_str())) {
    static char back[8192];
    back[0] = 0;
    size_t got = ProfileReadString(path.c_str(), section.c_str(), key.c_str(), back, sizeof back);
    if (value.size() < sizeof back && (got != value.size() || value != back)) fuzz_fail(__LINE__);
  }

  uint32_t state;
  (void)ParseWindowState(value.c_str(), &state);
  int32_t x, y, w, h;
  (void)ParseWindowPosition(value.c_str(), &x, &y, &w, &h);
  return 0;
}
