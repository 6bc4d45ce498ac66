// The two short sounds that every device carries in "\Windows" (inside the Linux back end
// only): "Voicbeep.wav", a rising beep, and "RecEnd.wav", two falling beeps. Both are made
// here as tones; nothing is copied from elsewhere.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform::detail {

// The whole WAV file of each sound.
std::vector<std::uint8_t> voice_beep_wav();
std::vector<std::uint8_t> record_end_wav();

struct SystemSoundFile {
    const char16_t* device_path;
    std::vector<std::uint8_t> (*make)();
};

inline constexpr SystemSoundFile system_sound_files[] = {
    {u"\\Windows\\Voicbeep.wav", &voice_beep_wav},
    {u"\\Windows\\RecEnd.wav", &record_end_wav},
};

// Writes bytes as a new file at host_path unless an entry of that name is there, so that
// no process ever sees the file half written and none replaces what another made: the
// bytes go to a file of this process's own first, which is then linked into place.
void write_new_file(const std::string& host_path, const std::vector<std::uint8_t>& bytes);

}  // namespace platform::detail
