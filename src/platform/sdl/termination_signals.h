#pragma once
// How the game hears of an end it did not choose: SIGTERM, SIGINT, SIGQUIT (Ctrl+\) and SIGHUP
// (a closed terminal). None of them writes a core file: the game ends through its own shutdown
// or _exit.
//
// Until the game's event loop first runs, nothing would look at a request, and start-up can
// block where no loop reaches (a display that accepts the connection and never answers keeps
// SDL in poll). There the handler ends the program itself, with async-signal-safe work only:
// it removes the running marker named beforehand and calls _exit. From the event loop's first
// pass on, and inside the waits that look for it (a message box), a signal is only recorded;
// the event pump reports it like a closed window and the regular shutdown runs.
//
// SIGPIPE, SIGUSR1 and SIGUSR2 are ignored: a diagnostic written to a closed pipe must never
// end the game, and the game has no use for the user signals. A started program gets the
// default back for them (DefaultSignalsForChild).
//
// A signal handler reaches only static storage, so the state behind these objects is one per
// process; every object is a view of it.

#include <spawn.h>

#include <filesystem>

namespace rv {

// Exit status of a program ended at once by signal s: 128 + s, as a shell reports it.
inline constexpr int kSignalExitBase = 128;

class TerminationSignals {
 public:
  // Installs the handlers. SIGHUP, SIGINT and SIGQUIT keep an ignored disposition they
  // inherited (nohup, a background job): that choice stays.
  TerminationSignals();

  // The running marker an abrupt end removes. Named once the game holds its lock, so that the
  // file is its own (or a stale one) and never another copy's.
  void RemoveOnAbruptEnd(const std::filesystem::path& file);
  // From now on signals are only recorded: the event loop runs and will see them.
  void HandOverToEventLoop();
  // Whether a request is pending.
  bool Requested() const;
  // Takes the pending request; true when there was one.
  bool TakeRequest();

  // While one lives, signals are only recorded, even before the event loop runs: for a wait
  // that polls Requested().
  class RecordOnly {
   public:
    RecordOnly();
    ~RecordOnly();
    RecordOnly(const RecordOnly&) = delete;
    RecordOnly& operator=(const RecordOnly&) = delete;
  };
  // While one lives, a signal ends the program at once, even after the event loop has begun:
  // for a wait nothing can interrupt (SDL's own message box).
  class EndAtOnce {
   public:
    EndAtOnce();
    ~EndAtOnce();
    EndAtOnce(const EndAtOnce&) = delete;
    EndAtOnce& operator=(const EndAtOnce&) = delete;
  };

  // Removes the marker named by RemoveOnAbruptEnd and ends the process with `status` without
  // running anything else. Async-signal-safe.
  [[noreturn]] static void EndAbruptly(int status);
};

// Resets the signals this program ignores to their defaults in a child started with `attr`.
void DefaultSignalsForChild(posix_spawnattr_t* attr);

}  // namespace rv
