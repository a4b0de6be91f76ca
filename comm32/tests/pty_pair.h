#pragma once
// A pseudo-terminal for the tests: the test holds the controlling side, the code under test
// opens the other one by its path.

#include <string>
#include <termios.h>

namespace ob::testing {

class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    const std::string& path() const { return devicePath; }
    void Write(const std::string& bytes);
    // What the port sent: up to `expected` bytes, waiting at most a few seconds for them.
    std::string Read(std::size_t expected);
    // Everything the port sent that has already arrived.
    std::string ReadAvailable();
    // The port's line settings as this side sees them.
    termios Settings() const;
    // The device goes away: the port's side reads EIO and polls as hung up.
    void Hangup();

private:
    int master = -1;
    std::string devicePath;
};

} // namespace ob::testing
