// Every play stage that holds sound between pulls (the equalizer's delay, the gathering
// filters' input and output, the stretch's carry, a decoder's pending PCM) forgets it when
// asked, so that nothing of one file follows a seek or starts the next one.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "audio/decoder_adpcm.h"
#include "audio/encoder_adpcm.h"
#include "audio/equalizer.h"
#include "audio/fast_play.h"
#include "audio/level_filter.h"
#include "audio/stretch_filter.h"
#include "tests/audio/filter_fixture.h"
#include "tests/audio/stream_helpers.h"

namespace {

using audio::PCMData;
using audio_test::QueueProvider;

constexpr std::uint32_t rate = 8000;

// A stage under test: its two ends and how it is told to forget.
struct Stage {
    audio::Consumer<PCMData>* input;
    audio::Provider<PCMData>* output;
    std::function<void()> drop;
};

PCMData loud_tone(std::uint32_t frames) { return filter_test::pcm16(filter_test::sine(frames, 441.0, 20000.0, rate), 1, rate); }
PCMData silence(std::uint32_t frames) { return filter_test::pcm16(std::vector<std::int32_t>(frames, 0), 1, rate); }
PCMData quiet_tone(std::uint32_t frames) { return filter_test::pcm16(filter_test::sine(frames, 441.0, 200.0, rate), 1, rate); }

int loudest(const std::vector<std::int16_t>& samples) {
    int loudest = 0;
    for (std::int16_t sample : samples) loudest = std::max(loudest, std::abs(static_cast<int>(sample)));
    return loudest;
}

// Plays part of a loud stream (so that the stage holds some of it), lets the stage drop
// what it holds, then plays a quiet tone: nothing loud may come out.
void expect_nothing_old_after_drop(Stage stage) {
    QueueProvider<PCMData> source;
    audio::connect(&source, stage.input);
    for (int i = 0; i < 8; ++i) source.blocks.push_back(loud_tone(1000));
    for (int pulls = 0; pulls < 3; ++pulls) ASSERT_FALSE(stage.output->get_data(1000).is_empty());
    stage.drop();
    source.blocks.clear();
    for (int i = 0; i < 8; ++i) source.blocks.push_back(quiet_tone(1000));
    std::vector<std::int16_t> const after = audio_test::pull_rest(*stage.output, 1000);
    EXPECT_FALSE(after.empty());
    EXPECT_LT(loudest(after), 1000);
    audio::connect<PCMData>(&source, nullptr);
}

TEST(DropSound, NoStageHandsOutOldSoundAfterDroppingIt) {
    {
        SCOPED_TRACE("stretch");
        audio::StretchFilter stretch;
        stretch.set_factor(2);
        expect_nothing_old_after_drop({&stretch, &stretch, [&] { stretch.drop_sound(); }});
    }
    {
        SCOPED_TRACE("level filter");
        audio::LevelFilter level;
        audio::LevelFilter::Table identity;
        for (int i = 0; i < 256; ++i) identity[static_cast<std::size_t>(i)] = i + 1;
        level.set_table(&identity);
        expect_nothing_old_after_drop({&level, &level, [&] { level.drop_sound(); }});
    }
    {
        SCOPED_TRACE("equalizer");
        audio::EqualizerPCM equalizer;
        equalizer.set_frequency(1000.0);
        equalizer.set_gain(6.0);
        expect_nothing_old_after_drop({&equalizer, &equalizer, [&] { equalizer.drop_sound(); }});
    }
}

TEST(DropSound, ADecoderForgetsTheRestOfADecodedBlock) {
    // One ADPCM block of 500 loud samples, of which a pull takes 100.
    audio::EncoderADPCM encoder;
    audio_test::Collector<audio::ADPCMData> coded;
    audio::connect(&encoder, &coded);
    encoder.on_data(loud_tone(500));
    ASSERT_EQ(1u, coded.blocks.size());
    encoder.on_data(silence(500));
    ASSERT_EQ(2u, coded.blocks.size());

    audio::DecoderADPCM decoder;
    QueueProvider<audio::ADPCMData> source;
    audio::connect(&source, &decoder);
    source.blocks.push_back(coded.blocks[0]);
    ASSERT_EQ(100u, decoder.get_data(100).get_frame_count());
    decoder.drop_sound();
    source.blocks.push_back(coded.blocks[1]);
    std::vector<std::int16_t> const after = audio_test::pull_rest(decoder, 100);
    EXPECT_EQ(500u, after.size());
    EXPECT_EQ(0, loudest(after));
    audio::connect<audio::ADPCMData>(&source, nullptr);
}

TEST(DropSound, FastPlayPicksFromTheFirstFrameAgain) {
    audio::FastPlay fast;
    fast.set_speed(1.5);
    QueueProvider<PCMData> source;
    audio::connect(&source, &fast);
    source.blocks.push_back(audio_test::counting_pcm16(7, 0));
    ASSERT_FALSE(fast.get_data(4).is_empty());
    fast.drop_sound();
    source.blocks.push_back(audio_test::counting_pcm16(10, 100));
    std::vector<std::int16_t> const after = audio_test::samples_of(fast.get_data(10));
    ASSERT_FALSE(after.empty());
    EXPECT_EQ(100, after[0]);
    audio::connect<PCMData>(&source, nullptr);
}

}  // namespace
