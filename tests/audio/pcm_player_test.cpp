#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "audio/file_reader_wav_pcm.h"
#include "audio/pcm_player.h"
#include "audio/pcm_player_impl.h"
#include "platform/unicode.h"
#include "tests/audio/stream_helpers.h"
#include "tests/audio/wav_fixture.h"
#include "tests/support/eventually.h"
#include "tests/support/virtual_wave.h"

namespace {

using audio::PCMData;
using audio::PlayerPCM;
using audio_test::buffer_of;
using testing_support::eventually;

// A provider that the test may fill while the player pulls from it.
class LockedProvider : public audio::Provider<PCMData> {
public:
    PCMData get_data(std::uint32_t) override {
        std::lock_guard guard(lock);
        if (blocks.empty()) return PCMData();
        PCMData const block = blocks.front();
        blocks.pop_front();
        return block;
    }
    void add(const PCMData& block) {
        std::lock_guard guard(lock);
        blocks.push_back(block);
    }
    std::mutex lock;
    std::deque<PCMData> blocks;
};

std::string pattern(std::size_t size, unsigned seed) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + seed + i / 251) & 0xFF);
    return bytes;
}

PCMData block_of(const std::string& bytes, std::uint32_t channels, std::uint32_t bits, std::uint32_t rate) {
    return PCMData(buffer_of(bytes), channels, bits, rate);
}

std::string played(const platform::VirtualWaveOutput& output) { return std::string(output.bytes.begin(), output.bytes.end()); }

class PlayerTest : public testing_support::VirtualWaveTest {
protected:
    // Every output opened so far is closed and the player has let go of it.
    bool all_played() {
        auto const outputs = platform::virtual_wave_outputs();
        for (auto const& output : outputs)
            if (!output.closed) return false;
        return !outputs.empty() && !player.is_playing();
    }

    LockedProvider provider;
    PlayerPCM player;
};

TEST(PlayerBufferSize, IsTwoHundredMillisecondsOfSound) {
    struct Case {
        std::uint32_t channels, bits, rate, bytes;
    };
    // Below 5 Hz 200 ms hold no whole frame: a buffer holds one. A frame without a whole
    // byte makes no buffer (such a format is refused).
    for (Case const c : {Case{2, 16, 44100, 35280}, Case{1, 8, 8000, 1600}, Case{1, 16, 22050, 8820},
                         Case{2, 8, 11025, 4410}, Case{1, 16, 4, 2}, Case{2, 16, 1, 4}, Case{1, 4, 8000, 0}})
        EXPECT_EQ(c.bytes, audio::PlayerPCMImpl::buffer_size_for(c.channels, c.bits, c.rate)) << c.rate;
}

TEST_F(PlayerTest, AWavFileComesOutSampleForSample) {
    std::string const samples = pattern(2 * 2 * 22050 * 3 / 2, 1);  // 1.5 s of 16-bit stereo
    std::string const path = device.host_path("song.wav");
    testing_support::write_host_file(path, wav_fixture::pcm_file(2, 16, 22050, samples));
    audio::FileReaderWAVPCM reader(u"\\song.wav");
    ASSERT_TRUE(reader.is_valid());
    audio::connect<PCMData>(&reader, &player);
    ASSERT_TRUE(player.play());
    ASSERT_TRUE(eventually([&] { return all_played(); }));
    audio::connect<PCMData>(&reader, nullptr);

    auto const outputs = platform::virtual_wave_outputs();
    ASSERT_EQ(1u, outputs.size());
    EXPECT_EQ(2u, outputs[0].channels);
    EXPECT_EQ(16u, outputs[0].bits_per_sample);
    EXPECT_EQ(22050u, outputs[0].sample_rate);
    EXPECT_TRUE(played(outputs[0]) == samples);
}

TEST_F(PlayerTest, AStreamShorterThanOneBufferPlaysAndTheDeviceCloses) {
    std::string const samples = pattern(700, 2);
    provider.add(block_of(samples, 1, 8, 8000));
    audio::connect<PCMData>(&provider, &player);
    ASSERT_TRUE(player.play());
    ASSERT_TRUE(eventually([&] { return all_played(); }));
    auto const outputs = platform::virtual_wave_outputs();
    ASSERT_EQ(1u, outputs.size());
    EXPECT_EQ(samples, played(outputs[0]));
    audio::connect<PCMData>(&provider, nullptr);
}

TEST_F(PlayerTest, AStreamBelowFiveHertzPlaysToItsEnd) {
    std::string const samples = pattern(12, 5);  // 6 frames of 16-bit mono at 4 Hz
    provider.add(block_of(samples, 1, 16, 4));
    audio::connect<PCMData>(&provider, &player);
    ASSERT_TRUE(player.play());
    ASSERT_TRUE(eventually([&] { return all_played(); }));
    auto const outputs = platform::virtual_wave_outputs();
    ASSERT_EQ(1u, outputs.size());
    EXPECT_EQ(samples, played(outputs[0]));
    audio::connect<PCMData>(&provider, nullptr);
}

TEST_F(PlayerTest, ANewRateClosesAndReopensTheDeviceWithoutLosingSound) {
    std::string const fast = pattern(4 * 44100 / 2, 3);   // 0.5 s at 44100 Hz stereo
    std::string const slow = pattern(4 * 5512, 4);  // 0.25 s at 22050 Hz stereo
    for (std::size_t at = 0; at < fast.size(); at += 4000) provider.add(block_of(fast.substr(at, 4000), 2, 16, 44100));
    for (std::size_t at = 0; at < slow.size(); at += 3000) provider.add(block_of(slow.substr(at, 3000), 2, 16, 22050));
    audio::connect<PCMData>(&provider, &player);
    ASSERT_TRUE(player.play());
    ASSERT_TRUE(eventually([&] { return platform::virtual_wave_outputs().size() == 2 && all_played(); }));
    auto const outputs = platform::virtual_wave_outputs();
    EXPECT_EQ(44100u, outputs[0].sample_rate);
    EXPECT_EQ(22050u, outputs[1].sample_rate);
    EXPECT_TRUE(played(outputs[0]) == fast);
    EXPECT_TRUE(played(outputs[1]) == slow);
    audio::connect<PCMData>(&provider, nullptr);
}

TEST_F(PlayerTest, APauseRequestedBeforeAnyDeviceHoldsTheSoundUntilPlay) {
    audio::connect<PCMData>(&provider, &player);
    ASSERT_TRUE(player.play());  // nothing to play yet
    ASSERT_TRUE(player.pause());
    EXPECT_TRUE(player.is_paused());
    std::string const samples = pattern(16000, 5);
    provider.add(block_of(samples, 1, 16, 8000));
    ASSERT_TRUE(player.pause());  // wakes the player: the device opens paused
    ASSERT_TRUE(eventually([&] { return platform::virtual_wave_outputs().size() == 1; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));  // 2.5 s of sound at this speed
    EXPECT_TRUE(platform::virtual_wave_outputs()[0].bytes.empty());
    ASSERT_TRUE(player.play());
    EXPECT_FALSE(player.is_paused());
    ASSERT_TRUE(eventually([&] { return all_played(); }));
    EXPECT_EQ(samples, played(platform::virtual_wave_outputs()[0]));
    audio::connect<PCMData>(&provider, nullptr);
}

TEST_F(PlayerTest, StopResetsTheDeviceAndTheNextPlayStartsAfresh) {
    platform::set_virtual_wave_speed(5);
    std::string const samples = pattern(2 * 8000 * 10, 6);  // 10 s
    provider.add(block_of(samples, 1, 16, 8000));
    audio::connect<PCMData>(&provider, &player);
    ASSERT_TRUE(player.play());
    ASSERT_TRUE(eventually([&] { auto const o = platform::virtual_wave_outputs(); return !o.empty() && !o[0].bytes.empty(); }));
    ASSERT_TRUE(player.stop());
    ASSERT_TRUE(eventually([&] { return all_played(); }));
    std::string const heard = played(platform::virtual_wave_outputs()[0]);
    EXPECT_LT(heard.size(), samples.size());
    EXPECT_EQ(samples.substr(0, heard.size()), heard);

    std::string const next = pattern(1000, 7);
    provider.add(block_of(next, 1, 16, 8000));
    ASSERT_TRUE(player.play());
    ASSERT_TRUE(eventually([&] { return platform::virtual_wave_outputs().size() == 2 && all_played(); }));
    EXPECT_EQ(next, played(platform::virtual_wave_outputs()[1]));
    audio::connect<PCMData>(&provider, nullptr);
}

TEST_F(PlayerTest, VolumeIsClampedAndSetOnBothChannels) {
    struct Case {
        double asked, kept;
        std::uint32_t device;
    };
    for (Case const c : {Case{1.5, 1.0, 0xFFFFFFFF}, Case{-1, 0.0, 0}, Case{0.5, 0.5, 0x7FFF7FFF}}) {
        platform::reset_virtual_wave();
        platform::set_virtual_wave_speed(50);
        player.set_volume(c.asked);
        EXPECT_EQ(c.kept, player.get_volume());
        provider.add(block_of(pattern(100, 8), 1, 16, 8000));
        audio::connect<PCMData>(&provider, &player);
        ASSERT_TRUE(player.play());
        ASSERT_TRUE(eventually([&] { return all_played(); }));
        EXPECT_EQ(c.device, platform::virtual_wave_outputs()[0].volume) << c.asked;
    }
    audio::connect<PCMData>(&provider, nullptr);
}

TEST_F(PlayerTest, ARefusedDeviceLeavesThePlayerClosedAndReadyForTheNextPlay) {
    audio::connect<PCMData>(&provider, &player);
    for (bool refuse_open : {true, false}) {
        platform::set_virtual_wave_refusals(refuse_open, !refuse_open);
        provider.add(block_of(pattern(20000, 9), 1, 16, 8000));
        ASSERT_TRUE(player.play());
        // The player gives up: no device stays open, nothing waits for buffers.
        ASSERT_TRUE(eventually([&] {
            auto const outputs = platform::virtual_wave_outputs();
            std::lock_guard guard(provider.lock);
            return provider.blocks.empty() && !player.is_playing() && (outputs.empty() || outputs.back().closed);
        })) << refuse_open;
        // ... and says so, for a caller that waits for the end of the stream.
        EXPECT_TRUE(player.has_device_failed()) << refuse_open;
    }
    platform::set_virtual_wave_refusals(false, false);
    platform::reset_virtual_wave();
    platform::set_virtual_wave_speed(50);
    std::string const samples = pattern(3000, 10);
    provider.add(block_of(samples, 1, 16, 8000));
    ASSERT_TRUE(player.play());
    ASSERT_TRUE(eventually([&] { return all_played(); }));
    EXPECT_EQ(samples, played(platform::virtual_wave_outputs()[0]));
    EXPECT_FALSE(player.has_device_failed());
    audio::connect<PCMData>(&provider, nullptr);
}

// The device takes 8 and 16 bits: sound of any other size is refused, and the player says so
// instead of leaving its caller waiting for the stream to be pulled to its end.
TEST_F(PlayerTest, AFormatTheDeviceCannotPlayIsReportedAndTheStreamLeftAlone) {
    audio::connect<PCMData>(&provider, &player);
    for (std::uint32_t const bits : {24u, 32u, 12u}) {
        provider.add(block_of(pattern(3 * 2 * 4410, 12), 2, bits, 44100));
        provider.add(block_of(pattern(3 * 2 * 4410, 13), 2, bits, 44100));
        ASSERT_TRUE(player.play());
        ASSERT_TRUE(eventually([&] { return player.has_device_failed(); })) << bits;
        EXPECT_FALSE(player.is_playing()) << bits;
        std::lock_guard guard(provider.lock);
        EXPECT_EQ(1u, provider.blocks.size()) << bits;
        provider.blocks.clear();
    }
    audio::connect<PCMData>(&provider, nullptr);
}

TEST_F(PlayerTest, DestroyingAPlayingPlayerClosesTheDevice) {
    platform::set_virtual_wave_speed(1);
    LockedProvider source;
    source.add(block_of(pattern(2 * 8000 * 5, 11), 1, 16, 8000));
    {
        PlayerPCM doomed;
        audio::connect<PCMData>(&source, &doomed);
        ASSERT_TRUE(doomed.play());
        ASSERT_TRUE(eventually([&] { return doomed.is_playing(); }));
        audio::connect<PCMData>(&source, nullptr);
    }
    auto const outputs = platform::virtual_wave_outputs();
    ASSERT_EQ(1u, outputs.size());
    EXPECT_TRUE(outputs[0].closed);
}

TEST(PlayerDeathTest, PushingIntoThePlayerIsFatal) {
    EXPECT_EXIT(
        {
            PlayerPCM player;
            player.on_data(PCMData());
        },
        testing::ExitedWithCode(0), "PlayerPCM::on_data");
}

}  // namespace
