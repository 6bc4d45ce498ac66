#pragma once

#include <cstdint>
#include <string>

#include "foundation/file.h"

namespace audio {

// The 128-byte ID3v1 tag at the end of an MP3 file: "TAG", then title, artist and album
// (30 bytes each), year (4), comment (30, or 28 followed by a 0 byte and the track
// number) and the genre byte. Texts are in the system code page.
struct Id3Tag {
    std::u16string title;
    std::u16string artist;
    std::u16string album;
    std::u16string year;
    std::u16string comment;
    // 0 = none; only the low byte is stored.
    std::uint32_t track = 0;
    // Only the low byte is stored.
    std::uint32_t genre = 0;
    // A tag was found and read.
    bool present = false;
};

// The file offset just past the "TAG" of the file's tag, or -1 when the file has none. A
// tag is only ever the last 128 bytes of the file.
std::int32_t find_id3_tag(os::File& file);

// The file's tag; an empty record when it has none or cannot be read.
Id3Tag read_id3_tag(const std::u16string& path);

// Replaces the file's tag, or appends one (always in the track form); false when the file
// could not be opened or fully written. A failed append is cut off again and a file that the
// write created is removed: the file is left as it was.
bool write_id3_tag(const Id3Tag& tag, const std::u16string& path);

}  // namespace audio
