// Only the frame recorder (graphics/sgl_stream.cpp) calls OpenGL: a call
// anywhere else in the drawing library would bypass the recording of frames
// and draw into a frame that is then not sent, or be missing from one that
// is compared with the last.
#include <gtest/gtest.h>

#include <dirent.h>

#include <algorithm>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The text without comments and string literals (kept as blanks, so that
// line numbers stay).
std::string code_only(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '/' && i + 1 < text.size() && text[i + 1] == '/') {
      while (i < text.size() && text[i] != '\n') ++i;
      out += '\n';
    } else if (c == '/' && i + 1 < text.size() && text[i + 1] == '*') {
      i += 2;
      while (i + 1 < text.size() && !(text[i] == '*' && text[i + 1] == '/')) {
        if (text[i] == '\n') out += '\n';
        ++i;
      }
      ++i;
    } else if (c == '"' || c == '\'') {
      out += ' ';
      for (++i; i < text.size() && text[i] != c; ++i) {
        if (text[i] == '\\') ++i;
      }
    } else {
      out += c;
    }
  }
  return out;
}

// "file:line: call" for every direct OpenGL call in the text.
std::vector<std::string> direct_calls(const std::string& name, const std::string& text) {
  static const std::regex call(R"((^|[^A-Za-z0-9_])(gl[A-Z][A-Za-z0-9_]*)\s*\()");
  std::vector<std::string> found;
  std::istringstream lines(code_only(text));
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    for (std::sregex_iterator m(line.begin(), line.end(), call), end; m != end; ++m) {
      found.push_back(name + ":" + std::to_string(number) + ": " + (*m)[2].str());
    }
  }
  return found;
}

TEST(OpenGlCalls, TheCheckFindsCallsAndNothingElse) {
  struct Case {
    const char* text;
    size_t calls;
  };
  const Case cases[] = {
      {"glEnable(GL_BLEND);", 1},
      {"  if (x) glDrawArrays (mode, 0, n);", 1},
      {"a = glGenLists(1); glNewList(a, GL_COMPILE);", 2},
      {"sgliGlEnable(GL_BLEND); sglBegin(5); sgluWriteText(x);", 0},
      {"// glEnable(GL_BLEND) in a comment", 0},
      {"/* glClear(\n GL_COLOR_BUFFER_BIT) */ x();", 0},
      {"puts(\"glClear(\");", 0},
      {"GLint limit = GL_MAX_TEXTURE_SIZE;", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.calls, direct_calls("probe", c.text).size()) << c.text;
  }
}

TEST(OpenGlCalls, OnlyTheRecorderCallsOpenGl) {
  const std::string folder = std::string(VELKOR_SOURCE_DIR) + "/graphics";
  DIR* directory = opendir(folder.c_str());
  ASSERT_NE(nullptr, directory) << folder;
  std::vector<std::string> names;
  while (const dirent* entry = readdir(directory)) {
    const std::string name = entry->d_name;
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && (name.substr(dot) == ".cpp" || name.substr(dot) == ".h")) {
      names.push_back(name);
    }
  }
  closedir(directory);
  std::sort(names.begin(), names.end());
  ASSERT_NE(names.end(), std::find(names.begin(), names.end(), "sgl_stream.cpp"));
  std::vector<std::string> offences;
  for (const std::string& name : names) {
    if (name == "sgl_stream.cpp") continue;
    std::ifstream file(folder + "/" + name);
    std::stringstream text;
    text << file.rdbuf();
    for (const std::string& offence : direct_calls(name, text.str())) offences.push_back(offence);
  }
  EXPECT_TRUE(offences.empty())
      << "direct OpenGL calls (go through graphics/sgl_stream_internal.h):\n"
      << ::testing::PrintToString(offences);
}

}  // namespace
