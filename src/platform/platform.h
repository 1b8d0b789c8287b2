#pragma once
// The one seam between the game and the machine. Everything that touches the clock,
// the window, the keyboard, the sound device or message boxes goes through here.
// Two implementations: SDL2 (src/platform/sdl) for players, headless for tests and rv_sim.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace rv {

// Ends the program. Thrown by the regular shutdown and by the start-up failure exits;
// main() (or a test) catches it. Nothing below main calls exit().
struct ProgramExit {
  int status = 0;
};

// Key codes the key handlers compare against (the Windows virtual-key numbers);
// each platform maps its physical keys to these.
namespace vk {
constexpr int16_t kReturn = 13;  // Return and keypad Enter
constexpr int16_t kShift = 16;   // either Shift key
constexpr int16_t kEscape = 27;
constexpr int16_t kLeft = 37;
constexpr int16_t kUp = 38;
constexpr int16_t kRight = 39;
constexpr int16_t kDown = 40;
constexpr int16_t kX = 88;
constexpr int16_t kZ = 90;
}  // namespace vk

enum class MessageIcon { kNone, kWarning };

// What a pass of event servicing delivers. The game's dispatcher implements it.
class EventSink {
 public:
  virtual ~EventSink() = default;
  virtual void OnKeyDown(int16_t key_code) = 0;  // auto-repeat arrives as repeated key-downs
  virtual void OnKeyUp(int16_t key_code) = 0;
  virtual void OnClose() = 0;  // window closed, SIGTERM, SIGINT
  // A music player reached the end of its track (a streaming backend may tell shortly
  // before the end, so that an answering Seek and Play join the start on without a gap).
  virtual void OnMusicDone(int player) = 0;
};

// A composed 640 x 480 picture, pixels 0x00RRGGBB, rows top-down, no padding.
struct FrameView {
  const uint32_t* pixels = nullptr;
  int width = 0;
  int height = 0;
};

// Two music players (0 and 1) and one effect channel. No audio device: every call is silent.
class Audio {
 public:
  virtual ~Audio() = default;
  // Makes the track ready to play; false when it cannot be opened (the player then stays
  // silent).
  virtual bool OpenMusic(int player, const std::filesystem::path& file) = 0;
  virtual void PlayMusic(int player) = 0;  // starts where the player stands
  virtual void StopMusic(int player) = 0;  // halts; the position is kept
  // Back to the beginning; a playing player whose end was already told goes there at that
  // end, without a gap.
  virtual void SeekMusic(int player) = 0;
  // Plays an effect, cutting the one that is playing. wait = true blocks until it has
  // ended, servicing no events. Returns false when the file cannot be played.
  virtual bool PlayEffect(const std::filesystem::path& file, bool wait) = 0;
  // The short built-in tone that stands in for an effect that cannot be played.
  virtual void PlayFallbackTone(bool wait) = 0;
  virtual void StopEffect() = 0;
};

class Platform {
 public:
  virtual ~Platform() = default;

  // Millisecond counter; compare stamps by signed 32-bit difference (wrap-safe).
  virtual uint32_t Now() = 0;
  virtual void Sleep(int ms) = 0;
  // Services every pending event once and returns.
  virtual void PumpEvents(EventSink& sink) = 0;

  // Opens the game's window: borderless, full-screen on the desktop, topmost, mouse
  // cursor hidden (or, where the player asked for a window, the picture at a whole scale in
  // an ordinary window). False when no window or renderer can be made.
  virtual bool OpenWindow(const std::string& caption) = 0;
  // Gives the display and the mouse cursor back. Safe to call more than once.
  virtual void CloseWindow() = 0;
  virtual void Present(FrameView frame) = 0;

  // Shows a message box (a real dialog where a display exists) and writes the same line
  // to standard error. Returns when it is closed. An open game window gives way to the box
  // and stays hidden: every box of the game ends it.
  virtual void ShowMessage(std::string_view text, std::string_view caption, MessageIcon icon) = 0;

  // The folder of the executable, whatever the working folder.
  virtual std::filesystem::path ProgramFolder() = 0;

  virtual Audio& audio() = 0;

  // The running marker, once it is this program's: an end that cannot run the regular
  // shutdown (a signal before the event loop runs, a lost display) still removes it.
  virtual void RemoveOnAbruptEnd(const std::filesystem::path& marker) { (void)marker; }
};

}  // namespace rv
