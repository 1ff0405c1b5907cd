#include "base/progress.h"

#include <cfloat>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace dz {

namespace {

constexpr int kTicks = 40;  // 2.5 % each

// The ticks `fraction` has reached, its product rounded to a double first:
// the x87 unit of 32-bit builds would keep 0.3 * 40 a little under 12, and
// the same run would draw its bar later on Windows than on Linux.
int ticksOf(double fraction) {
#if FLT_EVAL_METHOD == 0
  return static_cast<int>(fraction * kTicks);
#else
  const volatile double product = fraction * kTicks;  // stored, so rounded
  return static_cast<int>(product);
#endif
}

// The progress drawing on its stream, for breakLine.
TerminalProgress* drawing = nullptr;

}  // namespace

TerminalProgress::TerminalProgress(std::FILE* stream, bool shown, std::chrono::milliseconds delay)
    : stream_(stream), shown_(shown), showFrom_(std::chrono::steady_clock::now() + delay) {}

TerminalProgress::~TerminalProgress() {
  if (drawing == this) drawing = nullptr;
}

bool TerminalProgress::isTerminal(std::FILE* stream) {
#ifdef _WIN32
  return _isatty(_fileno(stream)) != 0;
#else
  return isatty(fileno(stream)) != 0;
#endif
}

void TerminalProgress::update(double fraction) {
  if (!shown_ || finished_) return;
  if (!(fraction > 0)) fraction = 0;
  if (fraction > 1) fraction = 1;
  const int tick = ticksOf(fraction);
  if (started_ && tick <= tick_) return;
  if (!started_ && std::chrono::steady_clock::now() < showFrom_) return;
  draw(tick);
}

void TerminalProgress::finish() {
  if (!shown_ || finished_ || !started_) return;
  draw(kTicks);
  std::fputs(" - done.\n", stream_);
  std::fflush(stream_);
  lineOpen_ = false;
  finished_ = true;
  drawing = nullptr;
}

void TerminalProgress::draw(int tick) {
  drawing = this;
  // A fresh line (the first, or one after a break) starts with the tens reached.
  if (!started_ || !lineOpen_) std::fprintf(stream_, "%d", tick_ / 4 * 10);
  started_ = true;
  lineOpen_ = true;
  for (int t = tick_ + 1; t <= tick; ++t) {
    if (t % 4 == 0)
      std::fprintf(stream_, "%d", t / 4 * 10);
    else
      std::fputc('.', stream_);
  }
  if (tick > tick_) tick_ = tick;
  std::fflush(stream_);
}

void TerminalProgress::breakLine() {
  if (!drawing || !drawing->lineOpen_) return;
  std::fputc('\n', drawing->stream_);
  drawing->lineOpen_ = false;
}

}  // namespace dz
