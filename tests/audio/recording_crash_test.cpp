// A recording cut off by kill -9 keeps the sound that reached the file: it is read back and
// can be continued, in every recording format.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "audio/file_reader.h"
#include "audio/file_reader_mp3.h"
#include "audio/file_reader_wav_adpcm.h"
#include "audio/file_reader_wav_gsm.h"
#include "audio/file_reader_wav_pcm.h"
#include "audio/format_keys.h"
#include "audio/record_chain.h"
#include "tests/support/child_process.h"
#include "tests/support/test_device.h"

namespace {

using testing_support::ChildProcess;
using testing_support::read_host_file;

struct Format {
    const char* key;
    const char* file;
    std::unique_ptr<audio::FileReader> (*open)(const std::u16string& path);
};

template <class Reader>
std::unique_ptr<audio::FileReader> open_as(const std::u16string& path) {
    return std::make_unique<Reader>(path);
}

const Format formats[] = {
    {"PCM", "rec.wav", open_as<audio::FileReaderWAVPCM>},
    {"ADPCM", "rec.wav", open_as<audio::FileReaderWAVADPCM>},
    {"GSM", "rec.wav", open_as<audio::FileReaderWAVGSM>},
    {"mp3", "rec.mp3", open_as<audio::FileReaderMP3>},
};

// Records tenths of a second in a child process and kills it before it completes the file.
void record_and_kill(const Format& format, int tenths, bool append) {
    std::vector<std::string> arguments{format.key, std::string("\\") + format.file, std::to_string(tenths)};
    if (append) arguments.push_back("append");
    ChildProcess child(SONBRIX_RECORDING_CHILD, arguments);
    ASSERT_EQ("recorded", child.read_line().substr(0, 8));
    child.kill_hard();
}

double duration_of(const Format& format, const std::u16string& path) {
    auto const reader = format.open(path);
    EXPECT_TRUE(reader->is_valid());
    return reader->get_duration();
}

class RecordingCrash : public testing_support::DeviceTest {};

TEST_F(RecordingCrash, TheSoundWrittenBeforeTheCrashIsReadAndContinued) {
    for (auto const& format : formats) {
        SCOPED_TRACE(format.key);
        std::u16string const path = u"\\" + std::u16string(format.file, format.file + std::char_traits<char>::length(format.file));
        std::string const host = device.host_path(format.file);

        record_and_kill(format, 35, false);
        double const kept = duration_of(format, path);
        EXPECT_GE(kept, 2.5) << "3.5 s were recorded; the file is brought up to date every second";
        EXPECT_LE(kept, 3.5);
        std::string const before = read_host_file(host);

        // Appending continues after the kept sound and leaves it as it was.
        record_and_kill(format, 20, true);
        double const continued = duration_of(format, path);
        EXPECT_GE(continued, kept + 0.9) << "2 s were added; at least each whole second of them is kept";
        std::string const after = read_host_file(host);
        std::size_t const header = format.key == std::string("mp3") ? 0 : 100;
        ASSERT_GT(after.size(), before.size());
        EXPECT_EQ(before.substr(header, 2000), after.substr(header, 2000)) << "the old sound stays";

        // A recording that ends normally after the crashed ones completes the file.
        {
            auto chain = audio::create_record_chain(path, std::u16string(format.key, format.key + std::char_traits<char>::length(format.key)),
                                                    1, 8000, 16, 32000, true);
            ASSERT_TRUE(chain);
            EXPECT_TRUE(chain->get_file_writer()->is_open());
        }
        EXPECT_GE(duration_of(format, path), continued);
        testing_support::write_host_file(host, "");
    }
}

}  // namespace
