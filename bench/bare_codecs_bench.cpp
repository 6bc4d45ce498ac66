// The codec libraries alone, with the fewest lines that decode or encode the same sound as
// our pipelines do: libgsm (WAV49 pairs), libmad (frames to 16-bit PCM), LAME (128 kbit/s
// CBR), Tremor (ov_read) and libmpcdec (demux and decode). Each pipeline's overhead over its
// library is the ratio of the two figures in one run (bench/compare prints it). The PCM
// input is that of codecs_bench.cpp and decoders_bench.cpp; the Ogg Vorbis and Musepack
// inputs are "tone.ogg" and "tone.mpc" in SONBRIX_BENCH_INPUT_DIR.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gsm.h>
#include <lame/lame.h>
#include <mad.h>
#include <mpc/mpcdec.h>
#include <tremor/ivorbisfile.h>

#include "tests/audio/speech_signal.h"

namespace {

std::string raw_input(std::uint32_t rate, std::uint32_t channels) {
    if (const char* folder = std::getenv("SONBRIX_BENCH_INPUT_DIR")) {
        std::ifstream file(std::string(folder) + "/" + std::to_string(rate) + "_" + std::to_string(channels) + ".raw",
                           std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        if (!bytes.empty()) return bytes;
    }
    return audio_test::bytes_of_samples(audio_test::speech_like(rate * 10, channels, rate));
}

std::vector<short> samples_of(const std::string& bytes) {
    std::vector<short> samples(bytes.size() / 2);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<short>(static_cast<std::uint8_t>(bytes[2 * i]) | static_cast<std::uint8_t>(bytes[2 * i + 1]) << 8);
    return samples;
}

void report(benchmark::State& state, double seconds) {
    state.counters["audio_s_per_cpu_s"] =
        benchmark::Counter(seconds * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

gsm wav49_codec() {
    gsm codec = gsm_create();
    int one = 1;
    gsm_option(codec, GSM_OPT_WAV49, &one);
    return codec;
}

void BM_Bare_GSMEncode(benchmark::State& state) {
    std::vector<short> samples = samples_of(raw_input(8000, 1));
    std::size_t const blocks = samples.size() / 320;
    std::vector<unsigned char> out(blocks * 65);
    for (auto _ : state) {
        gsm codec = wav49_codec();
        for (std::size_t b = 0; b < blocks; ++b) {
            gsm_encode(codec, samples.data() + b * 320, out.data() + b * 65);
            gsm_encode(codec, samples.data() + b * 320 + 160, out.data() + b * 65 + 32);
        }
        gsm_destroy(codec);
        benchmark::DoNotOptimize(out.data());
    }
    report(state, blocks * 320 / 8000.0);
}
BENCHMARK(BM_Bare_GSMEncode)->Unit(benchmark::kMillisecond);

void BM_Bare_GSMDecode(benchmark::State& state) {
    std::vector<short> samples = samples_of(raw_input(8000, 1));
    std::size_t const blocks = samples.size() / 320;
    std::vector<unsigned char> coded(blocks * 65);
    gsm encoder = wav49_codec();
    for (std::size_t b = 0; b < blocks; ++b) {
        gsm_encode(encoder, samples.data() + b * 320, coded.data() + b * 65);
        gsm_encode(encoder, samples.data() + b * 320 + 160, coded.data() + b * 65 + 32);
    }
    gsm_destroy(encoder);
    for (auto _ : state) {
        gsm codec = wav49_codec();
        for (std::size_t b = 0; b < blocks; ++b) {
            gsm_decode(codec, coded.data() + b * 65, samples.data() + b * 320);
            gsm_decode(codec, coded.data() + b * 65 + 33, samples.data() + b * 320 + 160);
        }
        gsm_destroy(codec);
        benchmark::DoNotOptimize(samples.data());
    }
    report(state, blocks * 320 / 8000.0);
}
BENCHMARK(BM_Bare_GSMDecode)->Unit(benchmark::kMillisecond);

// 44100 Hz stereo at 128 kbit/s, fed in frames of 1152.
std::string lame_encode(const std::vector<short>& interleaved) {
    lame_global_flags* lame = lame_init();
    lame_set_in_samplerate(lame, 44100);
    lame_set_num_channels(lame, 2);
    lame_set_brate(lame, 128);
    lame_init_params(lame);
    std::vector<short> left(1152), right(1152);
    std::vector<unsigned char> out(1152 * 5 / 4 + 7200);
    std::string mp3;
    std::size_t const frames = interleaved.size() / 2;
    for (std::size_t at = 0; at + 1152 <= frames; at += 1152) {
        for (std::size_t i = 0; i < 1152; ++i) {
            left[i] = interleaved[2 * (at + i)];
            right[i] = interleaved[2 * (at + i) + 1];
        }
        int const n = lame_encode_buffer(lame, left.data(), right.data(), 1152, out.data(), static_cast<int>(out.size()));
        if (n > 0) mp3.append(reinterpret_cast<const char*>(out.data()), static_cast<std::size_t>(n));
    }
    int const n = lame_encode_flush(lame, out.data(), static_cast<int>(out.size()));
    if (n > 0) mp3.append(reinterpret_cast<const char*>(out.data()), static_cast<std::size_t>(n));
    lame_close(lame);
    return mp3;
}

void BM_Bare_LameEncode(benchmark::State& state) {
    std::vector<short> const samples = samples_of(raw_input(44100, 2));
    for (auto _ : state) benchmark::DoNotOptimize(lame_encode(samples));
    report(state, samples.size() / 2 / 44100.0);
}
BENCHMARK(BM_Bare_LameEncode)->Unit(benchmark::kMillisecond);

short to_short(mad_fixed_t sample) {
    if (sample >= MAD_F_ONE) sample = MAD_F_ONE - 1;
    if (sample < -MAD_F_ONE) sample = -MAD_F_ONE;
    return static_cast<short>(sample >> (MAD_F_FRACBITS + 1 - 16));
}

void BM_Bare_MadDecode(benchmark::State& state) {
    std::vector<short> const samples = samples_of(raw_input(44100, 2));
    std::string mp3 = lame_encode(samples);
    mp3.append(MAD_BUFFER_GUARD, '\0');
    std::vector<short> pcm(1152 * 2);
    for (auto _ : state) {
        mad_stream stream;
        mad_frame frame;
        mad_synth synth;
        mad_stream_init(&stream);
        mad_frame_init(&frame);
        mad_synth_init(&synth);
        mad_stream_buffer(&stream, reinterpret_cast<const unsigned char*>(mp3.data()), mp3.size());
        for (;;) {
            if (mad_frame_decode(&frame, &stream) != 0) {
                if (MAD_RECOVERABLE(stream.error)) continue;
                break;
            }
            mad_synth_frame(&synth, &frame);
            for (unsigned i = 0; i < synth.pcm.length; ++i) {
                pcm[2 * i] = to_short(synth.pcm.samples[0][i]);
                pcm[2 * i + 1] = to_short(synth.pcm.samples[synth.pcm.channels - 1][i]);
            }
            benchmark::DoNotOptimize(pcm.data());
        }
        mad_synth_finish(&synth);
        mad_frame_finish(&frame);
        mad_stream_finish(&stream);
    }
    report(state, samples.size() / 2 / 44100.0);
}
BENCHMARK(BM_Bare_MadDecode)->Unit(benchmark::kMillisecond);

std::string given(const char* name) {
    const char* folder = std::getenv("SONBRIX_BENCH_INPUT_DIR");
    return folder == nullptr ? std::string() : std::string(folder) + "/" + name;
}

void BM_Bare_TremorDecode(benchmark::State& state) {
    std::string const path = given("tone.ogg");
    double seconds = 0.0;
    std::vector<char> pcm(8192 * 4);
    for (auto _ : state) {
        FILE* file = path.empty() ? nullptr : std::fopen(path.c_str(), "rb");
        OggVorbis_File vorbis;
        if (file == nullptr || ov_open(file, &vorbis, nullptr, 0) < 0) {
            if (file != nullptr) std::fclose(file);
            return state.SkipWithError("no tone.ogg in SONBRIX_BENCH_INPUT_DIR");
        }
        seconds = static_cast<double>(ov_pcm_total(&vorbis, -1)) / ov_info(&vorbis, -1)->rate;
        int section = 0;
        while (ov_read(&vorbis, pcm.data(), static_cast<int>(pcm.size()), &section) > 0) {
        }
        ov_clear(&vorbis);
    }
    report(state, seconds);
}
BENCHMARK(BM_Bare_TremorDecode)->Unit(benchmark::kMillisecond);

void BM_Bare_MpcDecode(benchmark::State& state) {
    std::string const path = given("tone.mpc");
    double seconds = 0.0;
    std::vector<MPC_SAMPLE_FORMAT> samples(MPC_DECODER_BUFFER_LENGTH);
    std::vector<short> pcm(MPC_DECODER_BUFFER_LENGTH);
    for (auto _ : state) {
        mpc_reader reader;
        if (path.empty() || mpc_reader_init_stdio(&reader, path.c_str()) != MPC_STATUS_OK)
            return state.SkipWithError("no tone.mpc in SONBRIX_BENCH_INPUT_DIR");
        mpc_demux* demux = mpc_demux_init(&reader);
        if (demux == nullptr) {
            mpc_reader_exit_stdio(&reader);
            return state.SkipWithError("tone.mpc is not a Musepack file");
        }
        mpc_streaminfo info;
        mpc_demux_get_info(demux, &info);
        seconds = static_cast<double>(mpc_streaminfo_get_length_samples(&info)) / info.sample_freq;
        mpc_frame_info frame;
        frame.buffer = samples.data();
        while (mpc_demux_decode(demux, &frame) == MPC_STATUS_OK && frame.bits != -1) {
            for (unsigned i = 0; i < frame.samples * info.channels; ++i)
                pcm[i] = static_cast<short>(std::max(-32768.0f, std::min(32767.0f, samples[i] * 32768.0f)));
            benchmark::DoNotOptimize(pcm.data());
        }
        mpc_demux_exit(demux);
        mpc_reader_exit_stdio(&reader);
    }
    report(state, seconds);
}
BENCHMARK(BM_Bare_MpcDecode)->Unit(benchmark::kMillisecond);

}  // namespace
