#include "audio/stream_ends.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "audio/blocks.h"
#include "foundation/event.h"
#include "tests/audio/stream_helpers.h"

namespace {

using audio::ADPCMData;
using audio::GSMData;
using audio::MP3Data;
using audio::PCMData;
using audio_test::buffer_of;
using audio_test::bytes_of;
using audio_test::Collector;
using audio_test::QueueProvider;

TEST(StreamEnds, PullWithNothingLinkedGivesAnEmptyBlockWithoutFormat) {
    audio::Consumer<PCMData> pcm_end;
    PCMData const pcm = pcm_end.pull_data(100);
    EXPECT_TRUE(pcm.is_empty());
    EXPECT_EQ(0u, pcm.channels);
    EXPECT_EQ(0u, pcm.bits_per_sample);
    EXPECT_EQ(0u, pcm.sample_rate);

    audio::Consumer<ADPCMData> adpcm_end;
    ADPCMData const adpcm = adpcm_end.pull_data(5);
    EXPECT_TRUE(adpcm.is_empty());
    EXPECT_EQ(0u, adpcm.channels + adpcm.bits_per_sample + adpcm.sample_rate + adpcm.block_align);

    audio::Consumer<GSMData> gsm_end;
    EXPECT_TRUE(gsm_end.pull_data(10).is_empty());

    audio::Consumer<MP3Data> mp3_end;
    MP3Data const mp3 = mp3_end.pull_data(1);
    EXPECT_TRUE(mp3.is_empty());
    EXPECT_EQ(0u, mp3.frame_length);
}

TEST(StreamEnds, PushWithNothingLinkedDoesNothing) {
    QueueProvider<PCMData> provider;
    provider.push_data(audio_test::counting_pcm16(4));
    EXPECT_EQ(nullptr, provider.get_consumer());
}

TEST(StreamEnds, ConnectLinksRelinksAndUnlinks) {
    QueueProvider<PCMData> provider;
    Collector<PCMData> first;
    Collector<PCMData> second;

    audio::connect(&provider, &first);
    EXPECT_EQ(&first, provider.get_consumer());
    EXPECT_EQ(&provider, first.get_provider());

    audio::connect(&provider, &second);
    EXPECT_EQ(nullptr, first.get_provider());
    EXPECT_EQ(&second, provider.get_consumer());
    EXPECT_EQ(&provider, second.get_provider());

    provider.push_data(audio_test::counting_pcm16(3));
    EXPECT_TRUE(first.blocks.empty());
    EXPECT_EQ(1u, second.blocks.size());

    audio::connect(&provider, nullptr);
    EXPECT_EQ(nullptr, provider.get_consumer());
    EXPECT_EQ(nullptr, second.get_provider());
    provider.push_data(audio_test::counting_pcm16(3));
    EXPECT_EQ(1u, second.blocks.size());
}

// Doubles every byte's value; counts its calls.
class Doubler : public audio::Processor<PCMData, PCMData> {
public:
    PCMData process(const PCMData& in) override {
        ++calls;
        liba::SharedBuffer out(in.buffer);
        std::uint8_t* bytes = out.get_writable_data();
        for (std::uint32_t i = 0; i < out.get_size(); ++i) bytes[i] = static_cast<std::uint8_t>(bytes[i] * 2);
        return in.with_buffer(out);
    }
    int calls = 0;
};

TEST(StreamEnds, ProcessorPushedProcessesAndPushesOn) {
    QueueProvider<PCMData> source;
    Doubler stage;
    Collector<PCMData> sink;
    audio::connect(&source, &stage);
    audio::connect(&stage, &sink);

    source.push_data(PCMData(buffer_of("\x01\x02"), 2, 8, 11025));

    ASSERT_EQ(1u, sink.blocks.size());
    EXPECT_EQ("\x02\x04", bytes_of(sink.blocks[0].buffer));
    EXPECT_EQ(2u, sink.blocks[0].channels);
    EXPECT_EQ(11025u, sink.blocks[0].sample_rate);
}

TEST(StreamEnds, ProcessorPulledPassesTheCountUpstreamAndProcesses) {
    QueueProvider<PCMData> source;
    source.blocks.push_back(PCMData(buffer_of("\x03"), 1, 8, 8000));
    Doubler stage;
    audio::connect(&source, &stage);

    PCMData const out = stage.get_data(777);

    EXPECT_EQ("\x06", bytes_of(out.buffer));
    EXPECT_EQ(std::vector<std::uint32_t>{777}, source.requests);
}

TEST(StreamEnds, ProcessorPulledWithNothingLinkedProcessesAnEmptyBlock) {
    Doubler stage;
    EXPECT_TRUE(stage.get_data(10).is_empty());
    EXPECT_EQ(1, stage.calls);
}

TEST(StreamEnds, NullProcessorSharesTheBytesAndKeepsTheFormat) {
    audio::NullProcessor<PCMData> stage;
    PCMData const in(buffer_of("abcd"), 2, 16, 44100);

    PCMData const out = stage.process(in);

    EXPECT_EQ(in.buffer.get_data(), out.buffer.get_data());
    EXPECT_EQ(4u, out.get_size());
    EXPECT_TRUE(out.has_format_of(in));
}

// Checks, inside every delivery, that the provider it comes from is still linked to it,
// and counts deliveries that arrive after the owner declared the consumer unlinked.
class LinkCheckingConsumer : public audio::Consumer<PCMData> {
public:
    explicit LinkCheckingConsumer(audio::Provider<PCMData>* expected) : expected_(expected) {}

    void on_data(const PCMData&) override {
        ++received;
        if (get_provider() != expected_) ++unlinked_deliveries;
        if (closed) ++late_deliveries;
    }

    std::atomic<int> received{0};
    std::atomic<int> unlinked_deliveries{0};
    std::atomic<int> late_deliveries{0};
    std::atomic<bool> closed{false};

private:
    audio::Provider<PCMData>* expected_;
};

TEST(StreamEnds, RelinkWhileAnotherThreadPushesNeverDeliversToAnUnlinkedConsumer) {
    QueueProvider<PCMData> provider;
    LinkCheckingConsumer first(&provider);
    LinkCheckingConsumer second(&provider);
    audio::connect(&provider, &first);
    PCMData const block = audio_test::counting_pcm16(16);

    constexpr int pushes = 20000;
    std::atomic<bool> pushing{true};
    std::thread pusher([&] {
        for (int i = 0; i < pushes; ++i) provider.push_data(block);
        pushing = false;
    });
    for (int i = 0; pushing; ++i) audio::connect(&provider, i % 2 == 0 ? &second : &first);
    pusher.join();

    audio::connect(&provider, nullptr);
    first.closed = true;
    second.closed = true;
    provider.push_data(block);

    EXPECT_EQ(0, first.unlinked_deliveries + second.unlinked_deliveries);
    EXPECT_EQ(0, first.late_deliveries + second.late_deliveries);
    EXPECT_LE(first.received + second.received, pushes);
}

// A provider whose pull waits until the test lets it go on.
class BlockingProvider : public audio::Provider<PCMData> {
public:
    PCMData get_data(std::uint32_t frames) override {
        entered.set();
        release.wait();
        return audio_test::counting_pcm16(frames);
    }
    liba::Event entered;
    liba::Event release;
};

TEST(StreamEnds, UnlinkingTheProviderOfAPullingStageWaitsForThePull) {
    BlockingProvider upstream;
    audio::NullProcessor<PCMData> stage;
    audio::connect(&upstream, &stage);

    PCMData pulled;
    std::thread puller([&] { pulled = stage.get_data(8); });
    upstream.entered.wait();
    std::atomic<bool> unlinked{false};
    std::thread unlinker([&] {
        audio::connect(&upstream, nullptr);
        unlinked = true;
    });

    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(unlinked) << "the unlink returned while a pull through the stage was in progress";
    upstream.release.set();
    puller.join();
    unlinker.join();

    EXPECT_TRUE(unlinked);
    EXPECT_EQ(8u, pulled.get_frame_count());
    EXPECT_EQ(nullptr, stage.get_provider());
}

}  // namespace
