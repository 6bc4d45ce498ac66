// MultiTracker playlists: <Log version="multitracker" HeaderID=".." Name=".." StartTime="..">
// with one <LogEvent> per entry whose child elements hold the entry's values; times in
// whole milliseconds.
#pragma once

#include <string>

#include "app/playlist/list.h"
#include "foundation/xml_node.h"

namespace playlist {

class ListMultiTracker : public List {
public:
    // Reads the file; is_loaded tells whether it was a "Log" document of the version
    // "multitracker".
    explicit ListMultiTracker(const std::u16string& path);

    bool is_loaded() const override { return loaded_; }
    // The document save's result.
    bool save(const std::u16string& path) override;

private:
    void read_header(const os::XmlNode& root);

    bool loaded_ = false;
};

}  // namespace playlist
