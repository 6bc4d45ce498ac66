#pragma once

#include <string>

#include "audio/format_keys.h"

// The program's named constants and the objects that are built once at start-up.
namespace constants {

inline constexpr char16_t skin_compatibility_name[] = u"Sonbrix_500";
inline constexpr char16_t today_skin_compatibility_name[] = u"SonbrixToday_500";
inline constexpr char16_t program_registry_key[] = u"HKEY_LOCAL_MACHINE\\SOFTWARE\\APPS\\XELO Sonbrix";
// Value under the program's key naming the skin file of the start-screen plug-in.
inline constexpr char16_t today_skin_value[] = u"TodaySkin";

// Codec keys: the recording formats of the settings and the keys of the chains.
inline constexpr const char16_t* codec_mp3 = audio::key_mp3;
inline constexpr const char16_t* codec_adpcm = audio::key_adpcm;
inline constexpr const char16_t* codec_gsm = audio::key_gsm;
inline constexpr const char16_t* codec_vorbis = audio::key_vorbis;
inline constexpr const char16_t* codec_pcm = audio::key_pcm;
inline constexpr const char16_t* codec_mpc = audio::key_mpc;

// Playlist file extensions, without the dot.
inline constexpr char16_t playlist_m3u[] = u"m3u";
inline constexpr char16_t playlist_offline_radio[] = u"log";
inline constexpr char16_t playlist_multi_tracker[] = u"mtr";
inline constexpr char16_t playlist_asx[] = u"asx";

// The extension of a new recording in that codec: "mp3" for the MP3 key, else "wav".
std::u16string recording_extension(const std::u16string& codec);

// What is built at start-up, in this order. The paths keep their macros; they are
// expanded when used.
struct StartupGlobals {
    std::u16string default_skin_path;
    std::u16string default_today_skin_path;
    std::u16string settings_skin_path;
    std::u16string dialogs_skin_path;
    // The special folders behind the path macros and the start tick are the foundation's
    // (os::get_special_folder_path, os::seconds_since_start): they are looked up there, once.
    // The id pools of the menu bars and soft-key bars belong to the screens
    // (screens::bar_id_pools).
};

// Built before the main routine (or at the first call from an earlier initialiser).
StartupGlobals& startup_globals();

}  // namespace constants
