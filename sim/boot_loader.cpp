#include "sim/boot_loader.h"

#include "sim/announcement.h"

#include "firmware/flash_blocks.h"

#include <algorithm>
#include <span>

namespace ob::sim {

using namespace std::chrono_literals;

std::chrono::nanoseconds EraseTime(int block) {
    uint32_t kib = (BlockLastAddress(block) - BlockFirstAddress(block) + 1) / 1024;
    return 15ms + kib * 2ms;
}

std::chrono::nanoseconds WriteTime(size_t dataBytes) {
    return 1ms + dataBytes * 10us;
}

static Bytes VersionBytes(uint16_t version) {
    return {static_cast<uint8_t>(version & 0xFF), static_cast<uint8_t>(version >> 8)};
}

BootLoader::BootLoader(const SimOptions& options, const ReleaseImage* release)
    : options_(options), release_(release),
      bootVersion_(options.BootVersion ? options.BootVersion : DefaultBootVersion(options.Boot)) {
    resident_.Present = options.HasApplication;
    resident_.Version = options.AppVersion;
}

void BootLoader::Restart() {
    answeredSinceRestart_ = 0;
    goodWritesSinceRestart_ = 0;
    writeFailedSinceRestart_ = false;
}

CommandResult BootLoader::Execute(const Bytes& request) {
    CommandResult result;
    if (request.size() < 2)
        return result;
    if (options_.SilentAfter >= 0 && answeredSinceRestart_ >= options_.SilentAfter)
        return result;
    ++answeredSinceRestart_;
    Bytes data(request.begin() + 2, request.end());
    Bytes reply{request[0]};
    Bytes answer = Answer(request[1], data, result);
    reply.insert(reply.end(), answer.begin(), answer.end());
    result.Reply = reply;
    return result;
}

// The status byte and the reply data.
Bytes BootLoader::Answer(uint8_t code, const Bytes& data, CommandResult& result) {
    switch (code) {
    case BootVersionCommand: {
        Bytes answer{StatusOk};
        Bytes version = VersionBytes(bootVersion_);
        answer.insert(answer.end(), version.begin(), version.end());
        return answer;
    }
    case AppIdCommand: {
        if (!resident_.Present)
            return {StatusNoApplication};
        Bytes answer{StatusOk};
        answer.insert(answer.end(), options_.Identifier.begin(), options_.Identifier.end());
        answer.push_back(0);
        return answer;
    }
    case AppVersionCommand: {
        if (!resident_.Present)
            return {StatusNoApplication};
        Bytes answer{StatusOk};
        Bytes version = VersionBytes(resident_.Version);
        answer.insert(answer.end(), version.begin(), version.end());
        return answer;
    }
    case RunAppCommand:
        return RunApplication(result);
    case EraseCommand:
        return EraseBlock(data, result);
    case WriteCommand:
        return WriteFlash(data, result);
    default:
        return {StatusUnknownCommand};
    }
}

Bytes BootLoader::EraseBlock(const Bytes& data, CommandResult& result) {
    if (data.size() != 1 || data[0] >= BlockCount)
        return {StatusBadRequest};
    if (++erases_ == options_.FailEraseAt)
        return {static_cast<uint8_t>(options_.FailEraseStatus)};
    flash_.EraseBlock(data[0]);
    result.TargetTime = EraseTime(data[0]);
    return {StatusOk};
}

Bytes BootLoader::WriteFlash(const Bytes& data, CommandResult& result) {
    if (data.size() < 5)
        return {StatusBadRequest};
    uint32_t address = data[0] | data[1] << 8 | data[2] << 16 | uint32_t(data[3]) << 24;
    std::span<const uint8_t> bytes(data.begin() + 4, data.end());
    if (++writes_ == options_.FailWriteAt) {
        writeFailedSinceRestart_ = true;
        return {static_cast<uint8_t>(options_.FailWriteStatus)};
    }
    result.TargetTime = WriteTime(bytes.size());
    switch (flash_.Write(address, bytes)) {
    case FlashMemory::WriteResult::Done:
        ++goodWritesSinceRestart_;
        return {StatusOk};
    case FlashMemory::WriteResult::OutOfRange:
        writeFailedSinceRestart_ = true;
        return {StatusOutOfRange};
    case FlashMemory::WriteResult::NeedsErase:
        writeFailedSinceRestart_ = true;
        return {StatusNeedsErase};
    }
    return {StatusBadRequest};
}

Bytes BootLoader::RunApplication(CommandResult& result) {
    if (ImageWrittenWhole()) {
        result.FreshImage = true;
        resident_.Present = true;
        resident_.Version = options_.NewAppVersion ? options_.NewAppVersion
                            : release_             ? release_->Version
                                                   : 0x0125;
    }
    if (!resident_.Present)
        return {StatusNoApplication};
    result.StartsApplication = true;
    return {StatusOk};
}

// Without a release to compare with, a session of writes that all succeeded counts as whole.
bool BootLoader::ImageWrittenWhole() const {
    if (auto matches = FlashMatchesRelease())
        return *matches;
    return goodWritesSinceRestart_ > 0 && !writeFailedSinceRestart_;
}

std::optional<bool> BootLoader::FlashMatchesRelease() const {
    if (!release_)
        return std::nullopt;
    return std::ranges::equal(flash_.Bytes(), release_->Flash);
}

} // namespace ob::sim
