// One small function a job. The jobs whose stages are still being written are compiled in
// as soon as their headers exist; until then their entry says "not built yet".
#include "bench/job/jobs.h"

#include <array>

#include "audio/decoder_adpcm.h"
#include "audio/decoder_gsm.h"
#include "audio/encoder_adpcm.h"
#include "audio/encoder_gsm.h"
#include "audio/equalizer.h"
#include "audio/fast_play.h"
#include "audio/file_reader_wav_adpcm.h"
#include "audio/file_reader_wav_gsm.h"
#include "audio/file_reader_wav_pcm.h"
#include "audio/file_writer_wav_adpcm.h"
#include "audio/file_writer_wav_gsm.h"
#include "audio/level_filter.h"
#include "audio/level_meter.h"
#include "audio/stretch_filter.h"

#if __has_include("audio/file_reader_mp3.h") && __has_include("audio/decoder_mp3.h")
#define SONBRIX_JOB_MP3_DECODE 1
#include "audio/decoder_mp3.h"
#include "audio/file_reader_mp3.h"
#endif
#if __has_include("audio/encoder_mp3.h") && __has_include("audio/file_writer_mp3.h")
#define SONBRIX_JOB_MP3_ENCODE 1
#include "audio/encoder_mp3.h"
#include "audio/file_writer_mp3.h"
#endif
#if __has_include("audio/decoder_vorbis.h")
#define SONBRIX_JOB_VORBIS_DECODE 1
#include "audio/decoder_vorbis.h"
#endif
#if __has_include("audio/decoder_mpc.h")
#define SONBRIX_JOB_MPC_DECODE 1
#include "audio/decoder_mpc.h"
#endif

namespace bench_job {

namespace {

// A reader and its decoder, as a play chain links them, pulled to the end.
template <class Reader, class Decoder, class Block>
[[maybe_unused]] int decode_with(const Files& files, const char* refusal) {
    auto const path = device_file(files.input);
    if (!path) return 1;
    Reader reader(*path);
    if (!reader.is_valid()) return fail(refusal, files.input);
    Decoder decoder;
    audio::connect<Block>(&reader, &decoder);
    pull_to_end(decoder);
    audio::connect<Block>(&reader, nullptr);
    return 0;
}

// A reader that decodes by itself, alone in its play chain, pulled to the end.
template <class Reader>
[[maybe_unused]] int decode_alone(const Files& files, const char* refusal) {
    auto const path = device_file(files.input);
    if (!path) return 1;
    Reader reader(*path);
    if (!reader.is_valid()) return fail(refusal, files.input);
    pull_to_end(reader);
    return 0;
}

#ifdef SONBRIX_JOB_MP3_ENCODE
void end_stream(audio::EncoderMP3& encoder) { encoder.end_stream(); }
#endif
template <class Encoder>
void end_stream(Encoder& encoder) {
    encoder.finish();
}

// An encoder and its writer, as a record chain links them, fed from a PCM WAV file.
template <class Writer, class Block, class Encoder>
[[maybe_unused]] int encode_with(const Files& files, Encoder& encoder) {
    auto const in = device_file(files.input);
    auto const out = device_file(files.output);
    if (!in || !out) return 1;
    Writer writer(*out, false);
    audio::connect<Block>(&encoder, &writer);
    bool const read = feed_wav(*in, encoder);
    // The last frames or the last partial block go to the writer before it is unlinked.
    end_stream(encoder);
    audio::connect<Block>(&encoder, nullptr);
    if (!read) return fail("not a PCM WAV file", files.input);
    if (!writer.is_open()) return fail("cannot write", files.output);
    return 0;
}

int adpcm_decode(const Files& files) {
    return decode_with<audio::FileReaderWAVADPCM, audio::DecoderADPCM, audio::ADPCMData>(files,
                                                                                         "not a WAV ADPCM file");
}

int adpcm_encode(const Files& files) {
    audio::EncoderADPCM encoder;
    return encode_with<audio::FileWriterWAVADPCM, audio::ADPCMData>(files, encoder);
}

int gsm_decode(const Files& files) {
    return decode_with<audio::FileReaderWAVGSM, audio::DecoderGSM, audio::GSMData>(files, "not a WAV GSM file");
}

int gsm_encode(const Files& files) {
    audio::EncoderGSM encoder;
    return encode_with<audio::FileWriterWAVGSM, audio::GSMData>(files, encoder);
}

#ifdef SONBRIX_JOB_MP3_DECODE
int mp3_decode(const Files& files) {
    return decode_with<audio::FileReaderMP3, audio::DecoderMP3, audio::MP3Data>(files, "not an MP3 file");
}
#endif

#ifdef SONBRIX_JOB_MP3_ENCODE
int mp3_encode(const Files& files) {
    audio::EncoderMP3 encoder(128000);
    return encode_with<audio::FileWriterMP3, audio::MP3Data>(files, encoder);
}
#endif

#ifdef SONBRIX_JOB_VORBIS_DECODE
int vorbis_decode(const Files& files) { return decode_alone<audio::DecoderVorbis>(files, "not an Ogg Vorbis file"); }
#endif

#ifdef SONBRIX_JOB_MPC_DECODE
int mpc_decode(const Files& files) { return decode_alone<audio::DecoderMPC>(files, "not a Musepack file"); }
#endif

// The play graph behind a PCM reader: pass-through, three equalizer bands, fast play at
// 1.5, time stretch by 2, level filter and level meter.
int play_filters(const Files& files) {
    auto const path = device_file(files.input);
    if (!path) return 1;
    audio::FileReaderWAVPCM reader(*path);
    if (!reader.is_valid()) return fail("not a PCM WAV file", files.input);
    audio::NullProcessor<audio::PCMData> head;
    audio::EqualizerPCM bands[3];
    double const hertz[3] = {100.0, 1000.0, 8000.0};
    double const gains[3] = {6.0, -4.0, 3.0};
    for (int i = 0; i < 3; ++i) {
        bands[i].set_frequency(hertz[i]);
        bands[i].set_bandwidth(1.0);
        bands[i].set_gain(gains[i]);
    }
    audio::FastPlay fast;
    fast.set_speed(1.5);
    audio::StretchFilter stretch;
    stretch.set_factor(2);
    audio::LevelFilter level;
    level.set_curve(64, 16, 64);
    audio::LevelMeter meter;

    audio::Provider<audio::PCMData>* const providers[] = {&reader, &head, &bands[0], &bands[1], &bands[2],
                                                          &fast, &stretch, &level};
    audio::Consumer<audio::PCMData>* const consumers[] = {&head, &bands[0], &bands[1], &bands[2],
                                                          &fast, &stretch, &level, &meter};
    for (std::size_t i = 0; i < std::size(providers); ++i) audio::connect<audio::PCMData>(providers[i], consumers[i]);
    pull_to_end(meter);
    for (auto* provider : providers) audio::connect<audio::PCMData>(provider, nullptr);
    return 0;
}

#ifdef SONBRIX_JOB_MP3_DECODE
constexpr auto mp3_decode_job = &mp3_decode;
#else
constexpr int (*mp3_decode_job)(const Files&) = nullptr;
#endif
#ifdef SONBRIX_JOB_MP3_ENCODE
constexpr auto mp3_encode_job = &mp3_encode;
#else
constexpr int (*mp3_encode_job)(const Files&) = nullptr;
#endif
#ifdef SONBRIX_JOB_VORBIS_DECODE
constexpr auto vorbis_decode_job = &vorbis_decode;
#else
constexpr int (*vorbis_decode_job)(const Files&) = nullptr;
#endif
#ifdef SONBRIX_JOB_MPC_DECODE
constexpr auto mpc_decode_job = &mpc_decode;
#else
constexpr int (*mpc_decode_job)(const Files&) = nullptr;
#endif

constexpr std::array jobs{
    Job{"mp3-decode", "IN.mp3", "MP3 play chain (reader, decoder) pulled to the end", mp3_decode_job},
    Job{"mp3-encode", "IN.wav OUT.mp3", "MP3 record chain at 128 kbit/s fed from a PCM WAV file", mp3_encode_job},
    Job{"vorbis-decode", "IN.ogg", "Ogg Vorbis play chain pulled to the end", vorbis_decode_job},
    Job{"mpc-decode", "IN.mpc", "Musepack play chain pulled to the end", mpc_decode_job},
    Job{"adpcm-decode", "IN.wav", "WAV Microsoft ADPCM play chain pulled to the end", &adpcm_decode},
    Job{"adpcm-encode", "IN.wav OUT.wav", "WAV Microsoft ADPCM record chain fed from a PCM WAV file", &adpcm_encode},
    Job{"gsm-decode", "IN.wav", "WAV GSM 6.10 play chain pulled to the end", &gsm_decode},
    Job{"gsm-encode", "IN.wav OUT.wav", "WAV GSM 6.10 record chain fed from an 8000 Hz mono PCM WAV file",
        &gsm_encode},
    // WMA is played by the platform's media player control, which is not in the engine yet.
    Job{"wma-decode", "IN.wma", "WMA play chain", nullptr},
    Job{"play-filters", "IN.wav",
        "PCM reader through the play graph: 3 equalizer bands, fast play 1.5, stretch 2, level filter, level meter",
        &play_filters},
};

}  // namespace

std::span<const Job> all_jobs() { return jobs; }

}  // namespace bench_job
