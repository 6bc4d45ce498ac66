// Which sound driver opens for SONBRIX_AUDIO, and what a process does when the module that
// holds a back end (SDL sound, the media decoder) is missing: it falls back and says so in
// one line.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/media_player.h"
#include "platform/testing.h"
#include "platform/wave.h"
#include "platform/wave_testing.h"
#include "platform/windows.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/test_device.h"

namespace {

using testing_support::ScopedEnvironment;

WAVEFORMATEX pcm_format() { return WAVEFORMATEX{WAVE_FORMAT_PCM, 1, 8000, 16000, 2, 16, 0}; }

class BackEndChoiceTest : public testing_support::DeviceTest {
protected:
    BackEndChoiceTest() {
        std::filesystem::create_directories(empty_folder);
        platform::reset_process_state();
    }
    ~BackEndChoiceTest() override { platform::reset_process_state(); }

    // Opens and closes an output and an input device; the result of the opens (the same for
    // both, or the output's when they differ).
    static MMRESULT open_both() {
        WAVEFORMATEX const format = pcm_format();
        HWAVEOUT output = nullptr;
        MMRESULT const output_result = waveOutOpen(&output, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL);
        if (output) waveOutClose(output);
        HWAVEIN input = nullptr;
        MMRESULT const input_result = waveInOpen(&input, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL);
        if (input) waveInClose(input);
        EXPECT_EQ(output_result, input_result);
        return output_result;
    }

    std::string empty_folder = device.folder() + "/no-modules";
};

TEST_F(BackEndChoiceTest, TheChosenDriverOpensOrTheProcessFallsBackToSilenceWithOneLine) {
    std::string const module_missing =
        "sonbrix: the SDL sound module could not be loaded: libsonbrix_sound_sdl.so is not in " + empty_folder +
        "; playing and recording silence\n";
    struct Case {
        const char* audio;  // null: unset
        MMRESULT result;
        std::size_t virtual_outputs;  // after opening twice
        std::string printed;
    } const cases[] = {
        {"null", MMSYSERR_NOERROR, 0, ""},
        {"virtual", MMSYSERR_NOERROR, 2, ""},
        {"virtaul", MMSYSERR_NODRIVER, 0,
         "sonbrix: SONBRIX_AUDIO=virtaul is not a sound device (sdl, virtual or null); no sound device opens\n"},
        {"sdl", MMSYSERR_NOERROR, 0, module_missing},
        {nullptr, MMSYSERR_NOERROR, 0, module_missing},
    };
    ScopedEnvironment modules("SONBRIX_MODULE_DIR", empty_folder.c_str());
    for (auto const& c : cases) {
        SCOPED_TRACE(c.audio ? c.audio : "(unset)");
        platform::reset_process_state();
        ScopedEnvironment audio("SONBRIX_AUDIO", c.audio);
        testing::internal::CaptureStderr();
        EXPECT_EQ(c.result, open_both());
        EXPECT_EQ(c.result, open_both());  // said once a process
        EXPECT_EQ(c.printed, testing::internal::GetCapturedStderr());
        EXPECT_EQ(c.virtual_outputs, platform::virtual_wave_outputs().size());
    }
}

TEST_F(BackEndChoiceTest, WithoutTheMediaModuleAFileIsRefusedWithOneLine) {
    testing_support::write_host_file(device.host_path("Music/a.wma"), std::string(4096, '\x30'));
    ScopedEnvironment modules("SONBRIX_MODULE_DIR", empty_folder.c_str());
    ASSERT_TRUE(AtlAxWinInit());
    HWND const host = CreateWindowExW(0, ATL_AX_WIN_CLASS, CLSID_MEDIA_PLAYER_TEXT, 0, 0, 0, 0, 0, nullptr, nullptr,
                                      nullptr, nullptr);
    ASSERT_NE(nullptr, host);
    IMediaPlayer* player = nullptr;
    ASSERT_EQ(S_OK, AtlAxQueryControl(host, IID_MEDIA_PLAYER_TEXT, &player));
    testing::internal::CaptureStderr();
    EXPECT_EQ(E_FAIL, player->put_FileName(u"\\Music\\a.wma"));
    EXPECT_EQ(E_FAIL, player->put_FileName(u"\\Music\\a.wma"));
    std::string const printed = testing::internal::GetCapturedStderr();
    EXPECT_EQ("sonbrix: the media module could not be loaded (libsonbrix_media_ffmpeg.so is not in " + empty_folder +
                  "); WMA and other media files do not play\n",
              printed);
    player->Release();
    DestroyWindow(host);
}

}  // namespace
