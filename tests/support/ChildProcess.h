#pragma once
// Programs started as a user would: their output on a pipe (or nowhere), their
// error output discarded, every wait bounded.
#include <sys/types.h>

#include <chrono>
#include <map>
#include <string>
#include <vector>

namespace testsupport {

struct Child {
    pid_t pid = -1;
    int out = -1;  // the read end of its output, -1 when not piped
};

// Starts `program` with `args`; `env` entries are set in the child only.
Child StartChild(const std::string& program, const std::vector<std::string>& args,
                 bool pipeOut = true, const std::map<std::string, std::string>& env = {});

// Lines of the child's output until `count` have come or `wait` has passed.
std::vector<std::string> ReadChildLines(int fd, size_t count, std::chrono::milliseconds wait);

// Sends `sig` (none for 0) and waits: the exit status, 128 + signal for a
// signalled end, or -1 after a kill when it had not ended within `wait`.
int StopChild(pid_t pid, int sig, std::chrono::milliseconds wait);

}  // namespace testsupport
