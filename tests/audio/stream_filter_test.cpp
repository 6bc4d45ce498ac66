#include "audio/stream_filter.h"

#include <gtest/gtest.h>

#include "tests/audio/filter_fixture.h"
#include "tests/support/test_device.h"

namespace {

using audio::PCMData;
using audio_test::QueueProvider;

// Hands out what it consumes: all of the input with the final flag, else all but the
// last `keep` bytes. Records its calls.
class KeepingFilter : public audio::StreamFilter {
public:
    struct Call {
        std::uint32_t size;
        std::uint32_t rate;
        bool final;
    };

    std::uint32_t keep = 1000;
    std::vector<Call> calls;
    int resets = 0;

protected:
    void reset() override { ++resets; }
    std::uint32_t process(const PCMData& input, PCMData& output, bool final) override {
        calls.push_back({input.get_size(), input.sample_rate, final});
        std::uint32_t const consumed = final ? input.get_size() : input.get_size() - keep;
        output = audio::blocks::slice(input, 0, consumed);
        return consumed;
    }
};

class StreamFilterTest : public ::testing::Test {
protected:
    void queue(std::uint32_t frames, std::uint32_t rate = 8000) {
        source.blocks.push_back(audio_test::counting_pcm16(frames, next_, rate));
        next_ = static_cast<std::int16_t>(next_ + frames);
    }
    void connect() { audio::connect<PCMData>(&source, &filter); }

    QueueProvider<PCMData> source;
    KeepingFilter filter;

private:
    std::int16_t next_ = 0;
};

std::vector<std::int32_t> counting(int from, int to) {
    std::vector<std::int32_t> values;
    for (int i = from; i < to; ++i) values.push_back(i);
    return values;
}

TEST_F(StreamFilterTest, GathersUpToTheWorkSizeAndFlushesAtTheEnd) {
    queue(1500);
    queue(1500);
    connect();
    std::vector<PCMData> const out = filter_test::pull_all(filter, 2000);
    ASSERT_EQ(1u, filter.calls.size());
    EXPECT_EQ(6000u, filter.calls[0].size);
    EXPECT_TRUE(filter.calls[0].final);
    // Handed out in pieces of the count asked for, then the end.
    ASSERT_EQ(2u, out.size());
    EXPECT_EQ(2000u, out[0].get_frame_count());
    EXPECT_EQ(counting(0, 3000), filter_test::joined_values16(out));
    EXPECT_TRUE(filter.get_data(10).is_empty());
}

TEST_F(StreamFilterTest, WorksOnInputBeyondTheWorkSizeAndOffersTheRestAgain) {
    for (int i = 0; i < 4; ++i) queue(1500);  // 3000 bytes each
    connect();
    std::vector<PCMData> const out = filter_test::pull_all(filter, 5000);
    ASSERT_EQ(2u, filter.calls.size());
    EXPECT_EQ(12000u, filter.calls[0].size);
    EXPECT_FALSE(filter.calls[0].final);
    EXPECT_EQ(1000u, filter.calls[1].size);  // the kept bytes, at the end
    EXPECT_TRUE(filter.calls[1].final);
    EXPECT_EQ(counting(0, 6000), filter_test::joined_values16(out));
    for (std::uint32_t request : source.requests) EXPECT_EQ(5000u, request);
}

TEST_F(StreamFilterTest, AFormatChangeFlushesTheOldInputAndTheNewBlockEntersOnce) {
    queue(1000, 8000);
    queue(1000, 16000);
    queue(500, 16000);
    connect();
    std::vector<PCMData> const out = filter_test::pull_all(filter, 4000);
    ASSERT_EQ(2u, out.size());
    EXPECT_EQ(8000u, out[0].sample_rate);
    EXPECT_EQ(counting(0, 1000), filter_test::values16(out[0]));
    EXPECT_EQ(16000u, out[1].sample_rate);
    EXPECT_EQ(counting(1000, 2500), filter_test::values16(out[1]));
    EXPECT_EQ(1, filter.resets);
    ASSERT_EQ(2u, filter.calls.size());
    EXPECT_TRUE(filter.calls[0].final);
    EXPECT_EQ(8000u, filter.calls[0].rate);
}

TEST_F(StreamFilterTest, AnEmptyStreamGivesAnEmptyBlockWithoutFormat) {
    connect();
    PCMData const out = filter.get_data(100);
    EXPECT_TRUE(out.is_empty());
    EXPECT_EQ(0u, out.channels + out.bits_per_sample + out.sample_rate);
    EXPECT_TRUE(filter.calls.empty());
}

class StreamFilterDeathTest : public testing_support::DeviceTest {};

TEST_F(StreamFilterDeathTest, PushingIntoAStreamFilterIsFatal) {
    GTEST_FLAG_SET(death_test_style, "fast");
    KeepingFilter filter;
    EXPECT_EXIT(filter.on_data(audio_test::counting_pcm16(4)), testing::ExitedWithCode(0),
                "StreamFilter::on_data: Not implemented");
}

}  // namespace
