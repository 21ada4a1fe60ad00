#pragma once
// What the loopback benchmarks share: pinning to a core and reading CPU time,
// ours and a forked server's, so figures compare against the same floor.
#include <sched.h>
#include <sys/types.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace benchsupport {

inline void PinTo(int cpu) {
    const long cpus = sysconf(_SC_NPROCESSORS_ONLN);
    if (cpus < 2) return;
    cpu_set_t set;
    CPU_ZERO(&set);
    CPU_SET(cpu % cpus, &set);
    sched_setaffinity(0, sizeof(set), &set);
}

inline double ProcessCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// CPU seconds (user + system) another process has used; 0 when unreadable.
inline double CpuSecondsOf(pid_t pid) {
    FILE* f = std::fopen(("/proc/" + std::to_string(pid) + "/stat").c_str(), "r");
    if (!f) return 0;
    char buffer[1024] = {};
    if (std::fread(buffer, 1, sizeof(buffer) - 1, f) == 0) buffer[0] = '\0';
    std::fclose(f);
    // Fields 14 and 15 (utime, stime) follow the ")" that ends the command name.
    const char* p = std::strrchr(buffer, ')');
    unsigned long utime = 0, stime = 0;
    if (!p || std::sscanf(p + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &utime,
                          &stime) != 2) {
        return 0;
    }
    return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

}  // namespace benchsupport
