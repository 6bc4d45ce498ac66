#include "audio/file_writer_wav_pcm.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "audio/file_reader_wav_adpcm.h"
#include "audio/file_reader_wav_gsm.h"
#include "audio/file_reader_wav_pcm.h"
#include "audio/file_writer_wav_adpcm.h"
#include "audio/file_writer_wav_gsm.h"
#include "tests/audio/stream_helpers.h"
#include "tests/audio/wav_fixture.h"
#include "tests/support/test_device.h"

namespace {

using namespace wav_fixture;
using audio_test::buffer_of;
using audio_test::bytes_of;
using audio_test::Collector;
using testing_support::host_file_exists;
using testing_support::read_host_file;
using testing_support::write_host_file;

audio::PCMData pcm(const std::string& bytes, std::uint32_t channels, std::uint32_t bits, std::uint32_t rate) {
    return audio::PCMData(buffer_of(bytes), channels, bits, rate);
}

audio::ADPCMData adpcm(const std::string& bytes, std::uint32_t channels, std::uint32_t rate, std::uint32_t align) {
    return audio::ADPCMData(buffer_of(bytes), channels, 4, rate, align);
}

audio::GSMData gsm(const std::string& bytes) { return audio::GSMData(buffer_of(bytes)); }

std::uint32_t u32_at(const std::string& bytes, std::size_t offset) {
    return static_cast<std::uint8_t>(bytes[offset]) | static_cast<std::uint8_t>(bytes[offset + 1]) << 8 |
           static_cast<std::uint8_t>(bytes[offset + 2]) << 16 |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[offset + 3])) << 24;
}

// The data chunk as the writers write it: last in the file, so an odd size gets no pad byte.
std::string last_data(const std::string& bytes) { return "data" + le32(static_cast<std::uint32_t>(bytes.size())) + bytes; }

class WavWriting : public testing_support::DeviceTest {
protected:
    std::string host() const { return device.host_path("a.wav"); }
    std::string file() const { return read_host_file(host()); }
};

// ---- Headers: each kind byte for byte, and the blocks pass on unchanged -------------------

TEST_F(WavWriting, PCMFileIsTheHeaderOf44BytesAndTheData) {
    std::string const first = counting_bytes(40);
    std::string const second = counting_bytes(24, 100);
    Collector<audio::PCMData> after;
    {
        audio::FileWriterWAVPCM writer(u"\\a.wav", false);
        audio::connect<audio::PCMData>(&writer, &after);
        writer.on_data(pcm(first, 2, 16, 11025));
        writer.on_data(pcm(second, 2, 16, 11025));
        EXPECT_TRUE(writer.is_open());
        EXPECT_EQ(64u, writer.get_position());
        EXPECT_EQ(11025u * 4 * 8, writer.get_bit_rate());
    }
    EXPECT_EQ(pcm_file(2, 16, 11025, first + second), file());
    ASSERT_EQ(2u, after.blocks.size());
    EXPECT_EQ(first + second, after.all_bytes());
    EXPECT_EQ(11025u, after.blocks[1].sample_rate);
    EXPECT_EQ(2u, after.blocks[1].channels);
}

TEST_F(WavWriting, ADPCMFileIsTheHeaderOf90BytesWithCoefficientsAndFactCount) {
    std::string const blocks = counting_bytes(2 * 512, 7);
    {
        audio::FileWriterWAVADPCM writer(u"\\a.wav", false);
        writer.on_data(adpcm(blocks.substr(0, 512), 2, 8000, 512));
        writer.on_data(adpcm(blocks.substr(512), 2, 8000, 512));
        EXPECT_EQ(2u, writer.get_position());
    }
    // 8000 Hz stereo: 500 samples a block, 8000 x 512 / 500 bytes a second.
    EXPECT_EQ(riff(adpcm_fmt(2, 8000, 512, 500).chunk() + fact(1000) + data(blocks)), file());
    audio::FileReaderWAVADPCM reader(u"\\a.wav");
    EXPECT_TRUE(reader.is_valid());
    EXPECT_EQ(2u, reader.get_size());
}

TEST_F(WavWriting, GSMFileIsTheHeaderOf60BytesWithFactCount) {
    std::string const blocks = counting_bytes(3 * 65, 1);
    {
        audio::FileWriterWAVGSM writer(u"\\a.wav", false);
        writer.on_data(gsm(blocks.substr(0, 130)));
        writer.on_data(gsm(blocks.substr(130)));
        EXPECT_EQ(3u, writer.get_position());
    }
    EXPECT_EQ(riff(gsm_fmt().chunk() + fact(960) + last_data(blocks)), file());
}

TEST_F(WavWriting, PositionWhileWritingIsWhereTheReaderOfTheFileEnds) {
    {
        audio::FileWriterWAVPCM writer(u"\\a.wav", false);
        writer.on_data(pcm(counting_bytes(30), 1, 8, 8000));
        EXPECT_EQ(30u, writer.get_position());
    }
    audio::FileReaderWAVPCM reader(u"\\a.wav");
    ASSERT_TRUE(reader.is_valid());
    EXPECT_EQ(30u, reader.get_size());
    EXPECT_EQ(2u, reader.get_data(2).get_size());
    EXPECT_EQ(2u, reader.get_position());
}

// ---- No block, no file; the first block fixes the format ---------------------------------

TEST_F(WavWriting, NothingWrittenLeavesNoFile) {
    { audio::FileWriterWAVPCM writer(u"\\a.wav", false); }
    { audio::FileWriterWAVADPCM writer(u"\\a.wav", false); }
    {
        audio::FileWriterWAVGSM writer(u"\\a.wav", false);
        // The end-of-stream signal is no block to store.
        writer.on_data(audio::GSMData());
    }
    {
        audio::FileWriterWAVPCM writer(u"\\a.wav", false);
        writer.on_data(audio::PCMData());
        EXPECT_TRUE(writer.is_open());
    }
    EXPECT_FALSE(host_file_exists(host()));
}

TEST_F(WavWriting, BlocksInAnotherFormatThanTheFirstAreLeftOutButPassedOn) {
    Collector<audio::PCMData> after;
    {
        audio::FileWriterWAVPCM writer(u"\\a.wav", false);
        audio::connect<audio::PCMData>(&writer, &after);
        writer.on_data(pcm("abcd", 1, 16, 8000));
        writer.on_data(pcm("xy", 1, 8, 8000));
        writer.on_data(pcm("XXXX", 2, 16, 8000));
        writer.on_data(pcm("ZZ", 1, 16, 11025));
        writer.on_data(pcm("ef", 1, 16, 8000));
        EXPECT_TRUE(writer.is_open());
        EXPECT_EQ(6u, writer.get_position());
    }
    EXPECT_EQ(pcm_file(1, 16, 8000, "abcdef"), file());
    EXPECT_EQ(5u, after.blocks.size());
}

TEST_F(WavWriting, ADPCMBlockOfThreeChannelsCreatesNoFileAndIsPassedOn) {
    Collector<audio::ADPCMData> after;
    {
        audio::FileWriterWAVADPCM writer(u"\\a.wav", false);
        audio::connect<audio::ADPCMData>(&writer, &after);
        writer.on_data(adpcm(counting_bytes(768), 3, 8000, 768));
    }
    EXPECT_FALSE(host_file_exists(host()));
    ASSERT_EQ(1u, after.blocks.size());
    EXPECT_EQ(3u, after.blocks[0].channels);
}

// ---- Appending ------------------------------------------------------------------------------

TEST_F(WavWriting, AppendContinuesTheDataOfAPCMFile) {
    write_host_file(host(), pcm_file(1, 16, 8000, "abcdef"));
    {
        audio::FileWriterWAVPCM writer(u"\\a.wav", true);
        EXPECT_TRUE(writer.is_open());
        EXPECT_EQ(6u, writer.get_position());
        writer.on_data(pcm("ghij", 1, 16, 8000));
        // The old file's format rules.
        writer.on_data(pcm("KLMN", 2, 16, 8000));
        EXPECT_EQ(10u, writer.get_position());
    }
    EXPECT_EQ(pcm_file(1, 16, 8000, "abcdefghij"), file());
}

TEST_F(WavWriting, AppendToGSMFileOfMBlocksCountsMPlusNBlocks) {
    std::string const old_blocks = counting_bytes(3 * 65);
    std::string const new_blocks = counting_bytes(2 * 65, 50);
    write_host_file(host(), riff(gsm_fmt().chunk() + fact(3 * 320) + data(old_blocks)));
    {
        audio::FileWriterWAVGSM writer(u"\\a.wav", true);
        EXPECT_EQ(3u, writer.get_position());
        writer.on_data(gsm(new_blocks));
        EXPECT_EQ(5u, writer.get_position());
    }
    EXPECT_EQ(riff(gsm_fmt().chunk() + fact(5 * 320) + last_data(old_blocks + new_blocks)), file());
}

TEST_F(WavWriting, AppendToADPCMFileContinuesItsFactCount) {
    std::string const old_block = counting_bytes(256);
    std::string const new_block = counting_bytes(256, 9);
    write_host_file(host(), riff(adpcm_fmt(1, 8000, 256, 500).chunk() + fact(500) + data(old_block)));
    {
        audio::FileWriterWAVADPCM writer(u"\\a.wav", true);
        writer.on_data(adpcm(new_block, 1, 8000, 256));
        // Another block align than the file's is left out.
        writer.on_data(adpcm(counting_bytes(512), 1, 8000, 512));
    }
    EXPECT_EQ(riff(adpcm_fmt(1, 8000, 256, 500).chunk() + fact(1000) + data(old_block + new_block)), file());
}

TEST_F(WavWriting, AppendDropsWhatFollowsTheDataAndAPartialFrame) {
    struct Case {
        const char* name;
        std::string old_file;
    };
    Case const cases[] = {
        {"chunk after the data", pcm_file(1, 16, 8000, "abcd") + chunk("LIST", "INFOtext")},
        {"half a frame at the end", riff(pcm_fmt(1, 16, 8000).chunk() + "data" + le32(5) + "abcdX")},
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(c.name);
        write_host_file(host(), c.old_file);
        {
            audio::FileWriterWAVPCM writer(u"\\a.wav", true);
            writer.on_data(pcm("ef", 1, 16, 8000));
        }
        EXPECT_EQ(pcm_file(1, 16, 8000, "abcdef"), file());
    }
}

// Appending where the header is refused leaves the file as it was: not rewritten with
// another kind's header, not created when missing.
template <class Writer, class Block>
void append_and_expect_refusal(const std::string& host, const std::string& old_file, const Block& block) {
    write_host_file(host, old_file);
    Collector<Block> after;
    {
        Writer writer(u"\\a.wav", true);
        audio::connect<Block>(&writer, &after);
        EXPECT_FALSE(writer.is_open());
        writer.on_data(block);
    }
    EXPECT_EQ(old_file, read_host_file(host));
    EXPECT_EQ(1u, after.blocks.size());
}

TEST_F(WavWriting, AppendToAFileOfAnotherKindLeavesItUntouched) {
    std::string const pcm_wav = pcm_file(1, 16, 8000, counting_bytes(130));
    std::string const gsm_wav = riff(gsm_fmt().chunk() + fact(320) + data(counting_bytes(65)));
    append_and_expect_refusal<audio::FileWriterWAVGSM>(host(), pcm_wav, gsm(counting_bytes(65)));
    append_and_expect_refusal<audio::FileWriterWAVPCM>(host(), gsm_wav, pcm("abcd", 1, 16, 8000));
    append_and_expect_refusal<audio::FileWriterWAVADPCM>(host(), pcm_wav, adpcm(counting_bytes(256), 1, 8000, 256));
    append_and_expect_refusal<audio::FileWriterWAVPCM>(
        host(), "just some text, long enough to hold a header of forty-four bytes or so", pcm("abcd", 1, 16, 8000));
}

// The reader accepts these, but their header is longer than the writer's own, so that
// rewriting it at the end would overwrite the start of the data.
TEST_F(WavWriting, AppendToAFileWithALongerHeaderLeavesItUntouched) {
    std::string const fmt_of_18_bytes = chunk("fmt ", pcm_fmt(1, 16, 8000).chunk().substr(8) + le16(0));
    append_and_expect_refusal<audio::FileWriterWAVPCM>(host(), riff(fmt_of_18_bytes + data(counting_bytes(130))),
                                                       pcm("abcd", 1, 16, 8000));
    append_and_expect_refusal<audio::FileWriterWAVGSM>(
        host(), riff(gsm_fmt().chunk() + fact(320) + chunk("LIST", "x") + data(counting_bytes(65))),
        gsm(counting_bytes(65)));
}

TEST_F(WavWriting, AppendToAMissingFileCreatesNothing) {
    {
        audio::FileWriterWAVPCM writer(u"\\a.wav", true);
        EXPECT_FALSE(writer.is_open());
        writer.on_data(pcm("abcd", 1, 16, 8000));
    }
    EXPECT_FALSE(host_file_exists(host()));
}

// ---- A full device ----------------------------------------------------------------------------

// The device fills up while the writer writes (the child process may grow files only to a
// limit). The file must end at the last whole frame or block that reached it, its header
// must say so, and the writer must not claim the block that did not fit.
TEST_F(WavWriting, FullDeviceEndsTheFileAtTheLastWholeUnitAndTheHeaderMatches) {
    GTEST_FLAG_SET(death_test_style, "fast");
    struct Case {
        const char* name;
        std::uint32_t header;
        std::uint32_t unit;
        std::uint32_t limit;
        // Whether the recording asks the writer if it is still open (else the failure is
        // met only when the writer ends).
        bool asks = true;
    };
    // 16-bit stereo PCM in blocks of 40 frames; GSM in blocks of 2 x 65 bytes.
    Case const cases[] = {
        {"PCM, the device fills inside a frame", 44, 4, 44 + 160 + 150 + 2},
        {"PCM, the device fills at a frame's end", 44, 4, 44 + 160 + 100},
        {"GSM, the device fills inside a block", 60, 65, 60 + 130 + 70},
        {"GSM, the device fills inside a block, met at the end", 60, 65, 60 + 130 + 70, false},
    };
    std::string const source = counting_bytes(5 * 160, 3);
    for (auto const& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(host());
        auto const record = [&] {
            struct rlimit const limit = {c.limit, c.limit};
            std::signal(SIGXFSZ, SIG_IGN);
            if (setrlimit(RLIMIT_FSIZE, &limit) != 0) std::_Exit(2);
            bool stopped = false;
            std::size_t passed = 0;
            if (c.unit == 4) {
                Collector<audio::PCMData> after;
                audio::FileWriterWAVPCM writer(u"\\a.wav", false);
                audio::connect<audio::PCMData>(&writer, &after);
                for (std::size_t at = 0; at < source.size(); at += 160) writer.on_data(pcm(source.substr(at, 160), 2, 16, 8000));
                stopped = !writer.is_open();
                passed = after.blocks.size();
            } else {
                Collector<audio::GSMData> after;
                audio::FileWriterWAVGSM writer(u"\\a.wav", false);
                audio::connect<audio::GSMData>(&writer, &after);
                for (std::size_t at = 0; at + 130 <= source.size(); at += 130) writer.on_data(gsm(source.substr(at, 130)));
                stopped = !c.asks || !writer.is_open();
                passed = after.blocks.size();
            }
            std::_Exit(stopped && passed == source.size() / (c.unit == 4 ? 160 : 130) ? 0 : 1);
        };
        EXPECT_EXIT(record(), testing::ExitedWithCode(0), "");
        std::string const written = file();
        ASSERT_GE(written.size(), c.header);
        std::uint32_t const data_size = u32_at(written, c.header - 4);
        EXPECT_EQ(written.size(), c.header + data_size);
        EXPECT_EQ(0u, data_size % c.unit);
        EXPECT_EQ(written.size() - 8, u32_at(written, 4));
        EXPECT_EQ(source.substr(0, data_size), written.substr(c.header));
        EXPECT_LE(written.size(), c.limit);
        if (c.unit == 65) {
            EXPECT_EQ(data_size / 65 * 320, u32_at(written, 48));
        }
    }
}

// Sizes in a WAV header are 32-bit: a file that would grow past 4 GB is full.
TEST_F(WavWriting, AppendThatWouldPassFourGigabytesWritesNothing) {
    std::uint32_t const old_size = 0xFFFFFFC0u - 44;
    std::string const header = "RIFF" + le32(36 + old_size) + "WAVE" + pcm_fmt(2, 16, 8000).chunk() + "data" + le32(old_size);
    write_host_file(host(), header);
    std::error_code error;
    // A sparse file: no room is taken by the data.
    std::filesystem::resize_file(host(), std::uint64_t{44} + old_size, error);
    if (error) GTEST_SKIP() << "no sparse file here: " << error.message();
    {
        audio::FileWriterWAVPCM writer(u"\\a.wav", true);
        ASSERT_TRUE(writer.is_open());
        writer.on_data(pcm(counting_bytes(128), 2, 16, 8000));
        EXPECT_FALSE(writer.is_open());
        EXPECT_EQ(old_size, writer.get_position());
    }
    EXPECT_EQ(std::uintmax_t{44} + old_size, std::filesystem::file_size(host()));
    std::ifstream in(host(), std::ios::binary);
    std::string start(44, '\0');
    in.read(start.data(), 44);
    EXPECT_EQ(header, start);
    std::filesystem::remove(host());
}

}  // namespace
