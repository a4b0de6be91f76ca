#pragma once
// The terminals this process holds for exclusive use, given back when it is told to end. The
// kernel drops a lock with the process, but not a terminal's exclusive mode: that outlives the
// process while anyone else keeps the device open (the far end of a pty, a bridge), and no
// other program could open the port again.

namespace ob {

// The first terminal held also sets up the release on SIGTERM, SIGINT, SIGHUP and SIGQUIT,
// where the process has not chosen its own handling of them.
void NoteHeldTerminal(int fd);
void NoteReleasedTerminal(int fd);

// Safe inside a signal handler.
void ReleaseHeldTerminals();

} // namespace ob
