// velkor-manpage: runs a built program with --help and writes its manual
// page (tools/manpage.h says how the help text is read). Build-time only.
//
//   velkor-manpage --program build/app/velkor --name velkor --section 1
//                  --summary "..." --source "Velkor 1.0" [--date DATE]
//                  [--extra FILES.txt] --out velkor.1
//
// A program whose --help fails (non-zero exit, a crash, no text) stops the
// build: a page made from an error message must never be installed.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "tools/manpage.h"

namespace {

// The program's standard output for --help; false when it could not be run
// or did not end with status 0.
bool help_text_of(const std::string& program, std::string* out) {
  int pipe_ends[2];
  if (pipe(pipe_ends) != 0) return false;
  const pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    dup2(pipe_ends[1], STDOUT_FILENO);
    close(pipe_ends[0]);
    close(pipe_ends[1]);
    execl(program.c_str(), program.c_str(), "--help", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(pipe_ends[1]);
  char buffer[4096];
  ssize_t n;
  while ((n = read(pipe_ends[0], buffer, sizeof buffer)) > 0) out->append(buffer, n);
  close(pipe_ends[0]);
  int status = 0;
  if (waitpid(child, &status, 0) != child) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 && !out->empty();
}

bool read_file(const std::string& path, std::string* out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::stringstream text;
  text << in.rdbuf();
  *out = text.str();
  return true;
}

int usage() {
  fprintf(stderr,
          "usage: velkor-manpage --program PATH --name NAME --section N --summary TEXT\n"
          "                      --source TEXT [--date DATE] [--extra FILE] --out FILE\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  ManPageInfo info;
  std::string program, extra_path, out_path;
  for (int i = 1; i < argc; ++i) {
    if (i + 1 >= argc) return usage();
    const std::string option = argv[i];
    const std::string value = argv[++i];
    if (option == "--program") {
      program = value;
    } else if (option == "--name") {
      info.name = value;
    } else if (option == "--section") {
      info.section = value;
    } else if (option == "--summary") {
      info.summary = value;
    } else if (option == "--source") {
      info.source = value;
    } else if (option == "--date") {
      info.date = value;
    } else if (option == "--extra") {
      extra_path = value;
    } else if (option == "--out") {
      out_path = value;
    } else {
      return usage();
    }
  }
  if (program.empty() || info.name.empty() || info.section.empty() || out_path.empty()) {
    return usage();
  }
  std::string help, extra;
  if (!help_text_of(program, &help)) {
    fprintf(stderr, "velkor-manpage: \"%s --help\" failed or printed nothing\n", program.c_str());
    return 1;
  }
  if (!extra_path.empty() && !read_file(extra_path, &extra)) {
    fprintf(stderr, "velkor-manpage: cannot read %s\n", extra_path.c_str());
    return 1;
  }
  const std::string page = ManPageFromHelp(info, help, extra);
  std::ofstream out(out_path, std::ios::binary | std::ios::trunc);
  out << page;
  out.close();
  if (!out) {
    fprintf(stderr, "velkor-manpage: cannot write %s\n", out_path.c_str());
    remove(out_path.c_str());
    return 1;
  }
  return 0;
}
