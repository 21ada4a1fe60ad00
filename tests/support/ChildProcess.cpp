#include "tests/support/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

namespace testsupport {

Child StartChild(const std::string& program, const std::vector<std::string>& args, bool pipeOut,
                 const std::map<std::string, std::string>& env) {
    int fds[2] = {-1, -1};
    if (pipeOut && pipe(fds) != 0) return {};
    const pid_t pid = fork();
    if (pid == 0) {
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(pipeOut ? fds[1] : quiet, STDOUT_FILENO);
        dup2(quiet, STDERR_FILENO);
        if (pipeOut) {
            close(fds[0]);
            close(fds[1]);
        }
        for (const auto& [name, value] : env) setenv(name.c_str(), value.c_str(), 1);
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    if (pipeOut) close(fds[1]);
    return {pid, pipeOut ? fds[0] : -1};
}

std::vector<std::string> ReadChildLines(int fd, size_t count, std::chrono::milliseconds wait) {
    std::vector<std::string> lines;
    std::string partial;
    const auto end = std::chrono::steady_clock::now() + wait;
    while (lines.size() < count && std::chrono::steady_clock::now() < end) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 100) <= 0) continue;
        char buf[512];
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n <= 0) break;
        partial.append(buf, static_cast<size_t>(n));
        for (size_t at; (at = partial.find('\n')) != std::string::npos;) {
            lines.push_back(partial.substr(0, at));
            partial.erase(0, at + 1);
        }
    }
    return lines;
}

int StopChild(pid_t pid, int sig, std::chrono::milliseconds wait) {
    if (pid <= 0) return -1;
    if (sig != 0) kill(pid, sig);
    const auto end = std::chrono::steady_clock::now() + wait;
    int status = 0;
    while (std::chrono::steady_clock::now() < end) {
        if (waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return -1;
}

}  // namespace testsupport
