#include "platform/sdl/sdl_platform.h"

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <system_error>
#include <vector>

#include "platform/sdl/display_loss.h"
#include "platform/sdl/message_helper.h"
#include "platform/sdl/renderer_choice.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_gamepad.h"
#include "platform/sdl/sdl_keys.h"
#include "platform/sdl/termination_signals.h"
#include "platform/sdl/video_driver_choice.h"
#include "start/program_folder.h"

namespace rv {

namespace {

constexpr int kPictureWidth = 640;
constexpr int kPictureHeight = 480;
constexpr unsigned kGlRendererName = 0x1F01;  // GL_RENDERER
constexpr int kPeekedEvents = 64;
// How long a window manager is given to answer a switch before the next may start: a
// switch already waits in SDL for up to 100 ms, and the manager's answers come after that.
constexpr uint32_t kSwitchSettleMs = 150;
// The game looks at its key flags between waits of up to a frame: a press seen for less than
// this could be missed, and for more than a menu step (120 ms) would count twice.
constexpr uint32_t kShortestPressMs = 50;
// A window manager that insists on another size is not fought for ever.
constexpr int kMaxSizeCorrections = 3;

// Message texts break lines with CR LF; dialogs and terminals here want LF alone.
std::string UnixLines(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out.push_back(text[i]);
  }
  return out;
}

// GL_RENDERER of the renderer's own context ("llvmpipe (LLVM 15.0.6, 256 bits)" and the
// like), or a marker for renderers that are not GL.
std::string ProbeRendererName(SDL_Renderer* renderer) {
  SDL_RendererInfo info{};
  if (SDL_GetRendererInfo(renderer, &info) != 0) return {};
  if ((info.flags & SDL_RENDERER_SOFTWARE) != 0) return "software rasterizer";
  const std::string name = info.name != nullptr ? info.name : "";
  if (name.rfind("opengl", 0) != 0) return name;
  using GetString = const unsigned char* (*)(unsigned);
  auto get_string = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
  if (get_string == nullptr) return {};
  const unsigned char* text = get_string(kGlRendererName);
  return text != nullptr ? reinterpret_cast<const char*>(text) : std::string();
}

// SDL falls back to its off-screen driver when no display answers; that is no display for
// a player, so video is given up again unless the driver was asked for by name.
bool OnRealDisplay() {
  const char* chosen = SDL_GetCurrentVideoDriver();
  const char* requested = std::getenv("SDL_VIDEODRIVER");
  const std::string driver = chosen != nullptr ? chosen : "";
  if (AcceptVideoDriver(driver, requested != nullptr ? requested : "")) return true;
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
  SDL_SetError("no display (neither X11 nor Wayland answers; SDL offered \"%s\")", driver.c_str());
  return false;
}

// SDL's X11 keyboard opens an input method, for which libX11 parses the locale's whole
// Compose table: some 14 ms of processor time before the window can appear. The game reads
// key-downs and key-ups only, never composed text, so for the moment of the video start-up
// the table is an empty file (XCOMPOSEFILE, libX11's own setting); the environment is put
// back at once. No other thread reads the environment meanwhile: the audio device is
// opened later.
bool InitVideo(WindowLoss& window_loss) {
  window_loss.InstallBeforeVideo();
  const char* previous = std::getenv("XCOMPOSEFILE");
  const std::optional<std::string> saved =
      previous != nullptr ? std::optional<std::string>(previous) : std::nullopt;
  setenv("XCOMPOSEFILE", "/dev/null", 1);
  const bool ready = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
  if (saved) {
    setenv("XCOMPOSEFILE", saved->c_str(), 1);
  } else {
    unsetenv("XCOMPOSEFILE");
  }
  return ready && OnRealDisplay();
}

}  // namespace

SdlPlatform::SdlPlatform(SdlWindowOptions options) : options_(options) {
  // The termination signals are ours (TerminationSignals): SDL's handlers would only queue a
  // quit event that nothing reads before the event loop runs, nor inside a waited effect or a
  // message box.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  events_ready_ = SDL_Init(SDL_INIT_EVENTS | SDL_INIT_TIMER) == 0;
  if (!events_ready_) std::cerr << "SDL: " << SDL_GetError() << '\n';
  // The audio device is opened on first use: the game asks for it only once its window
  // is open, so the window does not wait for the sound system.
  music_done_event_ = SdlAudio::MusicDoneEventType();
}

SdlPlatform::~SdlPlatform() {
  gamepads_.reset();  // before SDL_Quit, which frees the pads
  CloseWindow();
  audio_.reset();
  SDL_Quit();
}

uint32_t SdlPlatform::Now() { return SDL_GetTicks(); }

void SdlPlatform::Sleep(int ms) {
  if (ms > 0) SDL_Delay(static_cast<Uint32>(ms));
}

// A closed window comes as a window event and then, being the last window, as SDL_QUIT;
// the sink hears of it once per pass.
void SdlPlatform::PumpEvents(EventSink& sink) {
  bool close_reported = false;
  auto report_close = [&] {
    if (close_reported) return;
    close_reported = true;
    sink.OnClose();
  };
  // From the first pass on, the termination signals wait here for the regular shutdown.
  signals_.HandOverToEventLoop();
  if (signals_.TakeRequest()) report_close();
  // On every pass, like a pending signal: the line on standard error is WindowLoss's.
  if (window_loss_.Lost()) report_close();
  // One pump, then the queue drained without pumping again: SDL_PollEvent would pump the
  // display connection once more for the final, empty poll, on every pass of every wait.
  if (gamepads_) gamepads_->Update(SDL_GetTicks());
  // A key pressed and released within one pass (the loop was held up, by a switch for one)
  // would set and clear its flag before the game looked: it is held as a short press is.
  const uint32_t now = SDL_GetTicks();
  std::erase_if(held_releases_, [&](const HeldRelease& held) {
    if (static_cast<int32_t>(now - held.due) < 0) return false;
    sink.OnKeyUp(held.code);
    return true;
  });
  std::vector<int16_t> pressed;
  SDL_PumpEvents();
  SDL_Event event;
  while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1) {
    if (gamepads_ && gamepads_->HandleEvent(event, sink, SDL_GetTicks())) continue;
    switch (event.type) {
      case SDL_KEYDOWN: {  // auto-repeat included: the handlers expect repeated key-downs
        const SwitchKeyAction action =
            switch_keys_.KeyDown(event.key.keysym.sym, event.key.keysym.mod, event.key.repeat != 0);
        if (action != SwitchKeyAction::kDeliver) break;  // a switch waits for AdvanceSwitch
        if (int16_t code = MapSdlKey(event.key.keysym.sym); code != 0) {
          // Pressed again: the earlier release is past.
          std::erase_if(held_releases_, [&](const HeldRelease& held) { return held.code == code; });
          pressed.push_back(code);
          sink.OnKeyDown(code);
        }
        break;
      }
      case SDL_KEYUP:
        if (switch_keys_.KeyUp(event.key.keysym.sym) != SwitchKeyAction::kDeliver) break;
        if (int16_t code = MapSdlKey(event.key.keysym.sym); code != 0) {
          if (std::find(pressed.begin(), pressed.end(), code) == pressed.end()) {
            sink.OnKeyUp(code);
          } else if (std::none_of(held_releases_.begin(), held_releases_.end(),
                                  [&](const HeldRelease& held) { return held.code == code; })) {
            held_releases_.push_back(HeldRelease{code, now + kShortestPressMs});
          }
        }
        break;
      case SDL_QUIT:
        report_close();
        break;
      case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
          report_close();
        } else if (event.window.event == SDL_WINDOWEVENT_EXPOSED ||
                   event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
          Redraw();  // the picture persists, like a picture box's persistent image
          // The window is not resizable: a new size is the window manager's late answer to
          // a switch, to be looked at once it has settled.
          if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED && !fullscreen_now_ &&
              !switch_in_flight_ && size_corrections_ < kMaxSizeCorrections) {
            switch_in_flight_ = true;
            switch_checked_at_ = SDL_GetTicks();
          }
        }
        break;
      default:
        if (music_done_event_ != 0 && event.type == music_done_event_) {
          sink.OnMusicDone(event.user.code);
        }
        break;
    }
  }
  if (window_loss_.Lost()) report_close();  // found while the queue was read
  AdvanceSwitch();
  if (gamepads_) gamepads_->Repeat(sink, SDL_GetTicks());
}

bool SdlPlatform::OpenWindow(const std::string& caption) {
  if (window_ != nullptr) return true;
  if (!video_ready_) {
    if (!InitVideo(window_loss_)) {
      std::cerr << "SDL video: " << SDL_GetError() << '\n';
      return false;
    }
    video_ready_ = true;
    WatchDisplay();
  }
  // A topmost game window should not iconify when another window takes the focus.
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
  Uint32 flags = SDL_WINDOW_BORDERLESS | SDL_WINDOW_ALWAYS_ON_TOP;
  SDL_Rect place{SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kPictureWidth, kPictureHeight};
  if (options_.fullscreen) {
    flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    // Full-screen on X11 is the window manager's job; without one SDL leaves the window at
    // its first size while reporting the desktop's. Made at the primary display's size and
    // place from the start, the window covers the desktop either way.
    SDL_Rect bounds{};
    if (SDL_GetDisplayBounds(0, &bounds) == 0 && bounds.w > 0 && bounds.h > 0) place = bounds;
  } else if (options_.scaled) {
    flags = 0;  // framed, and an ordinary window among the others
    const WindowRect rect = WindowedPlace(0);
    place = SDL_Rect{rect.x, rect.y, rect.w, rect.h};
  }
  fullscreen_now_ = options_.fullscreen;
  window_ = SDL_CreateWindow(caption.c_str(), place.x, place.y, place.w, place.h, flags);
  if (window_ != nullptr && !options_.fullscreen && options_.scaled) {
    // The frame is known only once the window manager has framed the window.
    const WindowRect rect = WindowedPlace(0);
    SDL_SetWindowSize(window_, rect.w, rect.h);
    SDL_SetWindowPosition(window_, rect.x, rect.y);
  }
  if (window_ == nullptr || !CreateRenderer() || !EnsureTexture(kPictureWidth, kPictureHeight)) {
    std::cerr << "SDL window: " << SDL_GetError() << '\n';
    CloseWindow();
    return false;
  }
  window_loss_.Watch(window_);
  SDL_StopTextInput();  // keys only; no input method
  SDL_ShowCursor(SDL_DISABLE);
  SDL_RaiseWindow(window_);
  Redraw();
  // Pads are looked for once the window is up, so the search does not delay it, and before
  // the game decodes its music: started later, the pads' small allocations settle above a
  // freed track and keep the heap from shrinking (10 MB more resident in the menu).
  if (!gamepads_) gamepads_ = std::make_unique<SdlGamepads>();
  gamepads_->Start();
  return true;
}

// Probing GL costs the whole GL stack, so it is done only where a GPU device exists. The
// software renderer needs both hints: without the framebuffer one SDL still draws the
// window surface through GL.
bool SdlPlatform::CreateRenderer() {
  GraphicsFacts facts;
  facts.has_gpu_device = HasGpuDevice("/dev");
  if (facts.has_gpu_device) {
    renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED);
    if (renderer_ != nullptr) {
      facts.gl_renderer = ProbeRendererName(renderer_);
      if (ChooseRenderer(facts) == RendererKind::kAccelerated) return true;
      SDL_DestroyRenderer(renderer_);
      renderer_ = nullptr;
    }
  }
  SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
  return renderer_ != nullptr;
}

bool SdlPlatform::EnsureTexture(int width, int height) {
  if (texture_ != nullptr && width == texture_width_ && height == texture_height_) return true;
  if (texture_ != nullptr) SDL_DestroyTexture(texture_);
  has_picture_ = false;
  texture_width_ = 0;
  texture_height_ = 0;
  texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING,
                               width, height);
  if (texture_ == nullptr) return false;
  texture_width_ = width;
  texture_height_ = height;
  // The logical size letterboxes: the picture keeps its aspect and the rest stays black.
  SDL_RenderSetLogicalSize(renderer_, width, height);
  return true;
}

void SdlPlatform::CloseWindow() {
  if (texture_ != nullptr) SDL_DestroyTexture(texture_);
  if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
  if (window_ != nullptr) {
    window_loss_.BeforeDestroy();
    SDL_DestroyWindow(window_);
  }
  texture_ = nullptr;
  renderer_ = nullptr;
  window_ = nullptr;
  has_picture_ = false;
  switch_in_flight_ = false;
  if (video_ready_) SDL_ShowCursor(SDL_ENABLE);
}

void SdlPlatform::Present(FrameView frame) {
  if (renderer_ == nullptr || frame.pixels == nullptr || frame.width <= 0 || frame.height <= 0) {
    return;
  }
  if (!EnsureTexture(frame.width, frame.height)) return;
  if (SDL_UpdateTexture(texture_, nullptr, frame.pixels, frame.width * 4) != 0) return;
  has_picture_ = true;
  Redraw();
}

void SdlPlatform::Redraw() {
  if (renderer_ == nullptr || !WindowUsable()) return;
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  if (has_picture_) SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
  SDL_RenderPresent(renderer_);
}

// Standard error first: without a display no box can appear, and the player still learns
// why the game ended. The box is rv_message beside the program, which SIGTERM, SIGINT and
// SIGHUP take down with the game; SDL's own box is the fallback where rv_message cannot run
// at all. Where rv_message found no display it can paint on, the line is all there is.
void SdlPlatform::ShowMessage(std::string_view text, std::string_view caption, MessageIcon icon) {
  const std::string body = UnixLines(text);
  const std::string title(caption);
  std::cerr << title << ": " << body << std::endl;
  GiveWayToBox();
  {
    const TerminationSignals::RecordOnly recording;
    const MessageBoxOutcome outcome =
        RunMessageBox(ProgramFolder() / kMessageHelperName, title, body, icon,
                      [this] { return signals_.Requested(); });
    if (outcome != MessageBoxOutcome::kNotRun) return;
  }
  // A signal to the whole process group ends the box as well as asking the game to end: no
  // second box then.
  if (signals_.Requested()) return;
  // SDL's box waits inside SDL, where no request is looked at: a signal ends the program.
  const TerminationSignals::EndAtOnce ending;
  if (!video_ready_) {
    if (!InitVideo(window_loss_)) return;
    video_ready_ = true;
    WatchDisplay();
  }
  const Uint32 flags = icon == MessageIcon::kWarning ? SDL_MESSAGEBOX_WARNING : 0;
  SDL_ShowSimpleMessageBox(flags, title.c_str(), body.c_str(), nullptr);
}

// A topmost window covering the desktop would hide the box, so it goes out of the way
// first. Every box of the game ends it, so the window does not come back.
void SdlPlatform::GiveWayToBox() {
  if (!WindowUsable()) return;
  SDL_SetWindowAlwaysOnTop(window_, SDL_FALSE);
  SDL_HideWindow(window_);
  SDL_ShowCursor(SDL_ENABLE);
}

// A window manager answers a switch some time after SDL has stopped waiting for it; a size
// read meanwhile (its frame, the usable area) can be wrong, and the window then comes back at
// another scale. So the next switch waits until the last one has settled, and a window that
// settled at another size than its whole scale is given that size again.
void SdlPlatform::AdvanceSwitch() {
  if (!WindowUsable()) return;
  if (switch_in_flight_) {
    if (SDL_GetTicks() - switch_checked_at_ < kSwitchSettleMs) return;
    switch_in_flight_ = false;
    if (!fullscreen_now_ && size_corrections_ < kMaxSizeCorrections &&
        !AtWindowedSize(WindowDisplay())) {
      ++size_corrections_;
      MoveToWindowedPlace(WindowDisplay());
      switch_in_flight_ = true;
      switch_checked_at_ = SDL_GetTicks();
      return;
    }
  }
  if (!switch_keys_.TakeSwitch()) return;
  SwitchFullscreen();
  size_corrections_ = 0;
  switch_in_flight_ = true;
  switch_checked_at_ = SDL_GetTicks();  // after SDL's own waits
}

// Without a window manager SDL leaves a window at its size when it goes full-screen, so the
// window is also moved and sized to the display, as OpenWindow does. Full-screen is on top,
// as at the start; the window is not.
void SdlPlatform::SwitchFullscreen() {
  if (!WindowUsable()) return;
  const int display = WindowDisplay();
  fullscreen_now_ = !fullscreen_now_;
  if (fullscreen_now_) {
    SDL_SetWindowBordered(window_, SDL_FALSE);
    SDL_Rect bounds{};
    if (SDL_GetDisplayBounds(display, &bounds) == 0 && bounds.w > 0 && bounds.h > 0) {
      SDL_SetWindowPosition(window_, bounds.x, bounds.y);
      SDL_SetWindowSize(window_, bounds.w, bounds.h);
    }
    SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
    SDL_SetWindowAlwaysOnTop(window_, SDL_TRUE);
  } else {
    SDL_SetWindowFullscreen(window_, 0);
    SDL_SetWindowAlwaysOnTop(window_, SDL_FALSE);
    SDL_SetWindowBordered(window_, SDL_TRUE);
    MoveToWindowedPlace(display);
  }
  SDL_RaiseWindow(window_);
  Redraw();
}

int SdlPlatform::WindowDisplay() const {
  return window_ != nullptr ? std::max(0, SDL_GetWindowDisplayIndex(window_)) : 0;
}

void SdlPlatform::MoveToWindowedPlace(int display) {
  const WindowRect rect = WindowedPlace(display);
  SDL_SetWindowSize(window_, rect.w, rect.h);
  SDL_SetWindowPosition(window_, rect.x, rect.y);
}

bool SdlPlatform::AtWindowedSize(int display) const {
  const WindowRect rect = WindowedPlace(display);
  int w = 0;
  int h = 0;
  SDL_GetWindowSize(window_, &w, &h);
  return w == rect.w && h == rect.h;
}

WindowRect SdlPlatform::WindowedPlace(int display) const {
  SDL_Rect usable{0, 0, kPictureWidth, kPictureHeight};
  if (SDL_GetDisplayUsableBounds(display, &usable) != 0 || usable.w <= 0 || usable.h <= 0) {
    usable = SDL_Rect{0, 0, kPictureWidth, kPictureHeight};
  }
  WindowFrame frame;
  if (window_ != nullptr && !fullscreen_now_ &&
      SDL_GetWindowBordersSize(window_, &frame.top, &frame.left, &frame.bottom, &frame.right) !=
          0) {
    frame = WindowFrame{};
  }
  return ScaledWindow(WindowRect{usable.x, usable.y, usable.w, usable.h}, frame, kPictureWidth,
                      kPictureHeight);
}

std::filesystem::path SdlPlatform::ProgramFolder() { return rv::ProgramFolder(); }

Audio& SdlPlatform::audio() {
  if (!audio_)
    audio_ = OpenSdlAudio([this] { return EndOfWaitRequested(); }, options_.volume_percent);
  return *audio_;
}

void SdlPlatform::RemoveOnAbruptEnd(const std::filesystem::path& marker) {
  signals_.RemoveOnAbruptEnd(marker);
}

void SdlPlatform::WatchDisplay() {
  const char* driver = SDL_GetCurrentVideoDriver();
  if (driver != nullptr && std::string_view(driver) == "x11") WatchForDisplayLoss();
}

// Looked at while an effect is waited for. The window's events are pumped into SDL's queue
// and only peeked at: keys stay queued for the game's next pass, as they would in a
// platform's message queue, and the closing event itself is handled there.
bool SdlPlatform::EndOfWaitRequested() {
  if (signals_.Requested() || window_loss_.Lost()) return true;
  SDL_PumpEvents();
  SDL_Event events[kPeekedEvents];
  const int count =
      SDL_PeepEvents(events, kPeekedEvents, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT);
  for (int i = 0; i < count; ++i) {
    const SDL_Event& e = events[i];
    if (e.type == SDL_QUIT) return true;
    if (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_CLOSE) return true;
    if (e.type == SDL_KEYDOWN && MapSdlKey(e.key.keysym.sym) == vk::kEscape) return true;
  }
  return false;
}

SdlWindowReport SdlPlatform::DescribeWindow() const {
  SdlWindowReport report;
  if (window_ == nullptr) return report;
  SDL_GetWindowSize(window_, &report.window_width, &report.window_height);
  if (renderer_ != nullptr) {
    SDL_GetRendererOutputSize(renderer_, &report.output_width, &report.output_height);
    SDL_RendererInfo info{};
    if (SDL_GetRendererInfo(renderer_, &info) == 0 && info.name != nullptr) {
      report.renderer = info.name;
    }
  }
  SDL_DisplayMode mode{};
  if (SDL_GetDesktopDisplayMode(SDL_GetWindowDisplayIndex(window_), &mode) == 0) {
    report.desktop_width = mode.w;
    report.desktop_height = mode.h;
  }
  const Uint32 flags = SDL_GetWindowFlags(window_);
  report.borderless = (flags & SDL_WINDOW_BORDERLESS) != 0;
  report.always_on_top = (flags & SDL_WINDOW_ALWAYS_ON_TOP) != 0;
  report.fullscreen_desktop =
      (flags & SDL_WINDOW_FULLSCREEN_DESKTOP) == SDL_WINDOW_FULLSCREEN_DESKTOP;
  report.cursor_hidden = SDL_ShowCursor(SDL_QUERY) == SDL_DISABLE;
  return report;
}

}  // namespace rv
