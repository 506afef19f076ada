// The FTP window's drive list: the places a person keeps files, each once,
// never the kernel's own views.
#include "ftp/drive_list.h"

#include <gtest/gtest.h>

namespace tarlo::ftp {
namespace {

TEST(DriveList, TopHomeAndRealVolumesOnlyEachOnce) {
    const std::vector<MountedVolume> volumes = {
        {"/", "ext4"},
        {"/proc", "proc"},
        {"/sys", "sysfs"},
        {"/sys/fs/cgroup", "cgroup2"},
        {"/dev", "devtmpfs"},
        {"/dev/shm", "tmpfs"},
        {"/run/user/1000", "tmpfs"},
        {"/running", "ext4"},  // a name that only starts like /run
        {"/home", "ext4"},
        {"/home/ann/", "ext4"},  // the home folder again, written with a slash
        {"/media/ann/USB STICK", "vfat"},
        {"/snap/core/1", "squashfs"},
        {"", "ext4"},
    };
    EXPECT_EQ(
        DriveList("/home/ann", volumes),
        (std::vector<std::string>{"/", "/home/ann", "/running", "/home", "/media/ann/USB STICK"}));
    EXPECT_EQ(DriveList("/", {}), std::vector<std::string>{"/"});
    EXPECT_TRUE(IsPseudoVolume({"/mnt/p", "proc"}));
    EXPECT_TRUE(IsPseudoVolume({"/run", "ext4"}));
    EXPECT_FALSE(IsPseudoVolume({"/tmp", "tmpfs"}));
}

}  // namespace
}  // namespace tarlo::ftp
