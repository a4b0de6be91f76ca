#pragma once
// How a run of the wizard ended, read from its log as the user would read it.

#include <string>

namespace ob::testing {

enum class Ending {
    Success,
    BootLoaderSilent,
    WrongHardware,
    AlreadyUpdated,
    Interrupted,
    EraseFailed,
    WriteFailed,
    NotContacted, // the power-cycle wait given up by the user: the update never started
    Unknown,
};

std::string EndingName(Ending ending);
Ending EndingFromName(const std::string& name);

Ending ClassifyEnding(const std::string& log);

// Programming stopped part way: these endings leave the target unusable.
bool IsCritical(Ending ending);

} // namespace ob::testing
