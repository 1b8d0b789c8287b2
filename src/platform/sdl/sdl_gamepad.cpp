#include "platform/sdl/sdl_gamepad.h"

#include <SDL.h>

#include <algorithm>
#include <iostream>

namespace rv {

namespace {

// The stick's four directions, numbered apart from the buttons.
enum StickCode : int { kStickLeft = 100, kStickRight, kStickUp, kStickDown };

// The key code a button stands for; 0 for buttons without one (Back is only half of the
// quit chord).
int16_t ButtonCode(int button) {
  switch (button) {
    case SDL_CONTROLLER_BUTTON_DPAD_UP:
      return vk::kUp;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
      return vk::kDown;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
      return vk::kLeft;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
      return vk::kRight;
    case SDL_CONTROLLER_BUTTON_A:
      return vk::kX;
    case SDL_CONTROLLER_BUTTON_B:
      return vk::kZ;
    case SDL_CONTROLLER_BUTTON_START:
      return vk::kReturn;
    default:
      return 0;
  }
}

}  // namespace

bool GamepadKeys::HandleEvent(const SDL_Event& event, EventSink& sink, uint32_t now) {
  switch (event.type) {
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
      Button(event.cbutton.which, event.cbutton.button, event.type == SDL_CONTROLLERBUTTONDOWN,
             sink, now);
      return true;
    case SDL_CONTROLLERAXISMOTION:
      Axis(event.caxis.which, event.caxis.axis, event.caxis.value, sink, now);
      return true;
    default:
      return false;
  }
}

void GamepadKeys::Button(int32_t pad, int button, bool down, EventSink& sink, uint32_t now) {
  const bool back_down = std::find(back_held_.begin(), back_held_.end(), pad) != back_held_.end();
  if (button == SDL_CONTROLLER_BUTTON_BACK) {
    if (down && !back_down) back_held_.push_back(pad);
    if (!down)
      back_held_.erase(std::remove(back_held_.begin(), back_held_.end(), pad), back_held_.end());
    if (down && IsHeld(pad, SDL_CONTROLLER_BUTTON_START)) sink.OnClose();
    return;
  }
  if (button == SDL_CONTROLLER_BUTTON_START && down && back_down) {
    sink.OnClose();
    return;
  }
  const int16_t code = ButtonCode(button);
  if (code == 0) return;
  if (down) {
    Press(pad, button, code, sink, now);
  } else {
    Release(pad, button, sink);
  }
}

void GamepadKeys::Axis(int32_t pad, int axis, int value, EventSink& sink, uint32_t now) {
  if (axis == SDL_CONTROLLER_AXIS_LEFTX) {
    StickDirection(pad, kStickLeft, vk::kLeft, value <= -kStickPress, value > -kStickRelease, sink,
                   now);
    StickDirection(pad, kStickRight, vk::kRight, value >= kStickPress, value < kStickRelease, sink,
                   now);
  } else if (axis == SDL_CONTROLLER_AXIS_LEFTY) {  // up is negative
    StickDirection(pad, kStickUp, vk::kUp, value <= -kStickPress, value > -kStickRelease, sink,
                   now);
    StickDirection(pad, kStickDown, vk::kDown, value >= kStickPress, value < kStickRelease, sink,
                   now);
  }
}

void GamepadKeys::StickDirection(int32_t pad, int input, int16_t code, bool pushed, bool let_go,
                                 EventSink& sink, uint32_t now) {
  const bool held = IsHeld(pad, input);
  if (pushed && !held) {
    Press(pad, input, code, sink, now);
  } else if (let_go && held) {
    Release(pad, input, sink);
  }
}

// A button the pad reports down twice (some drivers do) is one press, as a key is.
void GamepadKeys::Press(int32_t pad, int input, int16_t code, EventSink& sink, uint32_t now) {
  if (IsHeld(pad, input)) return;
  held_.push_back(Held{pad, input, code});
  repeating_ = true;
  repeat_ = held_.back();
  next_repeat_ = now + kRepeatDelayMs;
  sink.OnKeyDown(code);
}

// The key goes up only when nothing else on any pad holds it: the d-pad and the stick
// pushed the same way are one arrow.
void GamepadKeys::Release(int32_t pad, int input, EventSink& sink) {
  const auto it = std::find_if(held_.begin(), held_.end(),
                               [&](const Held& h) { return h.pad == pad && h.input == input; });
  if (it == held_.end()) return;
  const int16_t code = it->code;
  held_.erase(it);
  if (repeating_ && repeat_.pad == pad && repeat_.input == input) repeating_ = false;
  if (!CodeHeld(code)) sink.OnKeyUp(code);
}

void GamepadKeys::Repeat(EventSink& sink, uint32_t now) {
  if (!repeating_ || static_cast<int32_t>(now - next_repeat_) < 0) return;
  next_repeat_ = now + kRepeatIntervalMs;
  sink.OnKeyDown(repeat_.code);
}

void GamepadKeys::PadRemoved(int32_t pad, EventSink& sink) {
  back_held_.erase(std::remove(back_held_.begin(), back_held_.end(), pad), back_held_.end());
  std::vector<int> inputs;
  for (const Held& h : held_) {
    if (h.pad == pad) inputs.push_back(h.input);
  }
  for (int input : inputs) Release(pad, input, sink);
}

bool GamepadKeys::IsHeld(int32_t pad, int input) const {
  return std::any_of(held_.begin(), held_.end(),
                     [&](const Held& h) { return h.pad == pad && h.input == input; });
}

bool GamepadKeys::CodeHeld(int16_t code) const {
  return std::any_of(held_.begin(), held_.end(), [&](const Held& h) { return h.code == code; });
}

SdlGamepads::~SdlGamepads() { Stop(); }

void SdlGamepads::Stop() {
  for (const auto& [id, controller] : open_) SDL_GameControllerClose(controller);
  open_.clear();
  if (started_) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
  started_ = false;
}

// Pads already connected arrive as device-added events once the subsystem runs.
// A machine where the subsystem cannot start is told once and plays with the keyboard.
void SdlGamepads::Start() {
  if (tried_) return;
  tried_ = true;
  // The pads are read by Update, not by every pump of the event queue.
  SDL_SetHint(SDL_HINT_AUTO_UPDATE_JOYSTICKS, "0");
  started_ = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
  if (!started_) std::cerr << "SDL game controllers: " << SDL_GetError() << '\n';
}

bool SdlGamepads::UpdateDue(uint32_t now) const {
  if (!started_) return false;
  if (!open_.empty() || !updated_once_) return true;
  return now - last_update_ >= kDetectIntervalMs;  // wrap-safe
}

void SdlGamepads::Update(uint32_t now) {
  if (!UpdateDue(now)) return;
  updated_once_ = true;
  last_update_ = now;
  SDL_GameControllerUpdate();
}

bool SdlGamepads::HandleEvent(const SDL_Event& event, EventSink& sink, uint32_t now) {
  switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED: {
      // `which` is a device index here; the pad is known by its instance id from now on.
      SDL_GameController* controller = SDL_GameControllerOpen(event.cdevice.which);
      if (controller == nullptr) return true;
      const int32_t id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
      if (!open_.emplace(id, controller).second) SDL_GameControllerClose(controller);
      return true;
    }
    case SDL_CONTROLLERDEVICEREMOVED: {
      const auto it = open_.find(event.cdevice.which);
      if (it != open_.end()) {
        SDL_GameControllerClose(it->second);
        open_.erase(it);
      }
      keys_.PadRemoved(event.cdevice.which, sink);
      return true;
    }
    default:
      return keys_.HandleEvent(event, sink, now);
  }
}

}  // namespace rv
