#pragma once
// Where the benchmark's own program lies: tarlo-cli is built beside it.
#include <unistd.h>

#include <string>
#include <vector>

namespace tarlo::bench {

inline std::string ExecutableFolder() {
    std::vector<char> buffer(4096);
    const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (n <= 0) return ".";
    std::string path(buffer.data(), static_cast<std::size_t>(n));
    return path.substr(0, path.rfind('/'));
}

}  // namespace tarlo::bench
