#include "platform/linux/wake_up/wake_up_agent.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <cerrno>
#include <memory>
#include <optional>
#include <vector>

#include "platform/linux/wake_up/wake_up_store.h"
#include "platform/unicode.h"

extern char** environ;

namespace platform::detail {
namespace {

constexpr const char* agent_variable = "SONBRIX_WAKE_UP_AGENT";
constexpr long poll_ms = 100;

// An environment for a new process: ours without the named variables, plus the given ones.
class Environment {
public:
    Environment(std::initializer_list<const char*> drop, std::initializer_list<std::string> add) {
        for (char** entry = environ; *entry; ++entry) {
            bool const dropped = std::any_of(drop.begin(), drop.end(), [&](const char* name) {
                std::size_t const length = std::strlen(name);
                return std::strncmp(*entry, name, length) == 0 && (*entry)[length] == '=';
            });
            if (!dropped) texts_.emplace_back(*entry);
        }
        texts_.insert(texts_.end(), add.begin(), add.end());
        for (auto& text : texts_) pointers_.push_back(text.data());
        pointers_.push_back(nullptr);
    }
    char** get() { return pointers_.data(); }

private:
    std::vector<std::string> texts_;
    std::vector<char*> pointers_;
};

// In a child between fork and exec: only calls that are safe there.
void prepare_child_for_exec() {
    int const null = ::open("/dev/null", O_RDWR);
    if (null >= 0) {
        ::dup2(null, 0);
        ::dup2(null, 1);
        ::dup2(null, 2);
    }
    ::close_range(3, UINT_MAX, 0);
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    ::signal(SIGCHLD, SIG_DFL);
}

// Runs the program detached (a new session, no child of ours left behind), with the
// environment given; returns once the intermediate child has been collected.
void start_detached(const std::string& program, std::vector<std::string> arguments, Environment& environment) {
    std::vector<char*> argv;
    for (auto& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t const child = ::fork();
    if (child < 0) return;
    if (child == 0) {
        ::setsid();
        if (::fork() == 0) {
            prepare_child_for_exec();
            ::execve(program.c_str(), argv.data(), environment.get());
        }
        ::_exit(0);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
}

void start_program(const std::string& device_folder, const WakeUpRegistration& registration) {
    Environment environment({agent_variable, "SONBRIX_DEVICE", "SONBRIX_MODULE"},
                            {"SONBRIX_DEVICE=" + device_folder,
                             "SONBRIX_MODULE=" + utf16_to_utf8(registration.application)});
    start_detached(registration.host_program, {registration.host_program, "AppRunAtTime"}, environment);
}

bool folder_exists(const std::string& folder) {
    struct stat status;
    return ::stat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// Starts what is due and drops its registration. The milliseconds until the next one,
// or nothing when none is left.
std::optional<std::int64_t> start_due_programs(const std::string& device_folder, const std::string& folder) {
    std::int64_t const now = time_key(local_time_now());
    std::optional<std::int64_t> next;
    for (auto const& registration : read_registrations(folder)) {
        std::int64_t const due = time_key(registration.time);
        if (due <= now) {
            ::unlink(registration.file.c_str());
            start_program(device_folder, registration);
        } else {
            next = std::min(next.value_or(due), due);
        }
    }
    if (!next) return std::nullopt;
    // The key never grows slower than the clock, so its difference never makes us late.
    return *next - now;
}

[[noreturn]] void run_agent() {
    char const* device = std::getenv("SONBRIX_DEVICE");
    std::string const device_folder = device ? device : "";
    std::string const folder = device_folder + "/wakeup";
    if (device_folder.empty() || !folder_exists(folder)) ::_exit(0);
    // Waits while another agent runs: it may be about to end, and then this one takes over.
    auto agent_lock = std::make_unique<WakeUpLock>(agent_lock_path(folder), true);
    if (!agent_lock->held()) ::_exit(0);
    for (;;) {
        if (!folder_exists(folder)) ::_exit(0);
        std::optional<std::int64_t> wait;
        {
            WakeUpLock const state(state_lock_path(folder), true);
            if (!state.held()) ::_exit(0);
            wait = start_due_programs(device_folder, folder);
            // Released under the state lock, so a caller that registers later sees no agent
            // and starts a new one.
            if (!wait) agent_lock.reset();
        }
        if (!agent_lock) ::_exit(0);
        std::int64_t const sleep_ms = std::clamp<std::int64_t>(*wait, 1, poll_ms);
        ::usleep(static_cast<useconds_t>(sleep_ms * 1000));
    }
}

bool run_agent_when_asked() {
    if (std::getenv(agent_variable) != nullptr) run_agent();
    return false;
}

[[maybe_unused]] bool const agent_check = run_agent_when_asked();

std::string own_executable() {
    std::vector<char> path(4096);
    ssize_t const length = ::readlink("/proc/self/exe", path.data(), path.size() - 1);
    return length > 0 ? std::string(path.data(), static_cast<std::size_t>(length)) : std::string();
}

}  // namespace

void ensure_wake_up_agent(const std::string& device_folder, const std::string& wake_up_folder) {
    {
        WakeUpLock const probe(agent_lock_path(wake_up_folder), false);
        if (!probe.held()) return;
    }
    std::string const executable = own_executable();
    if (executable.empty()) return;
    Environment environment({agent_variable, "SONBRIX_DEVICE"},
                            {std::string(agent_variable) + "=1", "SONBRIX_DEVICE=" + device_folder});
    start_detached(executable, {executable}, environment);
}

}  // namespace platform::detail
