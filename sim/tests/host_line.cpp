#include "sim/tests/host_line.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace ob::sim::testing {

std::string TestLinkPath(const std::string& name) {
    return "/tmp/obsim-test-" + std::to_string(getpid()) + "-" + name;
}

SimOptions BootLoaderOptions() {
    SimOptions options;
    options.Start = StartState::BootLoader;
    return options;
}

std::unique_ptr<Simulator> StartSimulator(SimOptions options, const std::string& name) {
    options.Paced = false;
    options.LinkPath = TestLinkPath(name);
    auto simulator = std::make_unique<Simulator>(options);
    std::string error;
    if (!simulator->Start(&error)) {
        ADD_FAILURE() << "the simulator does not start: " << error;
        return nullptr;
    }
    return simulator;
}

Bytes Frame(uint8_t seed, const Bytes& payload) {
    Bytes wire{0xF5};
    uint8_t sum = seed;
    auto put = [&](uint8_t byte) {
        if (byte == 0xF5 || byte == 0xF6 || byte == 0xFA) {
            wire.push_back(0xF6);
            wire.push_back(byte & 0x7F);
        } else {
            wire.push_back(byte);
        }
    };
    for (uint8_t byte : payload) {
        sum = static_cast<uint8_t>((sum ^ byte) + 1);
        put(byte);
    }
    put(sum);
    wire.push_back(0xFA);
    return wire;
}

bool MakeContact(HostLine& host, Simulator& simulator, BootAge age) {
    std::vector<Bytes> bursts = host.ReadBursts(2);
    if (bursts.size() < 2)
        return false;
    const Bytes& last = bursts.back();
    if (age == BootAge::Old)
        host.Write(Bytes(3, last[last.size() - 2]));
    else
        host.Write({last.back()});
    return simulator.WaitForPhase(Phase::BootLoader, 2000ms);
}

Bytes Exchange(HostLine& host, uint8_t seed, const Bytes& request,
               std::chrono::milliseconds timeout) {
    host.Write(Frame(seed, request));
    Bytes frame = host.ReadFrame(timeout);
    Bytes payload;
    for (size_t i = 1; i + 1 < frame.size(); ++i)
        payload.push_back(frame[i] == 0xF6 ? (frame[++i] | 0x80) : frame[i]);
    if (payload.empty())
        return {};
    payload.pop_back();
    if (Frame(seed, payload) != frame)
        return {};
    return payload;
}

Bytes WriteRequest(uint8_t seq, uint32_t address, const Bytes& data) {
    Bytes request{seq, 7};
    for (int shift = 0; shift < 32; shift += 8)
        request.push_back(static_cast<uint8_t>(address >> shift));
    for (uint8_t byte : data)
        request.push_back(byte);
    return request;
}

HostLine::HostLine(const std::string& path) {
    fd_ = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd_ < 0)
        return;
    termios settings{};
    tcgetattr(fd_, &settings);
    cfmakeraw(&settings);
    tcsetattr(fd_, TCSANOW, &settings);
}

HostLine::~HostLine() {
    if (fd_ >= 0)
        close(fd_);
}

void HostLine::Write(const Bytes& bytes) {
    ASSERT_EQ(write(fd_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
}

std::optional<uint8_t> HostLine::ReadByte(std::chrono::milliseconds timeout) {
    if (buffered_.empty()) {
        pollfd fd{fd_, POLLIN, 0};
        if (poll(&fd, 1, static_cast<int>(timeout.count())) <= 0 || !(fd.revents & POLLIN))
            return std::nullopt;
        uint8_t chunk[512];
        ssize_t count = read(fd_, chunk, sizeof chunk);
        if (count <= 0)
            return std::nullopt;
        buffered_.assign(chunk, chunk + count);
    }
    uint8_t byte = buffered_.front();
    buffered_.erase(buffered_.begin());
    return byte;
}

Bytes HostLine::ReadFrame(std::chrono::milliseconds timeout) {
    auto end = std::chrono::steady_clock::now() + timeout;
    Bytes frame;
    while (std::chrono::steady_clock::now() < end) {
        auto byte = ReadByte(10ms);
        if (!byte)
            continue;
        if (*byte == 0xF5)
            frame.clear();
        if (*byte == 0xF5 || !frame.empty())
            frame.push_back(*byte);
        if (*byte == 0xFA && !frame.empty())
            return frame;
    }
    return {};
}

std::vector<Bytes> HostLine::ReadBursts(size_t count, std::chrono::milliseconds timeout) {
    auto end = std::chrono::steady_clock::now() + timeout;
    std::vector<Bytes> bursts;
    Bytes burst;
    while (bursts.size() < count && std::chrono::steady_clock::now() < end) {
        auto byte = ReadByte(4ms);
        if (byte) {
            burst.push_back(*byte);
        } else if (!burst.empty()) {
            bursts.push_back(burst);
            burst.clear();
        }
    }
    return bursts;
}

Bytes HostLine::ReadFor(std::chrono::milliseconds duration) {
    auto end = std::chrono::steady_clock::now() + duration;
    Bytes bytes;
    while (std::chrono::steady_clock::now() < end)
        if (auto byte = ReadByte(5ms))
            bytes.push_back(*byte);
    return bytes;
}

bool HostLine::WaitForHangUp(std::chrono::milliseconds timeout) {
    auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end) {
        pollfd fd{fd_, POLLIN, 0};
        if (poll(&fd, 1, 10) > 0) {
            if (fd.revents & (POLLHUP | POLLERR))
                return true;
            uint8_t chunk[512];
            if (read(fd_, chunk, sizeof chunk) < 0 && errno == EIO)
                return true;
        }
    }
    return false;
}

} // namespace ob::sim::testing
