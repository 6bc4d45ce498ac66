#include "platform/linux/sound/wave_devices.h"

namespace platform::detail {

MMRESULT check_wave_open(UINT device_id, LPCWAVEFORMATEX format, DWORD flags, WaveFormat& result) {
    if (device_id != WAVE_MAPPER && device_id != 0) return MMSYSERR_BADDEVICEID;
    DWORD const callback_kind = flags & 0x00070000;
    if (callback_kind != CALLBACK_NULL && callback_kind != CALLBACK_THREAD) return MMSYSERR_NOTSUPPORTED;
    if (!format) return MMSYSERR_INVALPARAM;
    bool const good = format->wFormatTag == WAVE_FORMAT_PCM && (format->nChannels == 1 || format->nChannels == 2) &&
                      (format->wBitsPerSample == 8 || format->wBitsPerSample == 16) && format->nSamplesPerSec > 0 &&
                      format->nBlockAlign == format->nChannels * format->wBitsPerSample / 8;
    if (!good) return WAVERR_BADFORMAT;
    result = {format->nChannels, format->wBitsPerSample, format->nSamplesPerSec};
    return MMSYSERR_NOERROR;
}

MMRESULT check_wave_header(LPWAVEHDR header, UINT header_size) {
    if (!header || header_size < sizeof(WAVEHDR)) return MMSYSERR_INVALPARAM;
    if (!header->lpData && header->dwBufferLength > 0) return MMSYSERR_INVALPARAM;
    return MMSYSERR_NOERROR;
}

MMRESULT prepare_wave_header(LPWAVEHDR header, UINT header_size) {
    if (MMRESULT const error = check_wave_header(header, header_size)) return error;
    if (wave_prepare_refused()) return MMSYSERR_NOMEM;
    set_wave_flags(*header, WHDR_PREPARED, 0);
    return MMSYSERR_NOERROR;
}

MMRESULT unprepare_wave_header(LPWAVEHDR header, UINT header_size) {
    if (MMRESULT const error = check_wave_header(header, header_size)) return error;
    if (wave_flags(*header) & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
    set_wave_flags(*header, 0, WHDR_PREPARED);
    return MMSYSERR_NOERROR;
}

}  // namespace platform::detail
