#pragma once
// A lost connection to the X server (the desktop session ended, the server crashed) reaches
// the program through Xlib's I/O error handler, whose default prints a line and calls exit(1)
// from inside whatever Xlib call noticed it: the running marker would stay and keep the
// configuration dialog out although no game runs. SDL 2.26 leaves that handler to Xlib.
//
// The handler may not return (Xlib then exits itself), and C++ cannot unwind through Xlib, so
// the regular shutdown cannot run from there. Ours writes one line to standard error, removes
// the marker and ends the program with kDisplayLostStatus. That is the regular shutdown in
// all that still matters: the ranking is only written at defined points and through a
// complete replacement, the display is gone with its server, the sound device and the locks
// go with the process.

namespace rv {

inline constexpr int kDisplayLostStatus = 1;

// Installs the handler into the Xlib that SDL loaded. Call once SDL's X11 video is up;
// false when SDL is not on X11 or its Xlib cannot be reached.
bool WatchForDisplayLoss();

}  // namespace rv
