#pragma once
// The dialog's message boxes. Every box also writes its caption and text to standard error;
// when RV_CONFIG_BOXES_TO_STDERR is set (to anything but empty) the box itself is skipped,
// so that tests can run the program without a box that waits for a click.

#include <QString>
#include <functional>

class QWidget;

namespace rv {

// Shows a warning box (exclamation icon, one OK button) and returns when it is closed.
using WarningFn = std::function<void(const QString& caption, const QString& text)>;

void ShowWarningBox(const QString& caption, const QString& text);

}  // namespace rv
