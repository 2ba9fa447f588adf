// Ctrl+C, a kill, a closed terminal or a reader gone ends the companion without litter.
#pragma once

namespace quillomatic::SignalCleanup {

// From now on SIGINT, SIGTERM, SIGHUP and SIGPIPE (a reader of standard
// output or error gone, as "| head -1" goes) remove the scratch files the
// process has on disk (see ScratchFiles) and then end it by the same signal,
// as if it had not been caught: finished scripts and the files a script would
// have replaced stay as they are. The signals are taken by one thread of
// their own, so the removal runs as ordinary code, not in a signal handler. A
// signal the program was started to ignore (nohup) stays ignored. Call in
// main before any other thread starts.
void Install();

} // namespace quillomatic::SignalCleanup
