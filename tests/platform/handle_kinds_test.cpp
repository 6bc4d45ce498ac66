// Every handle this process hands out names one kind of object: a handle given to a call of
// another kind is refused as an invalid handle and leaves its object alive, and a closed
// handle names nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "platform/gdi.h"
#include "platform/handles.h"
#include "platform/kernel.h"
#include "platform/mutex.h"
#include "platform/registry.h"
#include "platform/wave.h"
#include "tests/support/virtual_wave.h"

namespace {

// One live object of each kind, with a call that proves it still works.
class HandleKindsTest : public testing_support::VirtualWaveTest {
protected:
    HandleKindsTest() {
        event = CreateEventW(nullptr, TRUE, TRUE, nullptr);
        mutex = CreateMutexW(nullptr, FALSE, nullptr);
        RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\HandleKinds", 0, nullptr, 0, 0, nullptr, &key, nullptr);
        WAVEFORMATEX format{WAVE_FORMAT_PCM, 1, 8000, 16000, 2, 16, 0};
        waveOutOpen(&wave_out, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL);
        waveInOpen(&wave_in, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL);
        dc = CreateCompatibleDC(nullptr);
    }
    ~HandleKindsTest() override {
        if (event) CloseHandle(event);
        if (mutex) CloseHandle(mutex);
        if (key) RegCloseKey(key);
        if (wave_out) waveOutClose(wave_out);
        if (wave_in) waveInClose(wave_in);
        if (dc) DeleteDC(dc);
    }

    void expect_all_alive() {
        EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
        EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_OBJECT_0);
        ReleaseMutex(mutex);
        HKEY sub = nullptr;
        EXPECT_EQ(RegOpenKeyExW(key, u"", 0, 0, &sub), ERROR_SUCCESS);
        if (sub) RegCloseKey(sub);
        DWORD volume = 0;
        EXPECT_EQ(waveOutGetVolume(wave_out, &volume), MMSYSERR_NOERROR);
        EXPECT_EQ(waveInStop(wave_in), MMSYSERR_NOERROR);
        EXPECT_EQ(GetObjectType(dc), DWORD{OBJ_MEMDC});
    }

    HANDLE event = nullptr;
    HANDLE mutex = nullptr;
    HKEY key = nullptr;
    HWAVEOUT wave_out = nullptr;
    HWAVEIN wave_in = nullptr;
    HDC dc = nullptr;
};

TEST_F(HandleKindsTest, AHandleOfAnotherKindIsRefusedAndItsObjectLives) {
    ASSERT_TRUE(event && mutex && key && wave_out && wave_in && dc);
    std::vector<void*> const others[] = {
        {key, wave_out, wave_in, dc},    // not kernel objects
        {event, mutex, wave_out, wave_in, dc},  // not registry keys
        {event, mutex, key, wave_in, dc},       // not wave-out devices
        {event, mutex, key, wave_out, dc},      // not wave-in devices
    };
    for (void* handle : others[0]) {
        SCOPED_TRACE(handle);
        SetLastError(0);
        EXPECT_EQ(WaitForSingleObject(handle, 0), WAIT_FAILED);
        EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_HANDLE});
        SetLastError(0);
        EXPECT_FALSE(CloseHandle(handle));
        EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_HANDLE});
    }
    for (void* handle : others[1]) {
        SCOPED_TRACE(handle);
        EXPECT_EQ(RegCloseKey(static_cast<HKEY>(handle)), ERROR_INVALID_HANDLE);
        HKEY sub = nullptr;
        EXPECT_EQ(RegOpenKeyExW(static_cast<HKEY>(handle), u"", 0, 0, &sub), ERROR_INVALID_HANDLE);
    }
    for (void* handle : others[2]) {
        SCOPED_TRACE(handle);
        EXPECT_EQ(waveOutClose(static_cast<HWAVEOUT>(handle)), MMSYSERR_INVALHANDLE);
        DWORD volume = 0;
        EXPECT_EQ(waveOutGetVolume(static_cast<HWAVEOUT>(handle), &volume), MMSYSERR_INVALHANDLE);
    }
    for (void* handle : others[3]) {
        SCOPED_TRACE(handle);
        EXPECT_EQ(waveInClose(static_cast<HWAVEIN>(handle)), MMSYSERR_INVALHANDLE);
        EXPECT_EQ(waveInStart(static_cast<HWAVEIN>(handle)), MMSYSERR_INVALHANDLE);
    }
    for (void* handle : {static_cast<void*>(event), static_cast<void*>(key), static_cast<void*>(wave_out)}) {
        SCOPED_TRACE(handle);
        EXPECT_FALSE(DeleteDC(static_cast<HDC>(handle)));
        EXPECT_EQ(GetObjectType(handle), DWORD{0});
    }
    expect_all_alive();
}

// Many kernel objects must not run into the values of the other kinds' handles.
TEST_F(HandleKindsTest, ManyKernelObjectsNeverTakeTheValueOfAnotherKindsHandle) {
    ASSERT_TRUE(key && wave_out && wave_in);
    std::vector<HANDLE> events;
    for (int i = 0; i < 20000; ++i) events.push_back(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    for (void* handle : {static_cast<void*>(key), static_cast<void*>(wave_out), static_cast<void*>(wave_in)}) {
        SCOPED_TRACE(handle);
        EXPECT_EQ(std::count(events.begin(), events.end(), handle), 0);
        EXPECT_FALSE(CloseHandle(handle));
    }
    for (HANDLE event_handle : events) ASSERT_TRUE(CloseHandle(event_handle));
    expect_all_alive();
}

TEST_F(HandleKindsTest, AClosedHandleNamesNothing) {
    ASSERT_TRUE(event && mutex && key && wave_out && wave_in);
    HANDLE const closed_event = event;
    HKEY const closed_key = key;
    HWAVEOUT const closed_wave_out = wave_out;
    HWAVEIN const closed_wave_in = wave_in;
    ASSERT_TRUE(CloseHandle(event));
    ASSERT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    ASSERT_EQ(waveOutClose(wave_out), MMSYSERR_NOERROR);
    ASSERT_EQ(waveInClose(wave_in), MMSYSERR_NOERROR);
    event = nullptr;
    key = nullptr;
    wave_out = nullptr;
    wave_in = nullptr;

    // New objects never take the old values.
    HANDLE const fresh = CreateEventW(nullptr, TRUE, TRUE, nullptr);
    HKEY fresh_key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software", 0, 0, &fresh_key), ERROR_SUCCESS);
    for (void* old : {static_cast<void*>(closed_event), static_cast<void*>(closed_key),
                      static_cast<void*>(closed_wave_out), static_cast<void*>(closed_wave_in)}) {
        EXPECT_NE(old, fresh);
        EXPECT_NE(old, fresh_key);
    }

    SetLastError(0);
    EXPECT_FALSE(CloseHandle(closed_event));
    EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_HANDLE});
    EXPECT_EQ(WaitForSingleObject(closed_event, 0), WAIT_FAILED);
    EXPECT_EQ(RegCloseKey(closed_key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(waveOutClose(closed_wave_out), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveInClose(closed_wave_in), MMSYSERR_INVALHANDLE);
    CloseHandle(fresh);
    RegCloseKey(fresh_key);
}

TEST(HandleValuesTest, ValuesThatWereNeverHandedOutAreRefused) {
    for (std::uintptr_t const value : {std::uintptr_t{0}, ~std::uintptr_t{0}, std::uintptr_t{4}, std::uintptr_t{0x1000},
                                       std::uintptr_t{0x80000001u}, ~std::uintptr_t{0} << 8}) {
        SCOPED_TRACE(value);
        auto* const handle = reinterpret_cast<HANDLE>(value);
        SetLastError(0);
        EXPECT_FALSE(CloseHandle(handle));
        EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_HANDLE});
        EXPECT_EQ(waveOutClose(static_cast<HWAVEOUT>(handle)), MMSYSERR_INVALHANDLE);
    }
}

}  // namespace

namespace {

// A freed drawing object's memory is soon reused: its handle must not follow.
TEST(DrawingHandlesTest, ADeletedObjectsHandleNeverNamesALaterObject) {
    HBRUSH const deleted = CreateSolidBrush(RGB(1, 2, 3));
    ASSERT_TRUE(deleted);
    ASSERT_TRUE(DeleteObject(deleted));
    std::vector<HBRUSH> later;
    for (int i = 0; i < 100; ++i) later.push_back(CreateSolidBrush(RGB(4, 5, 6)));
    EXPECT_EQ(std::count(later.begin(), later.end(), deleted), 0);
    EXPECT_FALSE(DeleteObject(deleted));
    EXPECT_EQ(GetObjectType(deleted), DWORD{0});
    for (HBRUSH brush : later) EXPECT_TRUE(DeleteObject(brush));
}

}  // namespace
