#include "tests/faults/ending.h"

#include <array>
#include <utility>

namespace ob::testing {

namespace {

bool Has(const std::string& log, const char* text) {
    return log.find(text) != std::string::npos;
}

constexpr std::array<std::pair<Ending, const char*>, 9> Names{{
    {Ending::Success, "success"},
    {Ending::BootLoaderSilent, "boot loader silent"},
    {Ending::WrongHardware, "wrong hardware"},
    {Ending::AlreadyUpdated, "already updated"},
    {Ending::Interrupted, "interrupted"},
    {Ending::EraseFailed, "erase failed"},
    {Ending::WriteFailed, "write failed"},
    {Ending::NotContacted, "not contacted"},
    {Ending::Unknown, "unknown"},
}};

} // namespace

std::string EndingName(Ending ending) {
    for (const auto& [which, name] : Names)
        if (which == ending)
            return name;
    return "unknown";
}

Ending EndingFromName(const std::string& name) {
    for (const auto& [which, text] : Names)
        if (text == name)
            return which;
    return Ending::Unknown;
}

// The closing lines of each outcome; the first that is there tells it.
Ending ClassifyEnding(const std::string& log) {
    if (!Has(log, "Entering remote KELNO flash loader."))
        return Has(log, "-- user interrupt.") ? Ending::NotContacted : Ending::Unknown;
    if (Has(log, "-- remote boot loader monitor not responding."))
        return Ending::BootLoaderSilent;
    if (Has(log, "-- This firmware is not suitable for your hardware."))
        return Ending::WrongHardware;
    if (Has(log, "-- error: target application is same or more recent."))
        return Ending::AlreadyUpdated;
    if (Has(log, "-- Interrupted by user."))
        return Ending::Interrupted;
    if (Has(log, " while erasing flash block #"))
        return Ending::EraseFailed;
    if (Has(log, " while writing flash at address "))
        return Ending::WriteFailed;
    if (Has(log, " - Firmware upgrade was successful."))
        return Ending::Success;
    return Ending::Unknown;
}

bool IsCritical(Ending ending) {
    return ending == Ending::Interrupted || ending == Ending::EraseFailed ||
           ending == Ending::WriteFailed;
}

} // namespace ob::testing
