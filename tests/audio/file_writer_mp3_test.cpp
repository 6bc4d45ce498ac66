// The MP3 writer: what reaches the file and when, appending, and copying frames from the
// MP3 reader.
#include <gtest/gtest.h>

#include <string>

#include "audio/file_reader_mp3.h"
#include "audio/file_writer_mp3.h"
#include "tests/audio/mp3_fixture.h"
#include "tests/audio/stream_helpers.h"
#include "tests/support/test_device.h"

namespace {

using testing_support::read_host_file;

audio::MP3Data block_of(const std::string& bytes) {
    return audio::MP3Data(audio_test::buffer_of(bytes), static_cast<std::uint32_t>(bytes.size()));
}

// Bytes that differ from block to block, so that a lost or doubled block shows.
std::string numbered_bytes(std::size_t count, int seed) {
    std::string bytes(count, '\0');
    for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<char>((i * 7 + static_cast<std::size_t>(seed) * 13) & 0xFF);
    return bytes;
}

class FileWriterMP3Test : public testing_support::DeviceTest {};

TEST_F(FileWriterMP3Test, TheBufferIsWrittenOnceItHoldsASecondOfSoundAndTheRestAtTheEnd) {
    struct Case {
        const char* what;
        std::string first_bytes;  // the stream's first block starts with them
        std::size_t second;       // bytes of a second at the stream's bit rate
    };
    Case const cases[] = {
        {"128 kbit/s", audio_test::mp3_header_bytes(audio_test::MpegVersion::mpeg1, 3, 9, 0), 16000},
        {"no frame header: 32 kbit/s taken", "", 4000},
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(c.what);
        std::string const path = device.host_path("out.mp3");
        std::string all;
        {
            audio::FileWriterMP3 writer(u"\\out.mp3", false);
            for (int i = 0; i < 40; ++i) {
                std::string bytes = numbered_bytes(1000, i);
                if (i == 0) bytes.replace(0, c.first_bytes.size(), c.first_bytes);
                all += bytes;
                writer.on_data(block_of(bytes));
                std::size_t const whole_seconds = all.size() / c.second * c.second;
                // Each write takes what was buffered once a second's bytes were there.
                EXPECT_EQ(whole_seconds, read_host_file(path).size()) << "block " << i;
            }
            EXPECT_TRUE(writer.is_open());
            EXPECT_EQ(40000u, writer.get_position());
        }
        EXPECT_EQ(all, read_host_file(path));
    }
}

TEST_F(FileWriterMP3Test, OnlyTheFrameLengthOfEachBlockIsStored) {
    {
        audio::FileWriterMP3 writer(u"\\out.mp3", false);
        writer.on_data(audio::MP3Data(audio_test::buffer_of("abcdefgh"), 3));
        writer.on_data(audio::MP3Data(audio_test::buffer_of("XYZ"), 0));
        // A length beyond the block's bytes stores only what is there.
        writer.on_data(audio::MP3Data(audio_test::buffer_of("12"), 5000));
        EXPECT_EQ(5u, writer.get_position());
    }
    EXPECT_EQ("abc12", read_host_file(device.host_path("out.mp3")));
}

TEST_F(FileWriterMP3Test, ABlockLargerThanTheBufferGoesStraightToTheFileInOrder) {
    std::string const small = numbered_bytes(500, 1);
    std::string const large = numbered_bytes(150000, 2);
    {
        audio::FileWriterMP3 writer(u"\\out.mp3", false);
        writer.on_data(block_of(small));
        writer.on_data(block_of(large));
        writer.on_data(block_of(small));
    }
    EXPECT_EQ(small + large + small, read_host_file(device.host_path("out.mp3")));
}

TEST_F(FileWriterMP3Test, AppendingContinuesAtTheEndAndCreatingEmptiesTheFile) {
    std::string const path = device.host_path("out.mp3");
    testing_support::write_host_file(path, "old bytes");
    {
        audio::FileWriterMP3 writer(u"\\out.mp3", true);
        EXPECT_EQ(9u, writer.get_position());
        writer.on_data(block_of("+new"));
        EXPECT_EQ(13u, writer.get_position());
    }
    EXPECT_EQ("old bytes+new", read_host_file(path));
    {
        audio::FileWriterMP3 writer(u"\\out.mp3", false);
        EXPECT_EQ(0u, writer.get_position());
        writer.on_data(block_of("fresh"));
    }
    EXPECT_EQ("fresh", read_host_file(path));
    {
        audio::FileWriterMP3 writer(u"\\new.mp3", true);
        EXPECT_TRUE(writer.is_open());
        writer.on_data(block_of("made"));
    }
    EXPECT_EQ("made", read_host_file(device.host_path("new.mp3")));
}

TEST_F(FileWriterMP3Test, AWriterThatCannotOpenItsFileIsNotOpen) {
    audio::FileWriterMP3 writer(u"\\no such folder\\out.mp3", false);
    EXPECT_FALSE(writer.is_open());
    writer.on_data(block_of("ignored"));
    EXPECT_EQ(0u, writer.get_position());
}

TEST_F(FileWriterMP3Test, FramesCopiedFromTheReaderAreStoredExactly) {
    // Other data before the frames is left behind; frames of every length come whole.
    std::string frames;
    for (int i = 0; i < 30; ++i)
        frames += audio_test::mp3_frame(audio_test::MpegVersion::mpeg1, 3, i % 2 == 0 ? 9 : 14, 0, i % 3 == 0);
    testing_support::write_host_file(device.host_path("in.mp3"), std::string(700, 'j') + frames);
    {
        audio::FileReaderMP3 reader(u"\\in.mp3");
        audio::FileWriterMP3 writer(u"\\out.mp3", false);
        audio::connect<audio::MP3Data>(&reader, &writer);
        EXPECT_FALSE(reader.read_block(0xFFFFFFFFu));
        audio::connect<audio::MP3Data>(&reader, nullptr);
        EXPECT_EQ(frames.size(), writer.get_position());
    }
    EXPECT_EQ(frames, read_host_file(device.host_path("out.mp3")));
}

}  // namespace
