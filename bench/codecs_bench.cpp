// Encoding and decoding speed of the Microsoft ADPCM and GSM 6.10 stages, in audio seconds
// per CPU second. The input is a speech-like signal, or, when SONBRIX_BENCH_INPUT_DIR names
// a folder, the raw 16-bit little-endian file "<rate>_<channels>.raw" in it (so that other
// programs can be timed on the same sound: see bench/compare).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "audio/decoder_adpcm.h"
#include "audio/decoder_gsm.h"
#include "audio/encoder_adpcm.h"
#include "audio/encoder_gsm.h"
#include "tests/audio/speech_signal.h"

namespace {

constexpr std::uint32_t seconds_of_input = 10;

// Counts what reaches the end of a chain and drops it.
template <class T>
class Sink : public audio::Consumer<T> {
public:
    void on_data(const T& block) override { bytes += block.get_size(); }
    std::uint64_t bytes = 0;
};

std::string input(std::uint32_t rate, std::uint32_t channels) {
    if (const char* folder = std::getenv("SONBRIX_BENCH_INPUT_DIR")) {
        std::ifstream file(std::string(folder) + "/" + std::to_string(rate) + "_" + std::to_string(channels) + ".raw",
                           std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        if (!bytes.empty()) return bytes;
    }
    return audio_test::bytes_of_samples(audio_test::speech_like(rate * seconds_of_input, channels, rate));
}

audio::PCMData pcm_block(const std::string& bytes, std::uint32_t channels, std::uint32_t rate) {
    return audio::PCMData(liba::SharedBuffer(static_cast<std::uint32_t>(bytes.size()), bytes.data()), channels, 16, rate);
}

void report(benchmark::State& state, const std::string& bytes, std::uint32_t channels, std::uint32_t rate) {
    double const seconds = static_cast<double>(bytes.size()) / (2.0 * channels * rate);
    state.counters["audio_s_per_cpu_s"] =
        benchmark::Counter(seconds * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// Pushes the input through a fresh encoder in pieces of a tenth of a second.
template <class Encoder, class Block>
void encode(benchmark::State& state, std::uint32_t rate, std::uint32_t channels) {
    std::string const bytes = input(rate, channels);
    std::size_t const piece = std::size_t{rate} / 10 * 2 * channels;
    std::vector<audio::PCMData> pieces;
    for (std::size_t at = 0; at < bytes.size(); at += piece) pieces.push_back(pcm_block(bytes.substr(at, piece), channels, rate));
    for (auto _ : state) {
        Encoder encoder;
        Sink<Block> sink;
        audio::connect<Block>(&encoder, &sink);
        for (auto const& block : pieces) encoder.on_data(block);
        benchmark::DoNotOptimize(sink.bytes);
    }
    report(state, bytes, channels, rate);
}

// Decodes the encoded input a few blocks at a time, as the reader hands it out.
template <class Encoder, class Decoder, class Block>
void decode(benchmark::State& state, std::uint32_t rate, std::uint32_t channels, std::uint32_t blocks_per_push) {
    std::string const bytes = input(rate, channels);
    Encoder encoder;
    std::vector<Block> coded;
    struct Keep : audio::Consumer<Block> {
        std::vector<Block>* into;
        void on_data(const Block& block) override { into->push_back(block); }
    } keep;
    keep.into = &coded;
    audio::connect<Block>(&encoder, &keep);
    encoder.on_data(pcm_block(bytes, channels, rate));
    audio::connect<Block>(&encoder, nullptr);
    std::vector<Block> pushes;
    for (std::size_t at = 0; at < coded.size(); at += blocks_per_push) {
        std::string joined;
        for (std::size_t i = at; i < std::min(coded.size(), at + blocks_per_push); ++i)
            joined.append(reinterpret_cast<const char*>(coded[i].buffer.get_data()), coded[i].get_size());
        Block block = coded[at];
        block.buffer = liba::SharedBuffer(static_cast<std::uint32_t>(joined.size()), joined.data());
        pushes.push_back(block);
    }
    for (auto _ : state) {
        Decoder decoder;
        Sink<audio::PCMData> sink;
        audio::connect<audio::PCMData>(&decoder, &sink);
        for (auto const& block : pushes) decoder.on_data(block);
        benchmark::DoNotOptimize(sink.bytes);
    }
    report(state, bytes, channels, rate);
}

void EncodeADPCM(benchmark::State& state) {
    encode<audio::EncoderADPCM, audio::ADPCMData>(state, static_cast<std::uint32_t>(state.range(0)),
                                                  static_cast<std::uint32_t>(state.range(1)));
}

void DecodeADPCM(benchmark::State& state) {
    decode<audio::EncoderADPCM, audio::DecoderADPCM, audio::ADPCMData>(
        state, static_cast<std::uint32_t>(state.range(0)), static_cast<std::uint32_t>(state.range(1)), 5);
}

void EncodeGSM(benchmark::State& state) { encode<audio::EncoderGSM, audio::GSMData>(state, 8000, 1); }

void DecodeGSM(benchmark::State& state) { decode<audio::EncoderGSM, audio::DecoderGSM, audio::GSMData>(state, 8000, 1, 10); }

}  // namespace

BENCHMARK(EncodeADPCM)->Args({8000, 1})->Args({22050, 2})->Args({44100, 2})->Unit(benchmark::kMillisecond);
BENCHMARK(DecodeADPCM)->Args({8000, 1})->Args({22050, 2})->Args({44100, 2})->Unit(benchmark::kMillisecond);
BENCHMARK(EncodeGSM)->Unit(benchmark::kMillisecond);
BENCHMARK(DecodeGSM)->Unit(benchmark::kMillisecond);
