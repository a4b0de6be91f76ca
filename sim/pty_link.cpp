#include "sim/pty_link.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace ob::sim {

static bool Failed(std::string* error, const std::string& what) {
    if (error)
        *error = what + ": " + std::strerror(errno);
    return false;
}

bool PtyLink::Open(std::string* error) {
    Close();
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master_ < 0)
        return Failed(error, "posix_openpt");
    char name[PATH_MAX];
    if (grantpt(master_) != 0 || unlockpt(master_) != 0 ||
        ptsname_r(master_, name, sizeof name) != 0) {
        Failed(error, "preparing the pty");
        Close();
        return false;
    }
    devicePath_ = name;
    if (!OpenSlave(error) || !PlaceLink(error)) {
        Close();
        return false;
    }
    return true;
}

// Raw mode, so that no line discipline echoes, translates or holds back a byte.
bool PtyLink::OpenSlave(std::string* error) {
    slave_ = open(devicePath_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (slave_ < 0)
        return Failed(error, "opening " + devicePath_);
    termios settings{};
    if (tcgetattr(slave_, &settings) != 0)
        return Failed(error, "tcgetattr " + devicePath_);
    cfmakeraw(&settings);
    cfsetspeed(&settings, B19200);
    if (tcsetattr(slave_, TCSANOW, &settings) != 0)
        return Failed(error, "tcsetattr " + devicePath_);
    return true;
}

// Through a temporary name and rename, so the path never names nothing while it moves.
bool PtyLink::PlaceLink(std::string* error) {
    if (linkPath_.empty())
        return true;
    struct stat existing {};
    if (lstat(linkPath_.c_str(), &existing) == 0 && !S_ISLNK(existing.st_mode)) {
        errno = EEXIST;
        return Failed(error, linkPath_ + " exists and is not a symlink");
    }
    std::string temporary = linkPath_ + ".new" + std::to_string(getpid());
    unlink(temporary.c_str());
    if (symlink(devicePath_.c_str(), temporary.c_str()) != 0)
        return Failed(error, "symlink " + temporary);
    if (rename(temporary.c_str(), linkPath_.c_str()) != 0) {
        unlink(temporary.c_str());
        return Failed(error, "rename to " + linkPath_);
    }
    return true;
}

// Only our own link: another simulator may have taken the path over since.
void PtyLink::RemoveLink() {
    if (linkPath_.empty() || devicePath_.empty())
        return;
    char target[PATH_MAX];
    ssize_t length = readlink(linkPath_.c_str(), target, sizeof target - 1);
    if (length >= 0 && std::string(target, length) == devicePath_)
        unlink(linkPath_.c_str());
}

void PtyLink::Close() {
    RemoveLink();
    if (slave_ >= 0)
        close(slave_);
    if (master_ >= 0)
        close(master_);
    slave_ = master_ = -1;
    devicePath_.clear();
}

} // namespace ob::sim
