#pragma once
// An event sink for tests: keeps the key flags as the game does, logs what arrived and
// ends the "program" on Escape or a close the way the game's shutdown does, by throwing.

#include <string>
#include <vector>

#include "game/pace/keys.h"
#include "platform/platform.h"

namespace rv::test {

class RecordingSink : public EventSink {
 public:
  explicit RecordingSink(Platform& platform) : platform_(platform) {}

  void OnKeyDown(int16_t key_code) override {
    Log("down", key_code);
    if (Form_KeyDown(keys, key_code) == KeyAction::kEscape) throw ProgramExit{0};
  }
  void OnKeyUp(int16_t key_code) override {
    Log("up", key_code);
    Form_KeyUp(keys, key_code);
  }
  void OnClose() override {
    Log("close", 0);
    throw ProgramExit{0};
  }
  void OnMusicDone(int player) override { Log("music_done", player); }

  struct Entry {
    std::string what;
    int value = 0;
    uint32_t time = 0;
  };
  Keys keys;
  std::vector<Entry> log;

 private:
  void Log(const char* what, int value) { log.push_back(Entry{what, value, platform_.Now()}); }
  Platform& platform_;
};

}  // namespace rv::test
