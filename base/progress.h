// Progress of a long run on a terminal, drawn as the GDAL command-line tools
// draw it: "0...10...20...30...40...50...60...70...80...90...100 - done."
// One dot per 2.5 %, the tens as numbers. Nothing is drawn for a run that
// ends before the delay has passed, nor when the stream is not a terminal,
// so logs and pipes stay free of it.
#pragma once

#include <chrono>
#include <cstdio>

namespace dz {

class TerminalProgress {
 public:
  // Draws on `stream` when `shown` (a caller passes isTerminal(stream) and
  // its own wish), once `delay` has passed since construction.
  TerminalProgress(std::FILE* stream, bool shown, std::chrono::milliseconds delay = std::chrono::seconds(1));
  ~TerminalProgress();
  TerminalProgress(const TerminalProgress&) = delete;
  TerminalProgress& operator=(const TerminalProgress&) = delete;

  // How far the run has come, 0 to 1 (clamped).
  void update(double fraction);
  // The run is over: "100 - done." when anything was drawn.
  void finish();

  // Ends the line of progress being drawn (if any) so that another text can
  // be printed on the stream; the drawing goes on on a new line.
  static void breakLine();

  static bool isTerminal(std::FILE* stream);

 private:
  void draw(int tick);

  std::FILE* stream_;
  bool shown_;
  std::chrono::steady_clock::time_point showFrom_;
  bool started_ = false;   // something was drawn
  bool lineOpen_ = false;  // the last thing on the stream is our drawing
  int tick_ = 0;           // ticks drawn, 0 to 40
  bool finished_ = false;
};

}  // namespace dz
