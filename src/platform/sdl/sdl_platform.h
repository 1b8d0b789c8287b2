#pragma once
// The platform for players, on SDL2. The only code of the game that includes SDL headers
// (with the SDL2_mixer audio backend beside it).
//
// The window is borderless, covers the desktop (SDL's full-screen-desktop mode: the display
// mode is never changed, so there is nothing to give back) and stays on top; the 640 x 480
// picture is scaled into it with nearest-neighbour sampling and black bars where the aspect
// differs. SIGTERM, SIGINT, SIGQUIT and SIGHUP are reported like a closed window once the
// event loop runs, so the regular shutdown runs; before that they end the program at once,
// marker removed (TerminationSignals). So is a window that another program destroyed
// (WindowLoss). A waited effect and a message box end early on a request to
// end, and a waited effect also on Escape or a closed window, which the next event pass then
// delivers.
//
// F11 and Alt+Enter switch between full-screen and a framed window at any moment (SwitchKeys:
// the game never sees them). One switch at a time: presses while one is in flight are merged
// into the next. The window shows the picture at the largest whole-number scale
// that fits the usable desktop, centred, and is an ordinary window: not kept on top, the
// mouse pointer hidden over the picture only.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/sdl/switch_keys.h"
#include "platform/sdl/termination_signals.h"
#include "platform/sdl/window_loss.h"
#include "platform/sdl/window_scale.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;

namespace rv {

class SdlGamepads;

struct SdlWindowOptions {
  // False starts in a window: a plain borderless 640 x 480 one (benchmarks and tests of the
  // windowed present), or, with `scaled`, the player's framed window at a whole scale.
  bool fullscreen = true;
  bool scaled = false;
  int volume_percent = 100;  // music and effects; 0 opens no sound device
};

// What the window turned out to be; for tests and benchmarks.
struct SdlWindowReport {
  int window_width = 0;
  int window_height = 0;
  int output_width = 0;  // the renderer's drawable
  int output_height = 0;
  int desktop_width = 0;
  int desktop_height = 0;
  bool borderless = false;
  bool always_on_top = false;
  bool fullscreen_desktop = false;
  bool cursor_hidden = false;
  std::string renderer;
};

class SdlPlatform : public Platform {
 public:
  explicit SdlPlatform(SdlWindowOptions options = {});
  ~SdlPlatform() override;
  SdlPlatform(const SdlPlatform&) = delete;
  SdlPlatform& operator=(const SdlPlatform&) = delete;

  uint32_t Now() override;
  void Sleep(int ms) override;
  void PumpEvents(EventSink& sink) override;
  bool OpenWindow(const std::string& caption) override;
  void CloseWindow() override;
  void Present(FrameView frame) override;
  void ShowMessage(std::string_view text, std::string_view caption, MessageIcon icon) override;
  std::filesystem::path ProgramFolder() override;
  Audio& audio() override;
  void RemoveOnAbruptEnd(const std::filesystem::path& marker) override;

  // Whether a waited effect should end now: a termination signal, or a quit, a closed window
  // or Escape waiting in the event queue.
  bool EndOfWaitRequested();

  SdlWindowReport DescribeWindow() const;

 private:
  bool CreateRenderer();
  bool EnsureTexture(int width, int height);
  void Redraw();
  void GiveWayToBox();
  // Starts the switch the presses ask for once the last one has settled, and puts a window
  // that came back at another size right.
  void AdvanceSwitch();
  // Between full-screen and the window, in either direction.
  void SwitchFullscreen();
  int WindowDisplay() const;
  // The framed window's place on the display the window is on (frame sizes once known).
  WindowRect WindowedPlace(int display) const;
  void MoveToWindowedPlace(int display);
  bool AtWindowedSize(int display) const;
  // Once the window is lost nothing is asked of it: SDL would wait for it for ever.
  bool WindowUsable() const { return window_ != nullptr && !window_loss_.Lost(); }
  // Lets a lost X connection end the program through our handler rather than Xlib's exit.
  void WatchDisplay();

  TerminationSignals signals_;  // installed before SDL starts
  SdlWindowOptions options_;
  bool fullscreen_now_ = false;
  SwitchKeys switch_keys_;
  // A switch (or a correction of the window's size) is in flight from its start until the
  // window manager has had time to answer.
  bool switch_in_flight_ = false;
  uint32_t switch_checked_at_ = 0;
  int size_corrections_ = 0;  // since the last switch
  WindowLoss window_loss_;
  struct HeldRelease {
    int16_t code;
    uint32_t due;  // SDL ticks
  };
  std::vector<HeldRelease> held_releases_;  // key-ups of presses that came with them
  bool events_ready_ = false;
  bool video_ready_ = false;
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  int texture_width_ = 0;
  int texture_height_ = 0;
  bool has_picture_ = false;
  uint32_t music_done_event_ = 0;
  std::unique_ptr<Audio> audio_;           // made on the first call of audio()
  std::unique_ptr<SdlGamepads> gamepads_;  // started when the window has opened
};

}  // namespace rv
