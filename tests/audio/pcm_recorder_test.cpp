#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "audio/pcm_recorder.h"
#include "tests/audio/stream_helpers.h"
#include "tests/audio/wav_fixture.h"
#include "tests/support/eventually.h"
#include "tests/support/virtual_wave.h"

namespace {

using audio::PCMData;
using audio::RecorderPCM;
using testing_support::eventually;

// Keeps what the recorder thread pushes; may be told to hold the recorder thread.
class Keeper : public audio::Consumer<PCMData> {
public:
    void on_data(const PCMData& block) override {
        std::unique_lock guard(lock);
        blocks.push_back(block);
        released.wait(guard, [&] { return !holding; });
    }
    std::vector<PCMData> taken() {
        std::lock_guard guard(lock);
        return blocks;
    }
    std::size_t count() { return taken().size(); }
    void release() {
        std::lock_guard guard(lock);
        holding = false;
        released.notify_all();
    }

    std::mutex lock;
    std::condition_variable released;
    std::vector<PCMData> blocks;
    bool holding = false;
};

std::string bytes_of(const std::vector<PCMData>& blocks) {
    std::string bytes;
    for (auto const& block : blocks) bytes += audio_test::bytes_of(block.buffer);
    return bytes;
}

// Input: 16-bit mono samples counting up, so that a gap or a repeat shows.
class RecorderTest : public testing_support::VirtualWaveTest {
protected:
    RecorderTest() {
        for (std::uint32_t i = 0; i < 300000; ++i) input += wav_fixture::le16(i & 0xFFFF);
        std::string const path = device.folder() + "/input.wav";
        testing_support::write_host_file(path, wav_fixture::pcm_file(1, 16, 8000, input));
        platform::set_virtual_wave_input(path);
    }

    std::string input;
    Keeper keeper;
};

TEST(RecorderFormat, BitRateOfTheInputFormat) {
    struct Case {
        std::int32_t channels, rate, bits, bit_rate;
    };
    testing_support::ScopedEnvironment audio("SONBRIX_AUDIO", "virtual");
    testing_support::TestDevice device;
    for (Case const c : {Case{1, 22050, 16, 352800}, Case{2, 44100, 16, 1411200}, Case{1, 8000, 16, 128000},
                         Case{1, 8000, 8, 64000}}) {
        RecorderPCM recorder(c.channels, c.rate, c.bits);
        EXPECT_EQ(c.bit_rate, recorder.get_bit_rate());
        EXPECT_EQ(c.channels, recorder.get_channels());
        EXPECT_EQ(c.rate, recorder.get_sample_rate());
        EXPECT_EQ(c.bits, recorder.get_bits_per_sample());
    }
}

TEST_F(RecorderTest, StopAndStartDeliverEverySampleInOrderWithOneShortBlockAtEachStop) {
    std::vector<std::size_t> stops;
    {
        RecorderPCM recorder(1, 8000, 16);
        audio::connect<PCMData>(&recorder, &keeper);
        EXPECT_TRUE(recorder.is_recording());
        for (std::size_t round = 1; round <= 2; ++round) {
            ASSERT_TRUE(recorder.start());
            EXPECT_FALSE(recorder.is_stopped());
            ASSERT_TRUE(eventually([&] { return keeper.count() >= stops.size() + 2 * round; }));
            ASSERT_TRUE(recorder.stop());
            EXPECT_TRUE(recorder.stop());  // the second stop does not touch the device
            EXPECT_TRUE(recorder.is_stopped());
            ASSERT_TRUE(eventually([&] { return keeper.taken().back().get_size() < 10000; }));
            stops.push_back(keeper.count());
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EXPECT_EQ(stops.back(), keeper.count()) << "no blocks while stopped";
        audio::connect<PCMData>(&recorder, nullptr);
    }
    auto const blocks = keeper.taken();
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        bool const at_stop = std::find(stops.begin(), stops.end(), i + 1) != stops.end();
        EXPECT_EQ(at_stop, blocks[i].get_size() < 10000) << "block " << i;
        EXPECT_EQ(8000u, blocks[i].sample_rate);
        EXPECT_EQ(1u, blocks[i].channels);
        EXPECT_EQ(16u, blocks[i].bits_per_sample);
    }
    std::string const recorded = bytes_of(blocks);
    EXPECT_TRUE(input.substr(0, recorded.size()) == recorded);
}

TEST_F(RecorderTest, DestroyingACapturingRecorderDeliversWhatTheDeviceHeld) {
    {
        RecorderPCM recorder(1, 8000, 16);
        audio::connect<PCMData>(&recorder, &keeper);
        ASSERT_TRUE(recorder.start());
        ASSERT_TRUE(eventually([&] { return keeper.count() >= 1; }));
    }
    auto const blocks = keeper.taken();
    std::string const recorded = bytes_of(blocks);
    EXPECT_TRUE(input.substr(0, recorded.size()) == recorded);
    EXPECT_GT(recorded.size() % 10000, 0u) << "the partly filled buffer came too";
    for (auto const& block : blocks) EXPECT_FALSE(block.is_empty());
}

TEST_F(RecorderTest, AConsumerStalledLongerThanTwentyBuffersEndsTheRecording) {
    platform::set_virtual_wave_speed(400);  // twenty buffers are 12.5 s of sound: about 30 ms here
    keeper.holding = true;
    RecorderPCM recorder(1, 8000, 16);
    audio::connect<PCMData>(&recorder, &keeper);
    ASSERT_TRUE(recorder.start());
    ASSERT_TRUE(eventually([&] { return keeper.count() == 1; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    keeper.release();
    ASSERT_TRUE(eventually([&] { return !recorder.is_recording(); }));
    // The buffers that waited are still delivered, and none is given back to the device.
    ASSERT_TRUE(eventually([&] { return keeper.count() == 20; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(20u, keeper.count());
    EXPECT_FALSE(recorder.is_recording());
    recorder.stop();
    audio::connect<PCMData>(&recorder, nullptr);
}

TEST_F(RecorderTest, ADeviceThatCannotBeOpenedOrArmedMeansNoRecording) {
    for (bool refuse_open : {true, false}) {
        platform::set_virtual_wave_refusals(refuse_open, !refuse_open);
        RecorderPCM recorder(1, 8000, 16);
        EXPECT_FALSE(recorder.start()) << refuse_open;
        EXPECT_FALSE(recorder.is_recording()) << refuse_open;
    }
}

TEST(RecorderDeathTest, PullingFromTheRecorderIsFatal) {
    testing_support::ScopedEnvironment audio("SONBRIX_AUDIO", "virtual");
    EXPECT_EXIT(
        {
            RecorderPCM recorder(1, 8000, 16);
            recorder.get_data(100);
        },
        testing::ExitedWithCode(0), "RecorderPCM::get_data");
}

}  // namespace
