#include "tests/support/child_process.h"

#include <grp.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <stdexcept>

namespace dz::test {

bool runningAsRoot() { return geteuid() == 0; }

int runInChild(const std::function<int()>& body, ChildOptions options) {
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("cannot fork");
  if (pid == 0) {
    if (options.timeoutSeconds > 0) alarm(options.timeoutSeconds);
    if (options.unprivileged && runningAsRoot()) {
      if (setgroups(0, nullptr) != 0 || setgid(kUnprivilegedId) != 0 || setuid(kUnprivilegedId) != 0) _exit(250);
    }
    int result = 255;
    try {
      result = body();
    } catch (...) {
      result = 251;
    }
    std::fflush(nullptr);
    _exit(result & 0xFF);
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void openToEveryone(const std::string& dir) {
  if (chmod(dir.c_str(), 0777) != 0) throw std::runtime_error("cannot open " + dir + " to everyone");
}

}  // namespace dz::test
