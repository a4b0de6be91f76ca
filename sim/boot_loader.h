#pragma once
// The boot loader's command mode: each request payload [seq, code, data...] gives a reply
// [seq, status, data...] and the time the target spends on it.

#include "sim/flash_memory.h"
#include "sim/release_file.h"
#include "sim/sim_frame.h"
#include "sim/sim_options.h"

#include <chrono>
#include <optional>

namespace ob::sim {

enum CommandCode : uint8_t {
    BootVersionCommand = 1,
    AppIdCommand = 2,
    AppVersionCommand = 3,
    RunAppCommand = 4,
    EraseCommand = 6,
    WriteCommand = 7,
};

enum Status : uint8_t {
    StatusOk = 0,
    StatusUnknownCommand = 1,
    StatusBadRequest = 2,
    StatusNoApplication = 4,
    StatusNeedsErase = 5,
    StatusOutOfRange = 6,
};

std::chrono::nanoseconds EraseTime(int block);
std::chrono::nanoseconds WriteTime(size_t dataBytes);

struct Application {
    bool Present = true;
    uint16_t Version = 0;
};

struct CommandResult {
    std::optional<Bytes> Reply; // none: the boot loader keeps silent
    std::chrono::nanoseconds TargetTime{0};
    bool StartsApplication = false;
    bool FreshImage = false; // the application started is the one just written
};

class BootLoader {
public:
    BootLoader(const SimOptions& options, const ReleaseImage* release);

    // Power-up: a fresh contact.
    void Restart();
    CommandResult Execute(const Bytes& request);

    const FlashMemory& Flash() const { return flash_; }
    const Application& Resident() const { return resident_; }
    std::optional<bool> FlashMatchesRelease() const;

private:
    Bytes Answer(uint8_t code, const Bytes& data, CommandResult& result);
    Bytes EraseBlock(const Bytes& data, CommandResult& result);
    Bytes WriteFlash(const Bytes& data, CommandResult& result);
    Bytes RunApplication(CommandResult& result);
    bool ImageWrittenWhole() const;

    const SimOptions& options_;
    const ReleaseImage* release_;
    FlashMemory flash_ = FlashMemory::WithOldApplication();
    Application resident_;
    uint16_t bootVersion_;
    int erases_ = 0;
    int writes_ = 0;
    int answeredSinceRestart_ = 0;
    int goodWritesSinceRestart_ = 0;
    bool writeFailedSinceRestart_ = false;
};

} // namespace ob::sim
