// Commands whose libraries are heavy to load run in programs of their own,
// kept beside dobrenz: export (GDAL, about a hundred shared libraries) in
// dobrenz-export and render (cairo and its font and X libraries) in
// dobrenz-render. Loading them would cost every run of dobrenz, a conversion
// of ten lines as much as one of a million, before it reads a byte; dobrenz
// hands such a command over with exec instead. POSIX builds only.
#pragma once

#include <string>

#include "cli/command.h"

namespace dz::cli {

// Replaces this process with `program`, found beside this dobrenz, given
// the command line `options` was parsed from. Returns only when the program
// cannot be run, after telling why: the exit status then.
int handOver(const std::string& program, const Command& command, const Options& options);

// The main of such a program: `program ARGS` does what `dobrenz NAME ARGS`
// does, with the same messages and exit status.
int runHelperProgram(const Command& command, const std::string& program, int argc, char** argv);

}  // namespace dz::cli
