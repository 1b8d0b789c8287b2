#pragma once
// The options Qt takes from a program's command line itself (QGuiApplication and
// QApplication, X11 included). The dialog lets them through to Qt rather than calling them
// unknown.

#include "start/command_line.h"

namespace rv {

inline constexpr ForeignOption kQtOptions[] = {
    {"platform", true},
    {"platformpluginpath", true},
    {"platformtheme", true},
    {"plugin", true},
    {"qwindowgeometry", true},
    {"qwindowicon", true},
    {"qwindowtitle", true},
    {"session", true},
    {"display", true},
    {"geometry", true},
    {"name", true},
    {"title", true},
    {"style", true},
    {"stylesheet", true},
    {"qmljsdebugger", true},
    {"reverse", false},
    {"widgetcount", false},
    {"nograb", false},
    {"dograb", false},
    {"sync", false},
};

}  // namespace rv
