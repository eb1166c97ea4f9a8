// Manual pages from --help texts: roff escaping, the layouts the reader
// understands, and the pages of the build rendered by man with nothing of
// the help text lost.
#include "tools/manpage.h"

#include <gtest/gtest.h>

#include <strings.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <sstream>
#include <string>

namespace {

TEST(RoffText, EscapesWhatRoffWouldReadAsRequestsOrEscapes) {
  const struct {
    const char* text;
    bool bold;
    const char* roff;
  } rows[] = {
      {"plain words", false, "plain words"},
      {"a\\b", false, "a\\eb"},
      {".starts with a dot", false, "\\&.starts with a dot"},
      {"'starts with a quote", false, "\\&'starts with a quote"},
      {"mid.dle 'quote'", false, "mid.dle 'quote'"},
      {"16-bit, N-1, lower-left", false, "16-bit, N-1, lower-left"},
      {"--slot-dir DIR", false, "\\-\\-slot\\-dir DIR"},
      {"--slot-dir DIR", true, "\\fB\\-\\-slot\\-dir\\fR DIR"},
      {"[-period N | N]", true, "[\\fB\\-period\\fR N | N]"},
      {"(see --help)", false, "(see \\-\\-help)"},
      {"-h,--help", true, "\\fB\\-h\\fR,\\fB\\-\\-help\\fR"},
      {"--out=FILE", true, "\\fB\\-\\-out\\fR=FILE"},
      {"ends in --help", true, "ends in \\fB\\-\\-help\\fR"},
      {"Schritt f\xC3\xBCr Schritt", false, "Schritt f\\[u00FC]r Schritt"},
      {"\xE2\x82\xAC and \xF0\x9F\x98\x80", false, "\\[u20AC] and \\[u1F600]"},
      {"cut \xE2\x82", false, "cut \\[uFFFD]\\[uFFFD]"},
      {"overlong \xC0\xAF", false, "overlong \\[uFFFD]\\[uFFFD]"},
      {"surrogate \xED\xA0\x80", false, "surrogate \\[uFFFD]\\[uFFFD]\\[uFFFD]"},
      {"stray \x80 byte", false, "stray \\[uFFFD] byte"},
      {"bell\x07 and del\x7F", false, "bell  and del "},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(row.roff, RoffText(row.text, row.bold)) << row.text;
  }
}

// The page after its comment and .TH lines.
std::string Body(const std::string& help, const std::string& extra = "") {
  const ManPageInfo info{"prog", "1", "does things", "Prog 2.0", "2024-05-01"};
  const std::string page = ManPageFromHelp(info, help, extra);
  const size_t name = page.find(".SH NAME\nprog \\- does things\n");
  return name == std::string::npos ? "NO NAME SECTION IN:\n" + page
                                   : page.substr(name + strlen(".SH NAME\nprog \\- does things\n"));
}

TEST(ManPageFromHelp, HeaderNamesTheProgramAndKeepsQuotesInsideArguments) {
  const ManPageInfo info{"velkor-trace", "1", "run \"it\"", "Velkor 1.0", ""};
  const std::string page = ManPageFromHelp(info, "", "");
  EXPECT_NE(std::string::npos, page.find("\n.TH \"VELKOR-TRACE\" \"1\" \"\" \"Velkor 1.0\" "))
      << page;
  EXPECT_NE(std::string::npos, page.find("\n.SH NAME\nvelkor\\-trace \\- run \"it\"\n")) << page;
  EXPECT_EQ(std::string::npos, page.find("DESCRIPTION")) << "an empty help text has no body";
}

TEST(ManPageFromHelp, LayoutsOfTheHelpTextBecomeTheirRoffCounterparts) {
  const struct {
    const char* what;
    const char* help;
    const char* extra;
    const char* body;
  } rows[] = {
      {"usage forms: a new one starts with the name, a deeper line continues",
       "usage: prog [-a]\n       prog --b X\n              [--c]\n       program-like\n", "",
       ".SH SYNOPSIS\n.ad l\n.B prog\n[\\fB\\-a\\fR]\n.br\n.B prog\n\\fB\\-\\-b\\fR X "
       "[\\fB\\-\\-c\\fR] program-like\n.ad\n"},
      {"Usage: in capitals, then a paragraph", "Usage: prog FILE\n\nReads FILE.\nTwo lines.\n", "",
       ".SH SYNOPSIS\n.ad l\n.B prog\nFILE\n.ad\n.SH DESCRIPTION\n.PP\nReads FILE.\nTwo lines.\n"},
      {"no usage line: all of it is the description", "Runs things.\n\nAnd more.\n", "",
       ".SH DESCRIPTION\n.PP\nRuns things.\n.PP\nAnd more.\n"},
      {"entries: the description's column flows, deeper lines are kept as written",
       "  --events FILE   event script:\n"
       "                    FRAME move X Y\n"
       "                      more\n"
       "                  X Y: pixels\n"
       "  --help          this text\n",
       "",
       ".SH DESCRIPTION\n.TP\n\\fB\\-\\-events\\fR FILE\nevent script:\n.nf\n  FRAME move X Y\n"
       "    more\n.fi\nX Y: pixels\n.TP\n\\fB\\-\\-help\\fR\nthis text\n"},
      {"a term alone, described on the deeper lines below it",
       "  ~/.config/prog.ini\n        the settings,\n        kept\n  --x\n", "",
       ".SH DESCRIPTION\n.TP\n~/.config/prog.ini\nthe settings,\nkept\n.TP\n\\fB\\-\\-x\\fR\n"},
      {"an entry between term and column starts the next entry",
       "  --long-option  text\n   -s  short\n", "",
       ".SH DESCRIPTION\n.TP\n\\fB\\-\\-long\\-option\\fR\ntext\n.TP\n\\fB\\-s\\fR\nshort\n"},
      {"an example: indented lines without a gap kept as written",
       "Try:\n    prog a.csv\n    prog b.csv --list\n\nDone.\n", "",
       ".SH DESCRIPTION\n.PP\nTry:\n.PP\n.RS 4\n.nf\nprog a.csv\nprog b.csv \\-\\-list\n.fi\n"
       ".RE\n.PP\nDone.\n"},
      {"tabs are columns of eight, CR LF line ends are lines", "\t--x\tdesc\r\n\t\tgoes on\r\n", "",
       ".SH DESCRIPTION\n.TP\n\\fB\\-\\-x\\fR\ndesc\ngoes on\n"},
      {"extra sections after the description, headed by a line of capitals", "Text.\n",
       "FILES\n  ~/a.ini   settings\nSEE ALSO\nother(1)\n",
       ".SH DESCRIPTION\n.PP\nText.\n.SH FILES\n.TP\n~/a.ini\nsettings\n.SH SEE ALSO\n.PP\n"
       "other(1)\n"},
      {"a heading at the top of the help text opens no DESCRIPTION", "OPTIONS\n  -v  loud\n", "",
       ".SH OPTIONS\n.TP\n\\fB\\-v\\fR\nloud\n"},
      {"lines that look like requests stay text", "'quoted\n.dot\n  .x  y\n", "",
       ".SH DESCRIPTION\n.PP\n\\&'quoted\n\\&.dot\n.TP\n\\&.x\ny\n"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(row.body, Body(row.help, row.extra)) << row.what;
  }
}

// ---- The pages of this build --------------------------------------------------------------

std::string Output(const std::string& command, int* status) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  *status = pclose(pipe);
  return out;
}

// man renders the page without a warning, and every word of the help text
// is in what a reader sees, in the help text's order.
TEST(BuiltManPages, RenderWithoutWarningsAndLoseNoWordOfTheHelpText) {
  const struct {
    const char* program;
    const char* page;
  } pages[] = {{VELKOR_BINARY, VELKOR_MAN_DIR "/velkor.1"},
               {VELKOR_TRACE_BINARY, VELKOR_MAN_DIR "/velkor-trace.1"},
               {VELKOR_GALLERY_BINARY, VELKOR_MAN_DIR "/velkor-gallery.1"}};
  for (const auto& p : pages) {
    int status = -1;
    const std::string help = Output(std::string("'") + p.program + "' --help", &status);
    ASSERT_EQ(0, status) << p.program;
    const std::string warnings_file = ::testing::TempDir() + "manpage_test.warnings";
    const std::string shown = Output("LC_ALL=C MANWIDTH=200 man --warnings -l '" +
                                         std::string(p.page) + "' 2>'" + warnings_file + "'",
                                     &status);
    ASSERT_EQ(0, status) << p.page;
    int unused = 0;
    EXPECT_EQ("", Output("cat '" + warnings_file + "'", &unused)) << p.page;
    std::istringstream words(help);
    size_t at = 0;
    for (std::string word; words >> word;) {
      if (strcasecmp(word.c_str(), "usage:") == 0) continue;  // the SYNOPSIS heading instead
      const size_t found = shown.find(word, at);
      EXPECT_NE(std::string::npos, found)
          << p.page << ": \"" << word << "\" missing or out of order";
      if (found != std::string::npos) at = found + word.size();
    }
  }
}

}  // namespace
