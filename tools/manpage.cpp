// Manual pages from --help texts: the layout rules are in manpage.h.
#include "tools/manpage.h"

#include <strings.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

struct Line {
  int indent = 0;    // columns of blanks before the text, tabs expanded
  std::string text;  // without the blanks around it
};

std::vector<Line> split_lines(const std::string& text) {
  std::vector<Line> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    Line line;
    std::string expanded;
    for (size_t i = start; i < end; ++i) {
      if (text[i] == '\t') {
        expanded.append(8 - expanded.size() % 8, ' ');
      } else if (text[i] != '\r') {
        expanded += text[i];
      }
    }
    const size_t first = expanded.find_first_not_of(' ');
    if (first != std::string::npos) {
      line.indent = static_cast<int>(first);
      line.text = expanded.substr(first, expanded.find_last_not_of(' ') + 1 - first);
    }
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

bool blank(const Line& line) {
  return line.text.empty();
}

// A line of capitals at column 0 ("FILES", "SEE ALSO"): a section of its own.
bool is_heading(const Line& line) {
  if (line.indent != 0 || blank(line)) return false;
  bool letter = false;
  for (char c : line.text) {
    if (c >= 'A' && c <= 'Z') {
      letter = true;
    } else if (c != ' ' && c != '-') {
      return false;
    }
  }
  return letter;
}

// Where the first run of two or more blanks begins: the end of an entry's term.
size_t find_gap(const std::string& text) {
  return text.find("  ");
}

// One code point from UTF-8 at text[*i]; U+FFFD and one byte for anything that
// is not a well-formed sequence (a stray continuation byte, an overlong or
// cut-off sequence, a surrogate).
uint32_t next_code_point(const std::string& text, size_t* i) {
  const auto byte = [&](size_t at) { return static_cast<uint8_t>(text[at]); };
  const uint8_t lead = byte(*i);
  int length = 0;
  uint32_t code = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, code = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, code = lead & 0x07;
  }
  if (length == 0 || *i + length > text.size()) {
    ++*i;
    return 0xFFFD;
  }
  for (int k = 1; k < length; ++k) {
    if ((byte(*i + k) & 0xC0) != 0x80) {
      ++*i;
      return 0xFFFD;
    }
    code = code << 6 | (byte(*i + k) & 0x3F);
  }
  const uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (code < smallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
    ++*i;
    return 0xFFFD;
  }
  *i += length;
  return code;
}

bool starts_option_word(const std::string& text, size_t i) {
  if (text[i] != '-') return false;
  if (i == 0) return true;
  return strchr(" [(|,", text[i - 1]) != nullptr;
}

bool option_char(char c) {
  return c == '-' || c == '_' || (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') ||
         (c >= 'A' && c <= 'Z');
}

// A quoted argument of a macro line: its text escaped, '"' as \(dq.
std::string quoted(const std::string& text) {
  std::string escaped;
  for (char c : RoffText(text, false)) {
    if (c == '"') {
      escaped += "\\(dq";
    } else {
      escaped += c;
    }
  }
  return "\"" + escaped + "\"";
}

std::string upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

// The usage forms at the head of the help text; *next is the first line after
// them. Empty when the text does not start with "usage:".
std::vector<std::string> read_synopsis(const std::vector<Line>& lines, size_t* next) {
  std::vector<std::string> forms;
  *next = 0;
  while (*next < lines.size() && blank(lines[*next])) ++*next;
  if (*next == lines.size()) return forms;
  const Line& first = lines[*next];
  if (first.indent != 0 || first.text.size() < 6 || strncasecmp(first.text.c_str(), "usage:", 6)) {
    return forms;
  }
  const size_t args = first.text.find_first_not_of(' ', 6);
  if (args == std::string::npos) return forms;
  forms.push_back(first.text.substr(args));
  const std::string name = forms[0].substr(0, forms[0].find(' '));
  for (++*next; *next < lines.size() && !blank(lines[*next]) && lines[*next].indent > 0; ++*next) {
    const std::string& text = lines[*next].text;
    const bool new_form = text.compare(0, name.size(), name) == 0 &&
                          (text.size() == name.size() || text[name.size()] == ' ');
    if (new_form) {
      forms.push_back(text);
    } else {
      forms.back() += " " + text;
    }
  }
  return forms;
}

void write_synopsis(const std::vector<std::string>& forms, std::string* out) {
  // Left-aligned: a form stretched to both margins would pull its options
  // apart.
  *out += ".SH SYNOPSIS\n.ad l\n";
  for (size_t f = 0; f < forms.size(); ++f) {
    if (f > 0) *out += ".br\n";
    const size_t space = forms[f].find(' ');
    *out += ".B " + RoffText(forms[f].substr(0, space), false) + "\n";
    if (space != std::string::npos) *out += RoffText(forms[f].substr(space + 1), true) + "\n";
  }
  *out += ".ad\n";
}

// An entry from lines[*i]: the term as a tagged paragraph, then its
// description; lines deeper than the description's column are kept as
// written.
void write_entry(const std::vector<Line>& lines, size_t* i, std::string* out) {
  const Line& head = lines[*i];
  const size_t gap = find_gap(head.text);
  int column = -1;
  *out += ".TP\n" + RoffText(head.text.substr(0, gap), true) + "\n";
  if (gap != std::string::npos) {
    const size_t start = head.text.find_first_not_of(' ', gap);
    column = head.indent + static_cast<int>(start);
    *out += RoffText(head.text.substr(start), false) + "\n";
  } else if (*i + 1 < lines.size() && !blank(lines[*i + 1])) {
    column = lines[*i + 1].indent;
  }
  bool kept_as_written = false;
  for (++*i; *i < lines.size() && !blank(lines[*i]) && lines[*i].indent > head.indent; ++*i) {
    const Line& line = lines[*i];
    // A line of its own term between the term and the description's column
    // is the next entry.
    if (line.indent < column && find_gap(line.text) != std::string::npos) break;
    const bool deeper = line.indent > column;
    if (deeper != kept_as_written) *out += deeper ? ".nf\n" : ".fi\n";
    kept_as_written = deeper;
    const std::string text =
        deeper ? std::string(line.indent - column, ' ') + line.text : line.text;
    *out += RoffText(text, false) + "\n";
  }
  if (kept_as_written) *out += ".fi\n";
}

bool starts_entry(const std::vector<Line>& lines, size_t i) {
  const Line& line = lines[i];
  const bool deeper_below =
      i + 1 < lines.size() && !blank(lines[i + 1]) && lines[i + 1].indent > line.indent;
  return find_gap(line.text) != std::string::npos || deeper_below || line.text[0] == '-';
}

void write_body(const std::vector<Line>& lines, size_t i, std::string* out) {
  while (i < lines.size()) {
    const Line& line = lines[i];
    if (blank(line)) {
      ++i;
    } else if (is_heading(line)) {
      *out += ".SH " + RoffText(line.text, false) + "\n";
      ++i;
    } else if (line.indent == 0) {
      *out += ".PP\n";
      for (; i < lines.size() && lines[i].indent == 0 && !blank(lines[i]) && !is_heading(lines[i]);
           ++i) {
        *out += RoffText(lines[i].text, false) + "\n";
      }
    } else if (starts_entry(lines, i)) {
      write_entry(lines, &i, out);
    } else {
      // An example: kept line for line, indented as in the help text.
      const int base = line.indent;
      *out += ".PP\n.RS 4\n.nf\n";
      for (; i < lines.size() && !blank(lines[i]) && lines[i].indent >= base &&
             !starts_entry(lines, i);
           ++i) {
        *out += RoffText(std::string(lines[i].indent - base, ' ') + lines[i].text, false) + "\n";
      }
      *out += ".fi\n.RE\n";
    }
  }
}

size_t first_text_line(const std::vector<Line>& lines, size_t i) {
  while (i < lines.size() && blank(lines[i])) ++i;
  return i;
}

}  // namespace

std::string RoffText(const std::string& line, bool bold_options) {
  std::string out;
  bool in_option = false;
  for (size_t i = 0; i < line.size();) {
    const char c = line[i];
    if (!in_option && starts_option_word(line, i)) {
      in_option = true;
      if (bold_options) out += "\\fB";
    } else if (in_option && !option_char(c)) {
      in_option = false;
      if (bold_options) out += "\\fR";
    }
    const auto byte = static_cast<uint8_t>(c);
    if (byte >= 0x80) {
      char escape[16];
      snprintf(escape, sizeof escape, "\\[u%04X]", next_code_point(line, &i));
      out += escape;
      continue;
    }
    if (c == '\\') {
      out += "\\e";
    } else if (c == '-' && in_option) {
      out += "\\-";
    } else if (byte < 0x20 || byte == 0x7F) {
      out += ' ';
    } else {
      // A dot or a quote at the start of a line would make it a request.
      if (out.empty() && (c == '.' || c == '\'')) out += "\\&";
      out += c;
    }
    ++i;
  }
  if (in_option && bold_options) out += "\\fR";
  return out;
}

std::string ManPageFromHelp(const ManPageInfo& info, const std::string& help,
                            const std::string& extra) {
  std::string out = ".\\\" Made by velkor-manpage from the output of \"" + info.name +
                    " --help\": change the help text, not this page.\n";
  out += ".TH " + quoted(upper(info.name)) + " " + quoted(info.section) + " " + quoted(info.date) +
         " " + quoted(info.source) + " \"User Commands\"\n";
  // No hyphenation: option words and paths split at a line's end would be
  // copied wrongly.
  out += ".nh\n.SH NAME\n";
  // The NAME line is read by man's index (name \- summary): every dash of
  // the name is a hyphen written as \-.
  std::string name;
  for (char c : RoffText(info.name, false))
    name += c == '-' ? std::string("\\-") : std::string(1, c);
  out += name + " \\- " + RoffText(info.summary, false) + "\n";

  const std::vector<Line> lines = split_lines(help);
  size_t body = 0;
  const std::vector<std::string> forms = read_synopsis(lines, &body);
  if (!forms.empty()) write_synopsis(forms, &out);
  body = first_text_line(lines, body);
  if (body < lines.size()) {
    if (!is_heading(lines[body])) out += ".SH DESCRIPTION\n";
    write_body(lines, body, &out);
  }
  const std::vector<Line> more = split_lines(extra);
  write_body(more, first_text_line(more, 0), &out);
  return out;
}
