// Test support: a check run in a child process, for what a test process
// cannot show on itself — a user who may not read a file (root reads every
// file), a call that may hang, a process killed while it holds a file.
#pragma once

#include <functional>
#include <string>

namespace dz::test {

struct ChildOptions {
  // Run as the unprivileged user 65534 (nobody) when the tests run as root.
  bool unprivileged = false;
  // Killed after this long; 0: never.
  unsigned timeoutSeconds = 0;
};

// Runs `body` in a forked child and returns what it returned (0..255), or
// -1 when the child did not exit by itself (a signal, the time limit).
int runInChild(const std::function<int()>& body, ChildOptions options = {});

// True when the tests run as root, whom no file mode stops.
bool runningAsRoot();

// The user id and group id runInChild takes for an unprivileged child.
constexpr unsigned kUnprivilegedId = 65534;

// Lets every user create and remove files in `dir`, so that an unprivileged
// child can work there as any user could.
void openToEveryone(const std::string& dir);

}  // namespace dz::test
