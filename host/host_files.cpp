// Output files a user named: replaced whole when regular, written in place
// when a FIFO, a device or one of the program's own descriptors.
#include "host/host_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>

namespace {

// The descriptor that a name of the program's own open files stands for
// (/dev/stdout, /dev/stderr, /dev/fd/N, /proc/self/fd/N); -1 for any other
// name. Writing through the descriptor itself keeps what the shell set up:
// its offset, its append mode, a pipe's other end.
int own_descriptor(const char* path) {
  if (strcmp(path, "/dev/stdout") == 0) return 1;
  if (strcmp(path, "/dev/stderr") == 0) return 2;
  for (const char* prefix : {"/dev/fd/", "/proc/self/fd/"}) {
    const size_t length = strlen(prefix);
    if (strncmp(path, prefix, length) != 0) continue;
    const char* digits = path + length;
    if (*digits < '0' || *digits > '9') return -1;
    char* end = nullptr;
    errno = 0;
    const long number = strtol(digits, &end, 10);
    return *end == '\0' && errno == 0 && number <= INT_MAX ? static_cast<int>(number) : -1;
  }
  return -1;
}

bool copy_text(char* out, size_t size, const char* text) {
  const size_t length = strlen(text);
  if (length + 1 > size) return false;
  memcpy(out, text, length + 1);
  return true;
}

// A new file beside target that nothing else uses: the process id, a
// counter and the clock make the name, O_EXCL settles a clash and never
// opens what already lies there (a planted link included). Its mode goes
// through the umask like any new file's.
int create_beside(const char* target, char* out, size_t size) {
  static unsigned counter = 0;
  for (int attempt = 0; attempt < 64; ++attempt) {
    timespec now = {};
    clock_gettime(CLOCK_REALTIME, &now);
    const int n = snprintf(out, size, "%s.%ld-%u-%lx", target, static_cast<long>(getpid()),
                           ++counter, static_cast<unsigned long>(now.tv_nsec));
    if (n < 0 || static_cast<size_t>(n) >= size) return -1;
    const int file = open(out, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (file >= 0 || errno != EEXIST) return file;
  }
  return -1;
}

// The directory part of path ("." when there is none) and the rest.
void split_path(const char* path, std::string* directory, std::string* name) {
  const char* slash = strrchr(path, '/');
  if (slash == nullptr) {
    *directory = ".";
    *name = path;
  } else {
    *directory = slash == path ? "/" : std::string(path, static_cast<size_t>(slash - path));
    *name = slash + 1;
  }
}

// Where a chain of links starting at path ends: the real path of the file
// it leads to, or of the file it would create (its folder must exist).
bool resolve_links(const char* path, char* out) {
  std::string current = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat info = {};
    if (lstat(current.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
      char link[PATH_MAX];
      const ssize_t length = readlink(current.c_str(), link, sizeof link - 1);
      if (length <= 0) return false;
      link[length] = '\0';
      std::string directory;
      std::string name;
      split_path(current.c_str(), &directory, &name);
      current = link[0] == '/' ? std::string(link) : directory + "/" + link;
      continue;
    }
    if (realpath(current.c_str(), out) != nullptr) return true;
    if (errno != ENOENT) return false;
    std::string directory;
    std::string name;
    split_path(current.c_str(), &directory, &name);
    char real_directory[PATH_MAX];
    if (name.empty() || realpath(directory.c_str(), real_directory) == nullptr) return false;
    const std::string joined = std::string(real_directory) + "/" + name;
    return copy_text(out, PATH_MAX, joined.c_str());
  }
  return false;
}

// Makes a rename in path's directory survive a power cut.
void sync_directory_of(const char* path) {
  char directory[4096];
  if (!copy_text(directory, sizeof directory, path)) return;
  char* slash = strrchr(directory, '/');
  if (slash == nullptr) {
    copy_text(directory, sizeof directory, ".");
  } else {
    slash[slash == directory ? 1 : 0] = '\0';
  }
  const int descriptor = open(directory, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (descriptor < 0) return;
  fsync(descriptor);
  close(descriptor);
}

bool attach(ApplicationOutput* out, int descriptor) {
  if (descriptor < 0) return false;
  out->file = fdopen(descriptor, "wb");
  if (out->file != nullptr) return true;
  close(descriptor);
  return false;
}

}  // namespace

bool Application_BeginFileOutput(const char* path, ApplicationOutput* out) {
  if (out == nullptr) return false;
  *out = ApplicationOutput();
  if (path == nullptr || path[0] == '\0') return false;
  const int own = own_descriptor(path);
  if (own >= 0) return attach(out, fcntl(own, F_DUPFD_CLOEXEC, 3));
  // A link is followed to the file it leads to, which is then written as if
  // named itself; the link stays as it is.
  char resolved[PATH_MAX];
  const char* target = path;
  struct stat info = {};
  if (lstat(path, &info) == 0 && S_ISLNK(info.st_mode)) {
    if (!resolve_links(path, resolved)) return false;
    target = resolved;
  }
  const bool exists = lstat(target, &info) == 0;
  if (!exists && errno != ENOENT) return false;
  if (exists && (S_ISFIFO(info.st_mode) || S_ISCHR(info.st_mode))) {
    const int descriptor = open(target, O_WRONLY | O_NOCTTY | O_CLOEXEC);
    struct stat opened = {};
    if (descriptor >= 0 && (fstat(descriptor, &opened) != 0 || S_ISREG(opened.st_mode))) {
      close(descriptor);  // something else lies there now
      return false;
    }
    return attach(out, descriptor);
  }
  if (exists && !S_ISREG(info.st_mode)) return false;
  // A file nobody may write is not replaced behind its owner's back.
  if (exists && ((info.st_mode & 0222) == 0 || access(target, W_OK) != 0)) return false;
  if (!copy_text(out->target, sizeof out->target, target)) return false;
  const int descriptor = create_beside(out->target, out->temporary, sizeof out->temporary);
  if (descriptor < 0) return false;
  if (exists && fchmod(descriptor, info.st_mode & 07777) != 0) {
    close(descriptor);
    unlink(out->temporary);
    return false;
  }
  if (!attach(out, descriptor)) {  // attach closed it
    unlink(out->temporary);
    return false;
  }
  out->replace = true;
  return true;
}

bool Application_EndFileOutput(ApplicationOutput* out, bool written) {
  if (out == nullptr || out->file == nullptr) return false;
  bool ok = written && fflush(out->file) == 0 && ferror(out->file) == 0;
  // A full disk may show only when the data goes to it.
  if (out->replace) ok = ok && fsync(fileno(out->file)) == 0;
  ok = fclose(out->file) == 0 && ok;
  out->file = nullptr;
  if (!out->replace) return ok;
  if (ok && rename(out->temporary, out->target) == 0) {
    sync_directory_of(out->target);
    return true;
  }
  unlink(out->temporary);
  return false;
}

bool Application_WriteFile(const char* path, const void* data, size_t length) {
  ApplicationOutput out;
  if (!Application_BeginFileOutput(path, &out)) return false;
  const bool written = length == 0 || fwrite(data, 1, length, out.file) == length;
  return Application_EndFileOutput(&out, written);
}
