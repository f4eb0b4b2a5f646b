// SIGINT and SIGTERM on the command line: they ask every running translation
// to stop at its next poll, end a read of standard input, and decide the exit
// status (128 + the signal's number, as shells expect).
#pragma once

namespace zr {

// Installs the handlers. Call before anything is read.
void stop_on_signals();
// Whether SIGINT or SIGTERM has arrived.
bool stop_was_requested();
// The exit status of a program that the signal stopped: 128 + its number; 0
// while none has arrived.
int signal_exit_status();

}  // namespace zr
