#pragma once

// The format keys that name a play chain, a record chain and the recording format of the
// settings. They are compared exactly: case matters.
namespace audio {

inline constexpr char16_t key_mp3[] = u"mp3";
inline constexpr char16_t key_adpcm[] = u"ADPCM";
inline constexpr char16_t key_gsm[] = u"GSM";
inline constexpr char16_t key_vorbis[] = u"Vorbis";
inline constexpr char16_t key_pcm[] = u"PCM";
inline constexpr char16_t key_mpc[] = u"MPC";
inline constexpr char16_t key_wma[] = u"WMA";

}  // namespace audio
