// Writes res/dialogs.rc, the dialog part of the plug-in's resources, from the
// template definition in res/dialog_templates.cpp. The output is committed;
// a test fails when it differs from what this program writes.
//   gen_dialog_rc [OUTPUT]      (standard output without OUTPUT)
#include <cstdio>
#include <string>

#include "base/file_io.h"
#include "res/dialog_templates.h"
#include "res/rc_writer.h"

int main(int argc, char** argv) {
  const std::string script = dz::res::WriteDialogResourceScript(dz::res::DialogTemplates());
  if (argc < 2) {
    std::fwrite(script.data(), 1, script.size(), stdout);
    return 0;
  }
  std::string error;
  if (!dz::writeFileAtomically(argv[1], script, error)) {
    std::fprintf(stderr, "gen_dialog_rc: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
