// The reference pages of dobrenz, made from the same command tables as its
// --help: the manual page and the bash completion. `dobrenz --man-page` and
// `dobrenz --bash-completion` print them; the build installs both.
#pragma once

#include <string>
#include <vector>

#include "cli/command.h"

namespace dz::cli {

// The manual page, dobrenz(1), in the man macros of troff.
std::string manPage(const std::vector<const Command*>& commands, const std::string& version);

// A bash completion script: the commands, each command's options, a
// choice's words, files after file options and directories after directory
// options.
std::string bashCompletion(const std::vector<const Command*>& commands);

}  // namespace dz::cli
