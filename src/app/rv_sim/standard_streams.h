#pragma once
// rv_sim's standard streams: its results are worth nothing unless they reach the caller, so
// output that could not be written ends the program with a failure, never with status 0.

#include <iosfwd>

namespace rv::sim {

// Fills a standard descriptor (0, 1, 2) that the caller closed with a read-only placeholder.
// Otherwise the next file opened would take its number, and a result line or a diagnostic
// would be written into the ranking or a lock file; writes to the placeholder fail, and are
// reported as below.
void HoldClosedStandardDescriptors();

// Flushes `out` (standard output) to the system; false, with a line on `err`, when any of
// the output could not be written (a closed descriptor, a full device).
bool FinishOutput(std::ostream& out, std::ostream& err);

}  // namespace rv::sim
