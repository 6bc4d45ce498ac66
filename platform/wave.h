// Sound output (wave-out) and input (wave-in) devices. A device plays or fills the buffers
// handed to it strictly in order and reports each one to a thread's message queue
// (CALLBACK_THREAD). Which host device stands behind them is chosen by SONBRIX_AUDIO:
// "virtual" (clock-paced, output captured, input from a file or a tone), "null" (silence
// at real-time pace) or "sdl" (the host's sound devices; also the default, falling back to
// the null device when none can be opened).
#pragma once

#include "platform/types.h"

using MMRESULT = UINT;
using DWORD_PTR = ULONG_PTR;

struct HWAVEOUT__;
using HWAVEOUT = HWAVEOUT__*;
using LPHWAVEOUT = HWAVEOUT*;
struct HWAVEIN__;
using HWAVEIN = HWAVEIN__*;
using LPHWAVEIN = HWAVEIN*;

// ---- Results ---------------------------------------------------------------------------

constexpr MMRESULT MMSYSERR_NOERROR = 0;
constexpr MMRESULT MMSYSERR_ERROR = 1;
constexpr MMRESULT MMSYSERR_BADDEVICEID = 2;
constexpr MMRESULT MMSYSERR_ALLOCATED = 4;
constexpr MMRESULT MMSYSERR_INVALHANDLE = 5;
constexpr MMRESULT MMSYSERR_NODRIVER = 6;
constexpr MMRESULT MMSYSERR_NOMEM = 7;
constexpr MMRESULT MMSYSERR_NOTSUPPORTED = 8;
constexpr MMRESULT MMSYSERR_INVALFLAG = 10;
constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
constexpr MMRESULT WAVERR_BADFORMAT = 32;
// Buffers are still queued (close) or this buffer is (unprepare).
constexpr MMRESULT WAVERR_STILLPLAYING = 33;
// A buffer handed over without being prepared.
constexpr MMRESULT WAVERR_UNPREPARED = 34;

// ---- Opening ---------------------------------------------------------------------------

// The device id that picks the default device.
constexpr UINT WAVE_MAPPER = 0xFFFFFFFFu;

// How the device reports: not at all, or by messages posted to the thread whose id is the
// callback value.
constexpr DWORD CALLBACK_NULL = 0x00000000;
constexpr DWORD CALLBACK_THREAD = 0x00020000;

constexpr WORD WAVE_FORMAT_PCM = 1;

struct WAVEFORMATEX {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;  // bytes of one sample frame
    WORD wBitsPerSample;
    WORD cbSize;  // bytes of format-specific data after the record
};
using LPWAVEFORMATEX = WAVEFORMATEX*;
using LPCWAVEFORMATEX = const WAVEFORMATEX*;

// ---- Buffers ---------------------------------------------------------------------------

constexpr DWORD WHDR_DONE = 0x00000001;      // the device has given the buffer back
constexpr DWORD WHDR_PREPARED = 0x00000002;  // prepared, may be handed to the device
constexpr DWORD WHDR_INQUEUE = 0x00000010;   // the device holds it

struct WAVEHDR {
    LPSTR lpData;
    DWORD dwBufferLength;
    DWORD dwBytesRecorded;  // input: how much the device filled
    DWORD_PTR dwUser;       // the caller's own word; the device never touches it
    DWORD dwFlags;
    DWORD dwLoops;
    WAVEHDR* lpNext;
    DWORD_PTR reserved;
};
using LPWAVEHDR = WAVEHDR*;

// ---- Notifications (CALLBACK_THREAD) ---------------------------------------------------
//
// wParam is the device handle; for DONE and DATA lParam is the header given back. They
// are posted in the order of the events: OPEN first, each buffer in the order it was
// queued, CLOSE last.

constexpr UINT MM_WOM_OPEN = 0x3BB;
constexpr UINT MM_WOM_CLOSE = 0x3BC;
constexpr UINT MM_WOM_DONE = 0x3BD;
constexpr UINT MM_WIM_OPEN = 0x3BE;
constexpr UINT MM_WIM_CLOSE = 0x3BF;
constexpr UINT MM_WIM_DATA = 0x3C0;

// ---- Output ----------------------------------------------------------------------------
//
// Any PCM format of 8 or 16 bits, 1 or 2 channels and any rate. None of these calls waits
// for the notification thread, so they may be made on it.

UINT waveOutGetNumDevs();
MMRESULT waveOutOpen(LPHWAVEOUT device, UINT device_id, LPCWAVEFORMATEX format, DWORD_PTR callback,
                     DWORD_PTR instance, DWORD flags);
// WAVERR_STILLPLAYING while buffers are queued.
MMRESULT waveOutClose(HWAVEOUT device);
MMRESULT waveOutPrepareHeader(HWAVEOUT device, LPWAVEHDR header, UINT header_size);
MMRESULT waveOutUnprepareHeader(HWAVEOUT device, LPWAVEHDR header, UINT header_size);
// Queues the buffer behind the others; it is played once and given back with MM_WOM_DONE.
MMRESULT waveOutWrite(HWAVEOUT device, LPWAVEHDR header, UINT header_size);
// Holds the output; queued buffers stay queued and none is given back until the restart.
MMRESULT waveOutPause(HWAVEOUT device);
MMRESULT waveOutRestart(HWAVEOUT device);
// Stops at once and gives back every queued buffer, in order, each with MM_WOM_DONE.
MMRESULT waveOutReset(HWAVEOUT device);
// Left channel in the low word, right in the high word; 0xFFFF is full volume.
MMRESULT waveOutSetVolume(HWAVEOUT device, DWORD volume);
MMRESULT waveOutGetVolume(HWAVEOUT device, LPDWORD volume);

// ---- Input -----------------------------------------------------------------------------
//
// Filled buffers come back with MM_WIM_DATA, dwBytesRecorded set and WHDR_DONE in their
// flags. While no buffer is queued the captured sound is dropped and the device runs on.

UINT waveInGetNumDevs();
MMRESULT waveInOpen(LPHWAVEIN device, UINT device_id, LPCWAVEFORMATEX format, DWORD_PTR callback,
                    DWORD_PTR instance, DWORD flags);
MMRESULT waveInClose(HWAVEIN device);
MMRESULT waveInPrepareHeader(HWAVEIN device, LPWAVEHDR header, UINT header_size);
MMRESULT waveInUnprepareHeader(HWAVEIN device, LPWAVEHDR header, UINT header_size);
MMRESULT waveInAddBuffer(HWAVEIN device, LPWAVEHDR header, UINT header_size);
MMRESULT waveInStart(HWAVEIN device);
// Gives back the partly filled current buffer (when it holds anything); the other buffers
// stay queued for the next start.
MMRESULT waveInStop(HWAVEIN device);
// Stops and gives back every queued buffer.
MMRESULT waveInReset(HWAVEIN device);
