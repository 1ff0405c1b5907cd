// dz_pairs: runs two commands alternately, N pairs, and prints the median of
// the per-pair ratios of a whole-process measure. Running the pair side by
// side keeps the load of a shared machine the same for both members.
//   dz_pairs --label TEXT [--pairs N] [--metric cpu|user|wall|rss]
//            --a 'COMMAND' (--b 'COMMAND' | --b-size FILE) [--before 'COMMAND']
// cpu: user + system time; user: user time alone (to compare two builds
// where the system's share, fresh memory above all, moves with the host);
// wall: elapsed time; rss: peak resident memory.
// With --b-size the denominator is the size of FILE after each run of A.
// Commands run with /bin/sh, their outputs to /dev/null (a failure shows as
// its exit status); --before runs ahead of every measured run, unmeasured.
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Measure {
  double cpu = 0;   // seconds
  double user = 0;  // seconds
  double wall = 0;  // seconds
  double rss = 0;   // bytes
};

// A measured command replaces its shell (exec), so that the figures are its
// own; a command run ahead of it may be a list ("sleep 3; rm -f F").
bool run(const std::string& command, Measure& m, bool measured = true) {
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid < 0) return false;
  if (pid == 0) {
    const int null = open("/dev/null", O_WRONLY);
    if (null >= 0) {
      dup2(null, 1);
      dup2(null, 2);
    }
    execl("/bin/sh", "sh", "-c", ((measured ? "exec " : "") + command).c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  struct rusage usage {};
  if (wait4(pid, &status, 0, &usage) != pid) return false;
  m.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  m.user = usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6;
  m.cpu = usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec + usage.ru_stime.tv_usec / 1e6;
  m.rss = usage.ru_maxrss * 1024.0;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "dz_pairs: failed (status %d): %s\n", status, command.c_str());
    return false;
  }
  return true;
}

double pick(const Measure& m, const std::string& metric) {
  return metric == "cpu" ? m.cpu : metric == "user" ? m.user : metric == "wall" ? m.wall : m.rss;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

std::string shown(double v, const std::string& metric) {
  char text[64];
  if (metric == "rss") std::snprintf(text, sizeof text, "%.1f MB", v / 1e6);
  else std::snprintf(text, sizeof text, "%.3f s", v);
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  std::string label, metric = "cpu", a, b, bSize, before;
  int pairs = 5;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string opt = argv[i], value = argv[i + 1];
    if (opt == "--label") label = value;
    else if (opt == "--pairs") pairs = std::atoi(value.c_str());
    else if (opt == "--metric") metric = value;
    else if (opt == "--a") a = value;
    else if (opt == "--b") b = value;
    else if (opt == "--b-size") bSize = value;
    else if (opt == "--before") before = value;
    else {
      std::fprintf(stderr, "dz_pairs: unknown option %s\n", opt.c_str());
      return 2;
    }
  }
  if (a.empty() || (b.empty() == bSize.empty()) || pairs < 1 ||
      (metric != "cpu" && metric != "user" && metric != "wall" && metric != "rss")) {
    std::fprintf(stderr, "usage: dz_pairs --label TEXT [--pairs N] [--metric cpu|user|wall|rss] --a CMD "
                         "(--b CMD | --b-size FILE) [--before CMD]\n");
    return 2;
  }
  std::vector<double> as, bs, ratios;
  for (int p = 0; p < pairs; ++p) {
    Measure ma, mb;
    Measure ignored;
    // Alternate which member goes first, so that neither always runs on a
    // cache the other warmed.
    for (int k = 0; k < 2; ++k) {
      const bool aTurn = (p % 2 == 0) == (k == 0);
      if (!aTurn && b.empty()) continue;
      if (!before.empty() && !run(before, ignored, false)) return 1;
      if (!run(aTurn ? a : b, aTurn ? ma : mb)) return 1;
    }
    double va = pick(ma, metric), vb;
    if (bSize.empty()) {
      vb = pick(mb, metric);
    } else {
      struct stat st {};
      if (stat(bSize.c_str(), &st) != 0) {
        std::fprintf(stderr, "dz_pairs: no %s\n", bSize.c_str());
        return 1;
      }
      vb = static_cast<double>(st.st_size);
    }
    as.push_back(va);
    bs.push_back(vb);
    ratios.push_back(vb > 0 ? va / vb : 0);
  }
  const std::string bShown = bSize.empty() ? shown(median(bs), metric) : shown(median(bs), "rss");
  std::printf("%-58s %6.2fx  (min %.2f, max %.2f; %s vs %s; %d pairs, %s)\n", label.c_str(), median(ratios),
              *std::min_element(ratios.begin(), ratios.end()), *std::max_element(ratios.begin(), ratios.end()),
              shown(median(as), metric).c_str(), bShown.c_str(), pairs, metric.c_str());
  std::fflush(stdout);
  return 0;
}
