#include "comm32/port_table.h"

#include "comm32/natural_order.h"

#include <libserialport.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <iostream>
#include <strings.h>

namespace ob {
namespace {

std::optional<std::vector<PortEntry>> CachedTable;

bool StartsWithCom(std::string_view text) {
    return text.size() >= 3 && strncasecmp(text.data(), "COM", 3) == 0;
}

// All the digits after "COM", and nothing else.
std::optional<unsigned> ComNumber(std::string_view name) {
    if (!StartsWithCom(name))
        return std::nullopt;
    std::string_view digits = name.substr(3);
    unsigned number = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (digits.empty() || error != std::errc{} || end != digits.data() + digits.size())
        return std::nullopt;
    return number;
}

std::optional<PortEntry> ParseEntry(std::string_view entry) {
    std::size_t equals = entry.find('=');
    if (equals == std::string_view::npos || equals + 1 == entry.size())
        return std::nullopt;
    std::optional<unsigned> number = ComNumber(entry.substr(0, equals));
    if (!number)
        return std::nullopt;
    return PortEntry{*number, std::string(entry.substr(equals + 1)), {}};
}

std::string Describe(const sp_port* port) {
    const char* product =
        sp_get_port_transport(port) == SP_TRANSPORT_USB ? sp_get_port_usb_product(port) : nullptr;
    const char* description = product ? product : sp_get_port_description(port);
    return description ? description : "";
}

std::vector<PortEntry> MachinePorts() {
    std::vector<PortEntry> ports;
    sp_port** list = nullptr;
    if (sp_list_ports(&list) != SP_OK)
        return ports;
    for (sp_port** port = list; *port; ++port)
        ports.push_back({0, sp_get_port_name(*port), Describe(*port)});
    sp_free_port_list(list);
    std::sort(ports.begin(), ports.end(),
              [](const PortEntry& a, const PortEntry& b) { return NaturalLess(a.path, b.path); });
    for (std::size_t i = 0; i < ports.size(); ++i)
        ports[i].number = static_cast<unsigned>(i + 1);
    return ports;
}

std::vector<PortEntry> ReadTable() {
    const char* configured = std::getenv("OBFLASH_PORTS");
    if (!configured)
        return MachinePorts();
    std::string errors;
    std::vector<PortEntry> table = ParsePortList(configured, errors);
    std::cerr << errors;
    return table;
}

} // namespace

std::string PortEntry::Name() const {
    return "COM" + std::to_string(number) + " (" + path + ")";
}

std::vector<PortEntry> ParsePortList(std::string_view text, std::string& errors) {
    std::vector<PortEntry> table;
    while (!text.empty()) {
        std::size_t comma = text.find(',');
        std::string_view entry = text.substr(0, comma);
        text = comma == std::string_view::npos ? std::string_view{} : text.substr(comma + 1);
        if (entry.empty())
            continue; // "a,,b" or a trailing comma
        if (std::optional<PortEntry> port = ParseEntry(entry))
            table.push_back(*port);
        else
            errors += "obflash: OBFLASH_PORTS: skipping \"" + std::string(entry) +
                      "\", not of the form COM<n>=<device path>\n";
    }
    return table;
}

const std::vector<PortEntry>& PortTable() {
    if (!CachedTable)
        CachedTable = ReadTable();
    return *CachedTable;
}

void ReloadPortTable() {
    CachedTable = ReadTable();
}

std::vector<PortListEntry> ListedPorts() {
    std::vector<PortListEntry> entries;
    for (const PortEntry& port : PortTable())
        entries.push_back({port.Name(), port.description});
    return entries;
}

std::optional<std::string> ResolvePortName(std::string_view name) {
    std::optional<unsigned> number = ComNumber(name);
    if (!number)
        return std::string(name);
    for (const PortEntry& port : PortTable())
        if (port.number == *number)
            return port.path;
    return std::nullopt;
}

} // namespace ob
