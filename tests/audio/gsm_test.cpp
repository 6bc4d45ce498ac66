#include "audio/encoder_gsm.h"

#include <gtest/gtest.h>

#include <vector>

#include "audio/decoder_gsm.h"
#include "tests/audio/speech_signal.h"
#include "tests/audio/stream_helpers.h"

namespace {

using audio_test::buffer_of;
using audio_test::bytes_of_samples;
using audio_test::Collector;
using audio_test::QueueProvider;

audio::PCMData speech(std::uint32_t frames, std::uint32_t first = 0) {
    auto const samples = audio_test::speech_like(first + frames, 1, 8000);
    return audio::PCMData(buffer_of(bytes_of_samples(std::vector<std::int16_t>(samples.begin() + first, samples.end()))),
                          1, 16, 8000);
}

TEST(GSMEncoding, OnlySixteenBitMonoAt8000HzIsEncoded) {
    struct Case {
        std::uint32_t channels, bits, rate;
    };
    for (auto const& c : {Case{2, 16, 8000}, Case{1, 16, 11025}, Case{1, 8, 8000}}) {
        audio::EncoderGSM encoder;
        Collector<audio::GSMData> out;
        audio::connect<audio::GSMData>(&encoder, &out);
        encoder.on_data(audio::PCMData(liba::SharedBuffer(8000), c.channels, c.bits, c.rate));
        EXPECT_TRUE(out.blocks.empty());
    }
}

TEST(GSMEncoding, EveryThreeHundredTwentySamplesGiveOneBlockOf65Bytes) {
    audio::EncoderGSM encoder;
    Collector<audio::GSMData> out;
    audio::connect<audio::GSMData>(&encoder, &out);
    encoder.on_data(speech(1000));
    ASSERT_EQ(3u, out.blocks.size());
    for (auto const& block : out.blocks) EXPECT_EQ(65u, block.get_size());
    // The 40 samples left over wait: 280 more complete the fourth block.
    encoder.on_data(speech(279, 1000));
    EXPECT_EQ(3u, out.blocks.size());
    encoder.on_data(speech(1, 1279));
    EXPECT_EQ(4u, out.blocks.size());
    EXPECT_EQ(13000u, encoder.get_bit_rate());
}

TEST(GSMDecoding, EachWholeBlockGivesThreeHundredTwentySamples) {
    struct Case {
        std::uint32_t bytes, samples;
    };
    for (auto const& c : {Case{130, 640}, Case{100, 320}, Case{64, 0}}) {
        audio::DecoderGSM decoder;
        audio::PCMData const pcm = decoder.decode(audio::GSMData(liba::SharedBuffer(c.bytes)));
        EXPECT_EQ(c.samples, pcm.get_frame_count()) << c.bytes << " bytes";
        if (c.samples != 0) {
            EXPECT_EQ(1u, pcm.channels);
            EXPECT_EQ(16u, pcm.bits_per_sample);
            EXPECT_EQ(8000u, pcm.sample_rate);
        }
    }
}

TEST(GSMDecoding, PullAsksForWholeBlocksAndKeepsTheRest) {
    QueueProvider<audio::GSMData> reader;
    reader.blocks.push_back(audio::GSMData(liba::SharedBuffer(3 * 65)));
    audio::DecoderGSM decoder;
    audio::connect<audio::GSMData>(&reader, &decoder);
    EXPECT_EQ(480u, decoder.get_data(480).get_frame_count());
    EXPECT_EQ(std::vector<std::uint32_t>{3}, reader.requests);
    EXPECT_EQ(480u, decoder.get_data(480).get_frame_count());
    EXPECT_EQ(std::vector<std::uint32_t>{3}, reader.requests);
}

TEST(GSMCoding, SpeechSurvivesTheRoundTrip) {
    audio::EncoderGSM encoder;
    audio::DecoderGSM decoder;
    Collector<audio::PCMData> out;
    audio::connect<audio::GSMData>(&encoder, &decoder);
    audio::connect<audio::PCMData>(&decoder, &out);
    audio::PCMData const source = speech(320 * 50);
    encoder.on_data(source);
    ASSERT_EQ(50u, out.blocks.size());
    std::vector<std::int16_t> const decoded = audio_test::samples_of_bytes(out.all_bytes());
    std::vector<std::int16_t> const original = audio_test::samples_of(source);
    // A speech coder keeps the sound rather than the wave; measured about 9 dB here.
    EXPECT_GT(audio_test::snr_db(original, decoded), 5.0);
}

}  // namespace
