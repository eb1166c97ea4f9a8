// manpage.h - manual pages made from a program's own --help text, so that the
// installed page never says anything the program does not (velkor-manpage
// runs the built program at build time; tools/velkor_manpage.cmake names the
// pages).
//
// The help text is read by its layout, the way a person reads it:
//
//   usage: velkor [-period N | N]            the synopsis: the first line,
//          velkor --offscreen --frames N     when it starts with "usage:"; a
//                 [--state FILE]             line starting with the program's
//                                            name is another form, a deeper
//                                            one continues the form before
//   The simulator of a 16-bit ...            text at column 0: a paragraph
//   FILES                                    a line of capitals: a section
//     --slot-dir DIR    where slot1.csv ..   term, two blanks, description:
//                       live (default: here) an entry; a line at the
//                         FRAME move X Y     description's column goes on
//                                            with it, a deeper one is kept
//                                            line for line as written
//     ~/.config/velkor/velkor.ini            a term alone, described on the
//           the window's place and state     deeper lines below it
//     velkor-trace slot1.csv --list          any other indented line: kept
//                                            as written (an example)
//
// Lines the parser does not understand stay in the page as text: nothing of
// the help text is dropped. Every line of the page is escaped for roff: a
// backslash, a leading dot or quote, dashes of option words (so that they
// copy as the minus the program expects) and characters beyond ASCII.
//
// Use:
//   ManPageInfo info{"velkor", "1", "teaching simulator ...", "Velkor 1.0", "2024-05-01"};
//   std::string page = ManPageFromHelp(info, help_text, files_text);
#pragma once

#include <string>

struct ManPageInfo {
  std::string name;     // the program, as typed: "velkor-trace"
  std::string section;  // "1"
  std::string summary;  // the NAME line after the dash
  std::string source;   // the package and its version: "Velkor 1.0"
  std::string date;     // shown at the foot; may be empty
};

// The page in the man macros: NAME, SYNOPSIS (when the help text starts with
// a usage line), DESCRIPTION with the rest of the help text, then the
// sections of `extra` (same layout, starting with a line of capitals such as
// "FILES"; may be empty).
std::string ManPageFromHelp(const ManPageInfo& info, const std::string& help,
                            const std::string& extra);

// One line of text as roff input: a backslash as \e, a leading '.' or '\''
// guarded by \&, non-ASCII UTF-8 as \[uXXXX] (a byte that is not UTF-8 as
// \[uFFFD]), control characters as blanks. Every '-' of an option word (a
// word that starts with '-', after a blank, '[', '(', '|' or ',') is the
// minus sign \-, so that a reader who copies it types what the program
// expects; with bold_options the option word is also set in bold.
std::string RoffText(const std::string& line, bool bold_options);
