#pragma once
// A timer event posted every 5 ms whose lateness tells how long window events wait to be
// processed; the longest wait is kept per stretch of the run.

#include "bench/cpu_clock.h"

#include <QObject>
#include <QTimer>

#include <map>
#include <string>

namespace ob::bench {

class LatenessProbe : public QObject {
public:
    LatenessProbe();

    // From now on the lateness counts for `stretch`.
    void Enter(const std::string& stretch);
    void Stop();

    // The longest lateness seen in `stretch`, ms; negative when it saw no event.
    double LongestMs(const std::string& stretch) const;

private:
    void Fired();
    void Arm();

    QTimer timer;
    Clock::time_point due{};
    std::string current;
    std::map<std::string, double> longest;
};

} // namespace ob::bench
