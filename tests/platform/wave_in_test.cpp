#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/kernel.h"
#include "platform/messages.h"
#include "platform/wave.h"
#include "tests/audio/wav_fixture.h"
#include "tests/support/message_loop.h"
#include "tests/support/virtual_wave.h"

namespace {

using testing_support::next_message;

// Input is a WAV file of 16-bit mono samples counting up, so that a gap or a repeat shows.
class WaveInTest : public testing_support::VirtualWaveTest {
protected:
    WaveInTest() {
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
        input = wav_fixture::counting_bytes(200000);
        for (std::size_t i = 0; i < input.size(); i += 2) {
            input[i] = static_cast<char>(i / 2 & 0xFF);
            input[i + 1] = static_cast<char>(i / 2 >> 8 & 0xFF);
        }
        std::string const path = device.folder() + "/input.wav";
        testing_support::write_host_file(path, wav_fixture::pcm_file(1, 16, 8000, input));
        platform::set_virtual_wave_input(path);
    }

    HWAVEIN open() {
        WAVEFORMATEX const format{WAVE_FORMAT_PCM, 1, 8000, 16000, 2, 16, 0};
        HWAVEIN device = nullptr;
        EXPECT_EQ(MMSYSERR_NOERROR, waveInOpen(&device, WAVE_MAPPER, &format, GetCurrentThreadId(), 0, CALLBACK_THREAD));
        MSG message;
        EXPECT_TRUE(next_message(message));
        EXPECT_EQ(MM_WIM_OPEN, message.message);
        return device;
    }

    WAVEHDR& add(HWAVEIN device, DWORD size) {
        storage.push_back(std::make_unique<std::string>(size, '\0'));
        headers.push_back(std::make_unique<WAVEHDR>());
        WAVEHDR& header = *headers.back();
        header.lpData = storage.back()->data();
        header.dwBufferLength = size;
        EXPECT_EQ(MMSYSERR_NOERROR, waveInPrepareHeader(device, &header, sizeof header));
        EXPECT_EQ(MMSYSERR_NOERROR, waveInAddBuffer(device, &header, sizeof header));
        return header;
    }

    // The next buffer given back; its bytes.
    std::string take(WAVEHDR& expected) {
        MSG message;
        EXPECT_TRUE(next_message(message));
        EXPECT_EQ(MM_WIM_DATA, message.message);
        EXPECT_EQ(reinterpret_cast<LPARAM>(&expected), message.lParam);
        EXPECT_TRUE(expected.dwFlags & WHDR_DONE);
        return std::string(expected.lpData, expected.dwBytesRecorded);
    }

    void close(HWAVEIN device) {
        ASSERT_EQ(MMSYSERR_NOERROR, waveInClose(device));
        MSG message;
        ASSERT_TRUE(next_message(message));
        EXPECT_EQ(MM_WIM_CLOSE, message.message);
    }

    std::string input;
    std::vector<std::unique_ptr<std::string>> storage;
    std::vector<std::unique_ptr<WAVEHDR>> headers;
};

TEST_F(WaveInTest, FillsBuffersInOrderAndStopHandsBackThePartOneOnly) {
    HWAVEIN const device = open();
    WAVEHDR& a = add(device, 1000);
    WAVEHDR& b = add(device, 1000);
    WAVEHDR& c = add(device, 100000);
    WAVEHDR& d = add(device, 1000);
    ASSERT_EQ(MMSYSERR_NOERROR, waveInStart(device));
    std::string recorded = take(a);
    recorded += take(b);
    ASSERT_EQ(MMSYSERR_NOERROR, waveInStop(device));
    std::string const part = take(c);
    EXPECT_GT(part.size(), 0u);
    EXPECT_LT(part.size(), 100000u);
    recorded += part;
    // The rest stays queued and goes on with the next sample after the start.
    ASSERT_EQ(MMSYSERR_NOERROR, waveInStop(device));
    ASSERT_EQ(MMSYSERR_NOERROR, waveInStart(device));
    recorded += take(d);
    EXPECT_EQ(input.substr(0, recorded.size()), recorded);
    ASSERT_EQ(MMSYSERR_NOERROR, waveInReset(device));
    close(device);
}

TEST_F(WaveInTest, WithoutBuffersInputIsDroppedAndTheDeviceRunsOn) {
    HWAVEIN const device = open();
    ASSERT_EQ(MMSYSERR_NOERROR, waveInStart(device));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    WAVEHDR& header = add(device, 2000);
    std::string const later = take(header);
    ASSERT_EQ(2000u, later.size());
    EXPECT_NE(input.substr(0, 2000), later);
    EXPECT_NE(std::string::npos, input.find(later));
    ASSERT_EQ(MMSYSERR_NOERROR, waveInReset(device));
    close(device);
}

TEST_F(WaveInTest, ResetGivesBackEveryBufferAndCloseThenRefusesTheHandle) {
    HWAVEIN const device = open();
    std::vector<WAVEHDR*> queued;
    for (int i = 0; i < 3; ++i) queued.push_back(&add(device, 500));
    EXPECT_EQ(WAVERR_STILLPLAYING, waveInClose(device));
    ASSERT_EQ(MMSYSERR_NOERROR, waveInReset(device));
    for (WAVEHDR* header : queued) EXPECT_EQ("", take(*header));
    close(device);
    EXPECT_EQ(MMSYSERR_INVALHANDLE, waveInUnprepareHeader(device, queued[0], sizeof(WAVEHDR)));
    EXPECT_EQ(MMSYSERR_INVALHANDLE, waveInStart(device));
    EXPECT_EQ(MMSYSERR_INVALHANDLE, waveInStop(nullptr));
}

TEST_F(WaveInTest, ToneInputWhenNoFileIsGiven) {
    platform::set_virtual_wave_input("");
    HWAVEIN const device = open();
    WAVEHDR& header = add(device, 1600);
    ASSERT_EQ(MMSYSERR_NOERROR, waveInStart(device));
    std::string const tone = take(header);
    ASSERT_EQ(1600u, tone.size());
    EXPECT_NE(std::string(1600, '\0'), tone);
    ASSERT_EQ(MMSYSERR_NOERROR, waveInReset(device));
    close(device);
}

}  // namespace
