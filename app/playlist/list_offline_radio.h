// OfflineRadio playlists: <Log> with one <LogEvent> per entry whose child elements hold the
// file, its length, fades and cross-fade in whole milliseconds, the running start time in
// units of 100 ns, and an <AudioInfo> with title, artist, number and comment.
#pragma once

#include <string>

#include "app/playlist/list.h"

namespace playlist {

class ListOfflineRadio : public List {
public:
    // Reads the file; is_loaded tells whether it was an XML document with a "Log" root.
    explicit ListOfflineRadio(const std::u16string& path);

    bool is_loaded() const override { return loaded_; }
    // The document save's result.
    bool save(const std::u16string& path) override;

private:
    bool loaded_ = false;
};

}  // namespace playlist
