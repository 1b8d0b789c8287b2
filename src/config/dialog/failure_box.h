#pragma once
// The dialog's last resort: whatever escapes (a file system error, memory running out) ends
// in an error box and exit status 1, never in an abort with a core dump.

#include <functional>

#include "config/dialog/warning_box.h"
#include "lang/catalogue.h"

namespace rv {

// Exit status after a failure that the dialog did not expect.
inline constexpr int kFailureExitStatus = 1;

// Runs `body` and returns its status. An exception that leaves it is shown by `warn` with
// the caption "エラー", a text in the language of `words` (the file named on a line of its own
// where there is one) and written in English to standard error; the result is then
// kFailureExitStatus.
int RunReportingFailures(const std::function<int()>& body, const WarningFn& warn,
                         const Catalogue& words);

// The same for a handler inside the event loop, which an exception must not leave: the box
// is shown and the event loop ends with kFailureExitStatus.
void HandleReportingFailures(const std::function<void()>& handler, const WarningFn& warn,
                             const Catalogue& words);

}  // namespace rv
