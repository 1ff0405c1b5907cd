// The edges of dobrenz: the arguments it is given and the text it prints.
//
// Inside dobrenz a text is UTF-8 and a path is in the form base/file_io opens:
// the bytes as given on POSIX; on Windows the path's GBK bytes, the form the
// whole system holds paths in (opened by their UTF-16 form). Windows hands
// the arguments over as UTF-16 (wmain), so that none depends on the ANSI code
// page; the option parser turns the values of path rows into the system's
// form with pathFromArgument.
//
// What dobrenz prints is UTF-8. On a Windows console it is written as UTF-16
// (WriteConsoleW), so that Chinese shows right whatever the console's code
// page; written to a file or a pipe it stays UTF-8 bytes, with the same LF
// line ends as on POSIX.
//
// console.cpp is common to both; console_posix.cpp and win32/console_win32.cpp
// are the two platforms.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace dz::cli {

// Standard output and standard error.
void writeOut(std::string_view utf8);
void writeErr(std::string_view utf8);
// printf to standard output through writeOut.
void printOut(const char* format, ...) __attribute__((format(printf, 1, 2)));

// A path given on the command line (UTF-8) in the system's form. On Windows
// a path GBK cannot write is given by its short (8.3) form, or for a file
// still to be made by the short form of its folder; false when none exists.
bool pathFromArgument(const std::string& utf8, std::string& path);

// A path in the system's form, or a message the engine built around such
// paths, as UTF-8 for printing.
std::string shownPath(const std::string& path);

#ifdef _WIN32
// The arguments after the program's name, UTF-16 to UTF-8; and the standard
// streams put in binary mode, so that redirected output is byte for byte
// what dobrenz prints on POSIX.
std::vector<std::string> argumentsFromWide(int argc, wchar_t** argv);
void setUpStandardStreams();
#endif

}  // namespace dz::cli
