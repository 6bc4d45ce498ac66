// bench-program: the program Sonbrix as a user meets it, on a headless screen of its own.
//
//   bench-program start [RUNS] [--size WxH]
//   bench-program play FILE [SECONDS] [--size WxH]
//
// start: starts the program RUNS times (default 11) on one device folder and times each
// start, from the process's spawn to its main form drawn on the screen (the main window is
// visible and in front, and the screen reports that every process has painted and nothing is
// left to compose); then ends it by its File menu. The first start meets a new device (no
// settings yet) and is shown apart; the rest give the median.
//
// play: starts the program with FILE (a host path, copied to "\My Documents") as its command
// line, so that it plays the file with the main form in front, waits a second and then
// measures for SECONDS (default 20) the CPU time of the program and of the screen server
// (user + system, from /proc), while the virtual sound device plays in real time. Then it
// runs `bench-job mp3-decode` on the same file (the play chain alone, no device, no screen)
// and prints both as CPU milliseconds per second of sound.
//
// Every run makes its own device folder in the host's temporary folder and removes it.
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/linux/screen/screen_control.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr const char* main_window_class = "SkinnerClass_Sonbrix";

double milliseconds_since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// user + system CPU seconds of a live process, from /proc/PID/stat.
std::optional<double> process_cpu_seconds(pid_t pid) {
    std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::size_t const end_of_name = text.rfind(')');
    if (end_of_name == std::string::npos) return std::nullopt;
    std::istringstream fields(text.substr(end_of_name + 2));
    std::string field;
    // After the name: state is field 3; utime and stime are fields 14 and 15.
    for (int index = 3; index < 14; ++index) fields >> field;
    long long utime = 0;
    long long stime = 0;
    if (!(fields >> utime >> stime)) return std::nullopt;
    return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// The screen server is this program run again, detached: the other process of our executable
// that sees our device folder.
std::optional<pid_t> find_screen_server(const std::string& device) {
    std::error_code error;
    fs::path const own = fs::read_symlink("/proc/self/exe", error);
    for (auto const& entry : fs::directory_iterator("/proc", error)) {
        std::string const name = entry.path().filename().string();
        if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) continue;
        pid_t const pid = std::stoi(name);
        if (pid == getpid() || fs::read_symlink(entry.path() / "exe", error) != own) continue;
        std::ifstream environment(entry.path() / "environ");
        std::string variable;
        while (std::getline(environment, variable, '\0')) {
            if (variable == "SONBRIX_DEVICE=" + device) return pid;
        }
    }
    return std::nullopt;
}

class Bench {
public:
    explicit Bench(const std::string& size) {
        char pattern[] = "/tmp/sonbrix-bench-program-XXXXXX";
        if (!mkdtemp(pattern)) return;
        device_ = pattern;
        setenv("SONBRIX_DEVICE", device_.c_str(), 1);
        setenv("SONBRIX_DISPLAY", "headless", 1);
        setenv("SONBRIX_DISPLAY_SIZE", size.c_str(), 1);
        setenv("SONBRIX_SHELL", "on", 1);
        setenv("SONBRIX_AUDIO", "virtual", 1);
        fs::create_directories(fs::path(device_) / "fs");
        fs::copy(SONBRIX_BENCH_STAGE, fs::path(device_) / "fs", fs::copy_options::recursive);
        ready_ = control_.connect();
        if (ready_) metrics_size();
    }

    ~Bench() {
        if (auto const server = find_screen_server(device_)) kill(*server, SIGTERM);
        std::error_code error;
        if (!device_.empty()) fs::remove_all(device_, error);
    }

    bool ready() const { return ready_; }
    const std::string& device() const { return device_; }
    platform::screen::ScreenControl& control() { return control_; }

    std::optional<pid_t> start(const std::string& command_line) {
        std::vector<std::string> arguments = {SONBRIX_BENCH_PROGRAM};
        if (!command_line.empty()) arguments.push_back(command_line);
        std::vector<char*> pointers;
        for (auto& argument : arguments) pointers.push_back(argument.data());
        pointers.push_back(nullptr);
        pid_t pid = 0;
        if (posix_spawn(&pid, SONBRIX_BENCH_PROGRAM, nullptr, nullptr, pointers.data(), environ) != 0)
            return std::nullopt;
        return pid;
    }

    // The main form visible, in front and drawn; false after ten seconds.
    bool wait_for_main_form() {
        auto const limit = Clock::now() + std::chrono::seconds(10);
        while (Clock::now() < limit) {
            std::vector<platform::screen::ScreenWindow> windows;
            control_.windows(windows);
            for (auto const& window : windows) {
                if (window.class_name == main_window_class && window.visible && window.foreground)
                    return control_.wait_idle(10000);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return false;
    }

    // By the File menu's Exit, as a user ends it; killed when it does not end.
    void end(pid_t pid) {
        tap(16 * scale_, height_ - 13 * scale_);
        tap(27 * scale_, height_ - 38 * scale_);
        for (int wait = 0; wait < 500; ++wait) {
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) == pid) return;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        std::fprintf(stderr, "bench-program: the program did not end by its menu; killed\n");
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }

private:
    void metrics_size() {
        height_ = control_.metrics().height;
        scale_ = control_.metrics().width >= 480 ? 2 : 1;
    }
    void tap(int x, int y) {
        control_.tap(x, y);
        control_.wait_idle(10000);
    }

    std::string device_;
    platform::screen::ScreenControl control_;
    bool ready_ = false;
    int height_ = 320;
    int scale_ = 1;
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

int run_starts(int runs, const std::string& size) {
    Bench bench(size);
    if (!bench.ready()) {
        std::fprintf(stderr, "bench-program: no screen\n");
        return 1;
    }
    std::vector<double> times;
    std::vector<double> cpu;
    for (int run = 0; run < runs; ++run) {
        auto const started = Clock::now();
        auto const pid = bench.start("");
        if (!pid || !bench.wait_for_main_form()) {
            std::fprintf(stderr, "bench-program: the main form did not appear\n");
            if (pid) bench.end(*pid);
            return 1;
        }
        double const elapsed = milliseconds_since(started);
        double const used = process_cpu_seconds(*pid).value_or(0.0) * 1000.0;
        bench.end(*pid);
        if (run == 0) {
            std::printf("first start (new device): %.1f ms to the drawn main form, %.0f ms CPU\n", elapsed, used);
        } else {
            times.push_back(elapsed);
            cpu.push_back(used);
        }
    }
    if (!times.empty()) {
        std::printf("later starts (%zu): median %.1f ms (min %.1f, max %.1f) to the drawn main form, median %.0f ms CPU\n",
                    times.size(), median(times), *std::min_element(times.begin(), times.end()),
                    *std::max_element(times.begin(), times.end()), median(cpu));
    }
    return 0;
}

std::optional<double> sound_seconds(const std::string& file) {
    std::string const command = "ffprobe -v error -show_entries format=duration -of csv=p=0 '" + file + "'";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return std::nullopt;
    double seconds = 0;
    int const read = std::fscanf(pipe, "%lf", &seconds);
    pclose(pipe);
    if (read != 1 || seconds <= 0) return std::nullopt;
    return seconds;
}

// CPU seconds of `bench-job mp3-decode FILE` as a whole process.
std::optional<double> job_cpu_seconds(const std::string& file) {
    std::string job = (fs::path(SONBRIX_BENCH_PROGRAM).parent_path().parent_path() / "bench" / "bench-job").string();
    std::vector<std::string> arguments = {job, "mp3-decode", file};
    std::vector<char*> pointers;
    for (auto& argument : arguments) pointers.push_back(argument.data());
    pointers.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, job.c_str(), nullptr, nullptr, pointers.data(), environ) != 0) return std::nullopt;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
    auto const seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

int run_play(const std::string& file, double seconds, const std::string& size) {
    auto const length = sound_seconds(file);
    if (!length || *length < seconds + 2) {
        std::fprintf(stderr, "bench-program: %s must be a sound file longer than %.0f s (ffprobe reads it)\n",
                     file.c_str(), seconds + 2);
        return 1;
    }
    Bench bench(size);
    if (!bench.ready()) {
        std::fprintf(stderr, "bench-program: no screen\n");
        return 1;
    }
    fs::path const documents = fs::path(bench.device()) / "fs" / "My Documents";
    fs::create_directories(documents);
    fs::copy_file(file, documents / "bench.mp3");
    auto const pid = bench.start("\\My Documents\\bench.mp3");
    if (!pid || !bench.wait_for_main_form()) {
        std::fprintf(stderr, "bench-program: the main form did not appear\n");
        if (pid) bench.end(*pid);
        return 1;
    }
    std::this_thread::sleep_for(std::chrono::seconds(1));
    auto const server = find_screen_server(bench.device());
    double const program_before = process_cpu_seconds(*pid).value_or(0.0);
    double const server_before = server ? process_cpu_seconds(*server).value_or(0.0) : 0.0;
    auto const started = Clock::now();
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    double const wall = milliseconds_since(started) / 1000.0;
    double const program = process_cpu_seconds(*pid).value_or(0.0) - program_before;
    double const screen = server ? process_cpu_seconds(*server).value_or(0.0) - server_before : 0.0;
    bench.end(*pid);
    std::uintmax_t played = 0;
    std::error_code error;
    for (auto const& entry : fs::directory_iterator(fs::path(bench.device()) / "audio", error))
        played += entry.file_size(error);
    if (played == 0) {
        std::fprintf(stderr, "bench-program: the device played nothing\n");
        return 1;
    }

    auto const job = job_cpu_seconds((fs::path(bench.device()) / "fs" / "My Documents" / "bench.mp3").string());
    std::printf("playing %.0f s of %s with the main form in front (CPU ms per second of sound):\n", wall,
                fs::path(file).filename().c_str());
    std::printf("  (the device received %.1f MB of sound)\n", static_cast<double>(played) / 1e6);
    std::printf("  program  %6.1f ms/s  (%.1f %% of a core)\n", program * 1000.0 / wall, program * 100.0 / wall);
    if (server) std::printf("  screen   %6.1f ms/s  (the screen server's composing and presenting)\n", screen * 1000.0 / wall);
    if (job) std::printf("  bench-job mp3-decode  %6.1f ms/s  (the play chain alone, %.1f s of sound)\n",
                         *job * 1000.0 / *length, *length);
    if (job) std::printf("  program less play chain: %.1f ms/s (the form, the clock, the meters, the device)\n",
                         program * 1000.0 / wall - *job * 1000.0 / *length);
    return 0;
}

int usage() {
    std::fputs("usage: bench-program start [RUNS] [--size WxH]\n"
               "       bench-program play FILE [SECONDS] [--size WxH]\n",
               stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> arguments;
    std::string size = "240x320";
    for (int index = 1; index < argc; ++index) {
        if (std::strcmp(argv[index], "--size") == 0 && index + 1 < argc) size = argv[++index];
        else arguments.emplace_back(argv[index]);
    }
    if (arguments.empty()) return usage();
    if (arguments[0] == "start" && arguments.size() <= 2)
        return run_starts(arguments.size() == 2 ? std::atoi(arguments[1].c_str()) : 11, size);
    if (arguments[0] == "play" && (arguments.size() == 2 || arguments.size() == 3))
        return run_play(arguments[1], arguments.size() == 3 ? std::atof(arguments[2].c_str()) : 20.0, size);
    return usage();
}
