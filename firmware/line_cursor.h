#pragma once
// Reads a firmware file line by line. Past the last line it returns one empty line, and only
// then counts as exhausted: that empty line is still seen by the reader.

#include <cstddef>
#include <span>
#include <string_view>

namespace ob {

class LineCursor {
public:
    explicit LineCursor(std::span<const std::string_view> lines) : lines(lines) {}

    std::string_view NextLine() {
        ++counter;
        return counter <= lines.size() ? lines[counter - 1] : std::string_view();
    }

    bool LinesExhausted() const { return counter > lines.size(); }

private:
    std::span<const std::string_view> lines;
    std::size_t counter = 0;
};

} // namespace ob
