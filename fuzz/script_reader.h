#pragma once
// Reads a fuzz input front to back as a peer's script; past its end every byte reads 0.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace ob::fuzzing {

class ScriptReader {
public:
    ScriptReader(const uint8_t* data, std::size_t size)
        : text(reinterpret_cast<const char*>(data), size) {}

    bool Done() const { return at >= text.size(); }

    uint8_t Byte() { return Done() ? 0 : uint8_t(text[at++]); }

    // Up to `count` bytes, fewer when the input ends first.
    std::string Bytes(std::size_t count) {
        std::string taken(text.substr(std::min(at, text.size()), count));
        at += taken.size();
        return taken;
    }

private:
    std::string_view text;
    std::size_t at = 0;
};

} // namespace ob::fuzzing
