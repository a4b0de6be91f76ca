#include "tests/faults/cell_result.h"

#include <fstream>

namespace ob::testing {

bool WriteCellResult(const std::string& path, const CellResult& result) {
    std::ofstream file(path);
    file << "ending\t" << EndingName(result.ending) << "\n";
    file << "flash\t" << (result.flashVerified ? 1 : 0) << "\n";
    file << "seconds\t" << result.seconds << "\n";
    for (const std::string& violation : result.violations)
        file << "violation\t" << violation << "\n";
    return bool(file.flush());
}

std::optional<CellResult> ReadCellResult(const std::string& path) {
    std::ifstream file(path);
    if (!file)
        return std::nullopt;
    CellResult result;
    for (std::string key, value; std::getline(file, key, '\t') && std::getline(file, value);) {
        if (key == "ending")
            result.ending = EndingFromName(value);
        else if (key == "flash")
            result.flashVerified = value == "1";
        else if (key == "seconds")
            result.seconds = std::stod(value);
        else if (key == "violation")
            result.violations.push_back(value);
    }
    return result;
}

} // namespace ob::testing
