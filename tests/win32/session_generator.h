// Random but valid user sessions over all five commands, for the Windows
// tests that play each both ways (`dobrenz run` and qelhost.exe with the real
// dialogs) and compare the logs, exit statuses and feature files.
//
// A session is a few host steps (open, name, call, commit, dump) chosen at
// the start; the user's actions inside each call are chosen while the call
// plays on the headless backend, from what the user faces at that moment —
// the dialog's controls as they are, a message box, a file dialog — and
// only actions the refusals of session/refusals.h let through. So every
// session fits: it plays to its end on both players, unless something fails
// (exit 1), which it then must do alike on both.
//
// The sessions name their files from a tree like the one the Windows tests
// play in: samples/ and tests/win32/sessions/ of the repository. A session
// is generated in such a tree and writes its feature files there.
#pragma once

#include <cstdint>
#include <string>

namespace dz::test {

struct GeneratedSession {
  std::string script;  // the script text (UTF-8)
  std::string log;     // what `dobrenz run` printed while it was made
  int exitCode = 0;    // 0, or 1 when something failed
  int actions = 0;     // the user's actions in it
};

// Session `index` of `seed`, made in the current directory (a fresh tree).
// The same seed and index give the same session.
GeneratedSession GenerateSession(uint64_t seed, int index);

// Plays `script` as `dobrenz run` does in the current directory (with
// samples/host as the host directory): its log and exit status.
GeneratedSession PlayScript(const std::string& script);

}  // namespace dz::test
