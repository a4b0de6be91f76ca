#include "tests/faults/device_hold.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace ob::testing {

namespace {

// A look that changes nothing: no controlling terminal, no waiting for carrier.
int Look(const std::string& path) {
    return open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
}

} // namespace

bool HeldExclusively(const std::string& path) {
    const int fd = Look(path);
    if (fd < 0)
        return false;
    int exclusive = 0;
    const bool held = ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive != 0;
    close(fd);
    return held;
}

bool Locked(const std::string& path) {
    const int fd = Look(path);
    if (fd < 0)
        return false;
    const bool locked = flock(fd, LOCK_EX | LOCK_NB) != 0;
    close(fd);
    return locked;
}

} // namespace ob::testing
