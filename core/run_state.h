#pragma once
// The run-state flags that the long operations share.

namespace ob {

struct RunState {
    bool KeepRunning = false; // the one cancellation signal
    bool OldBoot = false;     // the boot loader announced itself as older than 1.2
    bool TraceRx = true;      // the boot-loader decoder logs every received byte
};

inline RunState Run;

} // namespace ob
