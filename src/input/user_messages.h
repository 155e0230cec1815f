#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tovimar {

// How the core reports to the user: show this message and wait until it is dismissed.
// The window shows a modal message box, the batch tool writes a line to standard error.
class UserMessages {
 public:
  virtual ~UserMessages() = default;
  virtual void ShowMessage(std::string_view text) = 0;
};

// Keeps every message shown, in order (tests, and callers that report them later).
class RecordedMessages : public UserMessages {
 public:
  void ShowMessage(std::string_view text) override { messages.emplace_back(text); }
  std::vector<std::string> messages;
};

}  // namespace tovimar
