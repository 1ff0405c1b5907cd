// The five commands the host calls by ordinal, with the dialog each opens
// and the arguments it takes: the one table that the module's entry points,
// the session script, both players and the checks of the plug-in's exports
// read. The plug-in exports them by ordinal only (res/DobrenzData.def, which
// a test holds to this table); the names are for the linker.
#pragma once

#include <cstddef>

#include "attributes/attribute_path_ids.h"
#include "cass/cass_convert_ids.h"
#include "epsw/epsw_convert_ids.h"
#include "textpoints/text_data_ids.h"

namespace dz::session {

struct Command {
  int ordinal;
  const char* name;  // the entry point's name in the module and in its .def file
  int dialog;        // the dialog it opens
  bool takesHandle;  // the host's open file, as an int whose low 16 bits count
  bool takesName;    // after the handle: the host's 12-byte point-name buffer
};

inline constexpr Command kCommands[] = {
    {10, "CmdConvertCass", IDD_CASS_CONVERT, false, false},
    {20, "CmdConvertCassLegacy", IDD_CASS_CONVERT, false, false},
    {30, "CmdConvertEpsw", IDD_EPSW_CONVERT, false, false},
    {40, "CmdAttachAttributes", IDD_ATTRIBUTE_PATH, true, false},
    {50, "CmdReadTextPoints", IDD_TEXT_DATA, true, true},
};

// The command of that ordinal; null when there is none.
constexpr const Command* FindCommand(int ordinal) {
  for (const Command& c : kCommands)
    if (c.ordinal == ordinal) return &c;
  return nullptr;
}

// Calls a command's entry point (the module's function, or the plug-in's
// export of its ordinal) as the host does: with the handle when it takes
// one, and the point-name buffer when it takes that too.
void CallEntryPoint(const Command& command, void* entry, int handle, char* name12);

}  // namespace dz::session
