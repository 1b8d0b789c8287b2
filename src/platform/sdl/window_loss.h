#pragma once
// Another program can destroy the game's window (xdotool windowclose, a session manager, a
// crashed compositor). SDL 2.26 neither reports that nor survives it: the next request about
// the window draws a protocol error, and Xlib's default error handler prints it and calls
// exit(1) from inside that request, leaving the running marker behind.
//
// WindowLoss takes that handler over. A protocol error about the game's window, or the
// window's DestroyNotify, marks the window lost; the event pump reports that like a closed
// window, so the regular shutdown runs. Any other protocol error is one line on standard
// error and the game goes on. The handler runs inside Xlib and may not call it, so it only
// records.
//
// Ours is installed before SDL starts its X11 video: SDL puts a safety net of its own in
// front of the handler it finds, which passes every error on to ours, and gives ours back when
// video ends, so errors that XCloseDisplay still collects are ours too. Around some calls SDL
// installs a catcher for a moment and then restores the handler it replaced, ours again.
//
// An Xlib handler is a plain function, so the state behind these objects is one per process
// (as for TerminationSignals); every object is a view of it.

struct SDL_Window;

namespace rv {

class WindowLoss {
 public:
  // Loads the Xlib SDL would load and installs the handler into it; false when there is no
  // Xlib. Call before SDL's video starts.
  bool InstallBeforeVideo();
  // The window whose errors and destruction end the game (an X11 window of SDL's; any other
  // leaves nothing watched). Its destruction is seen through SDL's window-manager events,
  // which are taken out of the queue before anything else sees them.
  void Watch(SDL_Window* window);
  bool Lost() const;
  // SDL hides a window before destroying it and then waits for its UnmapNotify, which a lost
  // window may never send (the one its destruction sent can be taken already): one is put
  // into the queue for SDL to find. Call just before SDL_DestroyWindow.
  void BeforeDestroy();
};

}  // namespace rv
