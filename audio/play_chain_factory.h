#pragma once

#include <memory>
#include <string>

#include "audio/play_chain.h"

class Bookmarks;

namespace audio {

// The first of the WAV PCM, ADPCM, GSM, Vorbis, Musepack and MP3 chains whose reader
// accepts the file; null when none does.
std::unique_ptr<PlayChain> open_play_chain_plain(const std::u16string& path);

// With bookmarks: a chain that plays only the bookmarked ranges, for WAV (PCM, ADPCM,
// GSM), Vorbis and MP3 files. Without: the plain probe, then the WMA player. Null when
// nothing takes the file.
std::unique_ptr<PlayChain> create_play_chain(const std::u16string& path, const Bookmarks* bookmarks);

}  // namespace audio
