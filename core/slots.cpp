// Program slot files: the 64 words of program memory as "slot1.csv" ..
// "slot10.csv" in the current directory. One line per word from 0xFFFE
// down: "FFFE;FF80;\"\"" and CR LF (the files are shared with Windows
// installations, which write them in text mode).
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/mycode.h"
#include "core/mycode_internal.h"

using namespace core_detail;

namespace {

void slot_file_name(char* out, size_t size, uint32_t slot) {
  snprintf(out, size, "slot%u.csv", slot + 1);
}

// ---- Saving -------------------------------------------------------------------------

// All of text to descriptor, through short writes and interruptions.
bool write_all(int descriptor, const char* text, size_t length) {
  while (length > 0) {
    ssize_t n = write(descriptor, text, length);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    text += n;
    length -= static_cast<size_t>(n);
  }
  return true;
}

// Makes a rename in the current directory survive a power cut.
void sync_current_directory() {
  int directory = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (directory < 0) return;
  fsync(directory);
  close(directory);
}

// The prefix of this machine's temporary files for `name`:
// "slot1.csv.HOST.", the host name cut to what a file name may hold.
void temporary_prefix(const char* name, char* out, size_t size) {
  char host[65] = "";
  if (gethostname(host, sizeof host - 1) != 0) host[0] = '\0';
  for (char* c = host; *c != '\0'; ++c) {
    if (*c == '/' || *c == '.') *c = '_';
  }
  snprintf(out, size, "%s.%s.", name, host);
}

// Creates a temporary file beside `name` that no other save can be using:
// "slot1.csv.HOST.PID-N-T", the host and process id telling programs apart,
// the counter the saves of one program, the clock a program that got a dead
// one's id. O_EXCL settles any clash and, with O_NOFOLLOW, never opens
// whatever already lies at the name (a planted link included). The mode goes
// through the umask like any new file's.
int create_temporary(const char* name, char* out, size_t size) {
  static unsigned counter = 0;
  char prefix[96];
  temporary_prefix(name, prefix, sizeof prefix);
  for (int attempt = 0; attempt < 64; ++attempt) {
    timespec now = {};
    clock_gettime(CLOCK_REALTIME, &now);
    snprintf(out, size, "%s%ld-%u-%lx", prefix, static_cast<long>(getpid()), ++counter,
             static_cast<unsigned long>(now.tv_nsec));
    const int file = open(out, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (file >= 0 || errno != EEXIST) return file;
  }
  return -1;
}

// A save killed halfway leaves its temporary file behind. The next save of
// the slot removes those that programs on this machine left and no longer
// run; a save still running elsewhere keeps its file.
void remove_leftovers(const char* name) {
  char prefix[96];
  temporary_prefix(name, prefix, sizeof prefix);
  const size_t length = strlen(prefix);
  DIR* directory = opendir(".");
  if (directory == nullptr) return;
  while (const dirent* entry = readdir(directory)) {
    if (strncmp(entry->d_name, prefix, length) != 0) continue;
    char* end = nullptr;
    const long pid = strtol(entry->d_name + length, &end, 10);
    struct stat info = {};
    if (pid <= 0 || *end != '-' || pid == getpid()) continue;
    if (kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;
    if (lstat(entry->d_name, &info) == 0 && S_ISREG(info.st_mode)) unlink(entry->d_name);
  }
  closedir(directory);
}

// ---- Loading ------------------------------------------------------------------------

// Lines of an open file through a small buffer, never more than
// kSlotFileMaxBytes of it in all.
struct LineReader {
  enum Kind { kRead, kEnd, kTooLong, kFailed };

  int file;
  char buffer[4096];
  size_t length = 0;
  size_t next = 0;
  size_t consumed = 0;
  bool failed = false;  // a read error
  bool over = false;    // the file runs on past kSlotFileMaxBytes

  explicit LineReader(int descriptor) : file(descriptor) {}

  // The next byte; -1 at the end of the file, on a read error or past the limit.
  int get() {
    if (next == length) {
      ssize_t n = -1;
      do {
        n = read(file, buffer, sizeof buffer);
      } while (n < 0 && errno == EINTR);
      failed = n < 0;
      if (n <= 0) return -1;
      length = static_cast<size_t>(n);
      next = 0;
    }
    if (consumed == kSlotFileMaxBytes) {
      over = true;
      return -1;
    }
    ++consumed;
    return static_cast<unsigned char>(buffer[next++]);
  }

  // One line without its LF into out (room for kSlotLineMaxChars + 2: a CR
  // and one character to tell a longer line).
  Kind line(char* out, size_t* out_length) {
    *out_length = 0;
    bool cut = false;
    int c = get();
    if (c < 0) return failed ? kFailed : over ? kTooLong : kEnd;
    for (; c >= 0 && c != '\n'; c = get()) {
      if (*out_length < kSlotLineMaxChars + 2) {
        out[(*out_length)++] = static_cast<char>(c);
      } else {
        cut = true;
      }
    }
    if (failed) return kFailed;
    return cut || over ? kTooLong : kRead;
  }
};

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Exactly four hex digits at text; false otherwise.
bool read_hex4(const char* text, size_t length, uint32_t* value) {
  if (length < 4) return false;
  *value = 0;
  for (size_t i = 0; i < 4; ++i) {
    const int digit = hex_digit(text[i]);
    if (digit < 0) return false;
    *value = (*value << 4) | static_cast<uint32_t>(digit);
  }
  return true;
}

// One line without its line end: its address and word, or what is wrong
// with it.
// `taken` marks the rows already loaded.
SlotLineProblem parse_line(const char* line, size_t length, uint64_t taken, uint32_t* address,
                           uint32_t* word) {
  if (!read_hex4(line, length, address) || length < 5 || line[4] != ';') {
    return kSlotLineAddressNotHex;
  }
  if (*address & 1) return kSlotLineAddressOdd;
  if (*address < 0xFF80) return kSlotLineAddressOutside;
  if (taken & (1ull << ((0xFFFE - *address) / 2))) return kSlotLineAddressRepeated;
  if (!read_hex4(line + 5, length - 5, word) || (length > 9 && line[9] != ';')) {
    return kSlotLineWordNotHex;
  }
  return kSlotLineFine;
}

void load_lines(int file, MemoryRow* rom, SlotLoadResult* result) {
  LineReader reader(file);
  char line[kSlotLineMaxChars + 2];
  uint64_t taken = 0;
  result->status = kSlotLoadComplete;
  for (int number = 1; result->words < kMemoryRowCount; ++number) {
    size_t length = 0;
    const LineReader::Kind kind = reader.line(line, &length);
    if (kind == LineReader::kEnd) return;
    const char* text = line;
    if (number == 1 && length >= 3 && memcmp(text, "\xef\xbb\xbf", 3) == 0) {
      text += 3;
      length -= 3;
    }
    if (length > 0 && text[length - 1] == '\r') --length;
    uint32_t address = 0;
    uint32_t word = 0;
    SlotLineProblem problem = kSlotLineFine;
    if (kind == LineReader::kFailed) {
      problem = kSlotLineReadError;
    } else if (kind == LineReader::kTooLong || length > kSlotLineMaxChars) {
      problem = kSlotLineTooLong;
    } else if (length == 0) {
      continue;  // words go by address: an empty line moves nothing
    } else {
      problem = parse_line(text, length, taken, &address, &word);
    }
    if (problem != kSlotLineFine) {
      *result = SlotLoadResult{kSlotLoadStopped, result->words, number, problem,
                               problem == kSlotLineAddressNotHex ? 0 : address};
      return;
    }
    const int row = static_cast<int>((0xFFFE - address) / 2);
    WriteWordToRow(&rom[row], word);
    taken |= 1ull << row;
    ++result->words;
  }
}

}  // namespace

int32_t ROMSaveSlot(const MemoryRow* rom, uint32_t slot) {
  if (rom == nullptr || slot >= kSlotFileCount) return 0;
  if (!RowsTerminated(rom)) return 0;
  char name[16];
  slot_file_name(name, sizeof name, slot);
  // A slot file's permissions are the user's: a file nobody may write is a
  // protected exercise (even root leaves it), any other keeps its mode.
  struct stat existing = {};
  const bool replacing = lstat(name, &existing) == 0 && S_ISREG(existing.st_mode);
  if (replacing && ((existing.st_mode & 0222) == 0 || access(name, W_OK) != 0)) return 0;
  char text[kMemoryRowCount * 14 + 1];
  size_t length = 0;
  for (int r = 0; r < kMemoryRowCount; ++r) {
    uint32_t address = 0xFFFE - 2u * static_cast<uint32_t>(r);
    uint32_t word = ReadWord(nullptr, rom, nullptr, address, kRadixHex);
    length += static_cast<size_t>(snprintf(text + length, sizeof text - length,
                                           "%04X;%04X;\"\"\r\n", address & 0xFFFF, word & 0xFFFF));
  }
  // Written in full beside the slot file, flushed to the disk, and only then
  // renamed over it: a save cut short at any point (a failed write, a killed
  // process, a power cut) leaves either the previous program or the new one,
  // never a mix.
  remove_leftovers(name);
  char temporary[160];
  const int file = create_temporary(name, temporary, sizeof temporary);
  if (file < 0) return 0;
  bool ok = !replacing || fchmod(file, existing.st_mode & 07777) == 0;
  ok = ok && write_all(file, text, length);
  ok = ok && fsync(file) == 0;
  ok = close(file) == 0 && ok;
  if (!ok || rename(temporary, name) != 0) {
    unlink(temporary);
    return 0;
  }
  sync_current_directory();
  return 1;
}

void ROMSave(const MemoryRow* rom, uint32_t slot) {
  ROMSaveSlot(rom, slot);
}

void ROMLoadFile(const char* path, MemoryRow* rom, SlotLoadResult* result) {
  SlotLoadResult scratch = {};
  if (result == nullptr) result = &scratch;
  *result = SlotLoadResult{kSlotLoadUnreadable, 0, 0, kSlotLineFine, 0};
  if (path == nullptr || rom == nullptr) return;
  // O_NONBLOCK: opening a FIFO must not wait for a writer; only a regular
  // file is read at all, so no read waits either.
  const int file = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (file < 0) return;
  struct stat info = {};
  if (fstat(file, &info) == 0 && S_ISREG(info.st_mode)) load_lines(file, rom, result);
  close(file);
}

void ROMLoadSlot(uint32_t slot, MemoryRow* rom, SlotLoadResult* result) {
  char name[16] = "";
  if (slot < kSlotFileCount) slot_file_name(name, sizeof name, slot);
  ROMLoadFile(slot < kSlotFileCount ? name : nullptr, rom, result);
}

void ROMLoad(uint32_t slot, MemoryRow* rom) {
  ROMLoadSlot(slot, rom, nullptr);
}
