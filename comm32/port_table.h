#pragma once
// The machine's serial ports under the names the rest of the program uses, "COM<n> (<path>)".
// From OBFLASH_PORTS (comma-separated COM<n>=<path>, order kept) when it is set, else the
// ports libserialport lists, sorted by path in natural order and numbered COM1, COM2, ...

#include "core/wizard_view.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ob {

struct PortEntry {
    unsigned number = 0;
    std::string path;
    std::string description;

    std::string Name() const; // "COM3 (/dev/ttyUSB0)"
};

// Read once, then cached: the recovery reopens the port at every receive poll.
const std::vector<PortEntry>& PortTable();
// Reads the table again (tests change OBFLASH_PORTS between cases).
void ReloadPortTable();

// The table's entries in order, for the search's lists.
std::vector<PortListEntry> ListedPorts();

// The device path behind a name: "COM<n>" (any case, n all the digits) through the table,
// nothing when the table has no such port; any other name is a path already.
std::optional<std::string> ResolvePortName(std::string_view name);

// An OBFLASH_PORTS value as a table; each malformed entry is reported on `errors` and skipped.
std::vector<PortEntry> ParsePortList(std::string_view text, std::string& errors);

} // namespace ob
