#pragma once
// errno values as the system error codes that comm32 passes on.

#include <cstdint>

namespace ob {

int32_t ErrorCodeFromErrno(int error);

} // namespace ob
