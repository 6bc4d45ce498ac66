// Messages to another process's window: posts and sends per second. Starts itself as the
// other process ("--peer"), which keeps one window and answers each send at once.
//   bench-windows [seconds]     prints "posts_per_s N" and "sends_per_s N"
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/messages.h"
#include "platform/windows.h"

extern char** environ;

namespace {

constexpr UINT answer_message = WM_USER + 1;
constexpr UINT quit_message = WM_USER + 2;
constexpr UINT counted_message = WM_USER + 3;

LRESULT peer_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == answer_message) return static_cast<LRESULT>(wparam + 1);
    if (message == quit_message) PostQuitMessage(0);
    return DefWindowProcW(window, message, wparam, lparam);
}

int run_peer() {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = peer_procedure;
    window_class.lpszClassName = u"BenchPeer";
    RegisterClassW(&window_class);
    HWND const window = CreateWindowExW(0, u"BenchPeer", u"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    std::printf("%llx\n", static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(window)));
    std::fflush(stdout);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    return 0;
}

template <class Step>
double per_second(double seconds, Step step) {
    using Clock = std::chrono::steady_clock;
    auto const start = Clock::now();
    auto const end = start + std::chrono::duration<double>(seconds);
    long count = 0;
    while (Clock::now() < end) {
        for (int i = 0; i < 16; ++i) step(count++);
    }
    return static_cast<double>(count) / std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "--peer") return run_peer();
    double const seconds = argc > 1 ? std::atof(argv[1]) : 2.0;
    if (!std::getenv("SONBRIX_DEVICE")) {
        auto const device = std::filesystem::temp_directory_path() / ("bench-windows-" + std::to_string(getpid()));
        std::filesystem::create_directories(device);
        setenv("SONBRIX_DEVICE", device.c_str(), 1);
    }
    int pipe_fds[2];
    if (pipe(pipe_fds) != 0) return 1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], 1);
    posix_spawn_file_actions_addclose(&actions, pipe_fds[0]);
    char peer_flag[] = "--peer";
    char* peer_argv[] = {argv[0], peer_flag, nullptr};
    pid_t peer = 0;
    if (posix_spawn(&peer, argv[0], &actions, nullptr, peer_argv, environ) != 0) return 1;
    close(pipe_fds[1]);
    char line[64] = {};
    FILE* from_peer = fdopen(pipe_fds[0], "r");
    if (!from_peer || !std::fgets(line, sizeof line, from_peer)) return 1;
    HWND const window = reinterpret_cast<HWND>(std::strtoull(line, nullptr, 16));

    bool all_answered = true;
    double const sends = per_second(seconds, [&](long i) {
        if (SendMessageW(window, answer_message, static_cast<WPARAM>(i), 0) != i + 1) all_answered = false;
    });
    bool all_posted = true;
    double const posts = per_second(seconds, [&](long) {
        if (!PostMessageW(window, counted_message, 0, 0)) all_posted = false;
    });
    PostMessageW(window, quit_message, 0, 0);
    waitpid(peer, nullptr, 0);
    std::printf("posts_per_s %.0f\nsends_per_s %.0f\n", posts, sends);
    return all_answered && all_posted ? 0 : 2;
}
