#pragma once
// Gamepads through SDL's game controller layer, delivered as the keyboard's key codes, so
// the game's six key flags need to know nothing of pads:
//
//   d-pad and left stick   arrows (the stick with a dead zone)
//   south button (A, ×)    X, decide
//   east button (B, ○)     Z, cancel
//   Start                  Return, decide
//   Back + Start           a close, the regular shutdown
//
// There is no Escape on a pad: a quit that a player can press by accident has no place on
// a couch. A held pad button repeats its key-down like a held key (the match cursor steps
// on each one), and its key-up comes only when no pad input holds that key any more.

#include <SDL_events.h>
#include <SDL_gamecontroller.h>

#include <cstdint>
#include <map>
#include <vector>

#include "platform/platform.h"

namespace rv {

// The translation of controller events into key-downs and key-ups: no devices, no SDL
// calls, so tests can feed it whatever a pad could send.
class GamepadKeys {
 public:
  // The stick counts as pushed beyond kStickPress and as let go inside kStickRelease; the
  // gap keeps a stick resting near the edge from chattering.
  static constexpr int kStickPress = 16000;
  static constexpr int kStickRelease = 10000;
  // Auto-repeat as X servers start it: a pause, then a steady rate.
  static constexpr uint32_t kRepeatDelayMs = 500;
  static constexpr uint32_t kRepeatIntervalMs = 40;

  // Handles SDL_CONTROLLERBUTTONDOWN/UP and SDL_CONTROLLERAXISMOTION; false for any other
  // event. `now` is the millisecond clock of the repeats.
  bool HandleEvent(const SDL_Event& event, EventSink& sink, uint32_t now);
  // Sends the repeated key-down of the last pressed input while it stays held.
  void Repeat(EventSink& sink, uint32_t now);
  // A pad went away: every key it held is let go.
  void PadRemoved(int32_t pad, EventSink& sink);

  void Button(int32_t pad, int button, bool down, EventSink& sink, uint32_t now);
  void Axis(int32_t pad, int axis, int value, EventSink& sink, uint32_t now);

 private:
  // One physical input of one pad that holds a key.
  struct Held {
    int32_t pad;
    int input;
    int16_t code;
  };
  void Press(int32_t pad, int input, int16_t code, EventSink& sink, uint32_t now);
  void Release(int32_t pad, int input, EventSink& sink);
  bool IsHeld(int32_t pad, int input) const;
  bool CodeHeld(int16_t code) const;
  void StickDirection(int32_t pad, int input, int16_t code, bool pushed, bool let_go,
                      EventSink& sink, uint32_t now);

  std::vector<Held> held_;
  std::vector<int32_t> back_held_;  // pads whose Back button is down
  // The input that repeats: only the last pressed one, as with keys.
  bool repeating_ = false;
  Held repeat_{};
  uint32_t next_repeat_ = 0;
};

// The connected pads: opened as they arrive (those present at the start arrive the same
// way), closed as they leave.
class SdlGamepads {
 public:
  SdlGamepads() = default;
  ~SdlGamepads();
  SdlGamepads(const SdlGamepads&) = delete;
  SdlGamepads& operator=(const SdlGamepads&) = delete;

  // Looking for pads costs a little on every pass of every wait, and the menu waits for a
  // long time: while none is connected the devices are looked at only every
  // kDetectIntervalMs, which is still prompt for a pad plugged in; a connected pad is read
  // on every pass.
  static constexpr uint32_t kDetectIntervalMs = 500;

  // Starts SDL's game controller subsystem on the first call; later calls do nothing.
  void Start();
  // Reads the pads and looks for new ones, as often as said above; call once per pass,
  // before the events are pumped.
  void Update(uint32_t now);
  // Whether Update(now) reads the devices.
  bool UpdateDue(uint32_t now) const;
  // Closes the pads and the subsystem; before SDL_Quit, which frees them.
  void Stop();
  // Device arrivals and removals and the pads' inputs; false for any other event.
  bool HandleEvent(const SDL_Event& event, EventSink& sink, uint32_t now);
  void Repeat(EventSink& sink, uint32_t now) { keys_.Repeat(sink, now); }
  int OpenCount() const { return static_cast<int>(open_.size()); }

 private:
  bool tried_ = false;
  bool started_ = false;
  bool updated_once_ = false;
  uint32_t last_update_ = 0;
  std::map<int32_t, SDL_GameController*> open_;  // by joystick instance id
  GamepadKeys keys_;
};

}  // namespace rv
