#include "audio/file_reader_wav_pcm.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audio/file_reader_wav_adpcm.h"
#include "audio/file_reader_wav_gsm.h"
#include "tests/audio/stream_helpers.h"
#include "tests/audio/wav_fixture.h"
#include "tests/support/test_device.h"

namespace {

using namespace wav_fixture;
using audio_test::bytes_of;
using audio_test::Collector;

class WavReading : public testing_support::DeviceTest {
protected:
    void write(const std::string& file) { testing_support::write_host_file(device.host_path("a.wav"), file); }

    template <class Block>
    static std::vector<std::uint32_t> sizes_of(const std::vector<Block>& blocks) {
        std::vector<std::uint32_t> sizes;
        for (auto const& block : blocks) sizes.push_back(block.get_size());
        return sizes;
    }
};

using PCMReading = WavReading;

TEST_F(PCMReading, DeliversTheDataInOrderAndWhatRemainsAtTheEnd) {
    std::string const samples = counting_bytes(40);
    write(pcm_file(2, 16, 8000, samples));
    audio::FileReaderWAVPCM reader(u"\\a.wav");
    ASSERT_TRUE(reader.is_valid());

    audio::PCMData const first = reader.get_data(4);
    EXPECT_EQ(samples.substr(0, 16), bytes_of(first.buffer));
    EXPECT_EQ(2u, first.channels);
    EXPECT_EQ(16u, first.bits_per_sample);
    EXPECT_EQ(8000u, first.sample_rate);
    EXPECT_EQ(16u, reader.get_position());
    EXPECT_FALSE(reader.is_at_end());

    EXPECT_EQ(samples.substr(16), bytes_of(reader.get_data(100).buffer)) << "more frames asked than remain";
    EXPECT_TRUE(reader.is_at_end());
    EXPECT_TRUE(reader.get_data(100).is_empty());
}

TEST_F(PCMReading, APartialFrameAtTheEndOfTheDataIsNotDelivered) {
    write(pcm_file(1, 16, 8000, counting_bytes(41)));
    audio::FileReaderWAVPCM reader(u"\\a.wav");

    EXPECT_EQ(40u, reader.get_size());
    EXPECT_EQ(40u, reader.get_data(100).get_size());
    EXPECT_TRUE(reader.get_data(100).is_empty());
    EXPECT_TRUE(reader.is_at_end());
}

// A data chunk header with the given size in front of the bytes that are really there.
std::string data_claiming(std::uint32_t size, const std::string& bytes) { return "data" + le32(size) + bytes; }

struct SizeCase {
    const char* what;
    std::uint32_t claimed;
    std::uint32_t present;
    std::uint32_t expected_size;
};

TEST_F(PCMReading, TheDataSizeIsWholeFramesOfWhatTheFileHolds) {
    // 16-bit stereo: 4-byte frames.
    SizeCase const cases[] = {
        {"as the header says", 40, 40, 40},
        {"a partial frame at the end", 42, 42, 40},
        {"a file cut short", 4000, 42, 40},
        {"a header left at 0 by a crash", 0, 42, 40},
        {"a header left at its largest", 0xFFFFFFFF, 40, 40},
        {"less than the file holds", 20, 40, 20},
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(c.what);
        std::string const samples = counting_bytes(c.present);
        write(riff(pcm_fmt(2, 16, 8000).chunk() + data_claiming(c.claimed, samples)));
        audio::FileReaderWAVPCM reader(u"\\a.wav");
        ASSERT_TRUE(reader.is_valid());
        EXPECT_EQ(c.expected_size, reader.get_size());
        EXPECT_EQ(samples.substr(0, c.expected_size), bytes_of(reader.get_data(100000).buffer));
        EXPECT_TRUE(reader.is_at_end()) << "the reader reaches the end it reports";
    }
}

TEST_F(PCMReading, SetPositionCutsToAWholeFrameAndStaysInsideTheData) {
    std::string const samples = counting_bytes(40);
    write(pcm_file(2, 16, 8000, samples));
    audio::FileReaderWAVPCM reader(u"\\a.wav");

    reader.set_position(10);
    EXPECT_EQ(8u, reader.get_position());
    EXPECT_EQ(samples.substr(8, 4), bytes_of(reader.get_data(1).buffer));

    reader.set_position(1000);
    EXPECT_EQ(40u, reader.get_position());
    EXPECT_TRUE(reader.is_at_end());
    EXPECT_TRUE(reader.get_data(10).is_empty());
}

TEST_F(PCMReading, ConvertsBetweenTimesAndDataBytes) {
    write(pcm_file(2, 16, 8000, counting_bytes(32000)));
    audio::FileReaderWAVPCM reader(u"\\a.wav");

    EXPECT_EQ(16000u, reader.time_to_bytes(0.5));
    EXPECT_EQ(0u, reader.time_to_bytes(-1.0));
    EXPECT_DOUBLE_EQ(0.5, reader.bytes_to_time(16000));
    EXPECT_DOUBLE_EQ(1.0, reader.get_duration());
    reader.set_time(0.25);
    EXPECT_EQ(8000u, reader.get_position());
    EXPECT_DOUBLE_EQ(0.25, reader.get_time());
}

TEST_F(PCMReading, ReadBlockPushesWholeFramesInBlocksOfAtMost5000) {
    std::string const samples = counting_bytes(13000);
    write(pcm_file(1, 8, 8000, samples));
    audio::FileReaderWAVPCM reader(u"\\a.wav");
    Collector<audio::PCMData> sink;
    audio::connect(&reader, &sink);

    EXPECT_TRUE(reader.read_block(12000));
    EXPECT_EQ((std::vector<std::uint32_t>{5000, 5000, 2000}), sizes_of(sink.blocks));
    EXPECT_EQ(samples.substr(0, 12000), sink.all_bytes());

    EXPECT_FALSE(reader.read_block(5000)) << "only 1000 frames were left";
    EXPECT_EQ(samples, sink.all_bytes());
}

TEST_F(PCMReading, ReadDurationPushesThatManyFrames) {
    write(pcm_file(2, 16, 8000, counting_bytes(40000)));
    audio::FileReaderWAVPCM reader(u"\\a.wav");
    Collector<audio::PCMData> sink;
    audio::connect(&reader, &sink);

    EXPECT_TRUE(reader.read_duration(0.5));
    EXPECT_EQ(16000u, sink.all_bytes().size());
}

TEST_F(PCMReading, ARefusedFileDeliversNothing) {
    write(riff(pcm_fmt(1, 16, 8000).chunk()));
    audio::FileReaderWAVPCM reader(u"\\a.wav");
    Collector<audio::PCMData> sink;
    audio::connect(&reader, &sink);

    EXPECT_FALSE(reader.is_valid());
    EXPECT_TRUE(reader.is_at_end());
    EXPECT_TRUE(reader.get_data(10).is_empty());
    EXPECT_FALSE(reader.read_block(100));
    EXPECT_TRUE(sink.blocks.empty());
}

using ADPCMReading = WavReading;

// Mono ADPCM at 8000 Hz: 256-byte blocks of 500 samples.
std::string adpcm_mono(std::uint32_t fact_samples, const std::string& blocks) {
    return riff(adpcm_fmt(1, 8000, 256, 500).chunk() + fact(fact_samples) + data(blocks));
}

TEST_F(ADPCMReading, DeliversWholeBlocksWithTheHeadersFormat) {
    std::string const blocks = counting_bytes(3 * 256);
    write(adpcm_mono(1500, blocks));
    audio::FileReaderWAVADPCM reader(u"\\a.wav");
    ASSERT_TRUE(reader.is_valid());
    EXPECT_EQ(3u, reader.get_size());

    audio::ADPCMData const first = reader.get_data(2);
    EXPECT_EQ(blocks.substr(0, 512), bytes_of(first.buffer));
    EXPECT_EQ(1u, first.channels);
    EXPECT_EQ(4u, first.bits_per_sample);
    EXPECT_EQ(8000u, first.sample_rate);
    EXPECT_EQ(256u, first.block_align);
    EXPECT_EQ(2u, reader.get_position());

    EXPECT_EQ(256u, reader.get_data(10).get_size());
    EXPECT_TRUE(reader.is_at_end());
    EXPECT_TRUE(reader.get_data(10).is_empty());
}

TEST_F(ADPCMReading, DataEndingInsideABlockLeavesThatBlockOut) {
    write(adpcm_mono(2000, counting_bytes(3 * 256 + 100)));
    audio::FileReaderWAVADPCM reader(u"\\a.wav");
    EXPECT_EQ(3u, reader.get_size()) << "the fact chunk promises 4 blocks, the data holds 3";

    EXPECT_EQ(3u * 256, reader.get_data(10).get_size());
    EXPECT_TRUE(reader.get_data(10).is_empty());
    EXPECT_TRUE(reader.is_at_end());
}

TEST_F(ADPCMReading, TheBlockCountIsTheSmallerOfTheFactChunkAndTheData) {
    SizeCase const cases[] = {
        // claimed: the data chunk's size; present: whole blocks in the file; expected: blocks.
        {"as the header says", 3 * 256, 3, 3},
        {"a crash left data and fact at 0", 0, 3, 3},
        {"a header left at its largest", 0xFFFFFFFF, 3, 3},
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(c.what);
        std::uint32_t const fact_samples = c.claimed == 3 * 256 ? 1500 : 0;
        write(riff(adpcm_fmt(1, 8000, 256, 500).chunk() + fact(fact_samples) +
                   data_claiming(c.claimed, counting_bytes(c.present * 256 + 17))));
        audio::FileReaderWAVADPCM reader(u"\\a.wav");
        ASSERT_TRUE(reader.is_valid());
        EXPECT_EQ(c.expected_size, reader.get_size());
        EXPECT_EQ(c.expected_size * 256, reader.get_data(100).get_size());
        EXPECT_TRUE(reader.is_at_end());
    }
}

TEST_F(ADPCMReading, AFactCountEndingInsideABlockStillPlaysThatBlock) {
    write(adpcm_mono(1200, counting_bytes(3 * 256)));
    audio::FileReaderWAVADPCM reader(u"\\a.wav");
    EXPECT_EQ(3u, reader.get_size());
    EXPECT_EQ(3u * 256, reader.get_data(10).get_size());
    EXPECT_TRUE(reader.is_at_end());
}

TEST_F(ADPCMReading, SeeksByBlockAndConvertsTimes) {
    std::string const blocks = counting_bytes(20 * 256);
    write(adpcm_mono(20 * 500, blocks));
    audio::FileReaderWAVADPCM reader(u"\\a.wav");

    reader.set_position(2);
    EXPECT_EQ(blocks.substr(512, 256), bytes_of(reader.get_data(1).buffer));
    EXPECT_EQ(3u, reader.get_position());

    EXPECT_EQ(16u, reader.time_to_bytes(1.0));
    EXPECT_DOUBLE_EQ(1.0, reader.bytes_to_time(16));
    EXPECT_DOUBLE_EQ(1.25, reader.get_duration());

    reader.set_position(25);
    EXPECT_TRUE(reader.get_data(1).is_empty()) << "a position past the end";
}

TEST_F(ADPCMReading, ReadBlockPushesAtMost5BlocksAtATime) {
    write(adpcm_mono(12 * 500, counting_bytes(12 * 256)));
    audio::FileReaderWAVADPCM reader(u"\\a.wav");
    Collector<audio::ADPCMData> sink;
    audio::connect(&reader, &sink);

    EXPECT_TRUE(reader.read_block(12));
    EXPECT_EQ((std::vector<std::uint32_t>{5 * 256, 5 * 256, 2 * 256}), sizes_of(sink.blocks));
    EXPECT_FALSE(reader.read_block(1));
}

using GSMReading = WavReading;

std::string gsm_with(std::uint32_t blocks_in_fact, const std::string& blocks) {
    return riff(gsm_fmt().chunk() + fact(blocks_in_fact * 320) + data(blocks));
}

TEST_F(GSMReading, DeliversWhole65ByteBlocks) {
    std::string const blocks = counting_bytes(3 * 65 + 30);
    write(gsm_with(4, blocks));
    audio::FileReaderWAVGSM reader(u"\\a.wav");
    ASSERT_TRUE(reader.is_valid());
    EXPECT_EQ(16u, reader.get_bits_per_sample());
    EXPECT_EQ(1u, reader.get_channels());

    EXPECT_EQ(blocks.substr(0, 130), bytes_of(reader.get_data(2).buffer));
    EXPECT_EQ(blocks.substr(130, 65), bytes_of(reader.get_data(5).buffer));
    EXPECT_TRUE(reader.get_data(5).is_empty());
    EXPECT_TRUE(reader.is_at_end()) << "the fact chunk promised 4 blocks, the data holds 3";
}

TEST_F(GSMReading, ARecordingCutOffByACrashIsReadFromTheFileLength) {
    std::string const blocks = counting_bytes(5 * 65 + 20);
    write(riff(gsm_fmt().chunk() + fact(0) + data_claiming(0, blocks)));
    audio::FileReaderWAVGSM reader(u"\\a.wav");
    ASSERT_TRUE(reader.is_valid());
    EXPECT_EQ(5u, reader.get_size());
    EXPECT_EQ(blocks.substr(0, 5 * 65), bytes_of(reader.get_data(10).buffer));
    EXPECT_TRUE(reader.is_at_end());
}

TEST_F(GSMReading, ReadBlockPushesAtMost10BlocksAtATimeAndConvertsTimes) {
    write(gsm_with(25, counting_bytes(25 * 65)));
    audio::FileReaderWAVGSM reader(u"\\a.wav");
    Collector<audio::GSMData> sink;
    audio::connect(&reader, &sink);

    EXPECT_EQ(25u, reader.time_to_bytes(1.0));
    EXPECT_DOUBLE_EQ(1.0, reader.get_duration());
    EXPECT_TRUE(reader.read_duration(1.0));
    EXPECT_EQ((std::vector<std::uint32_t>{650, 650, 325}), sizes_of(sink.blocks));
}

}  // namespace
