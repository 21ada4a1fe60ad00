#pragma once
// What the loopback benchmarks share: pinning to a core and reading CPU time,
// ours and a forked server's, so figures compare against the same floor.
#include <sched.h>
#include <signal.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

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

// Forks a server child that runs `run(portPipe)`: the child writes its port to
// the pipe and serves until SIGTERM. Returns the child's pid and that port.
template <typename Run>
std::pair<pid_t, int32_t> StartChild(Run run) {
    int fds[2];
    if (pipe(fds) != 0) std::abort();
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        run(fds[1]);
        _exit(0);
    }
    close(fds[1]);
    int32_t port = 0;
    if (read(fds[0], &port, sizeof(port)) != sizeof(port)) std::abort();
    close(fds[0]);
    return {pid, port};
}

inline void StopChild(pid_t pid) {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
}

}  // namespace benchsupport
