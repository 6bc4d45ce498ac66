// play-record: the first sound from the command line. Plays a PCM WAV file through the
// player, or records a number of seconds through the recorder and the active buffer into
// a raw PCM file. The device behind it is chosen by SONBRIX_AUDIO (virtual, null, sdl).
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <fstream>
#include <string>
#include <thread>

#include "audio/active_buffer.h"
#include "audio/file_reader_wav_pcm.h"
#include "audio/pcm_player.h"
#include "audio/pcm_recorder.h"
#include "platform/device.h"
#include "platform/unicode.h"

namespace {

void print_usage() {
    std::fputs(
        "usage: play-record play FILE.wav\n"
        "       play-record record SECONDS FILE.raw [--rate N] [--channels N] [--bits N]\n"
        "  play     plays a PCM WAV file and returns when it has been heard\n"
        "  record   records SECONDS of sound (default 8000 Hz, mono, 16 bits) as raw PCM\n"
        "environment: SONBRIX_AUDIO=virtual|null|sdl, SONBRIX_AUDIO_SPEED, SONBRIX_AUDIO_INPUT\n",
        stderr);
}

void wait_until(const std::function<bool()>& done) {
    while (!done()) std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

// The device path of the file; a file outside the device's file system is copied in.
std::u16string device_path_of(const std::string& host) {
    std::filesystem::path const absolute = std::filesystem::absolute(host);
    if (auto const inside = platform::device_path(absolute.string())) return *inside;
    platform::host_path(u"\\");  // makes the device's file system
    std::filesystem::path const copy = std::filesystem::path(platform::device_folder()) / "fs" / "play-record-input.wav";
    std::filesystem::copy_file(absolute, copy, std::filesystem::copy_options::overwrite_existing);
    return u"\\play-record-input.wav";
}

int play(const std::string& file) {
    if (!std::filesystem::exists(file)) {
        std::fprintf(stderr, "play-record: no such file: %s\n", file.c_str());
        return 1;
    }
    audio::FileReaderWAVPCM reader(device_path_of(file));
    if (!reader.is_valid()) {
        std::fprintf(stderr, "play-record: not a PCM WAV file: %s\n", file.c_str());
        return 1;
    }
    std::fprintf(stderr, "playing %u Hz, %u channel(s), %u bits, %.2f s\n", reader.get_sample_rate(),
                 reader.get_channels(), reader.get_bits_per_sample(), reader.get_duration());
    audio::PlayerPCM player;
    audio::connect<audio::PCMData>(&reader, &player);
    if (!player.play()) return 1;
    wait_until([&] { return reader.is_at_end() && !player.is_playing(); });
    audio::connect<audio::PCMData>(&reader, nullptr);
    return 0;
}

// The end of the record chain: writes the sound as it comes, up to a number of bytes.
class RawWriter : public audio::Consumer<audio::PCMData> {
public:
    RawWriter(const std::string& path, std::uint64_t limit) : file_(path, std::ios::binary), limit_(limit) {}
    void on_data(const audio::PCMData& block) override {
        std::uint64_t const count = std::min<std::uint64_t>(block.get_size(), limit_ - written_);
        file_.write(reinterpret_cast<const char*>(block.buffer.get_data()), static_cast<std::streamsize>(count));
        written_ += count;
    }
    bool is_open() const { return static_cast<bool>(file_); }
    bool is_full() const { return written_.load() >= limit_; }

private:
    std::ofstream file_;
    std::uint64_t limit_;
    std::atomic<std::uint64_t> written_{0};
};

int record(double seconds, const std::string& file, int rate, int channels, int bits) {
    std::uint64_t const frame = static_cast<std::uint64_t>(channels) * ((bits + 7) / 8);
    auto const bytes = static_cast<std::uint64_t>(seconds * rate) * frame;
    RawWriter writer(file, bytes);
    if (!writer.is_open()) {
        std::fprintf(stderr, "play-record: cannot write %s\n", file.c_str());
        return 1;
    }
    audio::ActiveBuffer buffer;
    audio::connect<audio::PCMData>(&buffer, &writer);
    int result = 0;
    {
        audio::RecorderPCM recorder(channels, rate, bits);
        audio::connect<audio::PCMData>(&recorder, &buffer);
        if (!recorder.start()) {
            std::fputs("play-record: the sound input cannot be opened\n", stderr);
            result = 1;
        } else {
            wait_until([&] { return writer.is_full() || !recorder.is_recording() || !buffer.is_buffering(); });
            if (!writer.is_full()) {
                std::fputs("play-record: the recording failed\n", stderr);
                result = 1;
            }
            recorder.stop();
        }
        audio::connect<audio::PCMData>(&recorder, nullptr);
    }
    wait_until([&] { return buffer.get_block_count() == 0; });
    audio::connect<audio::PCMData>(&buffer, nullptr);
    if (result == 0)
        std::fprintf(stderr, "recorded %.2f s: raw PCM, %d Hz, %d channel(s), %d bits, little-endian\n", seconds, rate,
                     channels, bits);
    return result;
}

bool parse_int(const char* text, int low, int high, int& value) {
    char* end = nullptr;
    long const parsed = std::strtol(text, &end, 10);
    if (!end || *end != '\0' || end == text || parsed < low || parsed > high) return false;
    value = static_cast<int>(parsed);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "play") return play(argv[2]);
    if (argc >= 4 && std::string(argv[1]) == "record") {
        char* end = nullptr;
        double const seconds = std::strtod(argv[2], &end);
        int rate = 8000, channels = 1, bits = 16;
        bool good = end && *end == '\0' && seconds > 0 && seconds < 86400;
        for (int i = 4; good && i < argc; i += 2) {
            std::string const option = argv[i];
            good = i + 1 < argc;
            if (!good) break;
            if (option == "--rate") good = parse_int(argv[i + 1], 1, 384000, rate);
            else if (option == "--channels") good = parse_int(argv[i + 1], 1, 2, channels);
            else if (option == "--bits") good = (parse_int(argv[i + 1], 8, 16, bits) && (bits == 8 || bits == 16));
            else good = false;
        }
        if (good) return record(seconds, argv[3], rate, channels, bits);
    }
    print_usage();
    return 2;
}
