#include "protocol/commands.h"

namespace ob {

std::string WriteFlashRequest(uint32_t address, std::string_view bytes) {
    std::string request;
    for (int shift = 0; shift < 32; shift += 8)
        request.push_back(char((address >> shift) & 0xFF));
    request.append(bytes);
    if (bytes.size() % 2 != 0)
        request.push_back(char(0xFF));
    return request;
}

} // namespace ob
