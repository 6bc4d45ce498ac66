#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/datetime.h"
#include "platform/kernel.h"
#include "platform/messages.h"
#include "platform/testing.h"
#include "platform/wave.h"
#include "tests/support/message_loop.h"
#include "tests/support/virtual_wave.h"

namespace {

using testing_support::next_message;
using testing_support::VirtualWaveTest;

WAVEFORMATEX pcm_format(WORD channels, WORD bits, DWORD rate) {
    WORD const align = static_cast<WORD>(channels * bits / 8);
    return WAVEFORMATEX{WAVE_FORMAT_PCM, channels, rate, rate * align, align, bits, 0};
}

bool no_message_for_a_while() {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    MSG message;
    return !PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
}

class WaveOutTest : public VirtualWaveTest {
protected:
    WaveOutTest() {
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);  // this thread's queue
    }

    HWAVEOUT open(WAVEFORMATEX format = pcm_format(1, 16, 8000)) {
        HWAVEOUT device = nullptr;
        EXPECT_EQ(MMSYSERR_NOERROR, waveOutOpen(&device, WAVE_MAPPER, &format, GetCurrentThreadId(), 0, CALLBACK_THREAD));
        MSG message;
        EXPECT_TRUE(next_message(message));
        EXPECT_EQ(MM_WOM_OPEN, message.message);
        EXPECT_EQ(reinterpret_cast<WPARAM>(device), message.wParam);
        return device;
    }

    WAVEHDR& buffer(const std::string& bytes) {
        storage.push_back(std::make_unique<std::string>(bytes));
        headers.push_back(std::make_unique<WAVEHDR>());
        WAVEHDR& header = *headers.back();
        header.lpData = storage.back()->data();
        header.dwBufferLength = static_cast<DWORD>(bytes.size());
        return header;
    }

    void write(HWAVEOUT device, WAVEHDR& header) {
        ASSERT_EQ(MMSYSERR_NOERROR, waveOutPrepareHeader(device, &header, sizeof header));
        ASSERT_EQ(MMSYSERR_NOERROR, waveOutWrite(device, &header, sizeof header));
    }

    void expect_done(WAVEHDR& header) {
        MSG message;
        ASSERT_TRUE(next_message(message));
        EXPECT_EQ(MM_WOM_DONE, message.message);
        EXPECT_EQ(reinterpret_cast<LPARAM>(&header), message.lParam);
        EXPECT_EQ(WHDR_DONE | WHDR_PREPARED, header.dwFlags);
    }

    void close(HWAVEOUT device) {
        ASSERT_EQ(MMSYSERR_NOERROR, waveOutClose(device));
        MSG message;
        ASSERT_TRUE(next_message(message));
        EXPECT_EQ(MM_WOM_CLOSE, message.message);
    }

    std::vector<std::unique_ptr<std::string>> storage;
    std::vector<std::unique_ptr<WAVEHDR>> headers;
};

TEST_F(WaveOutTest, OpenRefusesWhatItCannotPlay) {
    struct Case {
        const char* what;
        WAVEFORMATEX format;
        UINT device_id;
        DWORD flags;
        MMRESULT expected;
    };
    WAVEFORMATEX not_pcm = pcm_format(1, 16, 8000);
    not_pcm.wFormatTag = 2;
    WAVEFORMATEX wrong_align = pcm_format(2, 16, 8000);
    wrong_align.nBlockAlign = 2;
    Case const cases[] = {
        {"not PCM", not_pcm, WAVE_MAPPER, CALLBACK_THREAD, WAVERR_BADFORMAT},
        {"no channels", pcm_format(0, 16, 8000), WAVE_MAPPER, CALLBACK_THREAD, WAVERR_BADFORMAT},
        {"three channels", pcm_format(3, 16, 8000), WAVE_MAPPER, CALLBACK_THREAD, WAVERR_BADFORMAT},
        {"24 bits", pcm_format(1, 24, 8000), WAVE_MAPPER, CALLBACK_THREAD, WAVERR_BADFORMAT},
        {"rate 0", pcm_format(1, 16, 0), WAVE_MAPPER, CALLBACK_THREAD, WAVERR_BADFORMAT},
        {"block align of one channel", wrong_align, WAVE_MAPPER, CALLBACK_THREAD, WAVERR_BADFORMAT},
        {"second device", pcm_format(1, 16, 8000), 1, CALLBACK_THREAD, MMSYSERR_BADDEVICEID},
        {"callback kind", pcm_format(1, 16, 8000), WAVE_MAPPER, 0x00030000, MMSYSERR_NOTSUPPORTED},
    };
    for (Case const& c : cases) {
        HWAVEOUT device = reinterpret_cast<HWAVEOUT>(1);
        EXPECT_EQ(c.expected, waveOutOpen(&device, c.device_id, &c.format, GetCurrentThreadId(), 0, c.flags)) << c.what;
        EXPECT_EQ(nullptr, device) << c.what;
    }
    EXPECT_TRUE(no_message_for_a_while());
}

TEST_F(WaveOutTest, PlaysBuffersInOrderAndKeepsWhatItPlayed) {
    HWAVEOUT const handle = open(pcm_format(2, 8, 11025));
    std::string const first(3000, '\x10');
    std::string const second = "a short one";  // 11 bytes: the last half frame is not played
    std::string const third(2000, '\x30');
    WAVEHDR& a = buffer(first);
    WAVEHDR& b = buffer(second);
    WAVEHDR& c = buffer(third);
    write(handle, a);
    write(handle, b);
    write(handle, c);
    expect_done(a);
    expect_done(b);
    expect_done(c);
    for (WAVEHDR* header : {&a, &b, &c}) EXPECT_EQ(MMSYSERR_NOERROR, waveOutUnprepareHeader(handle, header, sizeof(WAVEHDR)));
    close(handle);

    auto const outputs = platform::virtual_wave_outputs();
    ASSERT_EQ(1u, outputs.size());
    EXPECT_EQ(2u, outputs[0].channels);
    EXPECT_EQ(8u, outputs[0].bits_per_sample);
    EXPECT_EQ(11025u, outputs[0].sample_rate);
    EXPECT_TRUE(outputs[0].closed);
    std::string const played(outputs[0].bytes.begin(), outputs[0].bytes.end());
    EXPECT_EQ(first + second.substr(0, 10) + third, played);
    std::string const file = testing_support::read_host_file(device.folder() + "/audio/wave-out-1.wav");
    ASSERT_EQ(44 + played.size(), file.size());
    EXPECT_EQ(played, file.substr(44));
}

TEST_F(WaveOutTest, PauseHoldsTheQueueUntilRestart) {
    HWAVEOUT const device = open();
    ASSERT_EQ(MMSYSERR_NOERROR, waveOutPause(device));
    WAVEHDR& header = buffer(std::string(160, '\x01'));
    write(device, header);
    EXPECT_TRUE(no_message_for_a_while());
    EXPECT_TRUE(platform::virtual_wave_outputs()[0].bytes.empty());
    ASSERT_EQ(MMSYSERR_NOERROR, waveOutRestart(device));
    expect_done(header);
    close(device);
}

TEST_F(WaveOutTest, ResetGivesBackEveryQueuedBufferAtOnce) {
    platform::set_virtual_wave_speed(1);
    HWAVEOUT const device = open();
    std::vector<WAVEHDR*> queued;
    for (int i = 0; i < 4; ++i) {
        WAVEHDR& header = buffer(std::string(16000, static_cast<char>(i)));  // a second each
        write(device, header);
        queued.push_back(&header);
    }
    EXPECT_EQ(WAVERR_STILLPLAYING, waveOutClose(device));
    EXPECT_EQ(WAVERR_STILLPLAYING, waveOutUnprepareHeader(device, queued[0], sizeof(WAVEHDR)));
    ASSERT_EQ(MMSYSERR_NOERROR, waveOutReset(device));
    for (WAVEHDR* header : queued) expect_done(*header);
    close(device);
    EXPECT_LT(platform::virtual_wave_outputs()[0].bytes.size(), 16000u);
}

// A minute of sound at real speed: the fast clock plays it well inside next_message's
// guard and moves the tick count on by the minute; the held clock plays nothing until the
// clock runs again.
TEST_F(WaveOutTest, TheTestClockPlaysPacedSoundAtOnceOrHoldsIt) {
    platform::set_virtual_wave_speed(1);
    platform::set_test_clock(platform::TestClock::fast);
    HWAVEOUT const device = open();
    DWORD const before = GetTickCount();
    WAVEHDR& minute = buffer(std::string(60 * 16000, '\x01'));
    write(device, minute);
    expect_done(minute);
    EXPECT_GE(GetTickCount() - before, 60000u);

    platform::set_test_clock(platform::TestClock::held);
    WAVEHDR& held = buffer(std::string(160, '\x02'));
    write(device, held);
    EXPECT_TRUE(no_message_for_a_while());
    EXPECT_EQ(60u * 16000u, platform::virtual_wave_outputs()[0].bytes.size());
    platform::set_test_clock(platform::TestClock::real);
    expect_done(held);
    close(device);
}

TEST_F(WaveOutTest, CallsOnAClosedOrNullHandleFailHarmlessly) {
    HWAVEOUT const device = open();
    close(device);
    WAVEHDR& header = buffer("ab");
    for (HWAVEOUT handle : {device, HWAVEOUT{}}) {
        EXPECT_EQ(MMSYSERR_INVALHANDLE, waveOutPause(handle));
        EXPECT_EQ(MMSYSERR_INVALHANDLE, waveOutRestart(handle));
        EXPECT_EQ(MMSYSERR_INVALHANDLE, waveOutReset(handle));
        EXPECT_EQ(MMSYSERR_INVALHANDLE, waveOutPrepareHeader(handle, &header, sizeof header));
        EXPECT_EQ(MMSYSERR_INVALHANDLE, waveOutUnprepareHeader(handle, &header, sizeof header));
        EXPECT_EQ(MMSYSERR_INVALHANDLE, waveOutClose(handle));
    }
}

TEST_F(WaveOutTest, BuffersMustBePreparedAndPreparationCanBeRefused) {
    HWAVEOUT const device = open();
    WAVEHDR& header = buffer("abcd");
    EXPECT_EQ(WAVERR_UNPREPARED, waveOutWrite(device, &header, sizeof header));
    EXPECT_EQ(MMSYSERR_INVALPARAM, waveOutPrepareHeader(device, nullptr, sizeof header));
    platform::set_virtual_wave_refusals(false, true);
    EXPECT_EQ(MMSYSERR_NOMEM, waveOutPrepareHeader(device, &header, sizeof header));
    EXPECT_EQ(0u, header.dwFlags);
    platform::set_virtual_wave_refusals(true, false);
    HWAVEOUT refused = nullptr;
    WAVEFORMATEX const format = pcm_format(1, 16, 8000);
    EXPECT_NE(MMSYSERR_NOERROR, waveOutOpen(&refused, WAVE_MAPPER, &format, GetCurrentThreadId(), 0, CALLBACK_THREAD));
    EXPECT_EQ(nullptr, refused);
    close(device);
}

TEST_F(WaveOutTest, VolumeIsKept) {
    HWAVEOUT const device = open();
    ASSERT_EQ(MMSYSERR_NOERROR, waveOutSetVolume(device, 0x12345678));
    DWORD volume = 0;
    ASSERT_EQ(MMSYSERR_NOERROR, waveOutGetVolume(device, &volume));
    EXPECT_EQ(0x12345678u, volume);
    close(device);
    EXPECT_EQ(0x12345678u, platform::virtual_wave_outputs()[0].volume);
}

}  // namespace
