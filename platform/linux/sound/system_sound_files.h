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

// Writes the sounds into the host folder of "\Windows" where they are missing.
void install_system_sounds(const std::string& windows_host_folder);

}  // namespace platform::detail
