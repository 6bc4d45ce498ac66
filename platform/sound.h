// Short system sounds: a WAV file played through the wave-out device.
#pragma once

#include "platform/types.h"

constexpr UINT SND_SYNC = 0x0000;       // returns when the sound has ended
constexpr UINT SND_ASYNC = 0x0001;      // not supported: FALSE
constexpr UINT SND_NODEFAULT = 0x0002;  // accepted; there is no default sound anyway

// Plays the PCM WAV file synchronously. A bare name (no separator) is looked for in
// "\Windows", with ".wav" added when it has no extension. FALSE, playing nothing, when the
// file is missing or not a PCM WAV file, or no output device opens. A null name plays
// nothing and returns TRUE.
BOOL sndPlaySoundW(LPCWSTR name, UINT flags);
