#pragma once
// The host's end of the simulated line, for tests: raw bytes in and out over the pty, every
// wait bounded.

#include "sim/simulator.h"

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace ob::sim::testing {

using namespace std::chrono_literals;

// A link path of this test's own, so tests can run side by side.
std::string TestLinkPath(const std::string& name);

// Powered up at start: the boot loader announces at once.
SimOptions BootLoaderOptions();

// Started unpaced on the test's own link; nullptr (and a test failure) when it cannot start.
std::unique_ptr<Simulator> StartSimulator(SimOptions options, const std::string& name);

// The test's own frame builder: the checksum fold and the escapes, written out again here.
Bytes Frame(uint8_t seed, const Bytes& payload);

class HostLine;

// Reads bursts and answers with the contact byte the age calls for; true once in command mode.
bool MakeContact(HostLine& host, Simulator& simulator, BootAge age);

// A request in a frame, and the reply's payload (checksum checked); empty when none comes.
Bytes Exchange(HostLine& host, uint8_t seed, const Bytes& request,
               std::chrono::milliseconds timeout = 2000ms);

// The request data of a write: the address least significant byte first, then the data.
Bytes WriteRequest(uint8_t seq, uint32_t address, const Bytes& data);

class HostLine {
public:
    explicit HostLine(const std::string& path);
    ~HostLine();

    bool IsOpen() const { return fd_ >= 0; }
    void Write(const Bytes& bytes);

    // Everything from the next start byte through its end byte; empty when none comes in time.
    Bytes ReadFrame(std::chrono::milliseconds timeout = 2000ms);
    // Bursts told apart as the wizard does: by 4 ms without a byte.
    std::vector<Bytes> ReadBursts(size_t count, std::chrono::milliseconds timeout = 3000ms);
    // Whatever arrives within the time.
    Bytes ReadFor(std::chrono::milliseconds duration);
    // True once the far end has gone (the pty closed under us).
    bool WaitForHangUp(std::chrono::milliseconds timeout = 2000ms);

private:
    // One byte, or nothing when none comes in the time.
    std::optional<uint8_t> ReadByte(std::chrono::milliseconds timeout);

    int fd_ = -1;
    Bytes buffered_;
};

} // namespace ob::sim::testing
