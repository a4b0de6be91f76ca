#pragma once
// The far end of a real pseudo-terminal that the serial port module has open as "bio7".

#include <chrono>
#include <string>
#include <string_view>

namespace ob::testing {

class PtyLine {
public:
    PtyLine();  // opens the pair, names the slave COM7, OpenPort("bio7") and 19200 8N1
    ~PtyLine(); // closes the port and the pair
    PtyLine(const PtyLine&) = delete;
    PtyLine& operator=(const PtyLine&) = delete;

    // The peer's bytes; returns once all of them wait in the port's receive queue.
    void Send(std::string_view bytes);
    // The peer's bytes, without waiting for them to arrive (for a peer on another thread).
    void Write(std::string_view bytes);
    // What the program sent: `count` bytes, or fewer when `limit` passes first.
    std::string Take(std::size_t count,
                     std::chrono::milliseconds limit = std::chrono::milliseconds(2000));
    // Everything the program sent that is still unread.
    std::string TakeRest();

private:
    int waitingAtPort() const;
    int master = -1;
    int slave = -1; // kept open so the waiting bytes can be counted at the port's side
};

} // namespace ob::testing
