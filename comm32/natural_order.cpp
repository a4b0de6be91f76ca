#include "comm32/natural_order.h"

#include <cctype>

namespace ob {
namespace {

bool IsDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

std::string_view TakeDigits(std::string_view text, std::size_t& position) {
    std::size_t start = position;
    while (position < text.size() && IsDigit(text[position]))
        ++position;
    return text.substr(start, position - start);
}

std::string_view WithoutLeadingZeros(std::string_view digits) {
    std::size_t first = digits.find_first_not_of('0');
    return first == std::string_view::npos ? std::string_view{} : digits.substr(first);
}

// <0, 0 or >0 as the numbers written by two digit runs compare; no overflow for long runs.
int CompareNumbers(std::string_view a, std::string_view b) {
    a = WithoutLeadingZeros(a);
    b = WithoutLeadingZeros(b);
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return a.compare(b);
}

} // namespace

bool NaturalLess(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsDigit(a[i]) && IsDigit(b[j])) {
            int order = CompareNumbers(TakeDigits(a, i), TakeDigits(b, j));
            if (order != 0)
                return order < 0;
            continue;
        }
        if (a[i] != b[j])
            return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
        ++i;
        ++j;
    }
    if (a.size() - i != b.size() - j)
        return a.size() - i < b.size() - j;
    return a < b; // equal by value ("ttyS01", "ttyS1"): keep a total order
}

} // namespace ob
