// ASX playlists: <ASX version="3.0"> with one <ENTRY> per entry, holding <REF HREF="path"/>,
// and when known <TITLE>title</TITLE> and <PARAM name="artist" value="..."/>.
#pragma once

#include <string>

#include "app/playlist/list.h"

namespace playlist {

class ListASX : public List {
public:
    // Reads the file; is_loaded tells whether it was an XML document with an "ASX" root.
    // An "ENTRY" without a "REF" that has an "HREF" is skipped.
    explicit ListASX(const std::u16string& path);

    bool is_loaded() const override { return loaded_; }
    // The document save's result.
    bool save(const std::u16string& path) override;

private:
    bool loaded_ = false;
};

}  // namespace playlist
