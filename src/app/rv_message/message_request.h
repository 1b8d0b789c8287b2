#pragma once
// What rv_message is asked to show, read from its command line:
//   rv_message --warning|--plain -- CAPTION TEXT
// The "--" keeps a caption or text that begins with a dash from being read as an option.

#include <optional>
#include <string>
#include <vector>

namespace rv {

struct MessageRequest {
  bool warning = false;  // the exclamation icon; otherwise no icon
  std::string caption;
  std::string text;
};

// args are the arguments after the program's name; nullopt when they do not fit.
std::optional<MessageRequest> ParseMessageRequest(const std::vector<std::string>& args);

}  // namespace rv
