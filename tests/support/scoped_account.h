#pragma once
// An account made for one test, with a group of its own as Debian's useradd gives, and
// removed again when the test ends, failed or not. Only root can make one.

#include <unistd.h>

#include <cstdlib>
#include <string>

namespace rv::test {

class ScopedAccount {
 public:
  // The name is `stem` and the process id, so that runs side by side never meet.
  explicit ScopedAccount(const std::string& stem) : name_(stem + std::to_string(::getpid())) {
    made_ = Run("useradd --user-group --no-create-home --shell /usr/sbin/nologin " + name_);
  }
  ~ScopedAccount() {
    if (!made_) return;
    // userdel leaves a group with members behind.
    Run("userdel " + name_ + " 2>/dev/null");
    Run("groupdel " + name_ + " 2>/dev/null");
  }
  ScopedAccount(const ScopedAccount&) = delete;
  ScopedAccount& operator=(const ScopedAccount&) = delete;

  bool made() const { return made_; }
  const std::string& name() const { return name_; }
  // Lists `user` as a member of the account's group.
  bool AddToGroup(const std::string& user) const {
    return Run("gpasswd --add " + user + " " + name_ + " >/dev/null");
  }

 private:
  static bool Run(const std::string& command) { return std::system(command.c_str()) == 0; }
  std::string name_;
  bool made_ = false;
};

}  // namespace rv::test
