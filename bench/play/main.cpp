// bench-play: plays one file through the program's real play path (the Document, its play
// graph and the wave-out device) and reports what the process cost: the CPU time spent
// before main (loading libraries, static set-up), the peak resident memory and how many
// shared objects the process mapped.
//
//   bench-play FILE [--device virtual|null]
//   bench-play --start-up [RUNS]
//
// FILE is a host path (an MP3, a WAV, ...). The process makes a device folder of its own in
// the host's temporary folder (removed at the end), copies the file to \Music and plays it
// once on the virtual device (default; it keeps what it played in memory) or the null
// device, with the device's clock running ahead so that playing takes only CPU time.
//
// The CPU time at main also counts what the parent's fork left to the child, which on a busy
// machine is as much as the start itself; --start-up measures a process start alone: it
// starts bench-play RUNS times (default 21) so that it ends at once at main, and /bin/true as
// often, and prints the median CPU time of each whole process.
#include <dlfcn.h>
#include <link.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "app/document.h"
#include "platform/testing.h"
#include "platform/wave_testing.h"

namespace {

double cpu_seconds(const rusage& usage) {
    auto const seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double cpu_seconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return cpu_seconds(usage);
}

// The CPU seconds of a whole process running program with the argument, or -1.
double process_cpu_seconds(const char* program, const char* argument) {
    char* arguments[] = {const_cast<char*>(program), const_cast<char*>(argument), nullptr};
    pid_t child = 0;
    if (posix_spawn(&child, program, nullptr, nullptr, arguments, environ) != 0) return -1;
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    return cpu_seconds(usage);
}

double median_process_cpu_ms(const char* program, const char* argument, int runs) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) times.push_back(process_cpu_seconds(program, argument) * 1000.0);
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

int measure_start_up(int runs) {
    std::string const self = std::filesystem::read_symlink("/proc/self/exe").string();
    double const ours = median_process_cpu_ms(self.c_str(), "--exit-at-main", runs);
    double const bare = median_process_cpu_ms("/bin/true", nullptr, runs);
    if (ours < 0 || bare < 0) {
        std::fputs("bench-play: a start-up run failed\n", stderr);
        return 1;
    }
    std::printf("process start CPU   %.1f ms (median of %d; /bin/true: %.1f ms)\n", ours, runs, bare);
    return 0;
}

double peak_mib() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

int shared_objects() {
    int count = 0;
    dl_iterate_phdr([](dl_phdr_info*, std::size_t, void* counter) { return ++*static_cast<int*>(counter), 0; },
                    &count);
    return count;
}

// A device folder of the process's own, removed when it ends.
class PrivateDevice {
public:
    PrivateDevice() {
        std::string pattern = (std::filesystem::temp_directory_path() / "sonbrix-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a device folder");
        folder_ = pattern;
        setenv("SONBRIX_DEVICE", folder_.c_str(), 1);
        std::filesystem::create_directories(folder_ / "fs/Program Files/Sonbrix");
        std::filesystem::create_directories(folder_ / "fs/Music");
        setenv("SONBRIX_MODULE", "\\Program Files\\Sonbrix\\Sonbrix.exe", 1);
    }
    ~PrivateDevice() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    // The device path of a copy of the host file in \Music.
    std::u16string add_music(const std::filesystem::path& host_file) {
        std::string const name = host_file.filename().string();
        std::filesystem::copy_file(host_file, folder_ / "fs/Music" / name);
        return u"\\Music\\" + std::u16string(name.begin(), name.end());
    }

private:
    std::filesystem::path folder_;
};

struct Played {
    bool ended = false;
    std::uint32_t length = 0;
};

Played play_once(const std::u16string& path) {
    Document document;
    playlist::Entry entry;
    entry.path = path;
    document.set_playlist(u"bench", {entry}, 0, false);
    document.set_play_mode(0);  // the one entry, once
    Played played;
    if (!document.play_item(0, 0)) return played;
    played.length = document.get_length();
    auto const give_up = std::chrono::steady_clock::now() + std::chrono::minutes(10);
    while (document.is_playing() && std::chrono::steady_clock::now() < give_up) {
        if (document.get_position() >= document.get_length()) document.on_timer();
        else std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    played.ended = !document.is_playing();
    return played;
}

}  // namespace

int main(int argc, char** argv) {
    double const start_cpu = cpu_seconds();
    if (argc == 2 && std::strcmp(argv[1], "--exit-at-main") == 0) return 0;
    if (argc >= 2 && std::strcmp(argv[1], "--start-up") == 0)
        return measure_start_up(argc == 3 ? std::max(1, std::atoi(argv[2])) : 21);
    int const start_objects = shared_objects();
    std::string device = "virtual";
    if (argc == 4 && std::strcmp(argv[2], "--device") == 0) device = argv[3];
    if ((argc != 2 && argc != 4) || (device != "virtual" && device != "null")) {
        std::fputs("usage: bench-play FILE [--device virtual|null]\n       bench-play --start-up [RUNS]\n", stderr);
        return 2;
    }
    std::filesystem::path const file = argv[1];
    if (!std::filesystem::is_regular_file(file)) {
        std::fprintf(stderr, "bench-play: no such file: %s\n", argv[1]);
        return 1;
    }
    setenv("SONBRIX_AUDIO", device.c_str(), 1);
    PrivateDevice private_device;
    platform::set_test_clock(platform::TestClock::fast);
    Played const played = play_once(private_device.add_music(file));
    if (!played.ended) {
        std::fprintf(stderr, "bench-play: %s did not play to its end\n", argv[1]);
        return 1;
    }
    double const whole_cpu = cpu_seconds();
    double const peak = peak_mib();
    std::size_t kept = 0;  // counted after the peak was read: the count copies what was kept
    for (auto const& output : platform::virtual_wave_outputs()) kept += output.bytes.size();
    std::printf("start-up CPU        %.1f ms (%d shared objects at main)\n", start_cpu * 1000.0, start_objects);
    std::printf("whole run CPU       %.1f ms\n", whole_cpu * 1000.0);
    std::printf("peak resident       %.1f MiB\n", peak);
    std::printf("virtual device kept %.1f MiB of played sound\n", static_cast<double>(kept) / (1024.0 * 1024.0));
    std::printf("shared objects now  %d\n", shared_objects());
    return 0;
}
