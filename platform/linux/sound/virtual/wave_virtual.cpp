// The virtual sound device for tests and machines without sound: output is kept in memory
// (virtual_wave_outputs) and written to "audio/wave-out-N.wav" in the device folder when
// the device closes; input is the PCM of a WAV file or a tone. Both run paced by the clock
// at a multiple of real time.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <numbers>
#include <optional>
#include <string>

#include "platform/device.h"
#include "platform/linux/sound/wave_backend.h"
#include "platform/wave_testing.h"

namespace platform::detail {

namespace {

struct VirtualState {
    std::mutex lock;
    std::vector<std::shared_ptr<VirtualWaveOutput>> outputs;
    std::optional<double> speed;
    std::optional<std::string> input;
    bool refuse_open = false;
    bool refuse_prepare = false;
};

VirtualState& state() {
    static auto* const instance = new VirtualState;  // lives to the process end
    return *instance;
}

// The speed SONBRIX_AUDIO_SPEED names: a positive number; nothing when it names none.
std::optional<double> speed_setting() {
    char const* text = std::getenv("SONBRIX_AUDIO_SPEED");
    if (!text) return 1.0;
    char* end = nullptr;
    double const speed = std::strtod(text, &end);
    if (end == text || *end != '\0' || !std::isfinite(speed) || speed <= 0) return std::nullopt;
    return speed;
}

double current_speed() {
    std::lock_guard guard(state().lock);
    if (state().speed) return *state().speed;
    return speed_setting().value_or(1.0);
}

std::string current_input() {
    std::lock_guard guard(state().lock);
    if (state().input) return *state().input;
    char const* text = std::getenv("SONBRIX_AUDIO_INPUT");
    return text ? text : "";
}

bool open_refused() {
    std::lock_guard guard(state().lock);
    return state().refuse_open;
}

std::uint32_t le(const std::uint8_t* bytes, int count) {
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = value << 8 | bytes[i];
    return value;
}

void put_le(std::string& out, std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i) out += static_cast<char>(value >> (8 * i) & 0xFF);
}

// The PCM data of a WAV file with 8 or 16 bits, or nothing.
struct PcmSource {
    WaveFormat format;
    std::vector<std::uint8_t> bytes;
};

std::optional<PcmSource> read_wav(const std::string& path) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) return std::nullopt;
    std::vector<std::uint8_t> all(static_cast<std::size_t>(file.tellg()));
    file.seekg(0);
    file.read(reinterpret_cast<char*>(all.data()), static_cast<std::streamsize>(all.size()));
    if (all.size() < 12 || std::memcmp(all.data(), "RIFF", 4) != 0 || std::memcmp(all.data() + 8, "WAVE", 4) != 0)
        return std::nullopt;
    PcmSource source;
    bool have_format = false;
    for (std::size_t at = 12; at + 8 <= all.size();) {
        std::uint32_t const size = le(all.data() + at + 4, 4);
        std::size_t const body = at + 8;
        std::size_t const available = std::min<std::size_t>(size, all.size() - body);
        if (std::memcmp(all.data() + at, "fmt ", 4) == 0 && available >= 16) {
            have_format = le(all.data() + body, 2) == WAVE_FORMAT_PCM;
            source.format = {le(all.data() + body + 2, 2), le(all.data() + body + 14, 2), le(all.data() + body + 4, 4)};
        } else if (std::memcmp(all.data() + at, "data", 4) == 0) {
            source.bytes.assign(all.begin() + static_cast<std::ptrdiff_t>(body),
                                all.begin() + static_cast<std::ptrdiff_t>(body + available));
            break;
        }
        at = body + size + (size & 1);
    }
    WaveFormat const& f = source.format;
    if (!have_format || (f.bits != 8 && f.bits != 16) || f.channels == 0 || f.rate == 0) return std::nullopt;
    return source;
}

// One sample on the 16-bit scale.
int sample_at(const PcmSource& source, std::uint64_t frame, std::uint32_t channel) {
    std::uint64_t const at = frame * source.format.frame_bytes() + channel * (source.format.bits / 8);
    if (source.format.bits == 8) return (source.bytes[at] - 128) * 256;
    return static_cast<std::int16_t>(le(source.bytes.data() + at, 2));
}

void put_sample(std::uint8_t*& out, int value, std::uint32_t bits) {
    if (bits == 8) {
        *out++ = static_cast<std::uint8_t>((value >> 8) + 128);
    } else {
        *out++ = static_cast<std::uint8_t>(value & 0xFF);
        *out++ = static_cast<std::uint8_t>(value >> 8 & 0xFF);
    }
}

class VirtualOutput : public WaveOutput {
public:
    VirtualOutput(const WaveFormat& format, std::shared_ptr<VirtualWaveOutput> record)
        : format_(format), pacer_(format.rate, current_speed()), record_(std::move(record)) {}

    void play(const std::uint8_t* bytes, std::uint32_t size) override {
        {
            std::lock_guard guard(state().lock);
            record_->begun += size;
        }
        pacer_.wait(size / format_.frame_bytes());
        std::lock_guard guard(state().lock);
        record_->bytes.insert(record_->bytes.end(), bytes, bytes + size);
    }
    void restart() override { pacer_.restart(); }
    void set_volume(DWORD volume) override {
        std::lock_guard guard(state().lock);
        record_->volume = volume;
    }
    void finish() override {
        std::vector<std::uint8_t> bytes;
        {
            std::lock_guard guard(state().lock);
            record_->closed = true;
            bytes = record_->bytes;
        }
        write_file(bytes);
    }

private:
    void write_file(const std::vector<std::uint8_t>& bytes) const {
        std::error_code error;
        std::filesystem::path const folder = std::filesystem::path(device_folder()) / "audio";
        std::filesystem::create_directories(folder, error);
        std::filesystem::path path;
        for (int n = 1;; ++n) {
            path = folder / ("wave-out-" + std::to_string(n) + ".wav");
            if (!std::filesystem::exists(path, error)) break;
        }
        auto const size = static_cast<std::uint32_t>(bytes.size());
        std::string header = "RIFF";
        put_le(header, 36 + size, 4);
        header += "WAVEfmt ";
        put_le(header, 16, 4);
        put_le(header, WAVE_FORMAT_PCM, 2);
        put_le(header, format_.channels, 2);
        put_le(header, format_.rate, 4);
        put_le(header, format_.rate * format_.frame_bytes(), 4);
        put_le(header, format_.frame_bytes(), 2);
        put_le(header, format_.bits, 2);
        header += "data";
        put_le(header, size, 4);
        std::ofstream file(path, std::ios::binary);
        file.write(header.data(), static_cast<std::streamsize>(header.size()));
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

    WaveFormat format_;
    WavePacer pacer_;
    std::shared_ptr<VirtualWaveOutput> record_;
};

class VirtualInput : public WaveInput {
public:
    VirtualInput(const WaveFormat& format, std::optional<PcmSource> source, double tone)
        : format_(format), pacer_(format.rate, current_speed()), source_(std::move(source)), tone_(tone) {}

    void start() override { pacer_.restart(); }

    std::uint32_t capture(std::uint8_t* bytes, std::uint32_t size) override {
        std::uint32_t const frames = std::min(size / format_.frame_bytes(), piece_frames(format_));
        pacer_.wait(frames);
        std::uint8_t* out = bytes;
        for (std::uint32_t i = 0; i < frames; ++i, ++position_)
            for (std::uint32_t channel = 0; channel < format_.channels; ++channel)
                put_sample(out, sample(channel), format_.bits);
        return frames * format_.frame_bytes();
    }

private:
    int sample(std::uint32_t channel) const {
        if (!source_) {
            double const phase = 2 * std::numbers::pi * tone_ * static_cast<double>(position_) / format_.rate;
            return static_cast<int>(std::lround(std::sin(phase) * 16383.0));
        }
        // Nearest frame of the source at its own rate; a missing channel repeats the last.
        WaveFormat const& from = source_->format;
        std::uint64_t const frame = position_ * from.rate / format_.rate;
        if (frame >= source_->bytes.size() / from.frame_bytes()) return 0;
        if (format_.channels == 1 && from.channels > 1) {
            int sum = 0;
            for (std::uint32_t c = 0; c < from.channels; ++c) sum += sample_at(*source_, frame, c);
            return sum / static_cast<int>(from.channels);
        }
        return sample_at(*source_, frame, std::min(channel, from.channels - 1));
    }

    WaveFormat format_;
    WavePacer pacer_;
    std::optional<PcmSource> source_;
    double tone_;
    std::uint64_t position_ = 0;
};

// A setting of the environment that names no speed or no input opens no device, so that a
// mistyped setting is seen rather than played or recorded as something else.
bool speed_set_by_test() {
    std::lock_guard guard(state().lock);
    return state().speed.has_value();
}

bool input_set_by_test() {
    std::lock_guard guard(state().lock);
    return state().input.has_value();
}

bool speed_setting_usable() {
    if (speed_set_by_test() || speed_setting()) return true;
    note_setting_once(std::string("SONBRIX_AUDIO_SPEED=") + std::getenv("SONBRIX_AUDIO_SPEED") +
                      " is not a positive number; the virtual sound device does not open");
    return false;
}

bool input_setting_usable() {
    char const* text = std::getenv("SONBRIX_AUDIO_INPUT");
    if (input_set_by_test() || !text) return true;
    std::string const input = text;
    if (input.rfind("tone:", 0) == 0) {
        char* end = nullptr;
        double const frequency = std::strtod(input.c_str() + 5, &end);
        if (end != input.c_str() + 5 && *end == '\0' && std::isfinite(frequency) && frequency > 0) return true;
    } else if (read_wav(input)) {
        return true;
    }
    note_setting_once("SONBRIX_AUDIO_INPUT=" + input +
                      " is neither tone:FREQUENCY nor an 8- or 16-bit PCM WAV file; the virtual sound input does not open");
    return false;
}

std::unique_ptr<WaveOutput> open_virtual_output(const WaveFormat& format, MMRESULT& error) {
    if (!speed_setting_usable()) {
        error = MMSYSERR_NODRIVER;
        return nullptr;
    }
    if (open_refused()) {
        error = MMSYSERR_ALLOCATED;
        return nullptr;
    }
    auto record = std::make_shared<VirtualWaveOutput>();
    record->channels = format.channels;
    record->bits_per_sample = format.bits;
    record->sample_rate = format.rate;
    {
        std::lock_guard guard(state().lock);
        state().outputs.push_back(record);
    }
    return std::make_unique<VirtualOutput>(format, std::move(record));
}

std::unique_ptr<WaveInput> open_virtual_input(const WaveFormat& format, MMRESULT& error) {
    if (!speed_setting_usable() || !input_setting_usable()) {
        error = MMSYSERR_NODRIVER;
        return nullptr;
    }
    if (open_refused()) {
        error = MMSYSERR_ALLOCATED;
        return nullptr;
    }
    std::string const input = current_input();
    double tone = 440.0;
    std::optional<PcmSource> source;
    if (input.rfind("tone:", 0) == 0) {
        tone = std::strtod(input.c_str() + 5, nullptr);
    } else if (!input.empty()) {
        source = read_wav(input);
        // An unreadable file gives silence, so that a test sees the fault.
        if (!source) source = PcmSource{format, {}};
    }
    return std::make_unique<VirtualInput>(format, std::move(source), tone);
}

}  // namespace

const WaveDriver virtual_wave_driver{"virtual", true, open_virtual_output, open_virtual_input};

bool wave_prepare_refused() {
    std::lock_guard guard(state().lock);
    return state().refuse_prepare;
}

}  // namespace platform::detail

namespace platform {

std::vector<VirtualWaveOutput> virtual_wave_outputs() {
    auto& s = detail::state();
    std::lock_guard guard(s.lock);
    std::vector<VirtualWaveOutput> copies;
    for (auto const& output : s.outputs) copies.push_back(*output);
    return copies;
}

void set_virtual_wave_speed(double multiple) {
    std::lock_guard guard(detail::state().lock);
    detail::state().speed = multiple > 0 ? multiple : 1.0;
}

void set_virtual_wave_input(const std::string& wav_host_path) {
    std::lock_guard guard(detail::state().lock);
    detail::state().input = wav_host_path;
}

void set_virtual_wave_refusals(bool refuse_open, bool refuse_prepare) {
    std::lock_guard guard(detail::state().lock);
    detail::state().refuse_open = refuse_open;
    detail::state().refuse_prepare = refuse_prepare;
}

void reset_virtual_wave() {
    auto& s = detail::state();
    std::lock_guard guard(s.lock);
    s.outputs.clear();
    s.speed.reset();
    s.input.reset();
    s.refuse_open = false;
    s.refuse_prepare = false;
}

}  // namespace platform
