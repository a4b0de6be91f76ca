#pragma once
// The far end of one real pseudo-terminal that the serial port module keeps open as "bio7"
// for the whole fuzzing process. Opening a pty per input would cost more than the input.
// The pty carries bytes to the other side asynchronously, in both directions.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace ob::fuzzing {

class FuzzLine {
public:
    // The process's line, opened on first use.
    static FuzzLine& Get();

    // Empties both directions.
    void Reset();

    // Hands the peer's bytes to the port and returns once they wait there. Takes no more than
    // the port's queue has room for; returns how many it took.
    std::size_t Send(std::string_view bytes);
    // Everything the program sent since the last call that has arrived by now.
    std::string Heard();
    // Waits for bytes that are still on their way until `complete` says the bytes heard so
    // far are enough, or the arrival limit has passed.
    std::string HeardUntil(const std::function<bool(const std::string&)>& complete);
    // Bytes that wait at the port, not yet read by the program.
    int WaitingAtPort() const;

private:
    FuzzLine();
    int master = -1;
    int slave = -1; // kept open so the waiting bytes can be counted at the port's side
};

} // namespace ob::fuzzing
