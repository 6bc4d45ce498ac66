#include "audio/file_reader_wma.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "platform/messages.h"
#include "platform/wave_testing.h"
#include "tests/audio/wma_fixture.h"
#include "tests/support/virtual_wave.h"

namespace {

using audio::FileReaderWMA;

// Serves the window messages of this thread until the condition holds, for at most 20 s.
bool pump_until(const std::function<bool()>& condition) {
    auto const give_up = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > give_up) return false;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

class FileReaderWMATest : public testing_support::VirtualWaveTest {
protected:
    FileReaderWMATest() { platform::set_virtual_wave_speed(8); }

    std::u16string make(const char* name, double seconds, int channels = 2) {
        EXPECT_TRUE(testing_support::make_wma_file(device.host_path(name), seconds, channels));
        return u"\\" + std::u16string(name, name + std::char_traits<char>::length(name));
    }
};

TEST_F(FileReaderWMATest, PlaysTheWholeFileOnTheWaveOutDevice) {
    std::u16string const path = make("tone.wma", 2.0);
    FileReaderWMA reader(path);
    ASSERT_TRUE(reader.is_valid());
    EXPECT_NEAR(reader.get_size(), 2000, 60);
    EXPECT_GT(reader.get_bit_rate(), 0u);
    EXPECT_TRUE(reader.get_data(1000).is_empty());
    EXPECT_FALSE(reader.read_block(10));

    ASSERT_TRUE(pump_until([&] { return reader.is_at_end(); }));
    EXPECT_EQ(reader.get_position(), reader.get_size());
    auto const outputs = platform::virtual_wave_outputs();
    ASSERT_EQ(outputs.size(), 1u);
    EXPECT_EQ(outputs[0].channels, 2u);
    EXPECT_EQ(outputs[0].sample_rate, 44100u);
    double const played_seconds = outputs[0].bytes.size() / (44100.0 * 4);
    EXPECT_NEAR(played_seconds, 2.0, 0.1);
}

TEST_F(FileReaderWMATest, ASecondReaderWhileTheFirstLivesIsNotValid) {
    std::u16string const path = make("tone.wma", 0.5, 1);
    {
        FileReaderWMA first(path);
        ASSERT_TRUE(first.is_valid());
        FileReaderWMA second(path);
        EXPECT_FALSE(second.is_valid());
        EXPECT_EQ(second.get_size(), 0u);
    }
    FileReaderWMA third(path);
    EXPECT_TRUE(third.is_valid());
}

TEST_F(FileReaderWMATest, PauseIsKeptAndSeekingMovesThePosition) {
    std::u16string const path = make("tone.wma", 3.0);
    // Slow enough that little plays before the pause.
    platform::set_virtual_wave_speed(2);
    FileReaderWMA reader(path);
    ASSERT_TRUE(reader.is_valid());
    EXPECT_TRUE(reader.set_pause_state(true));
    EXPECT_TRUE(reader.get_pause_state());
    reader.set_position(2500);
    EXPECT_NEAR(reader.get_position(), 2500, 10);
    EXPECT_FALSE(reader.is_at_end());
    EXPECT_TRUE(reader.set_pause_state(false));
    EXPECT_FALSE(reader.get_pause_state());
    ASSERT_TRUE(pump_until([&] { return reader.is_at_end(); }));
    // Only the last half second was played after the seek.
    double const played_seconds = platform::virtual_wave_outputs().at(0).bytes.size() / (44100.0 * 4);
    EXPECT_LT(played_seconds, 1.5);
}

TEST_F(FileReaderWMATest, FilesTheControlCannotPlayGiveInvalidReaders) {
    testing_support::write_host_file(device.host_path("noise.wma"), std::string(4000, '\x5a'));
    for (const char16_t* path : {u"\\noise.wma", u"\\missing.wma"}) {
        FileReaderWMA reader(path);
        EXPECT_FALSE(reader.is_valid());
        EXPECT_EQ(reader.get_position(), 0u);
    }
}

TEST(FileReaderWMAUnitsTest, PositionsAreMilliseconds) {
    testing_support::TestDevice device;
    FileReaderWMA reader(u"\\missing.wma");
    EXPECT_EQ(reader.time_to_bytes(1.5), 1500u);
    EXPECT_DOUBLE_EQ(reader.bytes_to_time(250), 0.25);
    EXPECT_EQ(reader.get_channels(), 1u);
    EXPECT_EQ(reader.get_bits_per_sample(), 16u);
    EXPECT_EQ(reader.get_sample_rate(), 44100u);
}

#ifdef SONBRIX_SHARED_TESTDATA
TEST_F(FileReaderWMATest, PlaysALosslessWMAFile) {
    std::string const source = std::string(SONBRIX_SHARED_TESTDATA) + "/taglib/lossless.wma";
    if (!testing_support::host_file_exists(source)) GTEST_SKIP() << "no shared test data";
    testing_support::write_host_file(device.host_path("lossless.wma"), testing_support::read_host_file(source));
    FileReaderWMA reader(u"\\lossless.wma");
    ASSERT_TRUE(reader.is_valid());
    EXPECT_GT(reader.get_size(), 0u);
    ASSERT_TRUE(pump_until([&] { return reader.is_at_end(); }));
    ASSERT_EQ(platform::virtual_wave_outputs().size(), 1u);
    EXPECT_FALSE(platform::virtual_wave_outputs()[0].bytes.empty());
}
#endif

}  // namespace
