// MP3 files made by other programs: a LAME encoding decodes frame for frame as the
// reference decoder does, and the shared sample files open and play, or are refused,
// without a crash, a hang or a read out of bounds (the suite runs under the sanitizers).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "audio/decoder_mp3.h"
#include "audio/file_reader_mp3.h"
#include "tests/audio/mp3_fixture.h"
#include "tests/audio/speech_signal.h"
#include "tests/audio/stream_helpers.h"
#include "tests/support/test_device.h"

namespace {

namespace fs = std::filesystem;
using Samples = std::vector<std::int16_t>;

struct Decoded {
    std::size_t frames = 0;
    Samples samples;
};

Decoded decode_file(const std::u16string& path) {
    Decoded result;
    audio::FileReaderMP3 reader(path);
    audio::DecoderMP3 decoder;
    audio::connect<audio::MP3Data>(&reader, &decoder);
    for (int pulls = 0; pulls < 1000000; ++pulls) {
        audio::MP3Data const frame = reader.get_data(1);
        if (frame.is_empty()) break;
        ++result.frames;
        Samples const samples = audio_test::samples_of(decoder.decode(frame));
        result.samples.insert(result.samples.end(), samples.begin(), samples.end());
    }
    audio::connect<audio::MP3Data>(&reader, nullptr);
    return result;
}

class MP3RealFiles : public testing_support::DeviceTest {};

TEST_F(MP3RealFiles, ALameFileDecodesEveryFrameAsTheReferenceDecoderDoes) {
    if (!audio_test::have_tool("lame") || !audio_test::have_tool("madplay")) GTEST_SKIP() << "lame or madplay missing";
    std::string const wav = device.host_path("source.wav");
    std::string const mp3 = device.host_path("lame.mp3");
    std::string const raw = device.host_path("madplay.raw");
    audio_test::write_wav(wav, audio_test::speech_like(44100 * 2, 2, 44100), 2, 44100);
    ASSERT_TRUE(audio_test::run_tool("lame --quiet -b 128 " + audio_test::quoted(wav) + " " + audio_test::quoted(mp3)));
    ASSERT_TRUE(audio_test::run_tool("madplay -Q -d -b 16 -o raw:" + audio_test::quoted(raw) + " " +
                                     audio_test::quoted(mp3)));

    Decoded const ours = decode_file(u"\\lame.mp3");
    ASSERT_GT(ours.frames, 70u);
    EXPECT_EQ(ours.frames * 1152 * 2, ours.samples.size()) << "frames x samples per frame";
    Samples const reference = audio_test::read_raw(raw);
    // The reference may leave out the encoder's information frame at the start.
    audio_test::Alignment const aligned =
        audio_test::best_alignment(ours.samples, reference, 2 * 1152 * 2, 44100);
    EXPECT_LE(aligned.largest_difference, 1) << "shift " << aligned.shift;
    EXPECT_EQ(reference.size(), aligned.overlap) << "the reference has samples that we do not";
}

TEST_F(MP3RealFiles, SharedSampleFilesOpenAndPlayOrAreRefused) {
    fs::path const folder = fs::path(SONBRIX_SHARED_TESTDATA) / "taglib";
    if (!fs::is_directory(folder)) GTEST_SKIP() << folder << " is absent";
    // Frames each file gives; every one of these opens.
    struct Expected {
        const char* name;
        bool valid;
    };
    Expected const files[] = {
        {"lame_cbr.mp3", true}, {"lame_vbr.mp3", true},    {"xing.mp3", true},
        {"garbage.mp3", true},  {"invalid-frames1.mp3", true}, {"ape-id3v1.mp3", true},
    };
    for (auto const& file : files) {
        SCOPED_TRACE(file.name);
        testing_support::write_host_file(device.host_path("real.mp3"),
                                         testing_support::read_host_file((folder / file.name).string()));
        audio::FileReaderMP3 reader(u"\\real.mp3");
        EXPECT_EQ(file.valid, reader.is_valid());
        reader.get_duration();
        reader.set_position(reader.get_size() / 2);
        reader.set_position(0);
        Decoded const decoded = decode_file(u"\\real.mp3");
        if (file.valid) {
            EXPECT_GT(decoded.frames, 0u);
        }
        reader.set_position(0xFFFFFFFFu);
        EXPECT_TRUE(reader.get_data(1).is_empty());
    }
}

}  // namespace
