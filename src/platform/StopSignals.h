#pragma once

namespace rinvo {

class StopRequest;

/// Makes Ctrl-C (SIGINT) and SIGTERM, or Ctrl+C and Ctrl+Break in a Windows console, ask the
/// request to stop; a second one ends the program at once (a later run clears up after it).
void stopOnSignals(StopRequest& stop);

/// Returns the exit status a run stopped by a signal ends with: 128 and the signal's number
/// (130 for Ctrl-C, 143 for SIGTERM), or 0 when no signal came.
int exitStatusOfStopSignal();

} // namespace rinvo
