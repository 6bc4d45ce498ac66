#include "tests/support/child_process.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include <cerrno>
#include <utility>
#include <stdexcept>

extern char** environ;

namespace testing_support {

ChildProcess::ChildProcess(const std::vector<std::string>& arguments) : ChildProcess(SONBRIX_TEST_HELPER, arguments) {}

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments) {
    int input[2], output[2];
    if (pipe2(input, O_CLOEXEC) != 0 || pipe2(output, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    std::vector<std::string> all{program};
    all.insert(all.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& argument : all) argv.push_back(argument.data());
    argv.push_back(nullptr);
    int const result = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(input[0]);
    close(output[1]);
    to_child_ = input[1];
    from_child_ = output[0];
    if (result != 0) throw std::runtime_error("cannot start the test helper");
}

ChildProcess::~ChildProcess() {
    if (!exit_code_) {
        kill_hard();
    }
    close(to_child_);
    close(from_child_);
}

std::string ChildProcess::read_line() {
    for (;;) {
        auto const end = buffered_.find('\n');
        if (end != std::string::npos) {
            std::string line = buffered_.substr(0, end);
            buffered_.erase(0, end + 1);
            return line;
        }
        char chunk[256];
        ssize_t const n = read(from_child_, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return std::exchange(buffered_, {});
        buffered_.append(chunk, static_cast<std::size_t>(n));
    }
}

void ChildProcess::write_line(const std::string& line) {
    std::string const bytes = line + "\n";
    ssize_t const n = write(to_child_, bytes.data(), bytes.size());
    (void)n;
}

std::optional<int> ChildProcess::exit_code_if_ended() {
    if (exit_code_) return exit_code_;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) exit_code_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return exit_code_;
}

int ChildProcess::wait_for_exit() {
    if (exit_code_) return *exit_code_;
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    exit_code_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return *exit_code_;
}

void ChildProcess::kill_hard() {
    if (exit_code_) return;
    ::kill(pid_, SIGKILL);
    wait_for_exit();
}

}  // namespace testing_support
