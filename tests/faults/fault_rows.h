#pragma once
// The rows of the fault matrix: each a fault of the line or the controller, how the wizard
// reaches the controller, and the endings that fault may lead to.

#include "sim/sim_options.h"
#include "tests/faults/ending.h"

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace ob::testing {

enum class Approach {
    CommandLine, // /COM1: straight to the power-cycle wait; the controller is switched on then
    Search,      // Next, the search finds the running application, which cycles its own power
};

struct FaultRow {
    std::string name;
    Approach approach = Approach::CommandLine;
    std::set<Ending> endings; // those this fault may lead to
    sim::SimOptions (*options)(uint32_t seed) = nullptr;
};

const std::vector<FaultRow>& FaultRows();

} // namespace ob::testing
