// Short, escaped excerpts of outside text for error lines.
#include "app/Velkor_excerpt.h"

#include <cstdio>

std::string Velkor_Excerpt(const std::string& text, size_t limit) {
  std::string out;
  const size_t shown = text.size() < limit ? text.size() : limit;
  for (size_t i = 0; i < shown; ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c < 0x20 || c >= 0x7F) {
      char escaped[8];
      snprintf(escaped, sizeof escaped, "\\x%02x", c);
      out += escaped;
    } else {
      out += static_cast<char>(c);
    }
  }
  if (shown < text.size()) out += "...";
  return out;
}
