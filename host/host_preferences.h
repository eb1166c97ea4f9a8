// Window preferences: a small settings file in the usual profile format
// ("[Section]" headers, "key=value" lines, ';' comments) that remembers where
// the window was, how large its client area was and its window state.
//
// Where the file lives: beside the executable, with the executable's own
// extension replaced by ".ini" (or ".ini" appended when the file name has
// none). When the executable's directory cannot be written, or the program
// is installed (under /usr or /opt, or in a bin folder), the file is
// $XDG_CONFIG_HOME/velkor/velkor.ini (default ~/.config/velkor/velkor.ini);
// reading looks beside the executable first and then there.
//
// Use:
//   char text[2048];
//   snprintf(text, sizeof text, "%d", 0);                      // the default
//   ReadPreference(exe_path, "Window", "State", text, 2048);   // may replace it
//   uint32_t state;
//   if (ParseWindowState(text, &state)) ...
//   WritePreference(exe_path, "Window", "State", "2");
//
// The profile reader is bounded: it scans at most kProfileMaxFileBytes of a
// file, lines of at most 4096 bytes, and copies at most the caller's buffer
// size, so a huge, binary or malformed file is read safely. It reads regular
// files only (a FIFO at the path would block it).
//
// The writer rewrites the file through a temporary file and a rename, keeping
// every other section, key and comment byte for byte, and the file's own
// permission. It refuses rather than reports success for anything the reader
// could not read back: a file larger than kProfileMaxFileBytes, a line over
// 4096 bytes, names or values that would read back differently. It touches
// regular files only: a read-only file (no write permission for anybody) is
// left alone, and a symbolic link stays a link while the file it points to
// is updated. Writers (threads or processes) take turns by an exclusive lock
// on the file's directory, so no update is lost.
//
// Threads: the first read runs on the main thread before the drawing thread
// starts; every later read and write runs on the drawing thread. Any thread or
// process may write at the same time.
#pragma once

#include <cstddef>
#include <cstdint>

enum {
  kProfileMaxPath = 4096,
  kProfileMaxFileBytes = 1 << 20,
  kPreferenceBufferChars = 2048,
  // Results of the preference calls for missing arguments; kept for callers
  // that compare against them.
  kPreferenceWriteNullArgument = 4144,
  kPreferenceReadNullArgument = 4160,
};

// The settings file beside the executable: everything from the last '.' of the
// file name (not of the directories) replaced by ".ini". False when exe_path
// is null or empty or the result does not fit.
bool PreferencesPathBesideExecutable(const char* exe_path, char* out, size_t out_size);

// $XDG_CONFIG_HOME/velkor/velkor.ini, or $HOME/.config/velkor/velkor.ini when
// XDG_CONFIG_HOME is unset or not absolute. False when neither is usable.
bool PreferencesFallbackPath(char* out, size_t out_size);

// The file to read: the one the settings are written to when it exists (so
// a read-only installation finds the fallback), else a file shipped beside a
// read-only executable, else false (nothing to read). False without an
// executable path.
bool PreferencesPathForReading(const char* exe_path, char* out, size_t out_size);

// The file to write: beside the executable when its directory is writable
// and not an installation's (under /usr or /opt, or a bin folder), else the
// fallback, whose directories are created. False without an
// executable path: nothing to name the settings after.
bool PreferencesPathForWriting(const char* exe_path, char* out, size_t out_size);

// Reads key of section from the profile at path into buffer (size in bytes,
// including the terminating NUL). Sections and keys are found
// case-insensitively; blanks around keys and values are ignored and a value
// in matching quotes loses them. When the file, the section or the key is
// missing the buffer keeps its text (the caller's default). Returns the
// number of characters now in the buffer, 0 when the file cannot be read.
size_t ProfileReadString(const char* path, const char* section, const char* key, char* buffer,
                         size_t buffer_size);

// Sets key of section to value in the profile at path, creating the file, the
// section or the key as needed and leaving everything else untouched. True
// when the file now holds the value; false when it was refused (see above) or
// could not be written.
bool ProfileWriteString(const char* path, const char* section, const char* key, const char* value);

// The preference calls of the host, on the settings file of the executable
// at exe_path (see above). WritePreference: kPreferenceWriteNullArgument for
// a null section, key or value; 0 when nothing could be written; 1 on
// success. ReadPreference: kPreferenceReadNullArgument for a null section or
// key; 0 when there is no file (the buffer keeps its default); otherwise the
// number of characters in the buffer.
uint64_t WritePreference(const char* exe_path, const char* section, const char* key,
                         const char* value);
uint64_t ReadPreference(const char* exe_path, const char* section, const char* key, char* buffer,
                        size_t buffer_chars);

// "State": one decimal number among 0, 1, 2, 3.
bool ParseWindowState(const char* text, uint32_t* out_state);
// "Position": "XxYxWxH" with x >= 0, y >= 0, 0 < width < 4097, 0 < height < 4097.
bool ParseWindowPosition(const char* text, int32_t* out_x, int32_t* out_y, int32_t* out_width,
                         int32_t* out_height);
