// Extended M3U playlists: "#EXTM3U", then an "#EXTINF:<seconds>,<title>" line and a path
// line per entry. Written as UTF-16LE with a byte-order mark; read as UTF-16LE after that
// mark, otherwise as text in the system code page.
#pragma once

#include <string>

#include "app/playlist/list.h"

namespace playlist {

class ListM3U : public List {
public:
    // An empty list, to be filled and saved.
    ListM3U();
    // Reads the file; is_loaded tells whether it was an M3U list (begins with the header).
    // An entry that cannot be read is left out; the others are kept.
    explicit ListM3U(const std::u16string& path);

    bool is_loaded() const override { return loaded_; }
    // Durations are written as whole seconds (truncated; -1 when not known). False when the
    // file could not be created or written completely.
    bool save(const std::u16string& path) override;

private:
    bool read(const std::u16string& path);

    bool loaded_ = false;
};

}  // namespace playlist
