#include "ftp/drive_list.h"

#include <algorithm>

namespace tarlo::ftp {

namespace {

constexpr std::string_view kPseudoTypes[] = {
    "proc",       "sysfs",      "devpts",          "devtmpfs",    "cgroup",
    "cgroup2",    "securityfs", "debugfs",         "tracefs",     "mqueue",
    "pstore",     "bpf",        "hugetlbfs",       "configfs",    "fusectl",
    "autofs",     "nsfs",       "binfmt_misc",     "efivarfs",    "ramfs",
    "rpc_pipefs", "selinuxfs",  "fuse.gvfsd-fuse", "fuse.portal", "overlay",
    "squashfs",   "nfsd"};

constexpr std::string_view kSystemFolders[] = {"/proc", "/sys", "/dev", "/run"};

std::string WithoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

bool IsUnder(std::string_view path, std::string_view folder) {
    return path == folder ||
           (path.size() > folder.size() && path.substr(0, folder.size()) == folder &&
            path[folder.size()] == '/');
}

}  // namespace

bool IsPseudoVolume(const MountedVolume& volume) {
    for (const auto t : kPseudoTypes)
        if (volume.type == t) return true;
    const std::string root = WithoutTrailingSlash(volume.root);
    for (const auto f : kSystemFolders)
        if (IsUnder(root, f)) return true;
    return false;
}

std::vector<std::string> DriveList(const std::string& home,
                                   const std::vector<MountedVolume>& volumes) {
    std::vector<std::string> out{"/"};
    auto add = [&out](const std::string& place) {
        const std::string p = WithoutTrailingSlash(place);
        if (p.empty() || std::find(out.begin(), out.end(), p) != out.end()) return;
        out.push_back(p);
    };
    add(home);
    for (const auto& v : volumes)
        if (!IsPseudoVolume(v)) add(v.root);
    return out;
}

}  // namespace tarlo::ftp
