// play-record: the first sound from the command line. Plays a PCM WAV file through the
// player, or records a number of seconds through the recorder and the active buffer into
// a PCM WAV file. The device behind it is chosen by SONBRIX_AUDIO (virtual, null, sdl).
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "audio/active_buffer.h"
#include "audio/file_reader_wav_pcm.h"
#include "audio/pcm_player.h"
#include "audio/pcm_recorder.h"
#include "platform/device.h"
#include "platform/unicode.h"
#include "tools/wav_file.h"

namespace {

constexpr int exit_failure = 1;
constexpr int exit_usage = 2;

constexpr char const* usage_text =
    "usage: play-record play FILE.wav\n"
    "       play-record record SECONDS FILE.wav [--rate N] [--channels N] [--bits N]\n"
    "  play     plays a PCM WAV file (8 or 16 bits) and returns when it has been heard\n"
    "  record   records SECONDS of sound into a PCM WAV file\n"
    "           (default 8000 Hz, 1 channel, 16 bits; --channels 1 or 2, --bits 8 or 16)\n"
    "environment:\n"
    "  SONBRIX_AUDIO        sdl (default), virtual or null\n"
    "  SONBRIX_AUDIO_SPEED  virtual device: a multiple of real time (default 1)\n"
    "  SONBRIX_AUDIO_INPUT  virtual device: tone:FREQUENCY (default tone:440) or a WAV file\n"
    "  SONBRIX_DEVICE       the device folder (see README.md)\n";

int usage_error(const std::string& what) {
    std::fprintf(stderr, "play-record: %s\n(play-record --help shows the usage)\n", what.c_str());
    return exit_usage;
}

int failure(const std::string& what) {
    std::fprintf(stderr, "play-record: %s\n", what.c_str());
    return exit_failure;
}

void wait_until(const std::function<bool()>& done) {
    while (!done()) std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

// The file as the engine sees it: a device path. A file outside the device's file system
// is copied in for the time of playing, and the copy is removed again.
class DeviceCopy {
public:
    explicit DeviceCopy(const std::filesystem::path& host) {
        std::error_code error;
        std::filesystem::path const absolute = std::filesystem::absolute(host, error).lexically_normal();
        if (auto const inside = platform::device_path(absolute.string())) {
            path_ = *inside;
            return;
        }
        std::u16string const name = platform::utf8_to_utf16("\\play-record-" + std::to_string(::getpid()) + ".wav");
        auto const copy = platform::host_path(name);  // makes the device's file system
        if (copy && std::filesystem::copy_file(absolute, *copy, std::filesystem::copy_options::overwrite_existing, error)) {
            path_ = name;
            copy_ = *copy;
        }
    }
    ~DeviceCopy() {
        std::error_code error;
        if (!copy_.empty()) std::filesystem::remove(copy_, error);
    }
    DeviceCopy(const DeviceCopy&) = delete;
    DeviceCopy& operator=(const DeviceCopy&) = delete;

    // Empty when the file could not be copied in.
    const std::u16string& path() const { return path_; }

private:
    std::u16string path_;
    std::string copy_;
};

std::string format_text(std::uint32_t rate, std::uint32_t channels, std::uint32_t bits) {
    return std::to_string(rate) + " Hz, " + std::to_string(channels) + " channel(s), " + std::to_string(bits) +
           " bits";
}

int play(const std::string& file) {
    std::error_code error;
    if (std::filesystem::is_directory(file, error)) return failure(file + " is a folder; give a WAV file");
    if (!std::filesystem::is_regular_file(file, error)) return failure("no such file: " + file);
    DeviceCopy const copy(file);
    if (copy.path().empty()) return failure("cannot read " + file + " into the device folder " + platform::device_folder());
    audio::FileReaderWAVPCM reader(copy.path());
    if (!reader.is_valid()) return failure(file + ": " + tools::why_wav_is_not_playable(file));
    std::string const format = format_text(reader.get_sample_rate(), reader.get_channels(), reader.get_bits_per_sample());
    std::fprintf(stderr, "playing %s, %.2f s\n", format.c_str(), reader.get_duration());
    audio::PlayerPCM player;
    audio::connect<audio::PCMData>(&reader, &player);
    bool const started = player.play();
    if (started)
        wait_until([&] { return (reader.is_at_end() && !player.is_playing()) || player.has_device_failed(); });
    bool const refused = !started || player.has_device_failed();
    audio::connect<audio::PCMData>(&reader, nullptr);
    if (refused)
        return failure("the sound device refused " + format + "; it plays PCM of 8 or 16 bits, 1 or 2 channels");
    return 0;
}

struct RecordOptions {
    double seconds = 0;
    std::string file;
    int rate = 8000;
    int channels = 1;
    int bits = 16;
};

// The end of the record chain: writes the sound as it comes, up to a number of bytes.
class WavSink : public audio::Consumer<audio::PCMData> {
public:
    WavSink(const RecordOptions& options, std::uint64_t limit)
        : file_(options.file, static_cast<std::uint32_t>(options.channels), static_cast<std::uint32_t>(options.bits),
                static_cast<std::uint32_t>(options.rate)),
          limit_(limit) {}
    void on_data(const audio::PCMData& block) override {
        std::uint64_t const count = std::min<std::uint64_t>(block.get_size(), limit_ - written_);
        file_.write(block.buffer.get_data(), count);
        written_ += count;
    }
    bool is_open() const { return file_.is_open(); }
    bool is_full() const { return written_.load() >= limit_; }
    bool finish() { return file_.finish(); }

private:
    tools::WavFileWriter file_;
    std::uint64_t limit_;
    std::atomic<std::uint64_t> written_{0};
};

int record(const RecordOptions& options) {
    std::uint64_t const frame = static_cast<std::uint64_t>(options.channels) * ((options.bits + 7) / 8);
    auto const bytes = static_cast<std::uint64_t>(options.seconds * options.rate) * frame;
    WavSink sink(options, bytes);
    if (!sink.is_open()) return failure("cannot write " + options.file);
    audio::ActiveBuffer buffer;
    audio::connect<audio::PCMData>(&buffer, &sink);
    std::string problem;
    {
        audio::RecorderPCM recorder(options.channels, options.rate, options.bits);
        audio::connect<audio::PCMData>(&recorder, &buffer);
        if (!recorder.start()) {
            problem = "the sound input cannot be opened";
        } else {
            wait_until([&] { return sink.is_full() || !recorder.is_recording() || !buffer.is_buffering(); });
            if (!sink.is_full()) problem = "the recording failed";
            recorder.stop();
        }
        audio::connect<audio::PCMData>(&recorder, nullptr);
    }
    wait_until([&] { return buffer.get_block_count() == 0; });
    audio::connect<audio::PCMData>(&buffer, nullptr);
    if (!sink.finish() && problem.empty()) problem = "cannot write " + options.file;
    if (!problem.empty()) return failure(problem);
    std::fprintf(stderr, "recorded %.2f s into %s: PCM WAV, %s\n", options.seconds, options.file.c_str(),
                 format_text(options.rate, options.channels, options.bits).c_str());
    return 0;
}

std::optional<int> parse_int(const std::string& text, int low, int high) {
    char* end = nullptr;
    long const parsed = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || parsed < low || parsed > high) return std::nullopt;
    return static_cast<int>(parsed);
}

// The options after "record"; the error names the argument that is wrong.
std::optional<RecordOptions> parse_record(const std::vector<std::string>& args, std::string& error) {
    if (args.size() < 2) {
        error = "record needs SECONDS and FILE.wav";
        return std::nullopt;
    }
    RecordOptions options;
    char* end = nullptr;
    options.seconds = std::strtod(args[0].c_str(), &end);
    if (args[0].empty() || *end != '\0' || !(options.seconds > 0 && options.seconds < 86400)) {
        error = "not a number of seconds (above 0, below 86400): " + args[0];
        return std::nullopt;
    }
    options.file = args[1];
    for (std::size_t i = 2; i < args.size(); i += 2) {
        std::string const& option = args[i];
        if (option != "--rate" && option != "--channels" && option != "--bits") {
            error = "unknown argument: " + option;
            return std::nullopt;
        }
        if (i + 1 >= args.size()) {
            error = option + " needs a value";
            return std::nullopt;
        }
        std::string const& value = args[i + 1];
        std::optional<int> parsed;
        if (option == "--rate") parsed = parse_int(value, 1000, 192000);
        if (option == "--channels") parsed = parse_int(value, 1, 2);
        if (option == "--bits") {
            parsed = parse_int(value, 8, 16);
            if (parsed && *parsed != 8 && *parsed != 16) parsed.reset();
        }
        if (!parsed) {
            error = option + " " + value + ": " +
                    (option == "--rate" ? "give 1000 to 192000 Hz" : option == "--channels" ? "give 1 or 2" : "give 8 or 16");
            return std::nullopt;
        }
        (option == "--rate" ? options.rate : option == "--channels" ? options.channels : options.bits) = *parsed;
    }
    return options;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> const args(argv + 1, argv + argc);
    for (auto const& arg : args)
        if (arg == "--help" || arg == "-h") {
            std::fputs(usage_text, stdout);
            return 0;
        }
    if (args.empty()) return usage_error("say play or record");
    std::vector<std::string> const rest(args.begin() + 1, args.end());
    if (args[0] == "play") {
        if (rest.size() != 1) return usage_error("play takes one WAV file");
        return play(rest[0]);
    }
    if (args[0] == "record") {
        std::string error;
        auto const options = parse_record(rest, error);
        if (!options) return usage_error(error);
        return record(*options);
    }
    return usage_error("unknown command: " + args[0] + " (play or record)");
}
