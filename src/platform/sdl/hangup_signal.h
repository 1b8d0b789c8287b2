#pragma once
// SDL turns SIGTERM and SIGINT into its quit event, which runs the regular shutdown. A closed
// terminal sends SIGHUP instead, whose default would end the game on the spot and leave the
// running marker behind to keep the dialog out; it is passed on as SIGTERM.

namespace rv {

// Installs the forwarder, unless SIGHUP is ignored (started under nohup): that choice stays.
// Call after SDL has installed its own handlers.
void ForwardHangupAsTerminate();

}  // namespace rv
