#pragma once
// The processor time of the editor from /proc: of its own process, and of
// it with every live descendant (the page's renderer and helpers), since
// most of what the page does is spent outside the editor's process.
#include <dirent.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace tarlo::bench {

// Processor milliseconds of this process alone, and of it with all its
// descendants (live ones: the page's renderer and helpers), from /proc.
struct Cpu {
    double self = 0;
    double tree = 0;
};

inline Cpu TreeCpuMs() {
    std::map<int, int> parentOf;
    std::map<int, double> ticks;
    if (DIR* proc = opendir("/proc")) {
        while (dirent* e = readdir(proc)) {
            const int pid = std::atoi(e->d_name);
            if (pid <= 0) continue;
            std::ifstream in("/proc/" + std::string(e->d_name) + "/stat");
            std::string stat((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
            const std::size_t close = stat.rfind(')');
            if (close == std::string::npos) continue;
            std::istringstream fields(stat.substr(close + 2));
            std::string field;
            std::vector<std::string> f;
            while (fields >> field) f.push_back(field);
            if (f.size() < 13) continue;
            parentOf[pid] = std::stoi(f[1]);                   // ppid
            ticks[pid] = std::stod(f[11]) + std::stod(f[12]);  // utime + stime
        }
        closedir(proc);
    }
    const int self = static_cast<int>(getpid());
    double total = 0;
    const double ownTicks = ticks.count(self) ? ticks[self] : 0;
    for (const auto& [pid, t] : ticks) {
        for (int at = pid; at > 1; at = parentOf.count(at) ? parentOf[at] : 0) {
            if (at == self) {
                total += t;
                break;
            }
        }
    }
    const double perTick = 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
    return {ownTicks * perTick, total * perTick};
}

}  // namespace tarlo::bench
