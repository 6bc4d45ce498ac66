// The MP3 reader on frames built byte by byte: where a stream starts, which frames it
// hands out, positions and times, and the bytes a block carries past its frame.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "audio/decoder_mp3.h"
#include "audio/encoder_mp3.h"
#include "audio/file_reader_mp3.h"
#include "audio/mp3_header.h"
#include "tests/audio/mp3_fixture.h"
#include "tests/audio/stream_helpers.h"
#include "tests/support/test_device.h"

namespace {

using audio_test::MpegVersion;
using audio_test::mp3_frame;
using audio_test::mp3_header_bytes;
using audio_test::silent_frames;

class FileReaderMP3Test : public testing_support::DeviceTest {
protected:
    std::u16string make(const std::string& bytes) {
        testing_support::write_host_file(device.host_path("a.mp3"), bytes);
        return u"\\a.mp3";
    }

    // Every block the reader hands out until the first empty one.
    static std::vector<audio::MP3Data> pull_all(audio::FileReaderMP3& reader) {
        std::vector<audio::MP3Data> blocks;
        for (int i = 0; i < 100000; ++i) {
            audio::MP3Data const block = reader.get_data(1);
            if (block.is_empty()) break;
            blocks.push_back(block);
        }
        return blocks;
    }
};

TEST_F(FileReaderMP3Test, OtherDataBeforeTheFirstFrameIsSkipped) {
    std::string const junk(5000, 'x');
    audio::FileReaderMP3 reader(make(junk + silent_frames(20)));
    ASSERT_TRUE(reader.is_valid());
    EXPECT_EQ(2u, reader.get_channels());
    EXPECT_EQ(44100u, reader.get_sample_rate());
    EXPECT_EQ(16u, reader.get_bits_per_sample());
    EXPECT_EQ(128000u, reader.get_bit_rate());
    EXPECT_EQ(5000u + 20 * 417, reader.get_size());

    audio::MP3Data const first = reader.get_data(1);
    EXPECT_EQ(417u, first.frame_length);
    EXPECT_EQ(audio_test::bytes_of(first.buffer).substr(0, 417), silent_frames(1));
    EXPECT_EQ(5000u + 417, reader.get_position());
    // Every frame comes, the one that ends the file too.
    EXPECT_EQ(19u, pull_all(reader).size());
    EXPECT_TRUE(reader.is_at_end());
}

TEST_F(FileReaderMP3Test, DataLargerThanTheBufferBetweenFramesIsScannedThrough) {
    // An embedded tag or picture: the frames behind it still come, and the stream ends
    // only with the file. Sizes around and well beyond the reader's window.
    for (std::size_t const gap : {std::size_t{9990}, std::size_t{10003}, std::size_t{25000}, std::size_t{70001}}) {
        SCOPED_TRACE(gap);
        audio::FileReaderMP3 reader(make(silent_frames(3) + std::string(gap, 'x') + silent_frames(4)));
        ASSERT_TRUE(reader.is_valid());
        EXPECT_EQ(7u, pull_all(reader).size());
        EXPECT_TRUE(reader.is_at_end());
    }
}

TEST_F(FileReaderMP3Test, TrailingDataLargerThanTheBufferEndsTheStreamAtTheFileEnd) {
    audio::FileReaderMP3 reader(make(silent_frames(3) + std::string(30000, 'x')));
    ASSERT_TRUE(reader.is_valid());
    EXPECT_EQ(3u, pull_all(reader).size());
    EXPECT_TRUE(reader.is_at_end());
    EXPECT_TRUE(reader.get_data(1).is_empty());
}

TEST_F(FileReaderMP3Test, SeekingToTheStartOfAFileWithALargeTagPlaysItsFrames) {
    // An ID3v2 tag of 20 KB in front, as a cover picture makes it.
    std::string tag = "ID3";
    tag += std::string{'\x03', '\0', '\0'};
    tag.resize(20000, 'p');
    audio::FileReaderMP3 reader(make(tag + silent_frames(6)));
    ASSERT_TRUE(reader.is_valid());
    EXPECT_EQ(6u, pull_all(reader).size());
    reader.set_position(0);
    EXPECT_EQ(6u, pull_all(reader).size());
    reader.set_position(100);
    EXPECT_EQ(6u, pull_all(reader).size());
}

TEST_F(FileReaderMP3Test, AnEncoderTagFrameAtTheStreamStartIsNotPlayed) {
    // LAME's "Info" (constant bit rate) or "Xing" tag lies where the first frame's audio
    // would begin: after the header and 32 bytes of side information (MPEG-1 stereo).
    for (const char* const tag : {"Info", "Xing"}) {
        SCOPED_TRACE(tag);
        std::string info = silent_frames(1);
        info.replace(36, 4, tag);
        audio::FileReaderMP3 reader(make(info + silent_frames(5)));
        ASSERT_TRUE(reader.is_valid());
        std::vector<audio::MP3Data> const blocks = pull_all(reader);
        ASSERT_EQ(5u, blocks.size());
        EXPECT_EQ(silent_frames(1), audio_test::bytes_of(blocks[0].buffer).substr(0, 417));
        reader.set_position(0);
        EXPECT_EQ(5u, pull_all(reader).size());
    }
    // The same bytes in a later frame are sound like any other.
    std::string later = silent_frames(1);
    later.replace(36, 4, "Info");
    audio::FileReaderMP3 reader(make(silent_frames(2) + later + silent_frames(2)));
    EXPECT_EQ(5u, pull_all(reader).size());
}

TEST_F(FileReaderMP3Test, ALoneHeaderIsNotTakenForTheStreamStart) {
    // A header of another format with no frame of its kind behind it.
    std::string const lone = mp3_header_bytes(MpegVersion::mpeg2, 3, 8, 0, false, true);
    audio::FileReaderMP3 reader(make(std::string(100, 'x') + lone + std::string(300, 'x') + silent_frames(10)));
    ASSERT_TRUE(reader.is_valid());
    EXPECT_EQ(44100u, reader.get_sample_rate());
    EXPECT_EQ(2u, reader.get_channels());
    std::vector<audio::MP3Data> const blocks = pull_all(reader);
    ASSERT_EQ(10u, blocks.size());
    for (auto const& block : blocks) EXPECT_EQ(417u, block.frame_length);
}

TEST_F(FileReaderMP3Test, FilesWithoutTwoAgreeingFramesAreNotValid) {
    struct Case {
        const char* what;
        std::string bytes;
    };
    Case const cases[] = {
        {"text", std::string(3000, 'a')},
        {"one frame", silent_frames(1)},
        {"one frame and other data", silent_frames(1) + std::string(3000, 'x')},
        {"a header alone", mp3_header_bytes(MpegVersion::mpeg1, 3, 9, 0)},
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(c.what);
        audio::FileReaderMP3 reader(make(c.bytes));
        EXPECT_FALSE(reader.is_valid());
        EXPECT_TRUE(reader.is_at_end());
        EXPECT_TRUE(reader.get_data(1).is_empty());
    }
    audio::FileReaderMP3 missing(u"\\missing.mp3");
    EXPECT_FALSE(missing.is_valid());
}

TEST_F(FileReaderMP3Test, AnEmptyFileIsValidWithoutFormatAndDeliversNothing) {
    audio::FileReaderMP3 reader(make(""));
    EXPECT_TRUE(reader.is_valid());
    EXPECT_EQ(0u, reader.get_channels());
    EXPECT_EQ(0u, reader.get_sample_rate());
    EXPECT_EQ(0u, reader.get_bit_rate());
    EXPECT_EQ(0.0, reader.get_duration());
    EXPECT_TRUE(reader.is_at_end());
    EXPECT_TRUE(reader.get_data(1).is_empty());
}

TEST_F(FileReaderMP3Test, VariableBitRateFramesAllComeButTimesUseTheFirstFrame) {
    std::string bytes;
    std::vector<std::uint32_t> lengths;
    for (int i = 0; i < 12; ++i) {
        std::uint32_t const index = i % 3 == 0 ? 9 : (i % 3 == 1 ? 11 : 5);
        std::string const frame = mp3_frame(MpegVersion::mpeg1, 3, index, 0, i % 2 == 1);
        lengths.push_back(static_cast<std::uint32_t>(frame.size()));
        bytes += frame;
    }
    audio::FileReaderMP3 reader(make(bytes));
    ASSERT_TRUE(reader.is_valid());
    EXPECT_EQ(128000u, reader.get_bit_rate());
    EXPECT_EQ(16000u, reader.time_to_bytes(1.0));
    EXPECT_DOUBLE_EQ(0.5, reader.bytes_to_time(8000));
    std::vector<std::uint32_t> got;
    for (auto const& block : pull_all(reader)) got.push_back(block.frame_length);
    EXPECT_EQ(lengths, got);
}

TEST_F(FileReaderMP3Test, FramesOfAnotherFormatInsideTheStreamAreSkipped) {
    std::string const other = mp3_frame(MpegVersion::mpeg2, 3, 8, 0);
    audio::FileReaderMP3 reader(make(silent_frames(3) + other + silent_frames(3)));
    ASSERT_TRUE(reader.is_valid());
    std::vector<audio::MP3Data> const blocks = pull_all(reader);
    ASSERT_EQ(6u, blocks.size());
    for (auto const& block : blocks) EXPECT_EQ(417u, block.frame_length);
}

TEST_F(FileReaderMP3Test, BytesPastTheEndOfTheFileReadAsZeros) {
    // The window first holds other data; the last frames' blocks must not show any of it
    // past the end of the file (files shorter than the look-ahead, and the file's end).
    for (std::size_t junk : {std::size_t{0}, std::size_t{9000}}) {
        SCOPED_TRACE(junk);
        std::string frames = silent_frames(3);
        audio::FileReaderMP3 reader(make(std::string(junk, 'x') + frames));
        ASSERT_TRUE(reader.is_valid());
        std::vector<audio::MP3Data> const blocks = pull_all(reader);
        ASSERT_EQ(3u, blocks.size());
        audio::MP3Data const& last = blocks.back();
        ASSERT_GE(last.get_size(), 2000u);
        std::string const after = audio_test::bytes_of(last.buffer).substr(417);
        EXPECT_EQ(std::string(after.size(), '\0'), after);
    }
}

TEST_F(FileReaderMP3Test, FramesLongerThanTheLookAheadComeWhole) {
    std::string const frame = mp3_frame(MpegVersion::mpeg25, 2, 14, 2);
    ASSERT_EQ(2880u, frame.size());
    std::string bytes;
    for (int i = 0; i < 6; ++i) bytes += frame;
    audio::FileReaderMP3 reader(make(std::string(1500, 'x') + bytes));
    ASSERT_TRUE(reader.is_valid());
    std::vector<audio::MP3Data> const blocks = pull_all(reader);
    ASSERT_EQ(6u, blocks.size());
    for (auto const& block : blocks) {
        EXPECT_EQ(2880u, block.frame_length);
        EXPECT_GE(block.get_size(), 2880u);
    }
}

TEST_F(FileReaderMP3Test, PositionsAreFileBytesAndSeekingResumesAtTheNextFrame) {
    audio::FileReaderMP3 reader(make(silent_frames(10)));
    ASSERT_TRUE(reader.is_valid());
    EXPECT_EQ(0u, reader.get_position());
    reader.set_position(417 * 4 + 10);
    EXPECT_EQ(417u * 4 + 10, reader.get_position());
    EXPECT_FALSE(reader.get_data(1).is_empty());
    EXPECT_EQ(417u * 6, reader.get_position());
    reader.set_position(0xFFFFFFFFu);
    EXPECT_EQ(reader.get_size(), reader.get_position());
    EXPECT_TRUE(reader.is_at_end());
    EXPECT_TRUE(reader.get_data(1).is_empty());
    reader.set_time(417.0 * 8 / 128000 * 2);
    EXPECT_EQ(834u, reader.get_position());
}

TEST_F(FileReaderMP3Test, ReadBlockAndReadDurationPushWholeFrames) {
    audio::FileReaderMP3 reader(make(silent_frames(10)));
    audio_test::Collector<audio::MP3Data> collector;
    audio::connect<audio::MP3Data>(&reader, &collector);
    EXPECT_TRUE(reader.read_block(1000));
    EXPECT_EQ(3u, collector.blocks.size());
    EXPECT_TRUE(reader.read_duration(0.05));  // 800 bytes at 128 kbit/s
    EXPECT_EQ(5u, collector.blocks.size());
    EXPECT_FALSE(reader.read_block(100000)) << "the file ends first";
    EXPECT_EQ(10u, collector.blocks.size());
    audio::connect<audio::MP3Data>(&reader, nullptr);
}

// The reader and decoder together, as a play chain pulls them.
std::vector<audio::PCMData> play(const std::u16string& path) {
    audio::FileReaderMP3 reader(path);
    audio::DecoderMP3 decoder;
    audio::connect<audio::MP3Data>(&reader, &decoder);
    std::vector<audio::PCMData> blocks;
    for (int i = 0; i < 100000; ++i) {
        audio::PCMData const block = decoder.get_data(100000);
        if (block.is_empty()) break;
        blocks.push_back(block);
    }
    audio::connect<audio::MP3Data>(&reader, nullptr);
    return blocks;
}

TEST_F(FileReaderMP3Test, SilentFramesDecodeToOneFrameOfSilenceEach) {
    struct Case {
        const char* what;
        std::string frame;
        std::uint32_t channels, rate, samples;
    };
    Case const cases[] = {
        {"MPEG-1 layer III", mp3_frame(MpegVersion::mpeg1, 3, 9, 0), 2, 44100, 1152},
        {"MPEG-2 layer III mono", mp3_frame(MpegVersion::mpeg2, 3, 8, 2, false, true), 1, 16000, 576},
        {"MPEG-1 layer II", mp3_frame(MpegVersion::mpeg1, 2, 10, 1), 2, 48000, 1152},
        {"MPEG-1 layer I", mp3_frame(MpegVersion::mpeg1, 1, 12, 0), 2, 44100, 384},
        {"MPEG 2.5 layer III", mp3_frame(MpegVersion::mpeg25, 3, 4, 2), 2, 8000, 576},
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(c.what);
        std::string bytes;
        for (int i = 0; i < 8; ++i) bytes += c.frame;
        std::vector<audio::PCMData> const blocks = play(make(bytes));
        ASSERT_EQ(8u, blocks.size());
        for (auto const& block : blocks) {
            EXPECT_EQ(c.channels, block.channels);
            EXPECT_EQ(16u, block.bits_per_sample);
            EXPECT_EQ(c.rate, block.sample_rate);
            EXPECT_EQ(c.samples, block.get_frame_count());
            std::string const bytes_out = audio_test::bytes_of(block.buffer);
            EXPECT_EQ(std::string(bytes_out.size(), '\0'), bytes_out);
        }
    }
}

TEST_F(FileReaderMP3Test, At12000HertzTheFileOpensButDecodesToNothing) {
    std::string bytes;
    for (int i = 0; i < 8; ++i) bytes += mp3_frame(MpegVersion::mpeg25, 3, 4, 1);
    audio::FileReaderMP3 reader(make(bytes));
    EXPECT_TRUE(reader.is_valid());
    EXPECT_EQ(12000u, reader.get_sample_rate());
    EXPECT_TRUE(play(u"\\a.mp3").empty());
}

TEST(DecoderMP3, BlocksWithoutADecodableFrameGiveAnEmptyBlockWithoutFormat) {
    std::string const frame = silent_frames(1);
    struct Case {
        const char* what;
        std::string bytes;
    };
    Case const cases[] = {
        {"no header", std::string(2000, 'x')},
        {"three bytes", frame.substr(0, 3)},
        {"a frame cut short", frame.substr(0, 200)},
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(c.what);
        audio::DecoderMP3 decoder;
        audio::PCMData const pcm = decoder.decode(audio::MP3Data(audio_test::buffer_of(c.bytes), 417));
        EXPECT_TRUE(pcm.is_empty());
        EXPECT_EQ(0u, pcm.channels);
        EXPECT_EQ(0u, pcm.sample_rate);
    }
}

// Sound encoded by our own encoder, loud enough that the decoded frames go beyond full
// scale (clipping, and the carry of what was cut into the next sample).
std::string loud_mp3(std::uint32_t channels) {
    std::vector<std::uint8_t> pcm;
    for (std::uint32_t i = 0; i < 44100 / 2; ++i) {
        // A square wave at full scale: its sharp edges ring past it once decoded.
        double const tone = (i / 50 % 2 == 0 ? 1.0 : -1.0) + 0.2 * std::sin(2.0 * std::numbers::pi * 4100.0 * i / 44100.0);
        for (std::uint32_t c = 0; c < channels; ++c) {
            double const v = std::clamp(32767.0 * (c == 0 ? tone : -0.8 * tone), -32768.0, 32767.0);
            auto const sample = static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(v)));
            pcm.push_back(static_cast<std::uint8_t>(sample & 0xFF));
            pcm.push_back(static_cast<std::uint8_t>(sample >> 8));
        }
    }
    audio_test::Collector<audio::MP3Data> sink;
    {
        audio::EncoderMP3 encoder(128000);
        audio::connect<audio::MP3Data>(&encoder, &sink);
        encoder.on_data(audio::PCMData(liba::SharedBuffer(static_cast<std::uint32_t>(pcm.size()), pcm.data()), channels,
                                       16, 44100));
        encoder.end_stream();
        audio::connect<audio::MP3Data>(&encoder, nullptr);
    }
    std::string mp3;
    for (audio::MP3Data const& block : sink.blocks)
        mp3.append(reinterpret_cast<const char*>(block.buffer.get_data()), block.get_size());
    return mp3;
}

// Exact 16-bit output, frame by frame: the rounding with its carry and the clipping are
// the decoder's own, so a change there shows. Fingerprints of this decoder's output.
TEST(DecoderMP3, LoudFramesDecodeExactly) {
    struct Case {
        std::uint32_t channels;
        std::uint64_t expected;
    };
    for (Case const c : {Case{1, 1331919235219564804ull}, Case{2, 6236567867213905496ull}}) {
        SCOPED_TRACE(c.channels);
        std::string const mp3 = loud_mp3(c.channels) + std::string(2000, '\0');
        audio::DecoderMP3 decoder;
        std::uint64_t hash = 1469598103934665603ull;
        std::size_t samples = 0;
        int clipped = 0;
        for (std::size_t at = 0; at + 2000 < mp3.size();) {
            audio::MP3FrameHeader header;
            ASSERT_TRUE(audio::mp3_header_parse(reinterpret_cast<const std::uint8_t*>(mp3.data() + at), header)) << at;
            audio::PCMData const pcm =
                decoder.decode(audio::MP3Data(audio_test::buffer_of(mp3.substr(at, header.frame_length + 1500)),
                                              header.frame_length));
            for (std::int16_t const sample : audio_test::samples_of(pcm)) {
                hash ^= static_cast<std::uint16_t>(sample);
                hash *= 1099511628211ull;
                clipped += sample == 32767 || sample == -32768;
            }
            samples += pcm.get_size() / 2;
            at += header.frame_length;
        }
        EXPECT_GT(samples, 44100u / 2 * c.channels);
        EXPECT_GT(clipped, 100) << "the sound should reach beyond full scale";
        EXPECT_EQ(c.expected, hash);
    }
}

}  // namespace
