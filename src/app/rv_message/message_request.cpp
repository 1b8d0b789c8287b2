#include "app/rv_message/message_request.h"

namespace rv {

std::optional<MessageRequest> ParseMessageRequest(const std::vector<std::string>& args) {
  if (args.size() != 4 || args[1] != "--") return std::nullopt;
  MessageRequest request;
  if (args[0] == "--warning") {
    request.warning = true;
  } else if (args[0] != "--plain") {
    return std::nullopt;
  }
  request.caption = args[2];
  request.text = args[3];
  return request;
}

}  // namespace rv
