// dobrenz: the conversions of the plug-in without its dialogs, over the
// stand-in feature-file engine.
#include <exception>
#include <string>

#include "base/huge_pages.h"
#include "cli/commands.h"
#include "cli/console.h"
#include "cli/reference.h"

namespace {

const std::string kVersion = "dobrenz " DZ_VERSION;

int runDobrenz(const dz::cli::Args& args) {
  try {
    const std::vector<const dz::cli::Command*> commands = dz::cli::allCommands();
    // The reference pages, for the build to install; from the same tables as --help.
    if (args.size() == 1 && args[0] == "--man-page") {
      dz::cli::writeOut(dz::cli::manPage(commands, kVersion));
      return dz::cli::kExitOk;
    }
    if (args.size() == 1 && args[0] == "--bash-completion") {
      dz::cli::writeOut(dz::cli::bashCompletion(commands));
      return dz::cli::kExitOk;
    }
    return dz::cli::runProgram(commands, kVersion, args);
  } catch (const std::exception& e) {
    dz::cli::printError(std::string("dobrenz: internal error: ") + e.what());
    return dz::cli::kExitFailure;
  }
}

}  // namespace

#ifdef _WIN32
// The arguments as Windows holds them, UTF-16: none is lost to the ANSI code page.
int wmain(int argc, wchar_t** argv) {
  dz::cli::setUpStandardStreams();
  return runDobrenz(dz::cli::argumentsFromWide(argc, argv));
}
#else
int main(int argc, char** argv) {
  // A conversion makes hundreds of thousands of small blocks; in pages of
  // 4 KiB their first touch costs more than the work done in them.
  dz::growHeapInHugePages(size_t{256} << 20, size_t{4} << 20);
  return runDobrenz(dz::cli::Args(argv + 1, argv + argc));
}
#endif
