#pragma once
// Reads a release file (magic line, header, Intel HEX records) into the flash it should leave.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ob::sim {

struct ReleaseImage {
    std::vector<uint8_t> Flash; // the whole flash after a perfect update: image over erased
    uint16_t Version = 0;       // major * 256 + minor
    std::string ProgId;
    size_t DataBytes = 0;
};

// The reason, in *error, when the file cannot be read or is not a release.
std::optional<ReleaseImage> ReadReleaseFile(const std::string& path, std::string* error);
std::optional<ReleaseImage> ParseRelease(const std::vector<std::string>& lines, std::string* error);

} // namespace ob::sim
