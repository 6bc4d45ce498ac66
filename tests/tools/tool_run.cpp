#include "tests/tools/tool_run.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

extern char** environ;

namespace tools_test {

namespace {

std::string read_all(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// The test's environment with the variables added; a later value of a name wins.
std::vector<std::string> environment_with(const std::vector<std::pair<std::string, std::string>>& added) {
    std::map<std::string, std::string> variables;
    for (char** entry = environ; *entry; ++entry) {
        std::string const text = *entry;
        std::size_t const equals = text.find('=');
        if (equals != std::string::npos) variables[text.substr(0, equals)] = text.substr(equals + 1);
    }
    for (auto const& [name, value] : added) variables[name] = value;
    std::vector<std::string> result;
    for (auto const& [name, value] : variables) result.push_back(name + "=" + value);
    return result;
}

std::vector<char*> pointers_to(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (auto& text : texts) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

}  // namespace

ToolRun run_tool(const std::string& program, const std::vector<std::string>& arguments,
                 const std::vector<std::pair<std::string, std::string>>& environment, const std::string& folder) {
    std::string const out_path = folder + "/tool-out.txt";
    std::string const err_path = folder + "/tool-err.txt";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<std::string> argv_texts{program};
    argv_texts.insert(argv_texts.end(), arguments.begin(), arguments.end());
    std::vector<std::string> env_texts = environment_with(environment);
    auto argv = pointers_to(argv_texts);
    auto envp = pointers_to(env_texts);
    pid_t pid = -1;
    ToolRun run;
    int const spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return run;
    // Far beyond what any of these runs needs on a busy machine: only a hang reaches it.
    auto const give_up = std::chrono::steady_clock::now() + std::chrono::minutes(4);
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > give_up) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            status = -1;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (status != -1) run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.out = read_all(out_path);
    run.err = read_all(err_path);
    return run;
}

}  // namespace tools_test
