#pragma once

#include <cstdint>
#include <string>

#include "foundation/date_time.h"

class TypeIconSink;

// Texts that the file lists and forms show, the names of new recordings and bookmark files,
// and the sound-file test by extension.

// The number with at least two digits ("07"); longer texts are cut to their last two.
std::u16string two_digit_text(int value);
// "" for 0, "1023B", "1023K", "1,5M" (the tenth truncated, a comma as decimal mark).
std::u16string format_file_size(std::int64_t bytes);
// "09:04,  03/05/07": hour, minute, month, day and year, two digits each.
std::u16string format_short_date_time(const os::DateTime& time);
// "hh:mm:ss" of the whole seconds.
std::u16string format_duration_text(double seconds);

// "<folder>/<prefix> 09 dec 26 14-05-33.<extension>" at the given local time, the prefix
// and its blank left out when the prefix is empty.
std::u16string make_recording_file_name(const std::u16string& folder, const std::u16string& prefix,
                                        const std::u16string& extension, const os::DateTime& time);
// The same at the current local time.
std::u16string make_recording_file_name(const std::u16string& folder, const std::u16string& prefix,
                                        const std::u16string& extension);
// The first of base1 ... base9999 for which no file or folder "<name>.<extension>" exists
// in the folder; "" when all exist.
std::u16string find_free_numbered_name(const std::u16string& folder, const std::u16string& base,
                                       const std::u16string& extension);
// The folder joined with that name and the extension; "" when no name is free.
std::u16string make_numbered_file_path(const std::u16string& folder, const std::u16string& base,
                                       const std::u16string& extension);

std::u16string get_file_extension_lower(const std::u16string& path);
// "wav", "mp3", "ogg" or "wma", in any case.
bool is_sound_file(const std::u16string& path);
// The sound file's path followed by ".bm".
std::u16string get_bookmark_file_path(const std::u16string& sound_path);
// Every occurrence of what replaced by with; the inserted text is not searched again.
std::u16string replace_all(const std::u16string& text, const std::u16string& what, const std::u16string& with);

// Register the type icons of the sound files ("wav", "mp3", "ogg", "wma") or playlists
// ("m3u") with a file list.
void add_sound_extensions(TypeIconSink& list);
void add_playlist_extensions(TypeIconSink& list);
