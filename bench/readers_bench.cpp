// The sound-file readers and the play chains behind them (reader and decoder), and the MP3
// encoder: audio seconds per CPU second. The WAV files are written into the device's file
// system (SONBRIX_DEVICE) before the runs and removed after them. The MP3, Ogg Vorbis and
// Musepack files come from SONBRIX_BENCH_INPUT_DIR ("tone.mp3", "tone.ogg", "tone.mpc", as
// bench/compare makes them); without them those benchmarks are skipped. Benchmarks of stages
// that the engine does not have yet are compiled in as soon as their headers exist.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "audio/decoder_adpcm.h"
#include "audio/decoder_gsm.h"
#include "audio/encoder_adpcm.h"
#include "audio/encoder_gsm.h"
#include "audio/file_reader_wav_adpcm.h"
#include "audio/file_reader_wav_gsm.h"
#include "audio/file_reader_wav_pcm.h"
#include "audio/file_writer_wav_adpcm.h"
#include "audio/file_writer_wav_gsm.h"
#include "audio/file_writer_wav_pcm.h"
#include "bench/bench_input.h"
#include "platform/device.h"
#include "platform/file_ops.h"
#include "platform/unicode.h"
#include "tests/audio/speech_signal.h"

#if __has_include("audio/file_reader_mp3.h") && __has_include("audio/decoder_mp3.h")
#define SONBRIX_BENCH_MP3_DECODE 1
#include "audio/decoder_mp3.h"
#include "audio/file_reader_mp3.h"
#endif
#if __has_include("audio/encoder_mp3.h")
#define SONBRIX_BENCH_MP3_ENCODE 1
#include "audio/encoder_mp3.h"
#endif
#if __has_include("audio/decoder_vorbis.h")
#define SONBRIX_BENCH_VORBIS 1
#include "audio/decoder_vorbis.h"
#endif
#if __has_include("audio/decoder_mpc.h")
#define SONBRIX_BENCH_MPC 1
#include "audio/decoder_mpc.h"
#endif

namespace {

constexpr std::uint32_t seconds_of_input = 10;
// What the player asks for in one pull.
constexpr std::uint32_t pull_frames = 16384;

// A file in the device's file system that lives as long as the object.
class DeviceFile {
public:
    explicit DeviceFile(std::u16string path) : path_(std::move(path)) {}
    ~DeviceFile() { DeleteFileW(path_.c_str()); }
    DeviceFile(const DeviceFile&) = delete;
    DeviceFile& operator=(const DeviceFile&) = delete;
    const std::u16string& path() const { return path_; }

private:
    std::u16string path_;
};

audio::PCMData speech(std::uint32_t rate, std::uint32_t channels) {
    std::string const bytes =
        audio_test::bytes_of_samples(audio_test::speech_like(rate * seconds_of_input, channels, rate));
    return audio::PCMData(liba::SharedBuffer(static_cast<std::uint32_t>(bytes.size()), bytes.data()), channels, 16,
                          rate);
}

// Writes the sound into a WAV file of the kind through the engine's own record stages.
template <class Writer, class Block, class Encoder>
std::unique_ptr<DeviceFile> coded_file(const char16_t* name, const audio::PCMData& sound) {
    auto file = std::make_unique<DeviceFile>(name);
    Encoder encoder;
    Writer writer(file->path(), false);
    audio::connect<Block>(&encoder, &writer);
    encoder.on_data(sound);
    audio::connect<Block>(&encoder, nullptr);
    return file;
}

std::unique_ptr<DeviceFile> pcm_file(const char16_t* name, const audio::PCMData& sound) {
    auto file = std::make_unique<DeviceFile>(name);
    audio::FileWriterWAVPCM writer(file->path(), false);
    writer.on_data(sound);
    return file;
}

// The player's side of a chain without a device.
class PullEnd : public audio::Consumer<audio::PCMData> {};

void report(benchmark::State& state, double seconds) {
    state.counters["audio_s_per_cpu_s"] =
        benchmark::Counter(seconds * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// Pulls the whole file through the chain's PCM end per iteration, from its start.
template <class Reader>
void pull_file(benchmark::State& state, Reader& reader, audio::Provider<audio::PCMData>& end) {
    if (!reader.is_valid()) {
        state.SkipWithError("the file was not accepted");
        return;
    }
    PullEnd sink;
    audio::connect<audio::PCMData>(&end, &sink);
    for (auto _ : state) {
        reader.set_position(0);
        while (!sink.pull_data(pull_frames).is_empty()) {
        }
    }
    audio::connect<audio::PCMData>(&end, nullptr);
    report(state, reader.get_duration());
}

// Pulls the whole file from a coded reader alone, as many units a pull as its decoder asks.
template <class Reader, class Block>
void read_coded(benchmark::State& state, Reader& reader, std::uint32_t units_per_pull) {
    if (!reader.is_valid()) {
        state.SkipWithError("the file was not accepted");
        return;
    }
    for (auto _ : state) {
        reader.set_position(0);
        while (!reader.get_data(units_per_pull).is_empty()) {
        }
    }
    report(state, reader.get_duration());
}

template <class Reader, class Decoder, class Block>
void play_chain(benchmark::State& state, const std::u16string& path) {
    Reader reader(path);
    Decoder decoder;
    audio::connect<Block>(&reader, &decoder);
    pull_file(state, reader, decoder);
    audio::connect<Block>(&reader, nullptr);
}

void BM_Read_WAV_PCM(benchmark::State& state) {
    auto const file = pcm_file(u"\\sonbrix-bench-pcm.wav", speech(44100, 2));
    audio::FileReaderWAVPCM reader(file->path());
    pull_file(state, reader, reader);
}
BENCHMARK(BM_Read_WAV_PCM)->Unit(benchmark::kMillisecond);

void BM_Read_WAV_ADPCM(benchmark::State& state) {
    auto const file = coded_file<audio::FileWriterWAVADPCM, audio::ADPCMData, audio::EncoderADPCM>(
        u"\\sonbrix-bench-adpcm.wav", speech(44100, 2));
    audio::FileReaderWAVADPCM reader(file->path());
    read_coded<audio::FileReaderWAVADPCM, audio::ADPCMData>(state, reader, 1);
}
BENCHMARK(BM_Read_WAV_ADPCM)->Unit(benchmark::kMillisecond);

void BM_Read_WAV_GSM(benchmark::State& state) {
    auto const file =
        coded_file<audio::FileWriterWAVGSM, audio::GSMData, audio::EncoderGSM>(u"\\sonbrix-bench-gsm.wav", speech(8000, 1));
    audio::FileReaderWAVGSM reader(file->path());
    read_coded<audio::FileReaderWAVGSM, audio::GSMData>(state, reader, (pull_frames + 159) / 160);
}
BENCHMARK(BM_Read_WAV_GSM)->Unit(benchmark::kMillisecond);

void BM_PlayChain_ADPCM(benchmark::State& state) {
    auto const file = coded_file<audio::FileWriterWAVADPCM, audio::ADPCMData, audio::EncoderADPCM>(
        u"\\sonbrix-bench-adpcm.wav", speech(44100, 2));
    play_chain<audio::FileReaderWAVADPCM, audio::DecoderADPCM, audio::ADPCMData>(state, file->path());
}
BENCHMARK(BM_PlayChain_ADPCM)->Unit(benchmark::kMillisecond);

void BM_PlayChain_GSM(benchmark::State& state) {
    auto const file =
        coded_file<audio::FileWriterWAVGSM, audio::GSMData, audio::EncoderGSM>(u"\\sonbrix-bench-gsm.wav", speech(8000, 1));
    play_chain<audio::FileReaderWAVGSM, audio::DecoderGSM, audio::GSMData>(state, file->path());
}
BENCHMARK(BM_PlayChain_GSM)->Unit(benchmark::kMillisecond);

#ifdef SONBRIX_BENCH_MP3_DECODE
void BM_Read_MP3(benchmark::State& state) {
    auto const path = bench::given_file("tone.mp3");
    if (!path) return state.SkipWithError("no tone.mp3 in SONBRIX_BENCH_INPUT_DIR");
    audio::FileReaderMP3 reader(*path);
    read_coded<audio::FileReaderMP3, audio::MP3Data>(state, reader, 1);
}
BENCHMARK(BM_Read_MP3)->Unit(benchmark::kMillisecond);

void BM_PlayChain_MP3(benchmark::State& state) {
    auto const path = bench::given_file("tone.mp3");
    if (!path) return state.SkipWithError("no tone.mp3 in SONBRIX_BENCH_INPUT_DIR");
    play_chain<audio::FileReaderMP3, audio::DecoderMP3, audio::MP3Data>(state, *path);
}
BENCHMARK(BM_PlayChain_MP3)->Unit(benchmark::kMillisecond);
#endif

#ifdef SONBRIX_BENCH_MP3_ENCODE
// 44100 Hz stereo at 128 kbit/s, pushed in pieces of a tenth of a second.
void BM_Encode_MP3_128k(benchmark::State& state) {
    audio::PCMData const sound = speech(44100, 2);
    std::uint32_t const piece = 4410 * 4;
    class Sink : public audio::Consumer<audio::MP3Data> {
    public:
        void on_data(const audio::MP3Data& block) override { benchmark::DoNotOptimize(block.get_size()); }
    } sink;
    for (auto _ : state) {
        audio::EncoderMP3 encoder(128000);
        audio::connect<audio::MP3Data>(&encoder, &sink);
        for (std::uint32_t at = 0; at < sound.get_size(); at += piece)
            encoder.on_data(sound.with_buffer(liba::SharedBuffer(sound.buffer, at, std::min(piece, sound.get_size() - at))));
        audio::connect<audio::MP3Data>(&encoder, nullptr);
    }
    report(state, seconds_of_input);
}
BENCHMARK(BM_Encode_MP3_128k)->Unit(benchmark::kMillisecond);
#endif

#ifdef SONBRIX_BENCH_VORBIS
void BM_PlayChain_Vorbis(benchmark::State& state) {
    auto const path = bench::given_file("tone.ogg");
    if (!path) return state.SkipWithError("no tone.ogg in SONBRIX_BENCH_INPUT_DIR");
    audio::DecoderVorbis reader(*path);
    pull_file(state, reader, reader);
}
BENCHMARK(BM_PlayChain_Vorbis)->Unit(benchmark::kMillisecond);
#endif

#ifdef SONBRIX_BENCH_MPC
void BM_PlayChain_MPC(benchmark::State& state) {
    auto const path = bench::given_file("tone.mpc");
    if (!path) return state.SkipWithError("no tone.mpc in SONBRIX_BENCH_INPUT_DIR");
    audio::DecoderMPC reader(*path);
    pull_file(state, reader, reader);
}
BENCHMARK(BM_PlayChain_MPC)->Unit(benchmark::kMillisecond);
#endif

}  // namespace
