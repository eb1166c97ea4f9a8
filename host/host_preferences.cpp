// The settings file: where it lives, a bounded profile reader and a writer that
// keeps everything it does not own.
#include "host/host_preferences.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Longest line the reader looks at; the rest of a longer line is skipped, so a
// binary file without line breaks costs one buffer, not its size.
constexpr size_t kLineBytes = 4096;

bool copy_text(char* out, size_t out_size, const char* text) {
  size_t length = strlen(text);
  if (length + 1 > out_size) return false;
  memcpy(out, text, length + 1);
  return true;
}

bool is_blank(char c) {
  return c == ' ' || c == '\t';
}

// Trims blanks from both ends of [*begin, *end).
void trim(const char** begin, const char** end) {
  while (*begin < *end && is_blank(**begin)) ++*begin;
  while (*end > *begin && (is_blank((*end)[-1]) || (*end)[-1] == '\r')) --*end;
}

bool equal_ignoring_case(const char* a, size_t a_length, const char* b) {
  size_t b_length = strlen(b);
  if (a_length != b_length) return false;
  for (size_t i = 0; i < a_length; ++i) {
    if (tolower(static_cast<unsigned char>(a[i])) != tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

// One line of a profile, classified. Works on byte ranges, so NUL bytes in a
// binary file are just characters that match nothing.
struct ProfileLine {
  enum Kind { kOther, kSection, kKey } kind;
  const char* name;  // section name or key, trimmed
  size_t name_length;
  const char* value;  // trimmed value (keys only)
  size_t value_length;
  const char* equals;  // the '=' of a key line
};

ProfileLine classify_line(const char* begin, const char* end) {
  ProfileLine line = {ProfileLine::kOther, nullptr, 0, nullptr, 0, nullptr};
  trim(&begin, &end);
  if (begin == end || *begin == ';') return line;
  if (*begin == '[') {
    const char* close =
        static_cast<const char*>(memchr(begin, ']', static_cast<size_t>(end - begin)));
    if (close == nullptr) return line;
    const char* name = begin + 1;
    const char* name_end = close;
    trim(&name, &name_end);
    line.kind = ProfileLine::kSection;
    line.name = name;
    line.name_length = static_cast<size_t>(name_end - name);
    return line;
  }
  const char* equals =
      static_cast<const char*>(memchr(begin, '=', static_cast<size_t>(end - begin)));
  if (equals == nullptr) return line;
  const char* key_end = equals;
  const char* key = begin;
  trim(&key, &key_end);
  const char* value = equals + 1;
  const char* value_end = end;
  trim(&value, &value_end);
  // A value in matching quotes is read without them.
  if (value_end - value >= 2 && (*value == '"' || *value == '\'') && value_end[-1] == *value) {
    ++value;
    --value_end;
  }
  line.kind = ProfileLine::kKey;
  line.name = key;
  line.name_length = static_cast<size_t>(key_end - key);
  line.value = value;
  line.value_length = static_cast<size_t>(value_end - value);
  line.equals = equals;
  return line;
}

bool file_exists(const char* path) {
  struct stat info;
  return stat(path, &info) == 0 && S_ISREG(info.st_mode);
}

// The directory part of path ("." when there is none).
bool directory_of(const char* path, char* out, size_t out_size) {
  const char* slash = strrchr(path, '/');
  if (slash == nullptr) return copy_text(out, out_size, ".");
  size_t length = slash == path ? 1 : static_cast<size_t>(slash - path);
  if (length + 1 > out_size) return false;
  memcpy(out, path, length);
  out[length] = '\0';
  return true;
}

// An installed program (by its package or `cmake --install`: under /usr or
// /opt, or in any bin folder such as ~/.local/bin) keeps its settings in the
// user's configuration folder even when it could write beside itself, as
// root can: those trees belong to the package manager, a file left there
// would outlive the package, and a bin folder holds programs, not settings.
// One run from its build folder keeps them beside itself.
bool installed(const char* exe_path) {
  if (strncmp(exe_path, "/usr/", 5) == 0 || strncmp(exe_path, "/opt/", 5) == 0) return true;
  const char* slash = strrchr(exe_path, '/');
  if (slash == nullptr || slash - exe_path < 4) return false;
  return strncmp(slash - 4, "/bin", 4) == 0;
}

bool directory_writable(const char* file_path) {
  char directory[kProfileMaxPath];
  if (!directory_of(file_path, directory, sizeof directory)) return false;
  struct stat info;
  if (stat(directory, &info) != 0 || !S_ISDIR(info.st_mode)) return false;
  return access(directory, W_OK | X_OK) == 0;
}

// Creates every missing directory on the way to the directory of file_path.
bool make_directories_for(const char* file_path) {
  char directory[kProfileMaxPath];
  if (!directory_of(file_path, directory, sizeof directory)) return false;
  for (char* p = directory + 1; *p != '\0'; ++p) {
    if (*p != '/') continue;
    *p = '\0';
    if (mkdir(directory, 0700) != 0 && errno != EEXIST) return false;
    *p = '/';
  }
  return mkdir(directory, 0700) == 0 || errno == EEXIST;
}

// Opens path for reading only when it is a regular file: a FIFO or a device
// at the settings path would block or never end. O_NONBLOCK keeps the open
// itself from waiting for a FIFO's writer. -1 with errno ENOENT when there is
// no such file.
int open_regular_file(const char* path) {
  const int descriptor = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (descriptor < 0) return -1;
  struct stat info;
  if (fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(descriptor);
    errno = EINVAL;
    return -1;
  }
  return descriptor;
}

// Reads the whole file into a new buffer (NUL-terminated for convenience).
// A missing file gives an empty buffer; a file above the size limit or one
// that cannot be read gives false, so that the writer never replaces content
// it has not seen in full.
bool read_whole_file(const char* path, char** out_data, size_t* out_length) {
  *out_data = nullptr;
  *out_length = 0;
  const int descriptor = open_regular_file(path);
  if (descriptor < 0) {
    if (errno != ENOENT) return false;
    *out_data = static_cast<char*>(calloc(1, 1));
    return *out_data != nullptr;
  }
  char* data = static_cast<char*>(malloc(kProfileMaxFileBytes + 1));
  size_t length = 0;
  bool failed = data == nullptr;
  while (!failed && length < kProfileMaxFileBytes + 1) {
    const ssize_t n = read(descriptor, data + length, kProfileMaxFileBytes + 1 - length);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      failed = n < 0;
      break;
    }
    length += static_cast<size_t>(n);
  }
  close(descriptor);
  if (failed || length > kProfileMaxFileBytes) {
    free(data);
    return false;
  }
  data[length] = '\0';
  *out_data = data;
  *out_length = length;
  return true;
}

// The file the settings really live in: path itself, or the file a symbolic
// link at path points to (the link stays a link). False when path is
// something else than a regular file or a link to one, or when the file may
// not be written: no write permission for us, or none for anybody (which
// even root respects here).
bool resolve_writable_target(const char* path, char* out, size_t out_size) {
  struct stat info;
  if (lstat(path, &info) != 0) return errno == ENOENT && copy_text(out, out_size, path);
  if (S_ISLNK(info.st_mode)) {
    char resolved[PATH_MAX];
    if (realpath(path, resolved) == nullptr || stat(resolved, &info) != 0) return false;
    if (!copy_text(out, out_size, resolved)) return false;
  } else if (!copy_text(out, out_size, path)) {
    return false;
  }
  if (!S_ISREG(info.st_mode)) return false;
  return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0 && access(out, W_OK) == 0;
}

// Holds an exclusive lock on the directory of a settings file, so that two
// writers never read the same old content and one of them lose its update.
// The file itself cannot carry the lock: each write replaces it by a rename.
struct DirectoryLock {
  int descriptor = -1;
  explicit DirectoryLock(const char* file_path) {
    char directory[kProfileMaxPath];
    if (!directory_of(file_path, directory, sizeof directory)) return;
    descriptor = open(directory, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) return;
    while (flock(descriptor, LOCK_EX) != 0) {
      if (errno == EINTR) continue;
      close(descriptor);
      descriptor = -1;
      return;
    }
  }
  ~DirectoryLock() {
    if (descriptor >= 0) close(descriptor);  // closing releases the lock
  }
  bool held() const { return descriptor >= 0; }
};

// Writes data to a temporary file beside path and renames it over path, so
// that a failure or a kill at any point leaves the old file as it was or the
// new one complete. A killed writer may leave its "path.XXXXXX" behind; every
// write takes a fresh name, so such a leftover never blocks one.
bool replace_file(const char* path, const char* data, size_t length) {
  char temporary[kProfileMaxPath];
  int written = snprintf(temporary, sizeof temporary, "%s.XXXXXX", path);
  if (written < 0 || static_cast<size_t>(written) >= sizeof temporary) return false;
  int descriptor = mkstemp(temporary);
  if (descriptor < 0) return false;
  struct stat info;
  const mode_t mode = stat(path, &info) == 0 ? (info.st_mode & 07777) : 0644;
  if (fchmod(descriptor, mode) != 0) {
    close(descriptor);
    unlink(temporary);
    return false;
  }
  size_t done = 0;
  while (done < length) {
    ssize_t n = write(descriptor, data + done, length - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  // No fsync: the window writes its settings on every move, and a flush per
  // write would stall it for the disk each time. A kill at any point still
  // leaves the old file or the new one whole; a power cut at worst loses the
  // latest position, or leaves a file the bounded reader reads as defaults.
  bool ok = done == length;
  ok = close(descriptor) == 0 && ok;
  if (ok && rename(temporary, path) == 0) return true;
  unlink(temporary);
  return false;
}

bool has_line_break(const char* text) {
  return strchr(text, '\n') != nullptr || strchr(text, '\r') != nullptr;
}

// Text the reader would return changed: blanks at either end are trimmed
// away, and a value in matching quotes loses them.
bool changes_when_read(const char* text, bool is_value) {
  const size_t length = strlen(text);
  if (length == 0) return false;
  if (is_blank(text[0]) || is_blank(text[length - 1])) return true;
  return is_value && length >= 2 && (text[0] == '"' || text[0] == '\'') &&
         text[length - 1] == text[0];
}

// Appends bytes to an output buffer whose capacity the caller has sized.
struct Output {
  char* data;
  size_t length;
  void Add(const char* bytes, size_t count) {
    memcpy(data + length, bytes, count);
    length += count;
  }
  void Add(const char* text) { Add(text, strlen(text)); }
};

// A decimal number as "%d" reads it: leading white space, an optional sign,
// digits. Numbers outside the range of int are rejected instead of wrapping.
bool read_decimal(const char** cursor, int32_t* out) {
  const char* p = *cursor;
  while (isspace(static_cast<unsigned char>(*p))) ++p;
  const char* digits = p;
  if (*digits == '+' || *digits == '-') ++digits;
  if (!isdigit(static_cast<unsigned char>(*digits))) return false;
  errno = 0;
  char* end = nullptr;
  long value = strtol(p, &end, 10);
  if (errno == ERANGE || value < INT32_MIN || value > INT32_MAX) return false;
  *out = static_cast<int32_t>(value);
  *cursor = end;
  return true;
}

}  // namespace

bool PreferencesPathBesideExecutable(const char* exe_path, char* out, size_t out_size) {
  if (exe_path == nullptr || exe_path[0] == '\0' || out == nullptr) return false;
  const char* slash = strrchr(exe_path, '/');
  const char* name = slash == nullptr ? exe_path : slash + 1;
  if (name[0] == '\0') return false;
  // Only the file name's own extension is replaced: a dot in a directory name
  // ("~/.local/bin/velkor") must not cut the path, and a leading dot marks a
  // hidden file rather than an extension.
  const char* dot = strrchr(name, '.');
  size_t keep =
      (dot == nullptr || dot == name) ? strlen(exe_path) : static_cast<size_t>(dot - exe_path);
  if (keep + sizeof ".ini" > out_size) return false;
  memcpy(out, exe_path, keep);
  memcpy(out + keep, ".ini", sizeof ".ini");
  return true;
}

bool PreferencesFallbackPath(char* out, size_t out_size) {
  if (out == nullptr) return false;
  const char* config = getenv("XDG_CONFIG_HOME");
  int written;
  if (config != nullptr && config[0] == '/') {
    written = snprintf(out, out_size, "%s/velkor/velkor.ini", config);
  } else {
    const char* home = getenv("HOME");
    if (home == nullptr || home[0] != '/') return false;
    written = snprintf(out, out_size, "%s/.config/velkor/velkor.ini", home);
  }
  return written > 0 && static_cast<size_t>(written) < out_size;
}

bool PreferencesPathForReading(const char* exe_path, char* out, size_t out_size) {
  char beside[kProfileMaxPath];
  char fallback[kProfileMaxPath];
  if (!PreferencesPathBesideExecutable(exe_path, beside, sizeof beside)) return false;
  // Read where the settings are written, so that a read-only installation
  // finds what the last run stored in the fallback; a file shipped beside a
  // read-only executable still serves until then.
  const bool beside_exists = file_exists(beside);
  if (beside_exists && !installed(beside) && directory_writable(beside)) {
    return copy_text(out, out_size, beside);
  }
  if (PreferencesFallbackPath(fallback, sizeof fallback) && file_exists(fallback)) {
    return copy_text(out, out_size, fallback);
  }
  return beside_exists && copy_text(out, out_size, beside);
}

bool PreferencesPathForWriting(const char* exe_path, char* out, size_t out_size) {
  // Without an executable there is nothing to name the settings after.
  char beside[kProfileMaxPath];
  if (!PreferencesPathBesideExecutable(exe_path, beside, sizeof beside)) return false;
  if (!installed(beside) && directory_writable(beside)) {
    return copy_text(out, out_size, beside);
  }
  char fallback[kProfileMaxPath];
  if (!PreferencesFallbackPath(fallback, sizeof fallback)) return false;
  if (!make_directories_for(fallback)) return false;
  return copy_text(out, out_size, fallback);
}

size_t ProfileReadString(const char* path, const char* section, const char* key, char* buffer,
                         size_t buffer_size) {
  if (path == nullptr || section == nullptr || key == nullptr || buffer == nullptr ||
      buffer_size == 0)
    return 0;
  const int descriptor = open_regular_file(path);
  if (descriptor < 0) return 0;
  FILE* file = fdopen(descriptor, "rb");
  if (file == nullptr) {
    close(descriptor);
    return 0;
  }
  char line[kLineBytes];
  size_t scanned = 0;
  bool in_section = false;
  bool found = false;
  while (!found && scanned < kProfileMaxFileBytes) {
    // One line, cut at kLineBytes; the rest of an overlong line is skipped.
    size_t length = 0;
    int c = EOF;
    while (scanned < kProfileMaxFileBytes && (c = getc(file)) != EOF && c != '\n') {
      ++scanned;
      if (length < sizeof line) line[length++] = static_cast<char>(c);
    }
    ++scanned;
    ProfileLine parsed = classify_line(line, line + length);
    if (parsed.kind == ProfileLine::kSection) {
      in_section = equal_ignoring_case(parsed.name, parsed.name_length, section);
    } else if (parsed.kind == ProfileLine::kKey && in_section &&
               equal_ignoring_case(parsed.name, parsed.name_length, key)) {
      size_t count = parsed.value_length < buffer_size - 1 ? parsed.value_length : buffer_size - 1;
      memcpy(buffer, parsed.value, count);
      buffer[count] = '\0';
      found = true;
    }
    if (c == EOF) break;
  }
  fclose(file);
  return strnlen(buffer, buffer_size);
}

bool ProfileWriteString(const char* path, const char* section, const char* key, const char* value) {
  if (path == nullptr || section == nullptr || key == nullptr || value == nullptr) return false;
  // Names and values that would break the line format are refused rather
  // than written as something that reads back differently.
  if (has_line_break(section) || has_line_break(key) || has_line_break(value) ||
      strchr(section, ']') != nullptr || strchr(key, '=') != nullptr || key[0] == '\0' ||
      key[0] == '[' || key[0] == ';' || changes_when_read(section, false) ||
      changes_when_read(key, false) || changes_when_read(value, true)) {
    return false;
  }
  char target[kProfileMaxPath];
  if (!resolve_writable_target(path, target, sizeof target)) return false;
  DirectoryLock lock(target);
  if (!lock.held()) return false;
  char* old_data = nullptr;
  size_t old_length = 0;
  if (!read_whole_file(target, &old_data, &old_length)) return false;

  const char* newline = strstr(old_data, "\r\n") != nullptr ? "\r\n" : "\n";
  // Where the key line is, or where a new key goes (after the last non-empty
  // line of the first matching section); SIZE_MAX when not found.
  size_t key_begin = SIZE_MAX, key_end = SIZE_MAX, equals_at = SIZE_MAX;
  size_t section_insert = SIZE_MAX;
  bool in_section = false;
  bool seen_section = false;
  for (size_t begin = 0; begin < old_length;) {
    const char* line_end =
        static_cast<const char*>(memchr(old_data + begin, '\n', old_length - begin));
    size_t end = line_end == nullptr ? old_length : static_cast<size_t>(line_end - old_data);
    size_t next = line_end == nullptr ? old_length : end + 1;
    ProfileLine parsed = classify_line(old_data + begin, old_data + end);
    if (parsed.kind == ProfileLine::kSection) {
      in_section = !seen_section && equal_ignoring_case(parsed.name, parsed.name_length, section);
      if (in_section) {
        seen_section = true;
        section_insert = next;
      }
    } else if (in_section) {
      if (parsed.kind == ProfileLine::kKey &&
          equal_ignoring_case(parsed.name, parsed.name_length, key)) {
        key_begin = begin;
        key_end = end;
        equals_at = static_cast<size_t>(parsed.equals - old_data);
        break;
      }
      const char* b = old_data + begin;
      const char* e = old_data + end;
      trim(&b, &e);
      if (b != e) section_insert = next;
    }
    begin = next;
  }

  size_t capacity = old_length + strlen(section) + strlen(key) + strlen(value) + 16;
  Output out = {static_cast<char*>(malloc(capacity)), 0};
  if (out.data == nullptr) {
    free(old_data);
    return false;
  }
  if (key_begin != SIZE_MAX) {
    // Keep the key as it is spelt in the file and the line's own ending.
    size_t keep_end = key_end > key_begin && old_data[key_end - 1] == '\r' ? key_end - 1 : key_end;
    out.Add(old_data, equals_at + 1);
    out.Add(value);
    out.Add(old_data + keep_end, old_length - keep_end);
  } else if (section_insert != SIZE_MAX) {
    out.Add(old_data, section_insert);
    if (section_insert > 0 && old_data[section_insert - 1] != '\n') out.Add(newline);
    out.Add(key);
    out.Add("=");
    out.Add(value);
    out.Add(newline);
    out.Add(old_data + section_insert, old_length - section_insert);
  } else {
    out.Add(old_data, old_length);
    if (old_length > 0 && old_data[old_length - 1] != '\n') out.Add(newline);
    out.Add("[");
    out.Add(section);
    out.Add("]");
    out.Add(newline);
    out.Add(key);
    out.Add("=");
    out.Add(value);
    out.Add(newline);
  }
  // A line or a file longer than the reader takes in would read back as
  // missing: refused rather than reported as stored.
  const size_t line_length = strlen(value) + strlen(newline) - 1 +
                             (key_begin != SIZE_MAX ? equals_at + 1 - key_begin : strlen(key) + 1);
  const size_t header_length = strlen(section) + 2 + strlen(newline) - 1;
  const bool readable = line_length <= kLineBytes && header_length <= kLineBytes &&
                        out.length <= kProfileMaxFileBytes;
  const bool unchanged = out.length == old_length && memcmp(out.data, old_data, old_length) == 0 &&
                         file_exists(target);
  const bool ok = readable && (unchanged || replace_file(target, out.data, out.length));
  free(out.data);
  free(old_data);
  return ok;
}

uint64_t WritePreference(const char* exe_path, const char* section, const char* key,
                         const char* value) {
  if (section == nullptr || key == nullptr || value == nullptr) return kPreferenceWriteNullArgument;
  char path[kProfileMaxPath];
  if (!PreferencesPathForWriting(exe_path, path, sizeof path)) return 0;
  return ProfileWriteString(path, section, key, value) ? 1 : 0;
}

uint64_t ReadPreference(const char* exe_path, const char* section, const char* key, char* buffer,
                        size_t buffer_chars) {
  if (section == nullptr || key == nullptr) return kPreferenceReadNullArgument;
  if (buffer == nullptr || buffer_chars == 0) return 0;
  char path[kProfileMaxPath];
  if (!PreferencesPathForReading(exe_path, path, sizeof path)) return 0;
  return ProfileReadString(path, section, key, buffer, buffer_chars);
}

bool ParseWindowState(const char* text, uint32_t* out_state) {
  if (text == nullptr || out_state == nullptr) return false;
  int32_t value = 0;
  if (!read_decimal(&text, &value) || value < 0 || value > 3) return false;
  *out_state = static_cast<uint32_t>(value);
  return true;
}

bool ParseWindowPosition(const char* text, int32_t* out_x, int32_t* out_y, int32_t* out_width,
                         int32_t* out_height) {
  if (text == nullptr || out_x == nullptr || out_y == nullptr || out_width == nullptr ||
      out_height == nullptr) {
    return false;
  }
  int32_t values[4];
  for (int i = 0; i < 4; ++i) {
    if (i > 0) {
      if (*text != 'x') return false;
      ++text;
    }
    if (!read_decimal(&text, &values[i])) return false;
  }
  if (values[0] < 0 || values[1] < 0) return false;
  if (values[2] <= 0 || values[2] >= 4097 || values[3] <= 0 || values[3] >= 4097) return false;
  *out_x = values[0];
  *out_y = values[1];
  *out_width = values[2];
  *out_height = values[3];
  return true;
}
