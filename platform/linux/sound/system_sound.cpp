// sndPlaySoundW: reads a PCM WAV file whole and plays it on a wave-out device opened for it
// alone, polling the buffer's done flag, so the call returns when the sound has ended.
#include <atomic>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "platform/device.h"
#include "platform/errors.h"
#include "platform/kernel.h"
#include "platform/sound.h"
#include "platform/wave.h"

namespace {

struct WavSound {
    WAVEFORMATEX format{};
    std::vector<char> data;
};

std::uint32_t read_u32(const std::vector<char>& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<std::uint8_t>(bytes[at + i]);
    return value;
}

std::uint16_t read_u16(const std::vector<char>& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes[at]) |
                                      static_cast<std::uint8_t>(bytes[at + 1]) << 8);
}

bool tag_at(const std::vector<char>& bytes, std::size_t at, const char* tag) {
    return std::memcmp(bytes.data() + at, tag, 4) == 0;
}

// The chunks of a RIFF WAVE file; a data chunk that claims more than the file holds is cut
// to what is there.
std::optional<WavSound> parse_wav(const std::vector<char>& bytes) {
    if (bytes.size() < 12 || !tag_at(bytes, 0, "RIFF") || !tag_at(bytes, 8, "WAVE")) return std::nullopt;
    WavSound sound;
    bool have_format = false;
    std::size_t at = 12;
    while (at + 8 <= bytes.size()) {
        std::uint32_t const size = read_u32(bytes, at + 4);
        std::size_t const body = at + 8;
        std::size_t const available = std::min<std::size_t>(size, bytes.size() - body);
        if (tag_at(bytes, at, "fmt ") && available >= 16) {
            sound.format.wFormatTag = read_u16(bytes, body);
            sound.format.nChannels = read_u16(bytes, body + 2);
            sound.format.nSamplesPerSec = read_u32(bytes, body + 4);
            sound.format.nAvgBytesPerSec = read_u32(bytes, body + 8);
            sound.format.nBlockAlign = read_u16(bytes, body + 12);
            sound.format.wBitsPerSample = read_u16(bytes, body + 14);
            have_format = true;
        } else if (tag_at(bytes, at, "data") && have_format) {
            sound.data.assign(bytes.begin() + static_cast<std::ptrdiff_t>(body),
                              bytes.begin() + static_cast<std::ptrdiff_t>(body + available));
            if (sound.format.wFormatTag != WAVE_FORMAT_PCM) return std::nullopt;
            return sound;
        }
        at = body + size + (size & 1);
    }
    return std::nullopt;
}

std::u16string device_path_of(std::u16string name) {
    if (name.find_first_of(u"\\/") != std::u16string::npos) return name;
    if (name.find(u'.') == std::u16string::npos) name += u".wav";
    return u"\\Windows\\" + name;
}

std::optional<std::vector<char>> read_whole(const std::u16string& device_path) {
    auto const host = platform::host_path(device_path);
    if (!host) return std::nullopt;
    std::ifstream file(*host, std::ios::binary);
    if (!file) return std::nullopt;
    return std::vector<char>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool play(WavSound& sound) {
    HWAVEOUT device = nullptr;
    if (waveOutOpen(&device, WAVE_MAPPER, &sound.format, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) return false;
    WAVEHDR header{};
    header.lpData = sound.data.data();
    header.dwBufferLength = static_cast<DWORD>(sound.data.size());
    bool played = false;
    if (waveOutPrepareHeader(device, &header, sizeof header) == MMSYSERR_NOERROR) {
        if (waveOutWrite(device, &header, sizeof header) == MMSYSERR_NOERROR) {
            std::atomic_ref<DWORD> const flags(header.dwFlags);
            while ((flags.load() & WHDR_DONE) == 0) Sleep(5);
            played = true;
        }
        waveOutUnprepareHeader(device, &header, sizeof header);
    }
    waveOutClose(device);
    return played;
}

}  // namespace

BOOL sndPlaySoundW(LPCWSTR name, UINT flags) {
    if (name == nullptr) return TRUE;
    if (flags & SND_ASYNC) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return FALSE;
    }
    auto const bytes = read_whole(device_path_of(name));
    if (!bytes) return FALSE;
    auto sound = parse_wav(*bytes);
    if (!sound || sound->data.empty()) return FALSE;
    return play(*sound) ? TRUE : FALSE;
}
