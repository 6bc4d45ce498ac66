#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "tests/audio/wav_fixture.h"
#include "tests/support/test_device.h"
#include "tests/tools/tool_run.h"

namespace {

using testing_support::read_host_file;
using testing_support::write_host_file;
using tools_test::run_tool;
using tools_test::ToolRun;
using namespace wav_fixture;

// play-record as a user runs it, on the virtual device at twenty times real time.
class PlayRecordTest : public testing_support::DeviceTest {
protected:
    void SetUp() override { std::filesystem::create_directories(host); }

    using Environment = std::vector<std::pair<std::string, std::string>>;

    ToolRun play_record(const std::vector<std::string>& arguments, const std::string& audio = "virtual",
                        const Environment& more = {}) {
        Environment environment{
            {"SONBRIX_DEVICE", device.folder()}, {"SONBRIX_AUDIO", audio}, {"SONBRIX_AUDIO_SPEED", "20"}};
        environment.insert(environment.end(), more.begin(), more.end());
        return run_tool(SONBRIX_PLAY_RECORD, arguments, environment, host);
    }
    std::string host_file(const std::string& name, const std::string& bytes) {
        std::string const path = host + "/" + name;
        write_host_file(path, bytes);
        return path;
    }
    std::vector<std::string> device_files() const {
        std::vector<std::string> names;
        for (auto const& entry : std::filesystem::directory_iterator(device.fs()))
            if (entry.is_regular_file()) names.push_back(entry.path().filename().string());
        return names;
    }

    std::string host = device.folder() + "/host";
};

// A 24-bit stereo file as sox writes it: WAVE_FORMAT_EXTENSIBLE with the PCM sub-format.
std::string extensible_24_bit_file() {
    std::string const guid_tail("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14);
    Fmt fmt{0xFFFE, 2, 44100, 44100 * 6, 6, 24, le16(22) + le16(24) + le32(3) + le16(1) + guid_tail};
    return riff(fmt.chunk() + data(std::string(600, '\0')));
}

TEST_F(PlayRecordTest, SoundItCannotPlayFailsWithAMessageInsteadOfHanging) {
    struct Case {
        const char* what;
        std::string bytes;
        const char* audio;
        const char* message;
    } const cases[] = {
        {"24-bit PCM, virtual device", pcm_file(2, 24, 44100, std::string(6 * 44100, '\0')), "virtual",
         "the sound device refused 44100 Hz, 2 channel(s), 24 bits"},
        {"24-bit PCM, null device", pcm_file(1, 24, 8000, std::string(3 * 8000 * 3, '\0')), "null",
         "the sound device refused 8000 Hz, 1 channel(s), 24 bits"},
        {"24-bit WAVE_FORMAT_EXTENSIBLE", extensible_24_bit_file(), "virtual",
         "WAVE_FORMAT_EXTENSIBLE holding 24-bit PCM is not supported"},
        {"Microsoft ADPCM", riff(adpcm_fmt(1, 8000, 256, adpcm_samples_per_block(256, 1)).chunk() + fact(500) +
                                 data(std::string(256, '\0'))),
         "virtual", "format tag 0x0002 is not supported"},
        {"a text file", "just some words", "virtual", "not a WAV file"},
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(c.what);
        ToolRun const run = play_record({"play", host_file("in.wav", c.bytes)}, c.audio);
        EXPECT_EQ(1, run.exit_code);
        EXPECT_NE(std::string::npos, run.err.find(c.message)) << run.err;
    }
}

TEST_F(PlayRecordTest, AFolderOrAMissingFileIsNamedAsSuch) {
    ToolRun const folder = play_record({"play", host});
    EXPECT_EQ(1, folder.exit_code);
    EXPECT_NE(std::string::npos, folder.err.find("is a folder")) << folder.err;
    ToolRun const missing = play_record({"play", host + "/nothing.wav"});
    EXPECT_EQ(1, missing.exit_code);
    EXPECT_NE(std::string::npos, missing.err.find("no such file")) << missing.err;
}

TEST_F(PlayRecordTest, PlaysAFileFromOutsideTheDeviceAndLeavesNoCopyBehind) {
    std::string const samples = counting_bytes(2 * 2 * 4410);  // 0.1 s of 16-bit stereo
    ToolRun const run = play_record({"play", host_file("tune.wav", pcm_file(2, 16, 44100, samples))});
    ASSERT_EQ(0, run.exit_code) << run.err;
    EXPECT_EQ(pcm_file(2, 16, 44100, samples), read_host_file(device.folder() + "/audio/wave-out-1.wav"));
    EXPECT_TRUE(device_files().empty());
}

TEST_F(PlayRecordTest, RecordsAWavFileThatReadsBack) {
    std::string const path = host + "/take.wav";
    ToolRun const run = play_record({"record", "0.5", path, "--rate", "11025", "--channels", "2", "--bits", "8"});
    ASSERT_EQ(0, run.exit_code) << run.err;
    std::string const bytes = read_host_file(path);
    std::uint32_t const data_size = 11025 / 2 * 2;
    ASSERT_EQ(44 + data_size, bytes.size());
    EXPECT_EQ(riff(pcm_fmt(2, 8, 11025).chunk()).substr(8), bytes.substr(8, 28));
    EXPECT_EQ("RIFF" + le32(36 + data_size), bytes.substr(0, 8));
    EXPECT_EQ("data" + le32(data_size), bytes.substr(36, 8));
}

// A mistyped device choice, speed or input opens no device and says which setting is wrong,
// rather than playing on another device or recording silence.
TEST_F(PlayRecordTest, AnUnknownSoundSettingIsRefusedWithOneLine) {
    std::string const tune = host_file("tune.wav", pcm_file(1, 16, 8000, std::string(1600, '\0')));
    struct Case {
        std::vector<std::string> arguments;
        Environment environment;
        const char* message;
    } const cases[] = {
        {{"play", tune}, {{"SONBRIX_AUDIO", "virtaul"}}, "SONBRIX_AUDIO=virtaul is not a sound device"},
        {{"record", "1", host + "/a.wav"}, {{"SONBRIX_AUDIO", "alsa"}}, "SONBRIX_AUDIO=alsa is not a sound device"},
        {{"play", tune}, {{"SONBRIX_AUDIO_SPEED", "fast"}}, "SONBRIX_AUDIO_SPEED=fast is not a positive number"},
        {{"play", tune}, {{"SONBRIX_AUDIO_SPEED", "-2"}}, "SONBRIX_AUDIO_SPEED=-2 is not a positive number"},
        {{"record", "1", host + "/b.wav"}, {{"SONBRIX_AUDIO_INPUT", "microphone"}},
         "SONBRIX_AUDIO_INPUT=microphone is neither tone:FREQUENCY nor"},
        {{"record", "1", host + "/c.wav"}, {{"SONBRIX_AUDIO_INPUT", "tone:high"}},
         "SONBRIX_AUDIO_INPUT=tone:high is neither"},
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(c.message);
        ToolRun const run = play_record(c.arguments, "virtual", c.environment);
        EXPECT_EQ(1, run.exit_code);
        EXPECT_NE(std::string::npos, run.err.find("sonbrix: " + std::string(c.message))) << run.err;
    }
    std::string const take = host + "/take.wav";
    ToolRun const from_file = play_record({"record", "0.1", take}, "virtual", {{"SONBRIX_AUDIO_INPUT", tune}});
    EXPECT_EQ(0, from_file.exit_code) << from_file.err;
}

// Through SDL on ALSA; on a machine without a sound card it falls back to silence with its
// own one line, and ALSA's complaints about the missing card stay unprinted.
TEST_F(PlayRecordTest, TheHostSoundDevicePrintsNoLibraryChatter) {
    std::string const tune = host_file("tune.wav", pcm_file(1, 16, 8000, std::string(800, '\0')));
    // SDL keeps what its audio start allocated to the process end, which the leak checker of
    // a sanitizer build would count against the tool.
    ToolRun const run =
        play_record({"play", tune}, "sdl", {{"SDL_AUDIODRIVER", "alsa"}, {"ASAN_OPTIONS", "detect_leaks=0"}});
    EXPECT_EQ(0, run.exit_code) << run.err;
    EXPECT_EQ(std::string::npos, run.err.find("ALSA lib")) << run.err;
}

TEST_F(PlayRecordTest, AWrongArgumentIsNamedAndHelpGoesToStandardOutput) {
    struct Case {
        std::vector<std::string> arguments;
        int exit_code;
        const char* message;  // on standard error, or on standard output for help
    } const cases[] = {
        {{"--help"}, 0, "usage: play-record play FILE.wav"},
        {{"record", "-h"}, 0, "usage: play-record play FILE.wav"},
        {{}, 2, "say play or record"},
        {{"dance"}, 2, "unknown command: dance"},
        {{"play"}, 2, "play takes one WAV file"},
        {{"play", "a.wav", "b.wav"}, 2, "play takes one WAV file"},
        {{"record", "soon", "take.wav"}, 2, "seconds (above 0, below 86400): soon"},
        {{"record", "1"}, 2, "record needs SECONDS and FILE.wav"},
        {{"record", "1", "take.wav", "--loud"}, 2, "unknown argument: --loud"},
        {{"record", "1", "take.wav", "--bits", "24"}, 2, "--bits 24: give 8 or 16"},
        {{"record", "1", "take.wav", "--channels"}, 2, "--channels needs a value"},
        {{"record", "1", "take.wav", "--rate", "fast"}, 2, "--rate fast"},
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.arguments));
        ToolRun const run = play_record(c.arguments);
        EXPECT_EQ(c.exit_code, run.exit_code);
        std::string const& said = c.exit_code == 0 ? run.out : run.err;
        EXPECT_NE(std::string::npos, said.find(c.message)) << said;
        if (c.exit_code == 0) {
            EXPECT_EQ("", run.err);
        }
    }
}

}  // namespace
