#pragma once
// Qt with no display to reach prints a hint to reinstall it and aborts with a core dump.
// The Qt programs look first and end with one plain line instead.

#include <memory>

class QApplication;

namespace rv {

// Exit status of a Qt program that found no display.
inline constexpr int kNoDisplayExitStatus = 2;

// Whether Qt has a display to try: a platform named in QT_QPA_PLATFORM (the tests run on
// "offscreen"), or an X11 or Wayland display named in the environment. Each argument is the
// variable's value, null when unset.
bool QtDisplayConfigured(const char* qpa_platform, const char* display,
                         const char* wayland_display);
// The same, read from this process's environment.
bool QtDisplayConfigured();

// The plain line on standard error, with the program's name in front.
void ReportNoDisplay();

// Makes the application, or reports the missing display and returns null. A display that
// is named but does not answer makes Qt's start fatal; that ends the program here with the
// same line and kNoDisplayExitStatus instead of an abort. argc must outlive the application.
std::unique_ptr<QApplication> StartQtApplication(int& argc, char** argv);

}  // namespace rv
