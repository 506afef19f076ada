#pragma once
// The places the FTP window offers in its drive list: the top of the file
// system, the user's home and every mounted volume that holds files a
// person keeps (not the kernel's own views such as /proc or /sys).
#include <string>
#include <string_view>
#include <vector>

namespace tarlo::ftp {

struct MountedVolume {
    std::string root;  // where it is mounted: "/media/ann/USB"
    std::string type;  // its file system: "ext4", "vfat", "proc", ...
};

// True for file systems that only show the kernel's or the system's state
// (proc, sysfs, cgroup, devpts, ...) and for the system's own run-time
// folders (/proc, /sys, /dev, /run and below): nothing there is a filing.
bool IsPseudoVolume(const MountedVolume& volume);

// "/" first, then home, then the other volumes in the order given, each
// place once (a trailing "/" does not make another), without pseudo volumes
// and empty roots.
std::vector<std::string> DriveList(const std::string& home,
                                   const std::vector<MountedVolume>& volumes);

}  // namespace tarlo::ftp
