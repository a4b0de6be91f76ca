#pragma once
// The controller's end of the line: a pseudo-terminal master, with a stable symlink that
// names the slave end for the host.

#include <string>

namespace ob::sim {

class PtyLink {
public:
    explicit PtyLink(std::string linkPath) : linkPath_(std::move(linkPath)) {}
    ~PtyLink() { Close(); }
    PtyLink(const PtyLink&) = delete;
    PtyLink& operator=(const PtyLink&) = delete;

    // A fresh pty behind the link path; the reason in *error when that fails.
    bool Open(std::string* error);
    // The line goes away: everything closed, so the host's port sees a hang-up, and the
    // link removed, as the device node of an unplugged adapter disappears.
    void Close();

    bool IsOpen() const { return master_ >= 0; }
    int Master() const { return master_; }
    const std::string& DevicePath() const { return devicePath_; }
    // The symlink, or the device itself when there is none.
    const std::string& HostPath() const { return linkPath_.empty() ? devicePath_ : linkPath_; }

private:
    bool OpenSlave(std::string* error);
    bool PlaceLink(std::string* error);
    void RemoveLink();

    std::string linkPath_;
    std::string devicePath_;
    int master_ = -1;
    int slave_ = -1; // kept open so the master never reports a hang-up while no host is there
};

} // namespace ob::sim
