// WAV files made elsewhere: the readers open the good ones and refuse the rest without a
// crash, a hang or a read out of bounds (the test suite runs under the sanitizers).
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "audio/file_reader_wav_adpcm.h"
#include "audio/file_reader_wav_gsm.h"
#include "audio/file_reader_wav_pcm.h"
#include "tests/audio/stream_helpers.h"
#include "tests/support/test_device.h"

namespace {

namespace fs = std::filesystem;

// Pulls everything there is and moves about; the bytes delivered.
template <class Reader>
std::uint64_t exercise(Reader& reader) {
    reader.get_duration();
    reader.get_bit_rate();
    reader.set_position(reader.get_size() / 2);
    reader.get_time();
    reader.set_position(0);
    std::uint64_t delivered = 0;
    for (int pulls = 0; pulls < 100000; ++pulls) {
        auto const block = reader.get_data(16384);
        if (block.get_size() == 0) break;
        delivered += block.get_size();
    }
    EXPECT_TRUE(reader.get_data(16384).get_size() == 0) << "the data never ended";
    reader.set_position(0xFFFFFFFFu);
    EXPECT_EQ(0u, reader.get_data(10).get_size());
    reader.set_time(1e12);
    reader.read_block(1000);
    return delivered;
}

class WavRealFiles : public testing_support::DeviceTest {
protected:
    // The file copied into the device.
    std::u16string install(const fs::path& host) {
        testing_support::write_host_file(device.host_path("real.wav"), testing_support::read_host_file(host.string()));
        return u"\\real.wav";
    }
};

TEST_F(WavRealFiles, EveryWavOfTheSharedTestDataOpensOrIsRefusedSafely) {
    fs::path const folder = fs::path(SONBRIX_SHARED_TESTDATA) / "taglib";
    if (!fs::is_directory(folder)) GTEST_SKIP() << folder << " is absent";
    // Data bytes of the files that the PCM reader opens; every other file is refused.
    std::map<std::string, std::uint32_t> const pcm_files = {
        {"empty.wav", 14700},
        {"pcm_with_fact_chunk.wav", 14700},
        // A data size of 0 is what a recording cut off by a crash leaves: the rest of the file
        // is its sound.
        {"zero-size-chunk.wav", 980},
    };
    int files = 0;
    for (auto const& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() != ".wav") continue;
        ++files;
        std::string const name = entry.path().filename().string();
        SCOPED_TRACE(name);
        std::u16string const path = install(entry.path());
        auto const expected = pcm_files.find(name);

        audio::FileReaderWAVPCM pcm(path);
        EXPECT_EQ(expected != pcm_files.end(), pcm.is_valid());
        std::uint64_t const pcm_bytes = exercise(pcm);
        if (expected != pcm_files.end()) {
            EXPECT_EQ(expected->second, pcm_bytes);
        }

        audio::FileReaderWAVADPCM adpcm(path);
        EXPECT_FALSE(adpcm.is_valid());
        EXPECT_EQ(0u, exercise(adpcm));

        audio::FileReaderWAVGSM gsm(path);
        EXPECT_FALSE(gsm.is_valid());
        EXPECT_EQ(0u, exercise(gsm));
    }
    EXPECT_GT(files, 0);
}

TEST_F(WavRealFiles, AFileWithAn18ByteFmtChunkOpensAndPlaysWhole) {
    fs::path const voice = "/usr/share/puredata/doc/sound/voice.wav";
    if (!fs::exists(voice)) GTEST_SKIP() << voice << " is absent (Debian package puredata-doc)";
    std::string const file = testing_support::read_host_file(voice.string());
    audio::FileReaderWAVPCM reader(install(voice));

    ASSERT_TRUE(reader.is_valid());
    EXPECT_EQ(18u, reader.get_format()->fmt_size);
    EXPECT_EQ(1u, reader.get_channels());
    EXPECT_EQ(16u, reader.get_bits_per_sample());
    EXPECT_EQ(44100u, reader.get_sample_rate());
    std::uint32_t const start = reader.get_format()->data_start;
    EXPECT_EQ(46u, start);
    EXPECT_EQ(file.size() - start, reader.get_size());

    std::string pulled;
    for (audio::PCMData block = reader.get_data(16384); !block.is_empty(); block = reader.get_data(16384))
        pulled += audio_test::bytes_of(block.buffer);
    EXPECT_TRUE(pulled == file.substr(start)) << "the samples differ from the file's data";
}

}  // namespace
