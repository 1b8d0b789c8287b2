#include "platform/sdl/message_helper.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

extern char** environ;

namespace rv {

std::vector<std::string> MessageHelperArguments(std::string_view caption, std::string_view text,
                                                MessageIcon icon) {
  return {icon == MessageIcon::kWarning ? "--warning" : "--plain", "--", std::string(caption),
          std::string(text)};
}

// posix_spawn rather than fork: the game has an audio thread, and the child runs nothing of
// ours before exec.
bool RunMessageHelper(const std::filesystem::path& helper, std::string_view caption,
                      std::string_view text, MessageIcon icon) {
  if (::access(helper.c_str(), X_OK) != 0) return false;
  std::vector<std::string> args = MessageHelperArguments(caption, text, icon);
  args.insert(args.begin(), helper.string());
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (::posix_spawn(&pid, helper.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
    return false;
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return false;
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace rv
