#include "bench/cpu_clock.h"

#include <sys/resource.h>

namespace ob::bench {

namespace {

std::chrono::microseconds TimeOf(const timeval& value) {
    return std::chrono::seconds(value.tv_sec) + std::chrono::microseconds(value.tv_usec);
}

} // namespace

CpuSample SampleCpu() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return {Clock::now(), TimeOf(usage.ru_utime) + TimeOf(usage.ru_stime)};
}

double ShareOfCore(const CpuSample& from, const CpuSample& to) {
    const auto wall = std::chrono::duration<double>(to.wall - from.wall).count();
    const auto cpu = std::chrono::duration<double>(to.cpu - from.cpu).count();
    return wall > 0 ? cpu / wall : 0;
}

long PeakResidentKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

double Milliseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

} // namespace ob::bench
