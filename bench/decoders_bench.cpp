// Speed of the MP3 encoder and decoder and of the Ogg Vorbis decoder, in audio seconds per
// CPU second. The MP3 input is a speech-like signal (or "44100_2.raw" in the folder that
// SONBRIX_BENCH_INPUT_DIR names) encoded here at 128 kbit/s; the Vorbis input is
// "tone.ogg" in that folder (bench/compare makes it), copied into the device's file
// system, and that benchmark is skipped without it.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <iterator>
#include <string>
#include <vector>

#include "audio/decoder_mp3.h"
#include "audio/decoder_vorbis.h"
#include "audio/encoder_mp3.h"
#include "audio/mp3_header.h"
#include "bench/bench_input.h"
#include "platform/device.h"
#include "platform/unicode.h"
#include "tests/audio/speech_signal.h"

namespace {

constexpr std::uint32_t rate = 44100;
constexpr std::uint32_t channels = 2;

template <class T>
class Collect : public audio::Consumer<T> {
public:
    void on_data(const T& block) override {
        bytes.append(reinterpret_cast<const char*>(block.buffer.get_data()), block.frame_length);
    }
    std::string bytes;
};

std::string pcm_input() {
    if (const char* folder = std::getenv("SONBRIX_BENCH_INPUT_DIR")) {
        std::ifstream file(std::string(folder) + "/44100_2.raw", std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        if (!bytes.empty()) return bytes;
    }
    return audio_test::bytes_of_samples(audio_test::speech_like(rate * 10, channels, rate));
}

double seconds_of(const std::string& pcm) { return static_cast<double>(pcm.size()) / (rate * channels * 2); }

std::string encode(const std::string& pcm) {
    Collect<audio::MP3Data> out;
    {
        audio::EncoderMP3 encoder(128000);
        audio::connect<audio::MP3Data>(&encoder, &out);
        for (std::size_t at = 0; at < pcm.size(); at += 17640)
            encoder.on_data(audio::PCMData(liba::SharedBuffer(static_cast<std::uint32_t>(std::min<std::size_t>(17640, pcm.size() - at)),
                                                              pcm.data() + at),
                                           channels, 16, rate));
    }
    return out.bytes;
}

// The frames of an MP3 stream, each with 2000 bytes of what follows, as the reader gives them.
std::vector<audio::MP3Data> frames_of(const std::string& mp3) {
    std::vector<audio::MP3Data> frames;
    std::string padded = mp3 + std::string(2000, '\0');
    for (std::size_t at = 0; at + 4 < mp3.size();) {
        audio::MP3FrameHeader header;
        if (!audio::mp3_header_parse(reinterpret_cast<const std::uint8_t*>(padded.data() + at), header)) {
            ++at;
            continue;
        }
        std::uint32_t const size = std::max<std::uint32_t>(2000, header.frame_length);
        if (at + size > padded.size()) break;
        frames.emplace_back(liba::SharedBuffer(size, padded.data() + at), header.frame_length);
        at += header.frame_length;
    }
    return frames;
}

void BM_EncodeMP3(benchmark::State& state) {
    std::string const pcm = pcm_input();
    for (auto _ : state) benchmark::DoNotOptimize(encode(pcm));
    state.counters["audio_s_per_cpu_s"] =
        benchmark::Counter(seconds_of(pcm) * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_EncodeMP3)->Unit(benchmark::kMillisecond);

void BM_DecodeMP3(benchmark::State& state) {
    std::string const pcm = pcm_input();
    std::vector<audio::MP3Data> const frames = frames_of(encode(pcm));
    for (auto _ : state) {
        audio::DecoderMP3 decoder;
        for (auto const& frame : frames) benchmark::DoNotOptimize(decoder.decode(frame));
    }
    state.counters["audio_s_per_cpu_s"] =
        benchmark::Counter(seconds_of(pcm) * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DecodeMP3)->Unit(benchmark::kMillisecond);

void BM_DecodeVorbis(benchmark::State& state) {
    auto const path = bench::given_file("tone.ogg");
    if (!path) return state.SkipWithError("no tone.ogg in SONBRIX_BENCH_INPUT_DIR (bench/compare makes it)");
    double seconds = 0.0;
    for (auto _ : state) {
        audio::DecoderVorbis decoder(*path);
        if (!decoder.is_valid()) {
            state.SkipWithError("tone.ogg is not an Ogg Vorbis file");
            return;
        }
        seconds = decoder.get_duration();
        while (!decoder.get_data(8192).is_empty()) {
        }
    }
    state.counters["audio_s_per_cpu_s"] =
        benchmark::Counter(seconds * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DecodeVorbis)->Unit(benchmark::kMillisecond);

}  // namespace
