// Child processes: starting device programs, collecting them, their exit codes.
#include "platform/processes.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

#include "platform/device.h"
#include "platform/errors.h"
#include "platform/linux/kernel/errors.h"
#include "platform/linux/kernel/process_object.h"
#include "platform/linux/kernel/waiting.h"
#include "platform/unicode.h"

extern char** environ;

namespace platform::detail {
namespace {

// This process's environment with the device and the module path of the child.
std::vector<std::string> child_environment(const std::u16string& module_device_path) {
    std::vector<std::string> variables;
    for (char** variable = environ; *variable; ++variable) {
        std::string_view const text = *variable;
        if (text.starts_with("SONBRIX_DEVICE=") || text.starts_with("SONBRIX_MODULE=")) continue;
        variables.emplace_back(text);
    }
    variables.push_back("SONBRIX_DEVICE=" + device_folder());
    variables.push_back("SONBRIX_MODULE=" + utf16_to_utf8(module_device_path));
    return variables;
}

std::vector<char*> pointers_to(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (auto& text : texts) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

DWORD exit_code_of(int status) {
    if (WIFEXITED(status)) return static_cast<DWORD>(WEXITSTATUS(status));
    if (WIFSIGNALED(status)) return 128 + static_cast<DWORD>(WTERMSIG(status));
    return 0;
}

// The child starts with no blocked signals and the default action for a broken pipe,
// whatever this process's threads have set up.
int spawn(pid_t& pid, const std::string& program, char* const* arguments, char* const* environment) {
    posix_spawnattr_t attributes;
    if (int const error = posix_spawnattr_init(&attributes)) return error;
    sigset_t no_signals;
    sigemptyset(&no_signals);
    sigset_t default_signals;
    sigemptyset(&default_signals);
    sigaddset(&default_signals, SIGPIPE);
    posix_spawnattr_setsigmask(&attributes, &no_signals);
    posix_spawnattr_setsigdefault(&attributes, &default_signals);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    int const error = posix_spawn(&pid, program.c_str(), nullptr, &attributes, arguments, environment);
    posix_spawnattr_destroy(&attributes);
    return error;
}

}  // namespace

DWORD ProcessObject::wait(DWORD timeout_ms) {
    std::unique_lock guard(lock_);
    return wait_with_timeout(changed_, guard, timeout_ms, [this] { return ended_; }) ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
}

DWORD ProcessObject::exit_code() {
    std::lock_guard guard(lock_);
    return ended_ ? exit_code_ : STILL_ACTIVE;
}

void ProcessObject::end(DWORD exit_code) {
    std::lock_guard guard(lock_);
    ended_ = true;
    exit_code_ = exit_code;
    changed_.notify_all();
}

std::shared_ptr<ProcessObject> start_device_program(const std::string& host_program,
                                                    const std::u16string& module_device_path,
                                                    const std::vector<std::string>& arguments) {
    std::vector<std::string> argument_texts{host_program};
    argument_texts.insert(argument_texts.end(), arguments.begin(), arguments.end());
    std::vector<std::string> environment = child_environment(module_device_path);
    std::vector<char*> const argument_pointers = pointers_to(argument_texts);
    std::vector<char*> const environment_pointers = pointers_to(environment);
    pid_t pid = 0;
    if (int const error = spawn(pid, host_program, argument_pointers.data(), environment_pointers.data())) {
        SetLastError(error == ENOEXEC ? ERROR_BAD_EXE_FORMAT : error_from_errno(error));
        return nullptr;
    }
    auto process = std::make_shared<ProcessObject>(static_cast<DWORD>(pid));
    std::thread([pid, process] {
        int status = 0;
        pid_t result;
        do {
            result = waitpid(pid, &status, 0);
        } while (result < 0 && errno == EINTR);
        // Someone else collected it (ECHILD): its status is lost.
        process->end(result == pid ? exit_code_of(status) : 0);
    }).detach();
    return process;
}

}  // namespace platform::detail

BOOL GetExitCodeProcess(HANDLE process, LPDWORD exit_code) {
    auto const object = platform::detail::find_handle_as<platform::detail::ProcessObject>(process);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!exit_code) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *exit_code = object->exit_code();
    return TRUE;
}
