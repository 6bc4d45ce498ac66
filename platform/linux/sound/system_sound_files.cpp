#include "platform/linux/sound/system_sound_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace platform::detail {
namespace {

constexpr std::uint32_t sample_rate = 22050;

struct Tone {
    double frequency;  // Hz; 0 is a pause
    double seconds;
};

void put_u16(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void put_u32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    put_u16(out, value & 0xFFFF);
    put_u16(out, value >> 16);
}

// Byte by byte: GCC's -Wstringop-overflow misreads a ranged insert into a growing vector.
void put_tag(std::vector<std::uint8_t>& out, const char* tag) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(tag[i]));
}

// 16-bit mono samples; each tone fades in and out over 5 ms so that it does not click.
std::vector<std::int16_t> render(std::initializer_list<Tone> tones) {
    std::vector<std::int16_t> samples;
    for (Tone const& tone : tones) {
        auto const count = static_cast<std::uint32_t>(tone.seconds * sample_rate);
        double const fade = 0.005 * sample_rate;
        for (std::uint32_t i = 0; i < count; ++i) {
            double const envelope = std::min({1.0, i / fade, (count - i) / fade});
            double const wave = std::sin(2.0 * std::numbers::pi * tone.frequency * i / sample_rate);
            samples.push_back(static_cast<std::int16_t>(tone.frequency > 0 ? 12000.0 * envelope * wave : 0.0));
        }
    }
    return samples;
}

std::vector<std::uint8_t> wav_file(const std::vector<std::int16_t>& samples) {
    auto const data_bytes = static_cast<std::uint32_t>(samples.size() * 2);
    std::vector<std::uint8_t> out;
    put_tag(out, "RIFF");
    put_u32(out, 36 + data_bytes);
    put_tag(out, "WAVE");
    put_tag(out, "fmt ");
    put_u32(out, 16);
    put_u16(out, 1);  // PCM
    put_u16(out, 1);  // mono
    put_u32(out, sample_rate);
    put_u32(out, sample_rate * 2);
    put_u16(out, 2);
    put_u16(out, 16);
    put_tag(out, "data");
    put_u32(out, data_bytes);
    for (std::int16_t const sample : samples) put_u16(out, static_cast<std::uint16_t>(sample));
    return out;
}

bool write_all(int fd, const std::vector<std::uint8_t>& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t const n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

std::vector<std::uint8_t> voice_beep_wav() { return wav_file(render({{660.0, 0.06}, {880.0, 0.09}})); }

std::vector<std::uint8_t> record_end_wav() {
    return wav_file(render({{880.0, 0.08}, {0.0, 0.04}, {587.0, 0.12}}));
}

void write_new_file(const std::string& host_path, const std::vector<std::uint8_t>& bytes) {
    std::string const own = host_path + ".new-" + std::to_string(getpid()) + "-" + std::to_string(gettid());
    int const fd = open(own.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return;
    bool const written = write_all(fd, bytes);
    bool const closed = close(fd) == 0;
    // link never replaces an entry. Where the file system has no links, rename puts the
    // file in place; only a file made in the same instant can be replaced then.
    if (written && closed && link(own.c_str(), host_path.c_str()) != 0 && errno != EEXIST)
        rename(own.c_str(), host_path.c_str());
    unlink(own.c_str());
}

}  // namespace platform::detail
