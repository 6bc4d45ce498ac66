#pragma once

#include <map>
#include <string>

namespace playlist {

// One sound file of a playlist. Times are seconds.
struct Entry {
    std::u16string path;
    double duration = -1.0;     // -1: not known
    double start_offset = 0.0;  // gap after the previous entry's end (negative: overlap)
    int track = -1;             // -1: none
    double clip_begin = 0.0;    // start of the played part of the file
    double fade_in = 0.0;
    double clip_end = 0.0;      // end of the played part
    double fade_out = 0.0;
    // Named texts: "title", "artist", "MediaID", "MediaComment", ...
    std::map<std::u16string, std::u16string> attributes;
};

}  // namespace playlist
