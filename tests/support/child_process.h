// The test helper program run as a child process, with its standard input and output
// connected to the test by pipes. It inherits the test's environment (SONBRIX_DEVICE).
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace testing_support {

class ChildProcess {
public:
    // Runs the helper program with these arguments.
    explicit ChildProcess(const std::vector<std::string>& arguments);
    // Runs another program (a path) with these arguments.
    ChildProcess(const std::string& program, const std::vector<std::string>& arguments);
    ~ChildProcess();  // kills the child if it still runs
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // One line of the child's output without its line end; empty at the end of its output.
    std::string read_line();
    void write_line(const std::string& line);
    // The exit code once the child has ended, without waiting.
    std::optional<int> exit_code_if_ended();
    int wait_for_exit();
    void kill_hard();
    pid_t pid() const { return pid_; }

private:
    pid_t pid_ = -1;
    int to_child_ = -1;
    int from_child_ = -1;
    std::optional<int> exit_code_;
    std::string buffered_;
};

}  // namespace testing_support
