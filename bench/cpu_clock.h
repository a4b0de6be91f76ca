#pragma once
// The process's own CPU time beside the wall clock, so a stretch of the run can be given as a
// share of one core.

#include <chrono>

namespace ob::bench {

using Clock = std::chrono::steady_clock;

struct CpuSample {
    Clock::time_point wall;
    std::chrono::microseconds cpu{0}; // user + system, all threads of this process
};

CpuSample SampleCpu();

// CPU time over wall time between two samples: 0.01 is 1 % of one core.
double ShareOfCore(const CpuSample& from, const CpuSample& to);

// The most memory this process has held resident so far, in KiB.
long PeakResidentKiB();

double Milliseconds(Clock::duration duration);

} // namespace ob::bench
