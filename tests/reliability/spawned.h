// Test support of the reliability tests: programs started side by side, each
// with its standard output in a pipe and its standard error in a file.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace dz::test {

class Spawned {
 public:
  // Starts argv[0] with the arguments that follow; standard error goes to
  // `errPath`.
  Spawned(const std::vector<std::string>& argv, const std::string& errPath) {
    int out[2];
    if (pipe(out) != 0) throw std::runtime_error("cannot make a pipe");
    pid_ = fork();
    if (pid_ < 0) throw std::runtime_error("cannot fork");
    if (pid_ == 0) {
      dup2(out[1], 1);
      const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (err >= 0) dup2(err, 2);
      close(out[0]);
      close(out[1]);
      std::vector<char*> args;
      for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
      args.push_back(nullptr);
      execv(args[0], args.data());
      _exit(127);
    }
    close(out[1]);
    out_ = out[0];
  }
  ~Spawned() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      wait();
    }
    if (out_ >= 0) close(out_);
  }
  Spawned(const Spawned&) = delete;
  Spawned& operator=(const Spawned&) = delete;

  void killNow() { kill(pid_, SIGKILL); }

  // Waits for the end; the exit status, or -1 after a signal.
  int wait() {
    if (pid_ <= 0) return status_;
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0) {
    }
    pid_ = 0;
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return status_;
  }

  // The next line of standard output, without its line end; false at its
  // end.
  bool readLine(std::string& line) {
    for (;;) {
      const size_t nl = pending_.find('\n');
      if (nl != std::string::npos) {
        line = pending_.substr(0, nl);
        pending_.erase(0, nl + 1);
        return true;
      }
      char buffer[4096];
      const ssize_t n = read(out_, buffer, sizeof buffer);
      if (n <= 0) return false;
      pending_.append(buffer, static_cast<size_t>(n));
    }
  }

  // The rest of standard output, up to its end.
  std::string output() {
    std::string text = std::move(pending_);
    pending_.clear();
    char buffer[4096];
    ssize_t n;
    while ((n = read(out_, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<size_t>(n));
    return text;
  }

 private:
  pid_t pid_ = 0;
  int out_ = -1;
  int status_ = -1;
  std::string pending_;
};

}  // namespace dz::test
