// Writing a file a user named (a snapshot, a state file) so that the output
// lands where the name points and is never left half written.
//
//   ApplicationOutput out;
//   if (!Application_BeginFileOutput("shot.png", &out)) ...  // cannot be written there
//   bool ok = fwrite(data, 1, size, out.file) == size;
//   if (!Application_EndFileOutput(&out, ok)) ...            // it did not reach its target
//
// What the name may point at, and what happens:
//   - nothing yet, or a regular file: the output goes into a temporary file
//     of its own beside it (a unique name, created exclusively, so never
//     through a link planted there), is flushed to the disk, and replaces the
//     name only when whole; an old file keeps its mode. On any failure (a
//     full disk included) the temporary file is removed and the old file is
//     left exactly as it was.
//   - a symbolic link: the same for the file it leads to (which it creates
//     when missing, its folder being there); the link stays a link.
//   - a FIFO, a terminal or another character device (/dev/null), or one of
//     the program's own descriptors (/dev/stdout, /dev/stderr, /dev/fd/N,
//     /proc/self/fd/N): written directly, in place, nothing replaced. A FIFO
//     waits for its reader.
//   - a folder, a block device, a socket: refused.
// End reports success only when every byte was handed to the target (and,
// for a regular file, flushed to the disk and put in place).
//
// Threads: any thread, one output per record.
#pragma once

#include <cstddef>
#include <cstdio>

struct ApplicationOutput {
  FILE* file = nullptr;  // where the caller writes
  // What End does with it: rename `temporary` over `target`, or nothing.
  bool replace = false;
  char target[4096] = "";
  char temporary[4160] = "";
};

bool Application_BeginFileOutput(const char* path, ApplicationOutput* out);
// Closes the output; `written` says whether the caller's own writes all
// went through. False when the output did not reach its target.
bool Application_EndFileOutput(ApplicationOutput* out, bool written);

// The whole of data as the file at path, by the rules above.
bool Application_WriteFile(const char* path, const void* data, size_t length);
