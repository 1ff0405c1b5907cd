// How the workers tell the user something: the message box service. The
// dialog layer, the CLI and the tests each provide one; workers never call
// the platform.
#pragma once

#include <string>

namespace dz::ui {

// Message box types and results, with the values Windows gives them. (Named
// apart from the Windows macros so that this header mixes with <windows.h>.)
constexpr unsigned kMbOk = 0x0000;
constexpr unsigned kMbYesNo = 0x0004;
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

class MessageService {
 public:
  virtual ~MessageService() = default;
  // Shows `text` (GBK) with the buttons of `type`; returns the button chosen.
  virtual int ShowMessage(const std::string& text, unsigned type = kMbOk) = 0;
};

}  // namespace dz::ui
